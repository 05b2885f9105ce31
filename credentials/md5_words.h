// Internal word operations of the MD5 digest, in the module's own decomposition.
// Words are native unsigned 32-bit values, so every sum is already modulo 2^32.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace shared {

namespace md5 {

using Word = std::uint32_t;

constexpr Word ShiftWordLeft(Word v, unsigned n) {
    return n >= 32 ? 0 : v << n;
}
constexpr Word ShiftWordRight(Word v, unsigned n) {
    return n >= 32 ? 0 : v >> n;
}
constexpr Word RotateWordLeft(Word v, unsigned s) {
    return ShiftWordLeft(v, s) | ShiftWordRight(v, 32 - s);
}
constexpr Word AddWords(Word x, Word y) {
    return x + y;
}

constexpr Word F(Word x, Word y, Word z) {
    return (x & y) | (~x & z);
}
constexpr Word G(Word x, Word y, Word z) {
    return (x & z) | (y & ~z);
}
constexpr Word H(Word x, Word y, Word z) {
    return x ^ y ^ z;
}
constexpr Word I(Word x, Word y, Word z) {
    return y ^ (x | ~z);
}

// The message word array: N = ((L + 8) / 64 + 1) * 16 words, bytes low first,
// the 0x80 pad byte at position L, the bit length in the last two words.
std::vector<Word> TextToWords(std::string_view text);

// The four state words of the digest of text.
void DigestWords(std::string_view text, Word& a, Word& b, Word& c, Word& d);

// Four characters, least significant byte first.
std::string WordToText(Word w);

} // namespace md5

} // namespace shared
