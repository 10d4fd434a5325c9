#pragma once

#include "platform/foundation/Geometry.h"

// The tone cell a view hangs on (an accidental, an articulation, a slur, a tie), as that view sees it. A
// tone keeps the frames of its accidental and articulations in the data coordinates of its cell: the
// origin at the cell's left edge, level with the centre of the head. The views stand in the note view's
// superview, so every placement and every finished drag passes through these two conversions. The tone
// cell implements it; the glyph layer knows no more of it.
class TOVObjectViewToneCell {
public:
    virtual ~TOVObjectViewToneCell() = default;

    // Between the tone's data coordinates and the note view's superview.
    virtual platform::Point convertPointToSuperView(platform::Point p) const = 0;
    virtual platform::Point convertPointFromSuperView(platform::Point p) const = 0;

    // A view's conversions through its tone cell; the point unchanged while it has none.
    static platform::Point dataOriginToViewOrigin(const TOVObjectViewToneCell* cell, platform::Point p) {
        return cell ? cell->convertPointToSuperView(p) : p;
    }
    static platform::Point viewOriginToDataOrigin(const TOVObjectViewToneCell* cell, platform::Point p) {
        return cell ? cell->convertPointFromSuperView(p) : p;
    }
};
