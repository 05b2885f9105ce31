// Reads one HTTP/1.x answer to a GET from the bytes of a connection, as they arrive in
// pieces of any size.
//
// The head is kept (status, headers); the body is handed on piece by piece, with the
// chunked transfer coding removed, so that it never has to sit in memory whole. The body
// ends as the head says: Content-Length, the last chunk, or the end of the connection when
// neither is given. Interim answers (1xx) are skipped. Anything the reader cannot take for
// an HTTP answer makes it Invalid, with the reason.
#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QByteArrayView>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

class HttpResponseReader {
  public:
    enum class Phase {
        Head,     // the head is still on its way
        Body,     // the head is in; the body may still be on its way
        Complete, // the whole answer is in
        Invalid,  // not an HTTP answer, or one that breaks its own framing; see problem()
    };
    // Takes one piece of the body; returns false to stop reading for good (the reader stays
    // in Body).
    using BodySink = std::function<bool(QByteArrayView)>;

    // Takes the next bytes from the connection. Bytes after the end of the answer are not
    // read; they only mean that the connection cannot carry another request.
    void feed(QByteArrayView bytes, const BodySink& sink);
    // The connection has closed: completes a body that runs to the end of the connection.
    void endOfStream();

    Phase phase() const { return phase_; }
    bool sawNothing() const { return !sawBytes_; } // not one byte arrived
    int status() const { return status_; }
    // The value of the first header with this name (compared without case), if any.
    std::optional<QByteArray> header(QByteArrayView name) const;
    // Once Complete: whether the same connection may carry the next request.
    bool connectionReusable() const;
    qint64 bodyReceived() const { return bodyReceived_; }
    // The length the head announced; none for chunked and close-delimited bodies.
    std::optional<qint64> announcedLength() const { return announced_; }
    QString problem() const { return problem_; }

  private:
    enum class Framing { None, Length, Chunked, UntilClose };
    enum class ChunkStep { Size, Data, DataEnd, Trailer };

    bool takeHead(QByteArrayView& bytes);
    bool readHead(QByteArrayView head);
    bool readStatusLine(QByteArrayView line);
    bool chooseFraming();
    void takeBody(QByteArrayView& bytes, const BodySink& sink);
    void takeChunked(QByteArrayView& bytes, const BodySink& sink);
    bool takeLine(QByteArrayView& bytes, QByteArrayView& line);
    bool gather(QByteArrayView& bytes, qsizetype end, qsizetype limit, const QString& tooLong);
    bool deliver(QByteArrayView piece, const BodySink& sink);
    void fail(const QString& why);
    bool hasToken(QByteArrayView name, QByteArrayView token) const;

    Phase phase_ = Phase::Head;
    bool sawBytes_ = false;
    bool trailingBytes_ = false;
    bool sinkRefused_ = false;
    QByteArray pending_; // an unfinished head or chunk line
    int minorVersion_ = 1;
    int status_ = 0;
    std::vector<std::pair<QByteArray, QByteArray>> headers_;
    Framing framing_ = Framing::None;
    qint64 remaining_ = 0; // of the body (Length) or of the chunk in hand (Chunked)
    ChunkStep chunkStep_ = ChunkStep::Size;
    qint64 bodyReceived_ = 0;
    std::optional<qint64> announced_;
    QString problem_;
};
