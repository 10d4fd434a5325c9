#include "model/TOVManagedObjectModel.h"
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
#include "model/Song.h"
#include "model/SymbolAccidental.h"
#include "model/SymbolRepeat.h"
#include "model/SymbolTempo.h"
#include "model/SymbolText.h"
#include "model/SymbolTools.h"
#include "model/TOVSymbolTypes.h"
#include "model/Tie.h"
#include "support/LayoutBuilder.h"
#include "support/SongBuilder.h"

#include <gtest/gtest.h>

#include <functional>

using namespace tovtest;
using namespace TOVDocumentDump;

namespace {

struct EntityClassCase {
    const char* entity;
    std::function<bool(platform::ManagedObject*)> isExpectedClass;
};

template <typename T>
std::function<bool(platform::ManagedObject*)> is() {
    return [](platform::ManagedObject* o) { return dynamic_cast<T*>(o) != nullptr; };
}

// Every entity is made as its class, and a sub-entity as a kind of its parent's class.
TEST(TOVManagedObjectModelTest, MakesEachEntityAsItsClass) {
    const EntityClassCase cases[] = {
        {"Document", is<Document>()},
        {"Song", is<Song>()},
        {"Page", is<Page>()},
        {"Line", is<Line>()},
        {"Bar", is<Bar>()},
        {"Symbol", is<Symbol>()},
        {"SymbolTools", is<SymbolTools>()},
        {"SymbolText", is<SymbolTools>()},
        {"SymbolText", is<SymbolText>()},
        {"SymbolRepeat", is<SymbolRepeat>()},
        {"SymbolTempo", is<SymbolTempo>()},
        {"Chord", is<Chord>()},
        {"Note", is<Note>()},
        {"NoteUnit", is<NoteUnit>()},
        {"NoteTone", is<NoteTone>()},
        {"Tie", is<Tie>()},
        {"ChordHistory", is<ChordHistory>()},
        {"SymbolInNote", is<SymbolInNote>()},
        {"SymbolAccidental", is<SymbolInNote>()},
        {"SymbolAccidental", is<SymbolAccidental>()},
    };
    auto context = makeSongContext();
    for (const auto& c : cases) {
        platform::ManagedObject* object = context->insertNewObject(c.entity);
        ASSERT_NE(object, nullptr) << c.entity;
        EXPECT_TRUE(c.isExpectedClass(object)) << c.entity;
        EXPECT_NE(dynamic_cast<TOVManagedObject*>(object), nullptr) << c.entity;
    }
    // Chords, notes and the kinds are symbols; the entity tree says so too.
    const auto model = TOVManagedObjectModel::sharedModel();
    for (const char* name : {"SymbolTools", "SymbolText", "SymbolRepeat", "SymbolTempo", "Chord", "Note",
                             "SymbolInNote", "SymbolAccidental"}) {
        EXPECT_TRUE(model->entityNamed(name)->isKindOfEntity(*model->entityNamed("Symbol"))) << name;
    }
}

// A bar with one of everything it can hold, and a tone with a tie, an accidental and an articulation.
struct FilledBar {
    Bar* bar;
    Symbol* symbol;
    Chord* chord;
    Note* note;
    NoteUnit* unit;
    NoteTone* tone;
    NoteTone* nextTone;
    Tie* tie;
    SymbolAccidental* accidental;
    SymbolInNote* articulation;
};

FilledBar fill(platform::ManagedObjectContext& context, Bar* bar) {
    FilledBar f{};
    f.bar = bar;
    f.symbol = bar->createNewSymbolWithTypeFrame(TOVSymbolDynamicsFFF, {});
    f.chord = context.insertNewObject<Chord>("Chord");
    f.chord->setBar(bar);
    f.note = context.insertNewObject<Note>("Note");
    f.note->setBar(bar);
    f.unit = context.insertNewObject<NoteUnit>("NoteUnit");
    f.unit->setToOne("note", f.note);
    f.tone = context.insertNewObject<NoteTone>("NoteTone");
    f.tone->setToOne("unit", f.unit);
    auto* nextUnit = context.insertNewObject<NoteUnit>("NoteUnit");
    nextUnit->setToOne("note", f.note);
    f.nextTone = context.insertNewObject<NoteTone>("NoteTone");
    f.nextTone->setToOne("unit", nextUnit);
    f.tie = context.insertNewObject<Tie>("Tie");
    f.tie->setToOne("toneLeft", f.tone);
    f.tie->setToOne("toneRight", f.nextTone);
    f.accidental = context.insertNewObject<SymbolAccidental>("SymbolAccidental");
    f.accidental->setToOne("noteToneOfAccidental", f.tone);
    f.articulation = context.insertNewObject<SymbolInNote>("SymbolInNote");
    f.articulation->setToOne("noteTone", f.tone);
    return f;
}

TEST(TOVManagedObjectModelTest, DeletingAPageDeletesEverythingItOwnsButNotTheToolsFollowingItsBars) {
    auto context = makeSongContext();
    Document* document = makeLayout(*context, {{10, {{0, 0}, {4, 4, true}}}, {10, {{4, 4}}}});
    FilledBar f = fill(*context, findBar(document, 2, true));
    SymbolTools* tool = document->createNewSymbolToolsWithTypeFrame(TOVToolFreeText, {1, 2, 3, 4});
    tool->setBarFollowsTo(f.bar);
    ASSERT_EQ(f.bar->toolsFollowedBy().size(), 1u);

    document->removePage(document->pageArray().front());

    EXPECT_EQ(countObjects(*context), "Bar=4 Document=1 Line=1 Page=1 Song=1 SymbolTools=1");
    for (platform::ManagedObject* o :
         std::initializer_list<platform::ManagedObject*>{f.bar, f.symbol, f.chord, f.note, f.unit, f.tone,
                                                         f.nextTone, f.tie, f.accidental, f.articulation}) {
        EXPECT_TRUE(o->isDeleted()) << describeObject(o);
    }
    EXPECT_FALSE(tool->isDeleted());
    EXPECT_EQ(tool->barFollowsTo(), nullptr);
    EXPECT_EQ(tool->document(), document);
    // The remaining page took the number of the removed one.
    EXPECT_EQ(layoutSummary(document), "P0(10): 4[4 5 6 7]");
}

TEST(TOVManagedObjectModelTest, DeletingAChildOnlyUnlinksItFromItsOwner) {
    auto context = makeSongContext();
    Document* document = makeLayout(*context, {{10, {{0, 0}, {4, 4}}}});
    FilledBar f = fill(*context, findBar(document, 1));

    context->deleteObject(f.symbol);
    context->deleteObject(f.chord);
    context->deleteObject(f.tie);
    context->processPendingChanges();
    EXPECT_FALSE(f.bar->isDeleted());
    EXPECT_TRUE(f.bar->symbols().empty());
    EXPECT_TRUE(f.bar->chords().empty());
    EXPECT_EQ(f.tone->toOne("tieRight"), nullptr);
    EXPECT_FALSE(f.nextTone->isDeleted());

    // A tone takes its accidental and articulations with it; the unit stays.
    context->deleteObject(f.tone);
    context->processPendingChanges();
    EXPECT_TRUE(f.accidental->isDeleted());
    EXPECT_TRUE(f.articulation->isDeleted());
    EXPECT_FALSE(f.unit->isDeleted());
}

TEST(TOVManagedObjectModelTest, DeletingALineDeletesItsLowerLineAndTies) {
    auto context = makeSongContext();
    Document* document = makeLayout(*context, {{10, {{0, 0}, {4, 4, true}, {4, 4, true}}}});
    FilledBar f = fill(*context, findBar(document, 5, true));
    Line* line = findBar(document, 5)->line();
    Line* lower = line->lower();
    line->page()->removeLine(line);
    EXPECT_TRUE(lower->isDeleted());
    EXPECT_TRUE(f.tie->isDeleted());
    EXPECT_EQ(layoutSummary(document), "P0(10): 0[] 4[0 1 2 3]+[0 1 2 3]");
}

struct FloatCase {
    const char* key;
    std::function<platform::ManagedObject*(Document*)> object;
    std::function<void(platform::ManagedObject*, double)> set;
    std::function<double(const platform::ManagedObject*)> get;
};

// Single-precision attributes: the getter answers what the store holds, the same before and after undo
// and redo, and setting the value given once more changes and reports nothing (for a bar, neither does
// its partner).
TEST(TOVManagedObjectModelTest, SinglePrecisionGettersAnswerWhatTheStoreHolds) {
    const FloatCase cases[] = {
        {"width", [](Document* d) { return findBar(d, 0); },
         [](platform::ManagedObject* o, double v) { o->as<Bar>()->setWidth(v); },
         [](const platform::ManagedObject* o) { return o->as<Bar>()->width(); }},
        {"height", [](Document* d) { return findBar(d, 1, true); },
         [](platform::ManagedObject* o, double v) { o->as<Bar>()->setHeight(v); },
         [](const platform::ManagedObject* o) { return o->as<Bar>()->height(); }},
        {"angle",
         [](Document* d) { return findBar(d, 2)->createNewSymbolWithTypeFrame(TOVSymbolDynamicsFFF, {}); },
         [](platform::ManagedObject* o, double v) { o->as<Symbol>()->setAngle(v); },
         [](const platform::ManagedObject* o) { return o->as<Symbol>()->angle(); }},
        {"scale",
         [](Document* d) { return findBar(d, 2)->createNewSymbolWithTypeFrame(TOVSymbolDynamicsFFF, {}); },
         [](platform::ManagedObject* o, double v) { o->as<Symbol>()->setScale(v); },
         [](const platform::ManagedObject* o) { return o->as<Symbol>()->scale(); }},
        {"heightLeft",
         [](Document* d) { return findBar(d, 2)->createNewSingleMeloFromLengthLevel(0, 240, 0); },
         [](platform::ManagedObject* o, double v) { o->as<Note>()->setHeightLeft(v); },
         [](const platform::ManagedObject* o) { return o->as<Note>()->heightLeft(); }},
        {"heightRight",
         [](Document* d) { return findBar(d, 2)->createNewSingleMeloFromLengthLevel(0, 240, 0); },
         [](platform::ManagedObject* o, double v) { o->as<Note>()->setHeightRight(v); },
         [](const platform::ManagedObject* o) { return o->as<Note>()->heightRight(); }},
    };
    for (const FloatCase& c : cases) {
        SCOPED_TRACE(c.key);
        TestSong song(true);
        platform::ManagedObject* object = c.object(song.document);
        song.context->processPendingChanges();
        UndoEnabled recording(*song.context);
        platform::UndoManager& undo = song.context->undoManager();
        undo.beginUndoGrouping();
        c.set(object, 100.3);
        undo.endUndoGrouping();
        EXPECT_EQ(c.get(object), double(100.3f));
        EXPECT_EQ(object->doubleValue(c.key), double(100.3f));
        undo.undo();
        undo.redo();
        EXPECT_EQ(c.get(object), double(100.3f));

        int notices = 0;
        auto token = object->addObserver(c.key, [&](const platform::Change&) { ++notices; });
        Bar* partner = object->as<Bar>() ? object->as<Bar>()->alternativeBarInDoubleLine() : nullptr;
        ASSERT_EQ(partner != nullptr, object->as<Bar>() != nullptr);
        int partnerNotices = 0;
        auto partnerToken =
            partner ? partner->addObserver(c.key, [&](const platform::Change&) { ++partnerNotices; })
                    : platform::ObservationToken{};
        undo.beginUndoGrouping();
        c.set(object, 100.3);
        undo.endUndoGrouping();
        EXPECT_EQ(notices, 0);
        EXPECT_EQ(partnerNotices, 0);
        object->removeObserver(token);
        if (partner) {
            partner->removeObserver(partnerToken);
        }
    }
}

} // namespace
