#include "credentials/md5_functions.h"

#include "credentials/md5_words.h"

#include <array>

namespace shared {

namespace md5 {
namespace {

using Aux = Word (*)(Word, Word, Word);

// a <- b + ((a + Aux(b, c, d) + x + t) rotated left by s)
template <Aux Fn> void Step(Word& a, Word b, Word c, Word d, Word x, unsigned s, Word t) {
    const Word sum = AddWords(AddWords(Fn(b, c, d), x), t);
    a = AddWords(b, RotateWordLeft(AddWords(a, sum), s));
}

void StepF(Word& a, Word b, Word c, Word d, Word x, unsigned s, Word t) {
    Step<F>(a, b, c, d, x, s, t);
}
void StepG(Word& a, Word b, Word c, Word d, Word x, unsigned s, Word t) {
    Step<G>(a, b, c, d, x, s, t);
}
void StepH(Word& a, Word b, Word c, Word d, Word x, unsigned s, Word t) {
    Step<H>(a, b, c, d, x, s, t);
}
void StepI(Word& a, Word b, Word c, Word d, Word x, unsigned s, Word t) {
    Step<I>(a, b, c, d, x, s, t);
}

using StepFn = void (*)(Word&, Word, Word, Word, Word, unsigned, Word);
constexpr std::array<StepFn, 4> kSteps = {StepF, StepG, StepH, StepI};

// Integer parts of 2^32 * |sin(j)|, j = 1 to 64.
constexpr std::array<Word, 64> kAdditive = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391,
};

constexpr std::array<std::array<unsigned, 4>, 4> kRotation = {{
    {7, 12, 17, 22},
    {5, 9, 14, 20},
    {4, 11, 16, 23},
    {6, 10, 15, 21},
}};

// The message word that step j (0 to 63) of a block uses.
constexpr unsigned MessageIndex(unsigned j) {
    const unsigned i = j % 16;
    switch (j / 16) {
    case 0:
        return i;
    case 1:
        return (5 * i + 1) % 16;
    case 2:
        return (3 * i + 5) % 16;
    default:
        return (7 * i) % 16;
    }
}

void DigestBlock(const Word* x, std::array<Word, 4>& state) {
    const std::array<Word, 4> saved = state;
    for (unsigned j = 0; j < 64; ++j) {
        // The state words take the a, b, c, d places in the cycle ABCD, DABC, CDAB, BCDA.
        const unsigned shift = 4 - j % 4;
        Word& a = state[shift % 4];
        const Word b = state[(shift + 1) % 4];
        const Word c = state[(shift + 2) % 4];
        const Word d = state[(shift + 3) % 4];
        kSteps[j / 16](a, b, c, d, x[MessageIndex(j)], kRotation[j / 16][j % 4], kAdditive[j]);
    }
    for (unsigned k = 0; k < 4; ++k)
        state[k] = AddWords(state[k], saved[k]);
}

} // namespace

std::vector<Word> TextToWords(std::string_view text) {
    const std::size_t length = text.size();
    const std::size_t count = ((length + 8) / 64 + 1) * 16;
    std::vector<Word> words(count, 0);
    for (std::size_t i = 0; i < length; ++i) {
        const Word byte = static_cast<unsigned char>(text[i]);
        words[i / 4] |= ShiftWordLeft(byte, 8 * (i % 4));
    }
    words[length / 4] |= ShiftWordLeft(0x80, 8 * (length % 4));
    words[count - 2] = static_cast<Word>(length << 3);
    words[count - 1] = static_cast<Word>(static_cast<std::uint64_t>(length) >> 29);
    return words;
}

void DigestWords(std::string_view text, Word& a, Word& b, Word& c, Word& d) {
    const std::vector<Word> words = TextToWords(text);
    std::array<Word, 4> state = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476};
    for (std::size_t k = 0; k + 15 < words.size(); k += 16)
        DigestBlock(&words[k], state);
    a = state[0];
    b = state[1];
    c = state[2];
    d = state[3];
}

std::string WordToText(Word w) {
    std::string text(4, '\0');
    for (unsigned j = 0; j < 4; ++j)
        text[j] = static_cast<char>(ShiftWordRight(w, 8 * j) & 0xFF);
    return text;
}

} // namespace md5

std::string DigestText(std::string_view text) {
    md5::Word a, b, c, d;
    md5::DigestWords(text, a, b, c, d);
    return md5::WordToText(a) + md5::WordToText(b) + md5::WordToText(c) + md5::WordToText(d);
}

} // namespace shared
