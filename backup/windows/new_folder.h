// "Crea Cartella" without widgets: one new folder directly inside the current folder.
#pragma once

#include <QString>

#include <optional>

namespace ombrix {

// Creates parent/name, the name exactly as typed (nothing trimmed). The operator's message
// when that fails, naming the folder: the name is taken, cannot be a folder name, or the
// system refused. name must not be empty.
std::optional<QString> CreateSubfolder(const QString& parent, const QString& name);

} // namespace ombrix
