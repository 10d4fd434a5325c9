#pragma once

#include "platform/foundation/Geometry.h"
#include "platform/ui/View.h"

class TOVNoteToneCell;

namespace notationtest {

// Stands in for a tone cell where the views that hang on a tone ask for their frames of reference: the
// cell's data origin (its left edge, level with the centre of the head) is a point of its note view, and
// points pass through the note view into the note view's superview, as a tone cell converts them.
// The views keep it as their tone cell; FakeToneCell.cpp answers the conversions for it.
struct FakeToneCell {
    platform::View* noteView = nullptr;
    platform::Point dataOrigin;

    TOVNoteToneCell* asToneCell() { return reinterpret_cast<TOVNoteToneCell*>(this); }
};

} // namespace notationtest
