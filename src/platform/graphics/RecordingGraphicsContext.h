#pragma once

#include "platform/graphics/GraphicsContext.h"

#include <optional>
#include <vector>

namespace platform {

// One drawing operation as a RecordingGraphicsContext saw it.
struct DrawingCall {
    enum class Kind {
        FillPath,
        StrokePath,
        FillRect,
        StrokeRect,
        FrameRect,
        ClipToPath,
        ClipToRect,
        Text,
        Image
    };

    Kind kind = Kind::FillPath;
    // The transform from user space to the context's space at the time of the call.
    AffineTransform transform;
    // Paths (the rectangle's outline for the rectangle kinds), as given and in the context's space.
    BezierPath path;
    BezierPath devicePath;
    // The rectangle as given: the rectangle of the rectangle kinds, an image's destination, a text run's
    // box (its top-left and measured size). deviceBounds is the bounds of the call's geometry in the
    // context's space: of the outline for paths and rectangles, of the box for text and images.
    Rect rect;
    Rect deviceBounds;
    // Fill colour for fills and frames, stroke colour for strokes, the run's colour for text.
    Color color;
    // The path's width for path strokes, the context's width for rectangle strokes, the frame's width.
    double lineWidth = 0;
    // Text runs.
    QString text;
    std::optional<Font> font;
    Point point;       // top-left as given
    Point devicePoint; // top-left in the context's space
    TextLineStyle underline = TextLineStyle::None;
    TextLineStyle strikethrough = TextLineStyle::None;
    // Images.
    QString imagePath;
    Size imageSize;
    double opacity = 1;
};

// Records every fill, stroke, clip, text run and image so that tests can look at what was drawn.
class RecordingGraphicsContext final : public GraphicsContext {
public:
    explicit RecordingGraphicsContext(bool drawingToScreen = true) : GraphicsContext(drawingToScreen) {}

    const std::vector<DrawingCall>& calls() const { return calls_; }
    std::vector<DrawingCall> callsOfKind(DrawingCall::Kind kind) const;
    void clear() { calls_.clear(); }

protected:
    void renderClipToPath(const BezierPath& path) override;
    void renderClipToRect(const Rect& rect) override;
    void renderFillPath(const BezierPath& path) override;
    void renderStrokePath(const BezierPath& path) override;
    void renderFillRect(const Rect& rect) override;
    void renderStrokeRect(const Rect& rect) override;
    void renderFrameRect(const Rect& rect, double width) override;
    void renderTextRun(const PlacedTextRun& run) override;
    void renderImage(const Image& image, const Rect& destination, double opacity) override;

private:
    DrawingCall& record(DrawingCall::Kind kind, const BezierPath& path);

    std::vector<DrawingCall> calls_;
};

} // namespace platform
