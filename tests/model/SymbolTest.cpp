#include "model/Bar.h"
#include "model/Document.h"
#include "model/Line.h"
#include "model/Page.h"
#include "model/Song.h"
#include "model/SymbolRepeat.h"
#include "model/SymbolRepeatSnapShot.h"
#include "model/SymbolTempo.h"
#include "model/SymbolTempoSnapShot.h"
#include "model/SymbolText.h"
#include "model/SymbolTextSnapShot.h"
#include "model/SymbolTools.h"
#include "model/TOVSymbolTypes.h"
#include "platform/data/ManagedObjectContext.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "support/LayoutBuilder.h"
#include "support/SongBuilder.h"
#include "support/UndoRefreshRecorder.h"

#include <gtest/gtest.h>

#include <functional>

using namespace tovtest;

namespace {

platform::AttributedString text(const char* s, double size = 12) {
    platform::TextAttributes attributes;
    attributes.font = platform::TextFont{QStringLiteral("Helvetica"), size};
    return platform::AttributedString(QString::fromUtf8(s), attributes);
}

TEST(SymbolTest, StoresTheFrameAsTextAndSkipsAnEqualFrame) {
    TestSong song;
    Symbol* symbol =
        findBar(song.document, 0)->createNewSymbolWithTypeFrame(TOVSymbolMarkIntro, {1, 2, 3, 4});
    EXPECT_EQ(symbol->stringValue("frame"), platform::stringFromRect({1, 2, 3, 4}));
    int notices = 0;
    auto token = symbol->addObserver("frame", [&](const platform::Change&) { ++notices; });
    symbol->setFrame({1, 2, 3, 4});
    EXPECT_EQ(notices, 0);
    symbol->setFrame({1, 2, 3, 4.5});
    EXPECT_EQ(notices, 1);
    EXPECT_EQ(platform::rectFromString(symbol->stringValue("frame")), (platform::Rect{1, 2, 3, 4.5}));
    symbol->removeObserver(token);
}

TEST(SymbolTest, TakesItsScaleFromTheFirstNaturalSize) {
    TestSong song;
    Symbol* symbol =
        findBar(song.document, 0)->createNewSymbolWithTypeFrame(TOVSymbolDynamicsFFF, {0, 0, 30, 10});
    symbol->setInitialSize({20, 8});
    EXPECT_EQ(symbol->scale(), 1.5);
    symbol->setInitialSize({10, 8});
    EXPECT_EQ(symbol->scale(), 1.5);
    EXPECT_EQ(symbol->initialSize(), (platform::Size{10, 8}));
    symbol->setInitialSize({0, 0}); // no natural width: nothing to take the scale from
    EXPECT_EQ(symbol->scale(), 1.5);
}

TEST(SymbolTest, FindsItsDocumentThroughItsOwner) {
    TestSong song;
    UndoRefreshHarness harness(song.document);
    song.document->setPlugInFontID("Jazz");
    Symbol* inBar = findBar(song.document, 9)->createNewSymbolWithTypeFrame(TOVSymbolMarkIntro, {});
    SymbolTools* onPage = song.document->createNewSymbolToolsWithTypeFrame(TOVToolFreeText, {});
    auto* loose = song.context->insertNewObject<Symbol>("Symbol");
    EXPECT_EQ(inBar->coreDataController(), harness.buffer.get());
    EXPECT_EQ(onPage->coreDataController(), harness.buffer.get());
    EXPECT_EQ(loose->coreDataController(), nullptr);
    EXPECT_EQ(inBar->plugInFontID(), "Jazz");
    EXPECT_EQ(onPage->plugInFontID(), "Jazz");
    EXPECT_TRUE(loose->plugInFontID().isNull());

    inBar->updateView();
    loose->updateView();
    EXPECT_EQ(harness.refresher.updatedViews, (std::vector<TOVManagedObject*>{inBar}));
}

// ---- Pass numbers
// -------------------------------------------------------------------------------------------

TEST(SymbolRepeatTest, StoresThePassesThatAreOnAsDigits) {
    struct Row {
        TOVRepeatNumberStates states;
        const char* stored;
    };
    const Row rows[] = {
        {{{1, 0, 1, 0, 0, 0, 0, 1}}, "138"},       {{{1, 1, 0, 1, 0, 0, 0, 0}}, "124"},
        {{{0, 0, 1, 0, 0, 0, 0, 0}}, "3"},         {{{0, 0, 0, 0, 0, 0, 0, 0}}, "0"},
        {{{-1, -1, -1, -1, -1, -1, -1, -1}}, "0"}, {{{1, 1, 1, 1, 1, 1, 1, 1}}, "12345678"},
        {{{-1, 1, 2, 0, 0, 0, 0, 1}}, "28"},
    };
    TestSong song;
    SymbolRepeat* sign = findBar(song.document, 0)->createNewSymbolRepeatWithTypeFrame(TOVSymbolDaCapo, {});
    for (const Row& r : rows) {
        sign->setRepeatNumberStates(r.states);
        EXPECT_EQ(sign->repeatIDString(), r.stored);
        EXPECT_EQ(sign->stringValue("repeatIDString"), r.stored);
    }
}

TEST(SymbolRepeatTest, ReadsPassesFromTheDigitsOfTheIdentifier) {
    struct Row {
        QString stored;
        TOVRepeatNumberStates states;
        std::int64_t number;
    };
    const Row rows[] = {
        {"138", {{1, 0, 1, 0, 0, 0, 0, 1}}, 138},  {"19", {{1, 0, 0, 0, 0, 0, 0, 0}}, 19},
        {"90", {{0, 0, 0, 0, 0, 0, 0, 0}}, 90},    {"0", {{0, 0, 0, 0, 0, 0, 0, 0}}, 0},
        {"12abc", {{1, 1, 0, 0, 0, 0, 0, 0}}, 12}, {" 7", {{0, 0, 0, 0, 0, 0, 1, 0}}, 7},
        {"1.-3.", {{1, 0, 0, 0, 0, 0, 0, 0}}, 1},  {"Fine", {{0, 0, 0, 0, 0, 0, 0, 0}}, 0},
        {"-12", {{0, 0, 0, 0, 0, 0, 0, 0}}, -12},  {QString(), {{0, 0, 0, 0, 0, 0, 0, 0}}, 0},
    };
    TestSong song;
    SymbolRepeat* sign = findBar(song.document, 0)->createNewSymbolRepeatWithTypeFrame(TOVSymbolDaCapo, {});
    for (const Row& r : rows) {
        sign->setRepeatIDString(r.stored);
        EXPECT_EQ(sign->repeatNumberStates(), r.states) << r.stored.toStdString();
        EXPECT_EQ(sign->repeatIDNumber(), r.number) << r.stored.toStdString();
    }
    sign->setRepeatIDNumber(-5);
    EXPECT_EQ(sign->repeatIDString(), "-5");
    sign->setRepeatIDString(QString());
    EXPECT_FALSE(sign->hasValue("repeatIDString"));
    sign->setRepeatIDString("");
    EXPECT_TRUE(sign->hasValue("repeatIDString"));
    EXPECT_FALSE(sign->repeatIDString().isNull());
}

// ---- Setters while undoing
// ----------------------------------------------------------------------------------

struct UndoSetterCase {
    const char* name;
    // Makes the object, answers a setter to run while undoing and a reader of the value it sets.
    std::function<std::pair<std::function<void()>, std::function<std::string()>>(Document*)> make;
    bool takesEffect;
};

class SetterWhileUndoingTest : public ::testing::TestWithParam<UndoSetterCase> {};

TEST_P(SetterWhileUndoingTest, FollowsTheEntitysRule) {
    const UndoSetterCase& c = GetParam();
    TestSong song(true);
    auto [set, read] = c.make(song.document);
    const std::string before = read();
    UndoEnabled recording(*song.context);
    platform::UndoManager& undo = song.context->undoManager();
    undo.beginUndoGrouping();
    undo.registerUndo([set = set] { set(); });
    undo.endUndoGrouping();
    undo.undo();
    if (c.takesEffect) {
        EXPECT_NE(read(), before);
    } else {
        EXPECT_EQ(read(), before);
    }
}

template <typename T, typename Set, typename Read>
std::pair<std::function<void()>, std::function<std::string()>> on(T* object, Set set, Read read) {
    return {[object, set] { set(object); }, [object, read] { return read(object); }};
}

Symbol* barSymbol(Document* d) {
    return findBar(d, 1)->createNewSymbolWithTypeFrame(TOVSymbolDynamicsFFF, {1, 1, 1, 1});
}
SymbolRepeat* repeatSign(Document* d) {
    return findBar(d, 1)->createNewSymbolRepeatWithTypeFrame(TOVSymbolDaCapo, {});
}

INSTANTIATE_TEST_SUITE_P(
    Setters, SetterWhileUndoingTest,
    ::testing::Values(
        UndoSetterCase{"SymbolAngle",
                       [](Document* d) {
                           return on(
                               barSymbol(d), [](Symbol* s) { s->setAngle(30.0); },
                               [](Symbol* s) { return std::to_string(s->angle()); });
                       },
                       false},
        UndoSetterCase{"SymbolType",
                       [](Document* d) {
                           return on(
                               barSymbol(d), [](Symbol* s) { s->setType(TOVSymbolDynamicsFF); },
                               [](Symbol* s) { return std::to_string(s->type()); });
                       },
                       false},
        UndoSetterCase{"SymbolFrame",
                       [](Document* d) {
                           return on(
                               barSymbol(d),
                               [](Symbol* s) {
                                   s->setFrame({5, 5, 5, 5});
                               },
                               [](Symbol* s) { return platform::stringFromRect(s->frame()); });
                       },
                       false},
        UndoSetterCase{"SymbolFlipAndScale",
                       [](Document* d) {
                           return on(
                               barSymbol(d),
                               [](Symbol* s) {
                                   s->setFlip(true);
                                   s->setScale(2.0);
                               },
                               [](Symbol* s) {
                                   return std::to_string(s->flip()) + std::to_string(s->scale());
                               });
                       },
                       false},
        UndoSetterCase{"ToolsFrameRelativeToBar",
                       [](Document* d) {
                           return on(
                               d->createNewSymbolToolsWithTypeFrame(TOVToolFreeText, {}),
                               [](SymbolTools* s) {
                                   s->setFrameRelativeToBar({3, 3, 3, 3});
                               },
                               [](SymbolTools* s) {
                                   return platform::stringFromRect(s->frameRelativeToBar());
                               });
                       },
                       false},
        UndoSetterCase{"TextText",
                       [](Document* d) {
                           return on(
                               d->createNewSymbolTextWithTypeFrame(TOVToolFreeText, {}),
                               [](SymbolText* s) { s->setText(text("A")); },
                               [](SymbolText* s) { return std::to_string(s->text().has_value()); });
                       },
                       false},
        UndoSetterCase{"RepeatIDStringNumberAndStates",
                       [](Document* d) {
                           return on(
                               repeatSign(d),
                               [](SymbolRepeat* s) {
                                   s->setRepeatIDString("x");
                                   s->setRepeatIDNumber(4);
                                   s->setRepeatNumberStates({{1, 0, 0, 0, 0, 0, 0, 0}});
                               },
                               [](SymbolRepeat* s) { return s->repeatIDString().toStdString(); });
                       },
                       false},
        UndoSetterCase{"TempoSpeed",
                       [](Document* d) {
                           return on(
                               findBar(d, 1)->createNewSymbolTempoWithTypeFrame(TOVSymbolTempoSpeed, {}),
                               [](SymbolTempo* s) { s->setSpeed(120); },
                               [](SymbolTempo* s) { return std::to_string(s->speed()); });
                       },
                       false},
        UndoSetterCase{"RestoreFromSnapShot",
                       [](Document* d) {
                           Symbol* s = barSymbol(d);
                           auto snapshot = std::shared_ptr<TOVSnapshotObject>(barSymbol(d)->createSnapShot());
                           static_cast<SymbolSnapShot*>(snapshot.get())->setAngle(45);
                           return on(
                               s, [snapshot](Symbol* x) { x->restoreFromSnapShot(snapshot.get()); },
                               [](Symbol* x) { return std::to_string(x->angle()); });
                       },
                       false},
        UndoSetterCase{"BarWidth",
                       [](Document* d) {
                           return on(
                               findBar(d, 1, true), [](Bar* b) { b->setWidth(80); },
                               [](Bar* b) { return std::to_string(b->width()); });
                       },
                       true},
        UndoSetterCase{"BarClefType",
                       [](Document* d) {
                           return on(
                               findBar(d, 1), [](Bar* b) { b->setClefType(TOVSymbolClefF); },
                               [](Bar* b) { return std::to_string(b->clefType()); });
                       },
                       true},
        UndoSetterCase{"LineFirstBarLineType",
                       [](Document* d) {
                           return on(
                               findBar(d, 12)->line(),
                               [](Line* l) { l->setFirstBarLineType(TOVBarlineGreatDouble); },
                               [](Line* l) { return std::to_string(l->firstBarLineType()); });
                       },
                       true},
        UndoSetterCase{"PageNum",
                       [](Document* d) {
                           return on(
                               d->lastPage(), [](Page* p) { p->setNum(7); },
                               [](Page* p) { return std::to_string(p->num()); });
                       },
                       true},
        UndoSetterCase{"DocumentFont",
                       [](Document* d) {
                           return on(
                               d, [](Document* x) { x->setPlugInFontID("Jazz"); },
                               [](Document* x) { return x->plugInFontID().toStdString(); });
                       },
                       true},
        UndoSetterCase{"SongName",
                       [](Document* d) {
                           return on(
                               d->song(), [](Song* s) { s->setName(text("Blue")); },
                               [](Song* s) { return std::to_string(s->name().has_value()); });
                       },
                       true}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Snapshots
// ----------------------------------------------------------------------------------------------

template <typename T>
std::unique_ptr<T> archiveRoundTrip(const platform::Coding& object) {
    TOVSnapshotObject::registerArchiveClasses();
    const auto data = platform::KeyedArchiver::archivedDataWithRootObject(object);
    return platform::KeyedUnarchiver::unarchivedObjectOfClass<T>(data);
}

TEST(SymbolSnapShotTest, KeepsItsOwnCopyOfTheText) {
    TestSong song;
    SymbolText* symbol =
        findBar(song.document, 0)->createNewSymbolTextWithTypeFrame(TOVSymbolMarkIntro, {1, 2, 3, 4});
    symbol->setText(text("A", 14));
    auto snapshot = symbol->createSnapShot();
    symbol->setText(text("B"));
    const auto* snap = dynamic_cast<SymbolTextSnapShot*>(snapshot.get());
    ASSERT_NE(snap, nullptr);
    EXPECT_EQ(snap->text(), text("A", 14));
}

TEST(SymbolSnapShotTest, RestoresEveryKindThroughTheArchive) {
    TestSong song;
    Bar* bar = findBar(song.document, 0);
    SymbolText* textSymbol = bar->createNewSymbolTextWithTypeFrame(TOVSymbolMarkIntro, {1.5, 2, 30, 4});
    textSymbol->setAngle(12.5);
    textSymbol->setFlip(true);
    textSymbol->setScale(0.75);
    textSymbol->setInitialSize({40, 5});
    textSymbol->setFrameRelativeToBar({7, 8, 9, 10});
    textSymbol->setText(text("Intro"));
    SymbolRepeat* repeat = bar->createNewSymbolRepeatWithTypeFrame(TOVSymbolCoda, {3, 3, 3, 3});
    repeat->setRepeatIDString(QString::fromUtf8("1.–3."));
    SymbolTempo* tempo = bar->createNewSymbolTempoWithTypeFrame(TOVSymbolTempoSpeed, {4, 4, 4, 4});
    tempo->setSpeed(132);

    Bar* target = findBar(song.document, 1);
    for (Symbol* original : std::vector<Symbol*>{textSymbol, repeat, tempo}) {
        auto snapshot = original->createSnapShot();
        auto copy = archiveRoundTrip<TOVSnapshotObject>(*snapshot);
        ASSERT_NE(copy, nullptr);
        EXPECT_EQ(copy->archiveClassName(), snapshot->archiveClassName());
        auto* restored = song.context->insertNewObject<Symbol>(original->entity().name());
        restored->setBar(target);
        restored->restoreFromSnapShot(copy.get());
        EXPECT_EQ(restored->type(), original->type());
        EXPECT_EQ(restored->frame(), original->frame());
        EXPECT_EQ(restored->flip(), original->flip());
        EXPECT_EQ(restored->angle(), original->angle());
        EXPECT_EQ(restored->scale(), original->scale());
        EXPECT_EQ(restored->initialSize(), original->initialSize());
    }
    const auto symbols = target->symbols();
    ASSERT_EQ(symbols.size(), 3u);
    const auto* restoredText = dynamic_cast<SymbolText*>(symbols[0]);
    ASSERT_NE(restoredText, nullptr);
    EXPECT_EQ(restoredText->text(), text("Intro"));
    EXPECT_EQ(restoredText->frameRelativeToBar(), (platform::Rect{7, 8, 9, 10}));
    EXPECT_EQ(restoredText->barFollowsTo(), nullptr); // never part of a snapshot
    EXPECT_EQ(dynamic_cast<SymbolRepeat*>(symbols[1])->repeatIDString(), QString::fromUtf8("1.–3."));
    EXPECT_EQ(dynamic_cast<SymbolTempo*>(symbols[2])->speed(), 132u);
}

TEST(SymbolSnapShotTest, ArchivesAngleAndScaleInSinglePrecision) {
    SymbolSnapShot snap;
    snap.setAngle(0.1);
    snap.setScale(1.0 / 3.0);
    auto copy = archiveRoundTrip<SymbolSnapShot>(snap);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->angle(), double(0.1f));
    EXPECT_EQ(copy->scale(), double(float(1.0 / 3.0)));
}

// Formatted texts, repeat texts and followed-bar frames are written even when unchanged: one notice each,
// and the value stays.
TEST(SymbolTest, AlwaysWriteSettersSendOneNoticeForAnEqualValue) {
    TestSong song;
    Bar* bar = findBar(song.document, 1);
    auto* text = bar->createNewSymbolTextWithTypeFrame(TOVSymbolMarkIntro, {});
    auto* repeat = bar->createNewSymbolRepeatWithTypeFrame(TOVSymbolDaCapo, {});
    auto* tool = song.document->createNewSymbolToolsWithTypeFrame(TOVToolFreeText, {});
    const platform::AttributedString fine(QString("Fine"));
    text->setText(fine);
    repeat->setRepeatIDString("1.");
    tool->setFrameRelativeToBar({1, 2, 3, 4});
    struct Case {
        platform::ManagedObject* object;
        const char* key;
        std::function<void()> setAgain;
    };
    const Case cases[] = {
        {text, "text", [&] { text->setText(fine); }},
        {repeat, "repeatIDString", [&] { repeat->setRepeatIDString("1."); }},
        {tool, "frameRelativeToBar",
         [&] {
             tool->setFrameRelativeToBar({1, 2, 3, 4});
         }},
    };
    for (const Case& c : cases) {
        int notices = 0;
        auto token = c.object->addObserver(c.key, [&](const platform::Change&) { ++notices; });
        c.setAgain();
        EXPECT_EQ(notices, 1) << c.key;
        c.object->removeObserver(token);
    }
    EXPECT_EQ(text->text(), fine);
    EXPECT_EQ(repeat->repeatIDString(), QString("1."));
    EXPECT_EQ(tool->frameRelativeToBar(), (platform::Rect{1, 2, 3, 4}));
}

} // namespace
