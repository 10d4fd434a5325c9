#include "glyphs/TOVLongRestView.h"

#include "glyphs/SVGUtils.h"
#include "glyphs/TOVObjectController.h"
#include "glyphs/TOVObjectViewFactory.h"
#include "glyphs/TOVObjectViewOwner.h"
#include "model/Bar.h"
#include "model/Document.h"
#include "model/Line.h"
#include "model/Page.h"
#include "model/TOVStaffMetrics.h"
#include "model/TOVUtils.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/Event.h"

using platform::Point;
using platform::Rect;

namespace {

constexpr double kEndInset = 5.0;
constexpr double kDigitScale = 2.0;

// The notation font of the bar's document; empty for a bar outside a song, which "Default" then serves.
std::string fontIDOfBar(const Bar* bar) {
    const Line* line = bar ? bar->line() : nullptr;
    const Page* page = line ? line->page() : nullptr;
    const Document* document = page ? page->document() : nullptr;
    return document ? document->plugInFontID().toStdString() : std::string();
}

void strokeSegment(platform::BezierPath& path, double fromX, double fromY, double toX, double toY) {
    path.moveTo({fromX, fromY});
    path.lineTo({toX, toY});
}

} // namespace

std::shared_ptr<TOVObjectView> TOVLongRestView::newInstanceWithFrame(const Rect& frame) const {
    return std::make_shared<TOVLongRestView>(frame);
}

void TOVLongRestView::mouseDown(const platform::Event& event) {
    if (event.clickCount() == 2 && delegate()) {
        delegate()->longRestViewDidDoulbleClick(this);
        return;
    }
    TOVSelectableView::mouseDown(event);
}

void TOVLongRestView::adjustSelfOrigin() {
    TOVObjectViewOwner* owner = barViewBelongTo();
    platform::View* editor = owner ? owner->editorView() : nullptr;
    if (!owner || !editor) {
        return;
    }
    const Rect area = owner->rectangleNotesArea();
    const Rect target(area.x(), owner->posY5LinesTop() + TOVStaffSpace, area.width(), 2 * TOVStaffSpace);
    const Rect placed(owner->ownerView()->convertPointToView(target.origin, editor), target.size);
    if (placed != frame()) {
        setFrame(placed);
    }
}

void TOVLongRestView::updateView() {
    adjustSelfOrigin();
    setNeedsDisplay();
}

void TOVLongRestView::drawRect(const Rect& dirty, platform::GraphicsContext& ctx) {
    TOVSelectableView::drawRect(dirty, ctx);
    TOVObjectViewOwner* owner = barViewBelongTo();
    const Bar* bar = owner ? owner->bar() : nullptr;
    const double w = bounds().width();
    const double h = bounds().height();

    platform::BezierPath digits;
    TOVObjectViewFactory* factory = TOVUtils::objectViewFactory();
    if (bar && factory) {
        if (auto number =
                factory->bezierPathFromNumberDigitsCircleFontID(bar->longRest(), false, fontIDOfBar(bar))) {
            digits = std::move(*number);
        }
    }
    SVGUtils::scaleBezierPathXByYBy(&digits, kDigitScale, kDigitScale);
    const Rect digitBox = digits.isEmpty() ? Rect() : digits.bounds();
    const double dx = (w - digitBox.width()) / 2;
    SVGUtils::moveBezierPathXByYBy(&digits, dx, (h - digitBox.height()) / 2);

    platform::BezierPath ends;
    strokeSegment(ends, kEndInset, 0, kEndInset, h);
    strokeSegment(ends, w - kEndInset, 0, w - kEndInset, h);
    ends.setLineWidth(2.0);
    ends.setLineCapStyle(platform::LineCap::Round);

    // The thick bar leaves a gap around the number; a half that has no room left is not drawn backwards
    // over the digits.
    platform::BezierPath rest;
    const double leftEnd = dx - kEndInset;
    const double rightStart = dx + digitBox.width() + kEndInset;
    if (leftEnd > kEndInset) {
        strokeSegment(rest, kEndInset, h / 2, leftEnd, h / 2);
    }
    if (rightStart < w - kEndInset) {
        strokeSegment(rest, rightStart, h / 2, w - kEndInset, h / 2);
    }
    rest.setLineWidth(4.0);
    rest.setLineCapStyle(platform::LineCap::Butt);

    ctx.setColor(state() == 1 ? TOVUtils::objectSelectedColor() : TOVUtils::objectNormalColor());
    ctx.strokePath(ends);
    if (!rest.isEmpty()) {
        ctx.strokePath(rest);
    }
    if (!digits.isEmpty()) {
        ctx.fillPath(digits);
    }
}
