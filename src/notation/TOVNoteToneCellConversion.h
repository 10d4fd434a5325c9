#pragma once

#include "glyphs/TOVObjectView.h"
#include "platform/foundation/Geometry.h"

class TOVNoteToneCell;

// How the views that hang on a tone (accidental, articulations, slur) reach their tone cell's frames of
// reference. A tone keeps the frames of its accidental and articulations in the data coordinates of its
// cell: the origin at the cell's left edge, level with the centre of the head. The views stand in the
// note view's superview, so every placement and every finished drag passes through these conversions.
namespace TOVNoteToneCellConversion {

// The tone cell's own conversions between its data coordinates and the note view's superview. They are
// defined with the tone cell, alone in a source file of their own, so that tests of the views may link
// their own stand-ins instead.
platform::Point convertPointToSuperView(const TOVNoteToneCell& cell, platform::Point point);
platform::Point convertPointFromSuperView(const TOVNoteToneCell& cell, platform::Point point);

// The conversions of a view: through its tone cell, and unchanged while it has none.
inline platform::Point dataOriginToViewOrigin(const TOVObjectView& view, platform::Point point) {
    const TOVNoteToneCell* cell = view.toneCellBelongTo();
    return cell ? convertPointToSuperView(*cell, point) : point;
}

inline platform::Point viewOriginToDataOrigin(const TOVObjectView& view, platform::Point point) {
    const TOVNoteToneCell* cell = view.toneCellBelongTo();
    return cell ? convertPointFromSuperView(*cell, point) : point;
}

} // namespace TOVNoteToneCellConversion
