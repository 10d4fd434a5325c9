#include "glyphs/TOVBarLineView.h"

std::shared_ptr<TOVBarLineView> TOVBarLineView::withFrame(const platform::Rect& frame) {
    platform::Rect placed = frame;
    if (placed.width() == 0) {
        placed.size.width = kDefaultWidth;
    }
    auto view = std::make_shared<TOVBarLineView>(placed);
    view->registerForDraggedTypes({kPaletteDragType});
    return view;
}

std::shared_ptr<TOVObjectView> TOVBarLineView::newInstanceWithFrame(const platform::Rect& frame) const {
    return withFrame(frame);
}
