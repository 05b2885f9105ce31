#include "http_connection.h"

#include <QSslSocket>
#include <QTcpSocket>

namespace {

// Pieces read from the socket at a time; unread data waits in the socket, bounded below.
constexpr qsizetype kReadPieceBytes = 64 * 1024;
// Reading pauses while this much waits unread, so a large body never piles up in memory.
constexpr qint64 kSocketBufferBytes = 1 << 20;

int DefaultPort(const QUrl& url) {
    return HttpConnection::IsTls(url) ? 443 : 80;
}

int PortOf(const QUrl& url) {
    return url.port(DefaultPort(url));
}

// The Host header: the host (an IPv6 address in brackets) and the port when not the default.
QByteArray HostHeader(const QUrl& url) {
    QByteArray host = url.host(QUrl::FullyEncoded).toLatin1();
    if (host.contains(':'))
        host = '[' + host + ']';
    if (url.port() != -1 && url.port() != DefaultPort(url))
        host += ':' + QByteArray::number(url.port());
    return host;
}

QString CauseOf(QAbstractSocket::SocketError error, const QString& socketText) {
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        return QStringLiteral("connessione rifiutata dal server");
    case QAbstractSocket::RemoteHostClosedError:
        return QStringLiteral("connessione interrotta dal server prima della fine della risposta");
    case QAbstractSocket::HostNotFoundError:
        return QStringLiteral("server non trovato");
    case QAbstractSocket::SocketTimeoutError:
        return QStringLiteral("tempo di attesa della connessione scaduto");
    case QAbstractSocket::SslHandshakeFailedError:
    case QAbstractSocket::SslInternalError:
    case QAbstractSocket::SslInvalidUserDataError:
        return QStringLiteral("errore TLS, connessione sicura non riuscita (%1)").arg(socketText);
    case QAbstractSocket::NetworkError:
        return QStringLiteral("rete non disponibile (%1)").arg(socketText);
    case QAbstractSocket::ProxyConnectionRefusedError:
        return QStringLiteral("connessione al proxy rifiutata");
    case QAbstractSocket::ProxyConnectionClosedError:
        return QStringLiteral("connessione al proxy interrotta");
    case QAbstractSocket::ProxyNotFoundError:
        return QStringLiteral("proxy non trovato");
    case QAbstractSocket::ProxyConnectionTimeoutError:
        return QStringLiteral("tempo di attesa del proxy scaduto");
    case QAbstractSocket::ProxyAuthenticationRequiredError:
        return QStringLiteral("il proxy richiede un'autenticazione");
    default:
        return QStringLiteral("errore di rete (%1)").arg(socketText);
    }
}

} // namespace

bool HttpConnection::IsTls(const QUrl& url) {
    return url.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0;
}

HttpConnection::HttpConnection(const QUrl& url, const QNetworkProxy& proxy, QObject* parent)
    : QObject(parent), origin_(url.adjusted(QUrl::RemoveUserInfo | QUrl::RemovePath |
                                            QUrl::RemoveQuery | QUrl::RemoveFragment)),
      proxy_(proxy), readBuffer_(kReadPieceBytes, Qt::Uninitialized) {
    forwardWholeUrl_ = proxy.type() == QNetworkProxy::HttpProxy && !IsTls(url);
    socket_ = IsTls(url) ? new QSslSocket(this) : new QTcpSocket(this);
    socket_->setProxy(forwardWholeUrl_ ? QNetworkProxy(QNetworkProxy::NoProxy) : proxy);
    socket_->setReadBufferSize(kSocketBufferBytes);
    connect(socket_, &QIODevice::readyRead, this, &HttpConnection::takeBytes);
    connect(socket_, &QAbstractSocket::errorOccurred, this, &HttpConnection::socketFailed);
    connect(socket_, &QAbstractSocket::disconnected, this, &HttpConnection::socketFailed);
    connect(socket_, &QIODevice::bytesWritten, this, &HttpConnection::progressed);
    connect(socket_, &QAbstractSocket::connected, this, [this] {
        socket_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        emit progressed();
    });
}

HttpConnection::~HttpConnection() {
    socket_->disconnect(this);
    socket_->abort();
}

bool HttpConnection::canCarry(const QUrl& url) const {
    if (inHand_ || unexpectedBytes_ || origin_.scheme() != url.scheme().toLower() ||
        origin_.host() != url.host() || PortOf(origin_) != PortOf(url))
        return false;
    if (requests_ == 0)
        return true;
    return socket_->state() == QAbstractSocket::ConnectedState && reader_.connectionReusable();
}

void HttpConnection::get(const QUrl& url, HttpResponseReader::BodySink sink) {
    reader_ = HttpResponseReader();
    sink_ = std::move(sink);
    sinkRefused_ = false;
    failure_.clear();
    inHand_ = true;
    ++requests_;
    if (socket_->state() == QAbstractSocket::UnconnectedState)
        open();
    // While the socket connects, the request waits in its buffer and leaves once connected.
    socket_->write(requestFor(url));
    if (socket_->state() == QAbstractSocket::ConnectedState)
        socket_->flush(); // at once, not at the next turn of the event loop
}

void HttpConnection::abort() {
    inHand_ = false;
    socket_->abort();
}

void HttpConnection::open() {
    const QString host = forwardWholeUrl_ ? proxy_.hostName() : origin_.host();
    const quint16 port = forwardWholeUrl_ ? proxy_.port() : PortOf(origin_);
    if (auto* tls = qobject_cast<QSslSocket*>(socket_))
        tls->connectToHostEncrypted(host, port);
    else
        socket_->connectToHost(host, port);
}

QByteArray HttpConnection::requestFor(const QUrl& url) const {
    QByteArray target;
    if (forwardWholeUrl_) {
        target = url.adjusted(QUrl::RemoveUserInfo | QUrl::RemoveFragment).toEncoded();
    } else {
        target = url.path(QUrl::FullyEncoded).toLatin1();
        if (target.isEmpty())
            target = "/";
        if (url.hasQuery())
            target += '?' + url.query(QUrl::FullyEncoded).toLatin1();
    }
    QByteArray request = "GET " + target + " HTTP/1.1\r\nHost: " + HostHeader(url) +
                         "\r\nUser-Agent: Ombrix\r\nAccept: */*\r\n";
    // identity: the bytes saved are the bytes the server holds, never a compressed form.
    request += "Accept-Encoding: identity\r\n";
    if (forwardWholeUrl_ && !proxy_.user().isEmpty())
        request += "Proxy-Authorization: Basic " +
                   (proxy_.user() + u':' + proxy_.password()).toUtf8().toBase64() + "\r\n";
    return request + "\r\n";
}

void HttpConnection::takeBytes() {
    for (;;) {
        const qint64 count = socket_->read(readBuffer_.data(), readBuffer_.size());
        if (count <= 0)
            return;
        emit progressed();
        if (!inHand_) {
            unexpectedBytes_ = true; // nothing was asked: this connection is not to be trusted
            continue;
        }
        sinkRefused_ = false;
        reader_.feed(QByteArrayView(readBuffer_.constData(), count), [this](QByteArrayView piece) {
            sinkRefused_ = !sink_(piece);
            return !sinkRefused_;
        });
        if (sinkRefused_)
            return finish(QStringLiteral("dati ricevuti non accettati"));
        if (reader_.phase() == HttpResponseReader::Phase::Invalid)
            return finish(
                QStringLiteral("risposta non valida del server (%1)").arg(reader_.problem()));
        if (reader_.phase() == HttpResponseReader::Phase::Complete) {
            // More than the answer came: whatever it is, it must not pass for the next one.
            if (socket_->bytesAvailable() > 0)
                unexpectedBytes_ = true;
            return finish(QString());
        }
    }
}

// The socket reported an error or closed. Data that came with it is read first: a body
// that runs to the end of the connection is complete only now, and only when the server
// closed it; any other error cuts such a body short.
void HttpConnection::socketFailed() {
    if (!inHand_)
        return;
    takeBytes();
    if (!inHand_)
        return;
    const QAbstractSocket::SocketError error = socket_->error();
    if (error == QAbstractSocket::RemoteHostClosedError ||
        error == QAbstractSocket::UnknownSocketError)
        reader_.endOfStream();
    if (reader_.phase() == HttpResponseReader::Phase::Complete)
        return finish(QString());
    finish(incompleteCause());
}

QString HttpConnection::incompleteCause() const {
    const QAbstractSocket::SocketError error = socket_->error();
    if (reader_.phase() == HttpResponseReader::Phase::Body && reader_.announcedLength())
        return QStringLiteral(
                   "connessione interrotta prima della fine della risposta, ricevuti %1 byte su %2")
            .arg(reader_.bodyReceived())
            .arg(*reader_.announcedLength());
    if (error == QAbstractSocket::UnknownSocketError)
        return CauseOf(QAbstractSocket::RemoteHostClosedError, QString());
    return CauseOf(error, socket_->errorString());
}

void HttpConnection::finish(const QString& failure) {
    inHand_ = false;
    failure_ = failure;
    if (!failure.isEmpty())
        socket_->abort(); // the rest of a broken exchange must not be taken for the next answer
    emit finished();
}
