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

// True when a file (not a folder) exists at the path.
bool LocalFileExists(const QString& localFile);

} // namespace ombrix
