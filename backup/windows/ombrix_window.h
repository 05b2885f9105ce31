// A window of Ombrix: its boxes are titled "Ombrix", and closing it ends the program.
#pragma once

#include "desktop/program_window.h"

class OmbrixWindow : public ProgramWindow {
  public:
    explicit OmbrixWindow(QWidget* parent = nullptr)
        : ProgramWindow(QStringLiteral("Ombrix"), parent) {}
};
