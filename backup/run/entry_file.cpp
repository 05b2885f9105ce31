#include "backup/run/entry_file.h"

#include <QFile>

#include <algorithm>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
    // Either separator ends a segment: no segment may be "..", nor the last one ".".
    const QStringView text(entry);
    for (qsizetype from = 0;;) {
        qsizetype to = from;
        while (to < text.size() && text[to] != u'/' && text[to] != u'\\')
            ++to;
        const QStringView segment = text.sliced(from, to - from);
        if (segment == u"..")
            return false;
        if (to == text.size())
            return segment != u".";
        from = to + 1;
    }
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

ExistingFiles::~ExistingFiles() {
    if (folder_ >= 0)
        ::close(folder_);
}

bool ExistingFiles::contains(const QString& destination, const QString& entry) {
    if (!opened_ || destination != destination_) {
        if (folder_ >= 0)
            ::close(folder_);
        destination_ = destination;
        folder_ =
            ::open(QFile::encodeName(destination).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        opened_ = true;
    }
    // A destination that cannot be opened is looked through by its path, entry by entry.
    const QByteArray path =
        QFile::encodeName(folder_ >= 0 ? entry : LocalFileOf(destination, entry));
    struct stat info {};
    return ::fstatat(folder_ >= 0 ? folder_ : AT_FDCWD, path.constData(), &info, 0) == 0 &&
           !S_ISDIR(info.st_mode);
}

} // namespace ombrix
