#include "notation/TOVNoteToneCellConversion.h"

#include "glyphs/TOVObjectView.h"

namespace TOVNoteToneCellConversion {

platform::Point dataOriginToViewOrigin(const TOVObjectView& view, platform::Point point) {
    const TOVNoteToneCell* cell = view.toneCellBelongTo();
    return cell ? convertPointToSuperView(*cell, point) : point;
}

platform::Point viewOriginToDataOrigin(const TOVObjectView& view, platform::Point point) {
    const TOVNoteToneCell* cell = view.toneCellBelongTo();
    return cell ? convertPointFromSuperView(*cell, point) : point;
}

} // namespace TOVNoteToneCellConversion
