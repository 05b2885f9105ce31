// Runs one backup click with a window without a screen, for a test that kills this process
// in the middle of a body. Arguments: the program folder, the destination folder, and
// "temporary-names" to save as on a file system without unnamed files.
#include "backup/core/http_client.h"
#include "backup/run/backup_run.h"
#include "backup/run/tests/recording_window.h"
#include "backup/run/tests/test_disks.h"

#include <QCoreApplication>

using namespace ombrix;
using namespace shared;

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (argc < 4)
        return 2;
    RecordingWindow window;
    window.folder = QString::fromLocal8Bit(argv[2]);
    HttpClient client;
    NoUnnamedFilesDisk temporaryNames;
    const bool temporary = QByteArray(argv[3]) == "temporary-names";
    BackupRun run(argv[1], window, client, temporary ? &temporaryNames : nullptr);
    run.click();
    return 0;
}
