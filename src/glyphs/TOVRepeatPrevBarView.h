#pragma once

#include "glyphs/TOVMovableView.h"

#include <memory>

// The sign that repeats the previous one, two or four bars: a glyph that moves but keeps its size.
class TOVRepeatPrevBarView : public TOVMovableView {
public:
    using TOVMovableView::TOVMovableView;

    // At the symbol's origin, at the glyph's natural size whatever size the symbol holds.
    void updateView() override;

protected:
    std::shared_ptr<TOVObjectView> newInstanceWithFrame(const platform::Rect& frame) const override;
};
