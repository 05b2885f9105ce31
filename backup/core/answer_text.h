// How the body of a text answer (the file list, the clearing answer) becomes text.
#pragma once

#include <QByteArray>
#include <QString>

// Bytes that are valid UTF-8 are decoded as UTF-8 (a leading byte-order mark dropped);
// any other bytes are Windows-1252, the code page of the programs, which decodes every
// byte string.
QString DecodeAnswerText(const QByteArray& body);
