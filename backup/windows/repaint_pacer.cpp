#include "backup/windows/repaint_pacer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace ombrix {

RepaintPacer::RepaintPacer(QWidget* window) : QObject(window), window_(window) {
    held_.setSingleShot(true);
    connect(&held_, &QTimer::timeout, this, [this] {
        // Low priority, as the window's own requests are posted.
        QCoreApplication::postEvent(window_, new QEvent(QEvent::UpdateRequest),
                                    Qt::LowEventPriority);
    });
    window->installEventFilter(this);
}

bool RepaintPacer::eventFilter(QObject* watched, QEvent* event) {
    if (watched != window_ || event->type() != QEvent::UpdateRequest)
        return false;
    const std::chrono::milliseconds since{sincePaint_.isValid() ? sincePaint_.elapsed()
                                                                : kFrame.count()};
    if (since >= kFrame) {
        sincePaint_.start();
        return false; // painted now
    }
    // The window keeps what needs painting until the request comes again.
    if (!held_.isActive())
        held_.start(kFrame - since);
    return true;
}

} // namespace ombrix
