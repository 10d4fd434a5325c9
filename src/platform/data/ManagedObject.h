#pragma once

#include "platform/data/Entity.h"
#include "platform/data/Observation.h"
#include "platform/data/Value.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class ManagedObjectContext;

// What an undo or redo did to an object, as bits of the argument of `awakeFromSnapshotEvents`.
enum SnapshotEvent : unsigned {
    SnapshotEventReattached = 1u << 0, // the object came back into the graph (its deletion was undone)
    SnapshotEventChanged = 1u << 1,    // stored values or links of the object changed
};

// Handed by the context to the constructor of every managed object; nothing else can make one, so
// objects exist only inside a context.
class ObjectInit {
public:
    const Entity& entity() const { return entity_; }
    ManagedObjectContext& context() const { return context_; }

private:
    friend class ManagedObjectContext;
    friend class ManagedObject;
    ObjectInit(const Entity& entity, ManagedObjectContext& context, std::uint64_t id)
        : entity_(entity), context_(context), id_(id) {}

    const Entity& entity_;
    ManagedObjectContext& context_;
    std::uint64_t id_;
};

// The base class of every entity class. An object belongs to its context and is handled by raw pointer;
// a deleted object stays valid memory (its attributes still read) for as long as an undo or redo action can
// bring it back, and at least until the event that deleted it, or that dropped the last such action, has
// returned (see ManagedObjectContext for when it is destroyed).
//
// Stored state: one value per attribute ("nothing stored" until set) and the links of each relationship.
// A to-many relationship is a set that keeps insertion order. Writing one side of a relationship writes
// the inverse at once, and every write registers its undo with the context's undo manager (unless
// registration is disabled). Undo and redo write the stored state directly, never through an entity's
// setters, and afterwards call `awakeFromSnapshotEvents` once on every object they touched, so entity
// classes cache attributes and re-read them there.
//
// Keys name attributes and relationships of the entity; an unknown key is a programming error (reported
// as a contract break, see ContractBreak.h; it reads as nothing and writes nothing). Readers of untrusted
// data check keys with the entity first.
//
// A typical entity class:
//
//     class Bar : public platform::ManagedObject {
//     public:
//         using ManagedObject::ManagedObject;
//         std::int64_t clefType() const { return clefType_; }
//         void setClefType(std::int64_t type) {
//             if (type == clefType_) return;
//             willChangeValueForKey("clefType");
//             setPrimitiveValue("clefType", type);
//             clefType_ = type;
//             didChangeValueForKey("clefType");
//         }
//     protected:
//         void awakeFromInsert() override { privateInit(); }
//         void awakeFromFetch() override { privateInit(); }
//         void awakeFromSnapshotEvents(unsigned) override { privateInit(); }
//     private:
//         void privateInit() { clefType_ = intValue("clefType", 0); }
//         std::int64_t clefType_ = 0;
//     };
class ManagedObject {
public:
    explicit ManagedObject(const ObjectInit& init);
    virtual ~ManagedObject();
    ManagedObject(const ManagedObject&) = delete;
    ManagedObject& operator=(const ManagedObject&) = delete;

    const Entity& entity() const { return entity_; }
    ManagedObjectContext* managedObjectContext() const { return context_; }
    // 1, 2, 3 ... in order of insertion into the context; never reused, also after deletion.
    std::uint64_t objectID() const { return id_; }
    // Deleted, or taken out again by undoing its insertion.
    bool isDeleted() const { return deleted_; }
    // `willTurnIntoFault` has been called and the object has not come back since.
    bool isFault() const { return faulted_; }

    template <class T>
    T* as() {
        return dynamic_cast<T*>(this);
    }
    template <class T>
    const T* as() const {
        return dynamic_cast<const T*>(this);
    }

    // ---- Attributes ------------------------------------------------------------------------------------
    const Value& primitiveValue(std::string_view key) const;
    // Stores the value as the attribute's type stores it (integers wrap to their width, single precision
    // rounds through float) and registers the undo; no change notices. Storing an equal value does
    // nothing. A value of the wrong kind (a string for a number) is a programming error and stores nothing.
    void setPrimitiveValue(std::string_view key, const Value& value);
    // Will-change notice, primitive value, did-change notice; nothing at all when the value is equal.
    void setValue(std::string_view key, const Value& value);

    bool hasValue(std::string_view key) const { return !primitiveValue(key).isNothing(); }
    // Typed readers: the stored value, or `fallback` when nothing is stored.
    std::int64_t intValue(std::string_view key, std::int64_t fallback = 0) const;
    std::uint64_t unsignedValue(std::string_view key, std::uint64_t fallback = 0) const;
    double doubleValue(std::string_view key, double fallback = 0.0) const;
    bool boolValue(std::string_view key, bool fallback = false) const;
    const std::string& stringValue(std::string_view key) const { return primitiveValue(key).toString(); }
    const Bytes& bytesValue(std::string_view key) const { return primitiveValue(key).toBytes(); }

    // ---- Relationships ---------------------------------------------------------------------------------
    // Each writer sends the change notices of every side it changes (do not bracket it with notices).
    ManagedObject* toOne(std::string_view key) const;
    template <class T>
    T* toOne(std::string_view key) const {
        return dynamic_cast<T*>(toOne(key));
    }
    void setToOne(std::string_view key, ManagedObject* object);

    // The members in insertion order. The reference changes with the relationship: copy it before
    // changing the relationship (or deleting its members) while walking it.
    const std::vector<ManagedObject*>& toMany(std::string_view key) const;
    template <class T>
    std::vector<T*> toManyAs(std::string_view key) const {
        std::vector<T*> result;
        for (ManagedObject* o : toMany(key)) {
            if (T* t = dynamic_cast<T*>(o)) {
                result.push_back(t);
            }
        }
        return result;
    }
    std::size_t toManyCount(std::string_view key) const { return toMany(key).size(); }
    bool toManyContains(std::string_view key, const ManagedObject* object) const;
    // Adding a member already there, or removing one that is not, does nothing.
    void addToMany(std::string_view key, ManagedObject* object);
    void removeFromMany(std::string_view key, ManagedObject* object);

    // ---- Change notices --------------------------------------------------------------------------------
    // Sent around a primitive write by setters (the context sends them itself for relationship writes,
    // deletion, undo and redo). The will-notice reaches the entity's `willChange`; the did-notice its
    // `didChange` and then every observer of the key.
    void willChangeValueForKey(std::string_view key);
    void didChangeValueForKey(std::string_view key);

    // ---- Observation -----------------------------------------------------------------------------------
    // Calls `callback` synchronously after each change of the key (attribute, to-one or to-many
    // membership), also during undo and redo, until the observer is removed. Observers may add and remove
    // observers while called; one added then is first called at the next change.
    ObservationToken addObserver(std::string_view key, ObserverCallback callback);
    void removeObserver(const ObservationToken& token);

protected:
    // Life-cycle hooks, called by the context; the base versions do nothing.
    // Right after construction, once the object belongs to the context: for inserted and fetched objects.
    virtual void didInitialize() {}
    virtual void awakeFromInsert() {}
    virtual void awakeFromFetch() {}
    // Once per object that an undo or redo touched and that is in the graph afterwards, when all stored
    // values and links are back; `events` is a set of SnapshotEvent bits.
    virtual void awakeFromSnapshotEvents(unsigned events) {}
    // When a deleted object leaves the graph (at processPendingChanges, at the end of the undo or redo
    // that took it out, or when the context goes); undo may bring it back.
    virtual void willTurnIntoFault() {}
    // Once per deletion, before any link is cut; may delete other objects and process pending changes.
    virtual void prepareForDeletion() {}
    // The entity's own change notices (see willChangeValueForKey).
    virtual void willChange(const Change& change) {}
    virtual void didChange(const Change& change) {}

private:
    friend class ManagedObjectContext;
    class ObserverList;

    struct Link {
        ManagedObject* one = nullptr;
        std::vector<ManagedObject*> many;
    };

    int attributeIndexOrReport(std::string_view key) const;
    bool hasObservers() const;
    int relationshipIndexOrReport(std::string_view key) const;
    void sendWillChange(const Change& change) { willChange(change); }
    void sendDidChange(const Change& change);

    const Entity& entity_;
    ManagedObjectContext* context_;
    std::uint64_t id_;
    std::vector<Value> values_;
    std::vector<Link> links_;
    std::unique_ptr<ObserverList> observers_;
    std::uint64_t touchStamp_ = 0; // the undo or redo that last touched the object
    unsigned snapshotEvents_ = 0;
    std::uint32_t undoHolds_ = 0; // undo and redo actions that can reach the object
    std::size_t slot_ = 0;        // its place in the context's list of objects
    std::size_t kind_ = 0;        // its entity's place in the context's index of objects in the graph
    bool deleted_ = false;
    bool faulted_ = false;
    bool reclaimQueued_ = false; // on the context's list of objects that may be destroyed
};

} // namespace platform
