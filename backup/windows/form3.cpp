#include "form3.h"

#include "credential_file.h"
#include "dialogs.h"
#include "failure_text.h"
#include "left_column.h"
#include "look.h"
#include "text_codec.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

const QString kTitle = QStringLiteral("Ombrix");
constexpr int kColumnX = 330;
constexpr int kColumnWidth = 260;

QLabel* FieldLabel(QWidget* window, const QString& text, int index, int y) {
    auto* label = new QLabel(text, window);
    label->setObjectName(QStringLiteral("Label1"));
    label->setProperty("index", index);
    label->setGeometry(kColumnX, y, kColumnWidth, 20);
    return label;
}

QLineEdit* Field(QWidget* window, const char* name, int y) {
    auto* field = new QLineEdit(window);
    field->setObjectName(QString::fromLatin1(name));
    field->setGeometry(kColumnX, y, kColumnWidth, 24);
    return field;
}

} // namespace

Form3::Form3(std::filesystem::path programFolder, QWidget* parent)
    : QWidget(parent), programFolder_(std::move(programFolder)) {
    look::SetUpWindow(this, "Form3", QStringLiteral("Form3"), 615, 288);
    AddLeftColumn(this);

    QLabel* heading = look::HeadingLabel(this, "Label3", QStringLiteral("AUTENTIFICAZIONE"));
    heading->setGeometry(kColumnX, 28, kColumnWidth, 30);
    FieldLabel(this, QStringLiteral("Nome Utente"), 0, 78);
    user_ = Field(this, "Nomeutente", 98);
    FieldLabel(this, QStringLiteral("Password"), 1, 136);
    password_ = Field(this, "Password", 156);
    password_->setEchoMode(QLineEdit::Password);
    // Every character shows as "*", whatever the platform's own mask character is.
    password_->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));

    enter_ = new QPushButton(QStringLiteral("Entra"), this);
    enter_->setObjectName(QStringLiteral("Command1"));
    enter_->setGeometry(kColumnX, 202, kColumnWidth, 30);
    // Not the default button: Enter in a text box presses nothing.
    enter_->setAutoDefault(false);
    enter_->setDefault(false);
    connect(enter_, &QPushButton::clicked, this, &Form3::checkLogin);

    setTabOrder(user_, password_);
    setTabOrder(password_, enter_);
    user_->setFocus();
}

void Form3::checkLogin() {
    // Read afresh on every press, so a change made meanwhile counts at once.
    const auto read = ReadCredentialFile(programFolder_);
    if (const auto* failure = std::get_if<FileFailure>(&read)) {
        Dialogs::instance().failAndEnd(this, kTitle, FailureText(*failure));
        return;
    }
    const auto& stored = std::get<StoredCredentials>(read);
    if (!CredentialsMatch(stored, ToWindows1252(user_->text()), ToWindows1252(password_->text()))) {
        Dialogs::instance().message(this, kTitle, QStringLiteral("Nome Utente e Password Errati"));
        return;
    }
    hide();
    emit loggedIn();
}

void Form3::closeEvent(QCloseEvent* event) {
    event->accept();
    Dialogs::instance().endProgram(0);
}
