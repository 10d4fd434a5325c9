#pragma once

#include "platform/foundation/Color.h"
#include "platform/foundation/Geometry.h"
#include "platform/graphics/AffineTransform.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/TextRun.h"

#include <QString>
#include <vector>

namespace platform {

// Where views draw: a y-down space with a current transform, fill and stroke colours, a line width
// for rectangle strokes and a clip, all saved and restored together.
//
// The base class keeps that state and lays text out; an implementation only renders (QPainter), records
// (tests) or ignores (NullGraphicsContext) what arrives. Every operation is safe whatever was drawn
// before: a restore without a matching save is ignored, and null images and empty paths draw nothing.
class GraphicsContext {
public:
    virtual ~GraphicsContext();
    GraphicsContext(const GraphicsContext&) = delete;
    GraphicsContext& operator=(const GraphicsContext&) = delete;

    // NO while printing: pages then leave out what only helps on screen.
    bool isDrawingToScreen() const { return drawingToScreen_; }

    void saveGraphicsState();
    void restoreGraphicsState();

    void setFillColor(const Color& color) { state_.fill = color; }
    void setStrokeColor(const Color& color) { state_.stroke = color; }
    // Sets the fill and the stroke colour.
    void setColor(const Color& color);
    const Color& fillColor() const { return state_.fill; }
    const Color& strokeColor() const { return state_.stroke; }

    // The width of strokeRect; paths carry their own width.
    void setLineWidth(double width) { state_.lineWidth = width; }
    double lineWidth() const { return state_.lineWidth; }

    // The transform from user space to the context's space. A concatenated transform acts on points
    // before the current one: after concatTransform(translation(10, 0)), user (0, 0) lands where
    // (10, 0) landed before.
    void concatTransform(const AffineTransform& transform);
    const AffineTransform& currentTransform() const { return state_.transform; }

    // Narrows the clip to the area the path fills under its winding rule, or to the rectangle.
    void clipToPath(const BezierPath& path);
    void clipToRect(const Rect& rect);

    // Fills with the fill colour under the path's winding rule.
    void fillPath(const BezierPath& path);
    // Strokes with the stroke colour and the path's line attributes.
    void strokePath(const BezierPath& path);
    void fillRect(const Rect& rect);
    // Strokes the rectangle's outline, centred on its edges, with the context's line width.
    void strokeRect(const Rect& rect);
    // Fills a frame of the given width just inside the rectangle's edges with the fill colour.
    void frameRect(const Rect& rect, double width = 1.0);

    // Draws the text with the top-left corner of its first line at the point.
    void drawText(const QString& text, const Font& font, Point topLeft,
                  const Color& color = Color{0, 0, 0, 1});
    void drawTextRuns(const std::vector<TextRun>& runs, Point topLeft);

    // Draws the whole image scaled into the rectangle, upright in the y-down space.
    void drawImage(const Image& image, const Rect& destination, double opacity = 1.0);

protected:
    explicit GraphicsContext(bool drawingToScreen);

    // The rendering hooks. Geometry arrives in user space; currentTransform() maps it to the context's
    // space. The defaults draw nothing, except that the rectangle operations fall back to paths.
    virtual void didSaveGraphicsState() {}
    virtual void didRestoreGraphicsState() {}
    virtual void didChangeTransform() {}
    virtual void renderClipToPath(const BezierPath& path) {}
    virtual void renderClipToRect(const Rect& rect);
    virtual void renderFillPath(const BezierPath& path) {}
    virtual void renderStrokePath(const BezierPath& path) {}
    virtual void renderFillRect(const Rect& rect);
    virtual void renderStrokeRect(const Rect& rect);
    virtual void renderFrameRect(const Rect& rect, double width);
    virtual void renderTextRun(const PlacedTextRun& run) {}
    virtual void renderImage(const Image& image, const Rect& destination, double opacity) {}

private:
    struct State {
        Color fill{0, 0, 0, 1};
        Color stroke{0, 0, 0, 1};
        double lineWidth = 1.0;
        AffineTransform transform;
    };

    bool drawingToScreen_;
    State state_;
    std::vector<State> saved_;
};

// A context that draws nowhere, for code that runs its drawing only for what it computes on the way.
class NullGraphicsContext final : public GraphicsContext {
public:
    explicit NullGraphicsContext(bool drawingToScreen = true) : GraphicsContext(drawingToScreen) {}
};

} // namespace platform
