#include "glyphs/TOVDynamicsGeneralView.h"

std::shared_ptr<TOVObjectView>
TOVDynamicsGeneralView::newInstanceWithFrame(const platform::Rect& frame) const {
    return std::make_shared<TOVDynamicsGeneralView>(frame);
}
