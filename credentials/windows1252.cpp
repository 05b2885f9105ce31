#include "credentials/windows1252.h"

#include <array>
#include <optional>

namespace shared {

namespace {

// Code points of the bytes 0x80 to 0x9F; the unassigned ones stand for themselves.
constexpr std::array<char32_t, 32> kUpperC1 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

std::optional<unsigned char> ByteOf(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<unsigned char>(c);
    for (std::size_t i = 0; i < kUpperC1.size(); ++i)
        if (kUpperC1[i] == c)
            return static_cast<unsigned char>(0x80 + i);
    return std::nullopt;
}

} // namespace

std::string EncodeWindows1252(std::u32string_view text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (char32_t c : text) {
        const auto byte = ByteOf(c);
        bytes.push_back(byte ? static_cast<char>(*byte) : kUnmappableByte);
    }
    return bytes;
}

std::u32string DecodeWindows1252(std::string_view bytes) {
    std::u32string text;
    text.reserve(bytes.size());
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        text.push_back(b >= 0x80 && b < 0xA0 ? kUpperC1[b - 0x80] : char32_t{b});
    }
    return text;
}

bool IsWindows1252(std::u32string_view text) {
    for (char32_t c : text)
        if (!ByteOf(c))
            return false;
    return true;
}

} // namespace shared
