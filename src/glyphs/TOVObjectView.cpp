#include "glyphs/TOVObjectView.h"

#include "glyphs/SVGUtils.h"
#include "glyphs/TOVObjectController.h"
#include "glyphs/TOVObjectViewOwner.h"
#include "model/Symbol.h"
#include "model/TOVUtils.h"
#include "platform/graphics/GraphicsContext.h"

#include <algorithm>

using platform::Point;
using platform::Rect;

TOVObjectView::TOVObjectView(const Rect& frame) : TOVEditorViewBase(frame), defaultViewSize_(frame.size) {}

void TOVObjectView::loadGlyphFromSVGFile(const std::string& svgFile) {
    bezierPath_ = SVGUtils::bezierPathFromSVGFile(svgFile);
    platform::Size size;
    if (bezierPath_) {
        SVGUtils::defaultScaleBezierPath(&*bezierPath_);
        size = bezierPath_->bounds().size;
    }
    setFrameSize(size);
    defaultViewSize_ = size;
}

std::shared_ptr<TOVObjectView> TOVObjectView::newInstanceWithFrame(const Rect& frame) const {
    return std::make_shared<TOVObjectView>(frame);
}

void TOVObjectView::copyFieldsInto(TOVObjectView& copy) const {
    copy.bezierPath_ = bezierPath_;
    copy.defaultViewSize_ = defaultViewSize_;
}

std::shared_ptr<TOVObjectView> TOVObjectView::clone() const {
    auto copy = newInstanceWithFrame(frame());
    copyFieldsInto(*copy);
    return copy;
}

void TOVObjectView::setState(int state) {
    state_ = state;
    setNeedsDisplay();
}

TOVObjectViewOwner* TOVObjectView::barViewBelongTo() const {
    return barView_.expired() ? nullptr : barViewOwner_;
}

TOVObjectViewOwner* TOVObjectView::editorViewBelongTo() const {
    return editorView_.expired() ? nullptr : editorViewOwner_;
}

void TOVObjectView::setOwner(std::weak_ptr<platform::View>& slot, TOVObjectViewOwner*& cached,
                             TOVObjectViewOwner* owner) {
    const TOVObjectViewOwner* current = slot.expired() ? nullptr : cached;
    if (owner == current) {
        return;
    }
    cached = owner;
    slot = owner ? owner->ownerView()->weak_from_this() : std::weak_ptr<platform::View>();
    delegate_ = owner ? owner->delegate() : nullptr;
}

void TOVObjectView::setBarViewBelongTo(TOVObjectViewOwner* owner) {
    setOwner(barView_, barViewOwner_, owner);
}

void TOVObjectView::setEditorViewBelongTo(TOVObjectViewOwner* owner) {
    setOwner(editorView_, editorViewOwner_, owner);
}

void TOVObjectView::setSymbol(Symbol* symbol) {
    if (symbol == symbol_) {
        return;
    }
    symbol_ = symbol;
    updateView();
}

void TOVObjectView::removeFromSuperview() {
    barView_.reset();
    barViewOwner_ = nullptr;
    toneCellBelongTo_ = nullptr;
    editorView_.reset();
    editorViewOwner_ = nullptr;
    delegate_ = nullptr;
    TOVEditorViewBase::removeFromSuperview();
}

platform::View* TOVObjectView::hitTest(Point pointInSuperview) {
    if (delegate_ && delegate_->objectViewInquireEditBarMode(this) != 0) {
        return nullptr;
    }
    return TOVEditorViewBase::hitTest(pointInSuperview);
}

void TOVObjectView::addSubviewWithAdjustPosition(std::shared_ptr<platform::View> view) {
    addSubview(std::move(view));
}

bool TOVObjectView::adjustFrameWithChildView(const platform::View& child) {
    const Rect before = frame();
    Rect own = before;
    Rect c = child.frame();
    auto shiftContents = [&](double dx, double dy) {
        for (const auto& sub : subviews()) {
            const Rect f = sub->frame();
            sub->setFrameOrigin({f.x() + dx, f.y() + dy});
        }
        SVGUtils::moveBezierPathXByYBy(bezierPath_ ? &*bezierPath_ : nullptr, dx, dy);
    };
    if (c.x() < 0) {
        own.size.width -= c.x();
        own.origin.x += c.x();
        shiftContents(-c.x(), 0);
        c = child.frame();
    }
    if (c.x() + c.width() > own.width()) {
        own.size.width = c.x() + c.width();
    }
    if (c.y() < 0) {
        own.size.height -= c.y();
        own.origin.y += c.y();
        shiftContents(0, -c.y());
        c = child.frame();
    }
    if (c.y() + c.height() > own.height()) {
        own.size.height = c.y() + c.height();
    }
    if (own == before) {
        return false;
    }
    setFrame(own);
    return true;
}

void TOVObjectView::makeSelfOnlySelectedOn() {
    makeSelfSelectedAndClearOthers(true);
}

void TOVObjectView::makeSelfSelectedAndClearOthers(bool clear) {
    if (delegate_) {
        delegate_->objectViewShouldBeSelectedAndClearOthers(this, clear);
    }
}

void TOVObjectView::makeSelfTargetOn() {
    if (delegate_) {
        delegate_->objectViewShouldBeTarget(this);
    }
}

void TOVObjectView::makeSelfTargetOff() {
    if (delegate_) {
        delegate_->objectViewShouldBeTarget(nullptr);
    }
}

Point TOVObjectView::originFromEditorView() const {
    const Point origin = frame().origin;
    const auto* holder = dynamic_cast<const TOVObjectViewOwner*>(superview());
    TOVObjectViewOwner* bar = barViewBelongTo();
    if (!holder || !holder->isEditorBarView() || !bar) {
        return origin;
    }
    return bar->ownerView()->convertPointToView(origin, bar->editorView());
}

int TOVObjectView::symbolType() const {
    return symbol_ ? symbol_->type() : 0;
}

void TOVObjectView::drawRect(const Rect&, platform::GraphicsContext& ctx) {
    switch (state_) {
    case 0:
        drawNormal(ctx);
        break;
    case 1:
        drawSelected(ctx);
        break;
    case 2:
        drawTarget(ctx);
        break;
    default:
        break;
    }
}

void TOVObjectView::drawBezierPath(platform::GraphicsContext& ctx) {
    if (bezierPath_) {
        ctx.fillPath(*bezierPath_);
    }
}

void TOVObjectView::drawNormal(platform::GraphicsContext& ctx) {
    ctx.setColor(TOVUtils::objectNormalColor());
    drawBezierPath(ctx);
}

void TOVObjectView::drawWithColorAndFrame(platform::GraphicsContext& ctx, const platform::Color& color) {
    drawSelectionMarks(ctx);
    if (shouldDrawFrameRect()) {
        // The frame is marked at its corners only, in the full colour: a selected symbol reads as
        // selected at any zoom, and a closed frame would close a chord "C" into an "O" where its ink meets
        // the frame's sides.
        ctx.setColor(color);
        const Rect b = bounds();
        const double arm = std::clamp(std::min(b.width(), b.height()) * 0.35, 1.5, 6.0);
        const double w = std::min(1.25, std::min(b.width(), b.height()) / 4);
        for (const double x : {b.minX(), b.maxX() - arm}) {
            ctx.fillRect(Rect(x, b.minY(), arm, w));
            ctx.fillRect(Rect(x, b.maxY() - w, arm, w));
        }
        for (const double y : {b.minY(), b.maxY() - arm}) {
            ctx.fillRect(Rect(b.minX(), y, w, arm));
            ctx.fillRect(Rect(b.maxX() - w, y, w, arm));
        }
        if (bezierPath_) {
            // A thin paper-white rim keeps the symbol's ink apart from the marks where it reaches them.
            platform::BezierPath rim = *bezierPath_;
            rim.setLineWidth(kSelectionRimWidth);
            ctx.setStrokeColor(platform::Color{1, 1, 1, 1});
            ctx.strokePath(rim);
        }
    }
    ctx.setColor(color);
    drawBezierPath(ctx);
}

void TOVObjectView::drawSelected(platform::GraphicsContext& ctx) {
    drawWithColorAndFrame(ctx, TOVUtils::objectSelectedColor());
}

void TOVObjectView::drawTarget(platform::GraphicsContext& ctx) {
    drawWithColorAndFrame(ctx, TOVUtils::objectTargetColor());
}
