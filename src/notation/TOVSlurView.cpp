#include "notation/TOVSlurView.h"

#include "glyphs/TOVToolViewPlacement.h"
#include "model/Symbol.h"
#include "notation/TOVNoteTieView.h"
#include "platform/graphics/GraphicsContext.h"

using platform::Point;
using platform::Rect;

namespace {
// The room the curve leaves at its ends and on the side it bends towards.
constexpr double kMargin = 2.0;
} // namespace

std::shared_ptr<TOVObjectView> TOVSlurView::newInstanceWithFrame(const Rect& frame) const {
    return std::make_shared<TOVSlurView>(frame);
}

Point TOVSlurView::convertPointFromViewOriginToDataOrigin(Point point) const {
    return TOVObjectViewToneCell::viewOriginToDataOrigin(toneCellBelongTo(), point);
}

Point TOVSlurView::convertPointFromDataOriginToViewOrigin(Point point) const {
    return TOVObjectViewToneCell::dataOriginToViewOrigin(toneCellBelongTo(), point);
}

void TOVSlurView::drawRect(const Rect& dirty, platform::GraphicsContext& ctx) {
    const Rect box = bounds();
    const bool flip = symbol() && symbol()->flip();
    // A tie's band in the box the margins leave: the ends at the view's top with the curve below them,
    // or at its bottom with the curve above them, the middle 2.0 short of the far edge.
    const Rect curveBox(box.x() + kMargin, box.y() + (flip ? kMargin : 0.0), box.width() - 2.0 * kMargin,
                        box.height() - kMargin);
    ctx.setFillColor(TOVNoteTieView::fillColorForState(state()));
    ctx.fillPath(TOVNoteTieView::curvePathInRect(curveBox, flip));
    TOVRotatable4View::drawRect(dirty, ctx);
}

void TOVSlurView::updateView() {
    TOVRotatable4View::updateView();
    TOVToolViewPlacement::rotateToSymbolAngle(*this);
}

void TOVSlurView::doFlip() {
    if (Symbol* slur = symbol()) {
        slur->setFlip(!slur->flip());
    }
    updateView();
}
