#include "model/TOVCoreDataController.h"

#include "model/Bar.h"
#include "model/Chord.h"
#include "model/Line.h"
#include "model/Note.h"
#include "model/Page.h"
#include "model/Symbol.h"
#include "model/TOVCoreDataControllerRefresher.h"

#include <algorithm>

namespace {

template <typename T>
bool contains(const std::vector<T*>& list, const T* object) {
    return std::find(list.begin(), list.end(), object) != list.end();
}

// Appends the object unless it is missing or already listed, so every list keeps the order of the first
// report and holds an object once.
template <typename T>
void appendOnce(std::vector<T*>& list, T* object) {
    if (object && !contains(list, object)) {
        list.push_back(object);
    }
}

} // namespace

void TOVCoreDataController::willUndo() {
    isUndoing_ = true;
}

void TOVCoreDataController::didUndo() {
    drainBuffer();
    isUndoing_ = false;
}

void TOVCoreDataController::willRedo() {
    isRedoing_ = true;
}

void TOVCoreDataController::didRedo() {
    drainBuffer();
    isRedoing_ = false;
}

void TOVCoreDataController::drainBuffer() {
    if (editorViewController_) {
        editorViewController_->coreDataControllerDrainBuffer(*this);
    }
    clearRecords();
}

void TOVCoreDataController::clearRecords() {
    documentAllRefresh_ = false;
    documentSymbolsRefresh_ = false;
    clefStatesRefresh_ = false;
    barNumberRefresh_ = false;
    pagesRefresh_.clear();
    linesRefresh_.clear();
    barsRefresh_.clear();
    symbolsRefresh_.clear();
    chordsRefresh_.clear();
    notesRefresh_.clear();
}

bool TOVCoreDataController::barIsRecorded(const Bar* bar) const {
    return bar && contains(barsRefresh_, bar);
}

void TOVCoreDataController::recordBar(Bar* bar) {
    appendOnce(barsRefresh_, bar);
}

void TOVCoreDataController::recordPage(Page* page) {
    appendOnce(pagesRefresh_, page);
}

void TOVCoreDataController::documentDidUpdateDocument(Document*) {
    if (isRecording()) {
        documentAllRefresh_ = true;
    }
}

void TOVCoreDataController::documentDidUpdatePages(Document*) {
    if (isRecording()) {
        documentAllRefresh_ = true;
    }
}

void TOVCoreDataController::documentDidUpdateSymbols(Document*) {
    if (isRecording()) {
        documentSymbolsRefresh_ = true;
    }
}

void TOVCoreDataController::documentDidUpdateChordHistory(Document*) {
    // The chord history has no view in the editor.
}

void TOVCoreDataController::pageDidUpdateLines(Page* page) {
    if (isRecording()) {
        recordPage(page);
    }
}

void TOVCoreDataController::pageDidUpdateAPage(Page* page) {
    if (isRecording()) {
        recordPage(page);
    }
}

void TOVCoreDataController::pageDidUpdateNum(Page*) {
    // Page numbers are not shown; nothing to rebuild.
}

void TOVCoreDataController::lineDidUpdateBars(Line* line) {
    if (isRecording() && line) {
        recordPage(line->page());
    }
}

void TOVCoreDataController::lineDidUpdateLower(Line* line) {
    if (isRecording() && line) {
        recordPage(line->page());
    }
}

void TOVCoreDataController::lineDidUpdateFirstBarlineType(Line* line) {
    if (isRecording() && line) {
        recordPage(line->page());
    }
}

void TOVCoreDataController::lineDidUpdatePartition(Line* line) {
    if (isRecording() && line) {
        recordPage(line->page());
    }
}

void TOVCoreDataController::barDidUpdateChords(Bar* bar) {
    if (isRecording()) {
        recordBar(bar);
    }
}

void TOVCoreDataController::barDidUpdateNotes(Bar* bar) {
    if (isRecording()) {
        recordBar(bar);
    }
}

void TOVCoreDataController::barDidUpdateSymbols(Bar* bar) {
    if (isRecording()) {
        recordBar(bar);
    }
}

void TOVCoreDataController::barDidUpdateNum(Bar* bar) {
    if (isRecording()) {
        recordBar(bar);
    }
}

void TOVCoreDataController::barDidUpdateHeight(Bar* bar) {
    if (isRecording()) {
        recordBar(bar);
    }
}

void TOVCoreDataController::barDidUpdateBarlineType(Bar* bar) {
    if (isRecording() && bar) {
        appendOnce(linesRefresh_, bar->line());
    }
}

void TOVCoreDataController::barDidUpdateWidth(Bar* bar) {
    if (isRecording() && bar) {
        appendOnce(linesRefresh_, bar->line());
    }
}

void TOVCoreDataController::barDidUpdateClefType(Bar* bar) {
    if (isRecording()) {
        recordBar(bar);
        clefStatesRefresh_ = true;
    }
}

void TOVCoreDataController::barDidUpdateKeyType(Bar* bar) {
    if (isRecording()) {
        recordBar(bar);
        clefStatesRefresh_ = true;
    }
}

void TOVCoreDataController::barDidUpdateTimeType(Bar*) {
    if (isRecording()) {
        documentAllRefresh_ = true;
        clefStatesRefresh_ = true;
    }
}

void TOVCoreDataController::barDidUpdateLongRest(Bar* bar) {
    if (isRecording()) {
        recordBar(bar);
        barNumberRefresh_ = true;
    }
}

void TOVCoreDataController::symbolDidUpdateAttribute(Symbol* symbol) {
    if (isRecording() && symbol && !barIsRecorded(symbol->bar())) {
        appendOnce(symbolsRefresh_, symbol);
    }
}

void TOVCoreDataController::chordDidUpdateAttribute(Chord* chord) {
    if (isRecording() && chord && !barIsRecorded(chord->bar())) {
        appendOnce(chordsRefresh_, chord);
    }
}

void TOVCoreDataController::noteDidUpdateAttribute(Note* note) {
    if (isRecording() && note && !barIsRecorded(note->bar())) {
        appendOnce(notesRefresh_, note);
    }
}

void TOVCoreDataController::noteDidUpdateUnits(Note* note) {
    if (isRecording() && note) {
        recordBar(note->bar());
    }
}

void TOVCoreDataController::objectShouldUpdateView(TOVManagedObject* object) {
    if (editorViewController_ && object) {
        editorViewController_->objectShouldUpdateView(object);
    }
}
