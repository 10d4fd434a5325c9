#include "platform/data/ManagedObject.h"

#include "platform/data/ManagedObjectContext.h"

#include "platform/data/ContractBreak.h"

#include <algorithm>

namespace platform {

// The observers of one object. Entries live on the heap so that a callback that adds observers (and so
// grows the list) keeps running on valid memory; removed entries are erased once no dispatch is running.
class ManagedObject::ObserverList {
public:
    ObservationToken add(ManagedObject* object, std::string_view key, ObserverCallback callback) {
        const std::uint64_t id = nextId_++;
        entries_.push_back(std::make_unique<Entry>(Entry{id, key, std::move(callback), false}));
        return {object, id};
    }

    void remove(std::uint64_t id) {
        auto it = std::find_if(entries_.begin(), entries_.end(), [id](const auto& e) { return e->id == id; });
        if (it == entries_.end()) {
            return;
        }
        if (dispatching_ > 0) {
            (*it)->removed = true;
            needsCompaction_ = true;
        } else {
            entries_.erase(it);
        }
    }

    bool empty() const {
        return std::all_of(entries_.begin(), entries_.end(), [](const auto& e) { return e->removed; });
    }

    void dispatch(const Change& change) {
        ++dispatching_;
        const std::size_t count = entries_.size();
        for (std::size_t i = 0; i < count; ++i) {
            Entry* entry = entries_[i].get();
            if (!entry->removed && entry->key == change.key) {
                entry->callback(change);
            }
        }
        if (--dispatching_ == 0 && needsCompaction_) {
            std::erase_if(entries_, [](const auto& e) { return e->removed; });
            needsCompaction_ = false;
        }
    }

private:
    struct Entry {
        std::uint64_t id;
        std::string_view key; // the entity's own name of the key, which outlives the entry
        ObserverCallback callback;
        bool removed;
    };

    std::vector<std::unique_ptr<Entry>> entries_;
    std::uint64_t nextId_ = 1;
    int dispatching_ = 0;
    bool needsCompaction_ = false;
};

ManagedObject::ManagedObject(const ObjectInit& init)
    : entity_(init.entity()), context_(&init.context()), id_(init.id_), values_(entity_.attributes().size()),
      links_(entity_.relationships().size()) {}

ManagedObject::~ManagedObject() = default;

int ManagedObject::attributeIndexOrReport(std::string_view key) const {
    const int index = entity_.attributeIndex(key);
    if (!(index >= 0)) {
        reportContractBreak("unknown attribute key");
    }
    return index;
}

int ManagedObject::relationshipIndexOrReport(std::string_view key) const {
    const int index = entity_.relationshipIndex(key);
    if (!(index >= 0)) {
        reportContractBreak("unknown relationship key");
    }
    return index;
}

const Value& ManagedObject::primitiveValue(std::string_view key) const {
    static const Value nothing;
    const int index = attributeIndexOrReport(key);
    return index >= 0 ? values_[static_cast<std::size_t>(index)] : nothing;
}

void ManagedObject::setPrimitiveValue(std::string_view key, const Value& value) {
    const int index = attributeIndexOrReport(key);
    if (index < 0) {
        return;
    }
    std::optional<Value> stored = value.storedAs(entity_.attributes()[static_cast<std::size_t>(index)].type);
    if (!(stored.has_value())) {
        reportContractBreak("value of the wrong kind for the attribute");
    }
    if (stored.has_value()) {
        context_->writeValue(*this, index, std::move(*stored));
    }
}

void ManagedObject::setValue(std::string_view key, const Value& value) {
    const int index = attributeIndexOrReport(key);
    if (index < 0) {
        return;
    }
    const std::optional<Value> stored =
        value.storedAs(entity_.attributes()[static_cast<std::size_t>(index)].type);
    if (!(stored.has_value())) {
        reportContractBreak("value of the wrong kind for the attribute");
    }
    if (!stored.has_value() || *stored == values_[static_cast<std::size_t>(index)]) {
        return;
    }
    willChangeValueForKey(key);
    context_->writeValue(*this, index, *stored);
    didChangeValueForKey(key);
}

std::int64_t ManagedObject::intValue(std::string_view key, std::int64_t fallback) const {
    const Value& v = primitiveValue(key);
    return v.isNothing() ? fallback : v.toInt64();
}

std::uint64_t ManagedObject::unsignedValue(std::string_view key, std::uint64_t fallback) const {
    const Value& v = primitiveValue(key);
    return v.isNothing() ? fallback : v.toUInt64();
}

double ManagedObject::doubleValue(std::string_view key, double fallback) const {
    const Value& v = primitiveValue(key);
    return v.isNothing() ? fallback : v.toDouble();
}

bool ManagedObject::boolValue(std::string_view key, bool fallback) const {
    const Value& v = primitiveValue(key);
    return v.isNothing() ? fallback : v.toBool();
}

ManagedObject* ManagedObject::toOne(std::string_view key) const {
    const int index = relationshipIndexOrReport(key);
    if (index < 0) {
        return nullptr;
    }
    if (entity_.relationships()[static_cast<std::size_t>(index)].toMany) {
        reportContractBreak("to-one read of a to-many key");
    }
    return links_[static_cast<std::size_t>(index)].one;
}

void ManagedObject::setToOne(std::string_view key, ManagedObject* object) {
    const int index = relationshipIndexOrReport(key);
    if (index >= 0) {
        context_->setToOne(*this, index, object);
    }
}

const std::vector<ManagedObject*>& ManagedObject::toMany(std::string_view key) const {
    static const std::vector<ManagedObject*> none;
    const int index = relationshipIndexOrReport(key);
    if (index < 0) {
        return none;
    }
    if (!(entity_.relationships()[static_cast<std::size_t>(index)].toMany)) {
        reportContractBreak("to-many read of a to-one key");
    }
    return links_[static_cast<std::size_t>(index)].many;
}

bool ManagedObject::toManyContains(std::string_view key, const ManagedObject* object) const {
    const std::vector<ManagedObject*>& members = toMany(key);
    return object != nullptr && std::find(members.rbegin(), members.rend(), object) != members.rend();
}

void ManagedObject::addToMany(std::string_view key, ManagedObject* object) {
    const int index = relationshipIndexOrReport(key);
    if (index >= 0) {
        context_->addToMany(*this, index, object);
    }
}

void ManagedObject::removeFromMany(std::string_view key, ManagedObject* object) {
    const int index = relationshipIndexOrReport(key);
    if (index >= 0) {
        context_->removeFromMany(*this, index, object);
    }
}

namespace {

// The entity's own spelling of a key, which lives as long as the model.
std::string_view entityKey(const Entity& entity, std::string_view key) {
    const int attribute = entity.attributeIndex(key);
    if (attribute >= 0) {
        return entity.attributes()[static_cast<std::size_t>(attribute)].name;
    }
    const int relationship = entity.relationshipIndex(key);
    if (relationship >= 0) {
        return entity.relationships()[static_cast<std::size_t>(relationship)].name;
    }
    return {};
}

} // namespace

void ManagedObject::willChangeValueForKey(std::string_view key) {
    const std::string_view k = entityKey(entity_, key);
    if (!(!k.empty())) {
        reportContractBreak("change notice for an unknown key");
    }
    if (!k.empty()) {
        sendWillChange(Change{this, k, ChangeKind::Setting, {}});
    }
}

void ManagedObject::didChangeValueForKey(std::string_view key) {
    const std::string_view k = entityKey(entity_, key);
    if (!(!k.empty())) {
        reportContractBreak("change notice for an unknown key");
    }
    if (!k.empty()) {
        sendDidChange(Change{this, k, ChangeKind::Setting, {}});
    }
}

void ManagedObject::sendDidChange(const Change& change) {
    didChange(change);
    if (observers_) {
        observers_->dispatch(change);
    }
}

ObservationToken ManagedObject::addObserver(std::string_view key, ObserverCallback callback) {
    const std::string_view k = entityKey(entity_, key);
    if (!(!k.empty())) {
        reportContractBreak("observer of an unknown key");
    }
    if (k.empty() || !callback) {
        return {};
    }
    if (!observers_) {
        observers_ = std::make_unique<ObserverList>();
    }
    return observers_->add(this, k, std::move(callback));
}

void ManagedObject::removeObserver(const ObservationToken& token) {
    if (!token) {
        return;
    }
    if (!(token.object == this)) {
        reportContractBreak("observer token of another object");
    }
    if (token.object == this && observers_) {
        observers_->remove(token.id);
        // A deleted object that only its observers kept in memory may go now.
        if (deleted_ && !hasObservers()) {
            context_->objectMayBeUnreachable(*this);
        }
    }
}

bool ManagedObject::hasObservers() const {
    return observers_ && !observers_->empty();
}

} // namespace platform
