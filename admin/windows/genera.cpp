#include "genera.h"

#include "credential_file.h"
#include "dialogs.h"
#include "failure_text.h"
#include "left_pictures.h"
#include "look.h"
#include "right_column.h"
#include "text_codec.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

Genera::Genera(std::filesystem::path programFolder, QWidget* parent)
    : QWidget(parent), programFolder_(std::move(programFolder)) {
    look::SetUpWindow(this, "Genera", QStringLiteral("Genera Utente"), 549, 280);
    AddLeftPictures(this);

    const int x = column::kX, w = column::kWidth;
    column::Label(this, "Label1", QStringLiteral("Nome Utente:"))->setGeometry(x, 12, w, 20);
    user_ = column::TextBox(this, "usr");
    user_->setGeometry(x, 32, w, 24);
    column::Label(this, "Label2", QStringLiteral("Password:"))->setGeometry(x, 66, w, 20);
    password_ = column::PasswordBox(this, "pwd");
    password_->setGeometry(x, 86, w, 24);
    result_ = column::Label(this, "res", QString());
    result_->setGeometry(x, 120, w, 24);
    result_->setAlignment(Qt::AlignCenter);
    write_ = column::Button(this, "Command1", QStringLiteral("Genera"));
    write_->setGeometry(x, 154, w, 32);
    QPushButton* back = column::Button(this, "Command2", QStringLiteral("<< Indietro"));
    back->setGeometry(x, 200, w, 32);

    setTabOrder(user_, password_);
    setTabOrder(password_, write_);
    setTabOrder(write_, back);
    connect(write_, &QPushButton::clicked, this, &Genera::writeAccount);
    connect(back, &QPushButton::clicked, this, &Genera::goBack);
    user_->setFocus();
}

void Genera::writeAccount() {
    // No field is tested: empty texts are an account like any other.
    if (const auto failure = WriteCredentialFile(programFolder_, ToWindows1252(user_->text()),
                                                 ToWindows1252(password_->text()))) {
        Dialogs::instance().failAndEnd(this, QStringLiteral("Tavelo"), FailureText(*failure));
        return;
    }
    result_->setText(QStringLiteral("Utente Generato Correttamente"));
    write_->setEnabled(false);
}

void Genera::goBack() {
    hide();
    emit returned();
}

void Genera::closeEvent(QCloseEvent* event) {
    event->accept();
    Dialogs::instance().endProgram(0);
}
