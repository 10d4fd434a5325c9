#pragma once

#include "glyphs/TOVRotatable4View.h"

// The wave drawing tool: one period of a sine across the view, 2.0 inside its edges; the first half
// bulges downward and the second upward unless the symbol is flipped.
class TOVToolWaveView : public TOVRotatable4View {
public:
    static constexpr double kInset = 2.0;
    static constexpr double kLineWidth = 0.5;

    explicit TOVToolWaveView(const platform::Rect& frame = platform::Rect());

    // The wave of a view of the size, mirrored top to bottom when flipped.
    static platform::BezierPath wavePathForSize(platform::Size size, bool flipped);

    // Flips the symbol's wave and redraws.
    void doFlip();
    void drawRect(const platform::Rect& dirty, platform::GraphicsContext& ctx) override;
    void updateView() override;

protected:
    std::shared_ptr<TOVObjectView> newInstanceWithFrame(const platform::Rect& frame) const override;
};
