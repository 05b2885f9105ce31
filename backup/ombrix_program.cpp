#include "ombrix_program.h"

#include "form3.h"
#include "look.h"

#include <QWidget>

OmbrixProgram::OmbrixProgram(std::filesystem::path programFolder)
    : programFolder_(std::move(programFolder)) {}

OmbrixProgram::~OmbrixProgram() = default;

void OmbrixProgram::start() {
    form3_ = std::make_unique<Form3>(programFolder_);
    connect(form3_.get(), &Form3::loggedIn, this, &OmbrixProgram::showForm2);
    form3_->show();
}

void OmbrixProgram::showForm2() {
    if (!form2_) {
        form2_ = std::make_unique<QWidget>();
        look::SetUpWindow(form2_.get(), "Form2", QStringLiteral("Form2"), 615, 288);
    }
    form2_->show();
}
