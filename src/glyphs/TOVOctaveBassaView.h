#pragma once

#include "glyphs/TOVOctaveGeneralView.h"

// An octave line below the staff (8va bassa, 15ma bassa): the glyph stays at the bottom-left whatever
// the view's height, the line runs at the glyph's middle height and hooks up to the top.
class TOVOctaveBassaView : public TOVOctaveGeneralView {
public:
    explicit TOVOctaveBassaView(const platform::Rect& frame = platform::Rect());

    // The glyph of the file with its bottom on the bottom edge of a view of the frame's size.
    static std::shared_ptr<TOVOctaveBassaView> makeWithFrameSVGFile(const platform::Rect& frame,
                                                                    const std::string& svgFile);

    // Moves the glyph by the change of height, so that it keeps its distance from the bottom edge.
    void setFrameSize(platform::Size size) override;
    platform::BezierPath octaveLinePath() const override;

protected:
    std::shared_ptr<TOVObjectView> newInstanceWithFrame(const platform::Rect& frame) const override;
};
