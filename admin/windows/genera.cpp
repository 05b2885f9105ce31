#include "admin/windows/genera.h"

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

Genera::Genera(std::filesystem::path programFolder, QWidget* parent)
    : TaveloWindow(parent), programFolder_(std::move(programFolder)) {
    look::SetUpWindow(this, "Genera", QStringLiteral("Genera Utente"), 549, 280);
    controls::AddLeftColumn(this, 198);

    const int x = column::kX, w = column::kWidth;
    controls::Label(this, "Label1", QStringLiteral("Nome Utente:"))->setGeometry(x, 12, w, 20);
    user_ = controls::TextBox(this, "usr");
    user_->setGeometry(x, 32, w, 24);
    controls::Label(this, "Label2", QStringLiteral("Password:"))->setGeometry(x, 66, w, 20);
    password_ = controls::PasswordBox(this, "pwd");
    password_->setGeometry(x, 86, w, 24);
    result_ = controls::Label(this, "res", QString());
    result_->setGeometry(x, 120, w, 24);
    result_->setAlignment(Qt::AlignCenter);
    write_ = controls::Button(this, "Command1", QStringLiteral("Genera"));
    write_->setGeometry(x, 154, w, 32);
    QPushButton* back = controls::Button(this, "Command2", QStringLiteral("<< Indietro"));
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
        failAndEnd(FailureText(*failure));
        return;
    }
    result_->setText(QStringLiteral("Utente Generato Correttamente"));
    write_->setEnabled(false);
}

void Genera::goBack() {
    handOver(&Genera::returned);
}

} // namespace tavelo
