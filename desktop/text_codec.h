// The bridge between Qt's texts and paths and the programs' Windows-1252 bytes.
#pragma once

#include <QString>

#include <filesystem>
#include <string>
#include <string_view>

namespace shared {

std::string ToWindows1252(const QString& text);
QString FromWindows1252(std::string_view bytes);
bool FitsWindows1252(const QString& text);

std::filesystem::path ToPath(const QString& path);
QString FromPath(const std::filesystem::path& path);

} // namespace shared
