// Folder paths as the folder list and "Crea Cartella" see them, free of widgets.
//
// A folder is held as an absolute, clean path: the root is "/", every other folder ends
// without a separator.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace ombrix {

// The clean form of an absolute folder path ("/a/b/" gives "/a/b"); nothing for a relative
// or empty one, which names no folder on its own.
std::optional<QString> NormalFolder(const QString& path);

// The chain from the root down to folder itself: "/a/b" gives "/", "/a", "/a/b".
QStringList FolderChain(const QString& folder);

// The last name of a folder path; the root is shown as "/".
QString FolderName(const QString& folder);

// A folder directly inside parent, also when parent is the root.
QString ChildFolder(const QString& parent, const QString& name);

// The names of the folders directly inside folder, hidden ones excluded, sorted by name
// without regard to letter case. A folder that is gone has none.
QStringList Subfolders(const QString& folder);

} // namespace ombrix
