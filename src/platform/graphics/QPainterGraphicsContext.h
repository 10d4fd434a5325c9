#pragma once

#include "platform/graphics/GraphicsContext.h"

#include <QPainter>
#include <QPainterPath>
#include <QRectF>
#include <QTransform>
#include <memory>
#include <vector>

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

    // The painter, brought up to the context's saves, clips and transform.
    QPainter& painter() {
        applyPendingState();
        return *painter_;
    }

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
    // Saves and clips reach the painter only when something is drawn under them: a view that draws
    // nothing then costs the painter nothing, which keeps printed pages small (a PDF page replays the
    // whole clip stack at every state change).
    // With the bounds of what is about to be drawn (in user space), clips that cannot change it stay
    // pending.
    void applyPendingState(const QRectF* userBounds = nullptr);
    bool pendingClipsHold(const QRectF& userBounds) const;

    struct PendingStep {
        enum class Kind { Save, ClipRect, ClipPath } kind;
        QTransform transform; // the painter's transform the clip is given in
        QRectF rect;
        QPainterPath path;
    };

    std::unique_ptr<QPainter> ownPainter_;
    QPainter* painter_;
    QTransform base_;
    // What the context did that the painter has not seen yet, in order; restores cancel their saves.
    std::vector<PendingStep> pending_;
    bool transformPending_ = false;
};

} // namespace platform
