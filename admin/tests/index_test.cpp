#include "testsupport/control.h"
#include "testsupport/tab_order.h"
#include "testsupport/tavelo_fixture.h"

using namespace tavelo;
using namespace shared;

namespace {

// Notes the state of "Genera Utente" each time Index is shown.
struct ShowWatch : QObject {
    explicit ShowWatch(Index* index) : index_(index) { index->installEventFilter(this); }
    ~ShowWatch() override { index_->removeEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show)
            createEnabledAtShow.append(Tavelo::button(index_, "Command1")->isEnabled());
        return false;
    }
    QList<bool> createEnabledAtShow;

  private:
    Index* index_;
};

} // namespace

class IndexTest : public QObject {
    Q_OBJECT
  private slots:
    void showsTheDesignedWindow();
    void offersAtLoadByTheFilesPresence_data();
    void offersAtLoadByTheFilesPresence();
    void theOfferIsNotRetestedWhileRunning();
    void opensEachWindowAndReturnsToTheChangeOffer_data();
    void opensEachWindowAndReturnsToTheChangeOffer();
    void returningWithoutAnAccountLeadsToAFileFailure();
    void closingTheVisibleWindowEndsTheProgram_data();
    void closingTheVisibleWindowEndsTheProgram();
};

void IndexTest::showsTheDesignedWindow() {
    Tavelo tavelo;
    tavelo.start();
    Index* index = tavelo.program.index();
    QVERIFY(QTest::qWaitForWindowExposed(index));
    QCOMPARE(index->objectName(), QStringLiteral("Index"));
    QCOMPARE(index->windowTitle(), QStringLiteral("Gestione Utenti"));
    QCOMPARE(index->size(), QSize(549, 279));
    QCOMPARE(index->palette().color(QPalette::Window), QColor(Qt::white));

    QPushButton* create = Tavelo::button(index, "Command1");
    QPushButton* change = Tavelo::button(index, "Command2");
    QCOMPARE(create->text(), QStringLiteral("Genera Utente"));
    QCOMPARE(change->text(), QStringLiteral("Cambia Nome Utente e Password"));
    // Large, equal, one above the other on the right of the pictures.
    QCOMPARE(create->size(), change->size());
    QCOMPARE(create->x(), change->x());
    QVERIFY(create->geometry().bottom() < change->y());
    QVERIFY(create->height() >= 80);

    QLabel* picture1 = Tavelo::label(index, "Picture1");
    QLabel* picture2 = Tavelo::label(index, "Picture2");
    QVERIFY(!picture1->pixmap().isNull());
    QVERIFY(!picture2->pixmap().isNull());
    QVERIFY(picture1->geometry().bottom() < picture2->y());
    QVERIFY(picture1->geometry().right() < create->x());
    QVERIFY(index->rect().contains(picture2->geometry()));
    QVERIFY(index->rect().contains(change->geometry()));

    // With no account yet only "Genera Utente" takes the focus; then the other one.
    QCOMPARE(TabStops(create), QList<QWidget*>{create});
    create->setEnabled(true);
    change->setEnabled(true);
    QCOMPARE(TabStops(create), (QList<QWidget*>{create, change}));
}

void IndexTest::offersAtLoadByTheFilesPresence_data() {
    QTest::addColumn<bool>("present");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("createEnabled");
    QTest::newRow("no credential file") << false << QByteArray() << true;
    QTest::newRow("an account") << true << Record(QStringLiteral("a"), QStringLiteral("b"))
                                << false;
    QTest::newRow("an empty file") << true << QByteArray() << false;
    QTest::newRow("a damaged file") << true << QByteArray("rotto") << false;
}

void IndexTest::offersAtLoadByTheFilesPresence() {
    QFETCH(bool, present);
    QFETCH(QByteArray, content);
    QFETCH(bool, createEnabled);
    Tavelo tavelo;
    if (present)
        tavelo.folder.write(kCredentialFile, content);
    tavelo.start();
    QCOMPARE(tavelo.visibleWindows(), QList<QWidget*>{tavelo.program.index()});
    QCOMPARE(Tavelo::button(tavelo.program.index(), "Command1")->isEnabled(), createEnabled);
    QCOMPARE(Tavelo::button(tavelo.program.index(), "Command2")->isEnabled(), !createEnabled);
    // Only looked for: the file is neither read nor changed, nor reported.
    QCOMPARE(tavelo.credentialBytes(), content);
    QVERIFY(tavelo.dialogs.messages.isEmpty());
    QVERIFY(!tavelo.program.genera());
    QVERIFY(!tavelo.program.form1());
}

void IndexTest::theOfferIsNotRetestedWhileRunning() {
    Tavelo tavelo;
    tavelo.start();
    tavelo.account(QStringLiteral("a"), QStringLiteral("b"));
    tavelo.program.index()->hide();
    tavelo.program.index()->show();
    QVERIFY(Tavelo::button(tavelo.program.index(), "Command1")->isEnabled());
    QVERIFY(!Tavelo::button(tavelo.program.index(), "Command2")->isEnabled());
}

void IndexTest::opensEachWindowAndReturnsToTheChangeOffer_data() {
    QTest::addColumn<bool>("withAccount"); // decides which window Index offers
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("back");
    QTest::newRow("Genera") << false << QStringLiteral("Genera Utente")
                            << QStringLiteral("Command2");
    QTest::newRow("Form1") << true << QStringLiteral("Form1") << QStringLiteral("Command1");
}

void IndexTest::opensEachWindowAndReturnsToTheChangeOffer() {
    QFETCH(bool, withAccount);
    QFETCH(QString, title);
    QFETCH(QString, back);
    Tavelo tavelo;
    if (withAccount)
        tavelo.account(QStringLiteral("a"), QStringLiteral("b"));
    tavelo.start();
    Index* index = tavelo.program.index();
    withAccount ? tavelo.openForm1() : tavelo.openGenera();
    QWidget* opened = tavelo.visibleWindows().value(0);
    QCOMPARE(tavelo.visibleWindows().size(), 1);
    QCOMPARE(opened->windowTitle(), title);
    QVERIFY(!opened->isModal());
    QLineEdit* firstBox = opened->findChildren<QLineEdit*>().first();
    firstBox->setText(QStringLiteral("resta"));

    ShowWatch watch(index);
    QTest::mouseClick(Control<QPushButton>(opened, back), Qt::LeftButton);
    QCOMPARE(tavelo.visibleWindows(), QList<QWidget*>{index});
    QVERIFY(!Tavelo::button(index, "Command1")->isEnabled());
    QVERIFY(Tavelo::button(index, "Command2")->isEnabled());
    // Genera sets the offer before Index shows; Form1 can only be reached with it set.
    QCOMPARE(watch.createEnabledAtShow, QList<bool>{false});

    // Opened again, the change window is the same one, with what was typed in it.
    tavelo.openForm1();
    QCOMPARE(tavelo.visibleWindows(), QList<QWidget*>{tavelo.program.form1()});
    if (withAccount)
        QCOMPARE(firstBox->text(), QStringLiteral("resta"));
    QVERIFY(tavelo.dialogs.messages.isEmpty());
    QCOMPARE(tavelo.credentialFileExists(), withAccount);
}

void IndexTest::returningWithoutAnAccountLeadsToAFileFailure() {
    Tavelo tavelo;
    tavelo.start();
    tavelo.openGenera();
    Tavelo::click(tavelo.program.genera(), "Command2");
    QVERIFY(!tavelo.credentialFileExists());
    QVERIFY(!Tavelo::button(tavelo.program.index(), "Command1")->isEnabled());
    tavelo.openForm1();
    tavelo.fillForm1(QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"),
                     QStringLiteral("d"));
    Tavelo::click(tavelo.program.form1(), "Command2");

    QCOMPARE(tavelo.dialogs.messages.size(), 1);
    const ShownMessage shown = tavelo.dialogs.messages[0];
    QCOMPARE(shown.title, QStringLiteral("Tavelo"));
    QVERIFY(shown.failure);
    QVERIFY2(shown.text.contains(tavelo.folder.file(kCredentialFile)), qPrintable(shown.text));
    QVERIFY(!shown.text.contains(QStringLiteral("Errati")));
    QCOMPARE(tavelo.dialogs.endStatuses, QList<int>{1});
    QCOMPARE(Tavelo::label(tavelo.program.form1(), "Label5")->text(), QString());
    QVERIFY(!tavelo.credentialFileExists());
}

void IndexTest::closingTheVisibleWindowEndsTheProgram_data() {
    QTest::addColumn<int>("opened"); // 0 Index, 1 Genera, 2 Form1
    QTest::newRow("Index") << 0;
    QTest::newRow("Genera") << 1;
    QTest::newRow("Form1") << 2;
}

void IndexTest::closingTheVisibleWindowEndsTheProgram() {
    QFETCH(int, opened);
    Tavelo tavelo;
    tavelo.start();
    if (opened == 1)
        tavelo.openGenera();
    if (opened == 2) {
        tavelo.program.index()->offerChange();
        tavelo.openForm1();
    }
    QCOMPARE(tavelo.visibleWindows().size(), 1);
    tavelo.visibleWindows().first()->close();
    QCOMPARE(tavelo.dialogs.endStatuses, QList<int>{0});
    QVERIFY(tavelo.dialogs.messages.isEmpty());
}

QTEST_MAIN(IndexTest)
#include "index_test.moc"
