#pragma once

#include "glyphs/TOVRotatableView.h"

// A rotatable view with the rotate handle and the pivot only (straight figures).
class TOVRotatable2View : public TOVRotatableView {
public:
    explicit TOVRotatable2View(const platform::Rect& frame = platform::Rect());
    void createHandleCells() override;

protected:
    std::shared_ptr<TOVObjectView> newInstanceWithFrame(const platform::Rect& frame) const override;
};
