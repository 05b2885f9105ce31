#include "admin/tests/password_mask.h"
#include "testsupport/tab_order.h"
#include "testsupport/tavelo_fixture.h"

using namespace tavelo;
using namespace shared;

namespace {

const QString kEmpty = QStringLiteral("Uno dei campi è vuoto");
const QString kWrong = QStringLiteral("Nome Utente e Password Errati");
const QString kChanged = QStringLiteral("Nome Utente e Password Modificati");
const QString kUser = QStringLiteral("Mario");
const QString kPassword = QStringLiteral("Perché");

// What "Genera" leaves in the credential file.
enum class FileAfter { Unchanged, Replaced };

// Tavelo started with the given credential file (null: none), Form1 opened from Index.
struct InForm1 : Tavelo {
    explicit InForm1(const QByteArray& before) {
        if (!before.isNull())
            folder.write(kCredentialFile, before);
        start();
        program.index()->offerChange(); // reachable also without a file, as after a return
        openForm1();
        dialogs.watched = label5();
    }
    Form1* window() const { return program.form1(); }
    QLabel* label5() const { return label(window(), "Label5"); }
    void genera() { click(window(), "Command2"); }
};

} // namespace

Q_DECLARE_METATYPE(FileAfter)

class Form1Test : public QObject {
    Q_OBJECT
  private slots:
    void showsTheDesignedWindow();
    void followsTheOutcomeTable_data();
    void followsTheOutcomeTable();
    void aFileFailureEndsTheProgram_data();
    void aFileFailureEndsTheProgram();
};

void Form1Test::showsTheDesignedWindow() {
    InForm1 tavelo(Record(kUser, kPassword));
    Form1* form = tavelo.window();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    QCOMPARE(form->objectName(), QStringLiteral("Form1"));
    QCOMPARE(form->windowTitle(), QStringLiteral("Form1"));
    QCOMPARE(form->size(), QSize(549, 280));
    QVERIFY(!Tavelo::label(form, "Picture1")->pixmap().isNull());
    QVERIFY(!Tavelo::label(form, "Picture2")->pixmap().isNull());

    const QList<std::pair<const char*, QString>> rows{
        {"usrv", QStringLiteral("Nome Utente Vecchio:")},
        {"pwdv", QStringLiteral("Password Vecchia:")},
        {"usrn", QStringLiteral("Nome Utente Nuovo:")},
        {"pwdn", QStringLiteral("Password Nuova:")}};
    QList<QWidget*> order;
    int previousBottom = -1;
    for (int i = 0; i < rows.size(); ++i) {
        QLineEdit* box = Tavelo::box(form, rows[i].first);
        QLabel* label = Tavelo::label(form, qPrintable(QStringLiteral("Label%1").arg(i + 1)));
        QCOMPARE(label->text(), rows[i].second);
        QCOMPARE(box->text(), QString());
        // Label on the left of its box, rows top to bottom.
        QVERIFY(label->geometry().right() < box->x());
        QVERIFY(label->y() > previousBottom && box->y() > previousBottom);
        QVERIFY(form->rect().contains(box->geometry()));
        QVERIFY2(label->width() >= label->sizeHint().width(), qPrintable(label->text()));
        previousBottom = std::max(label->geometry().bottom(), box->geometry().bottom());
        order.append(box);
    }
    QCOMPARE(Tavelo::box(form, "usrv")->echoMode(), QLineEdit::Normal);
    QCOMPARE(Tavelo::box(form, "usrn")->echoMode(), QLineEdit::Normal);
    QVERIFY(MasksWithStars(Tavelo::box(form, "pwdv")));
    QVERIFY(MasksWithStars(Tavelo::box(form, "pwdn")));

    QPushButton* genera = Tavelo::button(form, "Command2");
    QPushButton* back = Tavelo::button(form, "Command1");
    QCOMPARE(genera->text(), QStringLiteral("Genera"));
    QCOMPARE(back->text(), QStringLiteral("<< Indietro"));
    QCOMPARE(tavelo.label5()->text(), QString());
    QVERIFY(previousBottom < genera->y());
    QVERIFY(genera->geometry().bottom() < tavelo.label5()->y());
    QVERIFY(tavelo.label5()->geometry().bottom() < back->y());
    QVERIFY(form->rect().contains(back->geometry()));

    order << genera << back;
    QCOMPARE(TabStops(order.first()), order);
}

void Form1Test::followsTheOutcomeTable_data() {
    QTest::addColumn<QByteArray>("before"); // null: no credential file
    QTest::addColumn<QStringList>("typed"); // usrv, pwdv, usrn, pwdn
    QTest::addColumn<int>("presses");
    QTest::addColumn<QStringList>("boxes"); // every message box, in order
    QTest::addColumn<QString>("result");    // Label5 at the end
    QTest::addColumn<FileAfter>("file");

    const QByteArray account = Record(kUser, kPassword);
    const QByteArray damaged("\"rotto\"\r\n");
    const QString u = kUser, p = kPassword, nu = QStringLiteral("Luigi"),
                  np = QStringLiteral("Però");
    const auto row = [](const char* name) -> QTestData& { return QTest::newRow(name); };
    const FileAfter same = FileAfter::Unchanged, replaced = FileAfter::Replaced;

    // A form with an empty field never reaches the file: not even a missing or damaged one.
    row("usrv empty, no file") << QByteArray() << QStringList{"", p, nu, np} << 1
                               << QStringList{kEmpty} << kEmpty << same;
    row("pwdv empty, damaged file")
        << damaged << QStringList{u, "", nu, np} << 1 << QStringList{kEmpty} << kEmpty << same;
    row("usrn empty") << account << QStringList{u, p, "", np} << 1 << QStringList{kEmpty} << kEmpty
                      << same;
    row("pwdn empty") << account << QStringList{u, p, nu, ""} << 1 << QStringList{kEmpty} << kEmpty
                      << same;
    row("all empty") << account << QStringList{"", "", "", ""} << 1 << QStringList{kEmpty} << kEmpty
                     << same;

    row("match") << account << QStringList{u, p, nu, np} << 1 << QStringList{} << kChanged
                 << replaced;
    row("new equal to current") << account << QStringList{u, p, u, p} << 1 << QStringList{}
                                << kChanged << replaced;
    row("blanks-only new fields") << account << QStringList{u, p, " ", "   "} << 1 << QStringList{}
                                  << kChanged << replaced;
    row("bytes after the record ignored")
        << account + "seconda riga\r\n"
        << QStringList{u, p, nu, np} << 1 << QStringList{} << kChanged << replaced;

    row("user in other letter case")
        << account << QStringList{"mario", p, nu, np} << 1 << QStringList{kWrong} << kWrong << same;
    row("user with a trailing blank") << account << QStringList{"Mario ", p, nu, np} << 1
                                      << QStringList{kWrong} << kWrong << same;
    row("blanks-only user is checked, not empty")
        << account << QStringList{" ", p, nu, np} << 1 << QStringList{kWrong} << kWrong << same;
    row("wrong password") << account << QStringList{u, "Perche", nu, np} << 1 << QStringList{kWrong}
                          << kWrong << same;
    row("both wrong") << account << QStringList{"x", "y", nu, np} << 1 << QStringList{kWrong}
                      << kWrong << same;

    // The first press replaces the account, so the second one checks against the new one.
    row("second Genera after a change")
        << account << QStringList{u, p, nu, np} << 2 << QStringList{kWrong} << kWrong << replaced;
    row("second Genera, new equal to current")
        << account << QStringList{u, p, u, p} << 2 << QStringList{} << kChanged << replaced;
}

void Form1Test::followsTheOutcomeTable() {
    QFETCH(QByteArray, before);
    QFETCH(QStringList, typed);
    QFETCH(int, presses);
    QFETCH(QStringList, boxes);
    QFETCH(QString, result);
    QFETCH(FileAfter, file);
    InForm1 tavelo(before);
    tavelo.fillForm1(typed[0], typed[1], typed[2], typed[3]);
    QStringList labelBeforeLastPress;
    for (int i = 0; i < presses; ++i) {
        labelBeforeLastPress = {tavelo.label5()->text()};
        tavelo.genera();
    }

    QCOMPARE(tavelo.dialogs.texts(), boxes);
    for (const ShownMessage& shown : tavelo.dialogs.messages) {
        QCOMPARE(shown.title, QStringLiteral("Tavelo"));
        QVERIFY(!shown.failure);
    }
    // Label5 takes the message only once its box has been closed.
    if (!boxes.isEmpty())
        QCOMPARE(tavelo.dialogs.watchedDuringBox, labelBeforeLastPress);
    QCOMPARE(tavelo.label5()->text(), result);

    if (file == FileAfter::Replaced)
        QCOMPARE(tavelo.credentialBytes(), Record(typed[2], typed[3]));
    else if (before.isNull())
        QVERIFY(!tavelo.credentialFileExists());
    else
        QCOMPARE(tavelo.credentialBytes(), before);

    // Nothing else changes: texts kept, "Genera" still enabled, the program running.
    const char* names[] = {"usrv", "pwdv", "usrn", "pwdn"};
    for (int i = 0; i < 4; ++i)
        QCOMPARE(Tavelo::box(tavelo.window(), names[i])->text(), typed[i]);
    QVERIFY(Tavelo::button(tavelo.window(), "Command2")->isEnabled());
    QVERIFY(!tavelo.dialogs.ended());
    QCOMPARE(tavelo.visibleWindows(), QList<QWidget*>{tavelo.window()});
}

void Form1Test::aFileFailureEndsTheProgram_data() {
    QTest::addColumn<QByteArray>("before"); // null: no credential file
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<QString>("cause");
    const QByteArray account = Record(kUser, kPassword);
    QTest::newRow("missing") << QByteArray() << false << QStringLiteral("non trovato");
    QTest::newRow("empty") << QByteArray("") << false << QStringLiteral("danneggiato");
    QTest::newRow("no separator") << account.left(17) + "------" + account.mid(23) << false
                                  << QStringLiteral("danneggiato");
    QTest::newRow("no opening quote")
        << "x" + account.mid(1) << false << QStringLiteral("danneggiato");
    QTest::newRow("too short") << account.left(38) << false << QStringLiteral("danneggiato");
    QTest::newRow("read-only at the write") << account << true << QStringLiteral("sola lettura");
}

void Form1Test::aFileFailureEndsTheProgram() {
    QFETCH(QByteArray, before);
    QFETCH(bool, readOnly);
    QFETCH(QString, cause);
    InForm1 tavelo(before);
    if (readOnly)
        tavelo.makeCredentialFileReadOnly();
    tavelo.fillForm1(kUser, kPassword, QStringLiteral("nuovo"), QStringLiteral("nuova"));
    tavelo.genera();

    QCOMPARE(tavelo.dialogs.failureMismatch(QStringLiteral("Tavelo"),
                                            {tavelo.folder.file(kCredentialFile), cause}),
             QString());
    QCOMPARE(tavelo.label5()->text(), QString());
    QCOMPARE(tavelo.credentialFileExists(), !before.isNull());
    QCOMPARE(tavelo.credentialBytes(), before);
}

QTEST_MAIN(Form1Test)
#include "form1_test.moc"
