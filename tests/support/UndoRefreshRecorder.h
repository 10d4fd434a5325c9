#pragma once

#include "model/TOVCoreDataController.h"
#include "model/TOVCoreDataControllerRefresher.h"
#include "platform/foundation/UndoManager.h"

#include <memory>
#include <vector>

class Document;

namespace tovtest {

// What the undo refresh buffer held when it was drained.
struct RecordedRefresh {
    bool undoing = false;
    bool redoing = false;
    bool documentAllRefresh = false;
    bool documentSymbolsRefresh = false;
    bool clefStatesRefresh = false;
    bool barNumberRefresh = false;
    std::vector<Page*> pages;
    std::vector<Line*> lines;
    std::vector<Bar*> bars;
    std::vector<Symbol*> symbols;
    std::vector<Chord*> chords;
    std::vector<Note*> notes;

    bool isEmpty() const;
};

// Stands in for the editor: keeps a copy of the buffer at every drain and the objects whose views it was
// asked to refresh.
class RecordingRefresher : public TOVCoreDataControllerRefresher {
public:
    void coreDataControllerDrainBuffer(TOVCoreDataController& buffer) override;
    void objectShouldUpdateView(TOVManagedObject* object) override { updatedViews.push_back(object); }

    std::vector<RecordedRefresh> drains;
    std::vector<TOVManagedObject*> updatedViews;
};

// Gives the document a buffer and drives it from the undo manager's will/did undo and redo notifications,
// as the editor does; the drains reach `refresher`.
class UndoRefreshHarness {
public:
    explicit UndoRefreshHarness(Document* document);
    ~UndoRefreshHarness();
    UndoRefreshHarness(const UndoRefreshHarness&) = delete;
    UndoRefreshHarness& operator=(const UndoRefreshHarness&) = delete;

    // The buffer as it stands now (outside a drain).
    RecordedRefresh current() const;

    std::shared_ptr<TOVCoreDataController> buffer;
    RecordingRefresher refresher;

private:
    platform::UndoManager* undoManager_ = nullptr;
    std::vector<platform::UndoManager::ObserverId> observers_;
};

} // namespace tovtest
