// How the bodies of a run become files that cannot be lost: only whole, on stable storage
// before they take their names, never over an existing file, and with their names on
// stable storage before the server is told to clear its copies.
//
// A body is written into a file without a name (O_TMPFILE), so that nothing of it remains
// if the program dies; where the file system has no such files (a USB stick, a network
// share) into a temporary file whose name holds the list's separator ".######" and so can
// never be an entry of the list. Whole bodies gather in a batch; a full batch (256 files,
// 16 MiB, or half a second old) has its file systems synced on a helper thread while
// the run goes on with the next entries, then its bodies take their names. Syncing each file
// alone would cost far more than a small file's transfer.
//
// finish() completes every batch in hand: the run calls it at a stop, a failure and the
// end of the list, so that the entry in hand is always wholly saved. Waiting for a sync
// runs a nested event loop, like a request: the window stays live.
#pragma once

#include "backup/run/body_file.h"

#include <QElapsedTimer>
#include <QFuture>
#include <QString>

#include <map>
#include <optional>
#include <set>
#include <string>
#include <system_error>
#include <vector>

namespace ombrix {

class Disk;

// "Impossibile scrivere il file LOCALPATH: cause.", the one text of a local write failure.
QString CannotWrite(const QString& localPath, const std::error_code& error);

class SavedFiles {
  public:
    // Where one entry's file goes: its folder (as the file system names it) and its name.
    struct Target {
        std::string folder;
        std::string name;
        QString localPath; // for the operator, in messages
    };

    explicit SavedFiles(Disk& disk);
    // Bodies not yet named are dropped: an unnamed file vanishes, a temporary one is removed.
    ~SavedFiles();
    SavedFiles(const SavedFiles&) = delete;
    SavedFiles& operator=(const SavedFiles&) = delete;

    // Opens the file the body of target is written into; the failure text otherwise.
    std::optional<QString> begin(const Target& target);
    // Where the body goes, between begin() and complete() or discard().
    BodyFile& body() { return sink_; }
    // The body is whole: it joins the batch. The failure text of an earlier batch that
    // could not be synced or named, or "".
    QString complete();
    // The body is not the file: nothing of it stays.
    void discard();
    // The Italian text of a local write failure of the body, or "" when none happened.
    QString writeFailure() const;

    // True when a whole body for this local path waits for its name.
    bool holds(const QString& localPath) const { return waiting_.count(localPath) != 0; }
    // Every whole body synced and named; the failure text, or "".
    QString finish();
    // finish(), then the named files' folders on stable storage too.
    QString makeDurable();

  private:
    struct Folder {
        int fd = -1;
        unsigned long device = 0; // its file system
    };
    struct Body {
        int file = -1;
        int folder = -1; // one of folders_
        std::string name;
        std::string temporary; // empty for an unnamed file
        QString localPath;
        unsigned long device = 0; // the file system of folder
    };
    struct Batch {
        std::vector<Body> bodies;
        qint64 bytes = 0;
        QElapsedTimer age;
    };

    std::optional<QString> openBody(Body& body, const Target& target);
    bool full() const;
    QString rotate();
    QString settle();
    QString name(Body& body);
    void drop(Body& body);
    std::error_code syncEach(std::vector<int> fds);
    std::string pathOf(int folder) const;

    Disk& disk_;
    BodyFile sink_;
    Body current_;
    Batch filling_;
    Batch syncing_;
    QFuture<std::error_code> syncDone_;
    std::set<QString> waiting_;             // local paths of whole bodies not yet named
    std::map<std::string, Folder> folders_; // opened once for the run, by path
    std::map<unsigned long, int> named_;    // a folder per file system with names to sync
    std::set<std::string> swept_;           // folders cleared of temporary files left behind
};

} // namespace ombrix
