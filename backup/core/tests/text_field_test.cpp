#include "backup/core/text_field.h"
#include "testsupport/test_program_folder.h"

#include <gtest/gtest.h>

using namespace ombrix;
using namespace shared;

TEST(TextField, ReadsTheFirstField) {
    struct Case {
        std::string bytes;
        std::optional<std::string> field;
    };
    const Case cases[] = {
        {"\"C:\\Backup\"\r\n", "C:\\Backup"},
        {"C:\\Backup\r\n", "C:\\Backup"},
        {"http://127.0.0.1:8642", "http://127.0.0.1:8642"},
        {"   \"quoted\" and more", "quoted"},
        {"  \t unquoted\r\nsecond line", "unquoted"},
        {"a,b\r\n", "a"},
        {"\"a,b c\",d\r\n", "a,b c"},
        {"\"/\"\r\n", "/"},
        {"\"/home/me/Dati, copia 2\"\r\n", "/home/me/Dati, copia 2"},
        {"\"unterminated", "unterminated"},
        {"\"\"\r\n", ""},
        {"\r\nsecond", ""},
        {"\"caff\xE8\"\r\n", "caff\xE8"},
        {"", std::nullopt},
        {"   \t ", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FirstTextField(c.bytes), c.field) << c.bytes;
}

TEST(TextField, WritesOneQuotedLineAndReadsItBack) {
    TestProgramFolder folder;
    const auto file = folder.file("txt/path.txt");
    for (const std::string path : {"/", "/srv/copie, 2026/Quor foto", "/home/caff\xE8"}) {
        ASSERT_FALSE(WriteTextFieldFile(file, path));
        EXPECT_EQ(folder.read("txt/path.txt"), "\"" + path + "\"\r\n");
        const auto read = ReadTextFieldFile(file);
        ASSERT_TRUE(std::holds_alternative<std::string>(read));
        EXPECT_EQ(std::get<std::string>(read), path);
    }
}

TEST(TextField, MissingAndEmptyFilesAreFailuresThatNameTheFile) {
    TestProgramFolder folder;
    const auto file = folder.file("txt/path.txt");
    auto missing = ReadTextFieldFile(file);
    ASSERT_TRUE(std::holds_alternative<FileFailure>(missing));
    EXPECT_EQ(std::get<FileFailure>(missing).cause, FileFailureCause::Missing);
    EXPECT_EQ(std::get<FileFailure>(missing).file, file);

    folder.write("txt/path.txt", "");
    auto empty = ReadTextFieldFile(file);
    ASSERT_TRUE(std::holds_alternative<FileFailure>(empty));
    EXPECT_EQ(std::get<FileFailure>(empty).cause, FileFailureCause::Damaged);

    const auto noFolder = WriteTextFieldFile(folder.file("missing/cfg.txt"), "x");
    ASSERT_TRUE(noFolder);
    EXPECT_EQ(noFolder->cause, FileFailureCause::CannotWrite);
}
