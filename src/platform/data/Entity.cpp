#include "platform/data/Entity.h"

namespace platform {

Entity::Entity(EntityDescription description, Factory factory)
    : description_(std::move(description)), factory_(std::move(factory)) {}

bool Entity::isKindOfEntity(const Entity& other) const {
    for (const Entity* e = this; e != nullptr; e = e->parent_) {
        if (e == &other) {
            return true;
        }
    }
    return false;
}

int Entity::attributeIndex(std::string_view key) const {
    for (std::size_t i = 0; i < attributes_.size(); ++i) {
        if (attributes_[i].name == key) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int Entity::relationshipIndex(std::string_view key) const {
    for (std::size_t i = 0; i < relationships_.size(); ++i) {
        if (relationships_[i].name == key) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

} // namespace platform
