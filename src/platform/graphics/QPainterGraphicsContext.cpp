#include "platform/graphics/QPainterGraphicsContext.h"

#include "platform/graphics/QtPathConversion.h"

#include <QPaintDevice>
#include <QPaintEngine>

#include <algorithm>
#include <cmath>
#include <iterator>

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
    pending_.push_back({PendingStep::Kind::Save, {}, {}, {}});
}

void QPainterGraphicsContext::didRestoreGraphicsState() {
    // A save the painter never saw is undone with everything after it; otherwise the painter's own
    // restore undoes its save, and the clips pending on top of it are dropped unseen.
    const auto save = std::find_if(pending_.rbegin(), pending_.rend(), [](const PendingStep& step) {
        return step.kind == PendingStep::Kind::Save;
    });
    if (save != pending_.rend()) {
        pending_.erase(std::prev(save.base()), pending_.end());
    } else {
        pending_.clear();
        painter_->restore();
    }
    transformPending_ = true;
}

void QPainterGraphicsContext::didChangeTransform() {
    transformPending_ = true;
}

void QPainterGraphicsContext::renderClipToPath(const BezierPath& path) {
    pending_.push_back(
        {PendingStep::Kind::ClipPath, toQTransform(currentTransform()) * base_, {}, toQPainterPath(path)});
}

void QPainterGraphicsContext::renderClipToRect(const Rect& rect) {
    pending_.push_back(
        {PendingStep::Kind::ClipRect, toQTransform(currentTransform()) * base_, toQRectF(rect), {}});
}

bool QPainterGraphicsContext::pendingClipsHold(const QRectF& userBounds) const {
    // The drawing's device bounds, widened by two points (and at least two device pixels): a rasterizer
    // then touches no pixel that a clip edge covers only in part.
    const QTransform toDevice = toQTransform(currentTransform()) * base_;
    if (toDevice.type() > QTransform::TxScale) {
        return false;
    }
    const double margin = 2 * std::max({1.0, std::abs(base_.m11()), std::abs(base_.m22())});
    const QRectF drawn = toDevice.mapRect(userBounds).adjusted(-margin, -margin, margin, margin);
    for (const PendingStep& step : pending_) {
        if (step.kind == PendingStep::Kind::Save) {
            continue;
        }
        if (step.kind != PendingStep::Kind::ClipRect || step.transform.type() > QTransform::TxScale ||
            !step.transform.mapRect(step.rect).contains(drawn)) {
            return false;
        }
    }
    return true;
}

void QPainterGraphicsContext::applyPendingState(const QRectF* userBounds) {
    // A drawing that lies well inside every pending clip rectangle is not changed by them: they wait
    // for a drawing that may reach out of them, or are dropped with their save.
    const bool clipsNeeded = !pending_.empty() && (userBounds == nullptr || !pendingClipsHold(*userBounds));
    if (clipsNeeded) {
        for (const PendingStep& step : pending_) {
            switch (step.kind) {
            case PendingStep::Kind::Save:
                painter_->save();
                break;
            case PendingStep::Kind::ClipRect:
                painter_->setTransform(step.transform);
                painter_->setClipRect(step.rect,
                                      painter_->hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
                break;
            case PendingStep::Kind::ClipPath:
                painter_->setTransform(step.transform);
                painter_->setClipPath(step.path,
                                      painter_->hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
                break;
            }
        }
        pending_.clear();
        transformPending_ = true;
    }
    if (transformPending_) {
        const QTransform wanted = toQTransform(currentTransform()) * base_;
        if (painter_->transform() != wanted) {
            painter_->setTransform(wanted);
        }
        transformPending_ = false;
    }
}

void QPainterGraphicsContext::renderFillPath(const BezierPath& path) {
    const QPainterPath qPath = toQPainterPath(path);
    const QRectF bounds = qPath.controlPointRect();
    applyPendingState(&bounds);
    painter_->fillPath(qPath, toQBrush(fillColor()));
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
    applyPendingState();
    QPen pen = toQPen(path, strokeColor());
    keepThinDashesInUnits(pen, path, *painter_);
    painter_->strokePath(toQPainterPath(path), pen);
}

void QPainterGraphicsContext::renderFillRect(const Rect& rect) {
    const QRectF qRect = toQRectF(rect);
    applyPendingState(&qRect);
    painter_->fillRect(qRect, toQColor(fillColor()));
}

void QPainterGraphicsContext::renderTextRun(const PlacedTextRun& placed) {
    applyPendingState();
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
    applyPendingState();
    const double previous = painter_->opacity();
    painter_->setOpacity(previous * opacity);
    painter_->drawImage(toQRectF(destination), image.qImage(), QRectF(image.qImage().rect()));
    painter_->setOpacity(previous);
}

} // namespace platform
