// The note view as a drop destination: the tie and the accidentals of the notes palette and the
// articulations of the symbols palette land on the tone under the pointer; every other palette item is
// handed to the bar view beneath, so that a note never blocks a drop meant for its bar.

#include "notation/TOVNoteView.h"

#include "glyphs/TOVObjectController.h"
#include "model/Note.h"
#include "model/NoteTone.h"
#include "model/NoteUnit.h"
#include "model/TOVNoteUtils.h"
#include "model/TOVSymbolTypes.h"
#include "model/TOVUnitTypes.h"
#include "model/Tie.h"
#include "notation/TOVNoteTieView.h"
#include "notation/TOVNoteToneCell.h"
#include "notation/TOVNoteUnitCell.h"
#include "notation/TOVNoteViewDelegate.h"
#include "platform/foundation/KeyedUnarchiver.h"

#include <functional>
#include <memory>
#include <span>
#include <typeinfo>

using platform::DraggingInfo;
using platform::DragOperation;
using platform::DragOperationCopy;
using platform::DragOperationNone;

namespace {

constexpr const char* kItemTypeKey = "itemType";
constexpr std::int32_t kTieItem = TOVNoteItemTie;
constexpr std::int32_t kFirstAccidentalItem = TOVNoteItemSharp;
constexpr std::int32_t kLastAccidentalItem = TOVNoteItemDoubleFlat;

// The palette item of the drag: the keyed-archived number under "itemType", its low 32 bits; 0 when there
// is none or it cannot be read.
std::int32_t itemCodeOf(const DraggingInfo& info) {
    const QByteArray bytes = info.dataForType(kItemTypeKey);
    const auto number = platform::KeyedUnarchiver::unarchivedNumber(std::span<const std::uint8_t>(
        reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size())));
    return number ? static_cast<std::int32_t>(static_cast<std::uint32_t>(*number & 0xFFFFFFFF)) : 0;
}

// Only the seven articulations the tone knows: other codes of the family come from no palette.
bool isArticulationItem(std::int32_t code) {
    return code >= TOVSymbolTenuto && code <= TOVSymbolSlur;
}

bool isTieOrAccidentalItem(std::int32_t code) {
    return code >= kTieItem && code <= kLastAccidentalItem;
}

bool isAccidentalItem(std::int32_t code) {
    return code >= kFirstAccidentalItem && code <= kLastAccidentalItem;
}

// The cell's own handle on one of its views, which the cell keeps as a drop's replacement target.
std::shared_ptr<TOVObjectView> sharedViewOf(TOVObjectView* view) {
    return view != nullptr ? std::static_pointer_cast<TOVObjectView>(view->shared_from_this()) : nullptr;
}

using Qualifies = std::function<bool(const TOVNoteUnitCell&, const TOVNoteToneCell&)>;
using Replaced = std::function<TOVObjectView*(const TOVNoteToneCell&)>;

// Walks the unit cells under the pointer and makes each tone cell under it that qualifies the target in
// turn, so the last one stays. The view a drop would replace is marked on the target; a mark left on a cell
// that stopped being the target is taken away first, so only what the drop will really replace shows.
bool findDropTargetToneCell(TOVNoteView& view, const DraggingInfo& info, const Qualifies& qualifies,
                            const Replaced& replaced) {
    const platform::Point point = view.convertPointFromView(info.draggingLocation(), nullptr);
    bool found = false;
    for (const auto& unitCell : view.unitCellArray()) {
        if (!unitCell->hitTestInFrame(point)) {
            continue;
        }
        TOVNoteToneCell* hit = nullptr;
        for (const auto& toneCell : unitCell->toneCellArray()) {
            if (toneCell->hitTestInFrame(point)) {
                hit = toneCell.get();
                break;
            }
        }
        if (hit == nullptr || !qualifies(*unitCell, *hit)) {
            continue;
        }
        TOVNoteToneCell* previous = view.dropTargetToneCell();
        if (previous != nullptr && previous != hit && previous->replaceTargetView() != nullptr) {
            previous->replaceTargetView()->makeSelfTargetOff();
            previous->setReplaceTargetView(nullptr);
        }
        view.setDropTarget(true);
        view.setDropTargetToneCell(hit);
        if (TOVObjectView* old = replaced ? replaced(*hit) : nullptr) {
            old->makeSelfTargetOn();
            hit->setReplaceTargetView(sharedViewOf(old));
        }
        found = true;
    }
    return found;
}

} // namespace

DragOperation TOVNoteView::draggingEntered(const DraggingInfo& info) {
    setCanAcceptDraggingUpdateEvent(true);
    return draggingUpdated(info);
}

DragOperation TOVNoteView::draggingUpdated(const DraggingInfo& info) {
    if (!canAcceptDraggingUpdateEvent()) {
        return DragOperationNone;
    }
    setNeedsDisplay();
    if (info.hasType(kSymbolPaletteDragType)) {
        return draggingUpdatedFromSymbolPalette(info);
    }
    if (info.hasType(kNotePaletteDragType)) {
        return draggingUpdatedFromNotePalette(info);
    }
    return DragOperationNone;
}

DragOperation TOVNoteView::draggingUpdatedFromSymbolPalette(const DraggingInfo& info) {
    const std::int32_t code = itemCodeOf(info);
    const bool articulation = isArticulationItem(code);
    bool found = false;
    DragOperation operation = DragOperationNone;
    if (articulation) {
        found = findDropTargetToneCell(
            *this, info, [](const TOVNoteUnitCell&, const TOVNoteToneCell&) { return true; },
            [code](const TOVNoteToneCell& cell) { return cell.symbolViewOfType(code); });
        operation = found ? DragOperationCopy : DragOperationNone;
    } else if (platform::View* bar = barView()) {
        operation = bar->draggingUpdated(info);
    }
    if (!articulation || !found) {
        clearDraggingFromPalette();
    }
    if (TOVNoteViewDelegate* host = noteViewDelegate()) {
        host->noteViewSymbolPaletteDragEnteredDraggingInfo(this, code, info);
    }
    return operation;
}

DragOperation TOVNoteView::draggingUpdatedFromNotePalette(const DraggingInfo& info) {
    const std::int32_t code = itemCodeOf(info);
    DragOperation operation = DragOperationNone;
    if (code == kTieItem) {
        // A tie that could reach a tone and is not there yet.
        const bool found = findDropTargetToneCell(
            *this, info,
            [](const TOVNoteUnitCell&, const TOVNoteToneCell& cell) {
                const NoteTone* tone = cell.tone();
                return tone != nullptr && tone->tieRight() == nullptr &&
                       tone->nextContinuousTone() != nullptr;
            },
            nullptr);
        operation = found ? DragOperationCopy : DragOperationNone;
    } else if (isAccidentalItem(code)) {
        // Pitched tones only: no slash takes an accidental.
        const bool found = findDropTargetToneCell(
            *this, info,
            [](const TOVNoteUnitCell& unitCell, const TOVNoteToneCell&) {
                return unitCell.unit() != nullptr && unitCell.unit()->kind() == NoteUnit::KindMelody;
            },
            [](const TOVNoteToneCell& cell) { return cell.accidentalView().get(); });
        operation = found ? DragOperationCopy : DragOperationNone;
    } else {
        if (platform::View* bar = barView()) {
            operation = bar->draggingUpdated(info);
        }
    }
    if (operation == DragOperationNone || !isTieOrAccidentalItem(code)) {
        clearDraggingFromPalette();
    }
    if (TOVNoteViewDelegate* host = noteViewDelegate()) {
        host->noteViewNotePaletteDragEnteredDraggingInfo(this, code, info);
    }
    return operation;
}

void TOVNoteView::draggingExited(const DraggingInfo& info) {
    if (info.hasType(kSymbolPaletteDragType)) {
        const std::int32_t code = itemCodeOf(info);
        if (isArticulationItem(code)) {
            clearDraggingFromPalette();
        } else if (platform::View* bar = barView()) {
            bar->draggingExited(info);
        }
        if (TOVNoteViewDelegate* host = noteViewDelegate()) {
            host->noteViewSymbolPaletteDragExitedDraggingInfo(this, code, info);
        }
    } else if (info.hasType(kNotePaletteDragType)) {
        const std::int32_t code = itemCodeOf(info);
        if (isTieOrAccidentalItem(code)) {
            clearDraggingFromPalette();
        } else if (platform::View* bar = barView()) {
            bar->draggingExited(info);
        }
        if (TOVNoteViewDelegate* host = noteViewDelegate()) {
            host->noteViewNotePaletteDragExitedDraggingInfo(this, code, info);
        }
    }
    setNeedsDisplay();
}

bool TOVNoteView::performDragOperation(const DraggingInfo& info) {
    setCanAcceptDraggingUpdateEvent(false);
    // The bar lets go of the selection when its drop-target mark goes: that has to happen before the drop
    // selects what it made, not after.
    setDropTarget(false);
    bool done = false;
    if (info.hasType(kSymbolPaletteDragType)) {
        done = performDragOperationFromSymbolPalette(info);
    } else if (info.hasType(kNotePaletteDragType)) {
        done = performDragOperationFromNotePalette(info);
    }
    setNeedsDisplay();
    return done;
}

bool TOVNoteView::performDragOperationFromSymbolPalette(const DraggingInfo& info) {
    const std::int32_t code = itemCodeOf(info);
    bool done = false;
    if (!isArticulationItem(code)) {
        if (platform::View* bar = barView()) {
            done = bar->performDragOperation(info);
        }
    } else if (TOVNoteToneCell* cell = dropTargetToneCell();
               cell != nullptr && noteViewDelegate() != nullptr) {
        // The delegate answers NO when it takes no insertions.
        done =
            noteViewDelegate()->noteViewToneCellRequireInsertSymbolObjectDraggingInfo(this, cell, code, info);
    }
    if (TOVNoteViewDelegate* host = noteViewDelegate()) {
        host->noteViewSymbolPaletteDragPerformedDraggingInfo(this, code, info);
    }
    clearDraggingFromPalette();
    return done;
}

bool TOVNoteView::performDragOperationFromNotePalette(const DraggingInfo& info) {
    const std::int32_t code = itemCodeOf(info);
    bool done = false;
    if (code == kTieItem) {
        TOVNoteToneCell* cell = dropTargetToneCell();
        NoteTone* tone = cell != nullptr ? cell->tone() : nullptr;
        // The tone is asked again: a second tie from one tone would leave the first one dangling.
        Tie* tie = tone != nullptr && tone->tieRight() == nullptr ? tone->createNewTie() : nullptr;
        if (tie != nullptr) {
            // The rebuild replaces the cells, the target among them: the new tie hangs on the tone's new
            // cell.
            updateView();
            if (TOVNoteToneCell* rebuilt = toneCellOfData(tone); rebuilt != nullptr && rebuilt->tieView()) {
                rebuilt->tieView()->makeSelfSelectedAndClearOthers(true);
            }
            NoteTone* right = tie->toneRight();
            Note* other = right != nullptr ? right->note() : nullptr;
            if (other != nullptr && other != note()) {
                other->updateView();
            }
            done = true;
        }
    } else if (isAccidentalItem(code)) {
        TOVNoteToneCell* cell = dropTargetToneCell();
        if (cell != nullptr && typeid(*cell) == typeid(TOVNoteToneCell) && noteViewDelegate() != nullptr) {
            done = noteViewDelegate()->noteViewToneCellRequireInsertSymbolObjectDraggingInfo(
                this, cell, TOVNoteUtils::symbolTypeFromNoteType(code), info);
        }
    } else if (platform::View* bar = barView()) {
        done = bar->performDragOperation(info);
    }
    if (TOVNoteViewDelegate* host = noteViewDelegate()) {
        host->noteViewNotePaletteDragPerformedDraggingInfo(this, code, info);
    }
    clearDraggingFromPalette();
    return done;
}

void TOVNoteView::clearDraggingFromPalette() {
    if (TOVObjectController* controller = delegate()) {
        controller->objectViewShouldBeTarget(nullptr);
    }
    if (TOVNoteToneCell* cell = dropTargetToneCell()) {
        cell->setReplaceTargetView(nullptr);
    }
    setDropTarget(false);
    setDropTargetToneCell(nullptr);
    setNeedsDisplay();
}
