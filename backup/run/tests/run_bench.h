// A program folder pointing at a real local Quor server, a destination folder, a window
// without a screen and a run: what every test of the backup run starts from.
#pragma once

#include "backup/core/http_client.h"
#include "backup/run/backup_run.h"
#include "backup/run/tests/recording_window.h"
#include "testsupport/test_program_folder.h"
#include "tools/quor_server/quor_server.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>
#include <fstream>

using namespace ombrix;
using namespace shared;

inline const QString kAnswer = QStringLiteral("Copie cancellate.");

// A program folder pointing at a real local server, a destination folder, a window, a run.
struct Bench {
    explicit Bench(Disk* disk = nullptr) : run{program.path(), window, client, disk} { setUp(); }

    TestProgramFolder program;
    QTemporaryDir served;
    QTemporaryDir destination;
    QuorServer server{served.path().toStdString()};
    RecordingWindow window;
    HttpClient client;
    BackupRun run;

    void setUp() {
        server.setClearingAnswer(kAnswer.toStdString());
        QVERIFY(server.start() > 0);
        program.write(QStringLiteral("dat/cfg.txt"),
                      "\"" + QByteArray::fromStdString(server.baseUrl()) + "\"\r\n");
        window.folder = destination.path();
    }
    void serve(const QString& name, const QByteArray& bytes) const {
        QFile f(served.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    ~Bench() {
        // Qt cannot name a file whose name is not UTF-8, so the folder goes by its bytes.
        std::error_code ignored;
        std::filesystem::remove_all(served.path().toStdString(), ignored);
    }
    // A served file named by raw bytes, as a server of another code page stores it.
    void serveRaw(const QByteArray& name, const QByteArray& bytes) const {
        std::ofstream(std::filesystem::path(served.path().toStdString()) / name.toStdString(),
                      std::ios::binary)
            .write(bytes.constData(), bytes.size());
    }
    void serveNumbered(int count) const {
        for (int i = 1; i <= count; ++i)
            serve(QStringLiteral("f%1.txt").arg(i, 2, 10, QChar(u'0')), QByteArray(100 * i, 'x'));
    }
    QByteArray saved(const QString& name) const {
        QFile f(destination.filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    bool savedExists(const QString& name) const {
        return QFile::exists(destination.filePath(name));
    }
    int fetches(const QString& entry) const {
        return server.countOf(QuorServer::kUploadPrefix + entry.toStdString());
    }
    int clearings() const { return server.countOf(QuorServer::kClearingPath); }
    QStringList destinationFiles() const {
        return QDir(destination.path()).entryList(QDir::Files | QDir::Hidden);
    }
};
