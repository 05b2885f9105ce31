#include "credentials/credential_file.h"
#include "credentials/md5_functions.h"
#include "testsupport/test_program_folder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

using namespace shared;

namespace fs = std::filesystem;

namespace {

const std::string kFile = "txt/backup.txt";

std::vector<std::string> FilesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    return names;
}

const FileFailure* FailureOf(const std::variant<StoredCredentials, FileFailure>& read) {
    return std::get_if<FileFailure>(&read);
}

} // namespace

TEST(CredentialFile, WritesTheFortyTwoByteRecord) {
    TestProgramFolder folder;
    EXPECT_FALSE(CredentialFileExists(folder.path()));
    ASSERT_FALSE(WriteCredentialFile(folder.path(), "mario", "segreta"));
    const std::string bytes = folder.read(kFile);
    ASSERT_EQ(bytes.size(), 42u);
    EXPECT_EQ(bytes, "\"" + DigestText("mario") + "######" + DigestText("segreta") + "\"\r\n");
    EXPECT_TRUE(CredentialFileExists(folder.path()));
    EXPECT_EQ(FilesIn(folder.file("txt")), std::vector<std::string>{"backup.txt"});
}

TEST(CredentialFile, DigestsWithAwkwardBytesRoundTrip) {
    // Each user name's digest holds 0x00, LF, CR, '"' or '#'; "nome34"'s ends in '#',
    // "nome1820"'s holds CR LF: only a split by position reads them back.
    for (const char* user :
         {"utente14", "utente2", "utente5", "utente29", "utente21", "nome34", "nome1820"}) {
        TestProgramFolder folder;
        ASSERT_FALSE(WriteCredentialFile(folder.path(), user, "utente21"));
        const auto read = ReadCredentialFile(folder.path());
        ASSERT_FALSE(FailureOf(read)) << user;
        const auto& stored = std::get<StoredCredentials>(read);
        EXPECT_EQ(stored.userDigest, DigestText(user));
        EXPECT_EQ(stored.passwordDigest, DigestText("utente21"));
        EXPECT_TRUE(CredentialsMatch(stored, user, "utente21"));
    }
}

TEST(CredentialFile, MatchesOnlyTheExactTexts) {
    TestProgramFolder folder;
    ASSERT_FALSE(WriteCredentialFile(folder.path(), "Mario", ""));
    const auto stored = std::get<StoredCredentials>(ReadCredentialFile(folder.path()));
    EXPECT_TRUE(CredentialsMatch(stored, "Mario", ""));
    struct Attempt {
        const char* user;
        const char* password;
    };
    for (const Attempt a : {Attempt{"mario", ""}, Attempt{"Mario ", ""}, Attempt{" Mario", ""},
                            Attempt{"Mario", " "}, Attempt{"", ""}, Attempt{"Mario", "x"}})
        EXPECT_FALSE(CredentialsMatch(stored, a.user, a.password)) << a.user << "/" << a.password;
}

TEST(CredentialFile, ReplacingTheAccountLeavesOnlyTheNewRecord) {
    TestProgramFolder folder;
    ASSERT_FALSE(WriteCredentialFile(folder.path(), "vecchio", "vecchia"));
    folder.write(kFile, folder.read(kFile) + "una seconda riga\r\n");
    ASSERT_FALSE(WriteCredentialFile(folder.path(), "nuovo", "nuova"));
    EXPECT_EQ(folder.read(kFile), CredentialRecord("nuovo", "nuova"));
    const auto stored = std::get<StoredCredentials>(ReadCredentialFile(folder.path()));
    EXPECT_FALSE(CredentialsMatch(stored, "vecchio", "vecchia"));
    EXPECT_TRUE(CredentialsMatch(stored, "nuovo", "nuova"));
}

TEST(CredentialFile, IgnoresBytesAfterTheRecord) {
    TestProgramFolder folder;
    const std::string record = CredentialRecord("a", "b");
    for (const std::string& content : {record.substr(0, 39), record.substr(0, 40),
                                       record + "seconda riga aggiunta a mano\r\n"}) {
        folder.write(kFile, content);
        const auto read = ReadCredentialFile(folder.path());
        ASSERT_FALSE(FailureOf(read)) << content.size();
        EXPECT_TRUE(CredentialsMatch(std::get<StoredCredentials>(read), "a", "b"));
    }
}

TEST(CredentialFile, RefusesDamagedRecords) {
    const std::string good = CredentialRecord("a", "b");
    std::string noQuote = good;
    noQuote[0] = '\'';
    std::string shiftedSeparator = good;
    shiftedSeparator[17] = 'x';
    std::string lastSeparatorByte = good;
    lastSeparatorByte[22] = 'x';
    struct Case {
        const char* what;
        std::string content;
    };
    const Case cases[] = {
        {"empty", ""},
        {"38 bytes", good.substr(0, 38)},
        {"no leading quote", noQuote},
        {"separator broken at its first byte", shiftedSeparator},
        {"separator broken at its last byte", lastSeparatorByte},
    };
    for (const Case& c : cases) {
        TestProgramFolder folder;
        folder.write(kFile, c.content);
        EXPECT_TRUE(CredentialFileExists(folder.path())) << c.what;
        const auto read = ReadCredentialFile(folder.path());
        const FileFailure* failure = FailureOf(read);
        ASSERT_TRUE(failure) << c.what;
        EXPECT_EQ(failure->cause, FileFailureCause::Damaged) << c.what;
        EXPECT_EQ(failure->file, folder.file(kFile)) << c.what;
        EXPECT_EQ(folder.read(kFile), c.content) << c.what;
    }
}

TEST(CredentialFile, ReportsAMissingOrUnreadableFile) {
    TestProgramFolder folder;
    const auto first = ReadCredentialFile(folder.path());
    const FileFailure* missing = FailureOf(first);
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->cause, FileFailureCause::Missing);
    EXPECT_EQ(missing->file, folder.file(kFile));

    fs::create_directory(folder.file(kFile));
    const auto read = ReadCredentialFile(folder.path());
    ASSERT_TRUE(FailureOf(read));
    EXPECT_EQ(FailureOf(read)->cause, FileFailureCause::Unreadable);
}

TEST(CredentialFile, AFailedWriteKeepsThePreviousRecordAndLeavesNoTemporaryFile) {
    TestProgramFolder folder;
    ASSERT_FALSE(WriteCredentialFile(folder.path(), "vecchio", "vecchia"));
    const std::string before = folder.read(kFile);

    // A read-only record, and a write that fails half-way (the file-size limit cuts it).
    fs::permissions(folder.file(kFile),
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    auto readOnly = WriteCredentialFile(folder.path(), "nuovo", "nuova");
    ASSERT_TRUE(readOnly);
    EXPECT_EQ(readOnly->cause, FileFailureCause::CannotWrite);
    EXPECT_EQ(readOnly->error, std::errc::permission_denied);
    fs::permissions(folder.file(kFile), fs::perms::owner_write, fs::perm_options::add);

    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 20;
    setrlimit(RLIMIT_FSIZE, &small);
    auto halfWay = WriteCredentialFile(folder.path(), "nuovo", "nuova");
    setrlimit(RLIMIT_FSIZE, &saved);
    ASSERT_TRUE(halfWay);
    EXPECT_EQ(halfWay->cause, FileFailureCause::CannotWrite);

    EXPECT_EQ(folder.read(kFile), before);
    EXPECT_EQ(FilesIn(folder.file("txt")), std::vector<std::string>{"backup.txt"});
}

TEST(CredentialFile, WritingNeedsTheTxtFolder) {
    TestProgramFolder folder;
    fs::remove(folder.file("txt"));
    const auto failure = WriteCredentialFile(folder.path(), "a", "b");
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->cause, FileFailureCause::CannotWrite);
    EXPECT_EQ(failure->error, std::errc::no_such_file_or_directory);
    EXPECT_FALSE(fs::exists(folder.file("txt")));
}
