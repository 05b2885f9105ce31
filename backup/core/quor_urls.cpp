#include "quor_urls.h"

QString UploadAddress(const QString& serverAddress) {
    return serverAddress + QStringLiteral("/quor/img_upload/");
}

QString FileListAddress(const QString& uploadAddress) {
    return uploadAddress + QStringLiteral("quorbackup/quorbackuplog.sav");
}

QString FileAddress(const QString& uploadAddress, const QString& entry) {
    return uploadAddress + entry;
}

QString ClearingAddress(const QString& serverAddress) {
    return serverAddress + QStringLiteral("/quor/") + QStringLiteral("backup/cancellacopie.php");
}

QUrl FileListUrl(const QString& uploadAddress) {
    return QUrl(FileListAddress(uploadAddress), QUrl::TolerantMode);
}

QUrl FileUrl(const QString& uploadAddress, const QString& entry) {
    // Encoded first, so that tolerant parsing of the whole text leaves the entry as it is.
    const QString encoded = QString::fromLatin1(QUrl::toPercentEncoding(entry, "/"));
    return QUrl(uploadAddress + encoded, QUrl::TolerantMode);
}

QUrl ClearingUrl(const QString& serverAddress) {
    return QUrl(ClearingAddress(serverAddress), QUrl::TolerantMode);
}
