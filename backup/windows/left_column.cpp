#include "left_column.h"

#include "look.h"

#include <QLabel>

void AddLeftColumn(QWidget* window, const char* creditName) {
    QLabel* picture1 = look::PictureLabel(window, "Picture1", look::Picture1());
    picture1->move(8, 8);
    auto* credit = new QLabel(
        QStringLiteral("Software di Backup per il software Q.U.O.R. realizzato da:"), window);
    credit->setObjectName(QString::fromLatin1(creditName));
    credit->setWordWrap(true);
    credit->setAlignment(Qt::AlignCenter);
    credit->setGeometry(8, 192, 299, 30);
    QLabel* picture2 = look::PictureLabel(window, "Picture2", look::Picture2());
    picture2->move(8 + (299 - picture2->width()) / 2, 222);
}
