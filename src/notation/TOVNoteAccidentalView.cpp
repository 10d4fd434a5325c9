#include "notation/TOVNoteAccidentalView.h"

std::shared_ptr<TOVObjectView>
TOVNoteAccidentalView::newInstanceWithFrame(const platform::Rect& frame) const {
    return std::make_shared<TOVNoteAccidentalView>(frame);
}
