#pragma once

#include "glyphs/TOVFlippedView.h"

// The base of the editor's views: they take the keyboard focus and act on a click into an inactive
// window at once.
class TOVEditorViewBase : public TOVFlippedView {
public:
    using TOVFlippedView::TOVFlippedView;

    bool acceptsFirstResponder() const override { return true; }
    bool acceptsFirstMouse(const platform::Event&) override { return true; }
    // Strictly inside the frame's size, in the view's own coordinates: points on the edges are outside.
    bool isPointInsideView(platform::Point point) const;
};
