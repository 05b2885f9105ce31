// The backup window on its own: its design values, its list of saved files and the two
// behaviours that are not the run.
#include "backup/windows/form1.h"
#include "backup/windows/saved_files_view.h"
#include "testsupport/control.h"
#include "testsupport/scripted_dialogs.h"
#include "testsupport/tab_order.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace ombrix;
using namespace shared;

namespace {

const QString kCredit =
    QStringLiteral("Software di Backup per il software Q.U.O.R. realizzato da:");

template <typename T> T* Child(const QWidget& form, const char* name) {
    return Control<T>(&form, name);
}

// The text a control shows, for the check that it fits.
QString Shown(QWidget* widget) {
    if (auto* label = qobject_cast<QLabel*>(widget))
        return label->text();
    if (auto* button = qobject_cast<QPushButton*>(widget))
        return button->text();
    if (auto* box = qobject_cast<QLineEdit*>(widget))
        return box->text();
    return {};
}

// Counts the paint events of a widget and keeps the text it last painted.
class PaintCounter : public QObject {
  public:
    explicit PaintCounter(QLineEdit* box) : box_(box) { box->installEventFilter(this); }
    int paints = 0;
    QString lastPainted;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++paints;
            lastPainted = box_->text();
        }
        return false;
    }

  private:
    QLineEdit* box_;
};

} // namespace

class Form1Test : public QObject {
    Q_OBJECT
  private slots:
    void showsTheDesignedWindow();
    void controlsHoldTheirDesignValues_data();
    void controlsHoldTheirDesignValues();
    void theRightColumnRunsTopToBottom();
    void everyControlFitsAndIsReadable();
    void theProgressBarIsOneRectangle();
    void elencofileLooksLikeTheDesign();
    void elencofileEdits_data();
    void elencofileEdits();
    void elencofileTakesAHundredThousandEntries();
    void elencofileKeepsEveryCharacterOfAPiece();
    void elencofileLinesAreSelectedAndCopied();
    void elencofileOffersCopiaInItsMenu();
    void elencofileKeepsScrolledLinesInView();
    void paintsAtMostOnceAFrame();
    void salvaStartsNothingYet();
    void cambiaDirectoryOnlyHides();
    void closingTheWindowEndsTheProgram();
};

void Form1Test::showsTheDesignedWindow() {
    Form1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.objectName(), QStringLiteral("Form1"));
    QCOMPARE(form.windowTitle(), QStringLiteral("Form1"));
    QCOMPARE(form.size(), QSize(615, 288));
    QCOMPARE(form.palette().color(QPalette::Window), QColor(Qt::white));
    auto* heading = Child<QLabel>(form, "Label3");
    QVERIFY(heading->font().bold());
    QCOMPARE(heading->font().family(), QStringLiteral("Arial"));
    QCOMPARE(heading->font().pointSizeF(), 14.25);
    QCOMPARE(heading->palette().color(QPalette::WindowText), QColor(0, 0, 128));
    QCOMPARE(Child<QLabel>(form, "Picture1")->size(), QSize(299, 182));
    QVERIFY(Child<QLabel>(form, "Picture2"));
    QVERIFY(Child<QLabel>(form, "Label4")->alignment() & Qt::AlignHCenter);

    // Command3 first in the tab order, with the focus; the hidden Stato is no stop.
    QCOMPARE(QApplication::focusWidget(), form.command3());
    const QList<QWidget*> order{form.command3(), form.text1(), form.command1(), form.attuale(),
                                form.elencofile()};
    QCOMPARE(TabStops(form.command3()), order);
}

void Form1Test::controlsHoldTheirDesignValues_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::newRow("Stato") << "Stato"
                           << "0";
    QTest::newRow("Text1") << "Text1"
                           << "Text1";
    QTest::newRow("Command1") << "Command1"
                              << "Cambia Directory";
    QTest::newRow("Attuale") << "Attuale"
                             << "";
    QTest::newRow("Command3") << "Command3"
                              << "Salva";
    QTest::newRow("Label4") << "Label4" << kCredit;
    QTest::newRow("Label3") << "Label3"
                            << "SALVATAGGIO";
    QTest::newRow("Label2") << "Label2"
                            << "I file saranno salvati nell seguente directory";
    QTest::newRow("Label1") << "Label1"
                            << "File Salvati";
    QTest::newRow("perc") << "perc"
                          << "0%";
}

void Form1Test::controlsHoldTheirDesignValues() {
    QFETCH(QString, name);
    QFETCH(QString, text);
    Form1 form;
    const QList<QWidget*> found = form.findChildren<QWidget*>(name);
    QCOMPARE(found.size(), 1);
    QCOMPARE(Shown(found[0]), text);
    QCOMPARE(found[0]->isHidden(), name == QStringLiteral("Stato"));
}

void Form1Test::theRightColumnRunsTopToBottom() {
    Form1 form;
    const char* column[] = {"Label3",     "Label2",  "Text1",  "Label1",
                            "Elencofile", "Attuale", "Shape1", "Command3"};
    const int left = form.command3()->x();
    int bottom = -1;
    for (const char* name : column) {
        const QRect place = Child<QWidget>(form, name)->geometry();
        QCOMPARE(place.left(), left);
        QVERIFY2(place.top() > bottom, name);
        bottom = place.bottom();
    }
    // Command1 to the right of Text1 in its row, the row as wide as the column.
    const QRect text1 = form.text1()->geometry();
    const QRect command1 = form.command1()->geometry();
    QVERIFY(command1.left() > text1.right());
    QVERIFY(command1.top() <= text1.top() && command1.bottom() >= text1.bottom());
    QCOMPARE(command1.right(), form.command3()->geometry().right());
    for (const char* name : {"Label2", "Elencofile", "Attuale", "Shape1"})
        QCOMPARE(Child<QWidget>(form, name)->width(), form.command3()->width());
    // The left part: Picture1, then Label4, then Picture2, all left of the column.
    const QRect picture1 = Child<QWidget>(form, "Picture1")->geometry();
    const QRect label4 = Child<QWidget>(form, "Label4")->geometry();
    const QRect picture2 = Child<QWidget>(form, "Picture2")->geometry();
    QVERIFY(picture1.bottom() < label4.top() && label4.bottom() < picture2.top());
    for (const QRect& place : {picture1, label4, picture2})
        QVERIFY(place.right() < left);
}

void Form1Test::everyControlFitsAndIsReadable() {
    Form1 form;
    for (QWidget* child : form.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const QString name = child->objectName();
        QVERIFY2(form.rect().contains(child->geometry()), qPrintable(name));
        const QString text = Shown(child);
        if (text.isEmpty() || name == QStringLiteral("Label4"))
            continue; // the credit line wraps on two lines, as in the other windows
        const QSize needed = child->sizeHint();
        QVERIFY2(needed.height() <= child->height() + 2, qPrintable(name));
        QVERIFY2(child->fontMetrics().horizontalAdvance(text) < child->width(), qPrintable(name));
    }
    auto* credit = Child<QLabel>(form, "Label4");
    QVERIFY(credit->heightForWidth(credit->width()) <= credit->height());
}

void Form1Test::theProgressBarIsOneRectangle() {
    Form1 form;
    QCOMPARE(form.barra()->objectName(), QStringLiteral("barra"));
    QCOMPARE(form.shape1()->objectName(), QStringLiteral("Shape1"));
    QCOMPARE(form.perc()->objectName(), QStringLiteral("perc"));
    QCOMPARE(form.barra()->geometry(), form.shape1()->geometry());
    QCOMPARE(form.perc()->geometry().center(), form.shape1()->geometry().center());
    QVERIFY(form.perc()->alignment() & Qt::AlignHCenter);
    QVERIFY(form.perc()->alignment() & Qt::AlignVCenter);
    // perc drawn above both, on a transparent background.
    const QObjectList order = form.children();
    QVERIFY(order.indexOf(form.perc()) > order.indexOf(form.barra()));
    QVERIFY(order.indexOf(form.perc()) > order.indexOf(form.shape1()));
    QVERIFY(!form.perc()->autoFillBackground());
    // barra opaque dark green; Shape1 an outline.
    QVERIFY(form.barra()->autoFillBackground());
    QCOMPARE(form.barra()->palette().color(QPalette::Window), QColor(0, 64, 0));
    QCOMPARE(form.shape1()->frameShape(), QFrame::Box);
    QVERIFY(!form.shape1()->autoFillBackground());

    // Only the width moves, past the frame too.
    const QRect frame = form.shape1()->geometry();
    form.setBarWidth(frame.width() / 2);
    QCOMPARE(form.barra()->geometry(),
             QRect(frame.topLeft(), QSize(frame.width() / 2, frame.height())));
    form.setBarWidth(frame.width() * 3 / 2);
    QCOMPARE(form.barra()->width(), frame.width() * 3 / 2);
    QCOMPARE(form.shape1()->geometry(), frame);
}

void Form1Test::elencofileLooksLikeTheDesign() {
    Form1 form;
    SavedFilesView* list = form.elencofile();
    QCOMPARE(list->objectName(), QStringLiteral("Elencofile"));
    QCOMPARE(list->palette().color(QPalette::Text), QColor(0, 192, 0));
    QCOMPARE(list->palette().color(QPalette::Base), QColor(Qt::black));
    QVERIFY(list->isReadOnly());
    QCOMPARE(list->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(form.text(), QString());
    // The operator cannot type into it.
    list->setFocus();
    QTest::keyClicks(list, QStringLiteral("abc"));
    QCOMPARE(form.text(), QString());
}

void Form1Test::elencofileEdits_data() {
    QTest::addColumn<QStringList>("steps"); // "+x" prepend, "=x" append, "!x" replace
    QTest::addColumn<QString>("text");
    QTest::newRow("one entry") << QStringList{"+a.jpg"} << "a.jpg\r\n";
    QTest::newRow("newest first") << QStringList{"+a", "+b", "+c"} << "c\r\nb\r\na\r\n";
    QTest::newRow("answer at the bottom")
        << QStringList{"+a", "+b", "=Copie cancellate"} << "b\r\na\r\n\r\nCopie cancellate";
    QTest::newRow("answer of several lines")
        << QStringList{"+a", "=uno\r\ndue"} << "a\r\n\r\nuno\r\ndue";
    QTest::newRow("failure text replaces all")
        << QStringList{"+a", "=ok", "!Salvataggio Fallito.\r\nEseguire il comando."}
        << "Salvataggio Fallito.\r\nEseguire il comando.";
    QTest::newRow("entries on top of a replaced text")
        << QStringList{"!x\r\ny", "+e"} << "e\r\nx\r\ny";
    QTest::newRow("append to empty") << QStringList{"=r"} << "\r\nr";
    QTest::newRow("characters kept") << QStringList{"+a\u00a0b è.jpg"} << "a\u00a0b è.jpg\r\n";
    QTest::newRow("a later run on top of the earlier")
        << QStringList{"+a", "=ok", "+a"} << "a\r\na\r\n\r\nok";
}

void Form1Test::elencofileEdits() {
    QFETCH(QStringList, steps);
    QFETCH(QString, text);
    Form1 form;
    for (const QString& step : steps) {
        const QString line = step.mid(1);
        if (step.startsWith(QLatin1Char('+')))
            form.prependLine(line);
        else if (step.startsWith(QLatin1Char('=')))
            form.appendLine(line);
        else
            form.replaceText(line);
    }
    QCOMPARE(form.text(), text);
}

void Form1Test::elencofileTakesAHundredThousandEntries() {
    Form1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    constexpr int kEntries = 100'000;
    for (int i = 0; i < kEntries; ++i) {
        form.prependLine(QStringLiteral("cartella/file_%1.jpg").arg(i));
        if (i % 1000 == 0)
            QCoreApplication::processEvents(); // as the run does while it waits
    }
    form.appendLine(QStringLiteral("fatto"));
    QCOMPARE(form.elencofile()->blockCount(), kEntries + 2);
    const QString text = form.text();
    QVERIFY(text.startsWith(QStringLiteral("cartella/file_99999.jpg\r\ncartella/file_99998.jpg")));
    QVERIFY(text.endsWith(QStringLiteral("cartella/file_0.jpg\r\n\r\nfatto")));
}

void Form1Test::elencofileKeepsEveryCharacterOfAPiece() {
    Form1 form;
    // Only CR LF parts lines: a lone line feed or carriage return stays in its line.
    form.prependLine(QStringLiteral("a\nb"));
    form.prependLine(QStringLiteral("c\rd"));
    form.appendLine(QStringLiteral("uno\r\n\r\ndue"));
    QCOMPARE(form.text(), QStringLiteral("c\rd\r\na\nb\r\n\r\nuno\r\n\r\ndue"));
    QCOMPARE(form.elencofile()->blockCount(), 6);
}

namespace {

// The view's point at the middle of its line `row`, counted from the top of the view.
QPoint LinePoint(SavedFilesView* view, int row) {
    const int height = QFontMetrics(view->font()).height();
    return QPoint(20, 4 + row * height + height / 2);
}

} // namespace

void Form1Test::elencofileLinesAreSelectedAndCopied() {
    Form1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    for (const char* line : {"e.jpg", "d.jpg", "c.jpg", "b.jpg", "a.jpg"})
        form.prependLine(QString::fromLatin1(line));
    SavedFilesView* list = form.elencofile();
    QWidget* lines = list->viewport();
    QTest::mouseClick(lines, Qt::LeftButton, {}, LinePoint(list, 1));
    QCOMPARE(list->selectedText(), QStringLiteral("b.jpg"));
    QTest::mouseClick(lines, Qt::LeftButton, Qt::ShiftModifier, LinePoint(list, 3));
    QCOMPARE(list->selectedText(), QStringLiteral("b.jpg\r\nc.jpg\r\nd.jpg"));
    QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("b.jpg\r\nc.jpg\r\nd.jpg"));
    // Dragged upwards from the last line.
    QTest::mousePress(lines, Qt::LeftButton, {}, LinePoint(list, 4));
    QMouseEvent move(QEvent::MouseMove, LinePoint(list, 2), list->mapToGlobal(LinePoint(list, 2)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(lines, &move);
    QTest::mouseRelease(lines, Qt::LeftButton, {}, LinePoint(list, 2));
    QCOMPARE(list->selectedText(), QStringLiteral("c.jpg\r\nd.jpg\r\ne.jpg"));
    QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(list->selectedText(), form.text());
    // Nothing of this is an edit.
    QCOMPARE(form.text(), QStringLiteral("a.jpg\r\nb.jpg\r\nc.jpg\r\nd.jpg\r\ne.jpg\r\n"));
}

void Form1Test::elencofileOffersCopiaInItsMenu() {
    Form1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.prependLine(QStringLiteral("b.jpg"));
    form.prependLine(QStringLiteral("a.jpg"));
    SavedFilesView* list = form.elencofile();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, LinePoint(list, 1));
    QGuiApplication::clipboard()->clear();
    QStringList offered;
    // The menu is modal: it is read and answered once it shows.
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu);
        for (QAction* action : menu->actions())
            offered << action->text() + (action->isEnabled() ? "" : " (off)");
        menu->actions().first()->trigger();
        menu->close();
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, LinePoint(list, 1),
                            list->viewport()->mapToGlobal(LinePoint(list, 1)));
    QCoreApplication::sendEvent(list->viewport(), &event);
    QCOMPARE(offered, (QStringList{"Copia", "Seleziona tutto"}));
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("b.jpg"));
}

void Form1Test::elencofileKeepsScrolledLinesInView() {
    Form1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    for (int i = 0; i < 100; ++i)
        form.prependLine(QStringLiteral("f%1.jpg").arg(i));
    QCoreApplication::processEvents();
    QScrollBar* bar = form.elencofile()->verticalScrollBar();
    QVERIFY(bar->maximum() > 50);
    // At the top, the newest line shows; scrolled away, the lines looked at stay.
    form.prependLine(QStringLiteral("f100.jpg"));
    QCoreApplication::processEvents();
    QCOMPARE(bar->value(), 0);
    bar->setValue(10);
    form.prependLine(QStringLiteral("f101.jpg"));
    form.prependLine(QStringLiteral("f102.jpg"));
    QCoreApplication::processEvents();
    QCOMPARE(bar->value(), 12);
}

void Form1Test::paintsAtMostOnceAFrame() {
    Form1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    PaintCounter counter(form.attuale());
    // A run's pace: a change, then the event loop turns while a file comes.
    QElapsedTimer burst;
    burst.start();
    for (int i = 0; i < 3000; ++i) {
        form.attuale()->setText(QStringLiteral("Stò salvando: f%1").arg(i));
        QCoreApplication::processEvents();
    }
    const qint64 frames = burst.elapsed() / 16 + 2;
    QVERIFY2(counter.paints <= frames,
             qPrintable(QStringLiteral("%1 paints in %2 frames").arg(counter.paints).arg(frames)));
    // What changed last is painted soon after, without any further change.
    QTRY_COMPARE(counter.lastPainted, QStringLiteral("Stò salvando: f2999"));
}

void Form1Test::salvaStartsNothingYet() {
    Form1 form;
    QSignalSpy clicks(&form, &Form1::saveClicked);
    form.show();
    QTest::mouseClick(form.command3(), Qt::LeftButton);
    QCOMPARE(clicks.size(), 1);
    QCOMPARE(form.stato()->text(), QStringLiteral("0"));
    QCOMPARE(form.command3()->text(), QStringLiteral("Salva"));
    QCOMPARE(form.perc()->text(), QStringLiteral("0%"));
    QVERIFY(form.isVisible());
}

void Form1Test::cambiaDirectoryOnlyHides() {
    ScriptedDialogs dialogs;
    Form1 form;
    QSignalSpy back(&form, &Form1::changeFolderRequested);
    form.show();
    form.setFolderText(QStringLiteral("/dati"));
    form.stato()->setText(QStringLiteral("1"));
    form.attuale()->setText(QStringLiteral("Stò salvando: a.jpg"));
    form.prependLine(QStringLiteral("a.jpg"));
    QTest::mouseClick(form.command1(), Qt::LeftButton);
    QCOMPARE(back.size(), 1);
    QVERIFY(!form.isVisible());
    QCOMPARE(form.text1()->text(), QStringLiteral("/dati"));
    QCOMPARE(form.stato()->text(), QStringLiteral("1"));
    QCOMPARE(form.attuale()->text(), QStringLiteral("Stò salvando: a.jpg"));
    QCOMPARE(form.text(), QStringLiteral("a.jpg\r\n"));
    QVERIFY(!dialogs.ended());
}

void Form1Test::closingTheWindowEndsTheProgram() {
    ScriptedDialogs dialogs;
    Form1 form;
    form.show();
    form.close();
    QCOMPARE(dialogs.endStatuses, QList<int>{0});
}

QTEST_MAIN(Form1Test)
#include "form1_test.moc"
