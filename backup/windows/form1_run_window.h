// The backup window as the backup run sees it: Form1's controls, and the destination
// folder as the folder list has it at the moment it is asked for.
#pragma once

#include "backup/run/run_window.h"

#include <functional>

namespace ombrix {

using namespace shared;

class Form1;

class Form1RunWindow : public RunWindow {
  public:
    // destination gives the folder list's current folder each time it is called.
    Form1RunWindow(Form1& form1, std::function<QString()> destination)
        : form1_(form1), destination_(std::move(destination)) {}

    QString runState() const override;
    void setRunState(const QString& state) override;
    void setButtonCaption(const QString& caption) override;
    void setCurrentEntry(const QString& text) override;
    void prependEntry(const QString& entry) override;
    void appendLine(const QString& line) override;
    void replaceList(const QString& text) override;
    void setPercentCaption(const QString& caption) override;
    void highlightPercent() override;
    double frameWidth() const override;
    void setBarWidth(float width) override;
    QString destinationFolder() const override;
    void failWith(const QString& text) override;
    void failWith(const FileFailure& failure) override;

  private:
    Form1& form1_;
    std::function<QString()> destination_;
};

} // namespace ombrix
