#pragma once

#include "glyphs/TOVSelectableView.h"

// The tie from one tone to the next: a curved band between the two ends of the view, 1.0 thick in the
// middle and thinning to nothing at both ends. The tone cell places it in the editor view, with the ends
// at the left and right edges; flip NO draws the curve below its ends, YES above them. A click selects
// it; it cannot be moved.
class TOVNoteTieView : public TOVSelectableView {
public:
    using TOVSelectableView::TOVSelectableView;

    bool flip() const { return flip_; }
    // A change of direction is redrawn even when the frame stays the same.
    void setFlip(bool flip);

    // The band of a tie whose ends lie at the top corners of the box (flip NO) or at its bottom corners
    // (flip YES), reaching the opposite edge in the middle: two outlines filled with the even-odd rule,
    // meant to be drawn clipped to the box. A flat tie (half the width above the height) takes two arcs
    // through both ends, a short one two half ovals. Empty for a box without height.
    static platform::BezierPath curvePathInRect(const platform::Rect& box, bool flip);
    // The fill of a tie or slur: the object colours of the normal, selected and target states.
    static platform::Color fillColorForState(int state);

    // The band of the view's bounds in the colour of the state; the tie's template
    // outline is never drawn.
    void drawRect(const platform::Rect& dirty, platform::GraphicsContext& ctx) override;
    void drawBezierPath(platform::GraphicsContext&) override {}

protected:
    std::shared_ptr<TOVObjectView> newInstanceWithFrame(const platform::Rect& frame) const override;

private:
    bool flip_ = false;
};
