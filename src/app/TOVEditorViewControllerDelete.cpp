// Deleting: the Delete command and keys on the selection, and the removal of notes, units and tones.
#include "app/TOVEditorViewController.h"

#include "app/TOVExactView.h"
#include "glyphs/TOVObjectView.h"
#include "layout/TOVEditorBarView.h"
#include "layout/TOVEditorView.h"
#include "model/Bar.h"
#include "model/Note.h"
#include "model/NoteTone.h"
#include "model/NoteUnit.h"
#include "model/TOVSymbolTypes.h"
#include "notation/TOVNoteToneCell.h"
#include "notation/TOVNoteUnitCell.h"
#include "notation/TOVNoteView.h"
#include "platform/data/ManagedObjectContext.h"

#include <functional>
#include <memory>
#include <type_traits>
#include <typeinfo>
#include <variant>
#include <vector>

// --- The Delete command ---

bool TOVEditorViewController::canEnableDeleteMenu() const {
    const auto& selection = editorView_->selectedObjectViewSet();
    for (const auto& view : selection) {
        // Anything but a note view goes; a note view only when what is selected of it can go.
        auto* noteView = exactly<TOVNoteView>(view.get());
        if (noteView == nullptr || noteView->canEnableDeleteMenu()) {
            return true;
        }
    }
    return false;
}

void TOVEditorViewController::performDeleteOperation() {
    if (!canEnableDeleteMenu()) {
        return;
    }
    const auto& selection = editorView_->selectedObjectViewSet();
    std::vector<std::shared_ptr<TOVObjectView>> views(selection.begin(), selection.end());
    using Item = std::variant<Note*, NoteUnit*, NoteTone*>;
    std::vector<Item> items;

    // Notes first: what of each is selected, as whole notes, units or tones.
    std::erase_if(views, [&items](const std::shared_ptr<TOVObjectView>& view) {
        auto* noteView = exactly<TOVNoteView>(view.get());
        if (noteView == nullptr) {
            return false;
        }
        if (!noteView->canEnableDeleteMenu()) {
            return true;
        }
        if (noteView->isWholeNoteSelected()) {
            items.emplace_back(noteView->note());
            return false;
        }
        for (TOVNoteCellBase* cell : noteView->cellsCanBeDeleted()) {
            if (auto* tone = dynamic_cast<TOVNoteToneCell*>(cell)) {
                items.emplace_back(tone->tone());
            } else if (cell != nullptr && typeid(*cell) == typeid(TOVNoteUnitCell)) {
                items.emplace_back(static_cast<TOVNoteUnitCell*>(cell)->unit());
            }
        }
        return false;
    });
    // Each of these rebuilds the note views of its bar: the views that queued them leave the tree, and
    // below find no owner.
    for (const Item& item : items) {
        std::visit(
            [this](auto* object) {
                using T = std::remove_pointer_t<decltype(object)>;
                if constexpr (std::is_same_v<T, Note>) {
                    deleteNote(object);
                } else if constexpr (std::is_same_v<T, NoteUnit>) {
                    deleteNoteUnit(object);
                } else {
                    deleteNoteTone(object);
                }
            },
            item);
    }

    bool removedTimeSignature = false;
    for (const auto& view : views) {
        if (auto* toneCell = dynamic_cast<TOVNoteToneCell*>(view->toneCellBelongTo())) {
            editorView_->unselectAnObjectView(view.get());
            toneCell->deleteObjectViewAndData(view.get());
            continue;
        }
        TOVObjectViewOwner* owner = view->barViewBelongTo();
        if (owner == nullptr) {
            owner = view->editorViewBelongTo();
        }
        auto* ownerView = owner != nullptr ? dynamic_cast<TOVLayoutView*>(owner->ownerView()) : nullptr;
        if (ownerView == nullptr) {
            continue;
        }
        if ((view->symbolType() & TOVSymbolCategoryMask) == TOVSymbolCategoryTimeSignature) {
            removedTimeSignature = true;
        }
        editorView_->unselectAnObjectView(view.get());
        ownerView->removeObjectViewAndData(view.get());
    }
    if (platform::ManagedObjectContext* context = moc()) {
        context->processPendingChanges();
    }
    // The bars keep only the rhythm that their new metre holds.
    if (removedTimeSignature) {
        truncateDataByTimeSignatureForAllBars();
    }
}

// --- Notes, units and tones ---

TOVNoteView* TOVEditorViewController::shownNoteView(Note* note, TOVEditorBarView** barViewOut) const {
    auto* barView = exactly<TOVEditorBarView>(note != nullptr ? layoutViewOfObject(note) : nullptr);
    if (barView == nullptr) {
        return nullptr;
    }
    const auto noteView = barView->noteViewFromData(note);
    auto* shown = exactly<TOVNoteView>(noteView.get());
    if (shown != nullptr) {
        *barViewOut = barView;
    }
    return shown;
}

void TOVEditorViewController::deleteNote(Note* note) {
    TOVEditorBarView* barView = nullptr;
    TOVNoteView* noteView = shownNoteView(note, &barView);
    if (noteView == nullptr || barView->bar() == nullptr) {
        return;
    }
    editorView_->unselectAnObjectView(noteView);
    barView->bar()->removeNote(note);
    barView->recreateAllNoteViews();
}

void TOVEditorViewController::deleteNoteUnit(NoteUnit* unit) {
    removeFromShownNote(unit != nullptr ? unit->note() : nullptr,
                        [unit](Note* note) { note->removeUnit(unit); });
}

void TOVEditorViewController::deleteNoteTone(NoteTone* tone) {
    NoteUnit* unit = tone != nullptr ? tone->unit() : nullptr;
    removeFromShownNote(unit != nullptr ? unit->note() : nullptr,
                        [unit, tone](Note*) { unit->removeTone(tone); });
}

void TOVEditorViewController::removeFromShownNote(Note* note, const std::function<void(Note*)>& remove) {
    TOVEditorBarView* barView = nullptr;
    TOVNoteView* noteView = shownNoteView(note, &barView);
    if (noteView == nullptr) {
        return;
    }
    // A tie into the removed part from the note before is drawn again without it.
    if (TOVNoteView* previous = barView->previousContinuousNoteViewOf(noteView)) {
        previous->updateTie();
    }
    editorView_->unselectAnObjectView(noteView);
    remove(note);
    barView->recreateAllNoteViews();
}
