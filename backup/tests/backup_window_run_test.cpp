// The backup run through the real windows of Ombrix, against the real local server:
// login, destination folder, backup window, and the clicks an operator makes.
#include "backup/ombrix_program.h"
#include "backup/windows/folder_list.h"
#include "backup/windows/form1.h"
#include "backup/windows/form2.h"
#include "backup/windows/form3.h"
#include "backup/windows/saved_files_view.h"
#include "credentials/credential_file.h"
#include "testsupport/control.h"
#include "testsupport/ombrix_fixture.h"
#include "testsupport/scripted_dialogs.h"
#include "tools/quor_server/quor_server.h"

#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace ombrix;
using namespace shared;

namespace {

const QString kAnswer = QStringLiteral("Copie cancellate.");

struct Operator : Ombrix {
    QTemporaryDir served;
    QTemporaryDir destination;
    QuorServer server{served.path().toStdString()};

    Operator() {
        server.setClearingAnswer(kAnswer.toStdString());
        QVERIFY(server.start() > 0);
        serverAt(QString::fromStdString(server.baseUrl()));
        remember(destination.path());
        account(QStringLiteral("op"), QStringLiteral("pw"));
        logIn(QStringLiteral("op"), QStringLiteral("pw"));
        advance();
    }
    void advance() {
        QTest::mouseClick(Control<QPushButton>(program.form2(), "Command1"), Qt::LeftButton);
    }
    void serveNumbered(int count) const {
        for (int i = 1; i <= count; ++i) {
            QFile f(served.filePath(QStringLiteral("f%1.txt").arg(i, 2, 10, QChar(u'0'))));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray(100 * i, 'x'));
        }
    }
    Form1* form1() const { return program.form1(); }
    void clickSalva() { QTest::mouseClick(form1()->command3(), Qt::LeftButton); }
    QString caption() const { return form1()->command3()->text(); }
    QString perc() const { return form1()->perc()->text(); }
    QStringList saved(const QString& folder) const {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden);
    }
    // count entries whose files are in the destination already: a run that fetches nothing.
    QStringList listSaved(int count) {
        QStringList names;
        QByteArray list;
        for (int i = 0; i < count; ++i) {
            names << QStringLiteral("s%1.txt").arg(i, 5, 10, QChar(u'0'));
            QFile file(destination.filePath(names.last()));
            [&] { QVERIFY(file.open(QIODevice::WriteOnly)); }();
            list += names.last().toUtf8() + "######";
        }
        server.setListText(list.toStdString());
        return names;
    }
    // Runs action once, at the first turn of the event loop while entries are shown.
    void whenEntriesGo(std::function<void()> action) {
        auto* watcher = new QTimer(form1());
        QObject::connect(watcher, &QTimer::timeout, [this, watcher, action] {
            if (form1()->attuale()->text().startsWith(QStringLiteral("Stò salvando: "))) {
                watcher->deleteLater();
                watcher->stop();
                action();
            }
        });
        watcher->start(0);
    }
    // Runs action once, as soon as the entry is shown in Attuale and its request waits.
    void whenShown(const QString& entry, std::function<void()> action) {
        auto* watcher = new QTimer(form1());
        watcher->setInterval(1);
        QObject::connect(watcher, &QTimer::timeout, [this, watcher, entry, action] {
            if (form1()->attuale()->text() == QStringLiteral("Stò salvando: ") + entry) {
                watcher->deleteLater();
                watcher->stop();
                action();
            }
        });
        watcher->start();
    }
};

} // namespace

class BackupWindowRunTest : public QObject {
    Q_OBJECT
  private slots:
    void showsTheRunInTheWindow_data();
    void showsTheRunInTheWindow();
    void theStopClickIsHandledAtOnceAndHonouredAfterTheEntry();
    void changingTheFolderMidRunSendsLaterEntriesThere();
    void closingTheWindowMidRunLeavesNoFileForTheEntryInHand();
    void aFailedFileIsShownAndEndsTheProgram();
    void savedEntriesLeaveTheWindowLive_data();
    void savedEntriesLeaveTheWindowLive();
};

void BackupWindowRunTest::showsTheRunInTheWindow_data() {
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("perc");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("barShare");
    QTest::newRow("three entries") << "f01.txt######f02.txt######f03.txt######"
                                   << "100%"
                                   << "Salvataggio Terminato"
                                   << "f03.txt\r\nf02.txt\r\nf01.txt\r\n\r\n" + kAnswer << 1.0;
    QTest::newRow("no final separator") << "f01.txt######f02.txt######f03.txt"
                                        << "150%"
                                        << "Ferma"
                                        << "f03.txt\r\nf02.txt\r\nf01.txt\r\n"
                                        << 1.5;
    QTest::newRow("unusable list") << "f01.txt######"
                                   << "0%"
                                   << "Riprendi"
                                   << "Salvataggio Fallito.\r\nEseguire il comando Copia di "
                                      "Sicurezza dal pannello di Quor."
                                   << 1.0;
}

void BackupWindowRunTest::showsTheRunInTheWindow() {
    QFETCH(QString, list);
    QFETCH(QString, perc);
    QFETCH(QString, caption);
    QFETCH(QString, text);
    QFETCH(double, barShare);
    Operator op;
    op.serveNumbered(3);
    op.server.setListText(list.toStdString());
    const QColor before = op.form1()->perc()->palette().color(QPalette::WindowText);
    op.clickSalva();
    QCOMPARE(op.dialogs.messages.size(), 0);
    QCOMPARE(op.perc(), perc);
    QCOMPARE(op.caption(), caption);
    QCOMPARE(op.form1()->text(), text);
    QCOMPARE(op.form1()->stato()->text(), QStringLiteral("1"));
    QCOMPARE(op.form1()->barra()->width(), qRound(op.form1()->shape1()->width() * barShare));
    const QColor after = op.form1()->perc()->palette().color(QPalette::WindowText);
    QCOMPARE(after != before, perc != u"0%");
    op.clickSalva();
    QCOMPARE(op.caption(), QStringLiteral("Salva"));
    QCOMPARE(op.form1()->stato()->text(), QStringLiteral("0"));
}

void BackupWindowRunTest::theStopClickIsHandledAtOnceAndHonouredAfterTheEntry() {
    Operator op;
    op.serveNumbered(10);
    op.server.setSlowBody("f03.txt", std::chrono::milliseconds(60), 8);
    QString captionAtStop;
    op.whenShown(QStringLiteral("f03.txt"), [&] {
        op.clickSalva();
        captionAtStop = op.caption() + u'/' + op.form1()->stato()->text();
    });
    op.clickSalva();
    QCOMPARE(captionAtStop, QStringLiteral("Salva/0"));
    QCOMPARE(op.caption(), QStringLiteral("Riprendi"));
    QCOMPARE(op.perc(), QStringLiteral("30%"));
    QCOMPARE(op.saved(op.destination.path()), (QStringList{"f01.txt", "f02.txt", "f03.txt"}));
    op.server.clearLog();
    op.clickSalva();
    QCOMPARE(op.caption(), QStringLiteral("Salvataggio Terminato"));
    QCOMPARE(op.server.countOf("/quor/img_upload/f03.txt"), 0);
    QCOMPARE(op.server.countOf("/quor/img_upload/f04.txt"), 1);
    QCOMPARE(op.saved(op.destination.path()).size(), 10);
    QVERIFY(op.form1()->text().endsWith(QStringLiteral("\r\n") + kAnswer));
}

void BackupWindowRunTest::changingTheFolderMidRunSendsLaterEntriesThere() {
    Operator op;
    op.serveNumbered(4);
    op.server.setSlowBody("f02.txt", std::chrono::milliseconds(40), 5);
    QTemporaryDir other;
    op.whenShown(QStringLiteral("f02.txt"), [&] {
        QTest::mouseClick(op.form1()->command1(), Qt::LeftButton); // "Cambia Directory"
        QVERIFY(op.program.form2()->isVisible());
        QVERIFY(!op.form1()->isVisible());
        op.program.form2()->folderList()->setCurrentFolder(other.path());
    });
    op.clickSalva();
    QCOMPARE(op.saved(op.destination.path()), (QStringList{"f01.txt", "f02.txt"}));
    QCOMPARE(op.saved(other.path()), (QStringList{"f03.txt", "f04.txt"}));
    QVERIFY(op.program.form2()->isVisible());
    op.advance();
    QVERIFY(op.form1()->isVisible());
    QCOMPARE(op.form1()->text1()->text(), other.path());
    QCOMPARE(op.perc(), QStringLiteral("100%"));
}

void BackupWindowRunTest::closingTheWindowMidRunLeavesNoFileForTheEntryInHand() {
    Operator op;
    op.serveNumbered(3);
    op.server.setSlowBody("f02.txt", std::chrono::milliseconds(60), 8);
    op.whenShown(QStringLiteral("f02.txt"), [&] { op.form1()->close(); });
    op.clickSalva();
    QCOMPARE(op.dialogs.endStatuses, QList<int>{0});
    QCOMPARE(op.dialogs.messages.size(), 0);
    QCOMPARE(op.saved(op.destination.path()), QStringList{"f01.txt"});
    QCOMPARE(op.server.countOf("/quor/img_upload/f03.txt"), 0);
    QCOMPARE(op.server.countOf(QuorServer::kClearingPath), 0);
}

void BackupWindowRunTest::aFailedFileIsShownAndEndsTheProgram() {
    Operator op;
    op.serveNumbered(3);
    op.server.setStatusFor("f02.txt", 404);
    op.clickSalva();
    QCOMPARE(op.dialogs.messages.size(), 1);
    QCOMPARE(op.dialogs.messages[0].title, QStringLiteral("Ombrix"));
    QVERIFY(op.dialogs.messages[0].failure);
    QVERIFY(op.dialogs.messages[0].text.contains(QStringLiteral("404")));
    QCOMPARE(op.dialogs.endStatuses, QList<int>{1});
    QCOMPARE(op.saved(op.destination.path()), QStringList{"f01.txt"});
    QCOMPARE(op.server.countOf(QuorServer::kClearingPath), 0);
}

// A run over entries saved already waits on no request, yet the stop click, "Cambia
// Directory" and closing the window are handled while it goes, between two entries.
void BackupWindowRunTest::savedEntriesLeaveTheWindowLive_data() {
    QTest::addColumn<QString>("click");
    QTest::newRow("stop") << "Command3";
    QTest::newRow("Cambia Directory") << "Command1";
    QTest::newRow("close") << "close";
}

void BackupWindowRunTest::savedEntriesLeaveTheWindowLive() {
    QFETCH(QString, click);
    Operator op;
    constexpr int kEntries = 20000;
    const QStringList names = op.listSaved(kEntries);
    QString inHand;
    op.whenEntriesGo([&] {
        inHand = op.form1()->attuale()->text();
        if (click == u"close")
            op.form1()->close();
        else
            QTest::mouseClick(Control<QPushButton>(op.form1(), qPrintable(click)), Qt::LeftButton);
    });
    op.clickSalva();
    QVERIFY2(!inHand.isEmpty(), "no event was delivered while the entries were shown");
    const QString first = op.form1()->text().section(QStringLiteral("\r\n"), 0, 0);
    if (click == u"Command3") {
        // Honoured at the stop check after the entry in hand: it is the last one shown.
        QCOMPARE(op.caption(), QStringLiteral("Riprendi"));
        QCOMPARE(QStringLiteral("Stò salvando: ") + first, inHand);
        QVERIFY(first != names.last());
    } else if (click == u"Command1") {
        QVERIFY(op.program.form2()->isVisible());
        QVERIFY(!op.form1()->isVisible());
        QCOMPARE(first, names.last()); // the run went on to the end
        QCOMPARE(op.caption(), QStringLiteral("Salvataggio Terminato"));
    } else {
        QCOMPARE(op.dialogs.endStatuses, QList<int>{0});
        QCOMPARE(QStringLiteral("Stò salvando: ") + first, inHand);
    }
    QCOMPARE(op.dialogs.messages.size(), 0);
    QCOMPARE(op.server.countOf(QuorServer::kClearingPath), click == u"Command1" ? 1 : 0);
    QCOMPARE(op.saved(op.destination.path()).size(), kEntries);
}

QTEST_MAIN(BackupWindowRunTest)
#include "backup_window_run_test.moc"
