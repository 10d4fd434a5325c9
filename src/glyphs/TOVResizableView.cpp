#include "glyphs/TOVResizableView.h"

#include "glyphs/SVGUtils.h"
#include "model/Symbol.h"
#include "model/TOVUtils.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/Cursor.h"

using platform::Point;
using platform::Rect;
using platform::Size;

namespace {
constexpr double kInset = 0.1;
constexpr double kFarInset = TOVResizeHandleCell::kHandleSize + kInset;
constexpr double kHalfHandle = TOVResizeHandleCell::kHandleSize / 2;
} // namespace

TOVResizableView::TOVResizableView(const Rect& frame) : TOVMovableView(frame) {}

std::shared_ptr<TOVObjectView> TOVResizableView::newInstanceWithFrame(const Rect& frame) const {
    return std::make_shared<TOVResizableView>(frame);
}

Point TOVResizableView::handleOriginForType(int type, Size size) {
    const double w = size.width;
    const double h = size.height;
    switch (type) {
    case 0:
        return {kInset, kInset};
    case 1:
        return {w - kFarInset, kInset};
    case 2:
        return {w - kFarInset, h - kFarInset};
    case 3:
        return {kInset, h - kFarInset};
    case 4:
        return {w * 0.5 - kHalfHandle, kInset};
    case 6:
        return {w * 0.5 - kHalfHandle, h - kFarInset};
    case 7:
        return {kInset, h * 0.5 - kHalfHandle};
    case 5:
    case 8:
        return {w - kFarInset, h * 0.5 - kHalfHandle};
    default:
        return {};
    }
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

void TOVResizableView::drawRect(const Rect& dirty, platform::GraphicsContext& ctx) {
    TOVMovableView::drawRect(dirty, ctx);
    if (state() != 1) {
        return;
    }
    ctx.setColor(TOVUtils::objectSelectedColor());
    updatePositionOfHandleCells();
    for (const auto& cell : handleCellArray_) {
        cell->drawWithFrameInView(cell->frame(), ctx);
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
