#include "backup/core/answer_text.h"

#include "credentials/windows1252.h"

#include <QStringDecoder>

#include <string_view>

namespace ombrix {

using namespace shared;

namespace {

constexpr QByteArrayView kByteOrderMark("\xEF\xBB\xBF");

} // namespace

AnswerCodec CodecOf(QByteArrayView body) {
    // Stateless, so that a sequence cut short at the end counts as invalid too.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString ignored = utf8.decode(body);
    return utf8.hasError() ? AnswerCodec::Windows1252 : AnswerCodec::Utf8;
}

qsizetype ByteOrderMarkOf(AnswerCodec codec, QByteArrayView body) {
    return codec == AnswerCodec::Utf8 && body.startsWith(kByteOrderMark) ? kByteOrderMark.size()
                                                                         : 0;
}

QString DecodePiece(AnswerCodec codec, QByteArrayView piece) {
    if (codec == AnswerCodec::Utf8) {
        // A byte-order mark inside the answer is part of the text: only the answer's own
        // first one is not (ByteOrderMarkOf).
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                      QStringDecoder::Flag::ConvertInitialBom);
        return utf8.decode(piece);
    }
    const std::string_view bytes(piece.data(), static_cast<std::size_t>(piece.size()));
    return QString::fromStdU32String(DecodeWindows1252(bytes));
}

QString DecodeAnswerText(const QByteArray& body) {
    const AnswerCodec codec = CodecOf(body);
    return DecodePiece(codec, QByteArrayView(body).sliced(ByteOrderMarkOf(codec, body)));
}

} // namespace ombrix
