// What the windows of both programs share: the pictures, the heading font, the colours,
// and the close that ends the program.
#pragma once

#include <QColor>
#include <QFont>
#include <QPixmap>

class QLabel;
class QWidget;

namespace shared {

namespace look {

inline const QColor kDarkBlue{0, 0, 128};

QPixmap Picture1(); // 299 x 182
QPixmap Picture2();
QFont HeadingFont(); // Arial bold 14.25 pt

// A label showing a picture, named for the tests and style sheets.
QLabel* PictureLabel(QWidget* parent, const char* objectName, const QPixmap& picture);
// A heading label: dark blue on white.
QLabel* HeadingLabel(QWidget* parent, const char* objectName, const QString& text);
// White background, fixed client size, centred on the screen.
void SetUpWindow(QWidget* window, const char* objectName, const QString& title, int width,
                 int height);

} // namespace look

} // namespace shared
