#include "glyphs/TOVMovableView.h"

#include "glyphs/TOVObjectController.h"
#include "glyphs/TOVObjectViewOwner.h"
#include "model/Symbol.h"

#include <array>
#include <cmath>

using platform::Point;
using platform::Rect;

namespace {
// How far the pointer must go from the press before a drag moves the view, and how near a corner must
// come to a grid line to be pulled onto it.
constexpr double kDragThreshold = 1.0;
constexpr double kSnapDistance = 1.0;
} // namespace

std::shared_ptr<TOVObjectView> TOVMovableView::newInstanceWithFrame(const Rect& frame) const {
    return std::make_shared<TOVMovableView>(frame);
}

Point TOVMovableView::locationInSuperview(const platform::Event& event) const {
    const platform::View* parent = superview();
    return parent ? parent->convertPointFromView(event.locationInWindow(), nullptr)
                  : event.locationInWindow();
}

void TOVMovableView::mouseDown(const platform::Event& event) {
    TOVSelectableView::mouseDown(event);
    isMouseDown_ = true;
    lastMovedLocation_ = mouseDownLocation_ = locationInSuperview(event);
}

void TOVMovableView::moveThroughDelegate(double dx, double dy) {
    if (delegate()) {
        delegate()->objectViewUnderMovingWithDiffXDiffY(this, dx, dy);
    } else {
        temporallyMoveWithDiffXDiffY(dx, dy);
    }
}

void TOVMovableView::mouseDragged(const platform::Event& event) {
    if (!isMouseDown_) {
        return;
    }
    const Point p = locationInSuperview(event);
    if (!isMoving_) {
        isMoving_ = std::abs(p.x - mouseDownLocation_.x) > kDragThreshold ||
                    std::abs(p.y - mouseDownLocation_.y) > kDragThreshold;
    }
    if (!isMoving_) {
        return;
    }
    moveThroughDelegate(p.x - lastMovedLocation_.x, p.y - lastMovedLocation_.y);
    lastMovedLocation_ = p;
    snapToGrid();
}

void TOVMovableView::snapToGrid() {
    TOVObjectController* controller = delegate();
    if (!controller) {
        return;
    }
    const Rect f = frame();
    const std::array<Point, 4> corners = {Point{f.x(), f.y()}, Point{f.x() + f.width(), f.y()},
                                          Point{f.x() + f.width(), f.y() + f.height()},
                                          Point{f.x(), f.y() + f.height()}};
    double best = 0;
    Point bestCorner, bestGrid;
    bool found = false;
    for (const Point& corner : corners) {
        const Point grid = controller->objectViewInquireNearestGridFromPos(this, corner);
        const double dx = grid.x - corner.x;
        const double dy = grid.y - corner.y;
        const double distance = dx * dx + dy * dy;
        if (!found || distance < best) {
            found = true;
            best = distance;
            bestCorner = corner;
            bestGrid = grid;
        }
    }
    double sx = bestGrid.x - bestCorner.x;
    double sy = bestGrid.y - bestCorner.y;
    // Only a corner already close to a grid line is pulled, axis by axis (this also keeps the answer for
    // points off every page, the largest double, from moving anything).
    if (!(std::abs(sx) < kSnapDistance)) {
        sx = 0;
    }
    if (!(std::abs(sy) < kSnapDistance)) {
        sy = 0;
    }
    if (sx == 0 && sy == 0) {
        return;
    }
    moveThroughDelegate(sx, sy);
    lastMovedLocation_.x += sx;
    lastMovedLocation_.y += sy;
}

void TOVMovableView::completeThroughDelegate() {
    if (delegate()) {
        delegate()->objectViewCompleteChangingFrame(this);
    } else {
        completeChangingFrame();
    }
}

void TOVMovableView::mouseUp(const platform::Event&) {
    isMouseDown_ = false;
    if (isMoving_) {
        isMoving_ = false;
        completeThroughDelegate();
    }
}

Point TOVMovableView::convertPointFromViewOriginToDataOrigin(Point point) const {
    TOVObjectViewOwner* bar = barViewBelongTo();
    return bar ? bar->ownerView()->convertPointFromView(point, superview()) : point;
}

Point TOVMovableView::convertPointFromDataOriginToViewOrigin(Point point) const {
    TOVObjectViewOwner* bar = barViewBelongTo();
    return bar ? bar->ownerView()->convertPointToView(point, superview()) : point;
}

bool TOVMovableView::placeAtDataFrame(const Rect& rect) {
    const Rect placed(convertPointFromDataOriginToViewOrigin(rect.origin), rect.size);
    if (placed == frame()) {
        return false;
    }
    setFrame(placed);
    setNeedsDisplay();
    return true;
}

void TOVMovableView::updateView() {
    Rect data = symbol() ? symbol()->frame() : Rect();
    // A symbol that has not been sized yet shows at the view's natural size; the model is left as it is.
    if (symbol() && data.width() == 0 && data.height() == 0) {
        data.size = defaultViewSize();
    }
    placeAtDataFrame(data);
}

void TOVMovableView::updateViewTemporallyAs(const Rect& rect) {
    placeAtDataFrame(rect);
}

void TOVMovableView::temporallyMoveWithDiffXDiffY(double dx, double dy) {
    const Point o = frame().origin;
    setFrameOrigin({o.x + dx, o.y + dy});
}

void TOVMovableView::completeChangingFrame() {
    const Rect data(convertPointFromViewOriginToDataOrigin(frame().origin), frame().size);
    if (symbol() && data != symbol()->frame()) {
        symbol()->setFrame(data);
        if (delegate()) {
            delegate()->objectViewFrameDidChange(this);
        }
    }
    updateView();
}

platform::View* TOVMovableView::parentEditorView() const {
    const auto* holder = dynamic_cast<const TOVObjectViewOwner*>(superview());
    return holder && holder->isEditorView() ? superview() : nullptr;
}
