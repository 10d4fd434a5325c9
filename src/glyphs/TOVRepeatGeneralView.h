#pragma once

#include "glyphs/TOVResizableFixedView.h"

#include <memory>

// A repeat or navigation sign shown as its plain glyph (Fine, straight, simile, tacet), resized keeping its
// ratio.
class TOVRepeatGeneralView : public TOVResizableFixedView {
public:
    using TOVResizableFixedView::TOVResizableFixedView;

protected:
    std::shared_ptr<TOVObjectView> newInstanceWithFrame(const platform::Rect& frame) const override;
};
