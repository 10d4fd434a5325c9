#pragma once

#include "glyphs/TOVMovableView.h"

// An articulation on a tone: the glyph of a `SymbolInNote` of types TOVSymbolTenuto to TOVSymbolArpeggio,
// whose frame is kept relative to the tone cell rather than to the bar: a drag stores the new origin relative
// to the tone, and the view follows the tone whenever the note is laid out again.
class TOVNoteArticulationView : public TOVMovableView {
public:
    using TOVMovableView::TOVMovableView;

    // Between the editor view and the data coordinates of the tone cell; unchanged without one.
    platform::Point convertPointFromViewOriginToDataOrigin(platform::Point point) const override;
    platform::Point convertPointFromDataOriginToViewOrigin(platform::Point point) const override;

protected:
    std::shared_ptr<TOVObjectView> newInstanceWithFrame(const platform::Rect& frame) const override;
};
