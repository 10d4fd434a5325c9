#include "ToyGraph.h"

#include "platform/data/ManagedObjectModel.h"

#include <stdexcept>

using platform::AttributeType;
using platform::Cardinality;
using platform::DeleteRule;

namespace toy {

HookLog* ToyObject::log = nullptr;
std::vector<std::string>* ToyObject::changeLog = nullptr;
std::vector<std::string>* ToyObject::destroyedLog = nullptr;
int Shelf::setterCalls = 0;

void HookLog::record(const std::string& hook, platform::ManagedObject& object) {
    const std::string entry = hook + " " + name(&object);
    entries.push_back(entry);
    ++counts[entry];
    auto it = actions.find(entry);
    if (it != actions.end()) {
        it->second(object);
    }
}

int HookLog::count(const std::string& entry) const {
    auto it = counts.find(entry);
    return it == counts.end() ? 0 : it->second;
}

ToyObject::~ToyObject() {
    if (destroyedLog != nullptr) {
        destroyedLog->push_back(name(this));
    }
}

void ToyObject::record(const std::string& hook) {
    if (log != nullptr) {
        log->record(hook, *this);
    }
}

std::string describe(const platform::Change& change) {
    std::string out = name(change.object) + " " + std::string(change.key) + " ";
    switch (change.kind) {
    case platform::ChangeKind::Setting:
        return out + "=";
    case platform::ChangeKind::Insertion:
        out += "+[";
        break;
    case platform::ChangeKind::Removal:
        out += "-[";
        break;
    }
    const char* separator = "";
    for (const platform::ManagedObject* object : change.objects) {
        out += separator + name(object);
        separator = ",";
    }
    return out + "]";
}

void ToyObject::recordChange(const char* when, const platform::Change& change) {
    if (changeLog != nullptr) {
        changeLog->push_back(std::string(when) + " " + describe(change));
    }
}

void ToyObject::awakeFromSnapshotEvents(unsigned events) {
    std::string hook = "awakeFromSnapshotEvents";
    if ((events & platform::SnapshotEventReattached) != 0) {
        hook += "+reattached";
    }
    if ((events & platform::SnapshotEventChanged) != 0) {
        hook += "+changed";
    }
    record(hook);
}

void Shelf::setLabel(const std::string& label) {
    ++setterCalls;
    if (label == label_) {
        return;
    }
    willChangeValueForKey("label");
    setPrimitiveValue("label", label);
    label_ = label;
    didChangeValueForKey("label");
}

void Shelf::awakeFromInsert() {
    ToyObject::awakeFromInsert();
    label_ = stringValue("label");
}

void Shelf::awakeFromFetch() {
    ToyObject::awakeFromFetch();
    label_ = stringValue("label");
}

void Shelf::awakeFromSnapshotEvents(unsigned events) {
    ToyObject::awakeFromSnapshotEvents(events);
    label_ = stringValue("label");
}

std::shared_ptr<const platform::ManagedObjectModel> makeModel() {
    auto model = std::make_shared<platform::ManagedObjectModel>();
    // Sub-entity first: the order of the tables does not matter.
    model->addEntity<FragileItem>({
        .name = "FragileItem",
        .parentEntity = "Item",
        .attributes = {{"padding", AttributeType::Float}},
    });
    model->addEntity<Shelf>({
        .name = "Shelf",
        .attributes = {{"label", AttributeType::String},
                       {"capacity", AttributeType::Integer16},
                       {"count", AttributeType::Integer32},
                       {"serial", AttributeType::Integer64},
                       {"open", AttributeType::Boolean},
                       {"ratio", AttributeType::Float},
                       {"weight", AttributeType::Double},
                       {"photo", AttributeType::Binary},
                       {"extra", AttributeType::Transformable}},
        .relationships = {{"boxes", "Box", Cardinality::ToMany, "shelf", DeleteRule::Cascade},
                          {"tags", "Tag", Cardinality::ToMany, "shelves", DeleteRule::Nullify},
                          {"front", "Box", Cardinality::ToOne, "frontOf", DeleteRule::Nullify}},
    });
    model->addEntity<Box>({
        .name = "Box",
        .attributes = {{"name", AttributeType::String}, {"size", AttributeType::Integer64}},
        .relationships = {{"shelf", "Shelf", Cardinality::ToOne, "boxes"},
                          {"items", "Item", Cardinality::ToMany, "box", DeleteRule::Cascade},
                          {"frontOf", "Shelf", Cardinality::ToOne, "front"}},
    });
    model->addEntity<Item>({
        .name = "Item",
        .attributes = {{"title", AttributeType::String}, {"weight", AttributeType::Double}},
        .relationships = {{"box", "Box", Cardinality::ToOne, "items"}},
    });
    model->addEntity({
        .name = "Tag",
        .attributes = {{"word", AttributeType::String}},
        .relationships = {{"shelves", "Shelf", Cardinality::ToMany, "tags"}},
    });
    std::string error;
    if (!model->finalize(&error)) {
        throw std::runtime_error("toy model: " + error);
    }
    return model;
}

std::string name(const platform::ManagedObject* object) {
    if (object == nullptr) {
        return "-";
    }
    return object->entity().name() + "#" + std::to_string(object->objectID());
}

std::string dump(const platform::ManagedObjectContext& context) {
    std::string out;
    for (const platform::ManagedObject* object : context.allObjects()) {
        out += name(object);
        for (const auto& attribute : object->entity().attributes()) {
            out += " " + attribute.name + "=" + object->primitiveValue(attribute.name).description();
        }
        for (const auto& relationship : object->entity().relationships()) {
            out += " " + relationship.name + "=";
            if (!relationship.toMany) {
                out += name(object->toOne(relationship.name));
                continue;
            }
            out += "[";
            const char* separator = "";
            for (const platform::ManagedObject* member : object->toMany(relationship.name)) {
                out += separator + name(member);
                separator = ",";
            }
            out += "]";
        }
        out += "\n";
    }
    return out;
}

} // namespace toy
