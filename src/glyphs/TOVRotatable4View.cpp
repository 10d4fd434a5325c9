#include "glyphs/TOVRotatable4View.h"

#include "glyphs/TOVRotateHandleCell.h"

TOVRotatable4View::TOVRotatable4View(const platform::Rect& frame) : TOVRotatableView(frame) {
    createHandleCells();
}

std::shared_ptr<TOVObjectView> TOVRotatable4View::newInstanceWithFrame(const platform::Rect& frame) const {
    return std::make_shared<TOVRotatable4View>(frame);
}

void TOVRotatable4View::createHandleCells() {
    removeAllHandleCells();
    addHandleCell(4);
    addHandleCell<TOVRotateHandleCell>(8);
    addHandleCell(6);
    addHandleCell(7);
}
