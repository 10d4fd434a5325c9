#pragma once

#include "platform/data/ManagedObjectContext.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

// A small model of shelves, boxes, items and tags that exercises every feature of the object graph:
//
//   Shelf  boxes ->> Box (cascade)      tags <<->> Tag (nullify)      front <-> Box.frontOf (one-to-one)
//   Box    items ->> Item (cascade)     shelf -> Shelf
//   Item   box -> Box;   FragileItem is an Item with a padding
namespace toy {

// Every hook call, as "hook Entity#id", for the tests that check the life cycle.
struct HookLog {
    std::vector<std::string> entries;
    std::map<std::string, int> counts; // by entry
    // Runs inside the named hook of the named object, e.g. {"prepareForDeletion Box#2", ...}.
    std::map<std::string, std::function<void(platform::ManagedObject&)>> actions;

    void record(const std::string& hook, platform::ManagedObject& object);
    int count(const std::string& entry) const;
};

class ToyObject : public platform::ManagedObject {
public:
    using ManagedObject::ManagedObject;
    ~ToyObject() override;
    static HookLog* log;
    // The name of every object destroyed, in order, when set.
    static std::vector<std::string>* destroyedLog;
    // Every will/did-change notice, as "will Box#3 items +[Item#6]" ("=" setting, "+" insertion,
    // "-" removal), when set.
    static std::vector<std::string>* changeLog;

protected:
    void didInitialize() override { record("didInitialize"); }
    void awakeFromInsert() override { record("awakeFromInsert"); }
    void awakeFromFetch() override { record("awakeFromFetch"); }
    void awakeFromSnapshotEvents(unsigned events) override;
    void willTurnIntoFault() override { record("willTurnIntoFault"); }
    void prepareForDeletion() override { record("prepareForDeletion"); }
    void willChange(const platform::Change& change) override { recordChange("will", change); }
    void didChange(const platform::Change& change) override { recordChange("did", change); }

private:
    void record(const std::string& hook);
    void recordChange(const char* when, const platform::Change& change);
};

std::string describe(const platform::Change& change);

// Caches its label like the entities of the score model, with a setter that counts its calls.
class Shelf : public ToyObject {
public:
    using ToyObject::ToyObject;
    static int setterCalls;

    const std::string& label() const { return label_; }
    void setLabel(const std::string& label);

protected:
    void awakeFromInsert() override;
    void awakeFromFetch() override;
    void awakeFromSnapshotEvents(unsigned events) override;

private:
    std::string label_;
};

class Box : public ToyObject {
public:
    using ToyObject::ToyObject;
};

class Item : public ToyObject {
public:
    using ToyObject::ToyObject;
};

class FragileItem : public Item {
public:
    using Item::Item;
};

std::shared_ptr<const platform::ManagedObjectModel> makeModel();

// Every object in the graph on one line each, in insertion order, with all attributes and links; equal
// dumps mean equal graphs, member order included.
std::string dump(const platform::ManagedObjectContext& context);

// "Box#3" (or "-" for none).
std::string name(const platform::ManagedObject* object);

} // namespace toy
