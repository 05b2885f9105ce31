#include "backup/core/quor_urls.h"

namespace ombrix {

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

QUrl FileUrl(const QString& uploadAddress, const QByteArray& entryBytes) {
    return FileUrlOnWire(WireForm(uploadAddress), entryBytes);
}

QByteArray WireForm(const QString& address) {
    return QUrl(address, QUrl::TolerantMode).toEncoded();
}

QUrl FileUrlOnWire(const QByteArray& uploadOnWire, const QByteArray& entryBytes) {
    // Joined in encoded form: parsed as text, an escape that is not UTF-8 ("%E8") would be
    // replaced.
    return QUrl::fromEncoded(uploadOnWire + entryBytes.toPercentEncoding("/"), QUrl::TolerantMode);
}

QUrl ClearingUrl(const QString& serverAddress) {
    return QUrl(ClearingAddress(serverAddress), QUrl::TolerantMode);
}

} // namespace ombrix
