#include "layout/TOVObjectsFrameView.h"

#include "glyphs/TOVMovableView.h"
#include "glyphs/TOVObjectView.h"
#include "glyphs/TOVResizableFixedView.h"
#include "glyphs/TOVResizableFreeView.h"
#include "glyphs/TOVResizableView.h"
#include "glyphs/TOVResizeHandleCell.h"
#include "glyphs/TOVRotateHandleCell.h"
#include "model/Symbol.h"
#include "model/TOVSymbolTypes.h"
#include "model/TOVUtils.h"
#include "platform/graphics/GraphicsContext.h"

#include <algorithm>
#include <cmath>
#include <numbers>

using platform::Point;
using platform::Rect;
using platform::Size;

namespace {

constexpr int kFixed = TOVObjectsFrameView::kMovable | TOVObjectsFrameView::kResizable; // 48
constexpr int kFreeSet = kFixed | TOVObjectsFrameView::kFree;                           // 49
constexpr int kRotating = kFixed | TOVObjectsFrameView::kRotatable;                     // 112
constexpr int kRotatingFree = kRotating | TOVObjectsFrameView::kFree;                   // 113
constexpr int kPivotType = 7;
constexpr int kRotateType = 8;

// The corner or edge point that a handle drags, in a frame of the size.
Point handleAnchor(int type, Size size) {
    const double w = size.width;
    const double h = size.height;
    switch (type) {
    case 0:
        return {0, 0};
    case 1:
        return {w, 0};
    case 2:
        return {w, h};
    case 3:
        return {0, h};
    case 4:
        return {w * 0.5, 0};
    case 6:
        return {w * 0.5, h};
    case 7:
        return {0, h * 0.5};
    case 5:
    case 8:
        return {w, h * 0.5};
    default:
        return {};
    }
}

} // namespace

TOVObjectsFrameView::TOVObjectsFrameView(ViewSet selectedViews) : TOVEditorViewBase(Rect()) {
    setSelectedViews(std::move(selectedViews));
    createHandleCells();
}

TOVObjectsFrameView::~TOVObjectsFrameView() = default;

void TOVObjectsFrameView::setSelectedViews(ViewSet views) {
    if (views == selectedViews_) {
        return;
    }
    selectedViews_ = std::move(views);
    updateObjectsType();
    updateFrame();
}

void TOVObjectsFrameView::updateObjectsType() {
    int type = 0;
    for (const auto& view : selectedViews_) {
        const int symbolType = view->symbolType();
        if (symbolType == TOVToolArrow || symbolType == TOVToolLine) {
            type = type == 0 ? kRotating : kMovable;
        } else if (symbolType == TOVToolWave || symbolType == TOVSymbolSlur) {
            type = type == 0 ? kRotatingFree : kMovable;
        } else if (dynamic_cast<TOVResizableFixedView*>(view.get()) != nullptr) {
            type = type == 0 || type == kFixed ? kFixed : kMovable;
        } else if (dynamic_cast<TOVResizableFreeView*>(view.get()) != nullptr) {
            type = type == 0 || type == kFreeSet ? kFreeSet : kMovable;
        } else if (dynamic_cast<TOVMovableView*>(view.get()) != nullptr) {
            type = kMovable;
        } else {
            // One view that cannot move keeps the whole set still.
            type = 0;
            break;
        }
    }
    objectsType_ = type;
}

void TOVObjectsFrameView::updateFrame() {
    Rect united;
    for (const auto& view : selectedViews_) {
        united = united.unionWith(view->frame());
    }
    setFrame(united);
    if ((objectsType_ == kRotating || objectsType_ == kRotatingFree) && !selectedViews_.empty()) {
        const Symbol* symbol = selectedViews_.front()->symbol();
        setFrameRotation(symbol != nullptr ? symbol->angle() : 0.0);
    }
}

void TOVObjectsFrameView::addHandleCell(int type) {
    const Rect frame(0, 0, TOVResizeHandleCell::kHandleSize, TOVResizeHandleCell::kHandleSize);
    if (type == kRotateType) {
        handleCellArray_.push_back(std::make_shared<TOVRotateHandleCell>(frame, type));
    } else {
        handleCellArray_.push_back(std::make_shared<TOVResizeHandleCell>(frame, type));
    }
}

void TOVObjectsFrameView::createHandleCells() {
    handleCellArray_.clear();
    std::vector<int> types;
    switch (objectsType_) {
    case kFixed:
        types = {0, 1, 2, 3};
        break;
    case kFreeSet:
        types = {4, 5, 6, 7};
        break;
    case kRotating:
        types = {kRotateType, kPivotType};
        break;
    case kRotatingFree:
        types = {4, kRotateType, 6, kPivotType};
        break;
    default:
        break;
    }
    for (int type : types) {
        addHandleCell(type);
    }
    updatePositionOfHandleCells();
    invalidateCursorRects();
}

void TOVObjectsFrameView::updatePositionOfHandleCells() {
    const Size size = bounds().size;
    for (const auto& cell : handleCellArray_) {
        cell->moveCell(TOVResizableView::handleOriginForType(cell->handleType(), size));
    }
}

void TOVObjectsFrameView::resetCursorRects() {
    updatePositionOfHandleCells();
    for (const auto& cell : handleCellArray_) {
        if (auto cursor = TOVUtils::cursorForResizeHandle(cell->handleType())) {
            addCursorRect(cell->frame(), *cursor);
        }
    }
}

// --- Changing the frame ---

void TOVObjectsFrameView::temporallyMoveWithDiffXDiffY(double dx, double dy) {
    const Rect f = frame();
    setFrameOrigin(Point{f.origin.x + dx, f.origin.y + dy});
    for (const auto& view : selectedViews_) {
        if (auto* movable = dynamic_cast<TOVMovableView*>(view.get())) {
            movable->temporallyMoveWithDiffXDiffY(dx, dy);
        }
    }
}

void TOVObjectsFrameView::temporallyResizeWithDiffWidthDiffHeight(double dw, double dh) {
    const Size size = frame().size;
    setFrameSize(Size{size.width + dw, size.height + dh});
    for (const auto& view : selectedViews_) {
        if (auto* movable = dynamic_cast<TOVMovableView*>(view.get())) {
            movable->temporallyMoveWithDiffXDiffY(dw, dh);
        }
    }
}

void TOVObjectsFrameView::completeChangingFrame() {
    for (const auto& view : selectedViews_) {
        if (auto* movable = dynamic_cast<TOVMovableView*>(view.get())) {
            movable->completeChangingFrame();
        }
    }
}

// --- Mouse ---

Point TOVObjectsFrameView::locationInSuperview(const platform::Event& event) const {
    const platform::View* parent = superview();
    return parent != nullptr ? parent->convertPointFromView(event.locationInWindow(), nullptr)
                             : event.locationInWindow();
}

Point TOVObjectsFrameView::draggedHandlePoint(const platform::Event& event) const {
    const Point p = convertPointFromView(event.locationInWindow(), nullptr);
    return Point{p.x + grabOffset_.x, p.y + grabOffset_.y};
}

void TOVObjectsFrameView::mouseDown(const platform::Event& event) {
    isMoving_ = false;
    activeHandle_.reset();
    updatePositionOfHandleCells();
    const Point p = convertPointFromView(event.locationInWindow(), nullptr);
    for (const auto& cell : handleCellArray_) {
        if (cell->hitTestInFrame(p)) {
            activeHandle_ = cell;
            const Point anchor = handleAnchor(cell->handleType(), bounds().size);
            grabOffset_ = Point{anchor.x - p.x, anchor.y - p.y};
            return;
        }
    }
    if ((objectsType_ & kMovable) != 0) {
        isMoving_ = true;
        lastMovedLocation_ = locationInSuperview(event);
    }
}

void TOVObjectsFrameView::mouseDragged(const platform::Event& event) {
    if (isMoving_) {
        mouseDraggedForMoving(event);
        return;
    }
    if (!activeHandle_) {
        return;
    }
    switch (objectsType_) {
    case kFixed:
        mouseDraggedForResizingFixed(event);
        break;
    case kFreeSet:
        mouseDraggedForResizingFree(event);
        break;
    case kRotating:
    case kRotatingFree:
        if (activeHandle_->handleType() != kRotateType) {
            mouseDraggedForResizingFree(event);
        } else if (objectsType_ == kRotating) {
            mouseDraggedForRotating2Handles(event);
        } else {
            mouseDraggedForRotating4Handles(event);
        }
        break;
    default:
        break;
    }
}

void TOVObjectsFrameView::mouseUp(const platform::Event&) {
    if (activeHandle_ || isMoving_) {
        completeChangingFrame();
    }
    activeHandle_.reset();
    isMoving_ = false;
}

void TOVObjectsFrameView::mouseDraggedForMoving(const platform::Event& event) {
    const Point p = locationInSuperview(event);
    temporallyMoveWithDiffXDiffY(p.x - lastMovedLocation_.x, p.y - lastMovedLocation_.y);
    lastMovedLocation_ = p;
}

void TOVObjectsFrameView::mouseDraggedForResizingFixed(const platform::Event& event) {
    if (!activeHandle_) {
        return;
    }
    const int type = activeHandle_->handleType();
    const Size size = frame().size;
    if (size.width <= 0 || size.height <= 0) {
        // Nothing to scale from.
        return;
    }
    const Point t = draggedHandlePoint(event);
    const bool right = type == 1 || type == 2;
    const bool bottom = type == 2 || type == 3;
    // How far the corner is pulled outwards along each axis.
    const double growX = right ? t.x - size.width : -t.x;
    const double growY = bottom ? t.y - size.height : -t.y;
    const double scale = std::fabs(growX) < std::fabs(growY) ? (size.width + growX) / size.width
                                                             : (size.height + growY) / size.height;
    const Size scaled{size.width * scale, size.height * scale};
    if (!(scaled.width >= kMinimumSize) || !(scaled.height >= kMinimumSize)) {
        return;
    }
    const double dw = scaled.width - size.width;
    const double dh = scaled.height - size.height;
    temporallyResizeWithDiffWidthDiffHeight(dw, dh);
    // The opposite corner stays put.
    const double mx = right ? 0.0 : -dw;
    const double my = bottom ? 0.0 : -dh;
    if (mx != 0.0 || my != 0.0) {
        temporallyMoveWithDiffXDiffY(mx, my);
    }
}

void TOVObjectsFrameView::mouseDraggedForResizingFree(const platform::Event& event) {
    if (!activeHandle_) {
        return;
    }
    const int type = activeHandle_->handleType();
    const Size size = frame().size;
    const Point t = draggedHandlePoint(event);
    double dw = 0;
    double dh = 0;
    switch (type) {
    case 4:
        dh = -t.y;
        break;
    case 6:
        dh = t.y - size.height;
        break;
    case 5:
        dw = t.x - size.width;
        break;
    case 7:
        dw = -t.x;
        break;
    default:
        return;
    }
    if (size.width + dw < kMinimumSize || size.height + dh < kMinimumSize) {
        return;
    }
    temporallyResizeWithDiffWidthDiffHeight(dw, dh);
    if (type == 4) {
        temporallyMoveWithDiffXDiffY(0, -dh);
    } else if (type == 7) {
        temporallyMoveWithDiffXDiffY(-dw, 0);
    }
}

void TOVObjectsFrameView::mouseDraggedForRotating2Handles(const platform::Event& event) {
    rotate(event);
}

void TOVObjectsFrameView::mouseDraggedForRotating4Handles(const platform::Event& event) {
    rotate(event);
}

Point TOVObjectsFrameView::pivotInSuperview() const {
    for (const auto& cell : handleCellArray_) {
        if (cell->handleType() == kPivotType) {
            return convertPointToView(cell->frame().origin, superview());
        }
    }
    return convertPointToView(Point{}, superview());
}

void TOVObjectsFrameView::rotate(const platform::Event& event) {
    updatePositionOfHandleCells();
    const Point pivot = pivotInSuperview();
    const Point p = locationInSuperview(event);
    const double dx = p.x - pivot.x;
    const double dy = p.y - pivot.y;
    const double radians = std::atan2(dy, dx);
    // The pointer's distance from the pivot: measured directly, it stays finite when the pointer lies
    // level with the pivot or on it.
    const double width = std::max(kMinimumRotatedWidth, std::hypot(dx, dy));
    setFrameSize(Size{width, frame().height()});
    setFrameRotation(radians * 180.0 / std::numbers::pi);
    updatePositionOfHandleCells();
    const Point moved = pivotInSuperview();
    const Point origin = frame().origin;
    setFrameOrigin(Point{origin.x + pivot.x - moved.x, origin.y + pivot.y - moved.y});
}

// --- Drawing ---

void TOVObjectsFrameView::drawRect(const Rect&, platform::GraphicsContext& ctx) {
    if (objectsType_ == kMovable || objectsType_ == kFixed || objectsType_ == kFreeSet) {
        ctx.setColor(TOVUtils::objectSelectedColor());
        ctx.frameRect(bounds(), 1.0);
    }
    updatePositionOfHandleCells();
    for (const auto& cell : handleCellArray_) {
        cell->drawWithFrameInView(cell->frame(), ctx);
    }
}
