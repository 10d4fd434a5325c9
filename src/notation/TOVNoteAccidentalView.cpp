#include "notation/TOVNoteAccidentalView.h"

using platform::Point;

std::shared_ptr<TOVObjectView>
TOVNoteAccidentalView::newInstanceWithFrame(const platform::Rect& frame) const {
    return std::make_shared<TOVNoteAccidentalView>(frame);
}

Point TOVNoteAccidentalView::convertPointFromViewOriginToDataOrigin(Point point) const {
    return TOVObjectViewToneCell::viewOriginToDataOrigin(toneCellBelongTo(), point);
}

Point TOVNoteAccidentalView::convertPointFromDataOriginToViewOrigin(Point point) const {
    return TOVObjectViewToneCell::dataOriginToViewOrigin(toneCellBelongTo(), point);
}
