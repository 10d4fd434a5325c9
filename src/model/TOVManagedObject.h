#pragma once

#include "model/TOVSnapshotObject.h"
#include "platform/data/ManagedObject.h"

#include <memory>
#include <string_view>

class TOVCoreDataController;

// The base of every entity class of a song. It fixes what every entity answers (start and stop
// observing itself, report its attributes after undo and redo, hand out the undo refresh buffer, make and
// apply a snapshot) and runs the life cycle they share:
//
// - insertion: fill the attribute cache (`privateInit`), store the insertion defaults, start observing;
// - fetch: fill the cache, start observing;
// - undo and redo: re-read the cache from the restored store; when observation had been off (the object
//   came back into the graph), start it and report the object's attributes;
// - leaving the graph: stop observing.
//
// Observation: an entity that observes itself overrides `startObserving` / `stopObserving` with
// `beginObserving` / `endObserving` and reports its changes from `didChange` while `observeON` is YES.
class TOVManagedObject : public platform::ManagedObject {
public:
    using ManagedObject::ManagedObject;

    // YES when observation was off and is now on (so a caller can act on the first start only); the base
    // does not observe and answers NO.
    virtual bool startObserving() { return false; }
    // YES when observation was on and is now off; the base answers NO.
    virtual bool stopObserving() { return false; }
    // The document's undo refresh buffer; none for the base.
    virtual TOVCoreDataController* coreDataController() const { return nullptr; }
    // Reports the object's attributes to the buffer; nothing for the base.
    virtual void postNotificationUpdateAttribute() {}
    // YES while the undo manager of the object's context is undoing or redoing.
    bool isUndoRedoing() const;
    // A new snapshot of the object and what it owns; none for the base.
    virtual std::unique_ptr<TOVSnapshotObject> createSnapShot() const { return nullptr; }
    // Applies a snapshot; nothing for the base.
    virtual void restoreFromSnapShot(const TOVSnapshotObject* snapshot) {}

    bool observeON() const { return observeON_; }
    void setObserveON(bool value) { observeON_ = value; }

protected:
    // Has the context process its pending changes (inverses and observers are always current; this lets
    // deleted objects leave the graph).
    void processPendingChanges() const;

    // The value a single-precision attribute stores for the double given; caches keep this, so that a
    // getter answers the same before and after undo and redo, and setting it again changes nothing.
    static double singlePrecision(double value) { return static_cast<double>(static_cast<float>(value)); }

    // Fills the cache of every stored attribute from its stored value, or its default when none is stored.
    virtual void privateInit() {}
    // Stores what a new object of the entity starts with.
    virtual void storeInsertionDefaults() {}

    // Writes a stored value and its cached copy between the will- and did-change notices.
    template <class T>
    void storeAndCache(std::string_view key, T& cache, const T& value, const platform::Value& stored) {
        willChangeValueForKey(key);
        setPrimitiveValue(key, stored);
        cache = value;
        didChangeValueForKey(key);
    }
    template <class T>
    void storeAndCache(std::string_view key, T& cache, const T& value) {
        storeAndCache(key, cache, value, platform::Value(value));
    }

    // The observation contract for entities that observe themselves.
    bool beginObserving();
    bool endObserving();

    void awakeFromInsert() override;
    void awakeFromFetch() override;
    void awakeFromSnapshotEvents(unsigned events) override;
    void willTurnIntoFault() override;

private:
    bool observeON_ = false;
};
