// The bar view as the delegate of its note views: staff geometry, the note blocks that space the units,
// the note views before and after a note, and the previews of a tone drag and of a stem flip.

#include "layout/TOVEditorBarView.h"
#include "layout/TOVEditorPageView.h"
#include "model/Bar.h"
#include "model/Note.h"
#include "model/NoteTone.h"
#include "model/NoteUnit.h"
#include "model/TOVUtils.h"
#include "notation/TOVNotePreview.h"
#include "notation/TOVNoteToneCell.h"
#include "notation/TOVNoteView.h"
#include "notation/TOVNoteViewFactory.h"

#include <algorithm>

using platform::Point;
using platform::Rect;

namespace {

// How far the pointer must move from the press, towards the other stem direction, before a flip is armed.
constexpr double kFlipArmDistance = 4.0;

} // namespace

// --- Drop target, unit x ---

void TOVEditorBarView::noteViewWillBeDropTargetOn(TOVNoteView*, bool on) {
    setDropTarget(on);
}

std::optional<double> TOVEditorBarView::noteViewInquirexPosForUnit(TOVNoteView*, const NoteUnit* unit) {
    return xPosForUnit(unit);
}

double TOVEditorBarView::xPosForUnit(const NoteUnit* unit) const {
    return TOVNoteBlockCell::xPosForUnitInBlocks(noteBlockCellArray_, unit);
}

// --- Neighbours, also across bars and lines ---

TOVNoteView* TOVEditorBarView::noteViewInquirePreviousNoteView(TOVNoteView* noteView) {
    return previousContinuousNoteViewOf(noteView);
}

TOVNoteView* TOVEditorBarView::noteViewInquireNextNoteView(TOVNoteView* noteView) {
    return nextContinuousNoteViewOf(noteView);
}

// --- Palette drags over a note view, and drops onto its tones ---

bool TOVEditorBarView::noteViewToneCellRequireInsertSymbolObjectDraggingInfo(
    TOVNoteView*, TOVNoteToneCell* toneCell, std::int32_t type, const platform::DraggingInfo& info) {
    // The controller puts the symbol onto the tone, so the tone cell stands first.
    if (TOVLayoutController* controller = delegate()) {
        controller->layoutViewRequireInsertSymbolObjectDraggingInfo(toneCell, type, info);
    }
    return true;
}

void TOVEditorBarView::noteViewSymbolPaletteDragEnteredDraggingInfo(TOVNoteView* noteView, std::int32_t item,
                                                                    const platform::DraggingInfo& info) {
    if (TOVLayoutController* controller = delegate()) {
        controller->layoutViewSymbolPaletteDragEnteredDraggingInfo(noteView, item, info);
    }
}

void TOVEditorBarView::noteViewSymbolPaletteDragExitedDraggingInfo(TOVNoteView* noteView, std::int32_t item,
                                                                   const platform::DraggingInfo& info) {
    if (TOVLayoutController* controller = delegate()) {
        controller->layoutViewSymbolPaletteDragExitedDraggingInfo(noteView, item, info);
    }
}

void TOVEditorBarView::noteViewSymbolPaletteDragPerformedDraggingInfo(TOVNoteView* noteView,
                                                                      std::int32_t item,
                                                                      const platform::DraggingInfo& info) {
    if (TOVLayoutController* controller = delegate()) {
        controller->layoutViewSymbolPaletteDragPerformedDraggingInfo(noteView, item, info);
    }
}

void TOVEditorBarView::noteViewNotePaletteDragEnteredDraggingInfo(TOVNoteView* noteView, std::int32_t item,
                                                                  const platform::DraggingInfo& info) {
    if (TOVLayoutController* controller = delegate()) {
        controller->layoutViewNotePaletteDragEnteredDraggingInfo(noteView, item, info);
    }
}

void TOVEditorBarView::noteViewNotePaletteDragExitedDraggingInfo(TOVNoteView* noteView, std::int32_t item,
                                                                 const platform::DraggingInfo& info) {
    if (TOVLayoutController* controller = delegate()) {
        controller->layoutViewNotePaletteDragExitedDraggingInfo(noteView, item, info);
    }
}

void TOVEditorBarView::noteViewNotePaletteDragPerformedDraggingInfo(TOVNoteView* noteView, std::int32_t item,
                                                                    const platform::DraggingInfo& info) {
    if (TOVLayoutController* controller = delegate()) {
        controller->layoutViewNotePaletteDragPerformedDraggingInfo(noteView, item, info);
    }
}

// --- Tone drag ---

void TOVEditorBarView::noteViewWillStartDragToneAt(TOVNoteView* noteView, TOVNoteToneCell* toneCell, Point) {
    TOVNoteViewFactory* factory = TOVUtils::noteViewFactory();
    std::shared_ptr<TOVNotePreview> preview =
        factory != nullptr ? factory->tonePreviewForDraggingWithFontID(plugInFontID()) : nullptr;
    if (!preview || noteView == nullptr || toneCell == nullptr) {
        return;
    }
    preview->setBarViewBelongTo(this);
    setNotePreview(preview);
    if (TOVEditorView* editor = hostEditorView()) {
        editor->addSubviewRelativeOriginFromAboveAll(preview, this, true);
    }
    // The head of the preview starts where the tone's head is.
    const Rect cell = toneCell->frame();
    const Point head{cell.x() - preview->offsetX(), cell.y() + toneCell->offsetY()};
    updateNotePreviewAt(noteView->convertPointToView(head, this));
}

void TOVEditorBarView::noteViewDidUpdateDragToneAt(TOVNoteView* noteView, TOVNoteToneCell* toneCell,
                                                   Point point) {
    if (!notePreview_) {
        noteViewWillStartDragToneAt(noteView, toneCell, point);
    }
    if (!notePreview_ || noteView == nullptr || toneCell == nullptr) {
        return;
    }
    // The head goes no higher than the page's top edge and no lower than its bottom edge.
    double y = point.y;
    TOVLayoutController* controller = delegate();
    if (const TOVEditorPageView* page =
            controller != nullptr ? controller->layoutViewInquirePageView(this) : nullptr) {
        const Rect bounds = page->bounds();
        const double top = page->convertPointToView({bounds.x(), bounds.minY()}, noteView).y;
        const double bottom = page->convertPointToView({bounds.x(), bounds.maxY()}, noteView).y;
        y = std::clamp(y, std::min(top, bottom), std::max(top, bottom));
    }
    const Point head{toneCell->frame().x() - notePreview_->offsetX(), y};
    updateNotePreviewAt(noteView->convertPointToView(head, this));
}

void TOVEditorBarView::noteViewDidFinishDragToneAt(TOVNoteView* noteView, TOVNoteToneCell* toneCell, Point) {
    if (!notePreview_) {
        return;
    }
    const NoteTone* tone = toneCell != nullptr ? toneCell->tone() : nullptr;
    const NoteUnit* unit = tone != nullptr ? tone->unit() : nullptr;
    // A level another tone of the unit holds is refused: the unit would hold two heads of one level.
    if (tone != nullptr && noteView != nullptr && notePreview_->level() != tone->level() &&
        (unit == nullptr || !unit->hasToneAtLevel(notePreview_->level(), tone))) {
        toneCell->moveToneLevel(notePreview_->level() - tone->level());
        noteView->updateView();
        // Ties into and out of the note follow the tone.
        if (TOVNoteView* previous = previousContinuousNoteViewOf(noteView)) {
            previous->updateTie();
        }
        if (TOVNoteView* next = nextContinuousNoteViewOf(noteView)) {
            next->updateTie();
        }
    }
    setNotePreview(nullptr);
}

// --- Flip preview ---

void TOVEditorBarView::removeNoteFlipPreview() {
    if (!noteFlipPreview_) {
        return;
    }
    noteFlipPreview_->removeFromSuperview();
    noteFlipPreview_->setSymbol(nullptr);
    noteFlipPreview_.reset();
}

void TOVEditorBarView::noteViewWillStartFlippingAt(TOVNoteView*, Point) {}

void TOVEditorBarView::noteViewDidUpdateFlippingAt(TOVNoteView* noteView, Point point) {
    Note* note = noteView != nullptr ? noteView->note() : nullptr;
    if (note == nullptr) {
        return;
    }
    // The pointer has to move towards the other stem direction: down for stems up, up for stems down.
    const Point start = noteView->flipStartPos();
    const bool armed =
        noteView->isNoteFlip() ? point.y < start.y - kFlipArmDistance : point.y > start.y + kFlipArmDistance;
    if (!armed) {
        removeNoteFlipPreview();
        return;
    }
    if (noteFlipPreview_) {
        return;
    }
    auto preview = std::make_shared<TOVNoteView>(Rect(), note);
    preview->setFlipPreviewMode(true);
    preview->setBarViewBelongTo(this);
    preview->setNoteViewDelegate(this);
    preview->setSymbol(note);
    noteFlipPreview_ = preview;
    if (TOVEditorView* editor = hostEditorView()) {
        editor->addSubviewRelativeOriginFromAboveAll(preview, this, true);
    }
    preview->updateView();
}

void TOVEditorBarView::noteViewDidFinishFlippingAt(TOVNoteView* noteView, Point) {
    if (!noteFlipPreview_) {
        return;
    }
    if (noteView != nullptr) {
        noteView->doFlip();
    }
    removeNoteFlipPreview();
}
