#pragma once

#include "platform/foundation/Geometry.h"

namespace platform {
class GraphicsContext;
}

// One square handle of a resizable view: its type (which corner or edge it drags) and its frame in the
// owning view's coordinates.
class TOVResizeHandleCell {
public:
    static constexpr double kHandleSize = 4.0;

    TOVResizeHandleCell(const platform::Rect& frame, int type) : frame_(frame), handleType_(type) {}
    virtual ~TOVResizeHandleCell() = default;

    // Edges included.
    bool hitTestInFrame(platform::Point point) const;
    void moveCell(platform::Point origin) { frame_.origin = origin; }
    virtual void drawWithFrameInView(const platform::Rect& frame, platform::GraphicsContext& ctx) const;
    // Only the handle's dark outline, so that what lies under it stays as it is drawn (a beam's end).
    void drawOutlineWithFrame(const platform::Rect& frame, platform::GraphicsContext& ctx) const;

    platform::Rect frame() const { return frame_; }
    void setFrame(const platform::Rect& frame) { frame_ = frame; }
    int handleType() const { return handleType_; }
    void setHandleType(int type) { handleType_ = type; }

protected:
    void drawFilled(const platform::Rect& frame, platform::GraphicsContext& ctx, bool red) const;

private:
    platform::Rect frame_;
    int handleType_ = 0;
};
