#include "backup/core/http_client.h"

#include "backup/core/answer_text.h"
#include "backup/core/curl_event_bridge.h"
#include "backup/core/transfer_failure.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QIODevice>
#include <QTimer>

#include <algorithm>
#include <mutex>

namespace ombrix {

namespace {

constexpr long kMaxRedirects = 10;
// Large reads: a big file costs fewer calls, a small one is no slower.
constexpr long kReceiveBuffer = 256 * 1024;

bool IsHttp(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    return (scheme == u"http" || scheme == u"https") && !url.host().isEmpty();
}

// The operator's own exceptions, and always this machine's own addresses.
QByteArray NoProxyList() {
    QByteArray list = qgetenv("no_proxy");
    if (list.isEmpty())
        list = qgetenv("NO_PROXY");
    if (list.trimmed() == "*")
        return list;
    return list + (list.isEmpty() ? "" : ",") + "localhost,127.0.0.0/8,::1";
}

CURL* NewEasyHandle() {
    static std::once_flag initialised;
    std::call_once(initialised, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    CURL* easy = curl_easy_init();
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, kMaxRedirects);
    // The path goes out exactly as the caller encoded it.
    curl_easy_setopt(easy, CURLOPT_PATH_AS_IS, 1L);
    curl_easy_setopt(easy, CURLOPT_NOPROXY, NoProxyList().constData());
    curl_easy_setopt(easy, CURLOPT_BUFFERSIZE, kReceiveBuffer);
    curl_easy_setopt(easy, CURLOPT_USERAGENT, "Ombrix");
    return easy;
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

// Keeps piece in body while the whole stays within limit; says why not otherwise.
QString AppendBounded(QByteArray& body, QByteArrayView piece, std::size_t limit) {
    const std::size_t needed = static_cast<std::size_t>(body.size() + piece.size());
    if (needed > limit)
        return QStringLiteral("la risposta supera il limite di %1 byte ed è troppo grande")
            .arg(limit);
    if (static_cast<std::size_t>(body.capacity()) < needed) // grow, but never past the bound
        body.reserve(static_cast<qsizetype>(
            std::min(limit, std::max(needed, 2 * static_cast<std::size_t>(body.capacity())))));
    body.append(piece);
    return QString();
}

} // namespace

// What one fetch learns while it waits; lives on the fetch's stack.
struct HttpClient::Exchange {
    QUrl url;
    const Consumer* consume = nullptr;
    QEventLoop loop;
    QElapsedTimer sinceByte;
    bool done = false; // the transfer has ended, complete or failed
    bool abandoned = false;
    bool timedOut = false;
    bool clientGone = false; // the client was destroyed while the fetch waited
    int status = 0;
    TransferFacts facts;
    QString sinkError; // the consumer's
};

// What deliverEvents() learns while the events are delivered; lives on its stack.
struct HttpClient::Pause {
    bool abandoned = false;
    bool clientGone = false;
};

HttpClient::HttpClient(QObject* parent)
    : QObject(parent), bridge_(std::make_unique<CurlEventBridge>()), easy_(NewEasyHandle()) {
    idle_.setSingleShot(true);
    connect(&idle_, &QTimer::timeout, this, &HttpClient::checkIdle);
}

HttpClient::~HttpClient() {
    // A fetch waiting in a nested loop returns Abandoned without touching this object.
    if (exchange_) {
        exchange_->clientGone = true;
        exchange_->loop.quit();
    }
    if (pause_)
        pause_->clientGone = true;
    bridge_.reset(); // takes the transfer off before its handle goes
    curl_easy_cleanup(easy_);
}

HttpTextResult HttpClient::fetchText(const QUrl& url, std::size_t limit) {
    HttpBytesResult bytes = fetchBytes(url, limit);
    HttpTextResult result;
    static_cast<HttpResult&>(result) = bytes;
    result.text = DecodeAnswerText(bytes.bytes);
    return result;
}

HttpBytesResult HttpClient::fetchBytes(const QUrl& url, std::size_t limit) {
    HttpBytesResult result;
    static_cast<HttpResult&>(result) =
        fetch(url, [&](QByteArrayView piece) { return AppendBounded(result.bytes, piece, limit); });
    return result;
}

HttpResult HttpClient::fetchInto(const QUrl& url, QIODevice& sink,
                                 const std::function<void()>& meanwhile) {
    const auto write = [&](QByteArrayView piece) {
        if (sink.write(piece.data(), piece.size()) == piece.size())
            return QString();
        return QStringLiteral("impossibile scrivere i dati ricevuti (%1)").arg(sink.errorString());
    };
    return fetch(url, write, meanwhile);
}

void HttpClient::setIdleTimeout(std::chrono::milliseconds timeout) {
    idleTimeout_ = timeout;
    idle_.stop();
}

// The idle timer is left running from one fetch to the next, so that a run of small files
// does not arm it for each. When it fires it looks at the fetch in hand, if any.
void HttpClient::checkIdle() {
    if (!exchange_ || exchange_->done)
        return; // nothing waits: the timer rests until the next fetch
    const std::chrono::milliseconds quiet{exchange_->sinceByte.elapsed()};
    if (quiet < idleTimeout_)
        return idle_.start(idleTimeout_ - quiet);
    exchange_->timedOut = true;
    exchange_->loop.quit();
}

void HttpClient::abandon() {
    if (pause_)
        pause_->abandoned = true;
    if (!exchange_)
        return;
    exchange_->abandoned = true;
    exchange_->loop.quit();
}

bool HttpClient::deliverEvents(std::chrono::milliseconds interval) {
    if (exchange_ || pause_)
        return true; // called from inside a wait, which delivers them already
    if (sinceEvents_.isValid() && sinceEvents_.elapsed() < interval.count())
        return true;
    sinceEvents_.start();
    Pause pause;
    pause_ = &pause;
    QCoreApplication::processEvents();
    if (pause.clientGone)
        return false;
    pause_ = nullptr;
    return !pause.abandoned;
}

HttpResult HttpClient::fetch(const QUrl& url, const Consumer& consume,
                             const std::function<void()>& meanwhile) {
    const auto refused = [&](const QString& cause) {
        if (meanwhile)
            meanwhile();
        return Failed(url, cause);
    };
    if (exchange_)
        return refused(QStringLiteral("è già in corso un'altra richiesta"));
    if (!IsHttp(url))
        return refused(QStringLiteral("l'indirizzo deve cominciare con http:// o https://"));
    Exchange exchange;
    exchange.url = url;
    exchange.consume = &consume;
    if (!start(exchange))
        return refused(QStringLiteral("impossibile avviare la richiesta"));
    exchange_ = &exchange;
    if (meanwhile)
        meanwhile(); // no event is delivered here: the transfer waits in the socket
    wait(exchange);
    if (exchange.clientGone)
        return Abandoned();
    exchange_ = nullptr;
    return verdict(exchange);
}

bool HttpClient::start(Exchange& exchange) {
    const QByteArray url = exchange.url.toEncoded();
    const bool https = exchange.url.scheme().compare(u"https", Qt::CaseInsensitive) == 0;
    curl_easy_setopt(easy_, CURLOPT_URL, url.constData());
    curl_easy_setopt(easy_, CURLOPT_REDIR_PROTOCOLS_STR, https ? "https" : "http,https");
    if (!trustedCertificates_.isEmpty())
        curl_easy_setopt(easy_, CURLOPT_CAINFO, trustedCertificates_.toLocal8Bit().constData());
    curl_easy_setopt(easy_, CURLOPT_WRITEFUNCTION, &HttpClient::received);
    curl_easy_setopt(easy_, CURLOPT_WRITEDATA, &exchange);
    curl_easy_setopt(easy_, CURLOPT_HEADERFUNCTION, &HttpClient::headed);
    curl_easy_setopt(easy_, CURLOPT_HEADERDATA, &exchange);
    exchange.facts.fromHttps = https;

    exchange.sinceByte.start(); // the idle limit counts from here, then from each byte
    return bridge_->start(easy_, [this, &exchange](CURLcode code) {
        // Everything is read now, before the handle serves another request.
        long status = 0;
        curl_easy_getinfo(easy_, CURLINFO_RESPONSE_CODE, &status);
        exchange.status = static_cast<int>(status);
        TransferFacts& facts = exchange.facts;
        facts.code = code;
        curl_easy_getinfo(easy_, CURLINFO_SSL_VERIFYRESULT, &facts.certificateCheck);
        curl_easy_getinfo(easy_, CURLINFO_SIZE_DOWNLOAD_T, &facts.received);
        curl_easy_getinfo(easy_, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &facts.announced);
        // A redirect refused: libcurl has taken its target as the address in hand.
        const char* effective = nullptr;
        curl_easy_getinfo(easy_, CURLINFO_EFFECTIVE_URL, &effective);
        long followed = 0;
        curl_easy_getinfo(easy_, CURLINFO_REDIRECT_COUNT, &followed);
        if (code == CURLE_UNSUPPORTED_PROTOCOL && followed > 0 && effective)
            facts.refusedRedirect = QString::fromUtf8(effective);
        exchange.done = true; // from now on the idle limit no longer applies
        exchange.loop.quit();
    });
}

void HttpClient::wait(Exchange& exchange) {
    if (!idle_.isActive())
        idle_.start(idleTimeout_);
    if (!exchange.done) {
        exchange.loop.exec(); // returns at once, or early, when the program's loop has exited
        if (exchange.clientGone)
            return;
        sinceEvents_.start();
    }
    if (!exchange.done) {
        // Abandoned, timed out, or the program is ending: the request in hand is given up.
        if (!exchange.timedOut)
            exchange.abandoned = true;
        bridge_->cancel();
    }
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
    if (exchange.facts.code != CURLE_OK)
        return Failed(url, TransferFailureCause(exchange.facts));
    HttpResult result;
    result.outcome = HttpResult::Outcome::Success;
    result.status = exchange.status;
    return result;
}

std::size_t HttpClient::received(char* data, std::size_t size, std::size_t count, void* self) {
    Exchange& exchange = *static_cast<Exchange*>(self);
    exchange.sinceByte.start();
    const std::size_t bytes = size * count;
    exchange.sinkError = (*exchange.consume)(QByteArrayView(data, static_cast<qsizetype>(bytes)));
    return exchange.sinkError.isEmpty() ? bytes : 0; // 0 ends the transfer
}

std::size_t HttpClient::headed(char*, std::size_t size, std::size_t count, void* self) {
    static_cast<Exchange*>(self)->sinceByte.start();
    return size * count;
}

} // namespace ombrix
