#pragma once

#include "glyphs/TOVRotatable2View.h"

// The arrow drawing tool: a shaft along the middle of the view with a filled head 10.0 long at its right
// end; it rotates about its left end.
class TOVToolArrowView : public TOVRotatable2View {
public:
    static constexpr double kHeadLength = 10.0;

    explicit TOVToolArrowView(const platform::Rect& frame = platform::Rect());

    // The outline of the arrow in a view of the size.
    static platform::BezierPath arrowPathForSize(platform::Size size);

    void drawRect(const platform::Rect& dirty, platform::GraphicsContext& ctx) override;
    // Placed from the symbol, turned to its angle and moved where the editor places the tool.
    void updateView() override;

protected:
    std::shared_ptr<TOVObjectView> newInstanceWithFrame(const platform::Rect& frame) const override;
};
