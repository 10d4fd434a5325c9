#include "glyphs/TOVRepeatPrevBarView.h"

#include "model/Symbol.h"

void TOVRepeatPrevBarView::updateView() {
    placeAtDataFrame(symbol() ? platform::Rect(symbol()->frame().origin, defaultViewSize())
                              : platform::Rect());
}

std::shared_ptr<TOVObjectView> TOVRepeatPrevBarView::newInstanceWithFrame(const platform::Rect& frame) const {
    return std::make_shared<TOVRepeatPrevBarView>(frame);
}
