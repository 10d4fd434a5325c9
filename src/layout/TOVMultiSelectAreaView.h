#pragma once

#include "platform/ui/View.h"

// The rubber band of a drag on the page background: a translucent green rectangle spanned by the point
// where the drag began and the pointer, both in the editor view's coordinates.
class TOVMultiSelectAreaView : public platform::View {
public:
    // Starts with the zero rectangle as its frame.
    explicit TOVMultiSelectAreaView(platform::Point startPos);

    platform::Point startPos() const { return startPos_; }
    void setStartPos(platform::Point point) { startPos_ = point; }

    // The frame becomes the rectangle between the start point and the point, whichever way the pointer
    // went.
    void updateFrameToPos(platform::Point point);

    void drawRect(const platform::Rect& dirty, platform::GraphicsContext& ctx) override;

private:
    platform::Point startPos_;
};
