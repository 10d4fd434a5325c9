#include "notation/TOVNoteAccidentalView.h"

#include "notation/TOVNoteToneCellConversion.h"

using platform::Point;

std::shared_ptr<TOVObjectView>
TOVNoteAccidentalView::newInstanceWithFrame(const platform::Rect& frame) const {
    return std::make_shared<TOVNoteAccidentalView>(frame);
}

Point TOVNoteAccidentalView::convertPointFromViewOriginToDataOrigin(Point point) const {
    return TOVNoteToneCellConversion::viewOriginToDataOrigin(*this, point);
}

Point TOVNoteAccidentalView::convertPointFromDataOriginToViewOrigin(Point point) const {
    return TOVNoteToneCellConversion::dataOriginToViewOrigin(*this, point);
}
