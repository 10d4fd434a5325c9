#pragma once

#include "platform/data/ManagedObject.h"
#include "platform/data/ManagedObjectModel.h"
#include "platform/foundation/UndoManager.h"

#include <cstdint>
#include <memory>
#include <set>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace platform {

// Owns the managed objects of one document and their undo manager.
//
// Deletion: `deleteObject` marks the object deleted, calls its `prepareForDeletion` once, deletes what its
// cascading relationships reach, then cuts every remaining link (nullify). It is idempotent and may be
// re-entered from `prepareForDeletion`. The deleted object keeps its attributes; `processPendingChanges`
// then calls its `willTurnIntoFault`.
//
// Undo: every stored change, insertion and deletion registers with the undo manager. Undo and redo write
// stored values and links directly and send the change notices (observers see `isUndoing` / `isRedoing`);
// after the last action and before any other observer of the did-undo or did-redo notification runs, every
// touched object still in the graph gets `awakeFromSnapshotEvents` once, and every one taken out gets
// `willTurnIntoFault`.
//
// Reclaiming: a deleted object (or one whose insertion was undone) stays in memory while any undo or redo
// action can reach it, so undo brings back the very same object. Once none can (the undo stack was
// cleared, a new edit dropped the redo steps, the object was deleted with registration disabled) and no
// observer is left on it, it is destroyed, but never inside the call that made it unreachable: callers in
// the event being handled may still hold raw pointers to it (to read what they just deleted, or to remove
// their observers). The context destroys such objects in a call deferred to the main loop
// (`MainLoop::defer`), which runs once the event has returned; there it first processes pending changes,
// so every object hears `willTurnIntoFault` before it goes. Inside a nested (modal) event loop, or while
// undoing or redoing, the call leaves them for the next one, which the next edit schedules. Without an
// event loop (tools, a test that does not run one) nothing is reclaimed before the context goes.
// `processPendingChanges` is no such point: the model calls it in the middle of its operations, and hooks
// call it re-entrantly, while they still work on deleted objects.
//
// Main thread only.
class ManagedObjectContext {
public:
    // The model must be finalised.
    explicit ManagedObjectContext(std::shared_ptr<const ManagedObjectModel> model);
    ~ManagedObjectContext();
    ManagedObjectContext(const ManagedObjectContext&) = delete;
    ManagedObjectContext& operator=(const ManagedObjectContext&) = delete;

    const ManagedObjectModel& model() const { return *model_; }
    UndoManager& undoManager() { return undoManager_; }
    const UndoManager& undoManager() const { return undoManager_; }
    bool isUndoingOrRedoing() const { return undoManager_.isUndoing() || undoManager_.isRedoing(); }

    // A new object of the entity, made by the entity's registered class: initialiser hook, then
    // `awakeFromInsert`. Nothing for an unknown entity name.
    ManagedObject* insertNewObject(std::string_view entityName);
    template <class T>
    T* insertNewObject(std::string_view entityName) {
        return dynamic_cast<T*>(insertNewObject(entityName));
    }

    // For loaders that build a graph from a file: the object gets the initialiser hook now and
    // `awakeFromFetch` (instead of `awakeFromInsert`) at the next `awakeFetchedObjects`, once the loader
    // has stored its values and links.
    ManagedObject* insertFetchedObject(std::string_view entityName);
    void awakeFetchedObjects();

    void deleteObject(ManagedObject* object);

    // Lets deleted objects leave the graph (`willTurnIntoFault`). Links and observers are always current,
    // so this costs only the deletions since the last call; it may be re-entered from the hooks it calls.
    void processPendingChanges();

    // Every object of the entity or of its sub-entities that is in the graph, in insertion order. The cost
    // follows the objects returned: deleted objects are never walked.
    std::vector<ManagedObject*> fetchObjects(std::string_view entityName) const;
    // Every object in the graph, in insertion order.
    std::vector<ManagedObject*> allObjects() const;

    // Objects in memory: those in the graph and the deleted ones not yet destroyed (see Reclaiming above).
    std::size_t heldObjectCount() const { return objects_.size() - freeSlots_; }

private:
    friend class ManagedObject;

    // Adds or cuts one link between `a` (by its relationship `relationship`) and `b` (by the inverse). The
    // positions in to-many sides are filled in when applied, so that the inverse edit puts members back
    // exactly where they were.
    struct LinkEdit {
        ManagedObject* a = nullptr;
        int relationship = -1;
        ManagedObject* b = nullptr;
        bool link = true;
        std::size_t positionInA = kAppend;
        std::size_t positionInB = kAppend;
    };
    static constexpr std::size_t kAppend = static_cast<std::size_t>(-1);

    // One undo or redo action's hold on an object; a deleted object stays in memory while it has any.
    class UndoHold {
    public:
        explicit UndoHold(ManagedObject* object) noexcept : object_(object) {
            ManagedObjectContext::hold(object_);
        }
        UndoHold(const UndoHold& other) noexcept : UndoHold(other.object_) {}
        UndoHold(UndoHold&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
        UndoHold& operator=(UndoHold other) noexcept {
            std::swap(object_, other.object_);
            return *this;
        }
        ~UndoHold() { ManagedObjectContext::release(object_); }
        ManagedObject& operator*() const { return *object_; }

    private:
        ManagedObject* object_;
    };

    // Objects in the graph ordered by insertion.
    struct ByObjectID {
        bool operator()(const ManagedObject* a, const ManagedObject* b) const {
            return a->objectID() < b->objectID();
        }
    };
    using LiveObjects = std::set<ManagedObject*, ByObjectID>;

    ManagedObject* insertObject(std::string_view entityName, bool fetched);
    void writeValue(ManagedObject& object, int attribute, Value value);
    void restoreValue(ManagedObject& object, int attribute, const Value& value);
    void setToOne(ManagedObject& a, int relationship, ManagedObject* b);
    void addToMany(ManagedObject& a, int relationship, ManagedObject* b);
    void removeFromMany(ManagedObject& a, int relationship, ManagedObject* b);
    bool mayLink(const ManagedObject& a, int relationship, const ManagedObject& b) const;
    void cutLinks(ManagedObject& object, int relationship);
    static std::size_t insertIntoSide(ManagedObject::Link& link, bool toMany, ManagedObject* member,
                                      std::size_t position);
    static std::size_t removeFromSide(ManagedObject::Link& link, bool toMany, ManagedObject* member);
    void changeLinks(std::vector<LinkEdit> edits);
    void setDeleted(ManagedObject& object, bool deleted);
    void detach(ManagedObject& object);
    void reattach(ManagedObject& object);
    void touch(ManagedObject& object, unsigned events);
    void undoRedoWillStart();
    void undoRedoDidEnd();
    bool registersUndo() const { return undoManager_.isUndoRegistrationEnabled(); }
    static void hold(ManagedObject* object);
    static void release(ManagedObject* object);
    static bool isUnreachable(const ManagedObject& object);
    void objectMayBeUnreachable(ManagedObject& object);
    void scheduleReclaim();
    void reclaimUnreachableObjects();
    void collectLive(std::size_t kind, std::vector<ManagedObject*>& into) const;

    std::shared_ptr<const ManagedObjectModel> model_;
    UndoManager undoManager_; // declared before the objects, so it outlives them
    // Owns every object in memory in insertion order; a destroyed object leaves an empty slot until the
    // list is compacted.
    std::vector<std::unique_ptr<ManagedObject>> objects_;
    std::size_t freeSlots_ = 0;
    // By entity (in the model's order): the objects of exactly that entity in the graph.
    std::vector<LiveObjects> live_;
    // By entity: itself and every entity derived from it.
    std::vector<std::vector<std::size_t>> kinds_;
    std::unordered_map<const Entity*, std::size_t> entityIndex_;
    std::vector<ManagedObject*> unreachable_; // may be destroyed at the next reclaim
    bool reclaimScheduled_ = false;
    // Lets a deferred reclaim find out whether the context still exists.
    std::shared_ptr<ManagedObjectContext*> self_;
    std::vector<ManagedObject*> awaitingFetch_;
    std::vector<ManagedObject*> pendingDeletions_;
    std::size_t pendingHead_ = 0;
    std::vector<ManagedObject*> touched_;
    std::uint64_t touchStamp_ = 0;
    std::uint64_t lastObjectID_ = 0;
    bool tearingDown_ = false;
};

} // namespace platform
