#include "backup/core/file_list.h"

namespace ombrix {

FileList::FileList(QByteArray body)
    : body_(std::move(body)), codec_(CodecOf(body_)),
      rest_(QByteArrayView(body_).sliced(ByteOrderMarkOf(codec_, body_))), done_(rest_.isEmpty()) {
    if (done_)
        return;
    // The list's bound (kFileListLimit) keeps the count far inside an int.
    qsizetype separators = 0;
    for (qsizetype at = rest_.indexOf(kFileListSeparator); at >= 0;
         at = rest_.indexOf(kFileListSeparator, at + kFileListSeparator.size()))
        ++separators;
    highestIndex_ = static_cast<int>(separators);
}

bool FileList::next(ListEntry& part) {
    if (done_)
        return false;
    const qsizetype at = rest_.indexOf(kFileListSeparator);
    part.bytes = rest_.first(at < 0 ? rest_.size() : at);
    part.text = DecodePiece(codec_, part.bytes);
    if (at < 0)
        done_ = true;
    else
        rest_ = rest_.sliced(at + kFileListSeparator.size());
    return true;
}

std::vector<ListPart> SplitFileList(const QByteArray& body) {
    FileList list(body);
    std::vector<ListPart> parts;
    for (ListEntry part; list.next(part);)
        parts.push_back({part.bytes.toByteArray(), part.text});
    return parts;
}

int HighestIndex(const std::vector<ListPart>& parts) {
    return static_cast<int>(parts.size()) - 1;
}

} // namespace ombrix
