#include "http_response_reader.h"

#include <algorithm>

namespace {

// Bounds that no sound server comes near; beyond them the answer is taken for garbage.
constexpr qsizetype kMaxHeadBytes = 64 * 1024;
constexpr qsizetype kMaxLineBytes = 8 * 1024;

// Where the head ends in bytes (just past its blank line), or -1 while it has not ended.
// before holds the bytes of the head already gathered: a blank line may begin there.
qsizetype EndOfHead(QByteArrayView before, QByteArrayView bytes) {
    const auto at = [&](qsizetype i) -> char {
        if (i >= 0)
            return bytes[i];
        return -i <= before.size() ? before[before.size() + i] : '\0';
    };
    for (qsizetype i = bytes.indexOf('\n'); i >= 0; i = bytes.indexOf('\n', i + 1)) {
        if (at(i - 1) == '\n' || (at(i - 1) == '\r' && at(i - 2) == '\n'))
            return i + 1;
    }
    return -1;
}

QByteArrayView WithoutCr(QByteArrayView line) {
    return line.endsWith('\r') ? line.chopped(1) : line;
}

bool IsDigits(QByteArrayView text) {
    return !text.isEmpty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The size at the start of a chunk line; what follows a ';' is an extension, ignored.
std::optional<qint64> ChunkSize(QByteArrayView line) {
    const qsizetype extension = line.indexOf(';');
    const QByteArrayView digits = (extension < 0 ? line : line.first(extension)).trimmed();
    const bool hex = std::all_of(digits.begin(), digits.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    });
    if (digits.isEmpty() || digits.size() > 15 || !hex)
        return std::nullopt;
    return digits.toLongLong(nullptr, 16);
}

} // namespace

void HttpResponseReader::feed(QByteArrayView bytes, const BodySink& sink) {
    if (sinkRefused_)
        return;
    if (!bytes.isEmpty())
        sawBytes_ = true;
    while (!bytes.isEmpty()) {
        switch (phase_) {
        case Phase::Head:
            if (!takeHead(bytes))
                return;
            break;
        case Phase::Body:
            takeBody(bytes, sink);
            if (phase_ == Phase::Body)
                return; // all taken, or the sink has stopped the reading
            break;
        case Phase::Complete:
            trailingBytes_ = true;
            return;
        case Phase::Invalid:
            return;
        }
    }
}

void HttpResponseReader::endOfStream() {
    if (phase_ == Phase::Body && framing_ == Framing::UntilClose)
        phase_ = Phase::Complete;
}

std::optional<QByteArray> HttpResponseReader::header(QByteArrayView name) const {
    for (const auto& [key, value] : headers_)
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    return std::nullopt;
}

bool HttpResponseReader::connectionReusable() const {
    if (phase_ != Phase::Complete || trailingBytes_ || framing_ == Framing::UntilClose)
        return false;
    if (minorVersion_ >= 1)
        return !hasToken("Connection", "close");
    return hasToken("Connection", "keep-alive");
}

// Gathers the head; true once it is read and the body may follow. Only the head is copied:
// the body that comes in the same piece stays in bytes.
bool HttpResponseReader::takeHead(QByteArrayView& bytes) {
    if (!gather(bytes, EndOfHead(pending_, bytes), kMaxHeadBytes,
                QStringLiteral("intestazione della risposta troppo lunga")))
        return false;
    const QByteArray head = std::move(pending_);
    pending_.clear();
    return readHead(head);
}

bool HttpResponseReader::readHead(QByteArrayView head) {
    headers_.clear();
    const QList<QByteArray> lines = head.trimmed().toByteArray().split('\n');
    if (lines.isEmpty() || !readStatusLine(WithoutCr(lines.front())))
        return false;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArrayView line = WithoutCr(lines[i]);
        if ((line.startsWith(' ') || line.startsWith('\t')) && !headers_.empty()) {
            headers_.back().second += ' ' + line.trimmed().toByteArray(); // a folded line
            continue;
        }
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0) {
            fail(QStringLiteral("riga di intestazione non valida"));
            return false;
        }
        headers_.emplace_back(line.first(colon).trimmed().toByteArray(),
                              line.sliced(colon + 1).trimmed().toByteArray());
    }
    if (status_ >= 100 && status_ < 200) {
        if (status_ == 101) {
            fail(QStringLiteral("cambio di protocollo non richiesto"));
            return false;
        }
        return true; // an interim answer: the real one follows
    }
    phase_ = Phase::Body;
    return chooseFraming();
}

bool HttpResponseReader::readStatusLine(QByteArrayView line) {
    // HTTP/1.x SSS[ reason]
    const bool shaped = line.size() >= 12 && line.startsWith("HTTP/1.") &&
                        IsDigits(line.sliced(7, 1)) && line[8] == ' ' &&
                        IsDigits(line.sliced(9, 3)) && (line.size() == 12 || line[12] == ' ');
    if (!shaped) {
        fail(QStringLiteral("la risposta non è una risposta HTTP"));
        return false;
    }
    minorVersion_ = line[7] - '0';
    status_ = line.sliced(9, 3).toInt();
    return true;
}

bool HttpResponseReader::chooseFraming() {
    if (status_ == 204 || status_ == 304) {
        announced_ = 0;
        phase_ = Phase::Complete;
        return true;
    }
    if (const auto coding = header("Transfer-Encoding")) {
        const QByteArray last = coding->split(',').last().trimmed();
        framing_ = last.compare("chunked", Qt::CaseInsensitive) == 0 ? Framing::Chunked
                                                                     : Framing::UntilClose;
        return true;
    }
    std::optional<qint64> length;
    for (const auto& [key, value] : headers_) {
        if (key.compare("Content-Length", Qt::CaseInsensitive) != 0)
            continue;
        for (const QByteArray& item : value.split(',')) {
            const QByteArray digits = item.trimmed();
            if (!IsDigits(digits) || digits.size() > 18 ||
                (length && *length != digits.toLongLong())) {
                fail(QStringLiteral("lunghezza della risposta non valida"));
                return false;
            }
            length = digits.toLongLong();
        }
    }
    if (!length) {
        framing_ = Framing::UntilClose;
        return true;
    }
    framing_ = Framing::Length;
    announced_ = length;
    remaining_ = *length;
    if (remaining_ == 0)
        phase_ = Phase::Complete;
    return true;
}

void HttpResponseReader::takeBody(QByteArrayView& bytes, const BodySink& sink) {
    if (framing_ == Framing::Chunked) {
        takeChunked(bytes, sink);
        return;
    }
    if (framing_ == Framing::UntilClose) {
        if (deliver(bytes, sink))
            bytes = {};
        return;
    }
    const qsizetype take = std::min<qint64>(remaining_, bytes.size());
    if (!deliver(bytes.first(take), sink))
        return;
    remaining_ -= take;
    bytes = bytes.sliced(take);
    if (remaining_ == 0)
        phase_ = Phase::Complete;
}

void HttpResponseReader::takeChunked(QByteArrayView& bytes, const BodySink& sink) {
    QByteArrayView line;
    while (!bytes.isEmpty() && phase_ == Phase::Body) {
        if (chunkStep_ == ChunkStep::Data) {
            const qsizetype take = std::min<qint64>(remaining_, bytes.size());
            if (!deliver(bytes.first(take), sink))
                return;
            bytes = bytes.sliced(take);
            remaining_ -= take;
            if (remaining_ == 0)
                chunkStep_ = ChunkStep::DataEnd;
            continue;
        }
        if (!takeLine(bytes, line))
            return;
        if (chunkStep_ == ChunkStep::Size) {
            const std::optional<qint64> size = ChunkSize(line);
            if (!size)
                return fail(QStringLiteral("dimensione di un blocco non valida"));
            remaining_ = *size;
            chunkStep_ = *size == 0 ? ChunkStep::Trailer : ChunkStep::Data;
        } else if (chunkStep_ == ChunkStep::DataEnd) {
            if (!line.isEmpty())
                return fail(QStringLiteral("blocco più lungo del dichiarato"));
            chunkStep_ = ChunkStep::Size;
        } else if (line.isEmpty()) {
            phase_ = Phase::Complete; // the blank line after the trailer fields
        }
        pending_.clear();
    }
}

// Takes one line of the chunked framing, without its line end; false while it is unfinished.
bool HttpResponseReader::takeLine(QByteArrayView& bytes, QByteArrayView& line) {
    const qsizetype newline = bytes.indexOf('\n');
    if (!gather(bytes, newline < 0 ? -1 : newline + 1, kMaxLineBytes,
                QStringLiteral("riga di un blocco troppo lunga")))
        return false;
    line = WithoutCr(QByteArrayView(pending_).chopped(1));
    return true;
}

// Moves the bytes before end (all of them while end is -1) into pending_; true once the
// piece in hand is whole. An unfinished piece longer than limit is taken for garbage.
bool HttpResponseReader::gather(QByteArrayView& bytes, qsizetype end, qsizetype limit,
                                const QString& tooLong) {
    if (end < 0) {
        pending_.append(bytes);
        bytes = {};
        if (pending_.size() > limit)
            fail(tooLong);
        return false;
    }
    pending_.append(bytes.first(end));
    bytes = bytes.sliced(end);
    return true;
}

bool HttpResponseReader::deliver(QByteArrayView piece, const BodySink& sink) {
    if (piece.isEmpty())
        return true;
    bodyReceived_ += piece.size();
    sinkRefused_ = !sink(piece);
    return !sinkRefused_;
}

void HttpResponseReader::fail(const QString& why) {
    phase_ = Phase::Invalid;
    problem_ = why;
}

bool HttpResponseReader::hasToken(QByteArrayView name, QByteArrayView token) const {
    const std::optional<QByteArray> value = header(name);
    if (!value)
        return false;
    const QList<QByteArray> tokens = value->split(',');
    return std::any_of(tokens.begin(), tokens.end(), [&](const QByteArray& item) {
        return item.trimmed().compare(token, Qt::CaseInsensitive) == 0;
    });
}
