#include "ombrix_program.h"

#include "form1.h"
#include "form2.h"
#include "form3.h"

OmbrixProgram::OmbrixProgram(std::filesystem::path programFolder)
    : programFolder_(std::move(programFolder)) {}

OmbrixProgram::~OmbrixProgram() = default;

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
    if (!form1_) {
        form1_ = std::make_unique<Form1>();
        // Back to the destination-folder window as it was left: nothing is read again.
        connect(form1_.get(), &Form1::changeFolderRequested, form2_.get(), &QWidget::show);
    }
    form1_->show();
    form2_->hide();
    form1_->setFolderText(folder);
}
