#include "desktop/look.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QWidget>

// The pictures live in this static library, so their resource is registered by hand (outside
// any namespace, as Qt asks).
static void RegisterImages() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(images);
        return true;
    }();
    (void)registered;
}

namespace shared {

namespace look {

QPixmap Picture1() {
    RegisterImages();
    return QPixmap(QStringLiteral(":/images/picture1.png"));
}
QPixmap Picture2() {
    RegisterImages();
    return QPixmap(QStringLiteral(":/images/picture2.png"));
}

QFont HeadingFont() {
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(14.25);
    font.setBold(true);
    return font;
}

QLabel* PictureLabel(QWidget* parent, const char* objectName, const QPixmap& picture) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(objectName));
    label->setPixmap(picture);
    label->setFixedSize(picture.size());
    return label;
}

QLabel* HeadingLabel(QWidget* parent, const char* objectName, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(objectName));
    label->setFont(HeadingFont());
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, kDarkBlue);
    label->setPalette(palette);
    return label;
}

void SetUpWindow(QWidget* window, const char* objectName, const QString& title, int width,
                 int height) {
    window->setObjectName(QString::fromLatin1(objectName));
    window->setWindowTitle(title);
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, Qt::white);
    window->setPalette(palette);
    window->setAutoFillBackground(true);
    window->setFixedSize(width, height);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        window->move(area.center() - QPoint(width / 2, height / 2));
    }
}

} // namespace look

} // namespace shared
