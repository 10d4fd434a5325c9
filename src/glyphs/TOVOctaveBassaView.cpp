#include "glyphs/TOVOctaveBassaView.h"

#include "glyphs/SVGUtils.h"

using platform::Point;
using platform::Rect;
using platform::Size;

TOVOctaveBassaView::TOVOctaveBassaView(const Rect& frame) : TOVOctaveGeneralView(frame) {}

std::shared_ptr<TOVObjectView> TOVOctaveBassaView::newInstanceWithFrame(const Rect& frame) const {
    return std::make_shared<TOVOctaveBassaView>(frame);
}

std::shared_ptr<TOVOctaveBassaView> TOVOctaveBassaView::makeWithFrameSVGFile(const Rect& frame,
                                                                             const std::string& svgFile) {
    // Sizing the view to the glyph and back to the frame moves the glyph up and down by the same amount.
    auto view = TOVObjectView::makeWithFrameSVGFile<TOVOctaveBassaView>(frame, svgFile);
    view->keepFrameSize(frame);
    const double drop = view->bounds().height() - view->glyphSize().height;
    SVGUtils::moveBezierPathXByYBy(view->bezierPath() ? &*view->bezierPath() : nullptr, 0.0, drop);
    return view;
}

void TOVOctaveBassaView::setFrameSize(Size size) {
    const double dy = size.height - bounds().height();
    TOVOctaveGeneralView::setFrameSize(size);
    SVGUtils::moveBezierPathXByYBy(bezierPath() ? &*bezierPath() : nullptr, 0.0, dy);
}

platform::BezierPath TOVOctaveBassaView::octaveLinePath() const {
    const Size glyph = glyphSize();
    const double w = bounds().width();
    const double y = bounds().height() - glyph.height / 2;
    platform::BezierPath line;
    line.setLineWidth(kLineWidth);
    line.setLineCapStyle(platform::LineCap::Round);
    line.moveTo(Point{glyph.width + kGap, y});
    line.lineTo(Point{w - kGap, y});
    line.lineTo(Point{w - kGap, kGap});
    return line;
}
