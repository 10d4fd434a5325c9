#pragma once

#include "glyphs/TOVMovableView.h"

// An articulation of a tone (tenuto, staccato, fermata, accent, marcato, arpeggio), placed relative to the
// tone's cell.
class TOVNoteArticulationView : public TOVMovableView {
public:
    using TOVMovableView::TOVMovableView;

protected:
    std::shared_ptr<TOVObjectView> newInstanceWithFrame(const platform::Rect& frame) const override;
};
