#include "left_pictures.h"

#include "look.h"

#include <QLabel>

void AddLeftPictures(QWidget* window) {
    QLabel* picture1 = look::PictureLabel(window, "Picture1", look::Picture1());
    picture1->move(8, 8);
    QLabel* picture2 = look::PictureLabel(window, "Picture2", look::Picture2());
    picture2->move(8 + (picture1->width() - picture2->width()) / 2, 198);
}
