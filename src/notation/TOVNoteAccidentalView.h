#pragma once

#include "glyphs/TOVMovableView.h"

// The accidental of a tone, placed relative to the tone's cell.
class TOVNoteAccidentalView : public TOVMovableView {
public:
    using TOVMovableView::TOVMovableView;

protected:
    std::shared_ptr<TOVObjectView> newInstanceWithFrame(const platform::Rect& frame) const override;
};
