// The file list the Quor server sends: entries joined by "######".
//
// The expected form has every entry followed by the separator ("a######b######c######"),
// which splits into the entries and one empty last part, so that the highest index equals
// the number of entries. Nothing is trimmed: blanks and line breaks belong to the parts.
#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

inline constexpr QStringView kFileListSeparator = u"######";

// Splits on every occurrence of the separator, matched exactly, with no limit; empty parts
// are kept. An empty text gives no parts at all.
QStringList SplitFileList(const QString& text);

// The highest index of the parts: their number minus one, -1 when there are none.
int HighestIndex(const QStringList& parts);
