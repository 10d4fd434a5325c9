#pragma once

#include "glyphs/TOVSelectableView.h"

// The tie between two tones; copies of the factory's template are placed by the tone cells.
class TOVNoteTieView : public TOVSelectableView {
public:
    using TOVSelectableView::TOVSelectableView;

protected:
    std::shared_ptr<TOVObjectView> newInstanceWithFrame(const platform::Rect& frame) const override;
};
