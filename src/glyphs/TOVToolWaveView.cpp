#include "glyphs/TOVToolWaveView.h"

#include "glyphs/SVGUtils.h"
#include "glyphs/TOVToolViewPlacement.h"
#include "model/Symbol.h"
#include "platform/graphics/GraphicsContext.h"

#include <cmath>

using platform::Point;
using platform::Rect;

namespace {
// Samples per half period, and the value of pi the wave has always been drawn with.
constexpr int kSamples = 360;
constexpr double kPi = 3.142;
} // namespace

TOVToolWaveView::TOVToolWaveView(const Rect& frame) : TOVRotatable4View(frame) {}

std::shared_ptr<TOVObjectView> TOVToolWaveView::newInstanceWithFrame(const Rect& frame) const {
    return std::make_shared<TOVToolWaveView>(frame);
}

platform::BezierPath TOVToolWaveView::wavePathForSize(platform::Size size, bool flipped) {
    const Rect r(kInset, kInset, size.width - 2 * kInset, size.height - 2 * kInset);
    const double middle = r.y() + r.height() / 2;
    const double amplitude = r.height() / 2;
    const float step = static_cast<float>(r.width() * 0.5) / static_cast<float>(kSamples);
    platform::BezierPath path;
    path.setLineWidth(kLineWidth);
    path.moveTo(Point{r.x(), middle});
    for (int i = 0; i < kSamples; ++i) {
        const float fraction = static_cast<float>(i) / static_cast<float>(kSamples);
        path.lineTo(
            Point{r.x() + i * static_cast<double>(step), middle + std::sin(fraction * kPi) * amplitude});
    }
    for (int i = 0; i < kSamples; ++i) {
        const float fraction = static_cast<float>(i) / static_cast<float>(-kSamples);
        path.lineTo(Point{r.x() + r.width() / 2 + i * static_cast<double>(step),
                          middle + std::sin(fraction * kPi) * amplitude});
    }
    if (flipped) {
        SVGUtils::flipBezierPath(&path);
        SVGUtils::moveBezierPathXByYBy(&path, 0.0, 2 * kInset);
    }
    return path;
}

void TOVToolWaveView::doFlip() {
    if (Symbol* model = symbol()) {
        model->setFlip(!model->flip());
    }
    setNeedsDisplay();
}

void TOVToolWaveView::drawRect(const Rect& dirty, platform::GraphicsContext& ctx) {
    ctx.setColor(TOVToolViewPlacement::figureColorForState(state()));
    ctx.strokePath(wavePathForSize(bounds().size, symbol() && symbol()->flip()));
    TOVRotatable4View::drawRect(dirty, ctx);
}

void TOVToolWaveView::updateView() {
    TOVRotatable4View::updateView();
    TOVToolViewPlacement::rotateToSymbolAngle(*this);
    TOVToolViewPlacement::moveToOriginFromDelegate(*this);
}
