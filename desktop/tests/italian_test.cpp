// Qt's standard buttons speak Italian once the programs' translation is installed.
#include "desktop/italian.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

using namespace shared;

class ItalianTest : public QObject {
    Q_OBJECT
  private slots:
    void standardButtonsReadItalian() {
        QVERIFY2(InstallQtItalian(*QCoreApplication::instance()),
                 "qtbase_it not found: is qt6-translations-l10n installed?");
        // The input box of "Crea Cartella", as the programs open it.
        QInputDialog input;
        input.setLabelText(QStringLiteral("Nome della nuova cartella"));
        input.show(); // the box lays out its buttons when first shown
        auto* buttons = input.findChild<QDialogButtonBox*>();
        QVERIFY(buttons);
        QCOMPARE(buttons->button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Annulla"));
        QCOMPARE(buttons->button(QDialogButtonBox::Ok)->text(), QStringLiteral("OK"));
    }
};

QTEST_MAIN(ItalianTest)
#include "italian_test.moc"
