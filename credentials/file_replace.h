// Replacing a small file whole, so that a failure never leaves it half-written.
#pragma once

#include <filesystem>
#include <string_view>
#include <system_error>

namespace shared {

// Writes bytes into a temporary file beside target, flushes it, and renames it over
// target. On any failure target keeps its previous content, no temporary file is left,
// and the system's reason is returned (permission_denied for a read-only target,
// no_such_file_or_directory when the folder is missing). An empty code means success.
std::error_code ReplaceFile(const std::filesystem::path& target, std::string_view bytes);

// The whole content of a file, or the reason it could not be read.
std::error_code ReadWholeFile(const std::filesystem::path& file, std::string& bytes);

} // namespace shared
