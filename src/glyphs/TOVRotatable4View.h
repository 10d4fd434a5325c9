#pragma once

#include "glyphs/TOVRotatableView.h"

// A rotatable view with the rotate handle, the pivot, and the top and bottom handles for its height.
class TOVRotatable4View : public TOVRotatableView {
public:
    explicit TOVRotatable4View(const platform::Rect& frame = platform::Rect());
    void createHandleCells() override;

protected:
    std::shared_ptr<TOVObjectView> newInstanceWithFrame(const platform::Rect& frame) const override;
};
