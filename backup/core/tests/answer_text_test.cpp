#include "backup/core/answer_text.h"
#include "backup/core/tests/qstring_print.h"

#include <gtest/gtest.h>

using namespace ombrix;

TEST(AnswerText, IsUtf8WhenValidElseWindows1252) {
    struct Case {
        QByteArray body;
        QString text;
    };
    const Case cases[] = {
        {"", ""},
        {"Copie cancellate.", "Copie cancellate."},
        {"caff\xC3\xA8######", "caff\u00e8######"},
        {"\xEF\xBB\xBF"
         "a######",
         "a######"},
        {"caff\xE8######", "caff\u00e8######"},
        {"\x80 e \x93x\x94", "\u20ac e \u201cx\u201d"},
        // A UTF-8 sequence cut short at the end is not UTF-8.
        {"caff\xC3", "caff\u00c3"},
        {QByteArray("a\0b", 3), QString::fromUtf16(u"a\0b", 3)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DecodeAnswerText(c.body), c.text) << c.body.toStdString();
}
