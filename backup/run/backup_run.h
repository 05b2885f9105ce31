// The backup run: the whole behaviour of the backup window's main button.
//
// Every click prepares the exchange and reads dat/cfg.txt afresh; then a run state of
// "0" starts a run, "1" asks the run in hand to stop (or brings a finished run back to
// idle). A run fetches the file list, then for each entry shows it, counts it, sets the
// percentage and, when the local file is missing, fetches it into the destination folder.
// The stop click is honoured only after the entry in hand, file written included. A run
// that reaches exactly 100 % sends the clearing request and shows its answer.
//
// Requests wait in nested event loops, so a click can arrive while a run is in hand: it
// runs click() again, nested. A click that finds "0" while a run is still in its loop (a
// stop was asked, the entry in hand is not finished) is ignored: at most one run is ever
// active.
//
// Files are never left half-written: a body goes into a temporary file in the destination
// folder and is renamed to the entry's name once complete. An answer with an error status
// is a failure, never a saved file; an entry that would land outside the destination
// folder is refused.
#pragma once

#include "file_list.h"

#include <QString>

#include <filesystem>
#include <functional>
#include <optional>

class HttpClient;
class RunWindow;

class BackupRun {
  public:
    BackupRun(std::filesystem::path programFolder, RunWindow& window, HttpClient& client);

    void click();
    bool active() const { return active_; }

    static QString FailureListText();
    // The caption of perc for p: rounded half to even, then "%".
    static QString PercentCaption(double p);

  private:
    enum class Step { Go, Stop }; // Stop: the program is ending or failed; touch nothing
    void run(const QString& serverAddress);
    std::optional<std::vector<ListPart>> fetchList(const QString& uploadAddress);
    void showEntry(const QString& entry, double p, double frame);
    Step handleEntry(const QByteArray& uploadOnWire, const ListPart& entry, double p, double frame);
    Step saveEntry(const QByteArray& uploadOnWire, const ListPart& entry,
                   const std::function<void()>& show);
    void endOfRun(const QString& serverAddress, std::optional<double> p);

    std::filesystem::path programFolder_;
    RunWindow& window_;
    HttpClient& client_;
    bool active_ = false;
};
