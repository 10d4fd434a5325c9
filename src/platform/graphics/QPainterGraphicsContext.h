#pragma once

#include "platform/graphics/GraphicsContext.h"

#include <QPainter>
#include <QTransform>
#include <memory>

namespace platform {

// Draws through a QPainter: on a widget, an image, a printer. The painter's transform when the context
// is made is the context's space; the context's own transform is applied on top of it.
class QPainterGraphicsContext final : public GraphicsContext {
public:
    // Draws with a painter the caller keeps active for the context's lifetime.
    QPainterGraphicsContext(QPainter& painter, bool drawingToScreen = true);
    // Draws into the image, one pixel per point, until the context goes.
    explicit QPainterGraphicsContext(Image& image, bool drawingToScreen = true);
    ~QPainterGraphicsContext() override;

    QPainter& painter() { return *painter_; }

protected:
    void didSaveGraphicsState() override;
    void didRestoreGraphicsState() override;
    void didChangeTransform() override;
    void renderClipToPath(const BezierPath& path) override;
    void renderClipToRect(const Rect& rect) override;
    void renderFillPath(const BezierPath& path) override;
    void renderStrokePath(const BezierPath& path) override;
    void renderFillRect(const Rect& rect) override;
    void renderTextRun(const PlacedTextRun& run) override;
    void renderImage(const Image& image, const Rect& destination, double opacity) override;

private:
    void prepare();

    std::unique_ptr<QPainter> ownPainter_;
    QPainter* painter_;
    QTransform base_;
};

} // namespace platform
