#include "notation/TOVNoteArticulationView.h"

std::shared_ptr<TOVObjectView>
TOVNoteArticulationView::newInstanceWithFrame(const platform::Rect& frame) const {
    return std::make_shared<TOVNoteArticulationView>(frame);
}
