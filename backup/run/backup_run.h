// The backup run: the whole behaviour of the backup window's main button.
//
// Every click prepares the exchange and reads dat/cfg.txt afresh; then a run state of
// "0" starts a run, "1" asks the run in hand to stop (or brings a finished run back to
// idle). A run fetches the file list, then for each entry shows it, counts it, sets the
// percentage and, when the local file is missing, fetches it into the destination folder.
// The stop click is honoured only after the entry in hand, file written included. A run
// that reaches exactly 100 % sends the clearing request and shows its answer.
//
// Requests wait in nested event loops, and between entries that need no request the run
// delivers the window's events at most once a frame, so a click can arrive while a run is in
// hand: it runs click() again, nested. A click that finds "0" while a run is still in its loop (a
// stop was asked, the entry in hand is not finished) is ignored: at most one run is ever
// active.
//
// Only a 200 answer with its whole body becomes the entry's file, and only where no file of
// that name exists; a file takes its name only once it is on stable storage, and every name
// is on stable storage before the clearing request (saved_files.h). Any other answer, and an
// entry whose place would lie outside the destination folder, is a failure that names it.
#pragma once

#include "backup/core/file_list.h"

#include <QString>

#include <filesystem>
#include <functional>
#include <optional>

namespace ombrix {

class Disk;
class ExistingFiles;
class HttpClient;
class RunWindow;
class SavedFiles;

class BackupRun {
  public:
    // disk: the file-system calls that save the bodies (disk.h); the real ones by default.
    BackupRun(std::filesystem::path programFolder, RunWindow& window, HttpClient& client,
              Disk* disk = nullptr);

    void click();
    bool active() const { return active_; }

    static QString FailureListText();
    // The caption of perc for p: rounded half to even, then "%".
    static QString PercentCaption(double p);

  private:
    // Stop: the program is ending, touch nothing; Failed: failure_ says why.
    enum class Step { Go, Stop, Failed };
    void run(const QString& serverAddress);
    std::optional<FileList> fetchList(const QString& uploadAddress);
    void showEntry(const QString& entry, double p, double frame);
    Step handleEntry(const QByteArray& uploadOnWire, const ListEntry& entry, double p, double frame,
                     ExistingFiles& existing, SavedFiles& saved);
    Step saveEntry(const QByteArray& uploadOnWire, const ListEntry& entry,
                   const std::function<void()>& show, SavedFiles& saved);
    Step fail(QString text);
    void leave(Step step, SavedFiles& saved);
    void endOfRun(const QString& serverAddress, std::optional<double> p, SavedFiles& saved);

    std::filesystem::path programFolder_;
    RunWindow& window_;
    HttpClient& client_;
    Disk& disk_;
    bool active_ = false;
    QString failure_;
};

} // namespace ombrix
