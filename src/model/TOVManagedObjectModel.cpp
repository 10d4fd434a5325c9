#include "model/TOVManagedObjectModel.h"

#include "model/Bar.h"
#include "model/Chord.h"
#include "model/ChordHistory.h"
#include "model/Document.h"
#include "model/Line.h"
#include "model/Note.h"
#include "model/NoteTone.h"
#include "model/NoteUnit.h"
#include "model/Page.h"
#include "model/Song.h"
#include "model/Symbol.h"
#include "model/SymbolAccidental.h"
#include "model/SymbolInNote.h"
#include "model/SymbolRepeat.h"
#include "model/SymbolTempo.h"
#include "model/SymbolText.h"
#include "model/SymbolTools.h"
#include "model/TOVSnapshotObject.h"
#include "model/Tie.h"

#include <cstdlib>
#include <string>

using platform::AttributeType;
using platform::Cardinality;
using platform::DeleteRule;
using platform::EntityDescription;
using platform::RelationshipDescription;

namespace {

RelationshipDescription toOne(std::string name, std::string destination, std::string inverse,
                              DeleteRule rule = DeleteRule::Nullify) {
    return {std::move(name), std::move(destination), Cardinality::ToOne, std::move(inverse), rule};
}

RelationshipDescription toMany(std::string name, std::string destination, std::string inverse,
                               DeleteRule rule = DeleteRule::Nullify) {
    return {std::move(name), std::move(destination), Cardinality::ToMany, std::move(inverse), rule};
}

constexpr auto Cascade = DeleteRule::Cascade;

} // namespace

std::vector<EntityDescription> TOVManagedObjectModel::entityDescriptions() {
    std::vector<EntityDescription> e;

    e.push_back({.name = "Document",
                 .attributes = {{"barNumberShow", AttributeType::Integer64},
                                {"plugInFontID", AttributeType::String},
                                {"plugInFontName", AttributeType::String}},
                 .relationships = {toMany("pages", "Page", "document", Cascade),
                                   toMany("symbols", "Symbol", "document", Cascade),
                                   toMany("chordHistory", "ChordHistory", "document", Cascade),
                                   toOne("song", "Song", "document", Cascade)}});

    e.push_back({.name = "Song",
                 .attributes = {{"name", AttributeType::Binary},
                                {"producer", AttributeType::Binary},
                                {"arranger", AttributeType::Binary},
                                {"composer", AttributeType::Binary},
                                {"writer", AttributeType::Binary},
                                {"isDoubleRow", AttributeType::Boolean}},
                 .relationships = {toOne("document", "Document", "song")}});

    e.push_back({.name = "ChordHistory",
                 .attributes = {{"elemStep1", AttributeType::Integer32},
                                {"elemStep2", AttributeType::Integer32},
                                {"elemStep3", AttributeType::Integer32},
                                {"elemStepBase", AttributeType::Integer32},
                                {"index", AttributeType::Integer64}},
                 .relationships = {toOne("document", "Document", "chordHistory")}});

    e.push_back({.name = "Page",
                 .attributes = {{"num", AttributeType::Integer64}, {"aPage", AttributeType::Integer64}},
                 .relationships = {toMany("lines", "Line", "page", Cascade),
                                   toOne("document", "Document", "pages")}});

    // A lower line has no page of its own: it hangs from its upper line, which owns it.
    e.push_back(
        {.name = "Line",
         .attributes = {{"partition", AttributeType::Integer64},
                        {"firstBarLineType", AttributeType::Integer32}},
         .relationships = {toMany("bars", "Bar", "line", Cascade), toOne("page", "Page", "lines"),
                           toOne("upper", "Line", "lower"), toOne("lower", "Line", "upper", Cascade)}});

    e.push_back(
        {.name = "Bar",
         .attributes = {{"num", AttributeType::Integer64},
                        {"barLineType", AttributeType::Integer32},
                        {"clefType", AttributeType::Integer32},
                        {"keyType", AttributeType::Integer32},
                        {"timeType", AttributeType::Integer32},
                        {"width", AttributeType::Float},
                        {"height", AttributeType::Float},
                        {"longRest", AttributeType::Integer64}},
         .relationships = {toOne("line", "Line", "bars"), toMany("notes", "Note", "barOfNote", Cascade),
                           toMany("chords", "Chord", "barOfChord", Cascade),
                           toMany("symbols", "Symbol", "bar", Cascade),
                           toMany("toolsFollowedBy", "SymbolTools", "barFollowsTo")}});

    e.push_back(
        {.name = "Symbol",
         .attributes = {{"type", AttributeType::Integer32},
                        {"frame", AttributeType::String},
                        {"flip", AttributeType::Boolean},
                        {"angle", AttributeType::Float},
                        {"scale", AttributeType::Float}},
         .relationships = {toOne("bar", "Bar", "symbols"), toOne("document", "Document", "symbols")}});

    e.push_back({.name = "SymbolTools",
                 .parentEntity = "Symbol",
                 .attributes = {{"frameRelativeToBar", AttributeType::String}},
                 .relationships = {toOne("barFollowsTo", "Bar", "toolsFollowedBy")}});

    e.push_back({.name = "SymbolText",
                 .parentEntity = "SymbolTools",
                 .attributes = {{"text", AttributeType::Binary}}});

    e.push_back({.name = "SymbolRepeat",
                 .parentEntity = "Symbol",
                 .attributes = {{"repeatIDString", AttributeType::String}}});

    e.push_back({.name = "SymbolTempo",
                 .parentEntity = "Symbol",
                 .attributes = {{"speed", AttributeType::Integer64}}});

    e.push_back({.name = "Chord",
                 .parentEntity = "Symbol",
                 .attributes = {{"elemStep1", AttributeType::Integer32},
                                {"elemStep2", AttributeType::Integer32},
                                {"elemStep3", AttributeType::Integer32},
                                {"elemStepBase", AttributeType::Integer32},
                                {"timing", AttributeType::Integer64},
                                {"index", AttributeType::Integer64},
                                {"order", AttributeType::Integer64}},
                 .relationships = {toOne("barOfChord", "Bar", "chords")}});

    e.push_back({.name = "Note",
                 .parentEntity = "Symbol",
                 .attributes = {{"heightLeft", AttributeType::Float}, {"heightRight", AttributeType::Float}},
                 .relationships = {toOne("barOfNote", "Bar", "notes"),
                                   toMany("units", "NoteUnit", "note", Cascade)}});

    e.push_back(
        {.name = "NoteUnit",
         .attributes = {{"type", AttributeType::Integer64},
                        {"beam", AttributeType::Integer32},
                        {"timing", AttributeType::Integer64},
                        {"duration", AttributeType::Integer64}},
         .relationships = {toOne("note", "Note", "units"), toMany("tones", "NoteTone", "unit", Cascade)}});

    e.push_back({.name = "NoteTone",
                 .attributes = {{"level", AttributeType::Integer64},
                                {"slash", AttributeType::Boolean},
                                {"head", AttributeType::Integer32}},
                 .relationships = {toOne("unit", "NoteUnit", "tones"),
                                   toOne("accidental", "SymbolAccidental", "noteToneOfAccidental", Cascade),
                                   toMany("articulations", "SymbolInNote", "noteTone", Cascade),
                                   toOne("tieRight", "Tie", "toneLeft", Cascade),
                                   toOne("tieLeft", "Tie", "toneRight", Cascade)}});

    e.push_back({.name = "Tie",
                 .relationships = {toOne("toneLeft", "NoteTone", "tieRight"),
                                   toOne("toneRight", "NoteTone", "tieLeft")}});

    e.push_back({.name = "SymbolInNote",
                 .parentEntity = "Symbol",
                 .relationships = {toOne("noteTone", "NoteTone", "articulations")}});

    e.push_back({.name = "SymbolAccidental",
                 .parentEntity = "SymbolInNote",
                 .relationships = {toOne("noteToneOfAccidental", "NoteTone", "accidental")}});

    return e;
}

namespace {

template <class T>
void add(platform::ManagedObjectModel& model, std::vector<EntityDescription>& tables, const char* name) {
    for (auto& table : tables) {
        if (table.name == name) {
            model.addEntity<T>(table);
            return;
        }
    }
    std::abort(); // every class below has a table above
}

std::shared_ptr<const platform::ManagedObjectModel> makeModel() {
    // Snapshots of the song's entities travel in keyed archives (the pasteboard): make them readable.
    TOVSnapshotObject::registerArchiveClasses();
    auto model = std::make_shared<platform::ManagedObjectModel>();
    auto tables = TOVManagedObjectModel::entityDescriptions();
    add<Document>(*model, tables, "Document");
    add<Song>(*model, tables, "Song");
    add<ChordHistory>(*model, tables, "ChordHistory");
    add<Page>(*model, tables, "Page");
    add<Line>(*model, tables, "Line");
    add<Bar>(*model, tables, "Bar");
    add<Symbol>(*model, tables, "Symbol");
    add<SymbolTools>(*model, tables, "SymbolTools");
    add<SymbolText>(*model, tables, "SymbolText");
    add<SymbolRepeat>(*model, tables, "SymbolRepeat");
    add<SymbolTempo>(*model, tables, "SymbolTempo");
    add<Chord>(*model, tables, "Chord");
    add<Note>(*model, tables, "Note");
    add<NoteUnit>(*model, tables, "NoteUnit");
    add<NoteTone>(*model, tables, "NoteTone");
    add<Tie>(*model, tables, "Tie");
    add<SymbolInNote>(*model, tables, "SymbolInNote");
    add<SymbolAccidental>(*model, tables, "SymbolAccidental");
    std::string error;
    if (!model->finalize(&error)) {
        std::abort(); // a fault in the tables above, found by the first test that makes a document
    }
    return model;
}

} // namespace

std::shared_ptr<const platform::ManagedObjectModel> TOVManagedObjectModel::sharedModel() {
    static const std::shared_ptr<const platform::ManagedObjectModel> model = makeModel();
    return model;
}
