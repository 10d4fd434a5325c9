#pragma once

#include "platform/foundation/Geometry.h"

class TOVNoteToneCell;
class TOVObjectView;

// How the views that hang on a tone (accidental, articulations, slur) reach their tone cell's frames of
// reference. A tone keeps the frames of its accidental and articulations in the data coordinates of its
// cell: the origin at the cell's left edge, level with the centre of the head. The views stand in the
// note view's superview, so every placement and every finished drag passes through these conversions.
namespace TOVNoteToneCellConversion {

// The tone cell's own conversions between its data coordinates and the note view's superview; they are
// defined with the tone cell.
platform::Point convertPointToSuperView(const TOVNoteToneCell& cell, platform::Point point);
platform::Point convertPointFromSuperView(const TOVNoteToneCell& cell, platform::Point point);

// The conversions of a view: through its tone cell, and unchanged while it has none.
platform::Point dataOriginToViewOrigin(const TOVObjectView& view, platform::Point point);
platform::Point viewOriginToDataOrigin(const TOVObjectView& view, platform::Point point);

} // namespace TOVNoteToneCellConversion
