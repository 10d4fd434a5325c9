#include "support/UndoRefreshRecorder.h"

#include "model/Document.h"
#include "platform/data/ManagedObjectContext.h"

namespace tovtest {

namespace {

RecordedRefresh copyOf(const TOVCoreDataController& buffer) {
    RecordedRefresh r;
    r.undoing = buffer.isUndoing();
    r.redoing = buffer.isRedoing();
    r.documentAllRefresh = buffer.documentAllRefresh();
    r.documentSymbolsRefresh = buffer.documentSymbolsRefresh();
    r.clefStatesRefresh = buffer.clefStatesRefresh();
    r.barNumberRefresh = buffer.barNumberRefresh();
    r.pages = buffer.pagesRefresh();
    r.lines = buffer.linesRefresh();
    r.bars = buffer.barsRefresh();
    r.symbols = buffer.symbolsRefresh();
    r.chords = buffer.chordsRefresh();
    r.notes = buffer.notesRefresh();
    return r;
}

} // namespace

bool RecordedRefresh::isEmpty() const {
    return !documentAllRefresh && !documentSymbolsRefresh && !clefStatesRefresh && !barNumberRefresh &&
           pages.empty() && lines.empty() && bars.empty() && symbols.empty() && chords.empty() &&
           notes.empty();
}

void RecordingRefresher::coreDataControllerDrainBuffer(TOVCoreDataController& buffer) {
    drains.push_back(copyOf(buffer));
}

UndoRefreshHarness::UndoRefreshHarness(Document* document)
    : buffer(std::make_shared<TOVCoreDataController>()) {
    buffer->setEditorViewController(&refresher);
    document->setCoreDataController(buffer);
    undoManager_ = &document->managedObjectContext()->undoManager();
    using N = platform::UndoManager::Notification;
    TOVCoreDataController* b = buffer.get();
    observers_.push_back(undoManager_->addObserver(N::WillUndo, [b] { b->willUndo(); }));
    observers_.push_back(undoManager_->addObserver(N::DidUndo, [b] { b->didUndo(); }));
    observers_.push_back(undoManager_->addObserver(N::WillRedo, [b] { b->willRedo(); }));
    observers_.push_back(undoManager_->addObserver(N::DidRedo, [b] { b->didRedo(); }));
}

UndoRefreshHarness::~UndoRefreshHarness() {
    for (auto id : observers_) {
        undoManager_->removeObserver(id);
    }
    buffer->setEditorViewController(nullptr);
}

RecordedRefresh UndoRefreshHarness::current() const {
    return copyOf(*buffer);
}

} // namespace tovtest
