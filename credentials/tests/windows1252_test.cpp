#include "credentials/windows1252.h"

#include <gtest/gtest.h>

using namespace shared;

TEST(Windows1252, EncodesTheUpperHalfAndTheTypographicCharacters) {
    struct Case {
        std::u32string text;
        std::string bytes;
    };
    const Case cases[] = {
        {U"abc", "abc"},
        {U"è", "\xE8"},
        {U"€", "\x80"},
        {U"“Š”", "\x93\x8A\x94"},
        {U"Ÿ", "\x9F"},
        {U"ÿ", "\xFF"},
        {U"\u0081\u008D\u008F\u0090\u009D", "\x81\x8D\x8F\x90\x9D"},
        {U"\u0080", "?"},         // a C1 control the code page has no byte for
        {U"日本", "??"},          // outside the code page
        {U"a\U0001F600b", "a?b"}, // one character beyond the BMP is one '?'
        {std::u32string(1, U'\0'), std::string(1, '\0')},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EncodeWindows1252(c.text), c.bytes);
        EXPECT_EQ(IsWindows1252(c.text), c.bytes.find('?') == std::string::npos);
    }
}

TEST(Windows1252, EveryByteDecodesAndEncodesBackUnchanged) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    const std::u32string text = DecodeWindows1252(all);
    ASSERT_EQ(text.size(), 256u);
    EXPECT_EQ(text[0x80], U'€');
    EXPECT_EQ(text[0xE8], U'è');
    EXPECT_TRUE(IsWindows1252(text));
    EXPECT_EQ(EncodeWindows1252(text), all);
}
