#include "notation/TOVSlurView.h"

std::shared_ptr<TOVObjectView> TOVSlurView::newInstanceWithFrame(const platform::Rect& frame) const {
    return std::make_shared<TOVSlurView>(frame);
}
