#include "glyphs/TOVDynamicsCrescendoView.h"

#include "model/TOVUtils.h"
#include "platform/graphics/GraphicsContext.h"

using platform::Point;
using platform::Rect;

TOVDynamicsCrescendoView::TOVDynamicsCrescendoView(const Rect& frame) : TOVResizableFreeView(frame) {}

std::shared_ptr<TOVObjectView> TOVDynamicsCrescendoView::newInstanceWithFrame(const Rect& frame) const {
    return std::make_shared<TOVDynamicsCrescendoView>(frame);
}

platform::BezierPath TOVDynamicsCrescendoView::hairpinPathForSize(platform::Size size) {
    const double w = size.width;
    const double h = size.height;
    platform::BezierPath path;
    path.setLineWidth(kLineWidth);
    path.setLineCapStyle(platform::LineCap::Round);
    path.moveTo(Point{kInset, h / 2});
    path.lineTo(Point{w - kInset, kInset});
    path.moveTo(Point{kInset, h / 2});
    path.lineTo(Point{w - kInset, h - kInset});
    return path;
}

void TOVDynamicsCrescendoView::drawRect(const Rect& dirty, platform::GraphicsContext& ctx) {
    TOVResizableFreeView::drawRect(dirty, ctx);
    ctx.setColor(state() == 1 ? TOVUtils::objectSelectedColor() : TOVUtils::objectNormalColor());
    ctx.strokePath(hairpinPathForSize(bounds().size));
}
