#include "backup/windows/form1.h"

#include "backup/windows/repaint_pacer.h"
#include "backup/windows/saved_files_view.h"
#include "desktop/controls.h"
#include "desktop/look.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace ombrix {

using namespace shared;

namespace {

// The right column, top to bottom; the window is tight, so every row is counted.
constexpr int kColumnX = 314;
constexpr int kColumnWidth = 293;
constexpr int kHeadingY = 4;
constexpr int kLabel2Y = 32;
constexpr int kFolderRowY = 50;
constexpr int kLabel1Y = 78;
constexpr int kListY = 96;
constexpr int kListHeight = 88;
constexpr int kAttualeY = 188;
constexpr int kBarY = 216;
constexpr int kBarHeight = 20;
constexpr int kCommand3Y = 242;
constexpr int kRowHeight = 24;
constexpr int kLabelHeight = 18;
constexpr int kCommand1Width = 116;

const QColor kDarkGreen{0, 64, 0};

QLabel* Caption(QWidget* window, const char* name, const QString& text, int y) {
    QLabel* label = controls::Label(window, name, text);
    label->setGeometry(kColumnX, y, kColumnWidth, kLabelHeight);
    return label;
}

} // namespace

Form1::Form1(QWidget* parent) : OmbrixWindow(parent) {
    look::SetUpWindow(this, "Form1", QStringLiteral("Form1"), 615, 288);
    new RepaintPacer(this); // a run changes the window far more often than a screen shows
    // The run state: held in the window, never seen by the operator.
    stato_ = controls::TextBox(this, "Stato", QStringLiteral("0"));
    stato_->setGeometry(565, 0, 50, 20);
    stato_->hide();
    controls::AddLeftColumn(this, 222, "Label4");

    QLabel* heading = look::HeadingLabel(this, "Label3", QStringLiteral("SALVATAGGIO"));
    heading->setGeometry(kColumnX, kHeadingY, kColumnWidth, 26);
    Caption(this, "Label2", QStringLiteral("I file saranno salvati nell seguente directory"),
            kLabel2Y);
    addFolderRow();
    Caption(this, "Label1", QStringLiteral("File Salvati"), kLabel1Y);
    addSavedFiles();
    addProgressBar();

    command3_ = controls::Button(this, "Command3", QStringLiteral("Salva"));
    command3_->setGeometry(kColumnX, kCommand3Y, kColumnWidth, 30);
    connect(command3_, &QPushButton::clicked, this, &Form1::saveClicked);
    setTabOrderFromCommand3();
}

void Form1::addFolderRow() {
    text1_ = controls::TextBox(this, "Text1", QStringLiteral("Text1"));
    text1_->setGeometry(kColumnX, kFolderRowY, kColumnWidth - kCommand1Width - 4, kRowHeight);
    command1_ = controls::Button(this, "Command1", QStringLiteral("Cambia Directory"));
    command1_->setGeometry(kColumnX + kColumnWidth - kCommand1Width, kFolderRowY - 1,
                           kCommand1Width, kRowHeight + 2);
    // Only hidden: texts, run state and a run in progress go on.
    connect(command1_, &QPushButton::clicked, this,
            [this] { handOver(&Form1::changeFolderRequested); });
}

void Form1::addSavedFiles() {
    elencofile_ = new SavedFilesView(this);
    elencofile_->setGeometry(kColumnX, kListY, kColumnWidth, kListHeight);
    attuale_ = controls::TextBox(this, "Attuale");
    attuale_->setGeometry(kColumnX, kAttualeY, kColumnWidth, kRowHeight);
    // A run sets this text for every entry: names in scripts that need no shaping (Latin,
    // among others) are laid out without it, several times faster.
    QFont font = attuale_->font();
    font.setStyleStrategy(QFont::PreferNoShaping);
    attuale_->setFont(font);
}

void Form1::addProgressBar() {
    const QRect bar(kColumnX, kBarY, kColumnWidth, kBarHeight);
    // The fill first, so the frame's outline stays visible over it.
    barra_ = new QFrame(this);
    barra_->setObjectName(QStringLiteral("barra"));
    barra_->setAutoFillBackground(true);
    QPalette fill = barra_->palette();
    fill.setColor(QPalette::Window, kDarkGreen);
    barra_->setPalette(fill);
    barra_->setGeometry(bar);
    shape1_ = new QFrame(this);
    shape1_->setObjectName(QStringLiteral("Shape1"));
    shape1_->setFrameStyle(QFrame::Box | QFrame::Plain);
    shape1_->setGeometry(bar);
    // The figure is drawn above both: a fill past the middle runs under it.
    perc_ = new QLabel(QStringLiteral("0%"), this);
    perc_->setObjectName(QStringLiteral("perc"));
    perc_->setAlignment(Qt::AlignCenter);
    perc_->setAutoFillBackground(false);
    perc_->setGeometry(bar);
    perc_->raise();
}

void Form1::setTabOrderFromCommand3() {
    setTabOrder(command3_, text1_);
    setTabOrder(text1_, command1_);
    setTabOrder(command1_, attuale_);
    setTabOrder(attuale_, elencofile_);
    command3_->setFocus();
}

void Form1::setFolderText(const QString& folder) {
    text1_->setText(folder);
}

void Form1::prependLine(const QString& line) {
    elencofile_->prependLine(line);
}

void Form1::appendLine(const QString& line) {
    elencofile_->appendLine(line);
}

void Form1::replaceText(const QString& text) {
    elencofile_->replaceText(text);
}

QString Form1::text() const {
    return elencofile_->text();
}

void Form1::setBarWidth(int width) {
    barra_->resize(width, barra_->height());
}

} // namespace ombrix
