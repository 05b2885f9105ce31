// How the bytes of a text answer (the file list, the clearing answer) become text.
//
// An answer whose bytes are valid UTF-8 as a whole is UTF-8 (a leading byte-order mark
// dropped); any other answer is Windows-1252, the code page of the programs, which decodes
// every byte string. The choice is made once for the whole answer, so that every piece of
// it (every entry of a list) is read the same way.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace ombrix {

enum class AnswerCodec { Utf8, Windows1252 };

AnswerCodec CodecOf(QByteArrayView body);
// The length of the byte-order mark that opens a body of that codec: 3 or 0.
qsizetype ByteOrderMarkOf(AnswerCodec codec, QByteArrayView body);
// A piece of an answer, decoded as the whole answer's codec says.
QString DecodePiece(AnswerCodec codec, QByteArrayView piece);

QString DecodeAnswerText(const QByteArray& body);

} // namespace ombrix
