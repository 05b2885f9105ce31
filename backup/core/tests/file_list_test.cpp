#include "backup/core/file_list.h"
#include "backup/core/tests/qstring_print.h"

#include <gtest/gtest.h>

using namespace ombrix;

namespace {

std::vector<QString> TextsOf(const std::vector<ListPart>& parts) {
    std::vector<QString> texts;
    for (const ListPart& part : parts)
        texts.push_back(part.text);
    return texts;
}

} // namespace

TEST(FileList, SplitsOnEverySeparator) {
    struct Case {
        QString text;
        std::vector<QString> parts;
        int highest;
    };
    const Case cases[] = {
        {"a######b######c######", {"a", "b", "c", ""}, 3},
        {"a######b######c", {"a", "b", "c"}, 2},
        {"", {}, -1},
        {"a", {"a"}, 0},
        {"a######", {"a", ""}, 1},
        {"######", {"", ""}, 1},
        {"a############b######", {"a", "", "b", ""}, 3},
        // Twelve hashes are two separators; seven are one and a hash left in the next part.
        {"a#######b", {"a", "#b"}, 1},
        {"a#####b######", {"a#####b", ""}, 1},
        {"a######b######\r\n", {"a", "b", "\r\n"}, 2},
        {" a b ######c\nd######", {" a b ", "c\nd", ""}, 2},
        {"caff\u00e8.jpg######", {"caff\u00e8.jpg", ""}, 1},
    };
    for (const Case& c : cases) {
        const std::vector<ListPart> parts = SplitFileList(c.text.toUtf8());
        EXPECT_EQ(TextsOf(parts), c.parts) << c.text.toStdString();
        EXPECT_EQ(HighestIndex(parts), c.highest) << c.text.toStdString();
        for (const ListPart& part : parts)
            EXPECT_EQ(part.bytes, part.text.toUtf8());
    }
}

TEST(FileList, KeepsEachEntrysBytesBesideItsText) {
    struct Case {
        QByteArray body;
        std::vector<ListPart> parts;
    };
    const Case cases[] = {
        // Windows-1252 as a whole, since one entry is not UTF-8: every entry is read so.
        {"caff\xE8.png######citt\xC3\xA0.jpg######",
         {{"caff\xE8.png", "caff\u00e8.png"}, {"citt\xC3\xA0.jpg", "citt\u00c3\u00a0.jpg"}, {}}},
        // UTF-8 as a whole.
        {"caff\xC3\xA8.png######citt\xC3\xA0.jpg######",
         {{"caff\xC3\xA8.png", "caff\u00e8.png"}, {"citt\xC3\xA0.jpg", "citt\u00e0.jpg"}, {}}},
        // A byte-order mark belongs to the list, not to its first entry; inside the list
        // it is part of an entry, text and bytes alike.
        {"\xEF\xBB\xBF"
         "a######b######",
         {{"a", "a"}, {"b", "b"}, {}}},
        {"a######\xEF\xBB\xBF"
         "b######",
         {{"a", "a"},
          {"\xEF\xBB\xBF"
           "b",
           QStringLiteral("\ufeffb")},
          {}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SplitFileList(c.body), c.parts) << c.body.toStdString();
}
