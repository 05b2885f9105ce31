#include "admin/tests/password_mask.h"
#include "testsupport/tab_order.h"
#include "testsupport/tavelo_fixture.h"

#include <QDir>

using namespace tavelo;
using namespace shared;

namespace {

const QString kDone = QStringLiteral("Utente Generato Correttamente");

// Tavelo started on a fresh installation, with Genera opened from Index.
struct InGenera : Tavelo {
    InGenera() {
        start();
        openGenera();
    }
    Genera* window() const { return program.genera(); }
    QLabel* res() const { return label(window(), "res"); }
    QPushButton* generaButton() const { return button(window(), "Command1"); }
};

} // namespace

class GeneraTest : public QObject {
    Q_OBJECT
  private slots:
    void showsTheDesignedWindow();
    void writesTheAccountAsTyped_data();
    void writesTheAccountAsTyped();
    void aFailedWriteEndsTheProgramAndKeepsTheOldRecord_data();
    void aFailedWriteEndsTheProgramAndKeepsTheOldRecord();
};

void GeneraTest::showsTheDesignedWindow() {
    InGenera tavelo;
    Genera* genera = tavelo.window();
    QVERIFY(QTest::qWaitForWindowExposed(genera));
    QCOMPARE(genera->windowTitle(), QStringLiteral("Genera Utente"));
    QCOMPARE(genera->size(), QSize(549, 280));
    QCOMPARE(Tavelo::label(genera, "Label1")->text(), QStringLiteral("Nome Utente:"));
    QCOMPARE(Tavelo::label(genera, "Label2")->text(), QStringLiteral("Password:"));
    QCOMPARE(tavelo.res()->text(), QString());
    QCOMPARE(tavelo.generaButton()->text(), QStringLiteral("Genera"));
    QCOMPARE(Tavelo::button(genera, "Command2")->text(), QStringLiteral("<< Indietro"));
    QVERIFY(!Tavelo::label(genera, "Picture1")->pixmap().isNull());
    QVERIFY(!Tavelo::label(genera, "Picture2")->pixmap().isNull());

    QLineEdit* usr = Tavelo::box(genera, "usr");
    QLineEdit* pwd = Tavelo::box(genera, "pwd");
    QCOMPARE(usr->echoMode(), QLineEdit::Normal);
    QVERIFY(MasksWithStars(pwd));
    QCOMPARE(usr->text(), QString());
    QCOMPARE(pwd->text(), QString());

    // Top to bottom in the right-hand column, every control inside the window.
    const QList<QWidget*> column{Tavelo::label(genera, "Label1"),
                                 usr,
                                 Tavelo::label(genera, "Label2"),
                                 pwd,
                                 tavelo.res(),
                                 tavelo.generaButton(),
                                 Tavelo::button(genera, "Command2")};
    for (int i = 1; i < column.size(); ++i)
        QVERIFY2(column[i - 1]->geometry().bottom() < column[i]->y(),
                 qPrintable(column[i]->objectName()));
    for (QWidget* w : column) {
        QVERIFY(w->x() > Tavelo::label(genera, "Picture1")->geometry().right());
        QVERIFY(genera->rect().contains(w->geometry()));
    }

    QCOMPARE(TabStops(usr), (QList<QWidget*>{usr, pwd, tavelo.generaButton(),
                                             Tavelo::button(genera, "Command2")}));
}

void GeneraTest::writesTheAccountAsTyped_data() {
    QTest::addColumn<QByteArray>("before"); // null: no credential file
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::newRow("a new account")
        << QByteArray() << QStringLiteral("Mario") << QStringLiteral("Perché");
    QTest::newRow("both empty") << QByteArray() << QString() << QString();
    QTest::newRow("blanks kept") << QByteArray() << QStringLiteral(" Mario ")
                                 << QStringLiteral("  ");
    QTest::newRow("replaces an account without asking")
        << Record(QStringLiteral("vecchio"), QStringLiteral("vecchia")) << QStringLiteral("nuovo")
        << QStringLiteral("nuova");
    QTest::newRow("replaces a damaged file")
        << QByteArray("rotto\r\naltro\r\n") << QStringLiteral("u") << QStringLiteral("p");
}

void GeneraTest::writesTheAccountAsTyped() {
    QFETCH(QByteArray, before);
    QFETCH(QString, user);
    QFETCH(QString, password);
    InGenera tavelo;
    if (!before.isNull())
        tavelo.folder.write(kCredentialFile, before);
    tavelo.generate(user, password);

    QCOMPARE(tavelo.credentialBytes(), Record(user, password));
    QCOMPARE(tavelo.credentialBytes().size(), 42);
    QCOMPARE(tavelo.res()->text(), kDone);
    QVERIFY(!tavelo.generaButton()->isEnabled());
    QVERIFY(tavelo.dialogs.messages.isEmpty());
    QVERIFY(!tavelo.dialogs.ended());
    QCOMPARE(tavelo.visibleWindows(), QList<QWidget*>{tavelo.window()});

    // Changing the texts does not bring the button back, nor touch the file.
    Tavelo::box(tavelo.window(), "usr")->setText(QStringLiteral("altro"));
    QVERIFY(!tavelo.generaButton()->isEnabled());
    QCOMPARE(tavelo.credentialBytes(), Record(user, password));
}

void GeneraTest::aFailedWriteEndsTheProgramAndKeepsTheOldRecord_data() {
    QTest::addColumn<bool>("withoutTxt");
    QTest::addColumn<QString>("cause");
    QTest::newRow("txt missing") << true
                                 << QStringLiteral("la cartella che lo contiene non esiste");
    QTest::newRow("read-only file") << false << QStringLiteral("sola lettura");
}

void GeneraTest::aFailedWriteEndsTheProgramAndKeepsTheOldRecord() {
    QFETCH(bool, withoutTxt);
    QFETCH(QString, cause);
    InGenera tavelo;
    const QByteArray old = Record(QStringLiteral("vecchio"), QStringLiteral("vecchia"));
    if (withoutTxt) {
        QVERIFY(QDir(tavelo.folder.file(QStringLiteral("txt"))).removeRecursively());
    } else {
        tavelo.folder.write(kCredentialFile, old);
        tavelo.makeCredentialFileReadOnly();
    }
    tavelo.generate(QStringLiteral("nuovo"), QStringLiteral("nuova"));

    QCOMPARE(tavelo.dialogs.failureMismatch(QStringLiteral("Tavelo"),
                                            {tavelo.folder.file(kCredentialFile), cause}),
             QString());
    QCOMPARE(tavelo.res()->text(), QString());
    QVERIFY(tavelo.generaButton()->isEnabled());
    if (withoutTxt)
        QVERIFY(!QDir(tavelo.folder.file(QStringLiteral("txt"))).exists());
    else
        QCOMPARE(tavelo.credentialBytes(), old);
}

QTEST_MAIN(GeneraTest)
#include "genera_test.moc"
