#include "desktop/dialogs.h"

#include <QCoreApplication>
#include <QInputDialog>
#include <QMessageBox>

namespace shared {

namespace {
Dialogs* installed = nullptr;
}

Dialogs& Dialogs::instance() {
    static Dialogs real;
    return installed ? *installed : real;
}

void Dialogs::install(Dialogs* replacement) {
    installed = replacement;
}

void Dialogs::message(QWidget* parent, const QString& title, const QString& text) {
    showMessage(parent, title, text, false);
}

QString Dialogs::input(QWidget* parent, const QString& prompt, const QString& title,
                       const QString& proposed) {
    return askText(parent, prompt, title, proposed);
}

void Dialogs::failAndEnd(QWidget* parent, const QString& title, const QString& text) {
    showMessage(parent, title, text, true);
    endProgram(1);
}

void Dialogs::endProgram(int status) {
    if (ending_)
        return;
    ending_ = true;
    emit programEnding();
    quit(status);
}

void Dialogs::showMessage(QWidget* parent, const QString& title, const QString& text,
                          bool failure) {
    QMessageBox box(failure ? QMessageBox::Critical : QMessageBox::NoIcon, title, text,
                    QMessageBox::Ok, parent);
    box.exec();
}

QString Dialogs::askText(QWidget* parent, const QString& prompt, const QString& title,
                         const QString& proposed) {
    bool accepted = false;
    const QString answer =
        QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, proposed, &accepted);
    return accepted ? answer : QString();
}

void Dialogs::quit(int status) {
    // Leaves every event loop, nested ones included; windows go with main().
    QCoreApplication::exit(status);
}

} // namespace shared
