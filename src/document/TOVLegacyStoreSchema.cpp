#include "document/TOVLegacyStoreSchema.h"

#include "model/TOVManagedObjectModel.h"

#include <algorithm>
#include <cctype>

using platform::AttributeDescription;
using platform::AttributeType;
using platform::EntityDescription;

namespace {

// How one entity of an older structure differs from the current one.
struct EntityChange {
    const char* entity;
    std::vector<AttributeDescription> added;
    std::vector<std::string> removed;
};

const std::vector<EntityChange>& legacyRhythmChanges() {
    static const std::vector<EntityChange> changes = {
        {"Note", {{"x", AttributeType::Integer64}}, {}},
        {"NoteUnit", {{"order", AttributeType::Integer64}}, {"beam", "timing", "duration"}},
        {"Chord", {}, {"timing"}},
    };
    return changes;
}

const std::vector<std::pair<std::string, std::string>>& archivedTextAttributes() {
    static const std::vector<std::pair<std::string, std::string>> texts = {
        {"Song", "name"},     {"Song", "producer"}, {"Song", "arranger"},
        {"Song", "composer"}, {"Song", "writer"},   {"SymbolText", "text"},
    };
    return texts;
}

std::vector<EntityDescription> changed(std::vector<EntityDescription> entities,
                                       const std::vector<EntityChange>& changes) {
    for (const EntityChange& change : changes) {
        for (EntityDescription& entity : entities) {
            if (entity.name != change.entity) {
                continue;
            }
            std::erase_if(entity.attributes, [&](const AttributeDescription& a) {
                return std::find(change.removed.begin(), change.removed.end(), a.name) !=
                       change.removed.end();
            });
            entity.attributes.insert(entity.attributes.end(), change.added.begin(), change.added.end());
        }
    }
    return entities;
}

bool sameIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

} // namespace

const std::vector<TOVLegacyStoreSchema>& TOVLegacyStoreSchema::schemas() {
    static const std::vector<TOVLegacyStoreSchema> all = {
        {"legacy rhythm", true, changed(TOVManagedObjectModel::entityDescriptions(), legacyRhythmChanges()),
         archivedTextAttributes()},
        {"current", false, TOVManagedObjectModel::entityDescriptions(), archivedTextAttributes()},
    };
    return all;
}

const EntityDescription* TOVLegacyStoreSchema::entityNamed(std::string_view name) const {
    for (const EntityDescription& entity : entities) {
        if (sameIgnoringCase(entity.name, name)) {
            return &entity;
        }
    }
    return nullptr;
}

const AttributeDescription* TOVLegacyStoreSchema::attributeOf(const EntityDescription& entity,
                                                              std::string_view name) const {
    // The depth bound keeps a faulty table with a cycle of parents from looping.
    const EntityDescription* e = &entity;
    for (std::size_t depth = 0; e != nullptr && depth <= entities.size(); ++depth) {
        for (const AttributeDescription& a : e->attributes) {
            if (a.name == name) {
                return &a;
            }
        }
        e = e->parentEntity.empty() ? nullptr : entityNamed(e->parentEntity);
    }
    return nullptr;
}

const platform::RelationshipDescription* TOVLegacyStoreSchema::relationshipOf(const EntityDescription& entity,
                                                                              std::string_view name) const {
    const EntityDescription* e = &entity;
    for (std::size_t depth = 0; e != nullptr && depth <= entities.size(); ++depth) {
        for (const platform::RelationshipDescription& r : e->relationships) {
            if (r.name == name) {
                return &r;
            }
        }
        e = e->parentEntity.empty() ? nullptr : entityNamed(e->parentEntity);
    }
    return nullptr;
}

bool TOVLegacyStoreSchema::isKindOfEntity(const EntityDescription& entity, std::string_view ancestor) const {
    const EntityDescription* e = &entity;
    for (std::size_t depth = 0; e != nullptr && depth <= entities.size(); ++depth) {
        if (e->name == ancestor) {
            return true;
        }
        e = e->parentEntity.empty() ? nullptr : entityNamed(e->parentEntity);
    }
    return false;
}

bool TOVLegacyStoreSchema::isArchivedText(std::string_view entity, std::string_view attribute) const {
    return std::any_of(archivedTexts.begin(), archivedTexts.end(),
                       [&](const auto& text) { return text.first == entity && text.second == attribute; });
}
