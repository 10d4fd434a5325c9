#pragma once

#include "platform/data/EntityDescription.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class ManagedObject;
class ObjectInit;

// An entity of a finished model: its table with the parent's properties folded in and every relationship
// resolved to its destination and inverse. Made and owned by ManagedObjectModel; immutable once the model
// is finalised.
class Entity {
public:
    using Factory = std::function<std::unique_ptr<ManagedObject>(const ObjectInit&)>;

    struct Attribute {
        std::string name;
        AttributeType type;
    };

    struct Relationship {
        std::string name;
        const Entity* destination = nullptr;
        bool toMany = false;
        DeleteRule deleteRule = DeleteRule::Nullify;
        std::string inverseName;
        // The inverse's index in the destination's relationships; the same in every sub-entity of the
        // destination, as inherited properties keep their places.
        int inverseIndex = -1;
    };

    Entity(EntityDescription description, Factory factory);

    const std::string& name() const { return description_.name; }
    const Entity* parent() const { return parent_; }
    // True for this entity and every entity derived from it.
    bool isKindOfEntity(const Entity& other) const;

    // Inherited properties first, in the parent's order.
    const std::vector<Attribute>& attributes() const { return attributes_; }
    const std::vector<Relationship>& relationships() const { return relationships_; }
    // -1 when the entity has no such property.
    int attributeIndex(std::string_view key) const;
    int relationshipIndex(std::string_view key) const;

    const EntityDescription& description() const { return description_; }
    const Factory& factory() const { return factory_; }

private:
    friend class ManagedObjectModel;

    EntityDescription description_;
    Factory factory_;
    const Entity* parent_ = nullptr;
    std::vector<Attribute> attributes_;
    std::vector<Relationship> relationships_;
};

} // namespace platform
