#pragma once

#include "platform/data/ManagedObject.h"
#include "platform/data/ManagedObjectModel.h"
#include "platform/foundation/UndoManager.h"

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace platform {

// Owns the managed objects of one document and their undo manager.
//
// Deletion: `deleteObject` marks the object deleted, calls its `prepareForDeletion` once, deletes what its
// cascading relationships reach, then cuts every remaining link (nullify). It is idempotent and may be
// re-entered from `prepareForDeletion`. The deleted object keeps its attributes and stays valid memory
// until the context is destroyed; `processPendingChanges` then calls its `willTurnIntoFault`.
//
// Undo: every stored change, insertion and deletion registers with the undo manager. Undo and redo write
// stored values and links directly and send the change notices (observers see `isUndoing` / `isRedoing`);
// after the last action and before any other observer of the did-undo or did-redo notification runs, every
// touched object still in the graph gets `awakeFromSnapshotEvents` once, and every one taken out gets
// `willTurnIntoFault`.
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

    // Every object of the entity or of its sub-entities that is in the graph, in insertion order.
    std::vector<ManagedObject*> fetchObjects(std::string_view entityName) const;
    // Every object in the graph, in insertion order.
    std::vector<ManagedObject*> allObjects() const;

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
    void detach(ManagedObject& object);
    void reattach(ManagedObject& object);
    void touch(ManagedObject& object, unsigned events);
    void undoRedoWillStart();
    void undoRedoDidEnd();
    bool registersUndo() const { return undoManager_.isUndoRegistrationEnabled(); }

    std::shared_ptr<const ManagedObjectModel> model_;
    UndoManager undoManager_; // declared before the objects, so it outlives them
    std::vector<std::unique_ptr<ManagedObject>> objects_;
    std::vector<ManagedObject*> awaitingFetch_;
    std::vector<ManagedObject*> pendingDeletions_;
    std::size_t pendingHead_ = 0;
    std::vector<ManagedObject*> touched_;
    std::uint64_t touchStamp_ = 0;
    std::uint64_t lastObjectID_ = 0;
    bool tearingDown_ = false;
};

} // namespace platform
