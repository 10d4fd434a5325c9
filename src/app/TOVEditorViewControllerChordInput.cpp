// Chord and matrix input: the chord cursor stepping through the song, chords written there, the history.
#include "app/TOVEditorViewController.h"

#include "glyphs/TOVChordObjectView.h"
#include "layout/TOVEditorBarView.h"
#include "layout/TOVEditorView.h"
#include "model/Bar.h"
#include "model/ChordHistory.h"
#include "model/Document.h"
#include "model/TOVChordUtils.h"

// --- The windows start and close ---

void TOVEditorViewController::chordWindowWillStart() {
    TOVEditorBarView* barView = editorView_->selectedBar();
    if (barView == nullptr) {
        return;
    }
    barView->initChordTiming();
    barView->setNeedsDisplay();
    editorView_->scrollToBarView(barView);
}

void TOVEditorViewController::chordWindowDidClose() {
    // The bar asks again whether chord input runs, and drops its cursor mark.
    if (TOVEditorBarView* barView = editorView_->selectedBar()) {
        barView->setNeedsDisplay();
    }
}

void TOVEditorViewController::matrixWindowWillStart() {
    editorView_->clearSelection();
    if (TOVEditorBarView* barView = editorView_->selectedBar()) {
        barView->setNeedsDisplay();
        editorView_->scrollToBarView(barView);
    }
}

void TOVEditorViewController::matrixWindowDidClose() {
    if (TOVEditorBarView* barView = editorView_->selectedBar()) {
        barView->setNeedsDisplay();
    }
}

// --- The chord at the cursor ---

TOVChordElems TOVEditorViewController::selectedChord() const {
    const auto& selection = editorView_->selectedObjectViewSet();
    if (selection.size() == 1) {
        if (const auto* chordView = dynamic_cast<const TOVChordObjectView*>(selection.begin()->get())) {
            return chordView->elems();
        }
    }
    return TOVChordUtils::zeroChord();
}

void TOVEditorViewController::insertChordAtCursor(const TOVChordElems& chord) {
    if (chord == selectedChord()) {
        return;
    }
    // The selected chord is the one at the cursor: the empty chord takes it away.
    if (chord == TOVChordUtils::zeroChord()) {
        performDeleteOperation();
        return;
    }
    // A chord with neither root nor bass would show nothing.
    if (!TOVChordUtils::validateChord(chord)) {
        return;
    }
    TOVEditorBarView* barView = editorView_->selectedBar();
    Bar* bar = barView != nullptr ? barView->bar() : nullptr;
    if (bar == nullptr) {
        return;
    }
    Chord* created = bar->createNewChordWithElemsTiming(chord, barView->timingChordInput());
    // The bar view takes away the chord standing there, data and view. The next step of the cursor
    // selects whatever stands where it arrives.
    barView->createChordViewOf(created, false);
}

// --- Stepping the cursor ---

bool TOVEditorViewController::progressChordTiming(std::uint64_t step, bool shouldFollowRhythm) {
    TOVEditorBarView* barView = editorView_->selectedBar();
    // Without a step there is nowhere to go; moving into the next bar would skip the rest of this one.
    if (barView == nullptr || step == 0) {
        return false;
    }
    bool moved = true;
    if (barView->canProgressChordTiming(step, shouldFollowRhythm)) {
        barView->progressChordTiming(step, shouldFollowRhythm);
    } else if (canGoNextBar()) {
        editorView_->clearSelection();
        barView->initChordTiming();
        goNextBar();
        if (TOVEditorBarView* next = editorView_->selectedBar()) {
            next->initChordTiming();
        }
    } else {
        // At the end of the song the cursor stays; the chord just written there becomes the selected one
        // again, so that the window shows it and can still take it away.
        barView->setTimingChordInput(barView->timingChordInput());
        moved = false;
    }
    if (TOVEditorBarView* selected = editorView_->selectedBar()) {
        selected->setNeedsDisplay();
    }
    return moved;
}

bool TOVEditorViewController::gobackChordIndex() {
    TOVEditorBarView* barView = editorView_->selectedBar();
    if (barView == nullptr) {
        return false;
    }
    bool moved = false;
    if (barView->canGobackChordTiming()) {
        barView->gobackChordTiming();
        moved = true;
    } else {
        for (TOVEditorBarView* earlier = barView->previousBarView(); earlier != nullptr;
             earlier = earlier->previousBarView()) {
            if (earlier->goLastValidChordTiming()) {
                selectAndShowBar(earlier);
                moved = true;
                break;
            }
        }
    }
    if (TOVEditorBarView* selected = editorView_->selectedBar()) {
        selected->setNeedsDisplay();
    }
    return moved;
}

// --- Bar navigation ---

bool TOVEditorViewController::canGoNextBar() const {
    TOVEditorBarView* barView = editorView_->selectedBar();
    return barView != nullptr && barView->nextBarView() != nullptr;
}

void TOVEditorViewController::goNextBar() {
    TOVEditorBarView* barView = editorView_->selectedBar();
    selectAndShowBar(barView != nullptr ? barView->nextBarView() : nullptr);
}

bool TOVEditorViewController::canGoPrevBar() const {
    TOVEditorBarView* barView = editorView_->selectedBar();
    return barView != nullptr && barView->previousBarView() != nullptr;
}

void TOVEditorViewController::goPrevBar() {
    TOVEditorBarView* barView = editorView_->selectedBar();
    selectAndShowBar(barView != nullptr ? barView->previousBarView() : nullptr);
}

void TOVEditorViewController::selectAndShowBar(TOVEditorBarView* barView) {
    if (barView != nullptr) {
        editorView_->setSelectedBar(barView);
        editorView_->scrollToBarView(barView);
    }
}

// --- Chord history ---

std::vector<ChordHistory*> TOVEditorViewController::chordHistoryArray() const {
    return docData_ != nullptr ? docData_->chordHistoryArray() : std::vector<ChordHistory*>{};
}

void TOVEditorViewController::addChordHistory(const TOVChordElems& chord) {
    if (docData_ == nullptr) {
        return;
    }
    // An entry keeps the four codes and reads its slash flag from the bass, so a value is compared as an
    // entry would read it back: a flag that disagrees with the bass never makes a second, identical entry.
    const TOVChordElems stored =
        TOVChordElems::fromCodes(chord.elemStep1, chord.elemStep2, chord.elemStep3, chord.elemStepBase);
    const std::vector<ChordHistory*> entries = chordHistoryArray();
    for (const ChordHistory* entry : entries) {
        if (entry->chordElems() == stored) {
            return;
        }
    }
    docData_->createNewChordHistoryWithElemsIndex(chord, entries.size());
}
