#pragma once

#include "glyphs/TOVResizableView.h"

// A resizable view whose width and height change on their own, dragged from the middles of its edges.
class TOVResizableFreeView : public TOVResizableView {
public:
    explicit TOVResizableFreeView(const platform::Rect& frame = platform::Rect());

    void mouseDragged(const platform::Event& event) override;
    // Four edge cells, types 4 to 7.
    void createHandleCells() override;
    // Grows the size by (dx, dy), never below the minimum size; the glyph stretches along the changed
    // axis, and the flags keep the opposite edge in place.
    void temporallyResizeWithDiffXDiffYMoveXMoveY(double dx, double dy, bool moveX, bool moveY) override;
    void updateView() override;

protected:
    std::shared_ptr<TOVObjectView> newInstanceWithFrame(const platform::Rect& frame) const override;
};
