#include "glyphs/TOVRepeatGeneralView.h"

std::shared_ptr<TOVObjectView> TOVRepeatGeneralView::newInstanceWithFrame(const platform::Rect& frame) const {
    return std::make_shared<TOVRepeatGeneralView>(frame);
}
