#include "form1.h"

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

namespace {

const QString kTitle = QStringLiteral("Tavelo");

// Four rows, each a label on the left and its text box on the right.
constexpr int kLabelX = 314;
constexpr int kLabelWidth = 140;
constexpr int kBoxX = 456;
constexpr int kBoxWidth = 85;
constexpr int kRowHeight = 30;

QLineEdit* Row(QWidget* window, int row, const char* labelName, const QString& caption,
               QLineEdit* box) {
    const int y = 12 + row * kRowHeight;
    column::Label(window, labelName, caption)->setGeometry(kLabelX, y, kLabelWidth, 24);
    box->setGeometry(kBoxX, y, kBoxWidth, 24);
    return box;
}

} // namespace

ChangeForm::ChangeForm(std::filesystem::path programFolder, QWidget* parent)
    : QWidget(parent), programFolder_(std::move(programFolder)) {
    look::SetUpWindow(this, "Form1", QStringLiteral("Form1"), 549, 280);
    AddLeftPictures(this);

    oldUser_ = Row(this, 0, "Label1", QStringLiteral("Nome Utente Vecchio:"),
                   column::TextBox(this, "usrv"));
    oldPassword_ = Row(this, 1, "Label2", QStringLiteral("Password Vecchia:"),
                       column::PasswordBox(this, "pwdv"));
    newUser_ =
        Row(this, 2, "Label3", QStringLiteral("Nome Utente Nuovo:"), column::TextBox(this, "usrn"));
    newPassword_ = Row(this, 3, "Label4", QStringLiteral("Password Nuova:"),
                       column::PasswordBox(this, "pwdn"));

    const int width = kBoxX + kBoxWidth - kLabelX;
    QPushButton* change = column::Button(this, "Command2", QStringLiteral("Genera"));
    change->setGeometry(kLabelX, 136, width, 32);
    result_ = column::Label(this, "Label5", QString());
    result_->setGeometry(kLabelX, 176, width, 24);
    result_->setAlignment(Qt::AlignCenter);
    QPushButton* back = column::Button(this, "Command1", QStringLiteral("<< Indietro"));
    back->setGeometry(kLabelX, 208, width, 32);

    setTabOrder(oldUser_, oldPassword_);
    setTabOrder(oldPassword_, newUser_);
    setTabOrder(newUser_, newPassword_);
    setTabOrder(newPassword_, change);
    setTabOrder(change, back);
    connect(change, &QPushButton::clicked, this, &ChangeForm::changeAccount);
    connect(back, &QPushButton::clicked, this, &ChangeForm::goBack);
    oldUser_->setFocus();
}

void ChangeForm::changeAccount() {
    // Before the file: a form with an empty field never reaches it, present or not.
    if (anyFieldEmpty()) {
        tell(QStringLiteral("Uno dei campi è vuoto"));
        return;
    }
    const auto read = ReadCredentialFile(programFolder_);
    if (const auto* failure = std::get_if<FileFailure>(&read)) {
        Dialogs::instance().failAndEnd(this, kTitle, FailureText(*failure));
        return;
    }
    if (!CredentialsMatch(std::get<StoredCredentials>(read), ToWindows1252(oldUser_->text()),
                          ToWindows1252(oldPassword_->text()))) {
        // Which of the two was wrong is never told.
        tell(QStringLiteral("Nome Utente e Password Errati"));
        return;
    }
    if (const auto failure = WriteCredentialFile(programFolder_, ToWindows1252(newUser_->text()),
                                                 ToWindows1252(newPassword_->text()))) {
        Dialogs::instance().failAndEnd(this, kTitle, FailureText(*failure));
        return;
    }
    result_->setText(QStringLiteral("Nome Utente e Password Modificati"));
}

bool ChangeForm::anyFieldEmpty() const {
    // Nothing is trimmed: blanks alone fill a field.
    for (const QLineEdit* field : {oldUser_, oldPassword_, newUser_, newPassword_})
        if (field->text().isEmpty())
            return true;
    return false;
}

void ChangeForm::tell(const QString& text) {
    Dialogs::instance().message(this, kTitle, text);
    result_->setText(text);
}

void ChangeForm::goBack() {
    hide();
    emit returned();
}

void ChangeForm::closeEvent(QCloseEvent* event) {
    event->accept();
    Dialogs::instance().endProgram(0);
}
