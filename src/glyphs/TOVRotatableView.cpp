#include "glyphs/TOVRotatableView.h"

#include "glyphs/TOVObjectController.h"
#include "glyphs/TOVRotateHandleCell.h"
#include "model/Symbol.h"

#include <cmath>
#include <numbers>
#include <typeinfo>

using platform::Point;
using platform::Rect;

namespace {
constexpr int kPivotType = 7;
constexpr int kRotateType = 8;
} // namespace

std::shared_ptr<TOVObjectView> TOVRotatableView::newInstanceWithFrame(const Rect& frame) const {
    return std::make_shared<TOVRotatableView>(frame);
}

void TOVRotatableView::mouseDown(const platform::Event& event) {
    rotateHandle_.reset();
    const Point p = convertPointFromView(event.locationInWindow(), nullptr);
    for (const auto& cell : handleCellArray()) {
        if (typeid(*cell) == typeid(TOVRotateHandleCell) && cell->hitTestInFrame(p)) {
            rotateHandle_ = std::static_pointer_cast<TOVRotateHandleCell>(cell);
            break;
        }
    }
    TOVResizableFreeView::mouseDown(event);
}

Point TOVRotatableView::pivotInSuperview() const {
    for (const auto& cell : handleCellArray()) {
        if (cell->handleType() == kPivotType) {
            return convertPointToView(cell->frame().origin, superview());
        }
    }
    return convertPointToView(Point{}, superview());
}

void TOVRotatableView::mouseDragged(const platform::Event& event) {
    TOVRotateHandleCell* handle = rotateHandle();
    if (!handle) {
        TOVResizableFreeView::mouseDragged(event);
        return;
    }
    if (handle->handleType() != kRotateType) {
        return;
    }
    const Point c = pivotInSuperview();
    const Point p = locationInSuperview(event);
    const double dx = p.x - c.x;
    const double dy = p.y - c.y;
    const double degrees = std::atan2(dy, dx) * 180.0 / std::numbers::pi;
    const double length = std::max(std::hypot(dx, dy), kMinimumLength);
    const double diffAngle = degrees - frameRotation();
    const double diffWidth = length - frame().width();
    if (delegate()) {
        delegate()->objectViewUnderRotatingWithDiffAngleDiffWidth(this, diffAngle, diffWidth);
    } else {
        temporallyRotateWithDiffAngleDiffWidth(diffAngle, diffWidth);
    }
}

void TOVRotatableView::storeAngleWhenChanged() {
    if (symbol() && frameRotation() != symbol()->angle()) {
        symbol()->setAngle(frameRotation());
    }
}

void TOVRotatableView::mouseUp(const platform::Event& event) {
    TOVResizableFreeView::mouseUp(event);
    storeAngleWhenChanged();
    rotateHandle_.reset();
}

void TOVRotatableView::temporallyRotateWithDiffAngleDiffWidth(double dA, double dW) {
    const Point before = pivotInSuperview();
    setFrameRotation(frameRotation() + dA);
    temporallyResizeWithDiffXDiffYMoveXMoveY(dW, 0, false, false);
    const Point after = pivotInSuperview();
    if (after != before) {
        temporallyMoveWithDiffXDiffY(before.x - after.x, before.y - after.y);
    }
}

void TOVRotatableView::completeChangingFrame() {
    storeAngleWhenChanged();
    TOVResizableFreeView::completeChangingFrame();
}
