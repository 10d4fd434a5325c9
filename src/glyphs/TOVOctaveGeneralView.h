#pragma once

#include "glyphs/TOVResizableFreeView.h"

#include <string>

// An octave line above the staff (8va, 15ma): the glyph at the top-left, then a line at the glyph's
// middle height to the right end, hooked down to the bottom. Resizing stretches the line, never the
// glyph.
class TOVOctaveGeneralView : public TOVResizableFreeView {
public:
    static constexpr double kLineWidth = 1.0;
    // Distance of the line from the glyph and from the view's edges.
    static constexpr double kGap = 2.0;

    explicit TOVOctaveGeneralView(const platform::Rect& frame = platform::Rect());

    // The glyph of the file at the frame's origin, in a view that keeps the frame's size.
    static std::shared_ptr<TOVOctaveGeneralView> makeWithFrameSVGFile(const platform::Rect& frame,
                                                                      const std::string& svgFile);

    bool shouldScaleBezierPath() const override { return false; }
    void drawRect(const platform::Rect& dirty, platform::GraphicsContext& ctx) override;
    // The line with its hook in the view's current size.
    virtual platform::BezierPath octaveLinePath() const;

protected:
    std::shared_ptr<TOVObjectView> newInstanceWithFrame(const platform::Rect& frame) const override;
    // The size of the glyph's outline (zero without one).
    platform::Size glyphSize() const;
    // Gives the view the frame's size again after the glyph sized it.
    void keepFrameSize(const platform::Rect& frame);
};
