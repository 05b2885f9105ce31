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
// wire: there the entry is its own bytes, exactly as the list gave them, percent-encoded
// where a byte cannot stand in a path (its "/" kept as the separator of subfolders), so
// that a blank, '#', '?', '%', a line break or a byte above 127 reaches the server as part
// of the name instead of starting a fragment or a query. A list written in Windows-1252
// asks for "caff%E8.png", one written in UTF-8 for "caff%C3%A8.png".
#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <cstddef>

namespace ombrix {

QString UploadAddress(const QString& serverAddress);
QString FileListAddress(const QString& uploadAddress);
QString FileAddress(const QString& uploadAddress, const QString& entry);
QString ClearingAddress(const QString& serverAddress);

QUrl FileListUrl(const QString& uploadAddress);
QUrl FileUrl(const QString& uploadAddress, const QByteArray& entryBytes);
// The same from the upload address in its wire form, made once for a run's many entries.
QByteArray WireForm(const QString& address);
QUrl FileUrlOnWire(const QByteArray& uploadOnWire, const QByteArray& entryBytes);
QUrl ClearingUrl(const QString& serverAddress);

// Text answers are held whole, so each has a bound; an answer past it is a failure. The
// clearing answer is shown in a text box.
inline constexpr std::size_t kFileListLimit = std::size_t(256) << 20;
inline constexpr std::size_t kClearingAnswerLimit = std::size_t(1) << 20;

} // namespace ombrix
