#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

namespace platform {

class ManagedObject;

enum class ChangeKind {
    Setting,   // an attribute or a to-one relationship took a new value
    Insertion, // objects joined a to-many relationship
    Removal,   // objects left a to-many relationship
};

// One change of one key of one object, as the entity's own notices and the observers of the key see it.
// For a to-many relationship `objects` holds the objects inserted or removed; it is empty otherwise.
struct Change {
    ManagedObject* object = nullptr;
    std::string_view key;
    ChangeKind kind = ChangeKind::Setting;
    std::span<ManagedObject* const> objects;
};

using ObserverCallback = std::function<void(const Change&)>;

// Names one observer so that it can be removed; a default token names none.
struct ObservationToken {
    ManagedObject* object = nullptr;
    std::uint64_t id = 0;

    explicit operator bool() const { return object != nullptr; }
};

} // namespace platform
