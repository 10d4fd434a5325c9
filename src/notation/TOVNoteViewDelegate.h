#pragma once

#include "platform/foundation/Geometry.h"

#include <optional>

namespace platform {
class DraggingInfo;
class View;
} // namespace platform
class NoteUnit;
class TOVNoteToneCell;
class TOVNoteView;

// What a note view asks of the bar that holds it: where the notes area and the middle staff line lie and
// how far apart the staff lines are, in the bar view's (y-down) coordinates. The editor's bar views and
// the rhythm matrix's bar answer these; every other question a note view may put is optional, and a host
// that does not answer it leaves the default: no neighbour, no x of its own for a unit, no reaction to a
// report.
class TOVNoteViewDelegate {
public:
    virtual ~TOVNoteViewDelegate() = default;

    virtual platform::Rect noteViewInquireRectangleNotesArea(TOVNoteView* noteView) = 0;
    // The y of the middle staff line (tone level 0).
    virtual double noteViewInquirePosYLevel0(TOVNoteView* noteView) = 0;
    // The distance between two staff lines.
    virtual double noteViewInquire5LinesPitch(TOVNoteView* noteView) = 0;
    // The bar view that holds the note.
    virtual platform::View* noteViewInquireBarView(TOVNoteView* noteView) = 0;

    // --- Optional ---
    // The note view whose note ends where this one begins (begins where this one ends), also across a bar.
    virtual TOVNoteView* noteViewInquirePreviousNoteView(TOVNoteView*) { return nullptr; }
    virtual TOVNoteView* noteViewInquireNextNoteView(TOVNoteView*) { return nullptr; }
    // The x of the unit in the bar view; none when the host spaces its notes linearly in time.
    virtual std::optional<double> noteViewInquirexPosForUnit(TOVNoteView*, NoteUnit*) { return std::nullopt; }

    virtual void noteViewWillBeDropTargetOn(TOVNoteView*, bool) {}

    // A tone dragged up or down, the point in the note view's coordinates.
    virtual void noteViewWillStartDragToneAt(TOVNoteView*, TOVNoteToneCell*, platform::Point) {}
    virtual void noteViewDidUpdateDragToneAt(TOVNoteView*, TOVNoteToneCell*, platform::Point) {}
    virtual void noteViewDidFinishDragToneAt(TOVNoteView*, TOVNoteToneCell*, platform::Point) {}
    // A stem flipped by a drag.
    virtual void noteViewWillStartFlippingAt(TOVNoteView*, platform::Point) {}
    virtual void noteViewDidUpdateFlippingAt(TOVNoteView*, platform::Point) {}
    virtual void noteViewDidFinishFlippingAt(TOVNoteView*, platform::Point) {}

    // Palette drags over the note view; a symbol dropped on one of its tones.
    virtual void noteViewToneCellRequireInsertSymbolObjectDraggingInfo(TOVNoteView*, TOVNoteToneCell*, int,
                                                                       const platform::DraggingInfo&) {}
    virtual void noteViewSymbolPaletteDragEnteredDraggingInfo(TOVNoteView*, int,
                                                              const platform::DraggingInfo&) {}
    virtual void noteViewSymbolPaletteDragExitedDraggingInfo(TOVNoteView*, int,
                                                             const platform::DraggingInfo&) {}
    virtual void noteViewSymbolPaletteDragPerformedDraggingInfo(TOVNoteView*, int,
                                                                const platform::DraggingInfo&) {}
    virtual void noteViewNotePaletteDragEnteredDraggingInfo(TOVNoteView*, int,
                                                            const platform::DraggingInfo&) {}
    virtual void noteViewNotePaletteDragExitedDraggingInfo(TOVNoteView*, int, const platform::DraggingInfo&) {
    }
    virtual void noteViewNotePaletteDragPerformedDraggingInfo(TOVNoteView*, int,
                                                              const platform::DraggingInfo&) {}
};
