#include "glyphs/TOVPushGeneralView.h"

std::shared_ptr<TOVObjectView> TOVPushGeneralView::newInstanceWithFrame(const platform::Rect& frame) const {
    return std::make_shared<TOVPushGeneralView>(frame);
}
