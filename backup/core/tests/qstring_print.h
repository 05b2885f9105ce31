// Readable QString values in GoogleTest messages.
#pragma once

#include <QString>

#include <ostream>

using namespace ombrix;

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
