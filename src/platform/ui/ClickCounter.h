#pragma once

#include "platform/foundation/Geometry.h"

#include <Qt>
#include <QtGlobal>

namespace platform {

// Counts the presses of one multi-click: a press of the same button within the desktop's double-click
// interval and distance of the last one continues the count, any other starts again at 1. Qt hands the
// second press of a double click to widgets as a double-click event instead of a press; a widget counts
// that event as the press it replaces.
class ClickCounter {
public:
    // The count of this press (1, 2, 3 ...); `timestamp` in milliseconds as Qt's events carry it.
    int countPress(Qt::MouseButton button, Point location, quint64 timestamp);
    int count() const { return count_; }

private:
    Qt::MouseButton lastButton_ = Qt::NoButton;
    Point lastLocation_;
    quint64 lastTime_ = 0;
    int count_ = 0;
};

} // namespace platform
