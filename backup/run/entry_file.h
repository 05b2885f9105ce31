// Where an entry of the file list is saved.
#pragma once

#include "backup/run/saved_files.h"

#include <QString>

#include <variant>

namespace ombrix {

// True when the entry's text names a file inside the destination folder: not absolute, no
// ".." segment, no NUL, and a name after its last separator. An entry may name a file in
// an existing subfolder ("foto/a.jpg").
bool IsSafeEntryName(const QString& entry);

// The local file of an entry: the folder, a separator, the entry.
QString LocalFileOf(const QString& folder, const QString& entry);

// Where the entry's file is made in destination: its folder as the file system names it,
// and its name. A subfolder is followed through its links and must lie inside the
// destination. The failure text (naming the entry or the local file) otherwise.
std::variant<SavedFiles::Target, QString> TargetOf(const QString& destination,
                                                   const QString& entry);

// Whether an entry's file (not a folder) exists in the destination, one file-system look-up
// per entry: the destination is opened once for as long as its text stays the same, and
// each entry is looked up from there, links followed as an open would.
class ExistingFiles {
  public:
    ExistingFiles() = default;
    ~ExistingFiles();
    ExistingFiles(const ExistingFiles&) = delete;
    ExistingFiles& operator=(const ExistingFiles&) = delete;

    // entry: a safe entry name (IsSafeEntryName).
    bool contains(const QString& destination, const QString& entry);

  private:
    bool opened_ = false;
    QString destination_;
    int folder_ = -1; // destination_ opened, or -1 when it could not be
};

} // namespace ombrix
