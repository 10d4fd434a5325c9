#include "glyphs/TOVRepeatPrevBarView.h"

std::shared_ptr<TOVObjectView> TOVRepeatPrevBarView::newInstanceWithFrame(const platform::Rect& frame) const {
    return std::make_shared<TOVRepeatPrevBarView>(frame);
}
