#include "glyphs/TOVToolLineView.h"

#include "glyphs/TOVToolViewPlacement.h"
#include "platform/graphics/GraphicsContext.h"

using platform::Point;
using platform::Rect;

TOVToolLineView::TOVToolLineView(const Rect& frame) : TOVRotatable2View(frame) {}

std::shared_ptr<TOVObjectView> TOVToolLineView::newInstanceWithFrame(const Rect& frame) const {
    return std::make_shared<TOVToolLineView>(frame);
}

platform::BezierPath TOVToolLineView::linePathForSize(platform::Size size) {
    platform::BezierPath path;
    path.setLineCapStyle(platform::LineCap::Round);
    path.setLineJoinStyle(platform::LineJoin::Round);
    path.moveTo(Point{0.5, size.height / 2});
    path.lineTo(Point{size.width - 0.5, size.height / 2});
    return path;
}

void TOVToolLineView::drawRect(const Rect& dirty, platform::GraphicsContext& ctx) {
    ctx.setColor(TOVToolViewPlacement::figureColorForState(state()));
    ctx.strokePath(linePathForSize(bounds().size));
    TOVRotatable2View::drawRect(dirty, ctx);
}

void TOVToolLineView::updateView() {
    TOVRotatable2View::updateView();
    TOVToolViewPlacement::rotateToSymbolAngle(*this);
    TOVToolViewPlacement::moveToOriginFromDelegate(*this);
}
