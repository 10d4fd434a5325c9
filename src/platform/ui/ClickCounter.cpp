#include "platform/ui/ClickCounter.h"

#include <QGuiApplication>
#include <QStyleHints>

#include <algorithm>
#include <cmath>

namespace platform {

int ClickCounter::countPress(Qt::MouseButton button, Point location, quint64 timestamp) {
    const QStyleHints* hints = QGuiApplication::styleHints();
    const quint64 interval = static_cast<quint64>(std::max(0, hints->mouseDoubleClickInterval()));
    const double distance = hints->mouseDoubleClickDistance();
    const bool continues = count_ > 0 && button == lastButton_ && timestamp >= lastTime_ &&
                           timestamp - lastTime_ < interval &&
                           std::abs(location.x - lastLocation_.x) <= distance &&
                           std::abs(location.y - lastLocation_.y) <= distance;
    count_ = continues ? count_ + 1 : 1;
    lastButton_ = button;
    lastLocation_ = location;
    lastTime_ = timestamp;
    return count_;
}

} // namespace platform
