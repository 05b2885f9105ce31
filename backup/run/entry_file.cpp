#include "entry_file.h"

#include <QFileInfo>
#include <QRegularExpression>

bool IsSafeEntryName(const QString& entry) {
    if (entry.isEmpty() || entry.contains(QChar(0)) || entry.startsWith(u'/') ||
        entry.startsWith(u'\\'))
        return false;
    static const QRegularExpression separators(QStringLiteral("[/\\\\]"));
    for (const QString& segment : entry.split(separators))
        if (segment == u"..")
            return false;
    return true;
}

QString LocalFileOf(const QString& folder, const QString& entry) {
    return folder.endsWith(u'/') ? folder + entry : folder + u'/' + entry;
}

QString TemporaryFileOf(const QString& localFile) {
    const QFileInfo info(localFile);
    return info.path() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".ombrix-part");
}

bool LocalFileExists(const QString& localFile) {
    const QFileInfo info(localFile);
    return info.exists() && !info.isDir();
}
