#include "glyphs/TOVDynamicsDecrescendoView.h"

#include "model/TOVUtils.h"
#include "platform/graphics/GraphicsContext.h"

using platform::Point;
using platform::Rect;

TOVDynamicsDecrescendoView::TOVDynamicsDecrescendoView(const Rect& frame) : TOVResizableFreeView(frame) {}

std::shared_ptr<TOVObjectView> TOVDynamicsDecrescendoView::newInstanceWithFrame(const Rect& frame) const {
    return std::make_shared<TOVDynamicsDecrescendoView>(frame);
}

platform::BezierPath TOVDynamicsDecrescendoView::hairpinPathForSize(platform::Size size) {
    const double w = size.width;
    const double h = size.height;
    platform::BezierPath path;
    path.setLineWidth(kLineWidth);
    path.setLineCapStyle(platform::LineCap::Round);
    path.moveTo(Point{w - kInset, h / 2});
    path.lineTo(Point{kInset, kInset});
    path.moveTo(Point{w - kInset, h / 2});
    path.lineTo(Point{kInset, h - kInset});
    return path;
}

void TOVDynamicsDecrescendoView::drawRect(const Rect& dirty, platform::GraphicsContext& ctx) {
    TOVResizableFreeView::drawRect(dirty, ctx);
    ctx.setColor(state() == 1 ? TOVUtils::objectSelectedColor() : TOVUtils::objectNormalColor());
    ctx.strokePath(hairpinPathForSize(bounds().size));
}
