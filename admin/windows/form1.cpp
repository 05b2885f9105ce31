#include "admin/windows/form1.h"

#include "admin/windows/right_column.h"
#include "credentials/credential_file.h"
#include "desktop/controls.h"
#include "desktop/failure_text.h"
#include "desktop/look.h"
#include "desktop/text_codec.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tavelo {

using namespace shared;

namespace {

// Four rows, each a label on the left and its text box on the right.
constexpr int kLabelX = 314;
constexpr int kLabelWidth = 140;
constexpr int kBoxX = 456;
constexpr int kBoxWidth = 85;
constexpr int kRowHeight = 30;

QLineEdit* Row(QWidget* window, int row, const char* labelName, const QString& caption,
               QLineEdit* box) {
    const int y = 12 + row * kRowHeight;
    controls::Label(window, labelName, caption)->setGeometry(kLabelX, y, kLabelWidth, 24);
    box->setGeometry(kBoxX, y, kBoxWidth, 24);
    return box;
}

} // namespace

Form1::Form1(std::filesystem::path programFolder, QWidget* parent)
    : TaveloWindow(parent), programFolder_(std::move(programFolder)) {
    look::SetUpWindow(this, "Form1", QStringLiteral("Form1"), 549, 280);
    controls::AddLeftColumn(this, 198);

    oldUser_ = Row(this, 0, "Label1", QStringLiteral("Nome Utente Vecchio:"),
                   controls::TextBox(this, "usrv"));
    oldPassword_ = Row(this, 1, "Label2", QStringLiteral("Password Vecchia:"),
                       controls::PasswordBox(this, "pwdv"));
    newUser_ = Row(this, 2, "Label3", QStringLiteral("Nome Utente Nuovo:"),
                   controls::TextBox(this, "usrn"));
    newPassword_ = Row(this, 3, "Label4", QStringLiteral("Password Nuova:"),
                       controls::PasswordBox(this, "pwdn"));

    const int width = kBoxX + kBoxWidth - kLabelX;
    QPushButton* change = controls::Button(this, "Command2", QStringLiteral("Genera"));
    change->setGeometry(kLabelX, 136, width, 32);
    result_ = controls::Label(this, "Label5", QString());
    result_->setGeometry(kLabelX, 176, width, 24);
    result_->setAlignment(Qt::AlignCenter);
    QPushButton* back = controls::Button(this, "Command1", QStringLiteral("<< Indietro"));
    back->setGeometry(kLabelX, 208, width, 32);

    setTabOrder(oldUser_, oldPassword_);
    setTabOrder(oldPassword_, newUser_);
    setTabOrder(newUser_, newPassword_);
    setTabOrder(newPassword_, change);
    setTabOrder(change, back);
    connect(change, &QPushButton::clicked, this, &Form1::changeAccount);
    connect(back, &QPushButton::clicked, this, &Form1::goBack);
    oldUser_->setFocus();
}

void Form1::changeAccount() {
    // Before the file: a form with an empty field never reaches it, present or not.
    if (anyFieldEmpty()) {
        report(QStringLiteral("Uno dei campi è vuoto"));
        return;
    }
    const auto read = ReadCredentialFile(programFolder_);
    if (const auto* failure = std::get_if<FileFailure>(&read)) {
        failAndEnd(FailureText(*failure));
        return;
    }
    if (!CredentialsMatch(std::get<StoredCredentials>(read), ToWindows1252(oldUser_->text()),
                          ToWindows1252(oldPassword_->text()))) {
        // Which of the two was wrong is never told.
        report(QStringLiteral("Nome Utente e Password Errati"));
        return;
    }
    if (const auto failure = WriteCredentialFile(programFolder_, ToWindows1252(newUser_->text()),
                                                 ToWindows1252(newPassword_->text()))) {
        failAndEnd(FailureText(*failure));
        return;
    }
    result_->setText(QStringLiteral("Nome Utente e Password Modificati"));
}

bool Form1::anyFieldEmpty() const {
    // Nothing is trimmed: blanks alone fill a field.
    for (const QLineEdit* field : {oldUser_, oldPassword_, newUser_, newPassword_})
        if (field->text().isEmpty())
            return true;
    return false;
}

void Form1::report(const QString& text) {
    tell(text);
    result_->setText(text);
}

void Form1::goBack() {
    handOver(&Form1::returned);
}

} // namespace tavelo
