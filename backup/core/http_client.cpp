#include "http_client.h"

#include "answer_text.h"
#include "http_connection.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QHostAddress>
#include <QIODevice>
#include <QNetworkProxyFactory>
#include <QTimer>

namespace {

constexpr int kMaxRedirects = 10;

bool IsHttp(const QUrl& url) {
    return (HttpConnection::IsTls(url) ||
            url.scheme().compare(QLatin1String("http"), Qt::CaseInsensitive) == 0) &&
           !url.host().isEmpty();
}

// The system's proxy for url; never one for a server on this machine.
QNetworkProxy ProxyFor(const QUrl& url) {
    const QString host = url.host();
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0 ||
        QHostAddress(host).isLoopback())
        return QNetworkProxy(QNetworkProxy::NoProxy);
    const QList<QNetworkProxy> proxies =
        QNetworkProxyFactory::systemProxyForQuery(QNetworkProxyQuery(url));
    return proxies.isEmpty() ? QNetworkProxy(QNetworkProxy::NoProxy) : proxies.first();
}

// The answer sends the client elsewhere: its body is not the document.
bool IsRedirect(const HttpResponseReader& answer) {
    switch (answer.status()) {
    case 301:
    case 302:
    case 303:
    case 307:
    case 308:
        return answer.header("Location").has_value();
    default:
        return false;
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
    QUrl url; // as asked
    QEventLoop loop;
    QTimer idle;
    QElapsedTimer sinceProgress;
    bool done = false; // the answer in hand is complete or has failed
    bool abandoned = false;
    bool timedOut = false;
    bool clientGone = false; // the client was destroyed while the fetch waited
    bool redirected = false;
    QByteArray location; // where a redirect leads
    int status = 0;
    QString failure;   // the connection's, for the answer in hand
    QString sinkError; // the consumer's
};

HttpClient::HttpClient(QObject* parent) : QObject(parent) {}

HttpClient::~HttpClient() {
    // A fetch waiting in a nested loop returns Abandoned without touching this object.
    if (exchange_) {
        exchange_->clientGone = true;
        exchange_->loop.quit();
    }
}

HttpTextResult HttpClient::fetchText(const QUrl& url) {
    QByteArray body;
    HttpTextResult result;
    static_cast<HttpResult&>(result) = fetch(url, [&](QByteArrayView piece) {
        body.append(piece);
        return QString();
    });
    result.text = DecodeAnswerText(body);
    return result;
}

HttpBytesResult HttpClient::fetchBytes(const QUrl& url) {
    QByteArray body;
    HttpBytesResult result;
    static_cast<HttpResult&>(result) = fetch(url, [&](QByteArrayView piece) {
        body.append(piece);
        return QString();
    });
    result.bytes = std::move(body);
    return result;
}

HttpResult HttpClient::fetchInto(const QUrl& url, QIODevice& sink) {
    return fetch(url, [&](QByteArrayView piece) {
        if (sink.write(piece.data(), piece.size()) == piece.size())
            return QString();
        return QStringLiteral("impossibile scrivere i dati ricevuti (%1)").arg(sink.errorString());
    });
}

void HttpClient::abandon() {
    if (!exchange_)
        return;
    exchange_->abandoned = true;
    exchange_->loop.quit();
}

HttpResult HttpClient::fetch(const QUrl& url, const Consumer& consume) {
    if (exchange_)
        return Failed(url, QStringLiteral("è già in corso un'altra richiesta"));
    if (!IsHttp(url))
        return Failed(url, QStringLiteral("l'indirizzo deve cominciare con http:// o https://"));
    Exchange exchange;
    exchange.url = url;
    exchange.idle.setSingleShot(true);
    const std::chrono::milliseconds timeout = idleTimeout_;
    connect(&exchange.idle, &QTimer::timeout, &exchange.loop, [&exchange, timeout] {
        const std::chrono::milliseconds quiet{exchange.sinceProgress.elapsed()};
        if (quiet < timeout)
            return exchange.idle.start(timeout - quiet);
        exchange.timedOut = true;
        exchange.loop.quit();
    });
    exchange_ = &exchange;
    const HttpResult result = follow(exchange, consume);
    if (exchange.clientGone)
        return Abandoned();
    exchange_ = nullptr;
    return result;
}

HttpResult HttpClient::follow(Exchange& exchange, const Consumer& consume) {
    QUrl target = exchange.url;
    for (int hops = 0;; ++hops) {
        exchangeOnce(exchange, target, consume);
        if (exchange.clientGone)
            return Abandoned();
        if (stopped(exchange) || !exchange.redirected)
            return verdict(exchange);
        const QUrl next = target.resolved(QUrl::fromEncoded(exchange.location));
        if (hops == kMaxRedirects)
            return Failed(exchange.url, QStringLiteral("troppi reindirizzamenti"));
        if (!IsHttp(next))
            return Failed(exchange.url, QStringLiteral("reindirizzamento a un indirizzo non "
                                                       "valido (%1)")
                                            .arg(next.toDisplayString()));
        if (HttpConnection::IsTls(target) && !HttpConnection::IsTls(next))
            return Failed(exchange.url,
                          QStringLiteral("reindirizzamento da https a http rifiutato"));
        target = next;
    }
}

// One request and its answer; a kept connection that turns out closed is replaced once.
void HttpClient::exchangeOnce(Exchange& exchange, const QUrl& target, const Consumer& consume) {
    send(exchange, target, consume);
    wait(exchange);
    if (stopped(exchange) || exchange.failure.isEmpty())
        return;
    if (connection_->reused() && connection_->answer().sawNothing()) {
        send(exchange, target, consume);
        wait(exchange);
    }
}

void HttpClient::send(Exchange& exchange, const QUrl& target, const Consumer& consume) {
    if (!connection_ || !connection_->canCarry(target)) {
        delete connection_; // never from inside its own signals: no request is in hand
        connection_ = new HttpConnection(target, ProxyFor(target), this);
        connect(connection_, &HttpConnection::progressed, this, [this] {
            if (exchange_)
                exchange_->sinceProgress.start();
        });
        connect(connection_, &HttpConnection::finished, this, [this] {
            if (exchange_) {
                exchange_->done = true;
                exchange_->loop.quit();
            }
        });
    }
    exchange.done = false;
    exchange.redirected = false;
    exchange.failure.clear();
    exchange.sinkError.clear();
    exchange.sinceProgress.start();
    HttpConnection* connection = connection_;
    connection->get(target, [&exchange, &consume, connection](QByteArrayView piece) {
        if (IsRedirect(connection->answer()))
            return true; // the body of a redirect is dropped
        exchange.sinkError = consume(piece);
        return exchange.sinkError.isEmpty();
    });
}

void HttpClient::wait(Exchange& exchange) {
    if (!exchange.done) {
        exchange.idle.start(idleTimeout_);
        exchange.loop.exec(); // returns at once, or early, when the program's event loop has exited
    }
    if (exchange.clientGone)
        return;
    exchange.idle.stop();
    if (!exchange.done) {
        // Abandoned, timed out, or the program is ending: the request in hand is given up.
        if (!exchange.timedOut)
            exchange.abandoned = true;
        connection_->abort();
        return;
    }
    const HttpResponseReader& answer = connection_->answer();
    exchange.failure = connection_->failure();
    exchange.status = answer.status();
    exchange.redirected = exchange.failure.isEmpty() && IsRedirect(answer);
    if (exchange.redirected)
        exchange.location = *answer.header("Location");
}

bool HttpClient::stopped(const Exchange& exchange) const {
    return exchange.clientGone || exchange.abandoned || exchange.timedOut;
}

HttpResult HttpClient::verdict(const Exchange& exchange) const {
    if (exchange.abandoned)
        return Abandoned();
    const QUrl& url = exchange.url;
    if (exchange.timedOut)
        return Failed(
            url, QStringLiteral("nessun dato ricevuto per %1").arg(DurationText(idleTimeout_)));
    if (!exchange.sinkError.isEmpty())
        return Failed(url, exchange.sinkError);
    if (!exchange.failure.isEmpty())
        return Failed(url, exchange.failure);
    HttpResult result;
    result.outcome = HttpResult::Outcome::Success;
    result.status = exchange.status;
    return result;
}
