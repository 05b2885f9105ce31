#include "backup/core/file_list.h"

#include "backup/core/answer_text.h"

namespace ombrix {

std::vector<ListPart> SplitFileList(const QByteArray& body) {
    const AnswerCodec codec = CodecOf(body);
    const QByteArrayView list = QByteArrayView(body).sliced(ByteOrderMarkOf(codec, body));
    std::vector<ListPart> parts;
    if (list.isEmpty())
        return parts;
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = list.indexOf(kFileListSeparator, from);
        const QByteArrayView piece = list.sliced(from, (at < 0 ? list.size() : at) - from);
        parts.push_back({piece.toByteArray(), DecodePiece(codec, piece)});
        if (at < 0)
            return parts;
        from = at + kFileListSeparator.size();
    }
}

int HighestIndex(const std::vector<ListPart>& parts) {
    return static_cast<int>(parts.size()) - 1;
}

} // namespace ombrix
