// Where the server address comes from: the first text field of the program folder's
// dat/cfg.txt, read afresh on every call (nothing is cached).
#pragma once

#include "credentials/file_failure.h"

#include <QString>

#include <filesystem>
#include <variant>

namespace ombrix {

using namespace shared;

// The configuration file of a program folder.
std::filesystem::path ServerConfigFile(const std::filesystem::path& programFolder);

// The server address exactly as written (Windows-1252 decoded), or the failure naming
// dat/cfg.txt: Missing when there is no file, Damaged when it ends before a field.
std::variant<QString, FileFailure> ReadServerAddress(const std::filesystem::path& programFolder);

} // namespace ombrix
