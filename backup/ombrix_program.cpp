#include "backup/ombrix_program.h"

#include "backup/core/http_client.h"
#include "backup/run/backup_run.h"
#include "backup/windows/form1.h"
#include "backup/windows/form1_run_window.h"
#include "backup/windows/form2.h"
#include "backup/windows/form3.h"
#include "desktop/dialogs.h"

namespace ombrix {

using namespace shared;

OmbrixProgram::OmbrixProgram(std::filesystem::path programFolder)
    : programFolder_(std::move(programFolder)) {}

OmbrixProgram::~OmbrixProgram() {
    // The run refers to the window and the client: it goes first.
    run_.reset();
}

void OmbrixProgram::start() {
    form3_ = std::make_unique<Form3>(programFolder_);
    connect(form3_.get(), &Form3::loggedIn, this, &OmbrixProgram::showForm2);
    form3_->show();
}

// Reached once, from the login window, which has already hidden itself for good: a failed
// load ends the program with no window shown.
void OmbrixProgram::showForm2() {
    form2_ = std::make_unique<Form2>(programFolder_);
    connect(form2_.get(), &Form2::advanced, this, &OmbrixProgram::showForm1);
    if (form2_->load())
        form2_->show();
}

void OmbrixProgram::showForm1(const QString& folder) {
    if (!form1_)
        createForm1();
    form1_->show();
    form2_->hide();
    form1_->setFolderText(folder);
}

void OmbrixProgram::createForm1() {
    form1_ = std::make_unique<Form1>();
    // Back to the destination-folder window as it was left: nothing is read again.
    connect(form1_.get(), &Form1::changeFolderRequested, form2_.get(), &QWidget::show);

    client_ = std::make_unique<HttpClient>();
    // The destination is Dir1's current folder, asked afresh for every entry.
    runWindow_ =
        std::make_unique<Form1RunWindow>(*form1_, [this] { return form2_->currentFolder(); });
    run_ = std::make_unique<BackupRun>(programFolder_, *runWindow_, *client_);
    connect(form1_.get(), &Form1::saveClicked, this, [this] { run_->click(); });
    // A window closed mid-run ends the program at once: the request in hand is abandoned.
    connect(&Dialogs::instance(), &Dialogs::programEnding, client_.get(), &HttpClient::abandon);
}

} // namespace ombrix
