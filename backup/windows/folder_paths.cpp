#include "backup/windows/folder_paths.h"

#include <QDir>

namespace ombrix {

std::optional<QString> NormalFolder(const QString& path) {
    if (path.isEmpty() || !QDir::isAbsolutePath(path))
        return std::nullopt;
    return QDir::cleanPath(path);
}

QStringList FolderChain(const QString& folder) {
    QStringList chain{QStringLiteral("/")};
    QString path;
    for (const QString& name : folder.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        path += QLatin1Char('/') + name;
        chain.append(path);
    }
    return chain;
}

QString FolderName(const QString& folder) {
    if (folder == QStringLiteral("/"))
        return folder;
    return folder.mid(folder.lastIndexOf(QLatin1Char('/')) + 1);
}

QString ChildFolder(const QString& parent, const QString& name) {
    return parent.endsWith(QLatin1Char('/')) ? parent + name : parent + QLatin1Char('/') + name;
}

QStringList Subfolders(const QString& folder) {
    return QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot,
                                  QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
}

} // namespace ombrix
