// A window of Ombrix: its boxes are titled "Ombrix", and closing it ends the program.
#pragma once

#include "desktop/program_window.h"

namespace ombrix {

using namespace shared;

class OmbrixWindow : public ProgramWindow {
  public:
    explicit OmbrixWindow(QWidget* parent = nullptr)
        : ProgramWindow(QStringLiteral("Ombrix"), parent) {}
};

} // namespace ombrix
