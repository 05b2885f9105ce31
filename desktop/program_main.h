// The whole of a program's main(): the application with Qt's Italian texts, the program
// started from its own folder (the folder of the running executable), the event loop.
#pragma once

#include "desktop/italian.h"
#include "desktop/text_codec.h"

#include <QApplication>

namespace shared {

template <typename Program> int RunProgram(int argc, char* argv[]) {
    QApplication app(argc, argv);
    InstallQtItalian(app); // the standard buttons of the boxes in Italian
    // The program ends through its own close handling, never by a window merely hiding.
    app.setQuitOnLastWindowClosed(false);
    Program program(ToPath(QCoreApplication::applicationDirPath()));
    program.start();
    return app.exec();
}

} // namespace shared
