#include "backup/windows/form3.h"

#include "credentials/credential_file.h"
#include "desktop/controls.h"
#include "desktop/failure_text.h"
#include "desktop/look.h"
#include "desktop/text_codec.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace ombrix {

using namespace shared;

namespace {

constexpr int kColumnX = 330;
constexpr int kColumnWidth = 260;

QLabel* FieldLabel(QWidget* window, const QString& text, int index, int y) {
    QLabel* label = controls::Label(window, "Label1", text);
    label->setProperty("index", index);
    label->setGeometry(kColumnX, y, kColumnWidth, 20);
    return label;
}

QLineEdit* Field(QLineEdit* field, int y) {
    field->setGeometry(kColumnX, y, kColumnWidth, 24);
    return field;
}

} // namespace

Form3::Form3(std::filesystem::path programFolder, QWidget* parent)
    : OmbrixWindow(parent), programFolder_(std::move(programFolder)) {
    look::SetUpWindow(this, "Form3", QStringLiteral("Form3"), 615, 288);
    controls::AddLeftColumn(this, 222, "Label2");

    QLabel* heading = look::HeadingLabel(this, "Label3", QStringLiteral("AUTENTIFICAZIONE"));
    heading->setGeometry(kColumnX, 28, kColumnWidth, 30);
    FieldLabel(this, QStringLiteral("Nome Utente"), 0, 78);
    user_ = Field(controls::TextBox(this, "Nomeutente"), 98);
    FieldLabel(this, QStringLiteral("Password"), 1, 136);
    password_ = Field(controls::PasswordBox(this, "Password"), 156);

    enter_ = controls::Button(this, "Command1", QStringLiteral("Entra"));
    enter_->setGeometry(kColumnX, 202, kColumnWidth, 30);
    connect(enter_, &QPushButton::clicked, this, &Form3::checkLogin);

    setTabOrder(user_, password_);
    setTabOrder(password_, enter_);
    user_->setFocus();
}

void Form3::checkLogin() {
    // Read afresh on every press, so a change made meanwhile counts at once.
    const auto read = ReadCredentialFile(programFolder_);
    if (const auto* failure = std::get_if<FileFailure>(&read)) {
        failAndEnd(FailureText(*failure));
        return;
    }
    const auto& stored = std::get<StoredCredentials>(read);
    if (!CredentialsMatch(stored, ToWindows1252(user_->text()), ToWindows1252(password_->text()))) {
        tell(QStringLiteral("Nome Utente e Password Errati"));
        return;
    }
    handOver(&Form3::loggedIn);
}

} // namespace ombrix
