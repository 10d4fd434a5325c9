// Drags from the notes palette over a bar: the grid of an empty bar, the empty stretches of a bar with
// notes, the note head that shows the pitch, and what a drop asks for.

#include "layout/TOVEditorBarView.h"
#include "layout/TOVPaletteTypes.h"
#include "model/Bar.h"
#include "model/Note.h"
#include "model/NoteUnit.h"
#include "model/TOVUtils.h"
#include "notation/TOVNotePreview.h"
#include "notation/TOVNoteUnitCell.h"
#include "notation/TOVNoteView.h"
#include "notation/TOVNoteViewFactory.h"

#include <algorithm>

using platform::DragOperation;
using platform::Point;
using platform::Rect;

namespace {

std::uint32_t itemOf(const platform::DraggingInfo& info) {
    return static_cast<std::uint32_t>(TOVPaletteTypes::itemCode(info));
}

std::uint32_t groupOf(std::uint32_t item) {
    return item & NoteUnit::GroupMask;
}

bool isRhythmItem(std::uint32_t item) {
    switch (groupOf(item)) {
    case NoteUnit::GroupNote:
    case NoteUnit::GroupRest:
    case NoteUnit::GroupTriplet:
    case NoteUnit::GroupSextuplet:
        return true;
    default:
        return item == TOVEditorBarView::kNotePaletteBeatSlash;
    }
}

// Rests and one-beat slashes have no pitch: only the target shows where they land.
bool showsPitch(std::uint32_t item) {
    const std::uint32_t group = groupOf(item);
    return group == NoteUnit::GroupNote || group == NoteUnit::GroupTriplet ||
           group == NoteUnit::GroupSextuplet;
}

} // namespace

std::uint64_t TOVEditorBarView::noteLengthFromNoteType(std::int32_t type) {
    return static_cast<std::uint32_t>(type) & NoteUnit::LengthMask;
}

// --- Aids: forwards to the drop aids ---

void TOVEditorBarView::setGridCellArray(std::vector<TOVNoteGridCell> cells) {
    notePaletteDropAids_.setGridCellArray(std::move(cells));
}

void TOVEditorBarView::setNoteDropAreaCellArray(std::vector<TOVNoteDropAreaCell> cells) {
    notePaletteDropAids_.setNoteDropAreaCellArray(std::move(cells));
}

void TOVEditorBarView::setHarmonyDropAreaCell(std::optional<TOVNoteDropAreaCell> cell) {
    notePaletteDropAids_.setHarmonyDropAreaCell(std::move(cell));
}

// --- The preview ---

void TOVEditorBarView::setNotePreview(std::shared_ptr<TOVNotePreview> preview) {
    if (notePreview_ == preview) {
        return;
    }
    if (notePreview_) {
        notePreview_->removeFromSuperview();
    }
    notePreview_ = std::move(preview);
}

void TOVEditorBarView::showNewNotePreview() {
    TOVNoteViewFactory* factory = TOVUtils::noteViewFactory();
    std::shared_ptr<TOVNotePreview> preview =
        factory != nullptr ? factory->tonePreviewForDraggingWithFontID(plugInFontID()) : nullptr;
    setNotePreview(preview);
    if (!preview) {
        return;
    }
    preview->setBarViewBelongTo(this);
    if (TOVEditorView* editor = hostEditorView()) {
        editor->addSubviewRelativeOriginFromAboveAll(preview, this, true);
    }
}

void TOVEditorBarView::updateNotePreviewAt(Point point) {
    if (!notePreview_) {
        return;
    }
    const std::int64_t level = toneLevelFromPosY(point.y);
    // Over a grid the head stands on the active column's line, over a stretch at its start; a tone drag
    // has neither and keeps the pointer's x.
    double x = point.x;
    std::optional<std::uint64_t> position;
    if (!gridCellArray().empty()) {
        if (const TOVNoteGridCell* active = activeGridCell()) {
            x = active->frame().x() - notePreview_->offsetX();
            position = static_cast<std::uint64_t>(active - gridCellArray().data());
        }
    } else if (!noteDropAreaCellArray().empty()) {
        if (const TOVNoteDropAreaCell* active = activeNoteDropAreaCell()) {
            x = active->frame().x();
            position = active->x();
        }
    }
    // The frame reaches from the head to the middle line.
    double y = 0;
    double height = 0;
    if (level >= 1) {
        y = posYFromToneLevel(level) - kLevelStep;
        height = static_cast<double>(level + 1) * kLevelStep;
    } else if (level == 0) {
        y = posYLevel0() - kLevelStep;
        height = kStaffSpace;
    } else {
        y = posYLevel0();
        height = static_cast<double>(1 - level) * kLevelStep;
    }
    Point origin{x, y};
    if (const TOVEditorView* editor = hostEditorView()) {
        origin = convertPointToView(origin, editor);
    }
    notePreview_->setFrame(Rect(origin.x, origin.y, notePreview_->frame().width(), height));
    if (position) {
        notePreview_->setX(*position);
    }
    notePreview_->setLevel(level);
    notePreview_->updateView();
}

void TOVEditorBarView::clearDraggingFromNotePalette() {
    setNotePreview(nullptr);
    notePaletteDropAids_.clear();
    setDropTarget(false);
    setNeedsDisplay();
}

// --- Hover ---

bool TOVEditorBarView::canInputItemAtGridCell(std::uint32_t item, const TOVNoteGridCell& cell) const {
    const std::uint64_t length = noteLengthFromNoteType(static_cast<std::int32_t>(item));
    if (item == kNotePaletteBeatSlash) {
        return bar_->canInputBeatSlashFrom(cell.x());
    }
    switch (groupOf(item)) {
    case NoteUnit::GroupNote:
    case NoteUnit::GroupRest:
        return bar_->canInputNoteFromLength(cell.x(), length);
    case NoteUnit::GroupTriplet:
        return bar_->canInputTripletFromLength(cell.x(), length);
    case NoteUnit::GroupSextuplet:
        return bar_->canInputSextupletFromLength(cell.x(), length);
    default:
        return false;
    }
}

bool TOVEditorBarView::canInputItemAtDropArea(std::uint32_t item, const TOVNoteDropAreaCell& cell) const {
    const std::uint64_t length = noteLengthFromNoteType(static_cast<std::int32_t>(item));
    if (item == kNotePaletteBeatSlash) {
        return bar_->canInputBeatSlashFrom(cell.x());
    }
    switch (groupOf(item)) {
    case NoteUnit::GroupNote:
    case NoteUnit::GroupRest:
        // The value lands at the stretch's start and has to fit inside it.
        return length <= cell.length();
    case NoteUnit::GroupTriplet:
        return bar_->canInputTripletFromLength(cell.x(), length);
    case NoteUnit::GroupSextuplet:
        return bar_->canInputSextupletFromLength(cell.x(), length);
    default:
        return false;
    }
}

DragOperation TOVEditorBarView::draggingEnteredFromNotePalette(const platform::DraggingInfo& info) {
    const DragOperation operation = draggingUpdatedFromNotePalette(info);
    if (TOVLayoutController* controller = delegate()) {
        controller->layoutViewNotePaletteDragEnteredDraggingInfo(this, TOVPaletteTypes::itemCode(info), info);
    }
    return operation;
}

DragOperation TOVEditorBarView::draggingUpdatedFromNotePalette(const platform::DraggingInfo& info) {
    const std::uint32_t item = itemOf(info);
    if (item == kNotePaletteHarmonyTone) {
        return draggingUpdatedWithHarmonyTone(info);
    }
    if (!isRhythmItem(item) || bar_ == nullptr) {
        return platform::DragOperationNone;
    }
    const Point location = convertPointFromView(info.draggingLocation(), nullptr);
    bool accepted = false;
    if (bar_->notes().empty()) {
        std::vector<TOVNoteGridCell>& cells = gridCellArray();
        if (cells.empty()) {
            createGridCells();
        }
        auto hit = std::find_if(cells.begin(), cells.end(),
                                [&](const TOVNoteGridCell& cell) { return cell.hitTestInFrame(location); });
        TOVNoteGridCell* target = hit != cells.end() ? &*hit : nullptr;
        accepted = target != nullptr && canInputItemAtGridCell(item, *target);
        setActiveGridCell(accepted ? target : nullptr);
    } else {
        std::vector<TOVNoteDropAreaCell>& cells = noteDropAreaCellArray();
        if (cells.empty()) {
            createNoteDropAreaCells();
        }
        auto hit = std::find_if(cells.begin(), cells.end(), [&](const TOVNoteDropAreaCell& cell) {
            return cell.hitTestInFrame(location);
        });
        TOVNoteDropAreaCell* target = hit != cells.end() ? &*hit : nullptr;
        accepted = target != nullptr && canInputItemAtDropArea(item, *target);
        setActiveNoteDropAreaCell(accepted ? target : nullptr);
    }
    if (showsPitch(item)) {
        if (accepted) {
            if (!notePreview_) {
                showNewNotePreview();
            }
            updateNotePreviewAt(location);
        } else {
            // Nothing may mark a position that would be refused.
            setNotePreview(nullptr);
        }
    }
    setNeedsDisplay();
    return accepted ? platform::DragOperationCopy : platform::DragOperationNone;
}

DragOperation TOVEditorBarView::draggingUpdatedWithHarmonyTone(const platform::DraggingInfo& info) {
    // The first unit with tones whose column holds the pointer, in any of the bar's note views.
    TOVNoteUnitCell* target = nullptr;
    TOVNoteView* targetView = nullptr;
    for (const auto& noteView : noteViewArray_) {
        const Point inNote = noteView->convertPointFromView(info.draggingLocation(), nullptr);
        TOVNoteUnitCell* cell = noteView->unitFromXPos(inNote.x);
        if (cell != nullptr && cell->unit() != nullptr && cell->unit()->kind() == NoteUnit::KindMelody) {
            target = cell;
            targetView = noteView.get();
            break;
        }
    }
    if (target == nullptr) {
        clearDraggingFromNotePalette();
        setNeedsDisplay();
        return platform::DragOperationNone;
    }
    // The head stands at the unit's left edge, at the pointer's height.
    const Point location = convertPointFromView(info.draggingLocation(), nullptr);
    const Point point{targetView->convertPointToView(target->frame().origin, this).x, location.y};
    if (target != harmonyDropTargetUnitCell()) {
        notePaletteDropAids_.markHarmonyTargetAt(target, point.x);
        showNewNotePreview();
        setDropTarget(true);
    }
    updateNotePreviewAt(point);
    setNeedsDisplay();
    return platform::DragOperationCopy;
}

void TOVEditorBarView::draggingExitedFromNotePalette(const platform::DraggingInfo& info) {
    clearDraggingFromNotePalette();
    if (TOVLayoutController* controller = delegate()) {
        controller->layoutViewNotePaletteDragExitedDraggingInfo(this, TOVPaletteTypes::itemCode(info), info);
    }
}

// --- Drop ---

bool TOVEditorBarView::performDragOperationFromNotePalette(const platform::DraggingInfo& info) {
    const std::int32_t code = TOVPaletteTypes::itemCode(info);
    const std::uint32_t item = static_cast<std::uint32_t>(code);
    const std::uint64_t length = noteLengthFromNoteType(code);
    const std::uint64_t tick = notePaletteDropAids_.activeTick();
    const std::int64_t level = notePreview_ ? notePreview_->level() : 0;
    TOVLayoutController* controller = delegate();
    bool performed = false;
    if (item == kNotePaletteHarmonyTone) {
        TOVNoteUnitCell* target = notePaletteDropAids_.liveHarmonyDropTargetUnitCell();
        NoteUnit* unit = target != nullptr ? target->unit() : nullptr;
        // A level the unit already holds would make a second head under the first one: refused.
        if (unit != nullptr && notePreview_ && !unit->hasToneAtLevel(level)) {
            unit->createNewToneWithLevel(level);
            if (const std::shared_ptr<TOVNoteView> noteView = noteViewFromData(unit->note())) {
                noteView->updateView();
                if (TOVNoteView* previous = previousContinuousNoteViewOf(noteView.get())) {
                    previous->updateTie();
                }
            }
            performed = true;
        }
    } else if (controller != nullptr && isRhythmItem(item)) {
        if (item == kNotePaletteBeatSlash) {
            controller->layoutViewRequireInsertBeatSlashAt(this, tick);
        } else {
            switch (groupOf(item)) {
            case NoteUnit::GroupNote:
                controller->layoutViewRequireInsertMeloAtLengthLevel(this, tick, length, level);
                break;
            case NoteUnit::GroupRest:
                controller->layoutViewRequireInsertRestAtLength(this, tick, length);
                break;
            case NoteUnit::GroupTriplet:
                controller->layoutViewRequireInsertTripletAtLengthLevel(this, tick, length, level);
                break;
            case NoteUnit::GroupSextuplet:
                controller->layoutViewRequireInsertSextupletAtLengthLevel(this, tick, length, level);
                break;
            default:
                break;
            }
        }
        performed = true;
    }
    clearDraggingFromNotePalette();
    if (controller != nullptr) {
        controller->layoutViewNotePaletteDragPerformedDraggingInfo(this, code, info);
    }
    return performed;
}
