#include "notation/TOVNoteTieView.h"

std::shared_ptr<TOVObjectView> TOVNoteTieView::newInstanceWithFrame(const platform::Rect& frame) const {
    return std::make_shared<TOVNoteTieView>(frame);
}
