#pragma once

#include <QMouseEvent>
#include <QPoint>

// Where a mouse event happened, in logical pixels of the widget, on Qt 5 and Qt 6.
inline QPoint positionOf(const QMouseEvent* event) {
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return event->position().toPoint();
#else
    return event->pos();
#endif
}
