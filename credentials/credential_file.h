// The credential file: the one operator account, as the digests of its user name and
// password, in the program folder's txt/backup.txt.
//
// The record is 42 bytes: '"', the 16-byte user-name digest, "######", the 16-byte
// password digest, '"', CR LF. Nothing in it is escaped: a digest may hold any byte.
// Texts passed in are Windows-1252 byte strings, exactly as typed.
#pragma once

#include "credentials/file_failure.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace shared {

struct StoredCredentials {
    std::string userDigest;     // 16 bytes
    std::string passwordDigest; // 16 bytes
};

std::filesystem::path CredentialFilePath(const std::filesystem::path& programFolder);

// True when something exists at the path; the file is neither opened nor examined.
bool CredentialFileExists(const std::filesystem::path& programFolder);

// Replaces the file with the record of user and password. txt/ is never created.
// On failure the previous record is left untouched.
std::optional<FileFailure> WriteCredentialFile(const std::filesystem::path& programFolder,
                                               std::string_view user, std::string_view password);

// The stored digests, split by position; bytes after the record are not examined.
std::variant<StoredCredentials, FileFailure>
ReadCredentialFile(const std::filesystem::path& programFolder);

// The digests of a record that starts bytes, split by position (the bytes after the
// password digest are not examined), or nothing when bytes do not start with one.
std::optional<StoredCredentials> ParseCredentialRecord(std::string_view bytes);

// Both digests are always compared; true only when both are equal.
bool CredentialsMatch(const StoredCredentials& stored, std::string_view user,
                      std::string_view password);

// The 42 bytes of the record for user and password.
std::string CredentialRecord(std::string_view user, std::string_view password);

} // namespace shared
