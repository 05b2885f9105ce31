#include "backup/ombrix_program.h"
#include "desktop/italian.h"
#include "desktop/text_codec.h"

#include <QApplication>

using namespace ombrix;
using namespace shared;

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    InstallQtItalian(app); // the standard buttons of the boxes in Italian
    // The program ends through its own close handling, never by a window merely hiding.
    app.setQuitOnLastWindowClosed(false);
    OmbrixProgram program(ToPath(QCoreApplication::applicationDirPath()));
    program.start();
    return app.exec();
}
