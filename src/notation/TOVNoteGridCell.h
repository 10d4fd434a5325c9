#pragma once

#include "platform/foundation/Geometry.h"

#include <cstdint>
#include <memory>

class TOVObjectViewOwner;

namespace platform {
class GraphicsContext;
class View;
} // namespace platform

// One column of the grid a bar view lays over an empty bar while a rhythm value is dragged over it: the
// tick it stands for and a short mark above the staff, or, while it is the drop position, a line
// through the whole column.
class TOVNoteGridCell {
public:
    explicit TOVNoteGridCell(const platform::Rect& frame) : frame_(frame) {}

    // Inside the frame, all four edges included: a point on the edge between two columns hits both.
    bool hitTestInFrame(platform::Point point) const;
    // Draws from the cell's own frame (the rectangle passed in is not used): active, a line down the left
    // edge of the whole column; inactive, a mark gridHeight long rising from the owner's top staff line.
    void drawWithFrameInView(const platform::Rect& frame, platform::GraphicsContext& ctx) const;

    platform::Rect frame() const { return frame_; }
    void setFrame(const platform::Rect& frame) { frame_ = frame; }
    std::uint64_t x() const { return x_; }
    void setX(std::uint64_t x) { x_ = x; }
    double gridHeight() const { return gridHeight_; }
    void setGridHeight(double height) { gridHeight_ = height; }
    bool active() const { return active_; }
    void setActive(bool active) { active_ = active; }
    // The owning bar view, held weakly: null once it is gone.
    TOVObjectViewOwner* barView() const;
    void setBarView(TOVObjectViewOwner* barView);

private:
    platform::Rect frame_;
    std::uint64_t x_ = 0;
    double gridHeight_ = 0.0;
    bool active_ = false;
    std::weak_ptr<platform::View> barViewAlive_;
    TOVObjectViewOwner* barView_ = nullptr;
};
