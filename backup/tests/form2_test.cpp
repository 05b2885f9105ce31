// The destination-folder window in the running program: after a real login, on real
// folders and a real txt/path.txt.
#include "backup/core/text_field.h"
#include "backup/ombrix_program.h"
#include "backup/windows/folder_list.h"
#include "backup/windows/folder_paths.h"
#include "backup/windows/form1.h"
#include "backup/windows/form2.h"
#include "backup/windows/form3.h"
#include "credentials/credential_file.h"
#include "desktop/text_codec.h"
#include "testsupport/control.h"
#include "testsupport/ombrix_fixture.h"
#include "testsupport/scripted_dialogs.h"
#include "testsupport/tab_order.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace ombrix;
using namespace shared;

namespace {

const QString kPathFile = QStringLiteral("txt/path.txt");
const QString kWarning =
    QStringLiteral("Attenzione la cartella verrà creata nell'ultima cartella che è stata aperta");

// The program up to the destination-folder window: account "a"/"b", and a destination
// folder with subfolders "sub" and "altra".
struct Session : Ombrix {
    QTemporaryDir destinations;
    QString destination = at(QStringLiteral("dest"));

    Session() {
        QDir(destination).mkpath(QStringLiteral("sub"));
        QDir(destination).mkpath(QStringLiteral("altra"));
        account(QStringLiteral("a"), QStringLiteral("b"));
        remember(destination);
    }
    QString base() const { return QDir::cleanPath(destinations.path()); }
    QString at(const QString& relative) const { return base() + QLatin1Char('/') + relative; }
    QByteArray remembered() const { return folder.read(kPathFile); }

    void logIn() { Ombrix::logIn(QStringLiteral("a"), QStringLiteral("b")); }
    Form2* form2() const { return program.form2(); }
    FolderList* dir1() const { return form2()->folderList(); }
    QPushButton* button(const char* name) const { return Control<QPushButton>(form2(), name); }
    void press(const char* name) const { QTest::mouseClick(button(name), Qt::LeftButton); }
    void avanti() const { press("Command1"); }
    void creaCartella() const { press("Command2"); }

    QListWidgetItem* entry(const QString& folder) const {
        for (int row = 0; row < dir1()->count(); ++row)
            if (FolderList::folderOf(dir1()->item(row)) == folder)
                return dir1()->item(row);
        return nullptr;
    }
    QPoint centre(const QString& folder) const {
        dir1()->scrollToItem(entry(folder));
        return dir1()->visualItemRect(entry(folder)).center();
    }
    // As the window system delivers a double click: a click, then the double click.
    void open(const QString& folder) const {
        const QPoint point = centre(folder);
        QTest::mouseClick(dir1()->viewport(), Qt::LeftButton, {}, point);
        QTest::mouseDClick(dir1()->viewport(), Qt::LeftButton, {}, point);
    }
    void highlight(const QString& folder) const {
        QTest::mouseClick(dir1()->viewport(), Qt::LeftButton, {}, centre(folder));
    }
    bool onlyForm2Shown() const {
        return !program.form3()->isVisible() && form2() && form2()->isVisible() &&
               (!program.form1() || !program.form1()->isVisible());
    }
    bool onlyForm1Shown() const {
        return !program.form3()->isVisible() && !form2()->isVisible() && program.form1() &&
               program.form1()->isVisible();
    }
};

} // namespace

class Form2Test : public QObject {
    Q_OBJECT
  private slots:
    void showsTheDesignedWindowAfterTheLogin();
    void loadsTheRememberedFolder_data();
    void loadsTheRememberedFolder();
    void aLoadFailureEndsTheProgramWithNoWindow_data();
    void aLoadFailureEndsTheProgramWithNoWindow();
    void avantiRecordsTheCurrentFolderExactly_data();
    void avantiRecordsTheCurrentFolderExactly();
    void avantiWritesOnEveryPress();
    void aFolderThePathFileCannotHoldIsRefused_data();
    void aFolderThePathFileCannotHoldIsRefused();
    void aPathFileThatCannotBeWrittenEndsTheProgram();
    void creaCartella_data();
    void creaCartella();
    void creaCartellaInTheRoot();
    void theRoundTripThroughTheBackupWindow();
    void closingAWindowEndsTheProgram_data();
    void closingAWindowEndsTheProgram();
};

void Form2Test::showsTheDesignedWindowAfterTheLogin() {
    Session session;
    session.logIn();
    QVERIFY(session.onlyForm2Shown());
    Form2* form = session.form2();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    QCOMPARE(form->windowTitle(), QStringLiteral("Form2"));
    QCOMPARE(form->size(), QSize(615, 288));
    QCOMPARE(form->palette().color(QPalette::Window), QColor(Qt::white));
    auto* heading = Control<QLabel>(form, "Label3");
    QCOMPARE(heading->text(), QStringLiteral("SALVATAGGIO"));
    QVERIFY(heading->font().bold());
    QCOMPARE(heading->font().pointSizeF(), 14.25);
    QCOMPARE(heading->palette().color(QPalette::WindowText), QColor(0, 0, 128));
    QCOMPARE(Control<QLabel>(form, "Label1")->text(),
             QStringLiteral("Scegli la cartella in cui salvare i file"));
    QCOMPARE(Control<QLabel>(form, "Label2")->text(),
             QStringLiteral("Software di Backup per il software Q.U.O.R. realizzato da:"));
    QCOMPARE(Control<QLabel>(form, "Picture1")->size(), QSize(299, 182));
    QVERIFY(Control<QLabel>(form, "Picture2"));
    QCOMPARE(session.button("Command2")->text(), QStringLiteral("Crea Cartella"));
    QCOMPARE(session.button("Command1")->text(), QStringLiteral("Avanti >>"));

    // One row under the list: Crea Cartella on the left, Avanti >> on the right.
    const QRect create = session.button("Command2")->geometry();
    const QRect next = session.button("Command1")->geometry();
    const QRect list = session.dir1()->geometry();
    QCOMPARE(create.top(), next.top());
    QVERIFY(create.right() < next.left());
    QVERIFY(create.top() > list.bottom());
    QCOMPARE(create.left(), list.left());
    QCOMPARE(next.right(), list.right());
    for (QWidget* child : form->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        QVERIFY2(form->rect().contains(child->geometry()), qPrintable(child->objectName()));

    // Dir1 first in the tab order, with the focus.
    QCOMPARE(QApplication::focusWidget(), session.dir1());
    const QList<QWidget*> order{session.dir1(), session.button("Command2"),
                                session.button("Command1")};
    QCOMPARE(TabStops(session.dir1()), order);
    QVERIFY(session.dialogs.messages.isEmpty());
}

void Form2Test::loadsTheRememberedFolder_data() {
    QTest::addColumn<QByteArray>("content"); // %1 stands for the folder
    QTest::addColumn<QString>("relative");
    QTest::newRow("as written") << QByteArray("\"%1\"\r\n") << "dest";
    QTest::newRow("commas and blanks") << QByteArray("\"%1\"\r\n") << "a, b  c ,d";
    QTest::newRow("accents") << QByteArray("\"%1\"\r\n") << "perché è così";
    QTest::newRow("leading blanks, more after")
        << QByteArray("  \"%1\",\"altro\"\r\nx\r\n") << "dest";
    QTest::newRow("no quotes") << QByteArray("%1\r\n") << "dest";
    QTest::newRow("no line end") << QByteArray("\"%1\"") << "dest";
    QTest::newRow("trailing separator") << QByteArray("\"%1/\"\r\n") << "dest";
}

void Form2Test::loadsTheRememberedFolder() {
    QFETCH(QByteArray, content);
    QFETCH(QString, relative);
    Session session;
    const QString folder = session.at(relative);
    QVERIFY(QDir().mkpath(folder));
    const QByteArray path = QByteArray::fromStdString(ToWindows1252(folder));
    session.folder.write(kPathFile, content.replace("%1", path));
    session.logIn();
    QVERIFY(session.onlyForm2Shown());
    QCOMPARE(session.form2()->currentFolder(), folder);
    QCOMPARE(FolderList::folderOf(session.dir1()->currentItem()), folder);
    QVERIFY(session.dialogs.messages.isEmpty());
}

void Form2Test::aLoadFailureEndsTheProgramWithNoWindow_data() {
    QTest::addColumn<QString>("remembered"); // "missing": no file at all
    QTest::addColumn<QString>("cause");
    QTest::newRow("no path file") << "missing"
                                  << "File non trovato";
    QTest::newRow("empty path file") << ""
                                     << "vuoto";
    QTest::newRow("blanks only") << "   "
                                 << "vuoto";
    QTest::newRow("deleted folder") << "\"%1/cancellata\"\r\n"
                                    << "Cartella non trovata";
    QTest::newRow("a file, not a folder") << "\"%1/file.txt\"\r\n"
                                          << "Cartella non trovata";
    QTest::newRow("relative folder") << "\"dest\"\r\n"
                                     << "Cartella non trovata";
    QTest::newRow("empty folder") << "\"\"\r\n"
                                  << "Cartella non trovata";
}

void Form2Test::aLoadFailureEndsTheProgramWithNoWindow() {
    QFETCH(QString, remembered);
    QFETCH(QString, cause);
    Session session;
    QVERIFY(QDir().mkpath(session.at(QStringLiteral("cancellata"))));
    if (remembered == QStringLiteral("missing"))
        QVERIFY(QFile::remove(session.folder.file(kPathFile)));
    else
        session.folder.write(kPathFile, QByteArray::fromStdString(ToWindows1252(
                                            remembered.replace("%1", session.base()))));
    QVERIFY(QDir(session.at(QStringLiteral("cancellata"))).removeRecursively());
    QFile(session.at(QStringLiteral("file.txt"))).open(QIODevice::WriteOnly);
    const QByteArray before = session.remembered();

    session.logIn();
    QCOMPARE(session.dialogs.messages.size(), 1);
    const ShownMessage shown = session.dialogs.messages[0];
    QCOMPARE(shown.title, QStringLiteral("Ombrix"));
    QVERIFY(shown.failure);
    QVERIFY2(shown.text.contains(cause), qPrintable(shown.text));
    QVERIFY2(shown.text.contains(session.folder.file(kPathFile)), qPrintable(shown.text));
    QCOMPARE(session.dialogs.endStatuses, QList<int>{1});
    QVERIFY(!session.program.form3()->isVisible());
    QVERIFY(!session.form2()->isVisible());
    QVERIFY(!session.program.form1());
    QCOMPARE(session.remembered(), before);
}

void Form2Test::avantiRecordsTheCurrentFolderExactly_data() {
    QTest::addColumn<QString>("relative"); // "/" stands for the root
    QTest::newRow("plain") << "dest/sub";
    QTest::newRow("commas and blanks") << "a, b  c ,d";
    QTest::newRow("accents") << "perché è così";
    QTest::newRow("root") << "/";
}

void Form2Test::avantiRecordsTheCurrentFolderExactly() {
    QFETCH(QString, relative);
    Session session;
    const QString folder = relative == QStringLiteral("/") ? relative : session.at(relative);
    QVERIFY(QDir().mkpath(folder));
    session.remember(folder);
    session.logIn();
    QCOMPARE(session.form2()->currentFolder(), folder);
    session.avanti();
    QCOMPARE(session.remembered(),
             "\"" + QByteArray::fromStdString(ToWindows1252(folder)) + "\"\r\n");
    if (relative.contains(QStringLiteral("é")))
        QVERIFY(session.remembered().contains('\xE9'));
    QVERIFY(session.onlyForm1Shown());
    QCOMPARE(session.program.form1()->text1()->text(), folder);

    // Read back unchanged by the next run of the program.
    Session next;
    next.folder.write(kPathFile, session.remembered());
    next.logIn();
    QCOMPARE(next.form2()->currentFolder(), folder);
    QVERIFY(session.dialogs.messages.isEmpty());
}

void Form2Test::avantiWritesOnEveryPress() {
    Session session;
    session.logIn();
    session.avanti();
    // Changed by other means meanwhile: the next press writes the current folder again.
    session.remember(session.at(QStringLiteral("dest/altra")));
    session.program.form1()->command1()->click();
    QVERIFY(session.onlyForm2Shown());
    session.avanti();
    QCOMPARE(session.remembered(), FieldFile(session.destination));
    QVERIFY(session.onlyForm1Shown());
}

void Form2Test::aFolderThePathFileCannotHoldIsRefused_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("outside Windows-1252") << "日本";
    QTest::newRow("a double quote") << "un \"nome\"";
}

void Form2Test::aFolderThePathFileCannotHoldIsRefused() {
    QFETCH(QString, name);
    Session session;
    QVERIFY(QDir(session.destination).mkdir(name));
    session.logIn();
    const QString folder = ChildFolder(session.destination, name);
    session.open(folder);
    QCOMPARE(session.form2()->currentFolder(), folder);
    const QByteArray before = session.remembered();
    session.avanti();
    QCOMPARE(session.dialogs.messages.size(), 1);
    const ShownMessage shown = session.dialogs.messages[0];
    QCOMPARE(shown.title, QStringLiteral("Ombrix"));
    QVERIFY(!shown.failure);
    QVERIFY2(shown.text.contains(folder), qPrintable(shown.text));
    QCOMPARE(session.remembered(), before);
    QVERIFY(session.onlyForm2Shown());
    QVERIFY(!session.program.form1());
    QVERIFY(!session.dialogs.ended());

    // Another folder is taken as usual.
    session.open(session.destination);
    session.avanti();
    QCOMPARE(session.remembered(), FieldFile(session.destination));
    QVERIFY(session.onlyForm1Shown());
}

void Form2Test::aPathFileThatCannotBeWrittenEndsTheProgram() {
    Session session;
    session.logIn();
    // A folder in the way of the file: it can be read no more, nor replaced.
    QVERIFY(QFile::remove(session.folder.file(kPathFile)));
    QVERIFY(QDir(session.folder.file(QStringLiteral("txt"))).mkpath(QStringLiteral("path.txt/x")));
    session.avanti();
    QCOMPARE(session.dialogs.messages.size(), 1);
    QVERIFY(session.dialogs.messages[0].failure);
    QVERIFY(session.dialogs.messages[0].text.contains(session.folder.file(kPathFile)));
    QCOMPARE(session.dialogs.endStatuses, QList<int>{1});
    QVERIFY(!session.program.form1());
}

void Form2Test::creaCartella_data() {
    QTest::addColumn<bool>("answered"); // false: Cancel
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("fails");
    QTest::newRow("cancel") << false << "" << false;
    QTest::newRow("empty") << true << "" << false;
    QTest::newRow("new name") << true << "Nuova" << false;
    QTest::newRow("blanks kept") << true << "  Nuova cartella " << false;
    QTest::newRow("existing subfolder") << true << "sub" << true;
    QTest::newRow("existing file") << true << "nota.txt" << true;
    QTest::newRow("separator") << true << "a/b" << true;
    QTest::newRow("dot dot") << true << ".." << true;
}

void Form2Test::creaCartella() {
    QFETCH(bool, answered);
    QFETCH(QString, answer);
    QFETCH(bool, fails);
    Session session;
    QFile(ChildFolder(session.destination, QStringLiteral("nota.txt"))).open(QIODevice::WriteOnly);
    session.logIn();
    QVERIFY(QTest::qWaitForWindowExposed(session.form2()));
    // Highlighted, not opened: the new folder must not go there.
    const QString altra = ChildFolder(session.destination, QStringLiteral("altra"));
    session.highlight(altra);
    QCOMPARE(FolderList::folderOf(session.dir1()->currentItem()), altra);
    const QStringList before = QDir(session.destination).entryList(QDir::AllEntries);
    if (answered)
        session.dialogs.setNextAnswer(answer);
    session.creaCartella();

    QCOMPARE(session.dialogs.prompts,
             QStringList{QStringLiteral("Crea Nuova Cartella: Nome della Cartella")});
    QCOMPARE(session.dialogs.messages[0].text, kWarning);
    QCOMPARE(session.dialogs.messages[0].title, QStringLiteral("Ombrix"));
    QVERIFY(!session.dialogs.messages[0].failure);
    QVERIFY(QDir(altra).isEmpty());
    const QString created = ChildFolder(session.destination, answer);
    if (fails) {
        QCOMPARE(session.dialogs.messages.size(), 2);
        QVERIFY(session.dialogs.messages[1].failure);
        QVERIFY2(session.dialogs.messages[1].text.contains(created),
                 qPrintable(session.dialogs.messages[1].text));
        QCOMPARE(session.dialogs.endStatuses, QList<int>{1});
        return;
    }
    QCOMPARE(session.dialogs.messages.size(), 1);
    QVERIFY(!session.dialogs.ended());
    QCOMPARE(session.form2()->currentFolder(), session.destination);
    QStringList expected = before;
    if (!answer.isEmpty()) {
        QVERIFY(QFileInfo(created).isDir());
        QVERIFY(session.entry(created));
        expected.append(answer);
        expected.sort();
    }
    QStringList after = QDir(session.destination).entryList(QDir::AllEntries);
    after.sort();
    QCOMPARE(after, expected);
    // "Avanti >>" at once records the folder that was current, not the new one.
    session.avanti();
    QCOMPARE(session.remembered(), FieldFile(session.destination));
}

void Form2Test::creaCartellaInTheRoot() {
    // The root is not writable for most; where it is, nothing is made there.
    Session session;
    session.remember(QStringLiteral("/"));
    session.logIn();
    QCOMPARE(session.form2()->currentFolder(), QStringLiteral("/"));
    session.dialogs.setNextAnswer(QStringLiteral("bin"));
    session.creaCartella();
    QCOMPARE(session.dialogs.messages.size(), 2);
    QVERIFY(session.dialogs.messages[1].text.contains(QStringLiteral("/bin")));
    QVERIFY(!session.dialogs.messages[1].text.contains(QStringLiteral("//bin")));
    QCOMPARE(session.dialogs.endStatuses, QList<int>{1});
}

void Form2Test::theRoundTripThroughTheBackupWindow() {
    Session session;
    session.logIn();
    session.avanti();
    QVERIFY(session.onlyForm1Shown());
    Form1* form1 = session.program.form1();
    QCOMPARE(form1->text1()->text(), session.destination);
    form1->stato()->setText(QStringLiteral("1"));
    form1->prependLine(QStringLiteral("a.jpg"));

    // Changed by other means: the window shows the folder last opened all the same.
    session.remember(session.at(QStringLiteral("dest/altra")));
    form1->command1()->click();
    QVERIFY(session.onlyForm2Shown());
    QCOMPARE(session.form2()->currentFolder(), session.destination);
    QVERIFY(QTest::qWaitForWindowExposed(session.form2()));
    const QString sub = ChildFolder(session.destination, QStringLiteral("sub"));
    session.open(sub);
    QCOMPARE(session.form2()->currentFolder(), sub);
    session.avanti();

    QVERIFY(session.onlyForm1Shown());
    QCOMPARE(session.program.form1(), form1);
    QCOMPARE(session.remembered(), FieldFile(sub));
    QCOMPARE(form1->text1()->text(), sub);
    QCOMPARE(form1->stato()->text(), QStringLiteral("1"));
    QCOMPARE(form1->text(), QStringLiteral("a.jpg\r\n"));
    QVERIFY(session.dialogs.messages.isEmpty());
    QVERIFY(!session.dialogs.ended());
}

void Form2Test::closingAWindowEndsTheProgram_data() {
    QTest::addColumn<bool>("inForm1");
    QTest::newRow("Form2") << false;
    QTest::newRow("Form1") << true;
}

void Form2Test::closingAWindowEndsTheProgram() {
    QFETCH(bool, inForm1);
    Session session;
    session.logIn();
    if (inForm1) {
        session.avanti();
        session.program.form1()->close();
    } else {
        session.form2()->close();
    }
    QCOMPARE(session.dialogs.endStatuses, QList<int>{0});
    QVERIFY(session.dialogs.messages.isEmpty());
}

QTEST_MAIN(Form2Test)
#include "form2_test.moc"
