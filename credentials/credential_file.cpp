#include "credentials/credential_file.h"

#include "credentials/file_replace.h"
#include "credentials/md5_functions.h"

#include <cerrno>
#include <fstream>

namespace shared {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kSeparator = "######";
constexpr std::size_t kDigestLength = 16;
constexpr std::size_t kRecordPrefix = 1 + kDigestLength + 6 + kDigestLength; // 39 bytes

FileFailure Failure(const fs::path& file, FileFailureCause cause, std::error_code error = {}) {
    return FileFailure{file, cause, error};
}

} // namespace

fs::path CredentialFilePath(const fs::path& programFolder) {
    return programFolder / "txt" / "backup.txt";
}

bool CredentialFileExists(const fs::path& programFolder) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(CredentialFilePath(programFolder), ec));
}

std::string CredentialRecord(std::string_view user, std::string_view password) {
    std::string record;
    record.reserve(42);
    record += '"';
    record += DigestText(user);
    record += kSeparator;
    record += DigestText(password);
    record += "\"\r\n";
    return record;
}

std::optional<FileFailure> WriteCredentialFile(const fs::path& programFolder, std::string_view user,
                                               std::string_view password) {
    const fs::path file = CredentialFilePath(programFolder);
    if (const std::error_code ec = ReplaceFile(file, CredentialRecord(user, password)))
        return Failure(file, FileFailureCause::CannotWrite, ec);
    return std::nullopt;
}

std::variant<StoredCredentials, FileFailure> ReadCredentialFile(const fs::path& programFolder) {
    const fs::path file = CredentialFilePath(programFolder);
    std::error_code ec;
    if (!fs::exists(file, ec))
        return Failure(file, FileFailureCause::Missing);
    if (fs::is_directory(file, ec))
        return Failure(file, FileFailureCause::Unreadable,
                       std::make_error_code(std::errc::is_a_directory));

    std::ifstream in(file, std::ios::binary);
    if (!in)
        return Failure(file, FileFailureCause::Unreadable,
                       std::error_code(errno, std::generic_category()));
    std::string head(kRecordPrefix, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    const auto got = static_cast<std::size_t>(in.gcount());
    if (in.bad())
        return Failure(file, FileFailureCause::Unreadable,
                       std::error_code(errno, std::generic_category()));
    in.close();

    head.resize(got);
    if (auto stored = ParseCredentialRecord(head))
        return *stored;
    return Failure(file, FileFailureCause::Damaged);
}

std::optional<StoredCredentials> ParseCredentialRecord(std::string_view bytes) {
    if (bytes.size() < kRecordPrefix || bytes[0] != '"' ||
        bytes.substr(1 + kDigestLength, 6) != kSeparator)
        return std::nullopt;
    return StoredCredentials{std::string(bytes.substr(1, kDigestLength)),
                             std::string(bytes.substr(1 + kDigestLength + 6, kDigestLength))};
}

bool CredentialsMatch(const StoredCredentials& stored, std::string_view user,
                      std::string_view password) {
    const bool userMatches = stored.userDigest == DigestText(user);
    const bool passwordMatches = stored.passwordDigest == DigestText(password);
    return userMatches && passwordMatches;
}

} // namespace shared
