#include "backup/core/text_field.h"
#include "backup/ombrix_program.h"
#include "backup/windows/form2.h"
#include "backup/windows/form3.h"
#include "credentials/credential_file.h"
#include "desktop/text_codec.h"
#include "testsupport/control.h"
#include "testsupport/ombrix_fixture.h"
#include "testsupport/scripted_dialogs.h"
#include "testsupport/tab_order.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>

using namespace ombrix;
using namespace shared;

namespace {

const QString kWrong = QStringLiteral("Nome Utente e Password Errati");

struct Login : Ombrix {
    Login() {
        // A working installation names an existing destination folder.
        remember(folder.file(QStringLiteral("dat")));
        program.start();
    }
    QLineEdit* field(const char* name) const { return Control<QLineEdit>(program.form3(), name); }
    QPushButton* entra() const { return Control<QPushButton>(program.form3(), "Command1"); }
    void attempt(const QString& user, const QString& password) {
        LogIn(program.form3(), user, password);
    }
    bool inForm2() const {
        return !program.form3()->isVisible() && program.form2() && program.form2()->isVisible();
    }
};

} // namespace

class Form3Test : public QObject {
    Q_OBJECT
  private slots:
    void showsTheDesignedWindow();
    void refusesAnythingButTheExactCredentials_data();
    void refusesAnythingButTheExactCredentials();
    void acceptsAfterFailuresAndFollowsAReplacedAccount();
    void enterInAFieldDoesNotLogIn();
    void aMissingOrDamagedFileEndsTheProgram_data();
    void aMissingOrDamagedFileEndsTheProgram();
    void closingTheWindowEndsTheProgram();
};

void Form3Test::showsTheDesignedWindow() {
    Login login;
    Form3* form = login.program.form3();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    QCOMPARE(form->windowTitle(), QStringLiteral("Form3"));
    QCOMPARE(form->size(), QSize(615, 288));
    auto* heading = Control<QLabel>(form, "Label3");
    QCOMPARE(heading->text(), QStringLiteral("AUTENTIFICAZIONE"));
    QVERIFY(heading->font().bold());
    QCOMPARE(heading->font().pointSizeF(), 14.25);
    QCOMPARE(heading->palette().color(QPalette::WindowText), QColor(0, 0, 128));
    const auto labels = form->findChildren<QLabel*>(QStringLiteral("Label1"));
    QCOMPARE(labels.size(), 2);
    QCOMPARE(labels[0]->text(), QStringLiteral("Nome Utente"));
    QCOMPARE(labels[1]->text(), QStringLiteral("Password"));
    QCOMPARE(Control<QLabel>(form, "Label2")->text(),
             QStringLiteral("Software di Backup per il software Q.U.O.R. realizzato da:"));
    QCOMPARE(Control<QLabel>(form, "Picture1")->size(), QSize(299, 182));
    QVERIFY(Control<QLabel>(form, "Picture2"));
    QCOMPARE(login.entra()->text(), QStringLiteral("Entra"));
    QCOMPARE(login.field("Password")->echoMode(), QLineEdit::Password);
    QCOMPARE(
        login.field("Password")
            ->style()
            ->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, login.field("Password")),
        int('*'));
    QCOMPARE(login.field("Nomeutente")->width(), login.entra()->width());
    QCOMPARE(login.field("Password")->width(), login.entra()->width());

    // Tab order: Nomeutente (focus at start), Password, Entra.
    QCOMPARE(QApplication::focusWidget(), login.field("Nomeutente"));
    const QList<QWidget*> order{login.field("Nomeutente"), login.field("Password"), login.entra()};
    QCOMPARE(TabStops(login.field("Nomeutente")), order);
}

void Form3Test::refusesAnythingButTheExactCredentials_data() {
    QTest::addColumn<QString>("storedUser");
    QTest::addColumn<QString>("storedPassword");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("accepted");
    const QString u = QStringLiteral("Mario"), p = QStringLiteral("Perché");
    QTest::newRow("exact") << u << p << u << p << true;
    QTest::newRow("wrong password") << u << p << u << QStringLiteral("Perche") << false;
    QTest::newRow("wrong user") << u << p << QStringLiteral("Luigi") << p << false;
    QTest::newRow("both wrong") << u << p << QStringLiteral("x") << QStringLiteral("y") << false;
    QTest::newRow("letter case") << u << p << QStringLiteral("mario") << p << false;
    QTest::newRow("leading blank") << u << p << QStringLiteral(" Mario") << p << false;
    QTest::newRow("trailing blank") << u << p << QStringLiteral("Mario ") << p << false;
    QTest::newRow("empty fields") << u << p << QString() << QString() << false;
    QTest::newRow("empty account, empty fields")
        << QString() << QString() << QString() << QString() << true;
    QTest::newRow("empty account, a blank")
        << QString() << QString() << QStringLiteral(" ") << QString() << false;
}

void Form3Test::refusesAnythingButTheExactCredentials() {
    QFETCH(QString, storedUser);
    QFETCH(QString, storedPassword);
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(bool, accepted);
    Login login;
    login.account(storedUser, storedPassword);
    login.attempt(user, password);
    QCOMPARE(login.inForm2(), accepted);
    QCOMPARE(login.dialogs.texts(), accepted ? QStringList() : QStringList{kWrong});
    if (!accepted) {
        QCOMPARE(login.dialogs.messages[0].title, QStringLiteral("Ombrix"));
        QCOMPARE(login.field("Nomeutente")->text(), user);
        QCOMPARE(login.field("Password")->text(), password);
        QVERIFY(login.program.form3()->isVisible());
    }
    QVERIFY(!login.dialogs.ended());
}

void Form3Test::acceptsAfterFailuresAndFollowsAReplacedAccount() {
    Login login;
    login.account(QStringLiteral("vecchio"), QStringLiteral("vecchia"));
    for (int i = 0; i < 5; ++i)
        login.attempt(QStringLiteral("vecchio"), QStringLiteral("sbagliata"));
    QCOMPARE(login.dialogs.messages.size(), 5);
    // Replaced while the window stays open: the next press reads the new account.
    login.account(QStringLiteral("nuovo"), QStringLiteral("nuova"));
    login.attempt(QStringLiteral("vecchio"), QStringLiteral("vecchia"));
    QCOMPARE(login.dialogs.messages.size(), 6);
    QVERIFY(!login.inForm2());
    login.attempt(QStringLiteral("nuovo"), QStringLiteral("nuova"));
    QVERIFY(login.inForm2());
    QCOMPARE(login.program.form2()->windowTitle(), QStringLiteral("Form2"));
    QCOMPARE(login.dialogs.messages.size(), 6);
}

void Form3Test::enterInAFieldDoesNotLogIn() {
    Login login;
    login.account(QStringLiteral("a"), QStringLiteral("b"));
    login.field("Nomeutente")->setText(QStringLiteral("a"));
    login.field("Password")->setText(QStringLiteral("b"));
    QTest::keyClick(login.field("Password"), Qt::Key_Return);
    QTest::keyClick(login.field("Password"), Qt::Key_Enter);
    QTest::keyClick(login.field("Nomeutente"), Qt::Key_Return);
    QVERIFY(login.program.form3()->isVisible());
    QVERIFY(!login.program.form2());
    QVERIFY(login.dialogs.messages.isEmpty());
}

void Form3Test::aMissingOrDamagedFileEndsTheProgram_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("present");
    QTest::addColumn<QString>("cause");
    QTest::newRow("missing") << QByteArray() << false << QStringLiteral("non trovato");
    QTest::newRow("empty") << QByteArray() << true << QStringLiteral("danneggiato");
    QTest::newRow("damaged") << QByteArray("\"abc######def\"\r\n") << true
                             << QStringLiteral("danneggiato");
}

void Form3Test::aMissingOrDamagedFileEndsTheProgram() {
    QFETCH(QByteArray, content);
    QFETCH(bool, present);
    QFETCH(QString, cause);
    Login login;
    if (present)
        login.folder.write(QStringLiteral("txt/backup.txt"), content);
    login.attempt(QStringLiteral("a"), QStringLiteral("b"));
    QCOMPARE(
        login.dialogs.failureMismatch(QStringLiteral("Ombrix"),
                                      {login.folder.file(QStringLiteral("txt/backup.txt")), cause}),
        QString());
    QVERIFY(!login.dialogs.texts().join(QString()).contains(kWrong));
    QVERIFY(!login.program.form2());
    QCOMPARE(login.folder.exists(QStringLiteral("txt/backup.txt")), present);
}

void Form3Test::closingTheWindowEndsTheProgram() {
    Login login;
    login.account(QStringLiteral("a"), QStringLiteral("b"));
    login.attempt(QStringLiteral("a"), QStringLiteral("x"));
    login.program.form3()->close();
    QCOMPARE(login.dialogs.endStatuses, QList<int>{0});
}

QTEST_MAIN(Form3Test)
#include "form3_test.moc"
