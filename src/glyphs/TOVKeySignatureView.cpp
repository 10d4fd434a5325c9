#include "glyphs/TOVKeySignatureView.h"

#include "glyphs/TOVClefView.h"
#include "glyphs/TOVObjectViewOwner.h"
#include "model/Bar.h"

#include <optional>

namespace {
constexpr double kStaffSpace = 5.9;
} // namespace

std::shared_ptr<TOVKeySignatureView> TOVKeySignatureView::withFrameSVGFileKeyType(const platform::Rect& frame,
                                                                                  const std::string& svgFile,
                                                                                  int keyType) {
    auto view = makeWithFrameSVGFile<TOVKeySignatureView>(frame, svgFile);
    view->setKeyType(keyType);
    return view;
}

std::shared_ptr<TOVObjectView> TOVKeySignatureView::newInstanceWithFrame(const platform::Rect& frame) const {
    return std::make_shared<TOVKeySignatureView>(frame);
}

void TOVKeySignatureView::copyFieldsInto(TOVObjectView& copy) const {
    TOVSelectableView::copyFieldsInto(copy);
    static_cast<TOVKeySignatureView&>(copy).keyType_ = keyType_;
}

void TOVKeySignatureView::adjustSelfOrigin() {
    TOVObjectViewOwner* owner = barViewBelongTo();
    if (!owner || keyType_ == 0) {
        return;
    }
    const double top = owner->posY5LinesTop();
    // The glyphs of each group share the height of their first accidental.
    std::optional<double> y;
    if (keyType_ >= 0x200 && keyType_ <= 0x201) {
        y = top - 8.0;
    } else if (keyType_ >= 0x202 && keyType_ <= 0x206) {
        y = top - 11.0;
    } else if (keyType_ == 0x207) {
        y = top + 2.6;
    } else if (keyType_ >= 0x208 && keyType_ <= 0x20D) {
        y = top - 6.6;
    }
    if (!y) {
        return;
    }
    const Bar* bar = owner->bar();
    if (bar && bar->clefMode() == TOVClefView::kFClef) {
        *y += kStaffSpace;
    }
    if (*y > 0) {
        setFrameOrigin({frame().x(), *y});
    }
}
