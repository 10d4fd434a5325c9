#pragma once

#include "glyphs/TOVMovableView.h"

#include <memory>

// The sign that repeats the previous one, two or four bars: a glyph that moves but keeps its size.
class TOVRepeatPrevBarView : public TOVMovableView {
public:
    using TOVMovableView::TOVMovableView;

protected:
    std::shared_ptr<TOVObjectView> newInstanceWithFrame(const platform::Rect& frame) const override;
};
