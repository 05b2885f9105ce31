// Saving that cannot lose a file, against a real local server and real folders: only a
// whole 200 answer becomes a file, never over another file nor outside the destination,
// on stable storage before it is named and before the server clears its copies.
#include "backup/run/tests/run_bench.h"
#include "backup/run/tests/test_disks.h"

#include <QProcess>

#include <sys/mount.h>

#include <memory>

using namespace ombrix;
using namespace shared;

namespace {

// Every regular file below folder, links not followed, as relative paths, sorted.
QStringList FilesBelow(const QString& folder) {
    QStringList files;
    std::error_code ignored;
    for (const auto& item :
         std::filesystem::recursive_directory_iterator(folder.toStdString(), ignored))
        if (item.symlink_status().type() == std::filesystem::file_type::regular)
            files << QString::fromStdString(
                std::filesystem::relative(item.path(), folder.toStdString()).string());
    files.sort();
    return files;
}

std::unique_ptr<Disk> DiskFor(bool temporaryNames) {
    if (temporaryNames)
        return std::make_unique<NoUnnamedFilesDisk>();
    return std::make_unique<Disk>();
}

// The two ways a body is kept until it is named: a file system with unnamed files, and one
// without them (temporary names).
void AddDiskKinds() {
    QTest::addColumn<bool>("temporaryNames");
    QTest::newRow("unnamed files") << false;
    QTest::newRow("temporary names") << true;
}

// A small file system of its own (tmpfs, 1 MiB), where the test may mount one.
struct SmallDisk {
    QTemporaryDir mountPoint;
    bool mounted = false;
    SmallDisk() {
        mounted = ::mount("tmpfs", mountPoint.path().toLocal8Bit().constData(), "tmpfs", 0,
                          "size=1m") == 0;
    }
    ~SmallDisk() {
        if (mounted)
            ::umount2(mountPoint.path().toLocal8Bit().constData(), MNT_DETACH);
    }
};

} // namespace

class SavingTest : public QObject {
    Q_OBJECT
  private slots:
    void savesOnlyWholeFilesInsideTheFolder_data();
    void savesOnlyWholeFilesInsideTheFolder();
    void leavesNothingAfterAKill_data();
    void leavesNothingAfterAKill();
    void tellsAFullDiskNamingTheFile();
    void syncsBeforeNamingAndBeforeClearing_data();
    void syncsBeforeNamingAndBeforeClearing();
};

void SavingTest::savesOnlyWholeFilesInsideTheFolder_data() {
    QTest::addColumn<QString>("setup");
    QTest::addColumn<bool>("temporaryNames"); // a file system without unnamed files
    QTest::addColumn<QStringList>("saved");
    QTest::addColumn<int>("clearings");
    QTest::addColumn<QStringList>("message"); // fragments of the one failure; none: no failure
    const QStringList abc{"a.txt"};
    const QString longName = QString(250, u'n') + QStringLiteral(".bin");
    for (const bool temporaryNames : {false, true}) {
        const char* mode = temporaryNames ? " (temporary names)" : "";
        QTest::addRow("an entry named like another's temporary file%s", mode)
            << "temporary-like" << temporaryNames << QStringList{".x.ombrix-part", "x"} << 1
            << QStringList();
        QTest::addRow("a real subfolder%s", mode)
            << "subfolder" << temporaryNames << QStringList{"a.txt", "sotto/b.bin"} << 1
            << QStringList();
        QTest::addRow("a name of 254 bytes%s", mode)
            << "long name" << temporaryNames << QStringList{"a.txt", longName} << 1
            << QStringList();
    }
    for (const int status : {206, 204, 302}) {
        QTest::addRow("status %d", status)
            << QStringLiteral("status %1").arg(status) << false << abc << 0
            << QStringList{"\"b.bin\"", "/quor/img_upload/b.bin",
                           QStringLiteral("stato HTTP %1").arg(status)};
    }
    QTest::newRow("a subfolder that links out of the folder")
        << "link outside" << false << abc << 0
        << QStringList{"\"lnk/b.bin\"", "fuori dalla cartella di destinazione"};
}

void SavingTest::savesOnlyWholeFilesInsideTheFolder() {
    QFETCH(QString, setup);
    QFETCH(bool, temporaryNames);
    QFETCH(QStringList, saved);
    QFETCH(int, clearings);
    QFETCH(QStringList, message);
    const std::unique_ptr<Disk> disk = DiskFor(temporaryNames);
    Bench bench(disk.get());
    QTemporaryDir outside;
    if (setup == u"temporary-like") {
        bench.serve(".x.ombrix-part", "the first entry");
        bench.serve("x", "the second entry");
    } else if (setup == u"long name") {
        bench.serve("a.txt", "a");
        bench.serve(saved[1], "long");
    } else {
        bench.serve("a.txt", "a");
        bench.serve("c.txt", "c");
        QDir(bench.served.path()).mkpath("sotto");
        QDir(bench.served.path()).mkpath("lnk");
        bench.serve("sotto/b.bin", QByteArray(100'000, 'b'));
        bench.serve("lnk/b.bin", QByteArray(100'000, 'b'));
        bench.serve("b.bin", QByteArray(100'000, 'b'));
    }
    if (setup == u"subfolder") {
        QDir(bench.destination.path()).mkpath("sotto");
        bench.server.setListText(std::string("a.txt######sotto/b.bin######"));
    } else if (setup == u"link outside") {
        QVERIFY(QFile::link(outside.path(), bench.destination.filePath("lnk")));
        bench.server.setListText(std::string("a.txt######lnk/b.bin######c.txt######"));
    } else if (setup.startsWith(u"status ")) {
        bench.server.setStatusFor("b.bin", setup.mid(7).toInt());
        bench.server.setListText(std::string("a.txt######b.bin######c.txt######"));
    }
    bench.run.click();

    QCOMPARE(FilesBelow(bench.destination.path()), saved);
    QCOMPARE(bench.clearings(), clearings);
    QCOMPARE(bench.window.failures.size(), message.isEmpty() ? 0 : 1);
    for (const QString& fragment : message)
        QVERIFY2(bench.window.failures[0].contains(fragment), qPrintable(bench.window.failures[0]));
    QCOMPARE(FilesBelow(outside.path()), QStringList());
    QCOMPARE(bench.fetches("c.txt"), 0);
    if (setup == u"temporary-like") {
        QCOMPARE(bench.saved(".x.ombrix-part"), QByteArray("the first entry"));
        QCOMPARE(bench.saved("x"), QByteArray("the second entry"));
    }
}

void SavingTest::leavesNothingAfterAKill_data() {
    AddDiskKinds();
}

void SavingTest::leavesNothingAfterAKill() {
    QFETCH(bool, temporaryNames);
    const std::unique_ptr<Disk> disk = DiskFor(temporaryNames);
    Bench bench(disk.get());
    bench.serve("a.txt", "a");
    bench.serve("b.bin", QByteArray(100'000, 'b'));
    bench.serve("c.txt", "c");
    bench.server.setListText(std::string("a.txt######b.bin######"));
    bench.server.setStalledBody("b.bin");
    QProcess run;
    run.start(QStringLiteral(RUN_UNTIL_KILLED),
              {QString::fromStdString(bench.program.path().string()), bench.destination.path(),
               temporaryNames ? "temporary-names" : "unnamed-files"});
    QTRY_COMPARE_WITH_TIMEOUT(bench.fetches("b.bin"), 1, 10000);
    run.kill();
    QVERIFY(run.waitForFinished(5000));

    // The next list no longer names b.bin: nothing of it may stay.
    bench.server.clearEntryKnobs();
    bench.server.setListText(std::string("a.txt######c.txt######"));
    bench.run.click();
    QCOMPARE(bench.window.failures, QStringList());
    QCOMPARE(FilesBelow(bench.destination.path()), (QStringList{"a.txt", "c.txt"}));
}

void SavingTest::tellsAFullDiskNamingTheFile() {
    SmallDisk small;
    if (!small.mounted)
        QSKIP("A small tmpfs cannot be mounted here (it takes root in a mount namespace "
              "that allows it): the full disk is not tried.");
    Bench bench;
    bench.window.folder = small.mountPoint.path();
    bench.serve("a.txt", "a");
    bench.serve("grande.bin", QByteArray(2 << 20, 'g'));
    bench.serve("z.txt", "z");
    bench.run.click();
    QCOMPARE(bench.window.failures.size(), 1);
    const QString failure = bench.window.failures[0];
    QVERIFY2(failure.contains("spazio esaurito sul disco"), qPrintable(failure));
    QVERIFY2(failure.contains(small.mountPoint.filePath("grande.bin")), qPrintable(failure));
    QCOMPARE(FilesBelow(small.mountPoint.path()), QStringList{"a.txt"});
    QCOMPARE(bench.clearings(), 0);
}

void SavingTest::syncsBeforeNamingAndBeforeClearing_data() {
    AddDiskKinds();
}

void SavingTest::syncsBeforeNamingAndBeforeClearing() {
    QFETCH(bool, temporaryNames);
    RecordingDisk<Disk> unnamed;
    RecordingDisk<NoUnnamedFilesDisk> temporary;
    Disk* disk = temporaryNames ? static_cast<Disk*>(&temporary) : &unnamed;
    const auto events = [&] { return temporaryNames ? temporary.events() : unnamed.events(); };
    Bench bench(disk);
    const int files = 150; // more than two batches
    for (int i = 0; i < files; ++i)
        bench.serve(QStringLiteral("f%1.bin").arg(i, 3, 10, QChar(u'0')), QByteArray(1000, 'f'));
    bench.server.setRequestObserver([&](const QuorServer::Request& request) {
        if (request.path == QuorServer::kClearingPath)
            temporaryNames ? temporary.note("clear") : unnamed.note("clear");
    });
    bench.run.click();
    QCOMPARE(bench.window.failures, QStringList());
    QCOMPARE(FilesBelow(bench.destination.path()).size(), files);

    // The k-th file opened is the k-th named: a sync must stand between the two.
    const std::vector<std::string> log = events();
    std::vector<std::size_t> opens, names, syncs;
    for (std::size_t i = 0; i < log.size(); ++i)
        (log[i] == "open" ? opens : log[i] == "sync" ? syncs : names).push_back(i);
    QCOMPARE(log.back(), std::string("clear"));
    names.pop_back(); // "clear"
    QCOMPARE(names.size(), opens.size());
    for (std::size_t k = 0; k < names.size(); ++k) {
        const bool synced = std::any_of(syncs.begin(), syncs.end(), [&](std::size_t s) {
            return opens[k] < s && s < names[k];
        });
        QVERIFY2(synced, log[names[k]].c_str());
    }
    // After the last name, a sync, then the clearing request; far fewer syncs than files.
    QVERIFY(syncs.back() > names.back());
    QVERIFY2(syncs.size() < static_cast<std::size_t>(files) / 4,
             qPrintable(QString::number(syncs.size())));
}

QTEST_MAIN(SavingTest)
#include "saving_test.moc"
