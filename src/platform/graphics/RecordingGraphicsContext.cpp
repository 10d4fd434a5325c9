#include "platform/graphics/RecordingGraphicsContext.h"

namespace platform {

std::vector<DrawingCall> RecordingGraphicsContext::callsOfKind(DrawingCall::Kind kind) const {
    std::vector<DrawingCall> result;
    for (const DrawingCall& call : calls_) {
        if (call.kind == kind) {
            result.push_back(call);
        }
    }
    return result;
}

DrawingCall& RecordingGraphicsContext::record(DrawingCall::Kind kind, const BezierPath& path) {
    DrawingCall call;
    call.kind = kind;
    call.transform = currentTransform();
    call.path = path;
    call.devicePath = currentTransform().transformBezierPath(path);
    call.deviceBounds = call.devicePath.bounds();
    calls_.push_back(std::move(call));
    return calls_.back();
}

void RecordingGraphicsContext::renderClipToPath(const BezierPath& path) {
    record(DrawingCall::Kind::ClipToPath, path);
}

void RecordingGraphicsContext::renderClipToRect(const Rect& rect) {
    record(DrawingCall::Kind::ClipToRect, BezierPath::withRect(rect)).rect = rect;
}

void RecordingGraphicsContext::renderFillPath(const BezierPath& path) {
    record(DrawingCall::Kind::FillPath, path).color = fillColor();
}

void RecordingGraphicsContext::renderStrokePath(const BezierPath& path) {
    DrawingCall& call = record(DrawingCall::Kind::StrokePath, path);
    call.color = strokeColor();
    call.lineWidth = path.lineWidth();
}

void RecordingGraphicsContext::renderFillRect(const Rect& rect) {
    DrawingCall& call = record(DrawingCall::Kind::FillRect, BezierPath::withRect(rect));
    call.rect = rect;
    call.color = fillColor();
}

void RecordingGraphicsContext::renderStrokeRect(const Rect& rect) {
    BezierPath path = BezierPath::withRect(rect);
    path.setLineWidth(lineWidth());
    DrawingCall& call = record(DrawingCall::Kind::StrokeRect, path);
    call.rect = rect;
    call.color = strokeColor();
    call.lineWidth = lineWidth();
}

void RecordingGraphicsContext::renderFrameRect(const Rect& rect, double width) {
    DrawingCall& call = record(DrawingCall::Kind::FrameRect, BezierPath::withRect(rect));
    call.rect = rect;
    call.color = fillColor();
    call.lineWidth = width;
}

void RecordingGraphicsContext::renderTextRun(const PlacedTextRun& placed) {
    const Rect box(placed.topLeft, Size{placed.width, placed.run.font.lineHeight()});
    DrawingCall& call = record(DrawingCall::Kind::Text, BezierPath::withRect(box));
    call.rect = box;
    call.color = placed.run.color;
    call.text = placed.run.text;
    call.font = placed.run.font;
    call.point = placed.topLeft;
    call.devicePoint = currentTransform().transformPoint(placed.topLeft);
    call.underline = placed.run.underline;
    call.strikethrough = placed.run.strikethrough;
}

void RecordingGraphicsContext::renderImage(const Image& image, const Rect& destination, double opacity) {
    DrawingCall& call = record(DrawingCall::Kind::Image, BezierPath::withRect(destination));
    call.rect = destination;
    call.imagePath = image.sourcePath();
    call.imageSize = image.size();
    call.opacity = opacity;
}

} // namespace platform
