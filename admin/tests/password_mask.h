// Whether a text box masks every character as "*".
#pragma once

#include <QLineEdit>
#include <QStyle>

inline bool MasksWithStars(QLineEdit* box) {
    return box->echoMode() == QLineEdit::Password &&
           box->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, box) == '*';
}
