#pragma once

#include "notation/TOVNoteDropAreaCell.h"
#include "notation/TOVNoteGridCell.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace platform {
class GraphicsContext;
}
class TOVEditorBarView;
class TOVNoteUnitCell;

// The drop aids a notes-palette drag shows over one bar view, drawn in the bar view's coordinates after
// its frame decorations: in an empty bar a grid of one column per 30 ticks across the notes area, in a bar
// with notes one stretch per empty span, and for a harmony tone the stretch over the unit it would join.
// At most one column and one stretch are active. The bar view owns one and decides, drag by drag, which
// aid a hovering item may take; the aids last while the drag stays over it.
class TOVNotePaletteDropAids {
public:
    explicit TOVNotePaletteDropAids(TOVEditorBarView& barView) : barView_(barView) {}
    TOVNotePaletteDropAids(const TOVNotePaletteDropAids&) = delete;
    TOVNotePaletteDropAids& operator=(const TOVNotePaletteDropAids&) = delete;

    std::vector<TOVNoteGridCell>& gridCellArray() { return gridCellArray_; }
    std::vector<TOVNoteDropAreaCell>& noteDropAreaCellArray() { return noteDropAreaCellArray_; }
    std::optional<TOVNoteDropAreaCell>& harmonyDropAreaCell() { return harmonyDropAreaCell_; }

    TOVNoteGridCell* activeGridCell() const { return activeGridCell_; }
    // The old cell goes inactive, the new one active.
    void setActiveGridCell(TOVNoteGridCell* cell);
    TOVNoteDropAreaCell* activeNoteDropAreaCell() const { return activeNoteDropAreaCell_; }
    void setActiveNoteDropAreaCell(TOVNoteDropAreaCell* cell);
    // The active cell of the kind is let go before the array is replaced.
    void setGridCellArray(std::vector<TOVNoteGridCell> cells);
    void setNoteDropAreaCellArray(std::vector<TOVNoteDropAreaCell> cells);
    // The unit a hovering harmony tone would join, and the stretch marking it; null while there is none.
    TOVNoteUnitCell* harmonyDropTargetUnitCell() const { return harmonyDropTargetUnitCell_; }
    void setHarmonyDropTargetUnitCell(TOVNoteUnitCell* cell) { harmonyDropTargetUnitCell_ = cell; }
    void setHarmonyDropAreaCell(std::optional<TOVNoteDropAreaCell> cell);

    // One column per 30 ticks across the notes area, with marks of a height by their place in the beat.
    void createGridCells();
    // One stretch per gap between the bar's notes, and one after the last; none in a full bar.
    void createNoteDropAreaCells();
    // The unit becomes the harmony target, marked by an active stretch from x (bar view coordinates) across
    // the unit's width.
    void markHarmonyTargetAt(TOVNoteUnitCell* cell, double x);
    // The harmony target only while its cell still stands in one of the bar's note views.
    TOVNoteUnitCell* liveHarmonyDropTargetUnitCell() const;
    // The tick of the active column, else of the active stretch; 0 with neither.
    std::uint64_t activeTick() const;

    // Every aid goes: the grid, the stretches, the harmony stretch and the harmony target.
    void clear();
    void draw(platform::GraphicsContext& ctx) const;

private:
    TOVEditorBarView& barView_;
    std::vector<TOVNoteGridCell> gridCellArray_;
    std::vector<TOVNoteDropAreaCell> noteDropAreaCellArray_;
    std::optional<TOVNoteDropAreaCell> harmonyDropAreaCell_;
    TOVNoteGridCell* activeGridCell_ = nullptr;
    TOVNoteDropAreaCell* activeNoteDropAreaCell_ = nullptr;
    TOVNoteUnitCell* harmonyDropTargetUnitCell_ = nullptr;
};
