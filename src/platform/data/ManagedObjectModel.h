#pragma once

#include "platform/data/Entity.h"
#include "platform/data/EntityDescription.h"
#include "platform/data/ManagedObject.h"

#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace platform {

// The entities of a store and the class made for each. Entities are added as tables, in any order, then
// `finalize` resolves parents, destinations and inverses once; a context needs a finalised model, which
// must outlive it and is never changed again.
class ManagedObjectModel {
public:
    ManagedObjectModel() = default;
    ManagedObjectModel(const ManagedObjectModel&) = delete;
    ManagedObjectModel& operator=(const ManagedObjectModel&) = delete;

    // Objects of the entity are made as T: a ManagedObject subclass constructible from `const ObjectInit&`
    // (`using ManagedObject::ManagedObject;` gives it that constructor).
    template <class T = ManagedObject>
    void addEntity(EntityDescription description) {
        static_assert(std::is_base_of_v<ManagedObject, T>, "entity classes derive from ManagedObject");
        addEntityWithFactory(std::move(description),
                             [](const ObjectInit& init) -> std::unique_ptr<ManagedObject> {
                                 return std::make_unique<T>(init);
                             });
    }
    void addEntityWithFactory(EntityDescription description, Entity::Factory factory);

    // Resolves the tables. A faulty table (unknown or cyclic parent, unknown destination, a missing
    // inverse or one that does not point back, a property named twice) leaves the model unfinished and
    // answers false with the reason in `error`.
    bool finalize(std::string* error = nullptr);
    bool isFinalized() const { return finalized_; }

    const Entity* entityNamed(std::string_view name) const;
    std::vector<const Entity*> entities() const;

private:
    bool fail(std::string* error, const std::string& message);

    std::vector<std::unique_ptr<Entity>> entities_;
    bool finalized_ = false;
};

} // namespace platform
