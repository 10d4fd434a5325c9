#pragma once

#include "glyphs/TOVRotatable2View.h"

// The line drawing tool: a straight line along the middle of the view; it rotates about its left end.
class TOVToolLineView : public TOVRotatable2View {
public:
    explicit TOVToolLineView(const platform::Rect& frame = platform::Rect());

    static platform::BezierPath linePathForSize(platform::Size size);

    void drawRect(const platform::Rect& dirty, platform::GraphicsContext& ctx) override;
    void updateView() override;

protected:
    std::shared_ptr<TOVObjectView> newInstanceWithFrame(const platform::Rect& frame) const override;
};
