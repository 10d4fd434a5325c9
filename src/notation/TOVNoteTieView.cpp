#include "notation/TOVNoteTieView.h"

#include "model/TOVUtils.h"
#include "platform/graphics/GraphicsContext.h"

#include <cmath>

using platform::BezierPath;
using platform::Point;
using platform::Rect;

namespace {

// How much thinner the inner curve reaches than the outer one: the band's thickness in the middle.
constexpr double kThickness = 1.0;
// The inner half oval stands in this much from each end.
constexpr double kOvalInset = 0.2;

// The radius of the circle through both ends of a chord of half length a and through the point at
// depth h under the chord's middle.
double radiusOfArc(double a, double h) {
    return (h * h + a * a) / (2.0 * h);
}

// Adds one closed half circle, from 0° to 180°: through the bottom of the circle when downwards, else
// through its top. A radius that is not a positive finite number adds nothing.
void appendHalfCircle(BezierPath& path, Point centre, double radius, bool downwards) {
    if (!std::isfinite(radius) || !(radius > 0) || !std::isfinite(centre.x) || !std::isfinite(centre.y)) {
        return;
    }
    path.moveTo({centre.x + radius, centre.y});
    path.appendArc(centre, radius, 0.0, 180.0, !downwards);
    path.closePath();
}

} // namespace

std::shared_ptr<TOVObjectView> TOVNoteTieView::newInstanceWithFrame(const Rect& frame) const {
    return std::make_shared<TOVNoteTieView>(frame);
}

platform::Color TOVNoteTieView::fillColorForState(int state) {
    switch (state) {
    case 1:
        return TOVUtils::objectSelectedColor();
    case 2:
        return TOVUtils::objectTargetColor();
    default:
        return TOVUtils::objectNormalColor();
    }
}

void TOVNoteTieView::setFlip(bool flip) {
    if (flip == flip_) {
        return;
    }
    flip_ = flip;
    setNeedsDisplay();
}

BezierPath TOVNoteTieView::curvePathInRect(const Rect& box, bool flip) {
    BezierPath path;
    path.setWindingRule(platform::WindingRule::EvenOdd);
    const double x = box.x();
    const double y = box.y();
    const double w = box.width();
    const double h = box.height();
    if (!(h > 0) || !(w >= 0) || !std::isfinite(w) || !std::isfinite(h) || !std::isfinite(x) ||
        !std::isfinite(y)) {
        return path;
    }
    const double a = w * 0.5;
    const double inner = h - kThickness;
    if (a > h) {
        // Two arcs through both ends; the inner one reaches 1.0 less deep. A tie thinner than the band
        // has no inner arc and shows the outer cap alone.
        const double r1 = radiusOfArc(a, h);
        const double r2 = inner > 0 ? radiusOfArc(a, inner) : 0.0;
        if (!flip) {
            appendHalfCircle(path, {x + a, y + h - r1}, r1, true);
            appendHalfCircle(path, {x + a, y + inner - r2}, r2, true);
        } else {
            appendHalfCircle(path, {x + a, y + r1}, r1, false);
            appendHalfCircle(path, {x + a, y + r2 + kThickness}, r2, false);
        }
        return path;
    }
    // Steep: ovals twice as high as the box, centred on the edge the ends lie on.
    const double top = flip ? y : y - h;
    path.appendOvalInRect(Rect(x, top, w, 2.0 * h));
    if (inner > 0 && w > 2.0 * kOvalInset) {
        path.appendOvalInRect(Rect(x + kOvalInset, top + kThickness, w - 2.0 * kOvalInset, 2.0 * inner));
    }
    return path;
}

void TOVNoteTieView::drawRect(const Rect& dirty, platform::GraphicsContext& ctx) {
    // The outlines reach far outside the view; the view is drawn clipped to its bounds, so only the band
    // between them shows.
    ctx.setFillColor(fillColorForState(state()));
    ctx.fillPath(curvePathInRect(bounds(), flip_));
    TOVSelectableView::drawRect(dirty, ctx);
}
