#include "glyphs/TOVResizeHandleCell.h"

#include "platform/graphics/GraphicsContext.h"

bool TOVResizeHandleCell::hitTestInFrame(platform::Point p) const {
    return frame_.x() <= p.x && p.x <= frame_.x() + frame_.width() && frame_.y() <= p.y &&
           p.y <= frame_.y() + frame_.height();
}

void TOVResizeHandleCell::drawFilled(const platform::Rect& frame, platform::GraphicsContext& ctx,
                                     bool red) const {
    // The handle is drawn where the owner says (its frame, or a smaller square on a small view); it
    // takes clicks over its whole frame.
    ctx.saveGraphicsState();
    ctx.setFillColor(red ? platform::Color{1, 0, 0, 1} : platform::Color{1, 1, 1, 1});
    ctx.fillRect(frame);
    ctx.setStrokeColor(platform::Color{0.25, 0.25, 0.25, 1});
    ctx.setLineWidth(0.2);
    ctx.strokeRect(frame);
    ctx.restoreGraphicsState();
}

void TOVResizeHandleCell::drawOutlineWithFrame(const platform::Rect& frame,
                                               platform::GraphicsContext& ctx) const {
    ctx.saveGraphicsState();
    ctx.setStrokeColor(platform::Color{0.25, 0.25, 0.25, 1});
    ctx.setLineWidth(0.2);
    ctx.strokeRect(frame);
    ctx.restoreGraphicsState();
}

void TOVResizeHandleCell::drawWithFrameInView(const platform::Rect& frame,
                                              platform::GraphicsContext& ctx) const {
    drawFilled(frame, ctx, false);
}
