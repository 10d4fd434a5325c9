#pragma once

#include "platform/foundation/Geometry.h"

#include <cstdint>
#include <memory>

class TOVObjectViewOwner;

namespace platform {
class GraphicsContext;
class View;
} // namespace platform

// One empty stretch of a bar with notes, shown while a rhythm value is dragged over the bar: where the
// stretch starts and how long it is, in ticks, and whether it is the current drop target.
class TOVNoteDropAreaCell {
public:
    explicit TOVNoteDropAreaCell(const platform::Rect& frame) : frame_(frame) {}

    // Within the frame's x range, edges included; the point's height does not matter.
    bool hitTestInFrame(platform::Point point) const;
    // Fills the rectangle; an active stretch is also framed, 1.0 wide inside its edges.
    void drawWithFrameInView(const platform::Rect& frame, platform::GraphicsContext& ctx) const;

    platform::Rect frame() const { return frame_; }
    void setFrame(const platform::Rect& frame) { frame_ = frame; }
    std::uint64_t x() const { return x_; }
    void setX(std::uint64_t x) { x_ = x; }
    std::uint64_t length() const { return length_; }
    void setLength(std::uint64_t length) { length_ = length; }
    bool active() const { return active_; }
    void setActive(bool active) { active_ = active; }
    // The owning bar view, held weakly: null once it is gone.
    TOVObjectViewOwner* barView() const;
    void setBarView(TOVObjectViewOwner* barView);

private:
    platform::Rect frame_;
    std::uint64_t x_ = 0;
    std::uint64_t length_ = 0;
    bool active_ = false;
    std::weak_ptr<platform::View> barViewAlive_;
    TOVObjectViewOwner* barView_ = nullptr;
};
