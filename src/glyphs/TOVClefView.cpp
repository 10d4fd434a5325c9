#include "glyphs/TOVClefView.h"

#include "glyphs/TOVObjectViewOwner.h"

#include <optional>

std::shared_ptr<TOVClefView> TOVClefView::withFrameSVGFileClefType(const platform::Rect& frame,
                                                                   const std::string& svgFile, int clefType) {
    auto view = makeWithFrameSVGFile<TOVClefView>(frame, svgFile);
    view->setClefType(clefType);
    return view;
}

std::shared_ptr<TOVObjectView> TOVClefView::newInstanceWithFrame(const platform::Rect& frame) const {
    return std::make_shared<TOVClefView>(frame);
}

void TOVClefView::copyFieldsInto(TOVObjectView& copy) const {
    TOVSelectableView::copyFieldsInto(copy);
    static_cast<TOVClefView&>(copy).clefType_ = clefType_;
}

void TOVClefView::adjustSelfOrigin() {
    TOVObjectViewOwner* owner = barViewBelongTo();
    if (!owner || clefType_ == 0) {
        return;
    }
    const double top = owner->posY5LinesTop();
    std::optional<double> y;
    if (clefType_ == kGClef) {
        y = top - 8.0;
    } else if (clefType_ == kFClef) {
        y = top - 1.0;
    }
    if (y && *y > 0) {
        setFrameOrigin({frame().x(), *y});
    }
}
