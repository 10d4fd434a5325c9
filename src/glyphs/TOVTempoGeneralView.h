#pragma once

#include "glyphs/TOVResizableFixedView.h"

// A tempo glyph (rit. to rubato, the shuffle signs), resized keeping its proportions.
class TOVTempoGeneralView : public TOVResizableFixedView {
public:
    using TOVResizableFixedView::TOVResizableFixedView;

protected:
    std::shared_ptr<TOVObjectView> newInstanceWithFrame(const platform::Rect& frame) const override;
};
