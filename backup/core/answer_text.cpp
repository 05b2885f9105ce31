#include "answer_text.h"

#include "windows1252.h"

#include <QStringDecoder>

#include <string_view>

QString DecodeAnswerText(const QByteArray& body) {
    // Stateless, so that a sequence cut short at the end counts as invalid too.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(body);
    if (!utf8.hasError())
        return text;
    const std::string_view bytes(body.constData(), static_cast<std::size_t>(body.size()));
    return QString::fromStdU32String(DecodeWindows1252(bytes));
}
