#include "http_response_reader.h"

#include <gtest/gtest.h>

#include <string>

using Phase = HttpResponseReader::Phase;

namespace {

struct Read {
    HttpResponseReader reader;
    std::string body;
};

// Feeds the answer in two pieces, cut at `cut`, then (when asked) ends the stream.
void FeedCut(Read& read, std::string_view answer, size_t cut, bool close) {
    const auto sink = [&read](QByteArrayView piece) {
        read.body.append(piece.data(), piece.size());
        return true;
    };
    read.reader.feed(QByteArrayView(answer.data(), cut), sink);
    read.reader.feed(QByteArrayView(answer.data() + cut, answer.size() - cut), sink);
    if (close)
        read.reader.endOfStream();
}

struct WholeAnswer {
    const char* name;
    std::string_view bytes;
    bool closeAfter; // the server closes the connection after the bytes
    int status;
    std::string_view body;
    bool reusable;
};

const WholeAnswer kWholeAnswers[] = {
    {"length", "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello", false, 200, "hello", true},
    {"chunked with extension and trailer",
     "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
     "5;name=value\r\nhello\r\n1A\r\nabcdefghijklmnopqrstuvwxyz\r\n0\r\nX-Sum: 1\r\n\r\n",
     false, 200, "helloabcdefghijklmnopqrstuvwxyz", true},
    {"to the end of the connection", "HTTP/1.1 200 OK\r\n\r\nuntil\r\nclose", true, 200,
     "until\r\nclose", false},
    {"HTTP/1.0 closes by default", "HTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r\nok", false, 200,
     "ok", false},
    {"HTTP/1.0 kept alive",
     "HTTP/1.0 200 OK\r\nConnection: Keep-Alive\r\nContent-Length: 2\r\n\r\nok", false, 200, "ok",
     true},
    {"server closes after it",
     "HTTP/1.1 200 OK\r\nConnection: close\r\nContent-Length: 2\r\n\r\nok", false, 200, "ok",
     false},
    {"interim answer skipped",
     "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 404 Not Found\r\n"
     "Content-Length: 3\r\n\r\nno!",
     false, 404, "no!", true},
    {"no content", "HTTP/1.1 204 No Content\r\n\r\n", false, 204, "", true},
    {"empty body", "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n", false, 200, "", true},
    {"bare line feeds and a folded header",
     "HTTP/1.1 200 OK\nX-Long: one\n two\nContent-Length: 3\n\nabc", false, 200, "abc", true},
    {"repeated equal lengths", "HTTP/1.1 200 OK\r\nContent-Length: 2, 2\r\n\r\nok", false, 200,
     "ok", true},
    {"status line without reason", "HTTP/1.1 500\r\nContent-Length: 1\r\n\r\nx", false, 500, "x",
     true},
    {"bytes after the answer", "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nokEXTRA", false, 200,
     "ok", false},
};

} // namespace

TEST(HttpResponseReader, ReadsWholeAnswersCutAnywhere) {
    for (const WholeAnswer& c : kWholeAnswers) {
        for (size_t cut = 0; cut <= c.bytes.size(); ++cut) {
            SCOPED_TRACE(testing::Message() << c.name << ", cut at " << cut);
            Read read;
            FeedCut(read, c.bytes, cut, c.closeAfter);
            ASSERT_EQ(read.reader.phase(), Phase::Complete) << read.reader.problem().toStdString();
            EXPECT_EQ(read.reader.status(), c.status);
            EXPECT_EQ(read.body, c.body);
            EXPECT_EQ(read.reader.connectionReusable(), c.reusable);
            EXPECT_EQ(read.reader.bodyReceived(), qint64(c.body.size()));
        }
    }
}

TEST(HttpResponseReader, ReadsWholeAnswersOneByteAtATime) {
    for (const WholeAnswer& c : kWholeAnswers) {
        SCOPED_TRACE(c.name);
        Read read;
        const auto sink = [&read](QByteArrayView piece) {
            read.body.append(piece.data(), piece.size());
            return true;
        };
        for (const char byte : c.bytes)
            read.reader.feed(QByteArrayView(&byte, 1), sink);
        if (c.closeAfter)
            read.reader.endOfStream();
        ASSERT_EQ(read.reader.phase(), Phase::Complete) << read.reader.problem().toStdString();
        EXPECT_EQ(read.body, c.body);
        EXPECT_EQ(read.reader.connectionReusable(), c.reusable);
    }
}

TEST(HttpResponseReader, KeepsTheHeadersByName) {
    Read read;
    FeedCut(read, "HTTP/1.1 302 Found\r\nlocation:  /altrove \r\nContent-Length: 0\r\n\r\n", 0,
            false);
    EXPECT_EQ(read.reader.status(), 302);
    EXPECT_EQ(read.reader.header("Location"), QByteArray("/altrove"));
    EXPECT_EQ(read.reader.header("Content-Type"), std::nullopt);
    EXPECT_EQ(read.reader.announcedLength(), 0);
}

TEST(HttpResponseReader, RefusesWhatIsNoHttpAnswer) {
    const std::string_view kBroken[] = {
        "<html>not an answer</html>\r\n\r\n",
        "HTTP/1.1 2OO OK\r\n\r\n",
        "HTTP/1.1 200 OK\r\nContent-Length: 12abc\r\n\r\n",
        "HTTP/1.1 200 OK\r\nContent-Length: -1\r\n\r\n",
        "HTTP/1.1 200 OK\r\nContent-Length: 2\r\nContent-Length: 3\r\n\r\nok",
        "HTTP/1.1 200 OK\r\nno colon here\r\n\r\n",
        "HTTP/1.1 101 Switching Protocols\r\n\r\n",
        "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\n",
        "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n0x2\r\nok\r\n0\r\n\r\n",
        "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nokTOO LONG\r\n0\r\n\r\n",
    };
    for (const std::string_view bytes : kBroken) {
        SCOPED_TRACE(std::string(bytes));
        Read read;
        FeedCut(read, bytes, bytes.size() / 2, true);
        EXPECT_EQ(read.reader.phase(), Phase::Invalid);
        EXPECT_FALSE(read.reader.problem().isEmpty());
    }
}

TEST(HttpResponseReader, RefusesAHeadWithoutEnd) {
    Read read;
    const std::string endless = "HTTP/1.1 200 OK\r\nX: " + std::string(70'000, 'a');
    FeedCut(read, endless, 10, false);
    EXPECT_EQ(read.reader.phase(), Phase::Invalid);
}

TEST(HttpResponseReader, LeavesABodyCutShortUnfinished) {
    const std::string_view kCutShort[] = {
        "HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nhalf",
        "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n4\r\nhalf\r\n",
        "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n9\r\nhalf",
    };
    for (const std::string_view bytes : kCutShort) {
        SCOPED_TRACE(std::string(bytes));
        Read read;
        FeedCut(read, bytes, 0, true);
        EXPECT_EQ(read.reader.phase(), Phase::Body);
        EXPECT_EQ(read.body, "half");
        EXPECT_FALSE(read.reader.connectionReusable());
    }
    Read read;
    FeedCut(read, "HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nhalf", 0, true);
    EXPECT_EQ(read.reader.announcedLength(), 10);
    EXPECT_EQ(read.reader.bodyReceived(), 4);

    Read silent;
    silent.reader.endOfStream();
    EXPECT_TRUE(silent.reader.sawNothing());
    EXPECT_EQ(silent.reader.phase(), Phase::Head);
}

TEST(HttpResponseReader, StopsWhenTheSinkRefuses) {
    HttpResponseReader reader;
    int pieces = 0;
    reader.feed("HTTP/1.1 200 OK\r\nContent-Length: 6\r\n\r\nabc", [&](QByteArrayView) {
        ++pieces;
        return false;
    });
    reader.feed("def", [&](QByteArrayView) {
        ++pieces;
        return false;
    });
    EXPECT_EQ(reader.phase(), Phase::Body);
    EXPECT_EQ(pieces, 1);
}
