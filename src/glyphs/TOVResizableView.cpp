#include "glyphs/TOVResizableView.h"

#include "glyphs/SVGUtils.h"
#include "model/Symbol.h"
#include "model/TOVUtils.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/Cursor.h"

#include <algorithm>

using platform::Point;
using platform::Rect;
using platform::Size;

namespace {
constexpr double kInset = 0.1;
// The least side a handle is drawn with on a small view.
constexpr double kLeastDrawnHandle = 1.5;
} // namespace

TOVResizableView::TOVResizableView(const Rect& frame) : TOVMovableView(frame) {}

std::shared_ptr<TOVObjectView> TOVResizableView::newInstanceWithFrame(const Rect& frame) const {
    return std::make_shared<TOVResizableView>(frame);
}

Point TOVResizableView::handleOriginForType(int type, Size size, double side) {
    const double w = size.width;
    const double h = size.height;
    const double far = side + kInset;
    const double half = side / 2;
    switch (type) {
    case 0:
        return {kInset, kInset};
    case 1:
        return {w - far, kInset};
    case 2:
        return {w - far, h - far};
    case 3:
        return {kInset, h - far};
    case 4:
        return {w * 0.5 - half, kInset};
    case 6:
        return {w * 0.5 - half, h - far};
    case 7:
        return {kInset, h * 0.5 - half};
    case 5:
    case 8:
        return {w - far, h * 0.5 - half};
    default:
        return {};
    }
}

double TOVResizableView::drawnHandleSideForSize(Size size) {
    const double shorter = std::min(size.width, size.height);
    return std::clamp(shorter / 5.0, kLeastDrawnHandle, TOVResizeHandleCell::kHandleSize);
}

void TOVResizableView::updatePositionOfHandleCells() {
    const Size size = bounds().size;
    for (const auto& cell : handleCellArray_) {
        cell->moveCell(handleOriginForType(cell->handleType(), size));
    }
}

void TOVResizableView::setState(int state) {
    TOVMovableView::setState(state);
    if (state == 1) {
        invalidateCursorRects();
    }
}

void TOVResizableView::resetCursorRects() {
    if (this->state() != 1) {
        return;
    }
    // The cells are placed when a selected view is drawn; the areas may be asked for before that.
    updatePositionOfHandleCells();
    for (const auto& cell : handleCellArray_) {
        if (auto cursor = TOVUtils::cursorForResizeHandle(cell->handleType())) {
            addCursorRect(cell->frame(), *cursor);
        }
    }
}

void TOVResizableView::mouseDown(const platform::Event& event) {
    resizingHandle_.reset();
    const Point p = convertPointFromView(event.locationInWindow(), nullptr);
    for (const auto& cell : handleCellArray_) {
        if (cell->hitTestInFrame(p)) {
            resizingHandle_ = cell;
            return;
        }
    }
    TOVMovableView::mouseDown(event);
}

void TOVResizableView::mouseUp(const platform::Event& event) {
    TOVMovableView::mouseUp(event);
    if (!resizingHandle_.expired()) {
        resizingHandle_.reset();
        completeThroughDelegate();
    }
}

void TOVResizableView::drawSelectionMarks(platform::GraphicsContext& ctx) {
    if (state() != 1) {
        return;
    }
    updatePositionOfHandleCells();
    // On a short symbol (a chord "C") full-size handles would cover most of the glyph: they are drawn
    // smaller there, at the same corners and edges, under the symbol's ink, and still take clicks over
    // their whole frame.
    const Size size = bounds().size;
    const double side = drawnHandleSideForSize(size);
    for (const auto& cell : handleCellArray_) {
        cell->drawWithFrameInView(Rect(handleOriginForType(cell->handleType(), size, side), Size{side, side}),
                                  ctx);
    }
}

void TOVResizableView::fitBezierPathToFrame() {
    auto& path = bezierPath();
    if (!path) {
        return;
    }
    const Size box = path->bounds().size;
    const Size size = frame().size;
    const double sx = box.width > 0 && size.width > 0 ? size.width / box.width : 1.0;
    const double sy = box.height > 0 && size.height > 0 ? size.height / box.height : 1.0;
    if (sx != 1.0 || sy != 1.0) {
        SVGUtils::scaleBezierPathXByYBy(&*path, sx, sy);
    }
}

Size TOVResizableView::symbolInitialSize() const {
    return symbol() ? symbol()->initialSize() : Size();
}
