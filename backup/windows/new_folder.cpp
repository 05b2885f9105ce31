#include "backup/windows/new_folder.h"

#include "backup/windows/folder_paths.h"
#include "credentials/system_error_cause.h"
#include "desktop/text_codec.h"

#include <filesystem>
#include <system_error>

namespace ombrix {

using namespace shared;

namespace {

// Names that would not make one new folder directly inside the parent.
bool ImpossibleName(const QString& name) {
    return name.contains(QLatin1Char('/')) || name.contains(QChar(0)) ||
           name == QStringLiteral(".") || name == QStringLiteral("..");
}

QString Reason(const std::error_code& error) {
    if (error == std::errc::no_such_file_or_directory)
        return QStringLiteral("la cartella in cui crearla non esiste più");
    if (error == std::errc::permission_denied || error == std::errc::read_only_file_system)
        return QStringLiteral("la cartella corrente non è scrivibile");
    return QString::fromStdString(SystemErrorCause(error));
}

QString Failure(const QString& folder, const QString& reason) {
    return QStringLiteral("Impossibile creare la cartella %1: %2.").arg(folder, reason);
}

} // namespace

std::optional<QString> CreateSubfolder(const QString& parent, const QString& name) {
    const QString folder = ChildFolder(parent, name);
    if (ImpossibleName(name))
        return Failure(folder, QStringLiteral("il nome non può essere quello di una cartella"));
    std::error_code error;
    const bool made = std::filesystem::create_directory(ToPath(folder), error);
    // An existing folder gives no error, an existing file gives "file exists".
    if ((!error && !made) || error == std::errc::file_exists)
        return Failure(folder, QStringLiteral("esiste già una cartella o un file con questo nome"));
    if (error)
        return Failure(folder, Reason(error));
    return std::nullopt;
}

} // namespace ombrix
