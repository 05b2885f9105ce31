#include "backup/core/http_client.h"
#include "backup/run/backup_run.h"
#include "backup/run/tests/run_bench.h"
#include "tools/quor_server/quor_server.h"

#include <QDir>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <fstream>
#include <functional>

using namespace ombrix;
using namespace shared;

class BackupRunTest : public QObject {
    Q_OBJECT
  private slots:
    void roundsHalvesToEven();
    void followsTheListToItsEnd_data();
    void followsTheListToItsEnd();
    void refusesAnUnusableList_data();
    void refusesAnUnusableList();
    void aSecondRunFetchesNothingAndClearsAgain();
    void savesEveryByteUnchanged();
    void savesAccentedNamesOfEitherCodePage_data();
    void savesAccentedNamesOfEitherCodePage();
    void anEndlessListFailsWithinItsBound();
    void stopsAfterTheEntryInHandAndResumes();
    void aStopDuringTheLastEntryStillFinishes();
    void savesLaterEntriesIntoAChangedFolder();
    void aFailedFileLeavesNoFileAndNoClearing_data();
    void aFailedFileLeavesNoFileAndNoClearing();
    void anEndingProgramAbandonsTheEntryInHand();
    void aMissingConfigurationEndsTheClick();
    void savedEntriesLetTheWindowBeServedAtMostOnceAFrame();
    void aStopBetweenSavedEntriesIsHonouredAtTheNextCheck();
    void anEndingProgramBetweenSavedEntriesTouchesNothingMore();
};

namespace {

// A list of count entries whose files are in the destination already; each entry takes a
// millisecond to show, so that the run outlasts several frames on any machine.
void ListSavedEntries(Bench& bench, int count) {
    QByteArray list;
    for (int i = 0; i < count; ++i) {
        const QString name = QStringLiteral("s%1.txt").arg(i, 4, 10, QChar(u'0'));
        QFile file(bench.destination.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        list += name.toUtf8() + "######";
    }
    bench.server.setListText(list.toStdString());
}

void ShowSlowly(Bench& bench, std::function<void(const QString&)> then = {}) {
    bench.window.onEntry = [then](const QString& entry) {
        QThread::msleep(1);
        if (then)
            then(entry);
    };
}

} // namespace

void BackupRunTest::roundsHalvesToEven() {
    QCOMPARE(BackupRun::PercentCaption(12.5), QStringLiteral("12%"));
    QCOMPARE(BackupRun::PercentCaption(37.5), QStringLiteral("38%"));
    QCOMPARE(BackupRun::PercentCaption(100.0 / 3), QStringLiteral("33%"));
    QCOMPARE(BackupRun::PercentCaption(150), QStringLiteral("150%"));
}

void BackupRunTest::followsTheListToItsEnd_data() {
    QTest::addColumn<QString>("list");
    QTest::addColumn<QStringList>("percents");
    QTest::addColumn<int>("highlightedAt");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<double>("barShare");
    const QString end = QStringLiteral("\r\n") + kAnswer;
    QTest::newRow("three entries") << "a######b######c######" << QStringList{"33%", "67%", "100%"}
                                   << 2 << "Salvataggio Terminato"
                                   << "c\r\nb\r\na\r\n" + end << 1.0;
    QTest::newRow("eight entries")
        << "a######b######c######d######e######f######g######h######"
        << QStringList{"12%", "25%", "38%", "50%", "62%", "75%", "88%", "100%"} << 5
        << "Salvataggio Terminato"
        << "h\r\ng\r\nf\r\ne\r\nd\r\nc\r\nb\r\na\r\n" + end << 1.0;
    QTest::newRow("an empty part in the middle")
        << "a############b######" << QStringList{"33%", "67%"} << 2 << "Riprendi"
        << "b\r\na\r\n"
        << 2.0 / 3;
    QTest::newRow("no final separator")
        << "a######b######c" << QStringList{"50%", "100%", "150%"} << 2 << "Ferma"
        << "c\r\nb\r\na\r\n"
        << 1.5;
}

void BackupRunTest::followsTheListToItsEnd() {
    QFETCH(QString, list);
    QFETCH(QStringList, percents);
    QFETCH(int, highlightedAt);
    QFETCH(QString, caption);
    QFETCH(QString, shown);
    QFETCH(double, barShare);
    Bench bench;
    for (const char* name : {"a", "b", "c", "d", "e", "f", "g", "h"})
        bench.serve(QString::fromLatin1(name), QByteArray(name).repeated(10));
    bench.server.setListText(list.toStdString());
    bench.run.click();
    QCOMPARE(bench.window.failures, QStringList());
    QCOMPARE(bench.window.percents, percents);
    QCOMPARE(bench.window.highlightedAtEntry, highlightedAt);
    QCOMPARE(bench.window.caption, caption);
    QCOMPARE(bench.window.list, shown);
    QCOMPARE(bench.window.state, QStringLiteral("1"));
    QCOMPARE(bench.window.bar, static_cast<float>(240 * barShare * 100 / 100));
    QCOMPARE(bench.clearings(), caption == u"Salvataggio Terminato" ? 1 : 0);
    QCOMPARE(bench.saved(QStringLiteral("a")), QByteArray("aaaaaaaaaa"));
    // A click after the end only brings the window back to idle.
    bench.run.click();
    QCOMPARE(bench.window.state, QStringLiteral("0"));
    QCOMPARE(bench.window.caption, QStringLiteral("Salva"));
    QCOMPARE(bench.window.percents.size(), percents.size());
}

void BackupRunTest::refusesAnUnusableList_data() {
    QTest::addColumn<QString>("list");
    QTest::addColumn<int>("status");
    QTest::newRow("a single entry") << "a######" << 200;
    QTest::newRow("empty answer") << "" << 200;
    QTest::newRow("no separator") << "a" << 200;
    QTest::newRow("an error page") << "a######b######c######" << 500;
}

void BackupRunTest::refusesAnUnusableList() {
    QFETCH(QString, list);
    QFETCH(int, status);
    Bench bench;
    for (const char* name : {"a", "b", "c"})
        bench.serve(QString::fromLatin1(name), "x");
    bench.server.setListText(list.toStdString());
    bench.server.setListStatus(status);
    bench.window.list = QStringLiteral("older\r\n");
    bench.run.click();
    QCOMPARE(bench.window.list, BackupRun::FailureListText());
    QCOMPARE(bench.window.caption, QStringLiteral("Riprendi"));
    QCOMPARE(bench.window.state, QStringLiteral("1"));
    QCOMPARE(bench.window.percents, QStringList());
    QVERIFY(bench.destinationFiles().isEmpty());
    QCOMPARE(bench.clearings(), 0);
    QCOMPARE(bench.server.countOf("/quor/img_upload/a"), 0);
    // Two clicks before a new run starts.
    bench.run.click();
    QCOMPARE(bench.window.caption, QStringLiteral("Salva"));
    bench.server.setListText(std::string("a######b######c######"));
    bench.server.setListStatus(200);
    bench.run.click();
    QCOMPARE(bench.window.caption, QStringLiteral("Salvataggio Terminato"));
}

void BackupRunTest::aSecondRunFetchesNothingAndClearsAgain() {
    Bench bench;
    bench.serveNumbered(3);
    bench.run.click();
    QCOMPARE(bench.window.caption, QStringLiteral("Salvataggio Terminato"));
    bench.run.click(); // back to idle
    bench.server.clearLog();
    bench.run.click();
    QCOMPARE(bench.window.caption, QStringLiteral("Salvataggio Terminato"));
    QCOMPARE(bench.fetches(QStringLiteral("f01.txt")) + bench.fetches(QStringLiteral("f02.txt")) +
                 bench.fetches(QStringLiteral("f03.txt")),
             0);
    QCOMPARE(bench.clearings(), 1);
    // The second run's entries stand on top of the first's.
    const QString entries = QStringLiteral("f03.txt\r\nf02.txt\r\nf01.txt\r\n");
    const QString first = entries + QStringLiteral("\r\n") + kAnswer;
    QCOMPARE(bench.window.list, entries + first + QStringLiteral("\r\n") + kAnswer);
}

void BackupRunTest::savesEveryByteUnchanged() {
    Bench bench;
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    bench.serve(QStringLiteral("ogni byte.bin"), all.repeated(300));
    bench.serve(QStringLiteral("vuoto"), QByteArray());
    bench.serve(QStringLiteral("foto#1.jpg"), "hash");
    bench.run.click();
    QCOMPARE(bench.window.failures, QStringList());
    QCOMPARE(bench.saved(QStringLiteral("ogni byte.bin")), all.repeated(300));
    QVERIFY(bench.savedExists(QStringLiteral("vuoto")));
    QCOMPARE(bench.saved(QStringLiteral("vuoto")), QByteArray());
    QCOMPARE(bench.saved(QStringLiteral("foto#1.jpg")), QByteArray("hash"));
    QCOMPARE(bench.destinationFiles().size(), 3); // no temporary file left beside them
}

void BackupRunTest::savesAccentedNamesOfEitherCodePage_data() {
    QTest::addColumn<QByteArrayList>("served"); // the names' bytes on the server
    QTest::newRow("Windows-1252") << QByteArrayList{"caff\xE8.png", "citt\xE0 di mare.jpg"};
    QTest::newRow("UTF-8") << QByteArrayList{"caff\xC3\xA8.png", "citt\xC3\xA0 di mare.jpg"};
}

void BackupRunTest::savesAccentedNamesOfEitherCodePage() {
    QFETCH(QByteArrayList, served);
    Bench bench;
    // The server lists its own names: the list is in the code page of the names.
    for (const QByteArray& name : served)
        bench.serveRaw(name, "contenuto di " + name);
    bench.run.click();
    QCOMPARE(bench.window.failures, QStringList());
    QCOMPARE(bench.window.caption, QStringLiteral("Salvataggio Terminato"));
    QCOMPARE(bench.saved(QStringLiteral("caff\u00e8.png")), "contenuto di " + served[0]);
    QCOMPARE(bench.saved(QStringLiteral("citt\u00e0 di mare.jpg")), "contenuto di " + served[1]);
    QCOMPARE(bench.destinationFiles().size(), 2);
    QVERIFY(
        bench.window.list.startsWith(QStringLiteral("citt\u00e0 di mare.jpg\r\ncaff\u00e8.png")));
}

// The peak resident memory of this process so far, in MiB.
double PeakResidentMiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    const QRegularExpression peak(QStringLiteral("VmHWM:\\s+(\\d+) kB"));
    return peak.match(QString::fromLatin1(status.readAll())).captured(1).toDouble() / 1024;
}

void BackupRunTest::anEndlessListFailsWithinItsBound() {
    Bench bench;
    bench.serveNumbered(3);
    bench.server.setEndlessBody(QuorServer::kListEntry);
    [[maybe_unused]] const double before = PeakResidentMiB(); // unread under AddressSanitizer
    bench.run.click();
    QCOMPARE(bench.window.failures.size(), 1);
    QVERIFY2(bench.window.failures[0].contains(QStringLiteral("troppo grande")),
             qPrintable(bench.window.failures[0]));
    QVERIFY2(bench.window.failures[0].contains(QString::fromLatin1(QuorServer::kListPath)),
             qPrintable(bench.window.failures[0]));
    // The list is held up to its bound of 256 MiB, never beyond (AddressSanitizer copies on
    // every reallocation and keeps freed blocks: its figure says nothing of the program's).
#ifndef __SANITIZE_ADDRESS__
    QVERIFY2(PeakResidentMiB() - before < 256 + 64, qPrintable(QString::number(PeakResidentMiB())));
#endif
    QVERIFY(bench.destinationFiles().isEmpty());
    QCOMPARE(bench.clearings(), 0);
}

void BackupRunTest::stopsAfterTheEntryInHandAndResumes() {
    Bench bench;
    bench.serveNumbered(10);
    bench.server.setSlowBody("f03.txt", std::chrono::milliseconds(60), 8);
    QStringList captionsAfterStop;
    bench.window.onEntry = [&](const QString& entry) {
        if (entry != u"f03.txt")
            return;
        // Clicks that arrive while f03.txt is on its way: the stop, then one more.
        QTimer::singleShot(0, [&] {
            bench.run.click();
            captionsAfterStop << bench.window.caption << bench.window.state;
            bench.run.click(); // finds "0" while the run is still in hand: ignored
            captionsAfterStop << bench.window.caption << bench.window.state;
        });
    };
    bench.run.click();
    QCOMPARE(captionsAfterStop, (QStringList{"Salva", "0", "Salva", "0"}));
    QCOMPARE(bench.window.caption, QStringLiteral("Riprendi"));
    QCOMPARE(bench.window.percents.last(), QStringLiteral("30%"));
    QCOMPARE(bench.saved(QStringLiteral("f03.txt")), QByteArray(300, 'x'));
    QVERIFY(!bench.savedExists(QStringLiteral("f04.txt")));
    QCOMPARE(bench.server.countOf(QuorServer::kListPath), 1);
    QCOMPARE(bench.clearings(), 0);

    bench.window.onEntry = nullptr;
    bench.server.clearLog();
    bench.run.click(); // "Riprendi" with state "0": a new run that resumes
    QCOMPARE(bench.window.caption, QStringLiteral("Salvataggio Terminato"));
    QCOMPARE(bench.fetches(QStringLiteral("f03.txt")), 0);
    QCOMPARE(bench.fetches(QStringLiteral("f04.txt")), 1);
    QCOMPARE(bench.window.percents.mid(3, 3), (QStringList{"10%", "20%", "30%"}));
    QCOMPARE(bench.saved(QStringLiteral("f10.txt")), QByteArray(1000, 'x'));
    QCOMPARE(bench.clearings(), 1);
}

void BackupRunTest::aStopDuringTheLastEntryStillFinishes() {
    Bench bench;
    bench.serveNumbered(3);
    bench.server.setSlowBody("f03.txt", std::chrono::milliseconds(50), 6);
    bench.window.onEntry = [&](const QString& entry) {
        if (entry == u"f03.txt")
            QTimer::singleShot(0, [&] { bench.run.click(); });
    };
    bench.run.click();
    QCOMPARE(bench.window.caption, QStringLiteral("Salvataggio Terminato"));
    QCOMPARE(bench.window.state, QStringLiteral("0"));
    QCOMPARE(bench.clearings(), 1);
    QVERIFY(bench.savedExists(QStringLiteral("f03.txt")));
    bench.window.onEntry = nullptr;
    bench.run.click(); // state "0": a new run at once
    QCOMPARE(bench.window.percents.size(), 6);
}

void BackupRunTest::savesLaterEntriesIntoAChangedFolder() {
    Bench bench;
    bench.serveNumbered(3);
    QTemporaryDir other;
    // The operator changes the folder while f01.txt is on its way, as a click would.
    bench.server.setSlowBody("f01.txt", std::chrono::milliseconds(20), 4);
    bench.window.onEntry = [&](const QString& entry) {
        if (entry == u"f01.txt")
            QTimer::singleShot(0, &bench.client, [&] { bench.window.folder = other.path(); });
    };
    bench.run.click();
    QVERIFY(bench.savedExists(QStringLiteral("f01.txt")));
    QVERIFY(!bench.savedExists(QStringLiteral("f02.txt")));
    QVERIFY(QFile::exists(other.filePath(QStringLiteral("f02.txt"))));
    QVERIFY(QFile::exists(other.filePath(QStringLiteral("f03.txt"))));
}

void BackupRunTest::aFailedFileLeavesNoFileAndNoClearing_data() {
    QTest::addColumn<QString>("knob");
    QTest::addColumn<QString>("message");
    QTest::newRow("status 404") << "404"
                                << "404";
    QTest::newRow("status 500") << "500"
                                << "500";
    QTest::newRow("dropped half-way") << "drop"
                                      << "f02.txt";
    QTest::newRow("an entry with ..") << "dotdot"
                                      << "../fuori.txt";
}

void BackupRunTest::aFailedFileLeavesNoFileAndNoClearing() {
    QFETCH(QString, knob);
    QFETCH(QString, message);
    Bench bench;
    bench.serveNumbered(3);
    if (knob == u"drop")
        bench.server.setDropHalfWay("f02.txt");
    else if (knob == u"dotdot")
        bench.server.setListText(std::string("f01.txt######../fuori.txt######f03.txt######"));
    else
        bench.server.setStatusFor("f02.txt", knob.toInt());
    bench.run.click();
    QCOMPARE(bench.window.failures.size(), 1);
    QVERIFY2(bench.window.failures[0].contains(message), qPrintable(bench.window.failures[0]));
    if (knob != u"dotdot")
        QVERIFY2(bench.window.failures[0].contains(QStringLiteral("/quor/img_upload/f02.txt")),
                 qPrintable(bench.window.failures[0]));
    QCOMPARE(bench.destinationFiles(), QStringList{"f01.txt"});
    QCOMPARE(bench.saved(QStringLiteral("f01.txt")), QByteArray(100, 'x'));
    QVERIFY(
        !QFile::exists(QDir(bench.destination.path()).filePath(QStringLiteral("../fuori.txt"))));
    QCOMPARE(bench.clearings(), 0);
    QCOMPARE(bench.fetches(QStringLiteral("f03.txt")), 0);
}

void BackupRunTest::anEndingProgramAbandonsTheEntryInHand() {
    Bench bench;
    bench.serveNumbered(3);
    bench.server.setSlowBody("f02.txt", std::chrono::milliseconds(60), 8);
    bench.window.onEntry = [&](const QString& entry) {
        if (entry == u"f02.txt")
            QTimer::singleShot(0, &bench.client, &HttpClient::abandon);
    };
    bench.run.click();
    QCOMPARE(bench.window.failures, QStringList());
    QCOMPARE(bench.destinationFiles(), QStringList{"f01.txt"});
    QCOMPARE(bench.fetches(QStringLiteral("f03.txt")), 0);
    QCOMPARE(bench.clearings(), 0);
}

void BackupRunTest::aMissingConfigurationEndsTheClick() {
    Bench bench;
    bench.serveNumbered(3);
    QFile::remove(bench.program.file(QStringLiteral("dat/cfg.txt")));
    bench.run.click();
    QCOMPARE(bench.window.failures.size(), 1);
    QVERIFY(bench.window.failures[0].endsWith(QStringLiteral("dat/cfg.txt")));
    QCOMPARE(bench.window.state, QStringLiteral("0"));
    QCOMPARE(bench.server.requests().size(), 0u);
}

void BackupRunTest::savedEntriesLetTheWindowBeServedAtMostOnceAFrame() {
    Bench bench;
    constexpr int kEntries = 150;
    ListSavedEntries(bench, kEntries);
    // Counts the turns of the event loop made while the entries are shown.
    int turns = 0;
    QElapsedTimer sinceFirst;
    ShowSlowly(bench, [&](const QString& entry) {
        if (entry == u"s0000.txt")
            sinceFirst.start();
    });
    QTimer turn;
    QObject::connect(&turn, &QTimer::timeout, [&] {
        if (sinceFirst.isValid() && bench.window.entriesShown < kEntries)
            ++turns;
    });
    turn.start(0);
    bench.run.click();
    const qint64 elapsed = sinceFirst.elapsed();
    QCOMPARE(bench.window.entriesShown, kEntries);
    QCOMPARE(bench.window.caption, QStringLiteral("Salvataggio Terminato"));
    QVERIFY2(turns >= 1, "no event was delivered between saved entries");
    QVERIFY2(turns <= elapsed / kFrame.count() + 1,
             qPrintable(QStringLiteral("%1 turns in %2 ms").arg(turns).arg(elapsed)));
}

void BackupRunTest::aStopBetweenSavedEntriesIsHonouredAtTheNextCheck() {
    Bench bench;
    constexpr int kEntries = 200;
    ListSavedEntries(bench, kEntries);
    QStringList atStop;
    int shownAtStop = 0;
    ShowSlowly(bench, [&](const QString& entry) {
        if (entry != u"s0010.txt")
            return;
        // A click queued while no request waits: delivered between two entries.
        QTimer::singleShot(0, [&] {
            bench.run.click();
            atStop << bench.window.caption << bench.window.state;
            shownAtStop = bench.window.entriesShown;
        });
    });
    bench.run.click();
    QCOMPARE(atStop, (QStringList{"Salva", "0"}));
    // The entry in hand when the click came was the last one shown.
    QCOMPARE(bench.window.entriesShown, shownAtStop);
    QVERIFY(shownAtStop < kEntries);
    QCOMPARE(bench.window.caption, QStringLiteral("Riprendi"));
    QCOMPARE(bench.window.percents.last(),
             BackupRun::PercentCaption(shownAtStop * 100.0 / kEntries));
    QCOMPARE(bench.clearings(), 0);
}

void BackupRunTest::anEndingProgramBetweenSavedEntriesTouchesNothingMore() {
    Bench bench;
    constexpr int kEntries = 200;
    ListSavedEntries(bench, kEntries);
    int shownAtEnd = 0;
    ShowSlowly(bench, [&](const QString& entry) {
        if (entry == u"s0010.txt")
            QTimer::singleShot(0, [&] {
                shownAtEnd = bench.window.entriesShown;
                bench.client.abandon(); // what the program's end does
            });
    });
    bench.run.click();
    QVERIFY(shownAtEnd > 0);
    QCOMPARE(bench.window.entriesShown, shownAtEnd);
    QCOMPARE(bench.window.caption, QStringLiteral("Ferma"));
    QCOMPARE(bench.window.failures, QStringList());
    QCOMPARE(bench.clearings(), 0);
}

QTEST_MAIN(BackupRunTest)
#include "backup_run_test.moc"
