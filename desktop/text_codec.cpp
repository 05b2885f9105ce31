#include "desktop/text_codec.h"

#include "credentials/windows1252.h"

namespace shared {

std::string ToWindows1252(const QString& text) {
    return EncodeWindows1252(text.toStdU32String());
}

QString FromWindows1252(std::string_view bytes) {
    return QString::fromStdU32String(DecodeWindows1252(bytes));
}

bool FitsWindows1252(const QString& text) {
    return IsWindows1252(text.toStdU32String());
}

std::filesystem::path ToPath(const QString& path) {
    return std::filesystem::path(path.toStdU16String());
}

QString FromPath(const std::filesystem::path& path) {
    return QString::fromStdU16String(path.u16string());
}

} // namespace shared
