#pragma once

#include "glyphs/TOVResizableFixedView.h"

// A dynamics glyph (fff to fz), resized keeping its proportions.
class TOVDynamicsGeneralView : public TOVResizableFixedView {
public:
    using TOVResizableFixedView::TOVResizableFixedView;

protected:
    std::shared_ptr<TOVObjectView> newInstanceWithFrame(const platform::Rect& frame) const override;
};
