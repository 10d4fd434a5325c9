#include "glyphs/TOVResizableFixedView.h"

#include "glyphs/SVGUtils.h"
#include "glyphs/TOVObjectController.h"
#include "model/Symbol.h"

#include <cmath>

using platform::Point;
using platform::Rect;
using platform::Size;

TOVResizableFixedView::TOVResizableFixedView(const Rect& frame) : TOVResizableView(frame) {
    createHandleCells();
}

std::shared_ptr<TOVObjectView> TOVResizableFixedView::newInstanceWithFrame(const Rect& frame) const {
    return std::make_shared<TOVResizableFixedView>(frame);
}

void TOVResizableFixedView::createHandleCells() {
    removeAllHandleCells();
    for (int type = 0; type <= 3; ++type) {
        addHandleCell(type);
    }
}

void TOVResizableFixedView::mouseDragged(const platform::Event& event) {
    TOVResizeHandleCell* handle = resizingHandle();
    if (!handle) {
        TOVResizableView::mouseDragged(event);
        return;
    }
    const Point p = locationInSuperview(event);
    const Rect f = frame();
    double gx = 0;
    double gy = 0;
    bool moveX = false;
    bool moveY = false;
    switch (handle->handleType()) {
    case 0:
        gx = f.x() - p.x, gy = f.y() - p.y, moveX = true, moveY = true;
        break;
    case 1:
        gx = p.x - (f.x() + f.width()), gy = f.y() - p.y, moveY = true;
        break;
    case 2:
        gx = p.x - (f.x() + f.width()), gy = p.y - (f.y() + f.height());
        break;
    case 3:
        gx = f.x() - p.x, gy = p.y - (f.y() + f.height()), moveX = true;
        break;
    default:
        return;
    }
    const Size initial = symbolInitialSize();
    // A glyph without a natural size has no scale to change.
    if (!(initial.width > 0) || !(initial.height > 0)) {
        return;
    }
    // The axis with the smaller change drives the scale.
    double newScale = 0;
    double oldScale = 0;
    if (std::abs(gy) > std::abs(gx)) {
        newScale = (f.width() + gx) / initial.width;
        oldScale = f.width() / initial.width;
    } else {
        newScale = (f.height() + gy) / initial.height;
        oldScale = f.height() / initial.height;
    }
    if (delegate()) {
        delegate()->objectViewUnderResizingFixedWithDiffScaleMoveXMoveY(this, newScale - oldScale, moveX,
                                                                        moveY);
    } else {
        temporallyResizeWithDiffXDiffYMoveXMoveY(0, 0, moveX, moveY);
    }
}

void TOVResizableFixedView::temporallyResizeWithDiffScaleMoveXMoveY(double ds, bool moveX, bool moveY) {
    const Size initial = symbolInitialSize();
    const Size current = frame().size;
    if (!(initial.width > 0) || !(initial.height > 0) || !(current.width > 0)) {
        return;
    }
    const double scale = current.width / initial.width + ds;
    const double w = initial.width * scale;
    const double h = initial.height * scale;
    if (!(w >= kMinimumSize) || !(h >= kMinimumSize)) {
        return;
    }
    setFrameSize({w, h});
    if (shouldScaleBezierPath()) {
        const double factor = w / current.width;
        SVGUtils::scaleBezierPathXByYBy(bezierPath() ? &*bezierPath() : nullptr, factor, factor);
    }
    temporallyMoveWithDiffXDiffY(moveX ? -(w - current.width) : 0, moveY ? -(h - current.height) : 0);
    setNeedsDisplay();
}

void TOVResizableFixedView::updateView() {
    Symbol* model = symbol();
    if (model && model->scale() != 0) {
        const Size initial = model->initialSize();
        placeAtDataFrame(Rect(model->frame().origin,
                              Size{initial.width * model->scale(), initial.height * model->scale()}));
    } else {
        TOVResizableView::updateView();
    }
    if (shouldScaleBezierPath()) {
        fitBezierPathToFrame();
    }
    setNeedsDisplay();
}

void TOVResizableFixedView::completeChangingFrame() {
    const Size initial = symbolInitialSize();
    if (symbol() && initial.width > 0) {
        symbol()->setScale(frame().width() / initial.width);
    }
    TOVResizableView::completeChangingFrame();
}
