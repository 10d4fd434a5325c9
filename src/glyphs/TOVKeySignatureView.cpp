#include "glyphs/TOVKeySignatureView.h"

#include "glyphs/TOVClefView.h"
#include "glyphs/TOVObjectViewOwner.h"
#include "model/Bar.h"
#include "model/TOVStaffMetrics.h"
#include "model/TOVSymbolTypes.h"

#include <optional>

namespace {} // namespace

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
    if (keyType_ >= TOVSymbolKeySharp1 && keyType_ <= TOVSymbolKeySharp2) {
        y = top - 8.0;
    } else if (keyType_ >= TOVSymbolKeySharp3 && keyType_ <= TOVSymbolKeySharp7) {
        y = top - 11.0;
    } else if (keyType_ == TOVSymbolKeyFlat1) {
        y = top + 2.6;
    } else if (keyType_ >= TOVSymbolKeyFlat2 && keyType_ <= TOVSymbolKeyFlat7) {
        y = top - 6.6;
    }
    if (!y) {
        return;
    }
    const Bar* bar = owner->bar();
    if (bar && bar->clefMode() == TOVClefView::kFClef) {
        *y += TOVStaffSpace;
    }
    if (*y > 0) {
        setFrameOrigin({frame().x(), *y});
    }
}
