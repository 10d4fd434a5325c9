#pragma once

#include "platform/data/Value.h"

#include <string>
#include <vector>

namespace platform {

enum class Cardinality {
    ToOne,
    ToMany,
};

// What deleting the source does to the objects at the other end: `Cascade` deletes them too, `Nullify`
// only cuts the link.
enum class DeleteRule {
    Nullify,
    Cascade,
};

struct AttributeDescription {
    std::string name{};
    AttributeType type = AttributeType::Integer64;
};

// Every relationship names its inverse, declared on the destination entity (or one of its parents);
// the graph keeps both sides at once. A relationship may not be its own inverse.
struct RelationshipDescription {
    std::string name{};
    std::string destinationEntity{};
    Cardinality cardinality = Cardinality::ToOne;
    std::string inverse{};
    DeleteRule deleteRule = DeleteRule::Nullify;
};

// One entity as a C++ table. A sub-entity names its parent and inherits the parent's attributes and
// relationships (which come first, in the parent's order). For example:
//
//     platform::EntityDescription{
//         .name = "Bar",
//         .attributes = {{"num", AttributeType::Integer64}, {"width", AttributeType::Float}},
//         .relationships = {{"line", "Line", Cardinality::ToOne, "bars"},
//                           {"notes", "Note", Cardinality::ToMany, "barOfNote", DeleteRule::Cascade}},
//     }
struct EntityDescription {
    std::string name{};
    std::string parentEntity{}; // empty for a root entity
    std::vector<AttributeDescription> attributes{};
    std::vector<RelationshipDescription> relationships{};
};

} // namespace platform
