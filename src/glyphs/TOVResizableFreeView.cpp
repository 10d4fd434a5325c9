#include "glyphs/TOVResizableFreeView.h"

#include "glyphs/SVGUtils.h"
#include "glyphs/TOVObjectController.h"

using platform::Point;
using platform::Rect;

TOVResizableFreeView::TOVResizableFreeView(const Rect& frame) : TOVResizableView(frame) {
    createHandleCells();
}

std::shared_ptr<TOVObjectView> TOVResizableFreeView::newInstanceWithFrame(const Rect& frame) const {
    return std::make_shared<TOVResizableFreeView>(frame);
}

void TOVResizableFreeView::createHandleCells() {
    removeAllHandleCells();
    for (int type = 4; type <= 7; ++type) {
        addHandleCell(type);
    }
}

void TOVResizableFreeView::mouseDragged(const platform::Event& event) {
    // Moves the view when the press was not on a handle.
    TOVResizableView::mouseDragged(event);
    TOVResizeHandleCell* handle = resizingHandle();
    if (!handle) {
        return;
    }
    const Point p = locationInSuperview(event);
    const Rect f = frame();
    double dx = 0;
    double dy = 0;
    bool moveX = false;
    bool moveY = false;
    switch (handle->handleType()) {
    case 4:
        dy = f.y() - p.y, moveY = true;
        break;
    case 5:
        dx = p.x - (f.x() + f.width());
        break;
    case 6:
        dy = p.y - (f.y() + f.height());
        break;
    case 7:
        dx = f.x() - p.x, moveX = true;
        break;
    default:
        return;
    }
    if (delegate()) {
        delegate()->objectViewUnderResizingFreeWithDiffXDiffYMoveXMoveY(this, dx, dy, moveX, moveY);
    } else {
        temporallyResizeWithDiffXDiffYMoveXMoveY(dx, dy, moveX, moveY);
    }
}

void TOVResizableFreeView::temporallyResizeWithDiffXDiffYMoveXMoveY(double dx, double dy, bool moveX,
                                                                    bool moveY) {
    const double w = frame().width();
    const double h = frame().height();
    const double newWidth = w + dx;
    const double newHeight = h + dy;
    if (!(newWidth >= kMinimumSize) || !(newHeight >= kMinimumSize)) {
        return;
    }
    double sx = 1.0;
    double sy = 1.0;
    // One axis at a time; a view that had no extent on that axis has no factor to stretch by.
    if (dx != 0) {
        sx = w > 0 ? newWidth / w : 1.0;
    } else if (dy != 0) {
        sy = h > 0 ? newHeight / h : 1.0;
    }
    setFrameSize({newWidth, newHeight});
    if (shouldScaleBezierPath()) {
        SVGUtils::scaleBezierPathXByYBy(bezierPath() ? &*bezierPath() : nullptr, sx, sy);
    }
    temporallyMoveWithDiffXDiffY(moveX ? -dx : 0, moveY ? -dy : 0);
    setNeedsDisplay();
}

void TOVResizableFreeView::updateView() {
    TOVResizableView::updateView();
    if (shouldScaleBezierPath()) {
        fitBezierPathToFrame();
    }
    setNeedsDisplay();
}
