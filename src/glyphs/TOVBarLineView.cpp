#include "glyphs/TOVBarLineView.h"

#include "glyphs/SVGUtils.h"
#include "glyphs/TOVBarLineViewDelegate.h"
#include "glyphs/TOVObjectController.h"
#include "glyphs/TOVObjectViewFactory.h"
#include "model/TOVSymbolTypes.h"
#include "model/TOVUtils.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/DraggingInfo.h"
#include "platform/ui/Event.h"

#include <optional>
#include <span>

using platform::BezierPath;
using platform::Point;
using platform::Rect;

namespace {

// The staff of one line, from its top line to its bottom line.
constexpr double kStaffHalf = 11.8;
// Width of a thick part and of a thin band.
constexpr double kThick = 2.0;
constexpr double kThin = 0.2;
constexpr double kDot = 3.0;

} // namespace

std::shared_ptr<TOVBarLineView> TOVBarLineView::withFrame(const Rect& frame) {
    Rect placed = frame;
    if (placed.width() == 0) {
        placed.size.width = kDefaultWidth;
    }
    auto view = std::make_shared<TOVBarLineView>(placed);
    view->registerForDraggedTypes({kPaletteDragType});
    return view;
}

std::shared_ptr<TOVObjectView> TOVBarLineView::newInstanceWithFrame(const Rect& frame) const {
    return withFrame(frame);
}

void TOVBarLineView::setBarLineType(int type) {
    if (type == barLineType_) {
        return;
    }
    barLineType_ = type;
    setNeedsDisplay();
}

void TOVBarLineView::setCanMoveXpos(bool canMove) {
    if (canMove == canMoveXpos_) {
        return;
    }
    canMoveXpos_ = canMove;
    invalidateCursorRects();
    resetCursorRects();
}

void TOVBarLineView::updateView() {
    if (barLineViewDelegate_ != nullptr) {
        setBarLineType(barLineViewDelegate_->barLineViewInquireBarlineType(this));
    }
}

void TOVBarLineView::removeFromSuperview() {
    barLineViewDelegate_ = nullptr;
    TOVObjectView::removeFromSuperview();
}

// ---- Outline --------------------------------------------------------------------------------------------

bool TOVBarLineView::isFilledKind(int type) {
    return type >= TOVBarlineGreatDouble && type <= TOVBarlineRepeatBoth;
}

void TOVBarLineView::appendBand(BezierPath& path, double x, double width) const {
    const double o = barOffsetY_;
    path.appendRect(Rect(x, o, width, bounds().height() - 2 * o));
}

void TOVBarLineView::appendDots(BezierPath& path, double x) const {
    const double o = barOffsetY_;
    const double h = bounds().height();
    path.appendOvalInRect(Rect(x, o + 7.35, kDot, kDot));
    path.appendOvalInRect(Rect(x, o + 13.25, kDot, kDot));
    if (doublePart_) {
        path.appendOvalInRect(Rect(x, h - o - 16.25, kDot, kDot));
        path.appendOvalInRect(Rect(x, h - o - 10.35, kDot, kDot));
    }
}

void TOVBarLineView::appendThickPart(BezierPath& path, double x, bool leftOfDots) const {
    const double o = barOffsetY_;
    const double h = bounds().height();
    TOVObjectViewFactory* factory =
        TOVUtils::notationTypeBarline() == 0 ? TOVUtils::objectViewFactory() : nullptr;
    std::optional<BezierPath> upper;
    std::optional<BezierPath> lower;
    if (factory != nullptr) {
        const std::string side = leftOfDots ? "barlinesRepeatLeft" : "barlinesRepeatRight";
        upper = factory->bezierPathFromBarlineRepeatResourceNameFontID(side + "Upper", "Default");
        lower = factory->bezierPathFromBarlineRepeatResourceNameFontID(side + "Lower", "Default");
    }
    if (!upper || !lower || upper->isEmpty() || lower->isEmpty()) {
        // The plain notation, and also what stands in for glyphs that could not be read.
        appendBand(path, x, kThick);
        return;
    }
    // The left glyphs start at the thick part's x; the right ones end at its right edge.
    const double dx = leftOfDots ? x : x - upper->bounds().width() + kThick;
    SVGUtils::moveBezierPathXByYBy(&*upper, dx, o + kStaffHalf - upper->bounds().height() + 12.0);
    SVGUtils::moveBezierPathXByYBy(&*lower, dx, h - o - kStaffHalf - 12.0);
    path.appendPath(*upper);
    path.appendPath(*lower);
    const double top = upper->bounds().maxY();
    const double bottom = lower->bounds().y();
    path.moveTo(Point{x, top});
    path.lineTo(Point{x + kThick, top});
    path.lineTo(Point{x + kThick, bottom});
    path.lineTo(Point{x, bottom});
    path.closePath();
}

BezierPath TOVBarLineView::makeBarlinePath() const {
    BezierPath path;
    const double o = barOffsetY_;
    const double h = bounds().height();
    const double w = bounds().width();
    double shift = 0;
    switch (barLineType_) {
    case TOVBarlineSingle:
    case TOVBarlineDotted:
    case TOVBarlineTransparent:
        path.setLineWidth(kThin);
        if (barLineType_ == TOVBarlineDotted) {
            path.setLineDash({1.1, 1.0}, 0);
        }
        path.moveTo(Point{0, o});
        path.lineTo(Point{0, h - o});
        break;
    case TOVBarlineGreatDouble:
        appendBand(path, 0, kThin);
        appendBand(path, 1.7, 1.5);
        break;
    case TOVBarlineDouble:
        appendBand(path, 0, kThin);
        appendBand(path, 1.7, kThin);
        break;
    case TOVBarlineRepeatForward:
        appendThickPart(path, 0, true);
        appendBand(path, 3.5, kThin);
        appendDots(path, 5.2);
        break;
    case TOVBarlineRepeatBackward:
        appendDots(path, 0);
        appendBand(path, 4.5, kThin);
        appendThickPart(path, 6.2, false);
        break;
    case TOVBarlineRepeatBoth:
        appendDots(path, 0);
        appendBand(path, 4.5, kThin);
        appendThickPart(path, 6.2, false);
        appendThickPart(path, 9.2, true);
        appendBand(path, 12.7, kThin);
        appendDots(path, 14.4);
        break;
    default:
        return path;
    }
    const double pathWidth = path.bounds().width();
    switch (barLineType_) {
    case TOVBarlineRepeatForward:
        // The repeat stands in the bar on the barline's right.
        shift = w * 0.5;
        break;
    case TOVBarlineRepeatBackward:
        // ... and in the bar on its left.
        shift = w * 0.5 - pathWidth;
        break;
    default:
        shift = (w - pathWidth) * 0.5;
        break;
    }
    SVGUtils::moveBezierPathXByYBy(&path, shift, 0);
    return path;
}

double TOVBarLineView::offsetX() const {
    return makeBarlinePath().bounds().x();
}

void TOVBarLineView::drawRect(const Rect& dirty, platform::GraphicsContext& ctx) {
    if (barLineType_ == 0) {
        // A prototype straight from its glyph file draws that outline.
        TOVObjectView::drawRect(dirty, ctx);
        return;
    }
    if (barLineType_ < TOVBarlineSingle || barLineType_ > TOVBarlineRepeatBoth) {
        // The invisible kind still has its outline (offsetX) but paints nothing.
        return;
    }
    const BezierPath path = makeBarlinePath();
    const platform::Color color = state() == 1   ? TOVUtils::objectSelectedColor()
                                  : state() == 2 ? TOVUtils::objectTargetColor()
                                                 : TOVUtils::objectNormalColor();
    if (isFilledKind(barLineType_)) {
        ctx.setFillColor(color);
        ctx.fillPath(path);
    } else {
        ctx.setStrokeColor(color);
        ctx.strokePath(path);
    }
}

// ---- Move handle ----------------------------------------------------------------------------------------

void TOVBarLineView::resetCursorRects() {
    discardCursorRects();
    if (!canMoveXpos_) {
        moveHandleRect_ = Rect();
        return;
    }
    const double o = barOffsetY_;
    moveHandleRect_ =
        Rect((bounds().width() - kMoveHandleWidth) * 0.5, o, kMoveHandleWidth, bounds().height() - 2 * o);
    addCursorRect(moveHandleRect_, platform::Cursor::resizeLeftRight());
}

bool TOVBarLineView::hitTestMoveHandleInPoint(Point p) const {
    const Rect& r = moveHandleRect_;
    // The platform's mouse-in-rectangle test: left and top edges in, right and bottom out.
    return !r.isEmpty() && p.x >= r.x() && p.x < r.maxX() && p.y >= r.y() && p.y < r.maxY();
}

platform::View* TOVBarLineView::hitTest(Point pointInSuperview) {
    const Point p =
        superview() != nullptr ? convertPointFromView(pointInSuperview, superview()) : pointInSuperview;
    return hitTestMoveHandleInPoint(p) ? this : nullptr;
}

namespace {
Point inSuperview(const platform::View& view, const platform::Event& event) {
    const platform::View* parent = view.superview();
    return parent ? parent->convertPointFromView(event.locationInWindow(), nullptr)
                  : event.locationInWindow();
}
} // namespace

void TOVBarLineView::mouseDown(const platform::Event& event) {
    if (hitTestMoveHandleInPoint(convertPointFromView(event.locationInWindow(), nullptr))) {
        isMoving_ = true;
        lastMovedLocation_ = inSuperview(*this, event);
        dragStartXPos_ = lastMovedLocation_.x;
        return;
    }
    TOVObjectView::mouseDown(event);
}

void TOVBarLineView::mouseDragged(const platform::Event& event) {
    if (!isMoving_) {
        TOVObjectView::mouseDragged(event);
        return;
    }
    const Point p = inSuperview(*this, event);
    const double dx = p.x - lastMovedLocation_.x;
    if (barLineViewDelegate_ != nullptr) {
        barLineViewDelegate_->barLineViewRequireMoveX(this, dx);
    } else {
        setFrameOrigin(Point{frame().x() + dx, frame().y()});
    }
    // The real mouse position, also when the move was clamped: turning back moves the barline back at once.
    lastMovedLocation_ = p;
}

void TOVBarLineView::mouseUp(const platform::Event& event) {
    if (!isMoving_) {
        TOVObjectView::mouseUp(event);
        return;
    }
    isMoving_ = false;
    if (barLineViewDelegate_ != nullptr) {
        barLineViewDelegate_->barLineViewDidMoveX(this, lastMovedLocation_.x - dragStartXPos_);
    }
}

// ---- Barline drops --------------------------------------------------------------------------------------

namespace {
// The barline kind a palette drag carries: the number archived under "itemType"; none for other drags.
std::optional<int> barlineItem(const platform::DraggingInfo& info) {
    if (!info.hasType(TOVBarLineView::kPaletteDragType)) {
        return std::nullopt;
    }
    const QByteArray bytes = info.dataForType("itemType");
    const auto number = platform::KeyedUnarchiver::unarchivedNumber(std::span<const std::uint8_t>(
        reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size())));
    return number ? static_cast<int>(*number) : 0;
}
} // namespace

bool TOVBarLineView::acceptsBarlineType(int type) const {
    if (type < TOVBarlineSingle || type > TOVBarlineTransparent || type == barLineType_) {
        return false;
    }
    return type != TOVBarlineGreatDouble || acceptGreatDoubleBar();
}

platform::DragOperation TOVBarLineView::draggingEntered(const platform::DraggingInfo& info) {
    const auto item = barlineItem(info);
    if (!item) {
        return platform::DragOperationNone;
    }
    platform::DragOperation answer = platform::DragOperationNone;
    if (acceptsBarlineType(*item)) {
        makeSelfTargetOn();
        answer = platform::DragOperationCopy;
    }
    if (barLineViewDelegate_ != nullptr) {
        barLineViewDelegate_->barLineViewSymbolPaletteDragEnteredDraggingInfo(this, *item, info);
    }
    return answer;
}

platform::DragOperation TOVBarLineView::draggingUpdated(const platform::DraggingInfo& info) {
    const auto item = barlineItem(info);
    if (!item || !acceptsBarlineType(*item)) {
        return platform::DragOperationNone;
    }
    makeSelfTargetOn();
    return platform::DragOperationCopy;
}

void TOVBarLineView::draggingExited(const platform::DraggingInfo& info) {
    const auto item = barlineItem(info);
    if (!item) {
        return;
    }
    makeSelfTargetOff();
    if (barLineViewDelegate_ != nullptr) {
        barLineViewDelegate_->barLineViewSymbolPaletteDragExitedDraggingInfo(this, *item, info);
    }
}

bool TOVBarLineView::performDragOperation(const platform::DraggingInfo& info) {
    const auto item = barlineItem(info);
    if (!item) {
        return false;
    }
    const bool accepted = acceptsBarlineType(*item);
    if (accepted) {
        setBarLineType(*item);
        makeSelfTargetOff();
        setNeedsDisplay();
        if (*item == TOVBarlineGreatDouble && delegate() != nullptr) {
            // The song ends at the bar before this barline; that may rebuild the views, this one with them,
            // and the line view then no longer hears of the drop below.
            delegate()->greatDoubleBarLineDidInserted(this);
        }
    }
    // The line view stores the kind in the model, also when this view refused it.
    if (barLineViewDelegate_ != nullptr) {
        barLineViewDelegate_->barLineViewSymbolPaletteDragPerformedDraggingInfo(this, *item, info);
    }
    return accepted;
}
