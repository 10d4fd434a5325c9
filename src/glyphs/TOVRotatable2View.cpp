#include "glyphs/TOVRotatable2View.h"

#include "glyphs/TOVRotateHandleCell.h"

TOVRotatable2View::TOVRotatable2View(const platform::Rect& frame) : TOVRotatableView(frame) {
    createHandleCells();
}

std::shared_ptr<TOVObjectView> TOVRotatable2View::newInstanceWithFrame(const platform::Rect& frame) const {
    return std::make_shared<TOVRotatable2View>(frame);
}

void TOVRotatable2View::createHandleCells() {
    removeAllHandleCells();
    addHandleCell<TOVRotateHandleCell>(8);
    addHandleCell(7);
}
