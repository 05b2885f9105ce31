#include "admin/windows/index.h"

#include "admin/windows/right_column.h"
#include "credentials/credential_file.h"
#include "desktop/controls.h"
#include "desktop/look.h"

#include <QPushButton>

namespace tavelo {

using namespace shared;

Index::Index(const std::filesystem::path& programFolder, QWidget* parent) : TaveloWindow(parent) {
    look::SetUpWindow(this, "Index", QStringLiteral("Gestione Utenti"), 549, 279);
    controls::AddLeftColumn(this, 198);

    create_ = controls::Button(this, "Command1", QStringLiteral("Genera Utente"));
    create_->setGeometry(column::kX, 20, column::kWidth, 110);
    change_ = controls::Button(this, "Command2", QStringLiteral("Cambia Nome Utente e Password"));
    change_->setGeometry(column::kX, 148, column::kWidth, 110);
    setTabOrder(create_, change_);
    connect(create_, &QPushButton::clicked, this, &Index::createChosen);
    connect(change_, &QPushButton::clicked, this, &Index::changeChosen);

    // The file is only looked for, never opened: an empty or damaged one counts as there.
    const bool exists = CredentialFileExists(programFolder);
    create_->setEnabled(!exists);
    change_->setEnabled(exists);
}

void Index::offerChange() {
    create_->setEnabled(false);
    change_->setEnabled(true);
}

} // namespace tavelo
