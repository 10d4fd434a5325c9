#include "platform/data/ManagedObjectModel.h"

#include <cassert>
#include <functional>
#include <set>

namespace platform {

void ManagedObjectModel::addEntityWithFactory(EntityDescription description, Entity::Factory factory) {
    assert(!finalized_ && "entities are added before the model is finalised");
    if (finalized_) {
        return;
    }
    entities_.push_back(std::make_unique<Entity>(std::move(description), std::move(factory)));
}

const Entity* ManagedObjectModel::entityNamed(std::string_view name) const {
    for (const auto& entity : entities_) {
        if (entity->name() == name) {
            return entity.get();
        }
    }
    return nullptr;
}

std::vector<const Entity*> ManagedObjectModel::entities() const {
    std::vector<const Entity*> result;
    result.reserve(entities_.size());
    for (const auto& entity : entities_) {
        result.push_back(entity.get());
    }
    return result;
}

bool ManagedObjectModel::fail(std::string* error, const std::string& message) {
    if (error != nullptr) {
        *error = message;
    }
    for (auto& entity : entities_) {
        entity->parent_ = nullptr;
        entity->attributes_.clear();
        entity->relationships_.clear();
    }
    return false;
}

bool ManagedObjectModel::finalize(std::string* error) {
    if (finalized_) {
        return true;
    }
    std::set<std::string, std::less<>> names;
    for (const auto& entity : entities_) {
        if (entity->name().empty() || !names.insert(entity->name()).second) {
            return fail(error, "entity name empty or used twice: \"" + entity->name() + "\"");
        }
    }

    for (const auto& entity : entities_) {
        const std::string& parentName = entity->description_.parentEntity;
        if (parentName.empty()) {
            continue;
        }
        entity->parent_ = entityNamed(parentName);
        if (entity->parent_ == nullptr) {
            return fail(error, entity->name() + ": unknown parent entity " + parentName);
        }
    }
    for (const auto& entity : entities_) {
        std::size_t depth = 0;
        for (const Entity* e = entity->parent_; e != nullptr; e = e->parent_) {
            if (++depth > entities_.size()) {
                return fail(error, entity->name() + ": its parents form a cycle");
            }
        }
    }

    // Fold the parents' properties in, parents before their children.
    auto mutableEntity = [this](const Entity* e) -> Entity& {
        for (auto& entity : entities_) {
            if (entity.get() == e) {
                return *entity;
            }
        }
        assert(false && "entity of another model");
        return *entities_.front();
    };
    std::set<const Entity*> folded;
    std::function<bool(Entity&)> fold = [&](Entity& entity) {
        if (folded.contains(&entity)) {
            return true;
        }
        if (entity.parent_ != nullptr) {
            Entity& parent = mutableEntity(entity.parent_);
            if (!fold(parent)) {
                return false;
            }
            entity.attributes_ = parent.attributes_;
            entity.relationships_ = parent.relationships_;
        }
        std::set<std::string, std::less<>> keys;
        for (const auto& a : entity.attributes_) {
            keys.insert(a.name);
        }
        for (const auto& r : entity.relationships_) {
            keys.insert(r.name);
        }
        for (const auto& a : entity.description_.attributes) {
            if (a.name.empty() || !keys.insert(a.name).second) {
                return fail(error, entity.name() + ": property empty or named twice: " + a.name);
            }
            entity.attributes_.push_back({a.name, a.type});
        }
        for (const auto& r : entity.description_.relationships) {
            if (r.name.empty() || !keys.insert(r.name).second) {
                return fail(error, entity.name() + ": property empty or named twice: " + r.name);
            }
            const Entity* destination = entityNamed(r.destinationEntity);
            if (destination == nullptr) {
                return fail(error,
                            entity.name() + "." + r.name + ": unknown destination " + r.destinationEntity);
            }
            entity.relationships_.push_back(
                {r.name, destination, r.cardinality == Cardinality::ToMany, r.deleteRule, r.inverse, -1});
        }
        folded.insert(&entity);
        return true;
    };
    for (const auto& entity : entities_) {
        if (!fold(*entity)) {
            return false;
        }
    }

    // Check each declared relationship against its inverse, then resolve every relationship (inherited
    // ones are copies of their parent's and resolve alike).
    for (const auto& entity : entities_) {
        for (const RelationshipDescription& r : entity->description_.relationships) {
            const std::string where = entity->name() + "." + r.name;
            const Entity& destination = *entityNamed(r.destinationEntity);
            const RelationshipDescription* back = nullptr;
            for (const Entity* e = &destination; e != nullptr && back == nullptr; e = e->parent_) {
                for (const auto& candidate : e->description_.relationships) {
                    if (candidate.name == r.inverse) {
                        back = &candidate;
                    }
                }
            }
            if (back == nullptr) {
                return fail(error, where + ": no inverse " + r.inverse + " in " + r.destinationEntity);
            }
            if (back == &r) {
                return fail(error, where + ": a relationship cannot be its own inverse");
            }
            const Entity* backDestination = entityNamed(back->destinationEntity);
            if (back->inverse != r.name || !entity->isKindOfEntity(*backDestination)) {
                return fail(error, where + ": inverse " + r.inverse + " does not point back");
            }
        }
    }
    for (const auto& entity : entities_) {
        for (auto& r : entity->relationships_) {
            r.inverseIndex = r.destination->relationshipIndex(r.inverseName);
        }
    }
    finalized_ = true;
    return true;
}

} // namespace platform
