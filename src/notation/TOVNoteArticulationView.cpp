#include "notation/TOVNoteArticulationView.h"

#include "notation/TOVNoteToneCellConversion.h"

using platform::Point;

std::shared_ptr<TOVObjectView>
TOVNoteArticulationView::newInstanceWithFrame(const platform::Rect& frame) const {
    return std::make_shared<TOVNoteArticulationView>(frame);
}

Point TOVNoteArticulationView::convertPointFromViewOriginToDataOrigin(Point point) const {
    return TOVNoteToneCellConversion::viewOriginToDataOrigin(*this, point);
}

Point TOVNoteArticulationView::convertPointFromDataOriginToViewOrigin(Point point) const {
    return TOVNoteToneCellConversion::dataOriginToViewOrigin(*this, point);
}
