// One connection to an HTTP/1.1 server (plain or TLS), on the thread that uses it, carrying
// one GET at a time and kept open between requests while the server allows it.
//
// It never waits: it reports through signals, and its user waits for finished() in an
// event loop of its own (HttpClient). Socket and answer live on the same thread, so no
// request or answer is handed between threads: a small file costs one write and one or two
// reads.
//
// Proxies: a plain-HTTP proxy is sent the whole URL; any other proxy (and an HTTP proxy for
// https) carries a tunnel to the server.
#pragma once

#include "http_response_reader.h"

#include <QByteArray>
#include <QNetworkProxy>
#include <QObject>
#include <QString>
#include <QUrl>

class QTcpSocket;

class HttpConnection : public QObject {
    Q_OBJECT
  public:
    // A connection to the origin (scheme http or https, host, port) of url, through proxy.
    // Nothing is opened before the first get().
    HttpConnection(const QUrl& url, const QNetworkProxy& proxy, QObject* parent = nullptr);
    ~HttpConnection() override;

    // True when the next request for url may go on this connection: same origin, not yet
    // used, or still open with an answer that allows another request.
    bool canCarry(const QUrl& url) const;
    // True when the connection has carried an earlier request.
    bool reused() const { return requests_ > 1; }

    // Sends a GET for url and reads the answer, handing its body to sink piece by piece.
    // finished() follows, once.
    void get(const QUrl& url, HttpResponseReader::BodySink sink);
    // Ends the request in hand and closes the connection; no finished() follows.
    void abort();

    const HttpResponseReader& answer() const { return reader_; }
    // After finished(): why the answer is not complete (in Italian, for the operator), or
    // "" when it is. When the sink refused a piece, the cause is the sink's to tell.
    QString failure() const { return failure_; }

    // True for an https URL (the scheme compared without case).
    static bool IsTls(const QUrl& url);

  signals:
    void progressed(); // something arrived or left: the request is alive
    void finished();

  private:
    void open();
    QByteArray requestFor(const QUrl& url) const;
    void takeBytes();
    void socketFailed();
    void finish(const QString& failure);
    QString incompleteCause() const;

    QUrl origin_;
    QNetworkProxy proxy_;
    bool forwardWholeUrl_ = false; // a plain-HTTP proxy is asked for the URL itself
    QTcpSocket* socket_;
    QByteArray readBuffer_;
    HttpResponseReader reader_;
    HttpResponseReader::BodySink sink_;
    bool inHand_ = false;
    bool sinkRefused_ = false;
    bool unexpectedBytes_ = false; // bytes came while no request was in hand
    int requests_ = 0;
    QString failure_;
};
