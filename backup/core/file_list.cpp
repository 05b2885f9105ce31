#include "file_list.h"

QStringList SplitFileList(const QString& text) {
    // QString::split would turn an empty text into one empty part.
    if (text.isEmpty())
        return {};
    return text.split(kFileListSeparator.toString(), Qt::KeepEmptyParts, Qt::CaseSensitive);
}

int HighestIndex(const QStringList& parts) {
    return static_cast<int>(parts.size()) - 1;
}
