#include "admin/tavelo_program.h"

#include "admin/windows/form1.h"
#include "admin/windows/genera.h"
#include "admin/windows/index.h"

namespace tavelo {

using namespace shared;

TaveloProgram::TaveloProgram(std::filesystem::path programFolder)
    : programFolder_(std::move(programFolder)) {}

TaveloProgram::~TaveloProgram() = default;

void TaveloProgram::start() {
    index_ = std::make_unique<Index>(programFolder_);
    connect(index_.get(), &Index::createChosen, this, &TaveloProgram::openGenera);
    connect(index_.get(), &Index::changeChosen, this, &TaveloProgram::openForm1);
    index_->show();
}

void TaveloProgram::openGenera() {
    if (!genera_) {
        genera_ = std::make_unique<Genera>(programFolder_);
        connect(genera_.get(), &Genera::returned, this, &TaveloProgram::backFromGenera);
    }
    genera_->show();
    index_->hide();
}

void TaveloProgram::openForm1() {
    if (!form1_) {
        form1_ = std::make_unique<Form1>(programFolder_);
        connect(form1_.get(), &Form1::returned, this, &TaveloProgram::backFromForm1);
    }
    form1_->show();
    index_->hide();
}

// The two returns differ only in whether the offer is set before or after Index shows.
void TaveloProgram::backFromGenera() {
    index_->offerChange();
    index_->show();
}

void TaveloProgram::backFromForm1() {
    index_->show();
    index_->offerChange();
}

} // namespace tavelo
