// The widgets a window's Tab key visits, in order, starting from first.
#pragma once

#include <QList>
#include <QWidget>

inline QList<QWidget*> TabStops(QWidget* first) {
    QList<QWidget*> stops{first};
    for (QWidget* w = first->nextInFocusChain(); w && w != first; w = w->nextInFocusChain())
        if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && !w->isHidden())
            stops.append(w);
    return stops;
}
