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
#include "testsupport/control.h"
#include "testsupport/ombrix_fixture.h"
#include "testsupport/tavelo_fixture.h"
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

void Click(QWidget* window, const char* button) {
    Control<QPushButton>(window, button)->click();
}

void PhotographTavelo(const TestProgramFolder& program) {
    TaveloProgram tavelo(program.path());
    tavelo.start();
    Save(tavelo.index(), "tavelo-index");
    Click(tavelo.index(), "Command1");
    FillGenera(tavelo, QStringLiteral("operatore"), QStringLiteral("segreta"));
    Click(tavelo.genera(), "Command1");
    Save(tavelo.genera(), "tavelo-genera");
    Click(tavelo.genera(), "Command2");
    Click(tavelo.index(), "Command2");
    FillForm1(tavelo, QStringLiteral("operatore"), QStringLiteral("segreta"),
              QStringLiteral("operatore"), QStringLiteral("nuova"));
    Click(tavelo.form1(), "Command2");
    Save(tavelo.form1(), "tavelo-form1");
}

void PhotographOmbrix(const TestProgramFolder& program, QuorServer& server) {
    OmbrixProgram ombrix(program.path());
    ombrix.start();
    FillLogin(ombrix.form3(), QStringLiteral("operatore"), QStringLiteral("nuova"));
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
    TestProgramFolder program;
    QDir destination(QDir::temp().filePath(QStringLiteral("ombrix-screenshots/backup")));
    destination.removeRecursively();
    destination.mkpath(QStringLiteral("."));
    program.write(QStringLiteral("dat/cfg.txt"),
                  FieldFile(QString::fromStdString(server.baseUrl())));
    program.write(QStringLiteral("txt/path.txt"), FieldFile(destination.path()));
    PhotographTavelo(program);
    PhotographOmbrix(program, server);
    return 0;
}
