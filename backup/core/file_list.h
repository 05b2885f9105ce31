// The file list the Quor server sends: entries joined by "######".
//
// The expected form has every entry followed by the separator ("a######b######c######"),
// which splits into the entries and one empty last part, so that the highest index equals
// the number of entries. Nothing is trimmed: blanks and line breaks belong to the parts.
//
// Each part keeps its bytes exactly as they stood in the list, for the request that fetches
// it, beside its text, for the window and the local file name. The text is decoded as the
// whole list is (answer_text.h): UTF-8 when the list is valid UTF-8, else Windows-1252.
// The separator is ASCII, so splitting the bytes and splitting the text agree.
#pragma once

#include "backup/core/answer_text.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <vector>

namespace ombrix {

inline constexpr QByteArrayView kFileListSeparator = "######";

struct ListPart {
    QByteArray bytes; // as the server wrote them
    QString text;     // as the operator reads them

    bool isEmpty() const { return bytes.isEmpty(); }
    bool operator==(const ListPart&) const = default;
};

// A part as the list is read: its bytes stay in the list, its text is made when it is read.
struct ListEntry {
    QByteArrayView bytes;
    QString text;

    bool isEmpty() const { return bytes.isEmpty(); }
};

// The list as received, held once: a list of a million entries costs its own bytes and
// nothing per entry. Parts are found and decoded one at a time, in order.
class FileList {
  public:
    explicit FileList(QByteArray body);

    // The number of parts minus one, -1 for an empty answer (which has no parts at all).
    int highestIndex() const { return highestIndex_; }
    // Fills part with the next part and returns true, or returns false after the last one.
    bool next(ListEntry& part);

  private:
    QByteArray body_;
    AnswerCodec codec_;
    QByteArrayView rest_; // the parts not read yet
    bool done_;
    int highestIndex_ = -1;
};

// Splits on every occurrence of the separator, matched exactly, with no limit; empty parts
// are kept. An empty answer gives no parts at all.
std::vector<ListPart> SplitFileList(const QByteArray& body);

// The highest index of the parts: their number minus one, -1 when there are none.
int HighestIndex(const std::vector<ListPart>& parts);

} // namespace ombrix
