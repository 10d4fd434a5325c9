#include "glyphs/TOVTimeView.h"

#include "glyphs/TOVObjectViewOwner.h"
#include "model/TOVStaffMetrics.h"

std::shared_ptr<TOVTimeView> TOVTimeView::withFrameSVGFileTimeType(const platform::Rect& frame,
                                                                   const std::string& svgFile, int timeType) {
    auto view = makeWithFrameSVGFile<TOVTimeView>(frame, svgFile);
    view->setTimeType(timeType);
    return view;
}

std::shared_ptr<TOVObjectView> TOVTimeView::newInstanceWithFrame(const platform::Rect& frame) const {
    return std::make_shared<TOVTimeView>(frame);
}

void TOVTimeView::copyFieldsInto(TOVObjectView& copy) const {
    TOVSelectableView::copyFieldsInto(copy);
    static_cast<TOVTimeView&>(copy).timeType_ = timeType_;
}

void TOVTimeView::adjustSelfOrigin() {
    TOVObjectViewOwner* owner = barViewBelongTo();
    if (!owner || timeType_ == 0) {
        return;
    }
    const double top = owner->posY5LinesTop();
    // The common-time glyph is a letter, not two numbers: it stands in the middle two spaces.
    const double y = timeType_ == kCommonTime ? top + TOVStaffSpace - 0.3 : top;
    if (y > 0) {
        setFrameOrigin({frame().x(), y});
    }
}
