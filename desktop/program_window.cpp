#include "desktop/program_window.h"

#include "desktop/dialogs.h"

#include <QCloseEvent>

namespace shared {

ProgramWindow::ProgramWindow(QString programTitle, QWidget* parent)
    : QWidget(parent), programTitle_(std::move(programTitle)) {}

void ProgramWindow::tell(const QString& text) {
    Dialogs::instance().message(this, programTitle_, text);
}

void ProgramWindow::failAndEnd(const QString& text) {
    Dialogs::instance().failAndEnd(this, programTitle_, text);
}

void ProgramWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    Dialogs::instance().endProgram(0);
}

} // namespace shared
