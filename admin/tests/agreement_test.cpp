// The two programs agree: an account made with Tavelo's Genera is what Ombrix's login
// accepts, and nothing else.
#include "testsupport/ombrix_fixture.h"
#include "testsupport/tavelo_fixture.h"

#include <QSignalSpy>

using namespace ombrix;
using namespace tavelo;
using namespace shared;

class AgreementTest : public QObject {
    Q_OBJECT
  private slots:
    void ombrixAcceptsExactlyTheAccountMadeByGenera_data();
    void ombrixAcceptsExactlyTheAccountMadeByGenera();
};

void AgreementTest::ombrixAcceptsExactlyTheAccountMadeByGenera_data() {
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("loginUser");
    QTest::addColumn<QString>("loginPassword");
    QTest::addColumn<bool>("accepted");
    const QString u = QStringLiteral("Mario Rossi"), p = QStringLiteral("Perché€");
    QTest::newRow("the same") << u << p << u << p << true;
    QTest::newRow("empty account") << QString() << QString() << QString() << QString() << true;
    QTest::newRow("user in other letter case")
        << u << p << QStringLiteral("mario rossi") << p << false;
    QTest::newRow("user with a trailing blank")
        << u << p << QStringLiteral("Mario Rossi ") << p << false;
    QTest::newRow("e for è") << u << p << u << QStringLiteral("Perche€") << false;
    QTest::newRow("password in other letter case")
        << u << p << u << QStringLiteral("PERCHÉ€") << false;
    QTest::newRow("user and password swapped") << u << p << p << u << false;
}

void AgreementTest::ombrixAcceptsExactlyTheAccountMadeByGenera() {
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(QString, loginUser);
    QFETCH(QString, loginPassword);
    QFETCH(bool, accepted);
    Tavelo tavelo;
    tavelo.start();
    tavelo.openGenera();
    tavelo.generate(user, password);
    QVERIFY(tavelo.dialogs.messages.isEmpty());

    // What comes after the login is Ombrix's own business; only the login counts here.
    tavelo.folder.write(QStringLiteral("txt/path.txt"),
                        FieldFile(tavelo.folder.file(QStringLiteral("dat"))));
    OmbrixProgram ombrix(tavelo.folder.path());
    ombrix.start();
    QSignalSpy loggedIn(ombrix.form3(), &Form3::loggedIn);
    LogIn(ombrix.form3(), loginUser, loginPassword);

    QCOMPARE(loggedIn.count(), accepted ? 1 : 0);
    QCOMPARE(ombrix.form3()->isVisible(), !accepted);
    QCOMPARE(tavelo.dialogs.texts().contains(QStringLiteral("Nome Utente e Password Errati")),
             !accepted);
    if (!accepted)
        QVERIFY(!tavelo.dialogs.ended());
}

QTEST_MAIN(AgreementTest)
#include "agreement_test.moc"
