#pragma once

#include "glyphs/TOVResizableView.h"

// A resizable view that keeps its aspect ratio, dragged from its four corners; the result is kept in the
// symbol as a scale of the glyph's natural size.
class TOVResizableFixedView : public TOVResizableView {
public:
    explicit TOVResizableFixedView(const platform::Rect& frame = platform::Rect());

    void mouseDragged(const platform::Event& event) override;
    // Four corner cells, types 0 to 3.
    void createHandleCells() override;
    // Changes the scale by ds, never below the minimum size; the flags keep the opposite corner in place.
    virtual void temporallyResizeWithDiffScaleMoveXMoveY(double ds, bool moveX, bool moveY);
    // Views that build their outline at run time rebuild it here.
    virtual void createPathDynamically() {}
    // The frame from the symbol's origin and, when it has one, its scale of the natural size.
    void updateView() override;
    void completeChangingFrame() override;

protected:
    std::shared_ptr<TOVObjectView> newInstanceWithFrame(const platform::Rect& frame) const override;
};
