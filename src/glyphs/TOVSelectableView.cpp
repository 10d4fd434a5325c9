#include "glyphs/TOVSelectableView.h"

#include "glyphs/TOVObjectController.h"

void TOVSelectableView::mouseDown(const platform::Event& event) {
    if (event.clickCount() != 1 || !delegate()) {
        return;
    }
    const bool extending = event.shiftKey() || event.commandKey();
    if (state() != 1) {
        delegate()->objectViewShouldBeSelectedAndClearOthers(this, !extending);
    } else if (extending) {
        delegate()->objectViewShouldBeUnselected(this);
    }
}

std::shared_ptr<TOVObjectView> TOVSelectableView::newInstanceWithFrame(const platform::Rect& frame) const {
    return std::make_shared<TOVSelectableView>(frame);
}
