#include "glyphs/TOVTempoGeneralView.h"

std::shared_ptr<TOVObjectView> TOVTempoGeneralView::newInstanceWithFrame(const platform::Rect& frame) const {
    return std::make_shared<TOVTempoGeneralView>(frame);
}
