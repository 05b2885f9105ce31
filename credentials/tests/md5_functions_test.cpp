#include "credentials/md5_functions.h"
#include "credentials/md5_words.h"
#include "credentials/windows1252.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

using namespace shared;

namespace {

std::string Hex(std::string_view bytes) {
    static const char* digits = "0123456789abcdef";
    std::string hex;
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        hex += digits[b >> 4];
        hex += digits[b & 15];
    }
    return hex;
}

// coreutils md5sum over the same bytes: an MD5 that is not ours.
std::string IndependentMd5(std::string_view bytes) {
    // One file a process: ctest runs the cases of this program side by side.
    const auto file = std::filesystem::temp_directory_path() /
                      ("md5-crosscheck-" + std::to_string(::getpid()) + ".bin");
    std::ofstream(file, std::ios::binary).write(bytes.data(), bytes.size());
    const std::string command = "md5sum '" + file.string() + "'";
    FILE* pipe = popen(command.c_str(), "r");
    char out[64] = {};
    const bool read = pipe && std::fgets(out, sizeof out, pipe);
    if (pipe)
        pclose(pipe);
    std::filesystem::remove(file);
    return read ? std::string(out, 32) : std::string("md5sum failed");
}

struct Known {
    std::string text;
    const char* md5;
};

} // namespace

TEST(DigestText, MatchesTheRfc1321TestSuite) {
    const std::array<Known, 7> suite = {{
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
         "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    }};
    for (const Known& k : suite) {
        const std::string digest = DigestText(k.text);
        EXPECT_EQ(digest.size(), 16u) << k.text;
        EXPECT_EQ(Hex(digest), k.md5) << k.text;
    }
}

TEST(DigestText, IsSixteenRawBytesNotHex) {
    const std::string digest = DigestText("abc");
    const std::string expected("\x90\x01\x50\x98\x3c\xd2\x4f\xb0\xd6\x96\x3f\x7d\x28\xe1\x7f\x72",
                               16);
    EXPECT_EQ(digest, expected);
}

TEST(DigestText, AgreesWithAnIndependentMd5) {
    // Block boundaries (55, 56, 63, 64, 65 bytes), upper-half characters, every byte value.
    std::string allBytes;
    for (int b = 0; b < 256; ++b)
        allBytes += static_cast<char>(b);
    const std::array<std::string, 12> texts = {
        std::string(55, 'x'),
        std::string(56, 'x'),
        std::string(63, 'x'),
        std::string(64, 'x'),
        std::string(65, 'x'),
        std::string(1000, 'q'),
        EncodeWindows1252(U"perché è così"),
        EncodeWindows1252(U"Città € – “virgolette”"),
        EncodeWindows1252(U"ÀÉÌÒÙàéìòùçñ ÿ"),
        " con blank ",
        allBytes,
        std::string(3, '\0'),
    };
    for (const std::string& text : texts)
        EXPECT_EQ(Hex(DigestText(text)), IndependentMd5(text)) << "length " << text.size();
}

TEST(DigestText, HashesEachCharacterAsOneWindows1252Byte) {
    const std::string withGrave = EncodeWindows1252(U"caffè");
    ASSERT_EQ(withGrave.size(), 5u);
    EXPECT_EQ(static_cast<unsigned char>(withGrave[4]), 232);
    EXPECT_NE(DigestText(withGrave), DigestText("caffe"));
    EXPECT_NE(DigestText("Mario"), DigestText("mario"));
    EXPECT_NE(DigestText("mario"), DigestText("mario "));
}

TEST(TextToWords, SizesTheArrayByTheBlockRule) {
    struct Case {
        std::size_t length;
        std::size_t words;
    };
    for (const Case c :
         {Case{0, 16}, Case{55, 16}, Case{56, 32}, Case{64, 32}, Case{119, 32}, Case{120, 48}}) {
        const auto words = md5::TextToWords(std::string(c.length, 'a'));
        EXPECT_EQ(words.size(), c.words) << c.length;
        EXPECT_EQ(words[words.size() - 2], c.length * 8) << c.length;
    }
    const auto empty = md5::TextToWords("");
    EXPECT_EQ(empty[0], 128u);
    for (std::size_t i = 1; i < empty.size(); ++i)
        EXPECT_EQ(empty[i], 0u);
}

TEST(DigestText, KeepsControlQuoteAndHashBytes) {
    // Texts found once whose digests hold the bytes a careless reader or writer would mangle.
    const std::array<std::pair<const char*, char>, 5> fixtures = {{
        {"utente14", '\x00'},
        {"utente2", '\n'},
        {"utente5", '\r'},
        {"utente29", '"'},
        {"utente21", '#'},
    }};
    for (const auto& [text, byte] : fixtures) {
        const std::string digest = DigestText(text);
        EXPECT_EQ(digest.size(), 16u);
        EXPECT_NE(digest.find(byte), std::string::npos) << text;
        EXPECT_EQ(Hex(digest), IndependentMd5(text)) << text;
    }
}
