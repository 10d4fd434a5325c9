#pragma once

#include "glyphs/TOVResizableFreeView.h"

// A crescendo hairpin: two lines from the middle of the left edge that open to the right.
class TOVDynamicsCrescendoView : public TOVResizableFreeView {
public:
    static constexpr double kLineWidth = 1.0;
    // Distance of the lines' ends from the view's edges.
    static constexpr double kInset = 2.0;

    explicit TOVDynamicsCrescendoView(const platform::Rect& frame = platform::Rect());

    // The two lines in a view of the size.
    static platform::BezierPath hairpinPathForSize(platform::Size size);

    void drawRect(const platform::Rect& dirty, platform::GraphicsContext& ctx) override;

protected:
    std::shared_ptr<TOVObjectView> newInstanceWithFrame(const platform::Rect& frame) const override;
};
