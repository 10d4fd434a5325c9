#include "glyphs/TOVOctaveGeneralView.h"

#include "model/TOVUtils.h"
#include "platform/graphics/GraphicsContext.h"

using platform::Point;
using platform::Rect;
using platform::Size;

TOVOctaveGeneralView::TOVOctaveGeneralView(const Rect& frame) : TOVResizableFreeView(frame) {}

std::shared_ptr<TOVObjectView> TOVOctaveGeneralView::newInstanceWithFrame(const Rect& frame) const {
    return std::make_shared<TOVOctaveGeneralView>(frame);
}

std::shared_ptr<TOVOctaveGeneralView> TOVOctaveGeneralView::makeWithFrameSVGFile(const Rect& frame,
                                                                                 const std::string& svgFile) {
    auto view = TOVObjectView::makeWithFrameSVGFile<TOVOctaveGeneralView>(frame, svgFile);
    view->keepFrameSize(frame);
    return view;
}

void TOVOctaveGeneralView::keepFrameSize(const Rect& frame) {
    setFrameSize(frame.size);
    setDefaultViewSize(frame.size);
}

Size TOVOctaveGeneralView::glyphSize() const {
    return bezierPath() ? bezierPath()->bounds().size : Size();
}

platform::BezierPath TOVOctaveGeneralView::octaveLinePath() const {
    const Size glyph = glyphSize();
    const double w = bounds().width();
    const double h = bounds().height();
    platform::BezierPath line;
    line.setLineWidth(kLineWidth);
    line.setLineCapStyle(platform::LineCap::Round);
    line.moveTo(Point{glyph.width + kGap, glyph.height / 2});
    line.lineTo(Point{w - kGap, glyph.height / 2});
    line.lineTo(Point{w - kGap, h - kGap});
    return line;
}

void TOVOctaveGeneralView::drawRect(const Rect& dirty, platform::GraphicsContext& ctx) {
    ctx.setColor(state() == 1 ? TOVUtils::objectSelectedColor() : TOVUtils::objectNormalColor());
    ctx.strokePath(octaveLinePath());
    TOVResizableFreeView::drawRect(dirty, ctx);
}
