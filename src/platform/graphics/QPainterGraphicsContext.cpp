#include "platform/graphics/QPainterGraphicsContext.h"

#include "platform/graphics/QtPathConversion.h"

#include <QPaintDevice>
#include <QPaintEngine>

#include <algorithm>
#include <cmath>

namespace platform {

QPainterGraphicsContext::QPainterGraphicsContext(QPainter& painter, bool drawingToScreen)
    : GraphicsContext(drawingToScreen), painter_(&painter) {
    prepare();
}

QPainterGraphicsContext::QPainterGraphicsContext(Image& image, bool drawingToScreen)
    : GraphicsContext(drawingToScreen), ownPainter_(std::make_unique<QPainter>(&image.qImage())),
      painter_(ownPainter_.get()) {
    prepare();
}

QPainterGraphicsContext::~QPainterGraphicsContext() {
    if (ownPainter_) {
        ownPainter_->end();
    }
}

void QPainterGraphicsContext::prepare() {
    // Transforms and clips set through the context are undone by its restores; pens, brushes and hints
    // stay as the context left them.
    painter_->setRenderHint(QPainter::Antialiasing, true);
    painter_->setRenderHint(QPainter::TextAntialiasing, true);
    painter_->setRenderHint(QPainter::SmoothPixmapTransform, true);
    base_ = painter_->transform();
}

void QPainterGraphicsContext::didSaveGraphicsState() {
    painter_->save();
}

void QPainterGraphicsContext::didRestoreGraphicsState() {
    painter_->restore();
    didChangeTransform();
}

void QPainterGraphicsContext::didChangeTransform() {
    painter_->setTransform(toQTransform(currentTransform()) * base_);
}

void QPainterGraphicsContext::renderClipToPath(const BezierPath& path) {
    painter_->setClipPath(toQPainterPath(path),
                          painter_->hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
}

void QPainterGraphicsContext::renderClipToRect(const Rect& rect) {
    painter_->setClipRect(toQRectF(rect), painter_->hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
}

void QPainterGraphicsContext::renderFillPath(const BezierPath& path) {
    painter_->fillPath(toQPainterPath(path), toQBrush(fillColor()));
}

namespace {

// Qt's raster engine draws a pen at most one device pixel wide with its fast thin-line stroker, which
// measures dash lengths in device pixels instead of in line widths. Such a pen is made an explicit thin
// cosmetic pen of the same device width, with its dashes converted to pixels, so that dash lengths stay
// the path's own at every width and zoom.
void keepThinDashesInUnits(QPen& pen, const BezierPath& path, const QPainter& painter) {
    if (pen.style() != Qt::CustomDashLine || painter.paintEngine() == nullptr ||
        painter.paintEngine()->type() != QPaintEngine::Raster) {
        return;
    }
    const QTransform device = painter.deviceTransform();
    // The length of one unit on the device (exact for turns and even scales, a mean otherwise).
    const double scale = std::sqrt(std::abs(device.m11() * device.m22() - device.m12() * device.m21()));
    const double deviceWidth = std::max(path.lineWidth(), 0.0) * scale;
    if (!(scale > 0) || !std::isfinite(scale) || deviceWidth > 1) {
        return;
    }
    QList<qreal> pixels = pen.dashPattern();
    // The pen's pattern is in line widths (one unit per width for a hairline).
    const double unitsPerEntry = path.lineWidth() > 0 ? path.lineWidth() : 1.0;
    for (qreal& d : pixels) {
        d *= unitsPerEntry * scale;
    }
    const double offset = pen.dashOffset() * unitsPerEntry * scale;
    pen.setCosmetic(true);
    pen.setWidthF(deviceWidth);
    pen.setDashPattern(pixels);
    pen.setDashOffset(offset);
}

} // namespace

void QPainterGraphicsContext::renderStrokePath(const BezierPath& path) {
    QPen pen = toQPen(path, strokeColor());
    keepThinDashesInUnits(pen, path, *painter_);
    painter_->strokePath(toQPainterPath(path), pen);
}

void QPainterGraphicsContext::renderFillRect(const Rect& rect) {
    painter_->fillRect(toQRectF(rect), toQColor(fillColor()));
}

void QPainterGraphicsContext::renderTextRun(const PlacedTextRun& placed) {
    const TextRun& run = placed.run;
    const QPaintDevice* device = painter_->device();
    painter_->setFont(run.font.qFontForDevice(device != nullptr ? device->logicalDpiY() : 72));
    painter_->setPen(QPen(toQColor(run.color)));
    painter_->drawText(QPointF(placed.topLeft.x, placed.baseline), run.text);

    const double thickness = run.font.lineThickness();
    auto drawLine = [&](TextLineStyle style, double y) {
        if (style == TextLineStyle::None) {
            return;
        }
        const double t = style == TextLineStyle::Thick ? thickness * 2 : thickness;
        painter_->fillRect(QRectF(placed.topLeft.x, y - t / 2, placed.width, t), toQColor(run.color));
    };
    drawLine(run.underline, placed.baseline + run.font.underlinePosition());
    drawLine(run.strikethrough, placed.baseline - run.font.strikeoutPosition());
}

void QPainterGraphicsContext::renderImage(const Image& image, const Rect& destination, double opacity) {
    const double previous = painter_->opacity();
    painter_->setOpacity(previous * opacity);
    painter_->drawImage(toQRectF(destination), image.qImage(), QRectF(image.qImage().rect()));
    painter_->setOpacity(previous);
}

} // namespace platform
