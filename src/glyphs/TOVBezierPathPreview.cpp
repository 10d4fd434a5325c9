#include "glyphs/TOVBezierPathPreview.h"

#include "glyphs/SVGUtils.h"
#include "platform/graphics/GraphicsContext.h"

#include <algorithm>

void TOVBezierPathPreview::setBezierPath(std::shared_ptr<platform::BezierPath> path) {
    if (path == bezierPath_) {
        return;
    }
    bezierPath_ = std::move(path);
    scaleBezierPath();
    setNeedsDisplay();
}

void TOVBezierPathPreview::setMarginWithObjectView(double margin) {
    if (margin == marginWithObjectView_) {
        return;
    }
    marginWithObjectView_ = margin;
    scaleBezierPath();
    setNeedsDisplay();
}

void TOVBezierPathPreview::scaleBezierPath() {
    if (!bezierPath_) {
        return;
    }
    // A path that was fitted before stands where that fit put it; start again from the origin so that a
    // refit lands centred as well.
    SVGUtils::normalizeOriginOfBezierPath(bezierPath_.get());
    const double m = marginWithObjectView_;
    const platform::Size box = bezierPath_->bounds().size;
    const platform::Size room = bounds().size;
    if (box.width > 0 && box.height > 0) {
        const double s = std::min((room.width - 2 * m) / box.width, (room.height - 2 * m) / box.height);
        if (s > 0) {
            SVGUtils::scaleBezierPathXByYBy(bezierPath_.get(), s, s);
        }
    }
    const platform::Size fitted = bezierPath_->bounds().size;
    const platform::Size f = frame().size;
    SVGUtils::moveBezierPathXByYBy(bezierPath_.get(), (f.width - fitted.width) / 2,
                                   (f.height - fitted.height) / 2);
}

void TOVBezierPathPreview::drawRect(const platform::Rect& dirty, platform::GraphicsContext& ctx) {
    ctx.setFillColor(platform::Color{0, 0, 0, 1});
    if (bezierPath_) {
        ctx.fillPath(*bezierPath_);
    }
    TOVEditorViewBase::drawRect(dirty, ctx);
}
