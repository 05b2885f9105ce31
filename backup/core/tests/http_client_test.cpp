// The HTTP client against a real local Quor server on a free port of 127.0.0.1.
#include "backup/core/file_list.h"
#include "backup/core/http_client.h"
#include "backup/core/quor_urls.h"
#include "tools/quor_server/quor_server.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace ombrix;

using namespace std::chrono_literals;

// A bound no answer of these tests reaches.
constexpr std::size_t kAmple = std::size_t(1) << 20;

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

QString TestData(const char* name) {
    return QStringLiteral(TEST_DATA_DIR "/") + QLatin1String(name);
}

// A Quor server speaking HTTPS with the self-signed certificate for 127.0.0.1.
std::unique_ptr<QuorServer> StartTlsServer(const QString& folder) {
    auto server = std::make_unique<QuorServer>(
        folder.toStdString(), QuorServer::Tls{TestData("localhost-test.crt").toStdString(),
                                              TestData("localhost-test.key").toStdString()});
    return server->start(0) > 0 ? std::move(server) : nullptr;
}

// A port of 127.0.0.1 that accepts connections and never answers a byte.
struct SilentServer {
    QTcpServer socket;
    SilentServer() { socket.listen(QHostAddress::LocalHost, 0); }
    QUrl url() const {
        return QUrl(
            QStringLiteral("http://127.0.0.1:%1/quor/img_upload/a.bin").arg(socket.serverPort()));
    }
};

// Holds the event loop in a loop of its own, as a modal box does, for `time`.
void HoldTheEventLoop(std::chrono::milliseconds time) {
    QEventLoop held;
    QTimer::singleShot(time, &held, &QEventLoop::quit);
    held.exec();
}

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
    void boundsATextAnswer_data();
    void boundsATextAnswer();
    void deliversQueuedEventsWhileWaiting();
    void deliversEventsBetweenFetchesOncePerInterval();
    void abandonsTheRequestInHand();
    void countsTheIdleLimitFromTheLastByte();
    void keepsACompleteAnswerWhateverHoldsTheLoop();

    void keepsOneConnectionForManyRequests();
    void replacesAConnectionTheServerClosedMeanwhile();
    void followsRedirects_data();
    void followsRedirects();
    void usesAProxyButNeverForThisMachine();
    void speaksTlsAndKeepsItsConnection();
    void refusesAServerItCannotTrust();
    // Last: once the program's event loop has been told to exit, every fetch is abandoned.
    void abandonsWhenTheProgramIsEnding();

  private:
    void put(const QString& name, const QByteArray& bytes);
    QUrl urlOf(const QString& entry) const { return FileUrl(upload_, entry.toUtf8()); }

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
    const HttpBytesResult bytes = client.fetchBytes(urlOf(entry), kAmple);
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
        result = client.fetchText(FileListUrl(upload_), kAmple);
    } else {
        server_->setClearingAnswer(answer.toStdString());
        result = client.fetchText(ClearingUrl(QString::fromStdString(server_->baseUrl())), kAmple);
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
    const HttpBytesResult result = client.fetchBytes(url, kAmple);
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
    const HttpBytesResult bytes = client.fetchBytes(url, kAmple);
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

void HttpClientTest::boundsATextAnswer_data() {
    QTest::addColumn<QString>("entry");
    QTest::newRow("endless body") << "infinito";
    QTest::newRow("announced length past the bound") << "grande.bin";
}

void HttpClientTest::boundsATextAnswer() {
    QFETCH(QString, entry);
    server_->setEndlessBody("infinito");
    const std::size_t bound = 100'000;
    HttpClient client;
    const HttpTextResult result = client.fetchText(urlOf(entry), bound);
    QCOMPARE(result.outcome, HttpResult::Outcome::Failure);
    QVERIFY2(result.failure.contains("troppo grande"), qPrintable(result.failure));
    QVERIFY2(result.failure.contains(urlOf(entry).toDisplayString()), qPrintable(result.failure));
    QVERIFY(static_cast<std::size_t>(result.text.size()) <= bound);
    // The client is ready for the next request.
    QVERIFY(client.fetchBytes(urlOf("testo.txt"), bound).succeeded());
}

void HttpClientTest::deliversQueuedEventsWhileWaiting() {
    server_->setSlowBody("grande.bin", 50ms, 6);
    HttpClient client;
    bool deliveredMidRequest = false;
    QTimer::singleShot(0, this, [&] { deliveredMidRequest = client.busy(); });
    const HttpBytesResult result = client.fetchBytes(urlOf("grande.bin"), kAmple);
    QVERIFY(deliveredMidRequest);
    QVERIFY2(result.succeeded(), qPrintable(result.failure));
    QCOMPARE(result.bytes, files_["grande.bin"]);
}

void HttpClientTest::deliversEventsBetweenFetchesOncePerInterval() {
    HttpClient client;
    int delivered = 0;
    const auto post = [&] { QTimer::singleShot(0, this, [&] { ++delivered; }); };
    post();
    QVERIFY(client.deliverEvents(1h)); // never delivered before: now
    QCOMPARE(delivered, 1);
    post();
    QVERIFY(client.deliverEvents(1h)); // within the interval: not yet
    QCOMPARE(delivered, 1);
    // A fetch's wait delivers them, and counts as the last delivery.
    QVERIFY(client.fetchBytes(urlOf("testo.txt"), kAmple).succeeded());
    QCOMPARE(delivered, 2);
    post();
    QVERIFY(client.deliverEvents(1h));
    QCOMPARE(delivered, 2);
    QVERIFY(client.deliverEvents(0ms));
    QCOMPARE(delivered, 3);
    // The program ending meanwhile: the caller is told to touch nothing more.
    QTimer::singleShot(0, &client, &HttpClient::abandon);
    QVERIFY(!client.deliverEvents(0ms));
    QVERIFY(client.deliverEvents(0ms)); // the next pause starts afresh
}

void HttpClientTest::abandonsTheRequestInHand() {
    server_->setSlowBody("grande.bin", 200ms, 20);
    HttpClient client;
    QTimer::singleShot(0, &client, &HttpClient::abandon);
    const HttpBytesResult result = client.fetchBytes(urlOf("grande.bin"), kAmple);
    QVERIFY(result.abandoned());
    QVERIFY(result.failure.isEmpty());
    QVERIFY(!client.busy());
    // The client is ready for the next request.
    server_->clearEntryKnobs();
    const HttpBytesResult next = client.fetchBytes(urlOf("testo.txt"), kAmple);
    QVERIFY2(next.succeeded(), qPrintable(next.failure));
    QCOMPARE(next.bytes, files_["testo.txt"]);
}

void HttpClientTest::countsTheIdleLimitFromTheLastByte() {
    // Six pieces 150 ms apart: 900 ms in all, never 400 ms without a byte.
    server_->setSlowBody("grande.bin", 150ms, 6);
    HttpClient client;
    client.setIdleTimeout(400ms);
    const HttpBytesResult slow = client.fetchBytes(urlOf("grande.bin"), kAmple);
    QVERIFY2(slow.succeeded(), qPrintable(slow.failure));
    QCOMPARE(slow.bytes, files_["grande.bin"]);

    // A server that takes the connection and never answers.
    SilentServer silent;
    const HttpBytesResult none = client.fetchBytes(silent.url(), kAmple);
    QCOMPARE(none.outcome, HttpResult::Outcome::Failure);
    QVERIFY2(none.failure.contains("nessun dato ricevuto per 400 millisecondi"),
             qPrintable(none.failure));
    QVERIFY2(none.failure.contains(silent.url().toDisplayString()), qPrintable(none.failure));
}

void HttpClientTest::keepsACompleteAnswerWhateverHoldsTheLoop() {
    // A modal box opens while the answer is on its way and stays past the idle limit; the
    // answer completes inside it.
    HttpClient client;
    client.setIdleTimeout(200ms);
    QTimer::singleShot(0, this, [] { HoldTheEventLoop(800ms); });
    const HttpBytesResult result = client.fetchBytes(urlOf("grande.bin"), kAmple);
    QVERIFY2(result.succeeded(), qPrintable(result.failure));
    QCOMPARE(result.bytes, files_["grande.bin"]);
}

void HttpClientTest::keepsOneConnectionForManyRequests() {
    HttpClient client;
    for (const QString entry : {"testo.txt", "manca.txt", "tutti.bin", "vuoto.txt"}) {
        for (int i = 0; i < 5; ++i) {
            const HttpBytesResult result = client.fetchBytes(urlOf(entry), kAmple);
            QVERIFY2(result.succeeded(), qPrintable(result.failure));
        }
    }
    const std::vector<QuorServer::Request> log = server_->requests();
    QCOMPARE(log.size(), 20u);
    for (const QuorServer::Request& request : log)
        QCOMPARE(request.clientPort, log.front().clientPort);
}

void HttpClientTest::replacesAConnectionTheServerClosedMeanwhile() {
    HttpClient client;
    QVERIFY(client.fetchBytes(urlOf("testo.txt"), kAmple).succeeded());
    // The server drops an idle connection after a second, as a modal box may hold a run.
    HoldTheEventLoop(1500ms);
    const HttpBytesResult again = client.fetchBytes(urlOf("tutti.bin"), kAmple);
    QVERIFY2(again.succeeded(), qPrintable(again.failure));
    QCOMPARE(again.bytes, files_["tutti.bin"]);
    const std::vector<QuorServer::Request> log = server_->requests();
    QCOMPARE(log.size(), 2u);
    QVERIFY(log[0].clientPort != log[1].clientPort);
}

void HttpClientTest::followsRedirects_data() {
    QTest::addColumn<QString>("entry");
    QTest::addColumn<int>("requests");
    QTest::addColumn<QString>("cause"); // empty: success with testo.txt
    QTest::newRow("one hop") << "via" << 2 << "";
    QTest::newRow("endless") << "giro" << 11 << "troppi reindirizzamenti";
    QTest::newRow("another scheme") << "ftp" << 1 << "non ammesso";
}

void HttpClientTest::followsRedirects() {
    QFETCH(QString, entry);
    QFETCH(int, requests);
    QFETCH(QString, cause);
    server_->setRedirectFor("via", PathOf("testo.txt"));
    server_->setRedirectFor("giro", PathOf("giro"));
    server_->setRedirectFor("ftp", "ftp://127.0.0.1/testo.txt");
    HttpClient client;
    const HttpBytesResult result = client.fetchBytes(urlOf(entry), kAmple);
    QCOMPARE(server_->requests().size(), static_cast<std::size_t>(requests));
    if (cause.isEmpty()) {
        QVERIFY2(result.succeeded(), qPrintable(result.failure));
        QCOMPARE(result.status, 200);
        QCOMPARE(result.bytes, files_["testo.txt"]); // the redirect's own body is dropped
        return;
    }
    QCOMPARE(result.outcome, HttpResult::Outcome::Failure);
    QVERIFY2(result.failure.contains(cause), qPrintable(result.failure));
    QVERIFY2(result.failure.contains(urlOf(entry).toDisplayString()), qPrintable(result.failure));
}

void HttpClientTest::usesAProxyButNeverForThisMachine() {
    // The local server stands in for the proxy: nothing leaves this machine.
    qputenv("http_proxy", QByteArray::fromStdString(server_->baseUrl()));
    HttpClient client;
    const HttpBytesResult remote =
        client.fetchBytes(QUrl("http://quor.example/quor/img_upload/a%20b.jpg"), kAmple);
    // This machine's own server is asked directly.
    const HttpBytesResult local = client.fetchBytes(urlOf("testo.txt"), kAmple);
    qunsetenv("http_proxy");
    QVERIFY2(remote.succeeded(), qPrintable(remote.failure));
    QVERIFY2(local.succeeded(), qPrintable(local.failure));
    QCOMPARE(local.bytes, files_["testo.txt"]);
    const std::vector<QuorServer::Request> log = server_->requests();
    QCOMPARE(log.size(), 2u);
    // The proxy was asked for the whole URL; the local server for its path.
    QCOMPARE(log[0].path, std::string("http://quor.example/quor/img_upload/a b.jpg"));
    QCOMPARE(log[1].path, PathOf("testo.txt"));
}

void HttpClientTest::speaksTlsAndKeepsItsConnection() {
    const std::unique_ptr<QuorServer> tls = StartTlsServer(folder_.path());
    QVERIFY(tls);
    tls->setRedirectFor("giu", server_->baseUrl() + PathOf("testo.txt"));
    const QString upload = UploadAddress(QString::fromStdString(tls->baseUrl()));
    HttpClient client;
    client.setTrustedCertificates(TestData("localhost-test.crt"));
    for (const QString entry : {"testo.txt", "tutti.bin"}) {
        const HttpBytesResult result = client.fetchBytes(FileUrl(upload, entry.toUtf8()), kAmple);
        QVERIFY2(result.succeeded(), qPrintable(result.failure));
        QCOMPARE(result.bytes, files_[entry]);
    }
    const std::vector<QuorServer::Request> log = tls->requests();
    QCOMPARE(log.size(), 2u);
    QCOMPARE(log[0].clientPort, log[1].clientPort);

    // A redirect from https to plain http is refused, not followed.
    const QUrl down = FileUrl(upload, "giu");
    const HttpBytesResult refused = client.fetchBytes(down, kAmple);
    QCOMPARE(refused.outcome, HttpResult::Outcome::Failure);
    QVERIFY2(refused.failure.contains("da https a http rifiutato"), qPrintable(refused.failure));
    QVERIFY2(refused.failure.contains(down.toDisplayString()), qPrintable(refused.failure));
    QCOMPARE(server_->requests().size(), 0u);
}

void HttpClientTest::refusesAServerItCannotTrust() {
    const std::unique_ptr<QuorServer> tls = StartTlsServer(folder_.path());
    QVERIFY(tls);
    const QUrl url = FileUrl(UploadAddress(QString::fromStdString(tls->baseUrl())), "testo.txt");
    HttpClient client; // the system's store knows nothing of the test certificate
    const HttpBytesResult result = client.fetchBytes(url, kAmple);
    QCOMPARE(result.outcome, HttpResult::Outcome::Failure);
    QVERIFY2(result.failure.contains("certificato TLS del server non è attendibile"),
             qPrintable(result.failure));
    QVERIFY2(result.failure.contains(url.toDisplayString()), qPrintable(result.failure));
    QCOMPARE(tls->requests().size(), 0u);
}

void HttpClientTest::abandonsWhenTheProgramIsEnding() {
    server_->setSlowBody("grande.bin", 200ms, 20);
    HttpClient client;
    QTimer::singleShot(0, this, [] { QCoreApplication::exit(0); });
    QVERIFY(client.fetchBytes(urlOf("grande.bin"), kAmple).abandoned());
    QVERIFY(client.fetchText(FileListUrl(upload_), kAmple).abandoned());
}

QTEST_GUILESS_MAIN(HttpClientTest)
#include "http_client_test.moc"
