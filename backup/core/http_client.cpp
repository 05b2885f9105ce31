#include "http_client.h"

#include "answer_text.h"

#include <QEventLoop>
#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

#include <memory>

namespace {

// The system's proxy settings, except for the loopback address: a server on this machine
// is always reached directly.
class SystemProxyFactory : public QNetworkProxyFactory {
  public:
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery& query) override {
        const QString host = query.peerHostName();
        if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0 ||
            QHostAddress(host).isLoopback())
            return {QNetworkProxy(QNetworkProxy::NoProxy)};
        return systemProxyForQuery(query);
    }
};

// Errors that Qt derives from the HTTP status alone: the answer itself arrived whole.
bool IsStatusOnly(QNetworkReply::NetworkError error) {
    const int code = error;
    return (code >= QNetworkReply::ContentAccessDenied &&
            code <= QNetworkReply::UnknownContentError) ||
           (code >= QNetworkReply::InternalServerError &&
            code <= QNetworkReply::UnknownServerError) ||
           error == QNetworkReply::ProtocolInvalidOperationError;
}

QString CauseOf(QNetworkReply::NetworkError error, const QString& qtText) {
    switch (error) {
    case QNetworkReply::ConnectionRefusedError:
        return QStringLiteral("connessione rifiutata dal server");
    case QNetworkReply::RemoteHostClosedError:
        return QStringLiteral("connessione interrotta dal server prima della fine della risposta");
    case QNetworkReply::HostNotFoundError:
        return QStringLiteral("server non trovato");
    case QNetworkReply::TimeoutError:
        return QStringLiteral("tempo di attesa della connessione scaduto");
    case QNetworkReply::SslHandshakeFailedError:
        return QStringLiteral("errore TLS, connessione sicura non riuscita (%1)").arg(qtText);
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::BackgroundRequestNotAllowedError:
        return QStringLiteral("rete non disponibile");
    case QNetworkReply::TooManyRedirectsError:
        return QStringLiteral("troppi reindirizzamenti");
    case QNetworkReply::InsecureRedirectError:
        return QStringLiteral("reindirizzamento da https a http rifiutato");
    case QNetworkReply::ProxyConnectionRefusedError:
        return QStringLiteral("connessione al proxy rifiutata");
    case QNetworkReply::ProxyConnectionClosedError:
        return QStringLiteral("connessione al proxy interrotta");
    case QNetworkReply::ProxyNotFoundError:
        return QStringLiteral("proxy non trovato");
    case QNetworkReply::ProxyTimeoutError:
        return QStringLiteral("tempo di attesa del proxy scaduto");
    case QNetworkReply::ProxyAuthenticationRequiredError:
        return QStringLiteral("il proxy richiede un'autenticazione");
    case QNetworkReply::ProtocolUnknownError:
        return QStringLiteral("protocollo non supportato");
    case QNetworkReply::OperationCanceledError:
        return QStringLiteral("richiesta annullata");
    default:
        return QStringLiteral("errore di rete (%1)").arg(qtText);
    }
}

QString DurationText(std::chrono::milliseconds time) {
    if (time.count() % 1000 == 0)
        return QStringLiteral("%1 secondi").arg(time.count() / 1000);
    return QStringLiteral("%1 millisecondi").arg(time.count());
}

HttpResult Failed(const QUrl& url, const QString& cause) {
    HttpResult result;
    result.outcome = HttpResult::Outcome::Failure;
    result.failure =
        QStringLiteral("Impossibile scaricare %1: %2.").arg(url.toDisplayString(), cause);
    return result;
}

HttpResult Abandoned() {
    HttpResult result;
    result.outcome = HttpResult::Outcome::Abandoned;
    return result;
}

} // namespace

// What one fetch learns while it waits; lives on the fetch's stack.
struct HttpClient::Exchange {
    QUrl url;
    QNetworkReply* reply = nullptr;
    QTimer idle; // restarted on every bit of progress
    qint64 received = 0;
    bool abandoned = false;
    bool timedOut = false;
    bool clientGone = false; // the client was destroyed while the fetch waited
    QString sinkError;
};

HttpClient::HttpClient(QObject* parent)
    : QObject(parent), manager_(new QNetworkAccessManager(this)) {
    manager_->setProxyFactory(new SystemProxyFactory); // the manager owns it
    manager_->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
}

HttpClient::~HttpClient() {
    // A fetch waiting in a nested loop returns Abandoned without touching this object.
    if (exchange_) {
        exchange_->clientGone = true;
        exchange_->reply->abort();
    }
}

HttpTextResult HttpClient::fetchText(const QUrl& url) {
    QByteArray body;
    HttpTextResult result;
    static_cast<HttpResult&>(result) = fetch(url, [&](const QByteArray& piece) {
        body += piece;
        return QString();
    });
    result.text = DecodeAnswerText(body);
    return result;
}

HttpBytesResult HttpClient::fetchBytes(const QUrl& url) {
    QByteArray body;
    HttpBytesResult result;
    static_cast<HttpResult&>(result) = fetch(url, [&](const QByteArray& piece) {
        body += piece;
        return QString();
    });
    result.bytes = std::move(body);
    return result;
}

HttpResult HttpClient::fetchInto(const QUrl& url, QIODevice& sink) {
    return fetch(url, [&](const QByteArray& piece) {
        if (sink.write(piece) == piece.size())
            return QString();
        return QStringLiteral("impossibile scrivere i dati ricevuti (%1)").arg(sink.errorString());
    });
}

void HttpClient::abandon() {
    if (!exchange_)
        return;
    exchange_->abandoned = true;
    exchange_->reply->abort();
}

namespace {
constexpr qint64 kReadBufferBytes = 1 << 20;
}

HttpResult HttpClient::fetch(const QUrl& url, const Consumer& consume) {
    if (exchange_)
        return Failed(url, QStringLiteral("è già in corso un'altra richiesta"));
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    Exchange exchange;
    exchange.url = url;
    exchange.reply = manager_->get(request);
    // Reading pauses while this much waits unread, so a large body never piles up in memory.
    exchange.reply->setReadBufferSize(kReadBufferBytes);
    exchange_ = &exchange;
    watch(exchange.reply, exchange, consume);

    QEventLoop loop;
    connect(exchange.reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    exchange.idle.start();
    if (!exchange.reply->isFinished())
        loop.exec(); // returns at once, or early, when the program's event loop has exited
    if (exchange.clientGone)
        return Abandoned();
    exchange_ = nullptr;
    exchange.idle.stop();
    const std::unique_ptr<QNetworkReply> reply(exchange.reply);
    if (!reply->isFinished()) {
        // The program is ending: the request in hand is given up.
        exchange.abandoned = true;
        reply->abort();
    }
    return verdict(reply.get(), exchange);
}

void HttpClient::watch(QNetworkReply* reply, Exchange& exchange, const Consumer& consume) {
    QTimer& idle = exchange.idle;
    idle.setSingleShot(true);
    idle.setInterval(idleTimeout_);
    connect(&idle, &QTimer::timeout, reply, [&exchange] {
        exchange.timedOut = true;
        exchange.reply->abort();
    });
    const auto progress = [&idle] { idle.start(); };
    connect(reply, &QNetworkReply::metaDataChanged, &idle, progress);
    connect(reply, &QNetworkReply::downloadProgress, &idle, progress);
    connect(reply, &QNetworkReply::uploadProgress, &idle, progress);
    connect(reply, &QNetworkReply::redirected, &idle, progress);
    connect(reply, &QNetworkReply::encrypted, &idle, progress);
    connect(reply, &QNetworkReply::readyRead, &idle, [&exchange, &consume] {
        exchange.idle.start();
        if (!exchange.sinkError.isEmpty())
            return;
        const QByteArray piece = exchange.reply->readAll();
        exchange.received += piece.size();
        exchange.sinkError = consume(piece);
        if (!exchange.sinkError.isEmpty())
            exchange.reply->abort();
    });
}

HttpResult HttpClient::verdict(QNetworkReply* reply, const Exchange& exchange) const {
    if (exchange.abandoned)
        return Abandoned();
    const QUrl& url = exchange.url;
    if (exchange.timedOut)
        return Failed(
            url, QStringLiteral("nessun dato ricevuto per %1").arg(DurationText(idleTimeout_)));
    if (!exchange.sinkError.isEmpty())
        return Failed(url, exchange.sinkError);

    const QVariant statusAttribute = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const int status = statusAttribute.isValid() ? statusAttribute.toInt() : 0;
    const QNetworkReply::NetworkError error = reply->error();
    if (error != QNetworkReply::NoError && !(status != 0 && IsStatusOnly(error)))
        return Failed(url, CauseOf(error, reply->errorString()));

    // A body cut short is a failure even when Qt has not noticed it.
    const QVariant announced = reply->header(QNetworkRequest::ContentLengthHeader);
    const QByteArray encoding = reply->rawHeader("Content-Encoding");
    const bool plain = encoding.isEmpty() || encoding.compare("identity", Qt::CaseInsensitive) == 0;
    if (announced.isValid() && plain && announced.toLongLong() != exchange.received)
        return Failed(
            url,
            QStringLiteral(
                "connessione interrotta prima della fine della risposta, ricevuti %1 byte su %2")
                .arg(exchange.received)
                .arg(announced.toLongLong()));
    HttpResult result;
    result.outcome = HttpResult::Outcome::Success;
    result.status = status;
    return result;
}
