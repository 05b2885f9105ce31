// Takes pictures of the six windows, made from the real widgets on the offscreen platform,
// the backup window in the middle of a run against the local server.
//
//   ombrix-screenshots OUTPUT_FOLDER DEMO_FILES_FOLDER
#include "admin/tavelo_program.h"
#include "admin/windows/form1.h"
#include "admin/windows/genera.h"
#include "admin/windows/index.h"
#include "backup/ombrix_program.h"
#include "backup/windows/form1.h"
#include "backup/windows/form2.h"
#include "backup/windows/form3.h"
#include "credentials/credential_file.h"
#include "desktop/testing/control.h"
#include "desktop/text_codec.h"
#include "tools/quor_server/quor_server.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

using namespace ombrix;
using namespace tavelo;
using namespace shared;

namespace {

QString output;

void Save(QWidget* window, const char* name) {
    window->repaint();
    QCoreApplication::processEvents();
    const QString file = QDir(output).filePath(QString::fromLatin1(name) + ".png");
    window->grab().save(file);
    std::printf("%s\n", qPrintable(file));
}

void Write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(bytes);
}

void Click(QWidget* window, const char* button) {
    Control<QPushButton>(window, button)->click();
}

void Type(QWidget* window, const char* field, const QString& text) {
    Control<QLineEdit>(window, field)->setText(text);
}

void Tavelo(const QTemporaryDir& program) {
    TaveloProgram tavelo(ToPath(program.path()));
    tavelo.start();
    Save(tavelo.index(), "tavelo-index");
    Click(tavelo.index(), "Command1");
    QWidget* genera = tavelo.genera();
    Type(genera, "usr", QStringLiteral("operatore"));
    Type(genera, "pwd", QStringLiteral("segreta"));
    Click(genera, "Command1");
    Save(genera, "tavelo-genera");
    Click(genera, "Command2");
    Click(tavelo.index(), "Command2");
    QWidget* change = tavelo.form1();
    Type(change, "usrv", QStringLiteral("operatore"));
    Type(change, "pwdv", QStringLiteral("segreta"));
    Type(change, "usrn", QStringLiteral("operatore"));
    Type(change, "pwdn", QStringLiteral("nuova"));
    Click(change, "Command2");
    Save(change, "tavelo-form1");
}

void Ombrix(const QTemporaryDir& program, QuorServer& server) {
    OmbrixProgram ombrix(ToPath(program.path()));
    ombrix.start();
    Type(ombrix.form3(), "Nomeutente", QStringLiteral("operatore"));
    Type(ombrix.form3(), "Password", QStringLiteral("nuova"));
    Save(ombrix.form3(), "ombrix-form3");
    Click(ombrix.form3(), "Command1");
    Save(ombrix.form2(), "ombrix-form2");
    Click(ombrix.form2(), "Command1");
    // Mid-run: the picture is taken while the fourteenth image is on its way.
    server.setSlowBody("immagine_014.jpg", std::chrono::milliseconds(100), 5);
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        if (ombrix.form1()->attuale()->text().endsWith(QStringLiteral("immagine_014.jpg"))) {
            watcher.stop();
            Save(ombrix.form1(), "ombrix-form1-running");
        }
    });
    watcher.start(5);
    ombrix.form1()->command3()->click();
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: ombrix-screenshots OUTPUT_FOLDER DEMO_FILES_FOLDER\n");
        return 2;
    }
    output = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(output);
    QuorServer server(argv[2]);
    server.setDelayPerFile(std::chrono::milliseconds(5));
    if (server.start() < 0)
        return 1;

    // A destination of fixed name, so that pictures taken on different days compare equal.
    QTemporaryDir program;
    QDir destination(QDir::temp().filePath(QStringLiteral("ombrix-screenshots/backup")));
    destination.removeRecursively();
    destination.mkpath(QStringLiteral("."));
    QDir(program.path()).mkpath(QStringLiteral("txt"));
    QDir(program.path()).mkpath(QStringLiteral("dat"));
    Write(program.filePath(QStringLiteral("dat/cfg.txt")),
          "\"" + QByteArray::fromStdString(server.baseUrl()) + "\"\r\n");
    Write(program.filePath(QStringLiteral("txt/path.txt")),
          "\"" + destination.path().toUtf8() + "\"\r\n");
    Tavelo(program);
    Ombrix(program, server);
    return 0;
}
