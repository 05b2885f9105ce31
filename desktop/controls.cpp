#include "desktop/controls.h"

#include "desktop/look.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace shared {

namespace controls {

QLabel* Label(QWidget* window, const char* name, const QString& text) {
    auto* label = new QLabel(text, window);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

QLineEdit* TextBox(QWidget* window, const char* name, const QString& text) {
    auto* box = new QLineEdit(text, window);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

QLineEdit* PasswordBox(QWidget* window, const char* name) {
    QLineEdit* box = TextBox(window, name);
    box->setEchoMode(QLineEdit::Password);
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

void AddLeftColumn(QWidget* window, int picture2Top, const char* creditName) {
    QLabel* picture1 = look::PictureLabel(window, "Picture1", look::Picture1());
    picture1->move(8, 8);
    if (creditName) {
        QLabel* credit =
            Label(window, creditName,
                  QStringLiteral("Software di Backup per il software Q.U.O.R. realizzato da:"));
        credit->setWordWrap(true);
        credit->setAlignment(Qt::AlignCenter);
        credit->setGeometry(8, 192, picture1->width(), 30);
    }
    QLabel* picture2 = look::PictureLabel(window, "Picture2", look::Picture2());
    picture2->move(8 + (picture1->width() - picture2->width()) / 2, picture2Top);
}

} // namespace controls

} // namespace shared
