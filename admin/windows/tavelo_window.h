// A window of Tavelo: its boxes are titled "Tavelo", and closing it ends the program.
#pragma once

#include "desktop/program_window.h"

namespace tavelo {

using namespace shared;

class TaveloWindow : public ProgramWindow {
  public:
    explicit TaveloWindow(QWidget* parent = nullptr)
        : ProgramWindow(QStringLiteral("Tavelo"), parent) {}
};

} // namespace tavelo
