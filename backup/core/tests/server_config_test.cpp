#include "backup/core/server_config.h"
#include "backup/core/tests/qstring_print.h"
#include "testsupport/test_program_folder.h"

#include <gtest/gtest.h>

using namespace ombrix;
using namespace shared;

TEST(ServerConfig, ReadsTheFirstFieldOfDatCfg) {
    struct Case {
        std::string bytes;
        QString address;
    };
    const Case cases[] = {
        {"\"http://127.0.0.1:8642\"\r\n", "http://127.0.0.1:8642"},
        {"http://127.0.0.1:8642\r\n", "http://127.0.0.1:8642"},
        {"http://quor.example/\r\naltro\r\n", "http://quor.example/"},
        {"\"http://h/a,b\",x\r\n", "http://h/a,b"},
        {"\"http://h/caff\xE8\"\r\n", "http://h/caff\u00e8"},
    };
    for (const Case& c : cases) {
        TestProgramFolder folder;
        folder.write("dat/cfg.txt", c.bytes);
        const auto read = ReadServerAddress(folder.path());
        ASSERT_TRUE(std::holds_alternative<QString>(read)) << c.bytes;
        EXPECT_EQ(std::get<QString>(read), c.address);
    }
}

TEST(ServerConfig, NamesTheFileWhenItCannotBeRead) {
    struct Case {
        std::optional<std::string> bytes;
        FileFailureCause cause;
    };
    const Case cases[] = {
        {std::nullopt, FileFailureCause::Missing},
        {"", FileFailureCause::Damaged},
        {"   ", FileFailureCause::Damaged},
    };
    for (const Case& c : cases) {
        TestProgramFolder folder;
        if (c.bytes)
            folder.write("dat/cfg.txt", *c.bytes);
        const auto read = ReadServerAddress(folder.path());
        ASSERT_TRUE(std::holds_alternative<FileFailure>(read));
        EXPECT_EQ(std::get<FileFailure>(read).file, folder.file("dat/cfg.txt"));
        EXPECT_EQ(std::get<FileFailure>(read).cause, c.cause);
    }
}
