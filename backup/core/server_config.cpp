#include "backup/core/server_config.h"

#include "backup/core/text_field.h"
#include "credentials/windows1252.h"

namespace ombrix {

using namespace shared;

std::filesystem::path ServerConfigFile(const std::filesystem::path& programFolder) {
    return programFolder / "dat" / "cfg.txt";
}

std::variant<QString, FileFailure> ReadServerAddress(const std::filesystem::path& programFolder) {
    auto field = ReadTextFieldFile(ServerConfigFile(programFolder));
    if (auto* failure = std::get_if<FileFailure>(&field))
        return *failure;
    return QString::fromStdU32String(DecodeWindows1252(std::get<std::string>(field)));
}

} // namespace ombrix
