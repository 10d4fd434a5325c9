#pragma once

#include "platform/data/EntityDescription.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

// One structure of the song model that a legacy "tovr" store may have been written with, as a table: the
// entities as the store holds them (attributes with their types, relationships with their cardinality),
// whether the rhythm values are in the legacy encoding, and which attributes hold formatted texts as
// the original platform's archives.
//
// We accept two structures, tried in this order (the first that takes every object of a store wins):
//
// 1. "legacy rhythm": the current entities, except that a note unit holds its rhythm as the legacy "type"
//    (kind in bits 8..15: 0x100 note, 0x200 rest, 0x300 triplet, 0x400 sextuplet; length in bits 0..7 in
//    30-tick steps, the span of the whole group for tuplets) and its "order" within the note, with no
//    "beam", "timing" or "duration"; a note holds its start "x" in 30-tick steps; a chord has its legacy
//    "index" and "order" but no "timing". The import converts these.
// 2. "current": the entities of the current model as they are; nothing is converted.
//
// Any store that fits neither (an entity, attribute or relationship of another name, a value of another
// kind, a to-one where a to-many belongs) is refused. Only these tables change when another structure
// is to be accepted.
struct TOVLegacyStoreSchema {
    std::string name;
    bool legacyRhythm = false;
    std::vector<platform::EntityDescription> entities;
    // (entity, attribute) pairs whose bytes are archives of formatted texts.
    std::vector<std::pair<std::string, std::string>> archivedTexts;

    // The accepted structures, oldest first.
    static const std::vector<TOVLegacyStoreSchema>& schemas();

    // The entity whose name matches, regardless of case (stores write entity names in capitals).
    const platform::EntityDescription* entityNamed(std::string_view name) const;
    // The attribute or relationship of the entity or of one of its parents; null when there is none.
    const platform::AttributeDescription* attributeOf(const platform::EntityDescription& entity,
                                                      std::string_view name) const;
    const platform::RelationshipDescription* relationshipOf(const platform::EntityDescription& entity,
                                                            std::string_view name) const;
    // Whether `entity` is `ancestor` or derives from it.
    bool isKindOfEntity(const platform::EntityDescription& entity, std::string_view ancestor) const;
    bool isArchivedText(std::string_view entity, std::string_view attribute) const;
};
