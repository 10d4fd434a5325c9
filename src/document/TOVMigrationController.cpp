#include "document/TOVMigrationController.h"

#include "document/TOVDocumentParser.h"
#include "document/TOVLegacyStoreSchema.h"
#include "model/Bar.h"
#include "model/Document.h"
#include "model/Line.h"
#include "model/NoteTone.h"
#include "model/Page.h"
#include "model/TOVManagedObjectModel.h"
#include "model/TOVUnitTypes.h"
#include "platform/data/ArchivedString.h"
#include "platform/data/ManagedObjectContext.h"
#include "platform/data/XmlStore.h"
#include "platform/foundation/AttributedString.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <utility>
#include <vector>

using platform::ManagedObject;
using platform::Value;
using platform::XmlStore;

namespace {

// Legacy rhythm encoding: kind in bits 8..15, length in bits 0..7 counted in steps of 30 ticks.
constexpr std::int64_t kKindMask = 0xFF00;
constexpr std::int64_t kLengthMask = 0xFF;
constexpr std::int64_t kKindNote = 0x100;
constexpr std::int64_t kKindRest = 0x200;
constexpr std::int64_t kKindTriplet = 0x300;
constexpr std::int64_t kKindSextuplet = 0x400;
constexpr std::uint64_t kTicksPerStep = 30;
// The slot a chord's order counts in when no tuplet starts at its index.
constexpr std::uint64_t kPlainSlotTicks = 40;
// Tuplets this long or longer are not beamed.
constexpr std::uint64_t kLongestBeamedTriplet = 480;
constexpr std::uint64_t kLongestBeamedSextuplet = 960;
// The most bars a line holds, and the line slots of a page, as a song file keeps them.
constexpr std::uint64_t kMaxPartition = 8;
constexpr std::uint64_t kMinLinesOnPage = 8;
constexpr std::uint64_t kMaxLinesOnPage = 12;

enum Beam : std::int64_t { BeamNone = 0, BeamFirst = 1, BeamLast = 2, BeamMiddle = 3 };

const char* const kUnreadable = "The file is damaged or is not a song file.";
const char* const kUnknownStructure =
    "The file was written by a version of the program whose songs cannot be converted.";

// Why the store does not fit the structure, or empty when every object fits.
std::string misfitOf(const XmlStore& store, const TOVLegacyStoreSchema& schema,
                     const platform::ManagedObjectModel& model) {
    const auto& objects = store.objects();
    for (const XmlStore::Object& object : objects) {
        const platform::EntityDescription* entity = schema.entityNamed(object.entityName);
        if (entity == nullptr || model.entityNamed(entity->name) == nullptr) {
            return "no entity \"" + object.entityName + "\"";
        }
        const platform::Entity& current = *model.entityNamed(entity->name);
        for (const XmlStore::Attribute& attribute : object.attributes) {
            const platform::AttributeDescription* description = schema.attributeOf(*entity, attribute.name);
            if (description == nullptr) {
                return "no attribute \"" + attribute.name + "\" in " + entity->name;
            }
            if (!attribute.value.storedAs(description->type)) {
                return "the attribute \"" + attribute.name + "\" of " + entity->name + " is of another kind";
            }
        }
        for (const XmlStore::Relationship& relationship : object.relationships) {
            const platform::RelationshipDescription* description =
                schema.relationshipOf(*entity, relationship.name);
            if (description == nullptr || current.relationshipIndex(relationship.name) < 0) {
                return "no relationship \"" + relationship.name + "\" in " + entity->name;
            }
            if (relationship.toMany != (description->cardinality == platform::Cardinality::ToMany)) {
                return "the relationship \"" + relationship.name + "\" of " + entity->name +
                       " is of another cardinality";
            }
            for (std::size_t target : relationship.targets) {
                const platform::EntityDescription* destination =
                    schema.entityNamed(objects[target].entityName);
                if (destination == nullptr ||
                    !schema.isKindOfEntity(*destination, description->destinationEntity)) {
                    return "the relationship \"" + relationship.name + "\" of " + entity->name +
                           " leads to an object of another entity";
                }
            }
        }
    }
    return {};
}

bool isArchivedText(const TOVLegacyStoreSchema& schema, const platform::EntityDescription& entity,
                    std::string_view attribute) {
    return std::any_of(schema.archivedTexts.begin(), schema.archivedTexts.end(), [&](const auto& text) {
        return text.second == attribute && schema.isKindOfEntity(entity, text.first);
    });
}

// The stored form of a formatted text the store holds as an archive: its plain string when it can be
// recovered, else an empty text.
Value importedText(const Value& archived) {
    if (archived.isNothing()) {
        return archived;
    }
    const std::optional<QString> plain = platform::ArchivedString::plainString(archived.toBytes());
    // Cut as a song file's texts are read, so that a save reads back the same text.
    return Value(platform::AttributedString(plain.value_or(QString()).left(TOVDocumentParser::maxTextLength))
                     .serialized());
}

// The legacy values of the store's objects, read before anything is converted (missing values read 0),
// and what the conversions ask of each note and bar, gathered once per note and bar so that no store,
// however large its notes, makes the conversion quadratic.
class LegacyValues {
public:
    LegacyValues(const XmlStore& store, const std::vector<ManagedObject*>& made) : store_(store) {
        for (std::size_t i = 0; i < made.size(); ++i) {
            indexOf_.emplace(made[i], i);
        }
    }

    std::int64_t value(const ManagedObject* object, std::string_view key) const {
        const auto found = indexOf_.find(object);
        if (found == indexOf_.end()) {
            return 0;
        }
        const XmlStore::Attribute* attribute = store_.objects()[found->second].attribute(key);
        return attribute != nullptr ? attribute->value.toInt64() : 0;
    }
    std::int64_t kind(const ManagedObject* unit) const { return value(unit, "type") & kKindMask; }
    std::uint64_t length(const ManagedObject* unit) const {
        return static_cast<std::uint64_t>(value(unit, "type") & kLengthMask);
    }
    std::int64_t order(const ManagedObject* unit) const { return value(unit, "order"); }
    // The note's start in ticks from the start of its bar. Unsigned arithmetic: a hostile store gets
    // nonsense timings, never an overflow.
    std::uint64_t start(const ManagedObject* note) const {
        return static_cast<std::uint64_t>(value(note, "x")) * kTicksPerStep;
    }

    struct NoteFacts {
        std::size_t unitCount = 0;
        bool hasRest = false; // a unit without tones
        // (legacy order, legacy length in ticks) of every unit by order, and the sums of the lengths
        // before each.
        std::vector<std::pair<std::int64_t, std::uint64_t>> lengthsByOrder;
        std::vector<std::uint64_t> ticksBefore;
        // The first unit (by legacy order) of each tuplet kind, or none.
        const ManagedObject* firstTriplet = nullptr;
        const ManagedObject* firstSextuplet = nullptr;

        // The legacy lengths of the units ordered before `order`, in ticks.
        std::uint64_t ticksBeforeOrder(std::int64_t order) const {
            const auto at = std::lower_bound(lengthsByOrder.begin(), lengthsByOrder.end(),
                                             std::pair<std::int64_t, std::uint64_t>(order, 0),
                                             [](const auto& a, const auto& b) { return a.first < b.first; });
            return ticksBefore[static_cast<std::size_t>(at - lengthsByOrder.begin())];
        }
    };

    const NoteFacts& factsOf(const ManagedObject* note) {
        const auto [found, added] = notes_.try_emplace(note);
        NoteFacts& facts = found->second;
        if (!added) {
            return facts;
        }
        const auto& units = note->toMany("units");
        facts.unitCount = units.size();
        for (const ManagedObject* unit : units) {
            facts.hasRest = facts.hasRest || unit->toManyCount("tones") == 0;
            facts.lengthsByOrder.emplace_back(order(unit), length(unit) * kTicksPerStep);
            const ManagedObject*& first = kind(unit) == kKindTriplet     ? facts.firstTriplet
                                          : kind(unit) == kKindSextuplet ? facts.firstSextuplet
                                                                         : unused_;
            if (first == nullptr || order(unit) < order(first)) {
                first = unit;
            }
        }
        std::stable_sort(facts.lengthsByOrder.begin(), facts.lengthsByOrder.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        facts.ticksBefore.push_back(0);
        for (const auto& [order, ticks] : facts.lengthsByOrder) {
            facts.ticksBefore.push_back(facts.ticksBefore.back() + ticks);
        }
        return facts;
    }

    // The first note of the bar (in the order the bar lists them) that starts at the legacy position x.
    const ManagedObject* noteAt(std::uint64_t x, const ManagedObject* bar) {
        const auto [found, added] = bars_.try_emplace(bar);
        if (added) {
            for (const ManagedObject* note : bar->toMany("notes")) {
                found->second.try_emplace(static_cast<std::uint64_t>(value(note, "x")), note);
            }
        }
        const auto note = found->second.find(x);
        return note != found->second.end() ? note->second : nullptr;
    }

private:
    const XmlStore& store_;
    std::unordered_map<const ManagedObject*, std::size_t> indexOf_;
    std::unordered_map<const ManagedObject*, NoteFacts> notes_;
    std::unordered_map<const ManagedObject*, std::unordered_map<std::uint64_t, const ManagedObject*>> bars_;
    const ManagedObject* unused_ = nullptr;
};

struct Write {
    ManagedObject* object;
    const char* key;
    Value value;
};

std::int64_t beamOfOrder(std::int64_t order, std::size_t count) {
    if (order == 0) {
        return BeamFirst;
    }
    return order == static_cast<std::int64_t>(count) - 1 ? BeamLast : BeamMiddle;
}

std::int64_t tupletBeam(const LegacyValues::NoteFacts& note, std::int64_t kind, std::uint32_t newType,
                        std::int64_t order) {
    if (note.hasRest) {
        return BeamNone;
    }
    const std::uint64_t length = newType & TOVUnitLengthMask;
    if ((kind == kKindSextuplet && length >= kLongestBeamedSextuplet) ||
        (kind == kKindTriplet && length >= kLongestBeamedTriplet)) {
        return BeamNone;
    }
    return beamOfOrder(order, note.unitCount);
}

void convertNoteUnit(LegacyValues& legacy, ManagedObject* unit, std::vector<Write>& writes) {
    const ManagedObject* note = unit->toOne("note");
    if (note == nullptr) {
        return;
    }
    const LegacyValues::NoteFacts& facts = legacy.factsOf(note);
    const std::int64_t kind = legacy.kind(unit);
    const std::int64_t order = legacy.order(unit);
    const std::uint64_t start = legacy.start(note);
    const std::uint64_t length = legacy.length(unit);
    std::uint32_t type = TOVMigrationController::newNoteTypeFromOldNoteType(legacy.value(unit, "type"));
    std::uint64_t duration = 0;
    std::uint64_t timing = start;
    std::int64_t beam = BeamNone;
    if (kind == kKindSextuplet || kind == kKindTriplet) {
        // A tuplet's slots follow one another, and each unit's type carries the span of the whole group,
        // as a song file's reader builds a tuplet: so a group of mixed lengths reads back as imported.
        const std::uint64_t share = kind == kKindTriplet ? 3 : 6;
        duration = length * kTicksPerStep / share;
        timing = start + facts.ticksBeforeOrder(order) / share;
        type = (type & TOVUnitGroupMask) | static_cast<std::uint32_t>(std::min<std::uint64_t>(
                                               facts.ticksBefore.back() / share, TOVLengthBeat - 1));
        beam = tupletBeam(facts, kind, type, order);
    } else {
        duration = length * kTicksPerStep;
        if (facts.unitCount >= 2) {
            timing = start + facts.ticksBeforeOrder(order);
            beam = beamOfOrder(order, facts.unitCount);
        }
    }
    writes.push_back({unit, "type", Value(static_cast<std::int64_t>(type))});
    writes.push_back({unit, "timing", Value(static_cast<std::int64_t>(timing))});
    writes.push_back({unit, "duration", Value(static_cast<std::int64_t>(duration))});
    writes.push_back({unit, "beam", Value(beam)});
}

void convertChord(LegacyValues& legacy, ManagedObject* chord, std::vector<Write>& writes) {
    const auto index = static_cast<std::uint64_t>(legacy.value(chord, "index"));
    const auto order = static_cast<std::uint64_t>(legacy.value(chord, "order"));
    std::uint64_t timing = index * kTicksPerStep;
    if (order != 0) {
        // The slot length of the tuplet that starts where the chord stands.
        std::uint64_t slot = kPlainSlotTicks;
        const ManagedObject* bar = chord->toOne("barOfChord");
        if (const ManagedObject* note = bar != nullptr ? legacy.noteAt(index, bar) : nullptr) {
            const LegacyValues::NoteFacts& facts = legacy.factsOf(note);
            if (facts.firstTriplet != nullptr) {
                slot = legacy.length(facts.firstTriplet) * 10;
            } else if (facts.firstSextuplet != nullptr) {
                slot = legacy.length(facts.firstSextuplet) * 5;
            }
        }
        timing += order * slot;
    }
    writes.push_back({chord, "timing", Value(static_cast<std::int64_t>(timing))});
}

// Whether the links in the graph are those the store states; a store whose sides of a link disagree
// (a bar listing a note that names another bar) is contradictory.
bool linksAsStated(const XmlStore& store, const std::vector<ManagedObject*>& made) {
    for (std::size_t i = 0; i < made.size(); ++i) {
        for (const XmlStore::Relationship& relationship : store.objects()[i].relationships) {
            if (relationship.toMany) {
                const auto& members = made[i]->toMany(relationship.name);
                std::vector<ManagedObject*> stated;
                for (std::size_t target : relationship.targets) {
                    stated.push_back(made[target]);
                }
                std::sort(stated.begin(), stated.end());
                stated.erase(std::unique(stated.begin(), stated.end()), stated.end());
                std::vector<ManagedObject*> present(members.begin(), members.end());
                std::sort(present.begin(), present.end());
                if (present != stated) {
                    return false;
                }
            } else {
                ManagedObject* stated =
                    relationship.targets.empty() ? nullptr : made[relationship.targets[0]];
                if (made[i]->toOne(relationship.name) != stated) {
                    return false;
                }
            }
        }
    }
    return true;
}

// A line hangs either from a page or, as the lower line of a double line, from its upper line, which has
// no upper line itself; so no chain of lines is longer than two or runs in a circle. Checked on the stored
// links, before any entity follows them.
std::string lineShapeFault(const std::vector<ManagedObject*>& made) {
    for (const ManagedObject* line : made) {
        if (line->entity().name() != "Line") {
            continue;
        }
        if (line->toOne("upper") != nullptr &&
            (line->toOne("page") != nullptr || line->toOne("lower") != nullptr)) {
            return "a lower line has a page or a lower line of its own";
        }
    }
    return {};
}

// Every note has a unit and every unit a note: a note without units has nothing to show or to space by,
// and a unit without a note belongs to no bar.
std::string noteShapeFault(const std::vector<ManagedObject*>& made) {
    for (const ManagedObject* object : made) {
        const std::string& entity = object->entity().name();
        if (entity == "Note" && object->toManyCount("units") == 0) {
            return "a note has no units";
        }
        if (entity == "NoteUnit" && object->toOne("note") == nullptr) {
            return "a note unit belongs to no note";
        }
    }
    return {};
}

// Tone levels come in within the range a page shows, as a song file's are read.
void clampToneLevels(const std::vector<ManagedObject*>& made) {
    for (ManagedObject* object : made) {
        if (object->entity().name() != "NoteTone") {
            continue;
        }
        const Value level = object->primitiveValue("level");
        if (level.isNothing()) {
            continue;
        }
        const std::int64_t clamped =
            std::clamp(level.toInt64(), -NoteTone::maxDrawableLevel, NoteTone::maxDrawableLevel);
        if (clamped != level.toInt64()) {
            object->setPrimitiveValue("level", Value(clamped));
        }
    }
}

// The rules a song's pages, lines and bars keep (the same a "tovz" file must meet): the first page begins
// with the bar-less line; a line holds at most its partition of bars, a page at most its slots of lines; bars
// are numbered 0, 1, 2 ... in walk order, each lower bar as its upper twin. Missing lower twins are added, as
// the "tovz" reader does.
std::string structureFault(Document* document) {
    const std::vector<Page*> pages = document->pageArray();
    if (!pages.empty()) {
        const Line* first = document->firstDummyLine();
        if (first == nullptr || first->partition() != 0 || !first->barArray().empty()) {
            return "the first page does not begin with the bar-less line";
        }
    }
    std::uint64_t expected = 0;
    // A song file cuts the bars into lines by the lines' partitions, so only the last line with bars may
    // hold fewer than its partition; a short line before it would take the next line's bars on reopening.
    const Line* shortLine = nullptr;
    for (const Page* page : pages) {
        if (page->aPage() < kMinLinesOnPage || page->aPage() > kMaxLinesOnPage) {
            return "a page has " + std::to_string(page->aPage()) + " line slots, and a page holds " +
                   std::to_string(kMinLinesOnPage) + " to " + std::to_string(kMaxLinesOnPage);
        }
        std::uint64_t usedSlots = 0;
        for (Line* line : page->lineArray()) {
            usedSlots += line->lower() ? 2 : 1;
            if (line->partition() > kMaxPartition) {
                return "a line is divided into more bars than a line holds";
            }
            const bool opening = line == document->firstDummyLine();
            if (!opening && line->partition() == 0) {
                return "a line other than the first is divided into no bars";
            }
            if (!opening && line->toManyCount("bars") > 0) {
                if (shortLine != nullptr) {
                    return "a line before the last holds fewer bars than its partition";
                }
            }
            if (!opening && line->toManyCount("bars") < line->partition()) {
                shortLine = shortLine != nullptr ? shortLine : line;
            }
            Line* lower = line->lower();
            if (line->toManyCount("bars") > line->partition() ||
                (lower != nullptr && lower->toManyCount("bars") > line->partition())) {
                return "a line holds more bars than its partition";
            }
            if (lower != nullptr) {
                line->completeLowerTwins();
                document->managedObjectContext()->processPendingChanges();
                if (lower->barArray().size() != line->barArray().size()) {
                    return "a double line's lower bars do not match its upper bars";
                }
            }
            const std::vector<Bar*> bars = line->barArray();
            for (const Bar* bar : bars) {
                if (bar->num() != expected++) {
                    return "the bars are not numbered in order";
                }
                const Bar* twin = bar->alternativeBarInDoubleLine();
                if (line->lower() != nullptr && (twin == nullptr || twin->num() != bar->num())) {
                    return "a lower bar is not numbered as its upper twin";
                }
            }
        }
        if (usedSlots > page->aPage()) {
            return "a page holds more lines than it has room for";
        }
    }
    return {};
}

} // namespace

TOVMigrationController::TOVMigrationController() = default;
TOVMigrationController::~TOVMigrationController() = default;

std::uint32_t TOVMigrationController::newNoteTypeFromOldNoteType(std::int64_t oldType) {
    const auto length = static_cast<std::uint32_t>(oldType & kLengthMask) * kTicksPerStep;
    switch (oldType & kKindMask) {
    case kKindNote:
        return TOVUnitGroupNote | length;
    case kKindRest:
        return TOVUnitGroupRest | length;
    case kKindTriplet:
        return TOVUnitGroupTriplet | length;
    case kKindSextuplet:
        return TOVUnitGroupSextuplet | length;
    default:
        return 0;
    }
}

std::optional<TOVMigrationController::ImportedDocument>
TOVMigrationController::fail(std::string reason, std::string description) {
    failureReason_ = std::move(reason);
    errorDescription_ = std::move(description);
    schemaName_.clear();
    return std::nullopt;
}

std::optional<TOVMigrationController::ImportedDocument>
TOVMigrationController::importStoreAtURL(const std::filesystem::path& url) {
    std::string error;
    const std::optional<XmlStore> store = XmlStore::readFile(url, &error);
    if (!store) {
        return fail(error, kUnreadable);
    }
    return importStore(*store);
}

std::optional<TOVMigrationController::ImportedDocument>
TOVMigrationController::importStoreData(std::span<const std::uint8_t> bytes) {
    std::string error;
    const std::optional<XmlStore> store = XmlStore::read(bytes, &error);
    if (!store) {
        return fail(error, kUnreadable);
    }
    return importStore(*store);
}

std::optional<TOVMigrationController::ImportedDocument>
TOVMigrationController::importStore(const XmlStore& store) {
    const std::shared_ptr<const platform::ManagedObjectModel> model = TOVManagedObjectModel::sharedModel();
    const TOVLegacyStoreSchema* schema = nullptr;
    std::string misfits;
    for (const TOVLegacyStoreSchema& candidate : TOVLegacyStoreSchema::schemas()) {
        const std::string misfit = misfitOf(store, candidate, *model);
        if (misfit.empty()) {
            schema = &candidate;
            break;
        }
        misfits += (misfits.empty() ? "" : "; ") + candidate.name + ": " + misfit;
    }
    if (schema == nullptr) {
        return fail("the store's structure is none we accept (" + misfits + ")", kUnknownStructure);
    }
    const auto& objects = store.objects();
    const auto documents = std::count_if(objects.begin(), objects.end(), [&](const XmlStore::Object& o) {
        return schema->entityNamed(o.entityName)->name == "Document";
    });
    if (documents != 1) {
        return fail("the store holds " + std::to_string(documents) + " songs instead of one", kUnreadable);
    }

    ImportedDocument imported{std::make_unique<platform::ManagedObjectContext>(model), nullptr};
    platform::ManagedObjectContext& context = *imported.context;
    context.undoManager().disableUndoRegistration();

    // The objects with their values first, then the links, once every object exists.
    std::vector<ManagedObject*> made;
    made.reserve(objects.size());
    for (const XmlStore::Object& object : objects) {
        const platform::EntityDescription& entity = *schema->entityNamed(object.entityName);
        ManagedObject* created = context.insertFetchedObject(entity.name);
        for (const XmlStore::Attribute& attribute : object.attributes) {
            const int index = created->entity().attributeIndex(attribute.name);
            if (index < 0) {
                continue; // a legacy value the conversions below read from the store
            }
            const platform::AttributeType type =
                created->entity().attributes()[static_cast<std::size_t>(index)].type;
            Value value = *attribute.value.storedAs(type);
            if ((type == platform::AttributeType::Float || type == platform::AttributeType::Double) &&
                !value.isNothing() && !std::isfinite(value.toDouble())) {
                return fail("the attribute \"" + attribute.name + "\" of " + object.id +
                                " is not a finite number",
                            kUnreadable);
            }
            if (isArchivedText(*schema, entity, attribute.name)) {
                value = importedText(value);
            }
            created->setPrimitiveValue(attribute.name, value);
        }
        made.push_back(created);
    }
    // To-many sides first, so that every set keeps the order the store lists its members in.
    for (const bool toMany : {true, false}) {
        for (std::size_t i = 0; i < objects.size(); ++i) {
            for (const XmlStore::Relationship& relationship : objects[i].relationships) {
                if (relationship.toMany != toMany) {
                    continue;
                }
                if (toMany) {
                    for (std::size_t target : relationship.targets) {
                        made[i]->addToMany(relationship.name, made[target]);
                    }
                } else if (!relationship.targets.empty()) {
                    made[i]->setToOne(relationship.name, made[relationship.targets.front()]);
                }
            }
        }
    }
    if (!linksAsStated(store, made)) {
        return fail("the store's links contradict each other", kUnreadable);
    }

    if (std::string fault = lineShapeFault(made); !fault.empty()) {
        return fail(fault, kUnreadable);
    }
    if (std::string fault = noteShapeFault(made); !fault.empty()) {
        return fail(fault, kUnreadable);
    }
    clampToneLevels(made);

    if (schema->legacyRhythm) {
        // Every new value is computed from the legacy ones before the first is written.
        LegacyValues legacy(store, made);
        std::vector<Write> writes;
        for (ManagedObject* object : made) {
            if (object->entity().name() == "NoteUnit") {
                convertNoteUnit(legacy, object, writes);
            } else if (object->entity().name() == "Chord") {
                convertChord(legacy, object, writes);
            }
        }
        for (const Write& write : writes) {
            write.object->setPrimitiveValue(write.key, write.value);
        }
    }

    context.awakeFetchedObjects();
    context.processPendingChanges();
    imported.document = context.fetchObjects("Document").front()->as<Document>();
    if (std::string fault = structureFault(imported.document); !fault.empty()) {
        return fail(fault, kUnreadable);
    }
    // A song file keeps no page breaks: its reader fills each page with lines before the next, and so does
    // the editor. The pages are filled so here too, so that the song a save reopens is the one imported.
    if (const std::vector<Page*> pages = imported.document->pageArray(); !pages.empty()) {
        pages.front()->adjustLines();
    }
    context.processPendingChanges();
    context.undoManager().removeAllActions();
    context.undoManager().enableUndoRegistration();
    failureReason_.clear();
    errorDescription_.clear();
    schemaName_ = schema->name;
    return imported;
}
