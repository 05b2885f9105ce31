#include "file_list.h"
#include "qstring_print.h"

#include <gtest/gtest.h>

TEST(FileList, SplitsOnEverySeparator) {
    struct Case {
        QString text;
        QStringList parts;
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
        const QStringList parts = SplitFileList(c.text);
        EXPECT_EQ(parts, c.parts) << c.text.toStdString();
        EXPECT_EQ(HighestIndex(parts), c.highest) << c.text.toStdString();
    }
}
