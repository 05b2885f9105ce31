// The HTTP client against a real local Quor server on a free port of 127.0.0.1.
#include "file_list.h"
#include "http_client.h"
#include "quor_server.h"
#include "quor_urls.h"
#include "scripted_http_server.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QSslCertificate>
#include <QSslKey>
#include <QSslSocket>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace std::chrono_literals;

namespace {

QByteArray EveryByte() {
    QByteArray bytes;
    for (int round = 0; round < 4; ++round)
        for (int value = 0; value < 256; ++value)
            bytes.append(static_cast<char>(value));
    return bytes;
}

QByteArray Pattern(int size) {
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = static_cast<char>('a' + i % 26);
    return bytes;
}

QByteArray TestData(const char* name) {
    QFile file(QStringLiteral(TEST_DATA_DIR "/") + QLatin1String(name));
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

// The scripted server's side of TLS: a self-signed certificate for 127.0.0.1.
QSslConfiguration ServerTls() {
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setLocalCertificate(QSslCertificate(TestData("localhost-test.crt")));
    tls.setPrivateKey(QSslKey(TestData("localhost-test.key"), QSsl::Rsa));
    return tls;
}

// While it lives, connections trust the test certificate as if a known authority had signed it.
struct TrustTestCertificate {
    QSslConfiguration before = QSslConfiguration::defaultConfiguration();
    TrustTestCertificate() {
        QSslConfiguration trusting = before;
        trusting.addCaCertificate(QSslCertificate(TestData("localhost-test.crt")));
        QSslConfiguration::setDefaultConfiguration(trusting);
    }
    ~TrustTestCertificate() { QSslConfiguration::setDefaultConfiguration(before); }
};

// The decoded path the server sees for an entry.
std::string PathOf(const QString& entry) {
    return std::string(QuorServer::kUploadPrefix) + entry.toStdString();
}

} // namespace

class HttpClientTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void cleanup();
    void cleanupTestCase();

    void fetchesTheWholeBody_data();
    void fetchesTheWholeBody();
    void fetchesText_data();
    void fetchesText();
    void reportsTheStatusWithoutJudgingIt_data();
    void reportsTheStatusWithoutJudgingIt();
    void failsNamingTheUrl_data();
    void failsNamingTheUrl();
    void failsWhenTheSinkRefusesTheBody();
    void deliversQueuedEventsWhileWaiting();
    void abandonsTheRequestInHand();
    void hasATlsBackend();

    void keepsOneConnectionForManyRequests();
    void sendsAgainWhenAKeptConnectionIsFoundClosed();
    void readsEveryFraming_data();
    void readsEveryFraming();
    void followsRedirectsWithoutTheirBodies();
    void failsOnAnswersThatAreNoDocument_data();
    void failsOnAnswersThatAreNoDocument();
    void asksAPlainHttpProxyForTheWholeUrl();
    void speaksTlsAndKeepsItsConnection();
    void refusesAServerItCannotTrust();
    // Last: once the program's event loop has been told to exit, every fetch is abandoned.
    void abandonsWhenTheProgramIsEnding();

  private:
    void put(const QString& name, const QByteArray& bytes);
    QUrl urlOf(const QString& entry) const { return FileUrl(upload_, entry); }

    QTemporaryDir folder_;
    std::unique_ptr<QuorServer> server_;
    QString upload_;
    QMap<QString, QByteArray> files_;
};

void HttpClientTest::put(const QString& name, const QByteArray& bytes) {
    QFile file(folder_.filePath(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
    files_[name] = bytes;
}

void HttpClientTest::initTestCase() {
    QVERIFY(folder_.isValid());
    put("testo.txt", "Una riga di testo.\r\n");
    put("tutti.bin", EveryByte());
    put("con spazio.txt", "blank");
    put("n#1.txt", "hash");
    put("n", "not the hash file");
    put("caff\u00e8 100%.txt", "accent and percent");
    put("vuoto.txt", "");
    put("grande.bin", Pattern(300'000));
    server_ = std::make_unique<QuorServer>(folder_.path().toStdString());
    QVERIFY(server_->start(0) > 0);
    upload_ = UploadAddress(QString::fromStdString(server_->baseUrl()));
}

void HttpClientTest::cleanup() {
    server_->clearEntryKnobs();
    server_->clearLog();
}

void HttpClientTest::cleanupTestCase() {
    server_->stop();
}

void HttpClientTest::fetchesTheWholeBody_data() {
    QTest::addColumn<QString>("entry");
    QTest::newRow("text") << "testo.txt";
    QTest::newRow("every byte value") << "tutti.bin";
    QTest::newRow("blank in the name") << "con spazio.txt";
    QTest::newRow("hash in the name") << "n#1.txt";
    QTest::newRow("accent and percent in the name") << "caff\u00e8 100%.txt";
    QTest::newRow("empty file") << "vuoto.txt";
    QTest::newRow("large file") << "grande.bin";
}

void HttpClientTest::fetchesTheWholeBody() {
    QFETCH(QString, entry);
    HttpClient client;
    const HttpBytesResult bytes = client.fetchBytes(urlOf(entry));
    QVERIFY2(bytes.succeeded(), qPrintable(bytes.failure));
    QCOMPARE(bytes.status, 200);
    QCOMPARE(bytes.bytes, files_[entry]);

    QBuffer sink;
    sink.open(QIODevice::WriteOnly);
    const HttpResult streamed = client.fetchInto(urlOf(entry), sink);
    QVERIFY2(streamed.succeeded(), qPrintable(streamed.failure));
    QCOMPARE(sink.data(), files_[entry]);
    // Both requests reached the server under the entry's own name.
    QCOMPARE(server_->countOf(PathOf(entry)), 2);
}

void HttpClientTest::fetchesText_data() {
    QTest::addColumn<std::optional<std::string>>("list");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("expected");
    QTest::newRow("file list of the folder")
        << std::optional<std::string>() << QString()
        << "caff\u00e8 100%.txt######con spazio.txt######grande.bin######n######n#1.txt######"
           "testo.txt######tutti.bin######vuoto.txt######";
    QTest::newRow("list in Windows-1252")
        << std::optional<std::string>("caff\xE8.jpg######") << QString() << "caff\u00e8.jpg######";
    QTest::newRow("clearing answer")
        << std::optional<std::string>() << "Copie cancellate: \u00e8 fatto." << QString();
}

void HttpClientTest::fetchesText() {
    QFETCH(std::optional<std::string>, list);
    QFETCH(QString, answer);
    QFETCH(QString, expected);
    server_->setListText(list);
    HttpClient client;
    HttpTextResult result;
    if (answer.isEmpty()) {
        result = client.fetchText(FileListUrl(upload_));
    } else {
        server_->setClearingAnswer(answer.toStdString());
        result = client.fetchText(ClearingUrl(QString::fromStdString(server_->baseUrl())));
        expected = answer;
    }
    server_->setListText(std::nullopt);
    QVERIFY2(result.succeeded(), qPrintable(result.failure));
    QCOMPARE(result.text, expected);
}

void HttpClientTest::reportsTheStatusWithoutJudgingIt_data() {
    QTest::addColumn<QUrl>("url");
    QTest::addColumn<int>("chosen"); // for testo.txt; 0: none chosen
    QTest::addColumn<int>("status");
    QTest::newRow("missing file") << urlOf("manca.txt") << 0 << 404;
    QTest::newRow("outside the folder")
        << QUrl::fromEncoded(upload_.toLatin1() + "..%2F..%2Fetc%2Fpasswd") << 0 << 404;
    QTest::newRow("server error") << urlOf("testo.txt") << 500 << 500;
    QTest::newRow("forbidden") << urlOf("testo.txt") << 403 << 403;
    QTest::newRow("unavailable") << urlOf("testo.txt") << 503 << 503;
}

void HttpClientTest::reportsTheStatusWithoutJudgingIt() {
    QFETCH(QUrl, url);
    QFETCH(int, chosen);
    QFETCH(int, status);
    if (chosen)
        server_->setStatusFor("testo.txt", chosen);
    HttpClient client;
    const HttpBytesResult result = client.fetchBytes(url);
    QVERIFY2(result.succeeded(), qPrintable(result.failure));
    QCOMPARE(result.status, status);
    // The error page is the body, as the server sent it.
    QVERIFY(result.bytes.contains(QByteArray::number(status)));
}

void HttpClientTest::failsNamingTheUrl_data() {
    QTest::addColumn<QUrl>("url");
    QTest::addColumn<QString>("cause");

    QTcpServer freed;
    QVERIFY(freed.listen(QHostAddress::LocalHost, 0));
    const quint16 port = freed.serverPort();
    freed.close();
    QTest::newRow("connection refused")
        << QUrl(QStringLiteral("http://127.0.0.1:%1/quor/img_upload/testo.txt").arg(port))
        << "rifiutata";
    QTest::newRow("body dropped half-way") << urlOf("grande.bin") << "interrotta";
    QTest::newRow("stalled body") << urlOf("tutti.bin") << "nessun dato ricevuto";
    QUrl tls = urlOf("testo.txt");
    tls.setScheme("https");
    QTest::newRow("https to a plain server") << tls << "TLS";
}

void HttpClientTest::failsNamingTheUrl() {
    QFETCH(QUrl, url);
    QFETCH(QString, cause);
    server_->setDropHalfWay("grande.bin");
    server_->setStalledBody("tutti.bin");
    HttpClient client;
    client.setIdleTimeout(300ms);
    const HttpBytesResult bytes = client.fetchBytes(url);
    QCOMPARE(bytes.outcome, HttpResult::Outcome::Failure);
    QVERIFY2(bytes.failure.contains(url.toDisplayString()), qPrintable(bytes.failure));
    QVERIFY2(bytes.failure.contains(cause), qPrintable(bytes.failure));

    // Streamed into a sink, the partial body is there, but the result tells.
    QBuffer sink;
    sink.open(QIODevice::WriteOnly);
    const HttpResult streamed = client.fetchInto(url, sink);
    QCOMPARE(streamed.outcome, HttpResult::Outcome::Failure);
    QVERIFY2(streamed.failure.contains(url.toDisplayString()), qPrintable(streamed.failure));
}

void HttpClientTest::failsWhenTheSinkRefusesTheBody() {
    QBuffer readOnly;
    readOnly.open(QIODevice::ReadOnly);
    HttpClient client;
    QTest::ignoreMessage(QtWarningMsg, "QIODevice::write (QBuffer): ReadOnly device");
    const HttpResult result = client.fetchInto(urlOf("grande.bin"), readOnly);
    QCOMPARE(result.outcome, HttpResult::Outcome::Failure);
    QVERIFY2(result.failure.contains("scrivere"), qPrintable(result.failure));
}

void HttpClientTest::deliversQueuedEventsWhileWaiting() {
    server_->setSlowBody("grande.bin", 50ms, 6);
    HttpClient client;
    bool deliveredMidRequest = false;
    QTimer::singleShot(0, this, [&] { deliveredMidRequest = client.busy(); });
    const HttpBytesResult result = client.fetchBytes(urlOf("grande.bin"));
    QVERIFY(deliveredMidRequest);
    QVERIFY2(result.succeeded(), qPrintable(result.failure));
    QCOMPARE(result.bytes, files_["grande.bin"]);
}

void HttpClientTest::abandonsTheRequestInHand() {
    server_->setSlowBody("grande.bin", 200ms, 20);
    HttpClient client;
    QTimer::singleShot(0, &client, &HttpClient::abandon);
    const HttpBytesResult result = client.fetchBytes(urlOf("grande.bin"));
    QVERIFY(result.abandoned());
    QVERIFY(result.failure.isEmpty());
    QVERIFY(!client.busy());
    // The client is ready for the next request.
    server_->clearEntryKnobs();
    const HttpBytesResult next = client.fetchBytes(urlOf("testo.txt"));
    QVERIFY2(next.succeeded(), qPrintable(next.failure));
    QCOMPARE(next.bytes, files_["testo.txt"]);
}

void HttpClientTest::hasATlsBackend() {
    QVERIFY2(QSslSocket::supportsSsl(), qPrintable(QSslSocket::activeBackend()));
}

void HttpClientTest::keepsOneConnectionForManyRequests() {
    HttpClient client;
    for (const QString entry : {"testo.txt", "manca.txt", "tutti.bin", "vuoto.txt"}) {
        for (int i = 0; i < 5; ++i) {
            const HttpBytesResult result = client.fetchBytes(urlOf(entry));
            QVERIFY2(result.succeeded(), qPrintable(result.failure));
        }
    }
    const std::vector<QuorServer::Request> log = server_->requests();
    QCOMPARE(log.size(), 20u);
    for (const QuorServer::Request& request : log)
        QCOMPARE(request.clientPort, log.front().clientPort);
}

void HttpClientTest::sendsAgainWhenAKeptConnectionIsFoundClosed() {
    ScriptedHttpServer server;
    server.queue("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nprimo");
    server.queue({}, true); // the kept connection closes under the next request
    server.queue("HTTP/1.1 200 OK\r\nContent-Length: 7\r\n\r\nsecondo");
    const QUrl url(server.address() + "/quor/img_upload/a.bin");
    HttpClient client;
    QCOMPARE(client.fetchBytes(url).bytes, QByteArray("primo"));
    QBuffer sink;
    sink.open(QIODevice::WriteOnly);
    const HttpResult again = client.fetchInto(url, sink);
    QVERIFY2(again.succeeded(), qPrintable(again.failure));
    QCOMPARE(sink.data(), QByteArray("secondo"));
    QCOMPARE(server.connections, 2);
    QCOMPARE(server.requests.size(), 3);

    // Once part of the answer has come, the request is never sent again.
    server.queue("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nmeta", true);
    const HttpBytesResult half = client.fetchBytes(url);
    QCOMPARE(half.outcome, HttpResult::Outcome::Failure);
    QVERIFY2(half.failure.contains("ricevuti 4 byte su 10"), qPrintable(half.failure));
    // Nor on a new connection that closes without an answer.
    server.queue({}, true);
    const HttpBytesResult none = client.fetchBytes(url);
    QCOMPARE(none.outcome, HttpResult::Outcome::Failure);
    QVERIFY2(none.failure.contains("interrotta"), qPrintable(none.failure));
    QCOMPARE(server.requests.size(), 5);
}

void HttpClientTest::readsEveryFraming_data() {
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<bool>("closeAfter");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("connections"); // for this answer and one more request
    QTest::newRow("chunked") << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                                           "4\r\nciao\r\n6\r\n mondo\r\n0\r\n\r\n")
                             << false << QByteArray("ciao mondo") << 1;
    QTest::newRow("to the end of the connection")
        << QByteArray("HTTP/1.1 200 OK\r\n\r\nfino alla fine") << true
        << QByteArray("fino alla fine") << 2;
    QTest::newRow("HTTP/1.0 left open by the server")
        << QByteArray("HTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r\nok") << false << QByteArray("ok")
        << 2;
    // The answer ends on a read boundary (64 KiB) with more bytes right behind it: they
    // are no answer to the next request.
    const QByteArray head = "HTTP/1.1 200 OK\r\nContent-Length: 65494\r\n\r\n";
    const QByteArray exact = Pattern(65536 - head.size());
    QTest::newRow("more bytes than announced")
        << head + exact + "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nfalso" << false << exact
        << 2;
    QTest::newRow("Connection: close")
        << QByteArray("HTTP/1.1 200 OK\r\nConnection: close\r\nContent-Length: 2\r\n\r\nok")
        << false << QByteArray("ok") << 2;
}

void HttpClientTest::readsEveryFraming() {
    QFETCH(QByteArray, answer);
    QFETCH(bool, closeAfter);
    QFETCH(QByteArray, body);
    QFETCH(int, connections);
    ScriptedHttpServer server;
    server.queue(answer, closeAfter);
    server.queue("HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\npoi!");
    const QUrl url(server.address() + "/quor/img_upload/a.bin");
    HttpClient client;
    const HttpBytesResult first = client.fetchBytes(url);
    QVERIFY2(first.succeeded(), qPrintable(first.failure));
    QCOMPARE(first.bytes, body);
    const HttpBytesResult next = client.fetchBytes(url);
    QVERIFY2(next.succeeded(), qPrintable(next.failure));
    QCOMPARE(next.bytes, QByteArray("poi!"));
    QCOMPARE(server.connections, connections);
}

void HttpClientTest::followsRedirectsWithoutTheirBodies() {
    ScriptedHttpServer server;
    server.queue("HTTP/1.1 301 Moved Permanently\r\nLocation: /quor/altrove.bin\r\n"
                 "Content-Length: 14\r\n\r\nspostato qui!!");
    server.queue("HTTP/1.1 302 Found\r\nLocation: " + server.address().toLatin1() +
                 "/fine%20bis.bin\r\nContent-Length: 0\r\n\r\n");
    server.queue("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nfinal");
    QBuffer sink;
    sink.open(QIODevice::WriteOnly);
    HttpClient client;
    const HttpResult result =
        client.fetchInto(QUrl(server.address() + "/quor/img_upload/a b.bin"), sink);
    QVERIFY2(result.succeeded(), qPrintable(result.failure));
    QCOMPARE(result.status, 200);
    QCOMPARE(sink.data(), QByteArray("final"));
    QCOMPARE(server.requests.size(), 3);
    const QByteArray host = "\r\nHost: 127.0.0.1:" + QByteArray::number(server.port());
    QVERIFY(server.requests[0].startsWith("GET /quor/img_upload/a%20b.bin HTTP/1.1" + host));
    QVERIFY(server.requests[1].startsWith("GET /quor/altrove.bin HTTP/1.1" + host));
    QVERIFY(server.requests[2].startsWith("GET /fine%20bis.bin HTTP/1.1" + host));
}

void HttpClientTest::failsOnAnswersThatAreNoDocument_data() {
    QTest::addColumn<QByteArrayList>("answers");
    QTest::addColumn<QString>("cause");
    QTest::addColumn<int>("requests");
    QTest::newRow("endless redirects")
        << QByteArrayList(12, "HTTP/1.1 302 Found\r\nLocation: /giro\r\nContent-Length: 0\r\n\r\n")
        << "troppi reindirizzamenti" << 11;
    QTest::newRow("no HTTP answer") << QByteArrayList{"<html>nessuna intestazione</html>\r\n\r\n"}
                                    << "risposta non valida" << 1;
}

void HttpClientTest::failsOnAnswersThatAreNoDocument() {
    QFETCH(QByteArrayList, answers);
    QFETCH(QString, cause);
    QFETCH(int, requests);
    ScriptedHttpServer server;
    for (const QByteArray& answer : answers)
        server.queue(answer);
    const QUrl url(server.address() + "/quor/img_upload/a.bin");
    HttpClient client;
    const HttpBytesResult result = client.fetchBytes(url);
    QCOMPARE(result.outcome, HttpResult::Outcome::Failure);
    QVERIFY2(result.failure.contains(cause), qPrintable(result.failure));
    QVERIFY2(result.failure.contains(url.toDisplayString()), qPrintable(result.failure));
    QCOMPARE(server.requests.size(), requests);
}

void HttpClientTest::asksAPlainHttpProxyForTheWholeUrl() {
    ScriptedHttpServer proxy; // it answers itself: nothing leaves this machine
    proxy.queue("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok");
    qputenv("http_proxy", proxy.address().toLatin1());
    HttpClient client;
    const HttpBytesResult result =
        client.fetchBytes(QUrl("http://quor.example/quor/img_upload/a%20b.jpg"));
    qunsetenv("http_proxy");
    QVERIFY2(result.succeeded(), qPrintable(result.failure));
    QCOMPARE(result.bytes, QByteArray("ok"));
    QCOMPARE(proxy.requests.size(), 1);
    QVERIFY2(proxy.requests[0].startsWith("GET http://quor.example/quor/img_upload/a%20b.jpg "
                                          "HTTP/1.1\r\nHost: quor.example\r\n"),
             proxy.requests[0].constData());
}

void HttpClientTest::speaksTlsAndKeepsItsConnection() {
    const QSslConfiguration tls = ServerTls();
    ScriptedHttpServer server(&tls);
    server.queue("HTTP/1.1 200 OK\r\nContent-Length: 6\r\n\r\nsicuro");
    server.queue("HTTP/1.1 200 OK\r\nContent-Length: 7\r\n\r\nancora!");
    server.queue("HTTP/1.1 302 Found\r\nLocation: http://127.0.0.1:1/chiaro\r\n"
                 "Content-Length: 0\r\n\r\n");
    const TrustTestCertificate trust;
    const QUrl url(server.address() + "/quor/img_upload/a.bin");
    HttpClient client;
    const HttpBytesResult first = client.fetchBytes(url);
    QVERIFY2(first.succeeded(), qPrintable(first.failure));
    QCOMPARE(first.bytes, QByteArray("sicuro"));
    QCOMPARE(client.fetchBytes(url).bytes, QByteArray("ancora!"));
    QCOMPARE(server.connections, 1);
    QVERIFY(server.requests[0].startsWith("GET /quor/img_upload/a.bin HTTP/1.1\r\nHost: "
                                          "127.0.0.1:" +
                                          QByteArray::number(server.port()) + "\r\n"));
    // A redirect from https to plain http is refused, not followed.
    const HttpBytesResult down = client.fetchBytes(url);
    QCOMPARE(down.outcome, HttpResult::Outcome::Failure);
    QVERIFY2(down.failure.contains("da https a http rifiutato"), qPrintable(down.failure));
}

void HttpClientTest::refusesAServerItCannotTrust() {
    const QSslConfiguration tls = ServerTls();
    ScriptedHttpServer server(&tls);
    server.queue("HTTP/1.1 200 OK\r\nContent-Length: 6\r\n\r\nsicuro");
    const QUrl url(server.address() + "/quor/img_upload/a.bin");
    HttpClient client;
    const HttpBytesResult result = client.fetchBytes(url);
    QCOMPARE(result.outcome, HttpResult::Outcome::Failure);
    QVERIFY2(result.failure.contains("TLS"), qPrintable(result.failure));
    QVERIFY2(result.failure.contains(url.toDisplayString()), qPrintable(result.failure));
    QVERIFY(server.requests.isEmpty());
}

void HttpClientTest::abandonsWhenTheProgramIsEnding() {
    server_->setSlowBody("grande.bin", 200ms, 20);
    HttpClient client;
    QTimer::singleShot(0, this, [] { QCoreApplication::exit(0); });
    QVERIFY(client.fetchBytes(urlOf("grande.bin")).abandoned());
    QVERIFY(client.fetchText(FileListUrl(upload_)).abandoned());
}

QTEST_GUILESS_MAIN(HttpClientTest)
#include "http_client_test.moc"
