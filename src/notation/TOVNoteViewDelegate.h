#pragma once

#include "platform/foundation/Geometry.h"

#include <cstdint>
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
// the rhythm matrix's bar answer these; every other question a note view may put is optional.
//
// The optional operations have bodies that do what a delegate without them would: reports are dropped,
// neighbours are none, and the two answers whose absence the note view must tell from a real answer say
// so (an empty x, an insertion not taken).
class TOVNoteViewDelegate {
public:
    virtual ~TOVNoteViewDelegate() = default;

    // --- Required ---
    virtual platform::Rect noteViewInquireRectangleNotesArea(TOVNoteView* noteView) = 0;
    // The y of the middle staff line (tone level 0).
    virtual double noteViewInquirePosYLevel0(TOVNoteView* noteView) = 0;
    // The distance between two staff lines.
    virtual double noteViewInquire5LinesPitch(TOVNoteView* noteView) = 0;
    // The bar view that holds the note.
    virtual platform::View* noteViewInquireBarView(TOVNoteView* noteView) = 0;

    // --- Optional: the bar as a drop target ---
    // A palette drag hovers over (YES) or leaves (NO) the note view.
    virtual void noteViewWillBeDropTargetOn(TOVNoteView* noteView, bool on) {}

    // --- Optional: dragging a tone up or down; points in the note view's coordinates ---
    virtual void noteViewWillStartDragToneAt(TOVNoteView* noteView, TOVNoteToneCell* toneCell,
                                             platform::Point point) {}
    virtual void noteViewDidUpdateDragToneAt(TOVNoteView* noteView, TOVNoteToneCell* toneCell,
                                             platform::Point point) {}
    virtual void noteViewDidFinishDragToneAt(TOVNoteView* noteView, TOVNoteToneCell* toneCell,
                                             platform::Point point) {}

    // --- Optional: dragging the flip handle; points in the note view's coordinates ---
    virtual void noteViewWillStartFlippingAt(TOVNoteView* noteView, platform::Point point) {}
    virtual void noteViewDidUpdateFlippingAt(TOVNoteView* noteView, platform::Point point) {}
    virtual void noteViewDidFinishFlippingAt(TOVNoteView* noteView, platform::Point point) {}

    // --- Optional: neighbours, also across bars ---
    // The note view whose note ends where this one begins; null when there is none.
    virtual TOVNoteView* noteViewInquirePreviousNoteView(TOVNoteView* noteView) { return nullptr; }
    // The note view whose note begins where this one ends; null when there is none.
    virtual TOVNoteView* noteViewInquireNextNoteView(TOVNoteView* noteView) { return nullptr; }

    // --- Optional: palette drops onto a tone and palette drags over the note view ---
    // An accidental or articulation dropped onto the tone of the cell; false when the delegate does not
    // take such insertions, so that the note view refuses the drop.
    virtual bool noteViewToneCellRequireInsertSymbolObjectDraggingInfo(TOVNoteView* noteView,
                                                                       TOVNoteToneCell* toneCell,
                                                                       std::int32_t type,
                                                                       const platform::DraggingInfo& info) {
        return false;
    }
    virtual void noteViewSymbolPaletteDragEnteredDraggingInfo(TOVNoteView* noteView, std::int32_t item,
                                                              const platform::DraggingInfo& info) {}
    virtual void noteViewSymbolPaletteDragExitedDraggingInfo(TOVNoteView* noteView, std::int32_t item,
                                                             const platform::DraggingInfo& info) {}
    virtual void noteViewSymbolPaletteDragPerformedDraggingInfo(TOVNoteView* noteView, std::int32_t item,
                                                                const platform::DraggingInfo& info) {}
    virtual void noteViewNotePaletteDragEnteredDraggingInfo(TOVNoteView* noteView, std::int32_t item,
                                                            const platform::DraggingInfo& info) {}
    virtual void noteViewNotePaletteDragExitedDraggingInfo(TOVNoteView* noteView, std::int32_t item,
                                                           const platform::DraggingInfo& info) {}
    virtual void noteViewNotePaletteDragPerformedDraggingInfo(TOVNoteView* noteView, std::int32_t item,
                                                              const platform::DraggingInfo& info) {}

    // --- Optional: proportional spacing ---
    // The x of the unit in the bar view; empty when the delegate does not space units, so that the note
    // view falls back on the tick grid.
    virtual std::optional<double> noteViewInquirexPosForUnit(TOVNoteView* noteView, const NoteUnit* unit) {
        return std::nullopt;
    }
};
