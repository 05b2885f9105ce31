// The text field: how one text value is kept in a small text file (txt/path.txt,
// dat/cfg.txt).
//
// Written form: '"', the text, '"', CR LF, as Windows-1252 bytes; nothing is escaped.
// Reading takes the first field: leading blanks are skipped; a field that begins with
// '"' runs to the next '"' and is taken without the quotes; any other field runs to the
// first comma or the end of the first line. Whatever follows the first field is ignored.
// Texts here are Windows-1252 byte strings.
#pragma once

#include "credentials/file_failure.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace ombrix {

using namespace shared;

// The first field of bytes, or nothing when they end before a field could be read.
std::optional<std::string> FirstTextField(std::string_view bytes);

// The written form of one field.
std::string TextFieldRecord(std::string_view text);

// A missing file is Missing; a file that ends before a field is Damaged.
std::variant<std::string, FileFailure> ReadTextFieldFile(const std::filesystem::path& file);

// Replaces the file whole with one field (temporary file, then rename).
std::optional<FileFailure> WriteTextFieldFile(const std::filesystem::path& file,
                                              std::string_view text);

} // namespace ombrix
