// Benchmarks of the backup run against a real static web server (nginx, nginx_server.h),
// each compared with a baseline measured in the same run. Prints a Markdown table; nothing
// here passes or fails.
//
//   backup_bench                 all measurements
//   backup_bench --small-files   only the 10,000 small files
//   backup_bench --entries       only the runs over saved entries (100,000 and 1,000,000)
//   backup_bench --memory        (internal) saves one 1 GiB file, prints the peak resident KiB
//   backup_bench --present N     (internal) a run over N saved entries: seconds, peak KiB
//   backup_bench --stop-present N  (internal) the stop click during such a run
#include "backup/core/http_client.h"
#include "backup/run/backup_run.h"
#include "backup/windows/form1.h"
#include "backup/windows/form1_run_window.h"
#include "bench/nginx_server.h"
#include "desktop/dialogs.h"
#include "testsupport/test_program_folder.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace ombrix;
using namespace shared;

namespace {

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(bytes);
}

// A folder laid out as the Quor server's: files under quor/img_upload/, the list beside
// them, the clearing answer under quor/backup/.
struct QuorFolder {
    QTemporaryDir root;
    QString uploads = root.filePath(QStringLiteral("quor/img_upload"));

    QuorFolder() {
        QDir(root.path()).mkpath(QStringLiteral("quor/img_upload/quorbackup"));
        QDir(root.path()).mkpath(QStringLiteral("quor/backup"));
        WriteFile(root.filePath(QStringLiteral("quor/backup/cancellacopie.php")),
                  "Copie cancellate.");
    }
    QString file(const QString& entry) const { return uploads + u'/' + entry; }
    void list(const QStringList& names) const {
        QByteArray list;
        for (const QString& name : names)
            list += name.toUtf8() + "######";
        WriteFile(file(QStringLiteral("quorbackup/quorbackuplog.sav")), list);
    }
};

QByteArray Noise(qsizetype size, int seed) {
    QByteArray bytes(size, Qt::Uninitialized);
    quint32 x = 2463534242u + seed;
    for (qsizetype i = 0; i < size; ++i) {
        x ^= x << 13, x ^= x >> 17, x ^= x << 5;
        bytes[i] = static_cast<char>(x);
    }
    return bytes;
}

// One backup window, its run, and a program folder that points at a server.
struct Backup {
    TestProgramFolder programFolder;
    QString destination;
    Form1 form1;
    Form1RunWindow window{form1, [this] { return destination; }};
    HttpClient client;
    BackupRun run{programFolder.path(), window, client};

    Backup(const QString& serverUrl, const QString& folder) : destination(folder) {
        programFolder.write(QStringLiteral("dat/cfg.txt"), "\"" + serverUrl.toUtf8() + "\"\r\n");
        QObject::connect(&form1, &Form1::saveClicked, [this] { run.click(); });
        if (qEnvironmentVariableIsEmpty("BENCH_HIDDEN"))
            form1.show();
    }
    double seconds() {
        QElapsedTimer timer;
        timer.start();
        run.click();
        return timer.nsecsElapsed() / 1e9;
    }
};

double CurlSeconds(const QString& serverUrl, const QStringList& names, const QString& scratch) {
    QString config;
    for (const QString& name : names)
        config += QStringLiteral("url = \"%1/quor/img_upload/%2\"\noutput = \"%3/%2\"\n")
                      .arg(serverUrl, name, scratch);
    const QString configFile = scratch + QStringLiteral("/curl.cfg");
    WriteFile(configFile, config.toUtf8());
    QElapsedTimer timer;
    timer.start();
    QProcess::execute(QStringLiteral("curl"), {"-s", "-K", configFile});
    return timer.nsecsElapsed() / 1e9;
}

// The best of three rounds, curl and the run taking turns, each saving into a new folder.
// Every timed part starts with nothing waiting to be written back to the disk, so that
// neither pays for the other's files.
void Throughput(const char* label, int count, qsizetype size) {
    QuorFolder served;
    QStringList names;
    for (int i = 0; i < count; ++i) {
        names << QStringLiteral("f%1.bin").arg(i, 5, 10, QChar(u'0'));
        WriteFile(served.file(names.last()), Noise(size, i));
    }
    served.list(names);
    NginxServer server(served.root.path());
    double curl = 0, ours = 0;
    for (int round = 0; round < 3; ++round) {
        QTemporaryDir curlOut, saved;
        ::sync();
        const double curlRound = CurlSeconds(server.url(), names, curlOut.path());
        ::sync();
        Backup backup(server.url(), saved.path());
        const double oursRound = backup.seconds();
        curl = round == 0 ? curlRound : std::min(curl, curlRound);
        ours = round == 0 ? oursRound : std::min(ours, oursRound);
    }
    const double mib = double(count) * size / (1024.0 * 1024.0);
    std::printf("| %s | curl, one connection | %.2f s | %.0f files/s | %.1f MiB/s |\n", label, curl,
                count / curl, mib / curl);
    std::printf("| %s | Ombrix run | %.2f s | %.0f files/s | %.1f MiB/s (%.2f of curl) |\n", label,
                ours, count / ours, mib / ours, curl / ours);
}

// The peak resident size of this process image (VmHWM: unlike getrusage, not carried
// over from the parent across exec).
long PeakResidentKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

// The operator's click on button, queued as the window system queues one (from any thread).
void QueueClick(QPushButton* button) {
    const QPointF centre = QRectF(button->rect()).center();
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
        QCoreApplication::postEvent(
            button,
            new QMouseEvent(type, centre, button->mapToGlobal(centre), Qt::LeftButton,
                            type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                            Qt::NoModifier));
}

// Forgets the peak resident size so far: what comes after is measured alone.
void ResetPeakResident() {
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

// count entries, every one saved already, in a served list and a destination folder of
// their own; made without holding the names, so that the run's memory is the run's.
struct PresentEntries {
    QuorFolder served;
    QTemporaryDir saved;
    int count;

    explicit PresentEntries(int n) : count(n) {
        QFile list(served.file(QStringLiteral("quorbackup/quorbackuplog.sav")));
        list.open(QIODevice::WriteOnly);
        for (int i = 0; i < count; ++i) {
            const QByteArray name = nameOf(i);
            list.write(name + "######");
            ::close(::open(pathOf(name).constData(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644));
        }
    }
    static QByteArray nameOf(int i) {
        return "IMG_" + QByteArray::number(i).rightJustified(7, '0') + ".jpg";
    }
    QByteArray pathOf(const QByteArray& name) const {
        return QFile::encodeName(saved.path()) + '/' + name;
    }
    // The floor of a run over them: one existence test per entry, its path made and
    // looked up, and nothing else.
    double floorSeconds() const {
        QElapsedTimer timer;
        timer.start();
        struct stat info {};
        int found = 0;
        for (int i = 0; i < count; ++i)
            found += ::stat(pathOf(nameOf(i)).constData(), &info) == 0;
        const double seconds = timer.nsecsElapsed() / 1e9;
        return found == count ? seconds : -1;
    }
};

// (internal) Runs over count present entries: prints the first run's seconds and peak KiB
// (the peak of this process from the start of the run: nothing before it is counted), the
// best of three runs' seconds, each run with a window of its own, and the best of the floors
// measured before each run.
int RunOverPresent(int count) {
    PresentEntries entries(count);
    NginxServer server(entries.served.root.path());
    double first = 0, best = 0, floor = 0;
    long peak = 0;
    for (int round = 0; round < 3; ++round) {
        ::sync();
        const double floorRound = entries.floorSeconds();
        ResetPeakResident();
        Backup backup(server.url(), entries.saved.path());
        const double seconds = backup.seconds();
        if (round == 0) {
            first = best = seconds;
            floor = floorRound;
            peak = PeakResidentKiB();
        }
        best = std::min(best, seconds);
        floor = std::min(floor, floorRound);
    }
    std::printf("%.3f %ld %.3f %.3f\n", first, peak, best, floor);
    return 0;
}

// (internal) Stop clicks during runs over count present entries: each run is stopped by a
// click queued from another thread, as the window system queues one, whatever the run is
// doing, at a different moment of each run (0.3 s to 1.2 s in); the next run resumes from the
// top. Prints the median and the largest milliseconds from the click to "Salva".
int StopOverPresent(int count) {
    PresentEntries entries(count);
    NginxServer server(entries.served.root.path());
    Backup backup(server.url(), entries.saved.path());
    QPushButton* button = backup.form1.command3();
    QElapsedTimer clock;
    clock.start();
    std::atomic<qint64> clickedAt{-1};
    std::vector<double> latencies;
    QObject::connect(button, &QPushButton::clicked, [&] {
        if (button->text() == u"Salva" && clickedAt >= 0) {
            latencies.push_back((clock.nsecsElapsed() - clickedAt) / 1e6);
            clickedAt = -1;
        }
    });
    for (int i = 0; i < 10; ++i) {
        std::thread clicker([&, i] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300 + 97 * i));
            clickedAt = clock.nsecsElapsed();
            QueueClick(button);
        });
        backup.run.click();
        clicker.join();
        QCoreApplication::processEvents(); // a click that came after the run's end
    }
    std::sort(latencies.begin(), latencies.end());
    std::printf("%zu %.3f %.3f\n", latencies.size(),
                latencies.empty() ? -1 : latencies[latencies.size() / 2],
                latencies.empty() ? -1 : latencies.back());
    return 0;
}

QStringList Child(const QStringList& arguments) {
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), arguments);
    child.waitForFinished(-1);
    return QString::fromUtf8(child.readAllStandardOutput()).split(u' ');
}

// Runs over saved files (the best of three): the cost per entry, the peak memory and how time
// grows with the list, each count in a process of its own; then the stop click during a
// million.
void EntryCost() {
    double bestOf100k = 0;
    for (const int count : {100000, 1000000}) {
        const QStringList figures = Child({"--present", QString::number(count)});
        const double first = figures.value(0).toDouble();
        const double peakMiB = figures.value(1).toDouble() / 1024;
        const double best = figures.value(2).toDouble();
        const double floor = figures.value(3).toDouble();
        if (count == 100000)
            bestOf100k = best;
        std::printf(
            "| %s entries, all saved | Ombrix run | %.2f s | %.2f us/entry | %.1f MiB "
            "peak; best of three %.2f s, %.1f x the floor (%.2f s)%s |\n",
            qPrintable(QLocale(QLocale::English).toString(count)), first, first / count * 1e6,
            peakMiB, best, best / floor, floor,
            count > 100000
                ? qPrintable(
                      QStringLiteral("; %1 x the 100,000 best").arg(best / bestOf100k, 0, 'f', 1))
                : "");
    }
    const QStringList stop = Child({"--stop-present", "1000000"});
    std::printf("| stop click during a run over 1,000,000 saved entries (%s clicks) | click to "
                "\"Salva\" | | median %s ms | max %s ms |\n",
                qPrintable(stop.value(0)), qPrintable(stop.value(1)),
                qPrintable(stop.value(2).trimmed()));
}

int SaveOneGiB() {
    QuorFolder served;
    QTemporaryDir saved;
    {
        QFile big(served.file(QStringLiteral("grande.bin")));
        big.open(QIODevice::WriteOnly);
        big.resize(qint64(1) << 30);
    }
    // A list of one entry is refused as unusable: a second, small file keeps it usable.
    WriteFile(served.file(QStringLiteral("piccolo.txt")), "x");
    served.list({QStringLiteral("grande.bin"), QStringLiteral("piccolo.txt")});
    NginxServer server(served.root.path());
    Backup backup(server.url(), saved.path());
    const long before = PeakResidentKiB();
    const double seconds = backup.seconds();
    const long after = PeakResidentKiB();
    std::printf("%ld %ld %.2f %lld\n", before, after, seconds,
                QFileInfo(saved.filePath(QStringLiteral("grande.bin"))).size());
    return 0;
}

void Memory() {
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {"--memory"});
    child.waitForFinished(600000);
    long before = 0, after = 0;
    double seconds = 0;
    long long size = 0;
    std::sscanf(child.readAllStandardOutput().constData(), "%ld %ld %lf %lld", &before, &after,
                &seconds, &size);
    std::printf("| one 1 GiB file | peak resident memory | %.2f s | %.1f MiB before the run | "
                "%.1f MiB peak (%lld bytes saved) |\n",
                seconds, before / 1024.0, after / 1024.0, size);
}

void StopLatency() {
    QuorFolder served;
    QTemporaryDir saved;
    // nginx sends a second's worth at once, then holds the rest: about a second for the
    // body, the click a tenth of a second into it.
    WriteFile(served.file(QStringLiteral("lento.bin")), Noise(12 * 1024, 1));
    // A list of one entry is unusable: the second entry is saved already, never fetched.
    WriteFile(served.file(QStringLiteral("salvato.bin")), "x");
    WriteFile(saved.filePath(QStringLiteral("salvato.bin")), "x");
    served.list({QStringLiteral("lento.bin"), QStringLiteral("salvato.bin")});
    NginxServer server(served.root.path(), QStringLiteral("lento.bin"), 8192);
    Backup backup(server.url(), saved.path());
    QPushButton* button = backup.form1.command3();
    std::vector<double> latencies;
    QElapsedTimer sinceClick;
    QObject::connect(button, &QPushButton::clicked, [&] {
        if (button->text() == u"Salva" && sinceClick.isValid()) {
            latencies.push_back(sinceClick.nsecsElapsed() / 1e6);
            sinceClick.invalidate();
        }
    });
    for (int i = 0; i < 15; ++i) {
        QFile::remove(saved.filePath(QStringLiteral("lento.bin")));
        backup.form1.stato()->setText(QStringLiteral("0"));
        QTimer::singleShot(100, [&] {
            sinceClick.start();
            QueueClick(button);
        });
        backup.run.click();
    }
    std::sort(latencies.begin(), latencies.end());
    const double median = latencies.empty() ? -1 : latencies[latencies.size() / 2];
    std::printf("| stop click during a slow file (%zu clicks) | click to \"Salva\" | | median "
                "%.2f ms | max %.2f ms |\n",
                latencies.size(), median, latencies.empty() ? -1 : latencies.back());
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc > 1 && QByteArray(argv[1]) == "--memory")
        return SaveOneGiB();
    if (argc > 2 && QByteArray(argv[1]) == "--present")
        return RunOverPresent(std::atoi(argv[2]));
    if (argc > 2 && QByteArray(argv[1]) == "--stop-present")
        return StopOverPresent(std::atoi(argv[2]));
    const bool smallFilesOnly = argc > 1 && QByteArray(argv[1]) == "--small-files";
    std::printf("| case | what | time | rate | compared |\n|---|---|---|---|---|\n");
    if (argc > 1 && QByteArray(argv[1]) == "--entries") {
        EntryCost();
        return 0;
    }
    Throughput("10,000 files of 16 KiB", 10000, 16 * 1024);
    if (smallFilesOnly)
        return 0;
    Throughput("4 files of 64 MiB", 4, 64 * 1024 * 1024);
    EntryCost();
    Memory();
    StopLatency();
    return 0;
}
