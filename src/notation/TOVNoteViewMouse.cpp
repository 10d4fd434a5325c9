// The note view's mouse: cell selection, the tone drag, the stem-end handles of a group and the flip drag.

#include "notation/TOVNoteView.h"

#include "glyphs/TOVObjectController.h"
#include "model/Note.h"
#include "model/TOVStaffMetrics.h"
#include "model/TOVUtils.h"
#include "notation/TOVNoteToneCell.h"
#include "notation/TOVNoteUnitCell.h"
#include "notation/TOVNoteViewDelegate.h"

#include <cmath>
#include <typeinfo>

using platform::Point;
using platform::Rect;

namespace {

// Half the distance between two staff lines: a tone drag reports nothing until the pointer has left the
// tone's own level, so a click on a head never moves it.
constexpr double kToneDragThreshold = TOVLevelPitch;
// The cursor kind of a handle that drags up and down.
constexpr int kUpDownCursor = 4;

} // namespace

void TOVNoteView::mouseDown(const platform::Event& event) {
    // A double click is not a second selection: it leaves everything as the first click made it.
    if (event.clickCount() != 1) {
        return;
    }
    const Point p = convertPointFromView(event.locationInWindow(), nullptr);
    // Each press arms its own drag.
    draggingToneCell_ = nullptr;
    isDraggingTone_ = false;
    resizingHandle_ = nullptr;

    TOVNoteCellBase* hit = nullptr;
    for (const auto& unitCell : unitCellArray_) {
        if (unitCell->hitTestInFrame(p)) {
            hit = unitCell->hitCellFromPos(p);
            break;
        }
    }
    const Rect beamBounds = beamPath_ ? beamPath_->bounds() : Rect();
    if (hit != nullptr && typeid(*hit) == typeid(TOVNoteUnitCell) && beamBounds.containsPoint(p)) {
        // The beams belong to the whole group, not to the unit whose stem runs up to them.
        hit = nullptr;
    } else if (hit != nullptr && typeid(*hit) == typeid(TOVNoteToneCell)) {
        draggingToneCell_ = static_cast<TOVNoteToneCell*>(hit);
        toneClickPos_ = p;
        isDraggingTone_ = false;
    }

    if (draggingToneCell_ == nullptr) {
        for (const auto& handle : handleCellArray_) {
            if (handle->hitTestInFrame(p)) {
                resizingHandle_ = handle.get();
                hit = nullptr;
                break;
            }
        }
        if (resizingHandle_ == nullptr) {
            const Rect flipZone = beamPath_ ? beamBounds : flagPath_ ? flagPath_->bounds() : flipHandleRect_;
            if (flipZone.containsPoint(p)) {
                if (noteViewDelegate_ != nullptr) {
                    noteViewDelegate_->noteViewWillStartFlippingAt(this, p);
                }
                isFlipping_ = true;
                flipStartPos_ = p;
            }
        }
    }

    TOVObjectController* controller = delegate();
    const bool extend = event.shiftKey() || event.commandKey();
    // The controller decides whether the view may join the selection; a refusal leaves the view as it was
    // (the drag armed above still runs).
    auto mayBeSelected = [&] {
        return controller != nullptr && controller->objectViewShouldBeSelectedAndClearOthers(this, !extend);
    };
    if (hit == nullptr) {
        if (state() == 0) {
            if (!mayBeSelected()) {
                return;
            }
            selectWholeNote();
        } else if (state() == 1) {
            if (extend) {
                if (controller != nullptr) {
                    controller->objectViewShouldBeUnselected(this);
                }
            } else {
                selectWholeNote();
            }
        }
    } else if (!hit->selected()) {
        if (state() == 0) {
            if (!mayBeSelected()) {
                return;
            }
        } else if (!extend) {
            unselectAllCells();
        }
        selectCell(hit);
    } else if (extend) {
        unselectCell(hit);
        if (unitCellsOfWhichOrWhoseToneIsSelected().empty() && controller != nullptr) {
            controller->objectViewShouldBeUnselected(this);
        }
    } else {
        unselectAllCells();
        selectCell(hit);
    }
    if (controller != nullptr) {
        controller->noteViewDidUpdateSelectedCells(this);
    }
    setNeedsDisplay();
}

void TOVNoteView::mouseDragged(const platform::Event& event) {
    const Point p = convertPointFromView(event.locationInWindow(), nullptr);
    if (draggingToneCell_ != nullptr) {
        if (isDraggingTone_ || std::abs(p.y - toneClickPos_.y) > kToneDragThreshold) {
            isDraggingTone_ = true;
            if (noteViewDelegate_ != nullptr) {
                noteViewDelegate_->noteViewDidUpdateDragToneAt(this, draggingToneCell_, p);
            }
        }
    }
    if (resizingHandle_ != nullptr && !unitCellArray_.empty()) {
        const bool right = resizingHandle_->handleType() == 1;
        const TOVNoteUnitCell& end = right ? *unitCellArray_.back() : *unitCellArray_.front();
        // How far the stem end has to travel to reach the pointer, counted as a longer stem.
        double d = end.posPoleEdge().y - p.y;
        if (isNoteFlip()) {
            d = -d;
        }
        if (right) {
            setHeightRight(heightRight_ + d);
        } else {
            setHeightLeft(heightLeft_ + d);
        }
        updateViewTemporally();
    }
    if (isFlipping_ && noteViewDelegate_ != nullptr) {
        noteViewDelegate_->noteViewDidUpdateFlippingAt(this, p);
    }
}

void TOVNoteView::mouseUp(const platform::Event& event) {
    const Point p = convertPointFromView(event.locationInWindow(), nullptr);
    if (draggingToneCell_ != nullptr) {
        TOVNoteToneCell* cell = draggingToneCell_;
        const bool dragged = isDraggingTone_;
        // Disarmed first: the delegate rebuilds the cells when it moves the tone.
        draggingToneCell_ = nullptr;
        isDraggingTone_ = false;
        if (dragged && noteViewDelegate_ != nullptr) {
            noteViewDelegate_->noteViewDidFinishDragToneAt(this, cell, p);
        }
    }
    if (resizingHandle_ != nullptr) {
        resizingHandle_ = nullptr;
        // Both ends, so that the note keeps the line the view showed even when one end was never set.
        if (note_ != nullptr) {
            note_->setHeightLeft(heightLeft_);
            note_->setHeightRight(heightRight_);
        }
        // The handles stand at the new stem ends.
        invalidateCursorRects();
    }
    if (isFlipping_) {
        // The delegate still sees where the drag started.
        if (noteViewDelegate_ != nullptr) {
            noteViewDelegate_->noteViewDidFinishFlippingAt(this, p);
        }
        isFlipping_ = false;
        flipStartPos_ = Point();
    }
}

void TOVNoteView::resetCursorRects() {
    if (state() != 1) {
        return;
    }
    // The handles are placed when a selected view is drawn; the areas may be asked for before that.
    updatePositionOfHandleCells();
    for (const auto& handle : handleCellArray_) {
        if (auto cursor = TOVUtils::cursorForResizeHandle(kUpDownCursor)) {
            addCursorRect(handle->frame(), *cursor);
        }
    }
}
