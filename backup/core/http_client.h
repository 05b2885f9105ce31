// The backup client's HTTP client: one GET at a time, synchronous for its caller.
//
// Each fetch returns only when the answer is complete (or has failed), but it waits in a
// nested event loop, so the window's events, user input included, go on being delivered
// meanwhile: a second click on the main button runs its handler while a file is on its way.
// Code run that way must not start another fetch on the same client; such a fetch fails at
// once.
//
// The transfer itself is libcurl's, driven from the caller's thread: its sockets are watched
// by the event loop that waits, so no other thread exists. One connection is kept from one
// request to the next while the server allows it; a kept connection that the server has
// meanwhile closed is replaced and the request sent again, once, before any answer arrived.
//
// The status of the answer is reported, never judged: a 404 with its error page is a
// success whose status is 404, and the caller decides what it means. A failure is a request
// that got no complete answer: connection refused or dropped, host not found, TLS error,
// body shorter than announced, a text answer past its bound, no data for the idle limit.
// Its text is Italian, for the operator, and names the URL and the cause.
//
// Only http:// and https:// are spoken. Redirects are followed, up to 10, never from https
// to http and never to another scheme. TLS is checked against the system's certificate
// store. Proxies come from the conventional environment variables (http_proxy,
// https_proxy, all_proxy, no_proxy), never for this machine's own addresses.
#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QUrl>

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>

class QIODevice;
typedef void CURL; // as libcurl's own header declares it

namespace ombrix {

class CurlEventBridge;

struct HttpResult {
    enum class Outcome {
        Success,   // a complete answer arrived, whatever its status
        Failure,   // no complete answer; see failure
        Abandoned, // abandon() was called, or the program is ending (its event loop exited)
    };
    Outcome outcome = Outcome::Failure;
    int status = 0;  // HTTP status of the answer, 0 when none arrived
    QString failure; // for Failure: what went wrong, naming the URL; empty otherwise

    bool succeeded() const { return outcome == Outcome::Success; }
    bool abandoned() const { return outcome == Outcome::Abandoned; }
};

struct HttpTextResult : HttpResult {
    QString text; // the body, decoded by DecodeAnswerText (answer_text.h)
};

struct HttpBytesResult : HttpResult {
    QByteArray bytes; // the body, unchanged
};

class HttpClient : public QObject {
    Q_OBJECT
  public:
    static constexpr std::chrono::milliseconds kDefaultIdleTimeout{60'000};

    explicit HttpClient(QObject* parent = nullptr);
    ~HttpClient() override;

    // The body as text, held whole: at most `limit` bytes of it. A longer answer is a
    // failure that says so; no more than `limit` bytes are ever held. On failure or abandon,
    // text holds whatever had arrived.
    HttpTextResult fetchText(const QUrl& url, std::size_t limit);
    // The body as bytes, unchanged, bounded like fetchText.
    HttpBytesResult fetchBytes(const QUrl& url, std::size_t limit);
    // Writes the body into sink as it arrives, so that memory stays flat for a large file.
    // On failure or abandon the sink holds a partial body: the result tells, not the sink.
    // A sink that refuses a write fails the request. `meanwhile`, if given, runs once, as
    // soon as the request is under way and before the fetch waits: the caller's work that
    // need not wait for the answer overlaps the server's.
    HttpResult fetchInto(const QUrl& url, QIODevice& sink,
                         const std::function<void()>& meanwhile = {});

    // Give up, with a failure naming the URL, when no byte arrives for this long: counted
    // from the request's start, then from the last byte received. A complete answer is
    // never turned into a failure afterwards.
    void setIdleTimeout(std::chrono::milliseconds timeout);
    std::chrono::milliseconds idleTimeout() const { return idleTimeout_; }

    // Certificate authorities (a PEM file) to trust instead of the system's store: for a
    // server with a private authority. Empty: the system's store.
    void setTrustedCertificates(const QString& pemFile) { trustedCertificates_ = pemFile; }

    // True while a fetch waits for its answer.
    bool busy() const { return exchange_ != nullptr; }

    // Between fetches: delivers the events waiting for this thread, as a fetch's wait does,
    // once `interval` has passed since they were last delivered here (a fetch's wait counts);
    // sooner, nothing. False when abandon() was called meanwhile (the program is ending) or
    // the client was destroyed: the caller then gives up, touching nothing, as after an
    // abandoned fetch.
    bool deliverEvents(std::chrono::milliseconds interval);

  public slots:
    // Ends the request in hand at once; its fetch returns Abandoned. Without one, nothing.
    void abandon();

  private:
    struct Exchange;
    struct Pause;
    // Keeps one piece of the body; returns why it could not, or "".
    using Consumer = std::function<QString(QByteArrayView)>;

    HttpResult fetch(const QUrl& url, const Consumer& consume,
                     const std::function<void()>& meanwhile = {});
    bool start(Exchange& exchange);
    void wait(Exchange& exchange);
    void checkIdle();
    HttpResult verdict(const Exchange& exchange) const;
    static std::size_t received(char* data, std::size_t size, std::size_t count, void* exchange);
    static std::size_t headed(char* data, std::size_t size, std::size_t count, void* exchange);

    std::unique_ptr<CurlEventBridge> bridge_; // the multi handle; keeps the connection
    CURL* easy_ = nullptr;                    // the one easy handle, reused for every request
    std::chrono::milliseconds idleTimeout_ = kDefaultIdleTimeout;
    QTimer idle_;
    QString trustedCertificates_;
    Exchange* exchange_ = nullptr; // the request in hand
    Pause* pause_ = nullptr;       // deliverEvents() in hand
    QElapsedTimer sinceEvents_;    // since events were last delivered here
};

} // namespace ombrix
