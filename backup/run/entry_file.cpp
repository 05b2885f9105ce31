#include "backup/run/entry_file.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <filesystem>

namespace ombrix {

namespace fs = std::filesystem;

namespace {

bool IsInside(const fs::path& path, const fs::path& root) {
    const auto [rootEnd, ignored] =
        std::mismatch(root.begin(), root.end(), path.begin(), path.end());
    return rootEnd == root.end();
}

} // namespace

bool IsSafeEntryName(const QString& entry) {
    if (entry.isEmpty() || entry.contains(QChar(0)) || entry.startsWith(u'/') ||
        entry.startsWith(u'\\') || entry.endsWith(u'/'))
        return false;
    static const QRegularExpression separators(QStringLiteral("[/\\\\]"));
    const QStringList segments = entry.split(separators);
    return std::none_of(segments.begin(), segments.end(),
                        [](const QString& segment) { return segment == u".."; }) &&
           segments.last() != u".";
}

QString LocalFileOf(const QString& folder, const QString& entry) {
    return folder.endsWith(u'/') ? folder + entry : folder + u'/' + entry;
}

std::variant<SavedFiles::Target, QString> TargetOf(const QString& destination,
                                                   const QString& entry) {
    const QString local = LocalFileOf(destination, entry);
    const qsizetype slash = entry.lastIndexOf(u'/');
    const std::string name = entry.mid(slash + 1).toStdString();
    if (slash < 0) // a bare name: the destination itself, whatever it is
        return SavedFiles::Target{destination.toStdString(), name, local};
    std::error_code error;
    const fs::path root = fs::canonical(destination.toStdString(), error);
    const fs::path folder =
        error ? fs::path()
              : fs::canonical(LocalFileOf(destination, entry.left(slash)).toStdString(), error);
    if (error)
        return CannotWrite(local, error);
    if (!IsInside(folder, root))
        return QStringLiteral("Nome di file non valido nell'elenco del server: \"%1\": la sua "
                              "cartella porta fuori dalla cartella di destinazione. Nessun file "
                              "è stato scritto per questa voce.")
            .arg(entry);
    return SavedFiles::Target{folder.string(), name, local};
}

bool LocalFileExists(const QString& localFile) {
    const QFileInfo info(localFile);
    return info.exists() && !info.isDir();
}

} // namespace ombrix
