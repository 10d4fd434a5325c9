#include "glyphs/TOVToolArrowView.h"

#include "glyphs/TOVToolViewPlacement.h"
#include "platform/graphics/GraphicsContext.h"

using platform::Point;
using platform::Rect;

TOVToolArrowView::TOVToolArrowView(const Rect& frame) : TOVRotatable2View(frame) {}

std::shared_ptr<TOVObjectView> TOVToolArrowView::newInstanceWithFrame(const Rect& frame) const {
    return std::make_shared<TOVToolArrowView>(frame);
}

platform::BezierPath TOVToolArrowView::arrowPathForSize(platform::Size size) {
    const double w = size.width;
    const double h = size.height;
    platform::BezierPath path;
    path.setLineCapStyle(platform::LineCap::Round);
    path.setLineJoinStyle(platform::LineJoin::Round);
    path.moveTo(Point{0.5, h / 2});
    path.lineTo(Point{w - 0.5, h / 2});
    path.lineTo(Point{w - kHeadLength, 0.5});
    path.lineTo(Point{w - kHeadLength, h - 0.5});
    path.lineTo(Point{w - 0.5, h / 2});
    path.closePath();
    return path;
}

void TOVToolArrowView::drawRect(const Rect& dirty, platform::GraphicsContext& ctx) {
    const platform::BezierPath path = arrowPathForSize(bounds().size);
    ctx.setColor(TOVToolViewPlacement::figureColorForState(state()));
    ctx.fillPath(path);
    ctx.strokePath(path);
    TOVRotatable2View::drawRect(dirty, ctx);
}

void TOVToolArrowView::updateView() {
    TOVRotatable2View::updateView();
    TOVToolViewPlacement::rotateToSymbolAngle(*this);
    TOVToolViewPlacement::moveToOriginFromDelegate(*this);
}
