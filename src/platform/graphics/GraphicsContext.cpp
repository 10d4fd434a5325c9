#include "platform/graphics/GraphicsContext.h"

#include <algorithm>

namespace platform {

GraphicsContext::GraphicsContext(bool drawingToScreen) : drawingToScreen_(drawingToScreen) {}

GraphicsContext::~GraphicsContext() = default;

void GraphicsContext::saveGraphicsState() {
    saved_.push_back(state_);
    didSaveGraphicsState();
}

void GraphicsContext::restoreGraphicsState() {
    if (saved_.empty()) {
        return;
    }
    state_ = saved_.back();
    saved_.pop_back();
    didRestoreGraphicsState();
}

void GraphicsContext::setColor(const Color& color) {
    state_.fill = color;
    state_.stroke = color;
}

void GraphicsContext::concatTransform(const AffineTransform& transform) {
    state_.transform.prependTransform(transform);
    didChangeTransform();
}

void GraphicsContext::clipToPath(const BezierPath& path) {
    renderClipToPath(path);
}

void GraphicsContext::clipToRect(const Rect& rect) {
    renderClipToRect(rect.standardized());
}

void GraphicsContext::fillPath(const BezierPath& path) {
    if (!path.isEmpty()) {
        renderFillPath(path);
    }
}

void GraphicsContext::strokePath(const BezierPath& path) {
    if (!path.isEmpty()) {
        renderStrokePath(path);
    }
}

void GraphicsContext::fillRect(const Rect& rect) {
    renderFillRect(rect.standardized());
}

void GraphicsContext::strokeRect(const Rect& rect) {
    renderStrokeRect(rect.standardized());
}

void GraphicsContext::frameRect(const Rect& rect, double width) {
    const Rect r = rect.standardized();
    if (r.isEmpty() || !(width > 0)) {
        return;
    }
    renderFrameRect(r, width);
}

void GraphicsContext::drawText(const QString& text, const Font& font, Point topLeft, const Color& color) {
    drawTextRuns({TextRun{text, font, color, TextLineStyle::None, TextLineStyle::None}}, topLeft);
}

void GraphicsContext::drawTextRuns(const std::vector<TextRun>& runs, Point topLeft) {
    for (const PlacedTextRun& placed : layoutTextRuns(runs, topLeft)) {
        renderTextRun(placed);
    }
}

void GraphicsContext::drawImage(const Image& image, const Rect& destination, double opacity) {
    if (image.isNull()) {
        return;
    }
    renderImage(image, destination.standardized(), opacity >= 0 ? std::min(opacity, 1.0) : 0.0);
}

void GraphicsContext::renderClipToRect(const Rect& rect) {
    renderClipToPath(BezierPath::withRect(rect));
}

void GraphicsContext::renderFillRect(const Rect& rect) {
    renderFillPath(BezierPath::withRect(rect));
}

void GraphicsContext::renderStrokeRect(const Rect& rect) {
    BezierPath path = BezierPath::withRect(rect);
    path.setLineWidth(state_.lineWidth);
    renderStrokePath(path);
}

void GraphicsContext::renderFrameRect(const Rect& rect, double width) {
    const double wx = std::min(width, rect.width() / 2);
    const double wy = std::min(width, rect.height() / 2);
    BezierPath frame = BezierPath::withRect(rect);
    frame.appendRect(rect.insetBy(wx, wy));
    frame.setWindingRule(WindingRule::EvenOdd);
    renderFillPath(frame);
}

} // namespace platform
