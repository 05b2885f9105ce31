// The backup client's HTTP client: one GET at a time, synchronous for its caller.
//
// Each fetch returns only when the answer is complete (or has failed), but it waits in a
// nested event loop, so the window's events, user input included, go on being delivered
// meanwhile: a second click on the main button runs its handler while a file is on its way.
// Code run that way must not start another fetch on the same client; such a fetch fails at
// once.
//
// The client speaks HTTP/1.1 itself, on the caller's thread, and keeps its connection open
// from one request to the next while the server allows it (HttpConnection): a run of many
// small files costs little more than the files themselves. A kept connection that the
// server has meanwhile closed is replaced, and the request sent again, once.
//
// The status of the answer is reported, never judged: a 404 with its error page is a
// success whose status is 404, and the caller decides what it means. A failure is a request
// that got no complete answer: connection refused or dropped, host not found, TLS error,
// body shorter than announced, no data for the idle time-out. Its text is Italian, for the
// operator, and names the URL and the cause.
//
// Proxies come from the system settings (never for 127.0.0.1 / localhost); redirects (301,
// 302, 303, 307, 308) are followed, up to 10, unless they lead from https to http.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QUrl>

#include <chrono>
#include <functional>

class HttpConnection;
class QIODevice;

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

    // The body as text. On failure or abandon, text holds whatever had arrived.
    HttpTextResult fetchText(const QUrl& url);
    // The body as bytes, unchanged. On failure or abandon, bytes holds whatever had arrived.
    HttpBytesResult fetchBytes(const QUrl& url);
    // Writes the body into sink as it arrives, so that memory stays flat for a large file.
    // On failure or abandon the sink holds a partial body: the result tells, not the sink.
    // A sink that refuses a write fails the request.
    HttpResult fetchInto(const QUrl& url, QIODevice& sink);

    // Give up, with a failure naming the URL, when no data arrives for this long.
    void setIdleTimeout(std::chrono::milliseconds timeout) { idleTimeout_ = timeout; }
    std::chrono::milliseconds idleTimeout() const { return idleTimeout_; }

    // True while a fetch waits for its answer.
    bool busy() const { return exchange_ != nullptr; }

  public slots:
    // Ends the request in hand at once; its fetch returns Abandoned. Without one, nothing.
    void abandon();

  private:
    struct Exchange;
    // Keeps one piece of the body; returns why it could not (a sink write failed), or "".
    using Consumer = std::function<QString(QByteArrayView)>;

    HttpResult fetch(const QUrl& url, const Consumer& consume);
    HttpResult follow(Exchange& exchange, const Consumer& consume);
    void exchangeOnce(Exchange& exchange, const QUrl& target, const Consumer& consume);
    void send(Exchange& exchange, const QUrl& target, const Consumer& consume);
    void wait(Exchange& exchange);
    bool stopped(const Exchange& exchange) const;
    HttpResult verdict(const Exchange& exchange) const;

    HttpConnection* connection_ = nullptr; // kept from one request to the next
    std::chrono::milliseconds idleTimeout_ = kDefaultIdleTimeout;
    Exchange* exchange_ = nullptr; // the request in hand
};
