// Lookups and refreshes: the views of model objects, rebuilds after a change, the undo refresh buffer's side.
#include "app/TOVEditorViewController.h"

#include "glyphs/TOVObjectView.h"
#include "layout/TOVEditorBarView.h"
#include "layout/TOVEditorLineView.h"
#include "layout/TOVEditorPageView.h"
#include "layout/TOVEditorView.h"
#include "model/Bar.h"
#include "model/Chord.h"
#include "model/Document.h"
#include "model/Line.h"
#include "model/Note.h"
#include "model/Page.h"
#include "model/Symbol.h"
#include "model/SymbolRepeat.h"
#include "model/TOVCoreDataController.h"
#include "model/TOVSymbolTypes.h"

#include <algorithm>

namespace {

using platform::Rect;

template <typename T>
void eraseAll(std::vector<T*>& list, const T* object) {
    list.erase(std::remove(list.begin(), list.end(), object), list.end());
}

} // namespace

// --- Lookups ---

TOVLayoutView* TOVEditorViewController::layoutViewOfObject(TOVManagedObject* object) const {
    auto* symbol = dynamic_cast<Symbol*>(object);
    if (symbol == nullptr) {
        return nullptr;
    }
    Bar* bar = symbol->bar();
    if (bar == nullptr) {
        return editorView_.get();
    }
    for (const auto& pageView : editorView_->pageViewArray()) {
        for (const auto& lineView : pageView->lineViewArray()) {
            for (const auto& barView : lineView->barViewArray()) {
                if (barView->bar() == bar) {
                    return barView.get();
                }
            }
        }
    }
    return nullptr;
}

TOVEditorBarView* TOVEditorViewController::barViewFromBar(const Bar* bar) const {
    if (bar == nullptr || bar->isDeleted()) {
        return nullptr;
    }
    Line* line = bar->line();
    const bool lower = line != nullptr && line->upper() != nullptr;
    TOVEditorBarView* barView = editorView_->barViewFromNumberInLower(bar->num(), lower);
    // A bar taken out of the song may share its number with the bar that now stands there.
    return (barView != nullptr && barView->bar() == bar) ? barView : nullptr;
}

TOVEditorPageView* TOVEditorViewController::pageViewFromPage(const Page* page) const {
    return page != nullptr ? editorView_->pageViewFromPage(page) : nullptr;
}

TOVEditorLineView* TOVEditorViewController::lineViewFromLine(const Line* line) const {
    if (line == nullptr) {
        return nullptr;
    }
    for (const auto& pageView : editorView_->pageViewArray()) {
        if (TOVEditorLineView* lineView = pageView->lineViewFromLine(line)) {
            return lineView;
        }
    }
    return nullptr;
}

// --- Refreshes ---

void TOVEditorViewController::updateBarsInheritedStates() {
    if (controllerState_ != Idle || docData_ == nullptr) {
        return;
    }
    docData_->updateClefKeyTimeStateForAllBars();
    updateClefKeyTimeViews();
}

void TOVEditorViewController::updateClefKeyTimeViews() {
    for (const auto& pageView : editorView_->pageViewArray()) {
        for (const auto& lineView : pageView->lineViewArray()) {
            for (const auto& barView : lineView->barViewArray()) {
                Bar* bar = barView->bar();
                if (bar != nullptr && bar->keyType() != 0) {
                    barView->updateClefKeyTimeViews();
                }
            }
        }
    }
}

void TOVEditorViewController::refreshAll() {
    updateBarsInheritedStates();
    controllerState_ = Refreshing;
    editorView_->createAllSubviews(editorView_->selectedBarId());
    controllerState_ = Idle;
    adjustViewFrame();
    ++rebuildCounts_.refreshAll;
    rebuildCounts_.pageViews += editorView_->pageViewArray().size();
    for (const auto& pageView : editorView_->pageViewArray()) {
        for (const auto& lineView : pageView->lineViewArray()) {
            ++rebuildCounts_.lineViews;
            rebuildCounts_.barViews += lineView->barViewArray().size();
        }
    }
}

void TOVEditorViewController::updateAllChordViews() {
    for (const auto& pageView : editorView_->pageViewArray()) {
        for (const auto& lineView : pageView->lineViewArray()) {
            for (const auto& barView : lineView->barViewArray()) {
                const auto chords = barView->chords();
                for (const auto& chordView : chords) {
                    chordView->updateView();
                }
            }
        }
    }
}

void TOVEditorViewController::terminateDocumentAtBarView(TOVEditorBarView* barView) {
    if (barView == nullptr) {
        return;
    }
    TOVEditorBarView* upper = barView->upperBarView();
    if (upper == nullptr || upper->bar() == nullptr) {
        return;
    }
    TOVEditorBarView* twin = upper->alternativeBarViewInDoubleLine();
    if (upper->bar()->barLineType() != TOVBarlineGreatDouble) {
        upper->bar()->setBarLineType(TOVBarlineGreatDouble);
    }
    if (upper->fineView() == nullptr && (twin == nullptr || twin->fineView() == nullptr)) {
        TOVEditorBarView* target = twin != nullptr ? twin : upper;
        if (Bar* bar = target->bar()) {
            const Rect frame(target->bounds().size.width - 20.0, target->posY5LinesTop() + 23.8 + 1.0, 0, 0);
            if (SymbolRepeat* fine = bar->createNewSymbolRepeatWithTypeFrame(TOVSymbolFine, frame)) {
                target->createRepeatViewOfDataSelect(TOVSymbolFine, fine, false);
            }
        }
    }
    if (TOVEditorBarView* next = upper->nextBarView()) {
        TOVEditorPageView* last = editorView_->lastPageView();
        TOVEditorBarView* end = last != nullptr ? last->lastBarViewOfLower(false) : nullptr;
        if (end != nullptr) {
            deleteBarsFromTo(next, end);
        }
    }
    editorView_->createAllSubviews(editorView_->selectedBarId());
}

void TOVEditorViewController::deleteBarsFromTo(TOVEditorBarView* from, TOVEditorBarView* to) {
    if (docData_ == nullptr || from == nullptr || to == nullptr || from->bar() == nullptr ||
        to->bar() == nullptr) {
        return;
    }
    controllerState_ = BarRangeEdit;
    docData_->deleteBarsFromTo(from->bar(), to->bar());
    controllerState_ = Idle;
    updateBarsInheritedStates();
}

// --- The undo refresh buffer's side ---

bool TOVEditorViewController::isInDocument(const TOVManagedObject* object) const {
    if (object == nullptr || object->isDeleted() || docData_ == nullptr) {
        return false;
    }
    if (const auto* page = dynamic_cast<const Page*>(object)) {
        return page->document() == docData_;
    }
    if (const auto* line = dynamic_cast<const Line*>(object)) {
        if (Line* upper = line->upper()) {
            return isInDocument(upper);
        }
        return isInDocument(line->page());
    }
    if (const auto* bar = dynamic_cast<const Bar*>(object)) {
        return isInDocument(bar->line());
    }
    if (const auto* symbol = dynamic_cast<const Symbol*>(object)) {
        Bar* bar = symbol->bar();
        return bar != nullptr ? isInDocument(bar) : symbol->document() == docData_;
    }
    return true;
}

void TOVEditorViewController::coreDataControllerDrainBuffer(TOVCoreDataController& buffer) {
    if (buffer.clefStatesRefresh()) {
        updateBarsInheritedStates();
    }
    if (buffer.barNumberRefresh()) {
        editorView_->setNeedsDisplay();
    }
    if (buffer.documentAllRefresh()) {
        refreshAll();
        editorView_->setNeedsDisplay();
        return;
    }

    // What the undo took out of the song stays in the lists; it has no view and is never read through.
    std::vector<Line*> lines = buffer.linesRefresh();
    std::vector<Bar*> bars = buffer.barsRefresh();
    const auto coveredBy = [&](Line* line) {
        eraseAll(lines, line);
        for (Bar* bar : line->bars()) {
            eraseAll(bars, bar);
        }
    };

    for (Page* page : buffer.pagesRefresh()) {
        if (!isInDocument(page)) {
            continue;
        }
        if (TOVEditorPageView* pageView = pageViewFromPage(page)) {
            pageView->recreateAllSubViews();
            ++rebuildCounts_.pageViews;
            for (const auto& lineView : pageView->lineViewArray()) {
                ++rebuildCounts_.lineViews;
                rebuildCounts_.barViews += lineView->barViewArray().size();
            }
            rebuildCounts_.rebuiltObjects.push_back(page);
        }
        for (Line* line : page->lines()) {
            coveredBy(line);
            if (Line* lower = line->lower()) {
                coveredBy(lower);
            }
        }
    }
    for (Line* line : lines) {
        if (!isInDocument(line)) {
            continue;
        }
        if (TOVEditorLineView* lineView = lineViewFromLine(line)) {
            lineView->recreateAllSubViews();
            ++rebuildCounts_.lineViews;
            rebuildCounts_.barViews += lineView->barViewArray().size();
            rebuildCounts_.rebuiltObjects.push_back(line);
        }
        for (Bar* bar : line->bars()) {
            eraseAll(bars, bar);
        }
    }
    for (Bar* bar : bars) {
        if (!isInDocument(bar)) {
            continue;
        }
        if (TOVEditorBarView* barView = barViewFromBar(bar)) {
            barView->recreateAllSubViews();
            ++rebuildCounts_.barViews;
            rebuildCounts_.rebuiltObjects.push_back(bar);
        }
    }
    if (buffer.documentSymbolsRefresh()) {
        editorView_->createAllSymbolViews();
    }
    const auto refreshEach = [this](const auto& objects) {
        for (TOVManagedObject* object : objects) {
            if (isInDocument(object)) {
                objectShouldUpdateView(object);
            }
        }
    };
    refreshEach(buffer.symbolsRefresh());
    refreshEach(buffer.chordsRefresh());
    refreshEach(buffer.notesRefresh());
    editorView_->setNeedsDisplay();
}

void TOVEditorViewController::objectShouldUpdateView(TOVManagedObject* object) {
    TOVLayoutView* layoutView = layoutViewOfObject(object);
    if (layoutView == nullptr) {
        return;
    }
    layoutView->objectShouldUpdateView(static_cast<Symbol*>(object));
    ++rebuildCounts_.objectViews;
    rebuildCounts_.rebuiltObjects.push_back(object);
}
