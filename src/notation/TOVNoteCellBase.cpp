#include "notation/TOVNoteCellBase.h"

bool TOVNoteCellBase::hitTestInFrame(platform::Point p) const {
    return frame_.x() <= p.x && p.x <= frame_.x() + frame_.width() && frame_.y() <= p.y &&
           p.y <= frame_.y() + frame_.height();
}

void TOVNoteCellBase::setFrame(const platform::Rect& frame) {
    const double dx = frame.x() - frame_.x();
    const double dy = frame.y() - frame_.y();
    frame_ = frame;
    moveSubCellsXByYBy(dx, dy);
}

void TOVNoteCellBase::moveXByYBy(double dx, double dy) {
    setFrame(frame_.offsetBy(dx, dy));
}

TOVNoteCellBase* TOVNoteCellBase::hitCellFromPos(platform::Point point) {
    return hitTestInFrame(point) ? this : nullptr;
}
