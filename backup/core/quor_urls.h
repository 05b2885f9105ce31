// The addresses of the three requests made to the Quor server, built from the server
// address by plain concatenation: nothing is trimmed, added or removed, so a server address
// with a trailing slash gives a doubled slash.
//
//   upload address  = server address + "/quor/img_upload/"
//   file-list URL   = upload address + "quorbackup/quorbackuplog.sav"
//   file URL        = upload address + entry
//   clearing URL    = server address + "/quor/" + "backup/cancellacopie.php"
//
// The text forms are what the operator may be shown. The QUrl forms are what goes on the
// wire: there the entry is one literal path piece, percent-encoded (its "/" kept), so that
// a blank, '#', '?' or '%' in a file name reaches the server as part of the name instead of
// starting a fragment or a query.
#pragma once

#include <QString>
#include <QUrl>

QString UploadAddress(const QString& serverAddress);
QString FileListAddress(const QString& uploadAddress);
QString FileAddress(const QString& uploadAddress, const QString& entry);
QString ClearingAddress(const QString& serverAddress);

QUrl FileListUrl(const QString& uploadAddress);
QUrl FileUrl(const QString& uploadAddress, const QString& entry);
QUrl ClearingUrl(const QString& serverAddress);
