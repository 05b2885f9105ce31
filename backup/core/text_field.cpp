#include "backup/core/text_field.h"

#include "credentials/file_replace.h"

namespace ombrix {

using namespace shared;

std::optional<std::string> FirstTextField(std::string_view bytes) {
    std::size_t start = bytes.find_first_not_of(" \t");
    if (start == std::string_view::npos)
        return std::nullopt;
    if (bytes[start] == '"') {
        const std::size_t end = bytes.find('"', start + 1);
        return std::string(bytes.substr(
            start + 1, end == std::string_view::npos ? std::string_view::npos : end - start - 1));
    }
    const std::size_t end = bytes.find_first_of(",\r\n", start);
    return std::string(
        bytes.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
}

std::string TextFieldRecord(std::string_view text) {
    std::string record;
    record.reserve(text.size() + 4);
    record += '"';
    record += text;
    record += "\"\r\n";
    return record;
}

std::variant<std::string, FileFailure> ReadTextFieldFile(const std::filesystem::path& file) {
    std::string bytes;
    if (const std::error_code ec = ReadWholeFile(file, bytes))
        return FileFailure{file,
                           ec == std::errc::no_such_file_or_directory
                               ? FileFailureCause::Missing
                               : FileFailureCause::Unreadable,
                           ec};
    if (auto field = FirstTextField(bytes))
        return std::move(*field);
    return FileFailure{file, FileFailureCause::Damaged, {}};
}

std::optional<FileFailure> WriteTextFieldFile(const std::filesystem::path& file,
                                              std::string_view text) {
    if (const std::error_code ec = ReplaceFile(file, TextFieldRecord(text)))
        return FileFailure{file, FileFailureCause::CannotWrite, ec};
    return std::nullopt;
}

} // namespace ombrix
