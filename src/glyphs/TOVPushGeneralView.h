#pragma once

#include "glyphs/TOVResizableFixedView.h"

// A push glyph, resized keeping its proportions.
class TOVPushGeneralView : public TOVResizableFixedView {
public:
    using TOVResizableFixedView::TOVResizableFixedView;

protected:
    std::shared_ptr<TOVObjectView> newInstanceWithFrame(const platform::Rect& frame) const override;
};
