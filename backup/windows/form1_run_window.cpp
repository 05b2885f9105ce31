#include "backup/windows/form1_run_window.h"

#include "backup/windows/form1.h"
#include "desktop/dialogs.h"
#include "desktop/failure_text.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <cmath>

namespace ombrix {

using namespace shared;

QString Form1RunWindow::runState() const {
    return form1_.stato()->text();
}

void Form1RunWindow::setRunState(const QString& state) {
    form1_.stato()->setText(state);
}

void Form1RunWindow::setButtonCaption(const QString& caption) {
    form1_.command3()->setText(caption);
}

void Form1RunWindow::setCurrentEntry(const QString& text) {
    form1_.attuale()->setText(text);
}

void Form1RunWindow::prependEntry(const QString& entry) {
    form1_.prependLine(entry);
}

void Form1RunWindow::appendLine(const QString& line) {
    form1_.appendLine(line);
}

void Form1RunWindow::replaceList(const QString& text) {
    form1_.replaceText(text);
}

void Form1RunWindow::setPercentCaption(const QString& caption) {
    form1_.perc()->setText(caption);
}

void Form1RunWindow::highlightPercent() {
    QLabel* perc = form1_.perc();
    QPalette palette = perc->palette();
    if (palette.color(QPalette::WindowText) == palette.color(QPalette::Light))
        return; // already set: a run calls this for every entry past the middle
    palette.setColor(QPalette::WindowText, palette.color(QPalette::Light));
    perc->setPalette(palette);
}

double Form1RunWindow::frameWidth() const {
    return form1_.shape1()->width();
}

void Form1RunWindow::setBarWidth(float width) {
    form1_.setBarWidth(static_cast<int>(std::lround(width)));
}

QString Form1RunWindow::destinationFolder() const {
    return destination_();
}

void Form1RunWindow::failWith(const QString& text) {
    Dialogs::instance().failAndEnd(&form1_, form1_.programTitle(), text);
}

void Form1RunWindow::failWith(const FileFailure& failure) {
    failWith(FailureText(failure));
}

} // namespace ombrix
