#pragma once

#include "glyphs/TOVObjectViewToneCell.h"
#include "platform/foundation/Geometry.h"
#include "platform/ui/View.h"

namespace notationtest {

// Stands in for a tone cell where the views that hang on a tone ask for their frames of reference: the
// cell's data origin (its left edge, level with the centre of the head) is a point of its note view, and
// points pass through the note view into the note view's superview, as a tone cell converts them.
struct FakeToneCell final : TOVObjectViewToneCell {
    FakeToneCell(platform::View* noteView, platform::Point dataOrigin)
        : noteView(noteView), dataOrigin(dataOrigin) {}

    platform::Point convertPointToSuperView(platform::Point point) const override {
        const platform::Point inNoteView{point.x + dataOrigin.x, point.y + dataOrigin.y};
        return noteView->convertPointToView(inNoteView, noteView->superview());
    }

    platform::Point convertPointFromSuperView(platform::Point point) const override {
        const platform::Point inNoteView = noteView->convertPointFromView(point, noteView->superview());
        return {inNoteView.x - dataOrigin.x, inNoteView.y - dataOrigin.y};
    }

    platform::View* noteView = nullptr;
    platform::Point dataOrigin;
};

} // namespace notationtest
