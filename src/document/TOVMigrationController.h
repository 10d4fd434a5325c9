#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>

class Document;

namespace platform {
class ManagedObjectContext;
class XmlStore;
} // namespace platform

// Brings a legacy "tovr" song store into the current song model. The store file is only read: the song is
// built in memory in a context of its own, and the user keeps it by saving a "tovz" file.
//
// The store is read with platform::XmlStore, matched against the structures TOVLegacyStoreSchema accepts
// (the first that takes every object wins) and rebuilt object by object with its values and links. For a
// store in the legacy rhythm encoding, the rhythm of every note unit and the timing of every chord are
// derived from the legacy values, all computed before any of them is written:
//
// - chord: timing = index * 30 + order * u, where u is the slot length of the note that starts at the
//   chord's index (legacy length * 10 for a triplet, * 5 for a sextuplet) and 40 without such a note;
// - note unit: type = legacy length * 30 in the group of its kind (TOVUnitGroupNote, TOVUnitGroupRest,
//   TOVUnitGroupTriplet or TOVUnitGroupSextuplet; 0 for another kind); a tuplet slot lasts legacy length * 10
//   (triplet) or
//   * 5 (sextuplet) and starts at the note's start plus the slots of the units ordered before it, and
//   a tuplet unit's type holds the span of its whole group (as a song file's reader makes a tuplet, so
//   that a group of mixed lengths saves and reads back as imported); a plain unit lasts legacy
//   length * 30 and starts after the legacy lengths of the units ordered before it;
// - beams: first 1, middle 3, last 2; a note of one plain unit has none, nor does a tuplet with a rest
//   or one spanning a half note (triplet) or a whole note (sextuplet) or more.
//
// Formatted texts that the store keeps as another program's archive of an attributed string come in as
// their plain string when it can be recovered, else as an empty text; they never fail an import.
//
// An import fails, with a reason and a message for the user, when the file cannot be read or is not a
// whole store, when its structure is none we accept, when its links contradict each other, or when its
// pages, lines and bars do not form a song (the same rules a "tovz" file must meet, so that what is
// imported can be saved and read back).
class TOVMigrationController {
public:
    // The imported song and the context that owns it. Undo registration is on again and the undo stack
    // is empty, so the import itself cannot be undone.
    struct ImportedDocument {
        std::unique_ptr<platform::ManagedObjectContext> context;
        Document* document = nullptr;
    };

    TOVMigrationController();
    ~TOVMigrationController();

    std::optional<ImportedDocument> importStoreAtURL(const std::filesystem::path& url);
    std::optional<ImportedDocument> importStoreData(std::span<const std::uint8_t> bytes);

    // After a failed import: the few words of why ("the id z3 is used twice") and the text to show the
    // user; both empty after a success.
    const std::string& failureReason() const { return failureReason_; }
    const std::string& errorDescription() const { return errorDescription_; }
    // After a successful import: the name of the store structure it was read as.
    const std::string& schemaName() const { return schemaName_; }

    // The rhythm code of the current model for a legacy unit type; 0 for a kind it does not know.
    static std::uint32_t newNoteTypeFromOldNoteType(std::int64_t oldType);

private:
    std::optional<ImportedDocument> importStore(const platform::XmlStore& store);
    std::optional<ImportedDocument> fail(std::string reason, std::string description);

    std::string failureReason_;
    std::string errorDescription_;
    std::string schemaName_;
};
