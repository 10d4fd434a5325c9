#include "document/TOVDocumentDump.h"

#include "model/Bar.h"
#include "model/Chord.h"
#include "model/ChordHistory.h"
#include "model/Document.h"
#include "model/Line.h"
#include "model/Note.h"
#include "model/NoteTone.h"
#include "model/NoteUnit.h"
#include "model/Page.h"
#include "model/Symbol.h"
#include "model/SymbolRepeat.h"
#include "model/SymbolTempo.h"
#include "model/SymbolText.h"
#include "model/SymbolTools.h"
#include "model/TOVSymbolTypes.h"
#include "platform/data/ManagedObjectContext.h"
#include "platform/foundation/AttributedString.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <vector>

namespace TOVDocumentDump {

namespace {

// Whether the dump adds what the open song derives from its stored values.
struct Detail {
    bool opened = false;
};

std::string hashOf(const platform::Bytes& bytes) {
    std::uint64_t h = 1469598103934665603ull; // FNV-1a
    for (std::uint8_t b : bytes) {
        h = (h ^ b) * 1099511628211ull;
    }
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "%016llx", static_cast<unsigned long long>(h));
    return buffer;
}

std::string describeValue(const platform::Value& value, platform::AttributeType type) {
    if (type == platform::AttributeType::Binary && value.isBytes()) {
        const auto text = platform::AttributedString::fromSerialized(value.toBytes());
        const std::string shown = text ? platform::Value(text->string().toStdString()).description() : "?";
        return "text(" + shown + ", " + hashOf(value.toBytes()) + ")";
    }
    return value.description();
}

std::string number(double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%g", value);
    return buffer;
}

std::string describeColor(const std::optional<platform::Color>& color) {
    if (!color) {
        return "-";
    }
    return number(color->r) + "," + number(color->g) + "," + number(color->b) + "," + number(color->a);
}

// One line per run of each formatted text the object stores.
std::string describeTextRuns(const platform::ManagedObject* object, int depth) {
    std::string out;
    for (const auto& attribute : object->entity().attributes()) {
        if (attribute.type != platform::AttributeType::Binary || !object->hasValue(attribute.name)) {
            continue;
        }
        const auto text = platform::AttributedString::fromSerialized(object->bytesValue(attribute.name));
        if (!text) {
            continue;
        }
        for (const platform::AttributedString::Run& run : text->runs()) {
            const platform::TextAttributes& a = run.attributes;
            out += std::string(static_cast<std::size_t>(depth) * 2, ' ') + "run " + attribute.name + " " +
                   std::to_string(run.location) + "+" + std::to_string(run.length) + " " +
                   platform::Value(text->string().mid(run.location, run.length).toStdString()).description() +
                   " font=" + (a.font ? a.font->postScriptName.toStdString() : std::string("-")) +
                   " size=" + (a.font ? number(a.font->pointSize) : std::string("-")) +
                   " color=" + describeColor(a.foregroundColor) +
                   " underline=" + std::to_string(a.underlineStyle) +
                   " strikethrough=" + std::to_string(a.strikethroughStyle) + "\n";
        }
    }
    return out;
}

// Exact for every attribute, single-precision ones too: a getter must answer what the store holds, or it
// answers another value after undo and redo.
bool sameAsStored(const platform::ManagedObject* object, std::string_view key, double cached) {
    return cached == object->primitiveValue(key).toDouble();
}

// Compares what the entity classes cache with what is stored (with the defaults of nothing stored).
std::string cacheMismatches(const platform::ManagedObject* object) {
    std::vector<std::string> keys;
    auto check = [&](std::string_view key, double cached, double fallback) {
        const double stored = object->hasValue(key) ? object->primitiveValue(key).toDouble() : fallback;
        const bool same = object->hasValue(key) ? sameAsStored(object, key, cached) : cached == stored;
        if (!same) {
            keys.emplace_back(key);
        }
    };
    if (const auto* bar = object->as<Bar>()) {
        check("num", double(bar->num()), 0);
        check("barLineType", bar->barLineType(), TOVBarlineSingle);
        check("clefType", bar->clefType(), 0);
        check("keyType", bar->keyType(), 0);
        check("timeType", bar->timeType(), 0);
        check("width", bar->width(), 0);
        check("height", bar->height(), 0);
        check("longRest", double(bar->longRest()), 0);
    } else if (const auto* line = object->as<Line>()) {
        check("partition", double(line->partition()), 0);
        check("firstBarLineType", line->firstBarLineType(), TOVBarlineSingle);
    } else if (const auto* page = object->as<Page>()) {
        check("num", double(page->num()), 0);
        check("aPage", double(page->aPage()), 0);
    } else if (const auto* unit = object->as<NoteUnit>()) {
        check("type", double(unit->type()), 0);
        check("beam", unit->beam(), 0);
        check("timing", double(static_cast<std::int64_t>(unit->timing())), 0);
        if (!unit->isBeatLength()) { // a one-beat slash answers the beat of its bar
            check("duration", double(static_cast<std::int64_t>(unit->duration())), 0);
        }
    } else if (const auto* tone = object->as<NoteTone>()) {
        check("level", double(tone->level()), 0);
        check("slash", tone->slash() ? 1 : 0, 0);
        check("head", tone->head(), 0);
    } else if (const auto* entry = object->as<ChordHistory>()) {
        check("elemStep1", entry->elemStep1(), 17);
        check("elemStep2", entry->elemStep2(), 12);
        check("elemStep3", entry->elemStep3(), 70);
        check("elemStepBase", entry->elemStepBase(), 17);
        check("index", double(entry->index()), 0);
    } else if (const auto* symbol = object->as<Symbol>()) {
        check("type", symbol->type(), 0);
        check("flip", symbol->flip() ? 1 : 0, 0);
        check("angle", symbol->angle(), 0);
        check("scale", symbol->scale(), 0);
        if (symbol->frame() != platform::rectFromString(object->stringValue("frame"))) {
            keys.emplace_back("frame");
        }
        if (const auto* tools = object->as<SymbolTools>()) {
            if (tools->frameRelativeToBar() !=
                platform::rectFromString(object->stringValue("frameRelativeToBar"))) {
                keys.emplace_back("frameRelativeToBar");
            }
        }
        if (const auto* text = object->as<SymbolText>()) {
            const auto stored = object->hasValue("text")
                                    ? platform::AttributedString::fromSerialized(object->bytesValue("text"))
                                    : std::nullopt;
            if (text->text() != stored) {
                keys.emplace_back("text");
            }
        }
        if (const auto* repeat = object->as<SymbolRepeat>()) {
            const bool storedNothing = !object->hasValue("repeatIDString");
            if (repeat->repeatIDString().isNull() != storedNothing ||
                repeat->repeatIDString().toStdString() != object->stringValue("repeatIDString")) {
                keys.emplace_back("repeatIDString");
            }
        }
        if (const auto* note = object->as<Note>()) {
            check("heightLeft", note->heightLeft(), 0);
            check("heightRight", note->heightRight(), 0);
        }
        if (const auto* tempo = object->as<SymbolTempo>()) {
            check("speed", double(tempo->speed()), 0);
        }
        if (const auto* chord = object->as<Chord>()) {
            check("elemStep1", chord->elemStep1(), 17);
            check("elemStep2", chord->elemStep2(), 12);
            check("elemStep3", chord->elemStep3(), 70);
            check("elemStepBase", chord->elemStepBase(), 17);
            // The store holds 64-bit numbers signed.
            check("timing", double(static_cast<std::int64_t>(chord->timing())), 0);
            check("index", double(static_cast<std::int64_t>(chord->index())), 0);
            check("order", double(static_cast<std::int64_t>(chord->order())), 0);
        }
    }
    std::string out;
    for (const auto& key : keys) {
        out += " !cache(" + key + ")";
    }
    return out;
}

// Where a bar sits, for links to it from outside its line.
std::string identityOfBar(const platform::ManagedObject* object) {
    const auto* bar = object ? object->as<Bar>() : nullptr;
    if (!bar) {
        return "-";
    }
    const Line* line = bar->line();
    const char* part = !line ? "no line" : line->isLowerOfDoublePart() ? "lower" : "upper";
    return "bar " + std::to_string(bar->num()) + " (" + part + ")";
}

std::string indent(int depth) {
    return std::string(static_cast<std::size_t>(depth) * 2, ' ');
}

std::string renderTree(const platform::ManagedObject* object, int depth, Detail detail);

// Renders the members of a to-many relationship sorted as text.
std::string renderMembers(const platform::ManagedObject* object, std::string_view key, int depth,
                          Detail detail) {
    if (object->entity().relationshipIndex(key) < 0) {
        return {};
    }
    std::vector<std::string> blocks;
    for (const platform::ManagedObject* member : object->toMany(key)) {
        blocks.push_back(renderTree(member, depth, detail));
    }
    std::sort(blocks.begin(), blocks.end());
    std::string out;
    for (const auto& block : blocks) {
        out += block;
    }
    return out;
}

std::string renderToOne(const platform::ManagedObject* object, std::string_view key, int depth,
                        Detail detail) {
    if (object->entity().relationshipIndex(key) < 0) {
        return {};
    }
    const platform::ManagedObject* target = object->toOne(key);
    return target ? renderTree(target, depth, detail) : std::string();
}

// A tone's identity for a tie: the tone's level in the unit at its timing in its bar.
std::string identityOfTone(const platform::ManagedObject* tone) {
    if (!tone) {
        return "-";
    }
    const platform::ManagedObject* unit = tone->toOne("unit");
    const platform::ManagedObject* note = unit ? unit->toOne("note") : nullptr;
    return "tone level " + tone->primitiveValue("level").description() + " at " +
           (unit ? unit->primitiveValue("timing").description() : "-") + " in " +
           identityOfBar(note ? note->toOne("barOfNote") : nullptr);
}

std::string renderTree(const platform::ManagedObject* object, int depth, Detail detail) {
    std::string line = indent(depth) + describeObject(object);
    const std::string& entity = object->entity().name();
    if (object->entity().relationshipIndex("barFollowsTo") >= 0) {
        line += " barFollowsTo=" + identityOfBar(object->toOne("barFollowsTo"));
    }
    if (entity == "NoteTone") {
        const platform::ManagedObject* right = object->toOne("tieRight");
        const platform::ManagedObject* left = object->toOne("tieLeft");
        line += " tieRight=" + identityOfTone(right ? right->toOne("toneRight") : nullptr);
        line += " tieLeft=" + identityOfTone(left ? left->toOne("toneLeft") : nullptr);
    }
    if (detail.opened) {
        if (const auto* chord = object->as<Chord>()) {
            line += std::string(" slash=") + (chord->chordElems().slash ? "1" : "0");
        }
    }
    std::string out = line + "\n";
    if (detail.opened) {
        out += describeTextRuns(object, depth + 1);
    }
    // Ownership below the bar: units of a note, tones of a unit, a tone's accidental and articulations.
    out += renderMembers(object, "units", depth + 1, detail);
    out += renderMembers(object, "tones", depth + 1, detail);
    out += renderToOne(object, "accidental", depth + 1, detail);
    out += renderMembers(object, "articulations", depth + 1, detail);
    return out;
}

std::string renderBar(const Bar* bar, int depth, Detail detail) {
    std::string out = indent(depth) + describeObject(bar) + "\n";
    if (detail.opened) {
        out += indent(depth + 1) + "in force clef=" + std::to_string(bar->clefMode()) +
               " key=" + std::to_string(bar->keyMode()) + " time=" + std::to_string(bar->timeMode()) +
               " drawn barlines left=" + std::to_string(bar->leftBarLineType()) +
               " right=" + std::to_string(bar->rightBarLineType()) +
               " repeat-previous=" + std::to_string(bar->repeatPrevBarMode()) + "\n";
    }
    out += renderMembers(bar, "symbols", depth + 1, detail);
    out += renderMembers(bar, "chords", depth + 1, detail);
    out += renderMembers(bar, "notes", depth + 1, detail);
    return out;
}

std::string renderLine(const Line* line, int depth, const char* label, Detail detail) {
    std::string out = indent(depth) + label + describeObject(line) + "\n";
    for (const Bar* bar : line->barArray()) {
        out += renderBar(bar, depth + 1, detail);
    }
    if (const Line* lower = line->lower()) {
        out += renderLine(lower, depth + 1, "lower ", detail);
    }
    return out;
}

std::string dump(const Document* document, Detail detail) {
    if (!document) {
        return "no document\n";
    }
    std::string out = describeObject(document) + "\n";
    out += renderToOne(document, "song", 1, detail);
    for (const ChordHistory* entry : document->chordHistoryArray()) {
        out += indent(1) + describeObject(entry) + "\n";
    }
    for (const Page* page : document->pageArray()) {
        out += indent(1) + describeObject(page) + "\n";
        for (const Line* line : page->lineArray()) {
            out += renderLine(line, 2, "", detail);
        }
    }
    out += indent(1) + "Document symbols\n";
    out += renderMembers(document, "symbols", 2, detail);
    if (const platform::ManagedObjectContext* context = document->managedObjectContext()) {
        out += "Objects " + countObjects(*context) + "\n";
    }
    return out;
}

} // namespace

std::string describeObject(const platform::ManagedObject* object) {
    if (!object) {
        return "-";
    }
    std::string out = object->entity().name();
    for (const auto& attribute : object->entity().attributes()) {
        out += " " + attribute.name + "=" +
               describeValue(object->primitiveValue(attribute.name), attribute.type);
    }
    if (object->isDeleted()) {
        out += " !deleted";
    }
    return out + cacheMismatches(object);
}

std::string countObjects(const platform::ManagedObjectContext& context) {
    std::map<std::string, int> counts;
    for (const platform::ManagedObject* object : context.allObjects()) {
        ++counts[object->entity().name()];
    }
    std::string out;
    for (const auto& [name, count] : counts) {
        out += (out.empty() ? "" : " ") + name + "=" + std::to_string(count);
    }
    return out;
}

std::string dumpDocument(const Document* document) {
    return dump(document, Detail{});
}

std::string dumpOpenedDocument(const Document* document) {
    return dump(document, Detail{true});
}

} // namespace TOVDocumentDump
