// Where an entry of the file list is saved, and the safe way to save it.
#pragma once

#include <QString>

// True when the entry names a file inside the destination folder: not absolute, no ".."
// segment, no NUL. An entry may name a file in an existing subfolder ("foto/a.jpg").
bool IsSafeEntryName(const QString& entry);

// The local file of an entry: the folder, a separator, the entry.
QString LocalFileOf(const QString& folder, const QString& entry);

// The temporary file a body is written into before it takes the entry's name. The name
// is fixed, so a temporary file left by a killed process is replaced by the next run.
QString TemporaryFileOf(const QString& localFile);

// True when a file (not a folder) exists at the path.
bool LocalFileExists(const QString& localFile);
