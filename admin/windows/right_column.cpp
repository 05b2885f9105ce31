#include "right_column.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace column {

QLabel* Label(QWidget* window, const char* name, const QString& text) {
    auto* label = new QLabel(text, window);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

QLineEdit* TextBox(QWidget* window, const char* name) {
    auto* box = new QLineEdit(window);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

QLineEdit* PasswordBox(QWidget* window, const char* name) {
    QLineEdit* box = TextBox(window, name);
    box->setEchoMode(QLineEdit::Password);
    // Every character shows as "*", whatever masking character the platform prefers.
    box->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    return box;
}

QPushButton* Button(QWidget* window, const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, window);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

} // namespace column
