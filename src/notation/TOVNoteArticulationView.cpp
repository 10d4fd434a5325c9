#include "notation/TOVNoteArticulationView.h"

using platform::Point;

std::shared_ptr<TOVObjectView>
TOVNoteArticulationView::newInstanceWithFrame(const platform::Rect& frame) const {
    return std::make_shared<TOVNoteArticulationView>(frame);
}

Point TOVNoteArticulationView::convertPointFromViewOriginToDataOrigin(Point point) const {
    return TOVObjectViewToneCell::viewOriginToDataOrigin(toneCellBelongTo(), point);
}

Point TOVNoteArticulationView::convertPointFromDataOriginToViewOrigin(Point point) const {
    return TOVObjectViewToneCell::dataOriginToViewOrigin(toneCellBelongTo(), point);
}
