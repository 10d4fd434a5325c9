#include "model/Bar.h"
#include "model/Chord.h"
#include "model/Document.h"
#include "model/Line.h"
#include "model/Note.h"
#include "model/Page.h"
#include "model/Symbol.h"
#include "document/TOVDocumentDump.h"
#include "support/LayoutBuilder.h"
#include "support/SongBuilder.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

using namespace tovtest;

namespace {

LineSpec single(int bars = 4) {
    return {4, bars, false};
}
LineSpec twin(int bars = 4) {
    return {4, bars, true};
}

// ---- Pair-aware setters
// -------------------------------------------------------------------------------------

struct PairCase {
    const char* name;
    std::function<void(Bar*, double)> set;
    std::function<double(const Bar*)> get;
};

class PairAwareSetterTest : public ::testing::TestWithParam<PairCase> {};

TEST_P(PairAwareSetterTest, WritesBothBarsOfAPairFromEitherSide) {
    const PairCase& c = GetParam();
    for (bool fromLower : {false, true}) {
        TestSong song(true);
        Bar* upper = findBar(song.document, 6);
        Bar* lower = findBar(song.document, 6, true);
        c.set(fromLower ? lower : upper, 1283);
        EXPECT_EQ(c.get(upper), 1283) << (fromLower ? "from the lower bar" : "from the upper bar");
        EXPECT_EQ(c.get(lower), 1283) << (fromLower ? "from the lower bar" : "from the upper bar");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Setters, PairAwareSetterTest,
    ::testing::Values(PairCase{"Width", [](Bar* b, double v) { b->setWidth(v); },
                               [](const Bar* b) { return b->width(); }},
                      PairCase{"Height", [](Bar* b, double v) { b->setHeight(v); },
                               [](const Bar* b) { return b->height(); }},
                      PairCase{"BarLineType", [](Bar* b, double v) { b->setBarLineType(int(v)); },
                               [](const Bar* b) { return double(b->barLineType()); }},
                      PairCase{"Num", [](Bar* b, double v) { b->setNum(std::uint64_t(v)); },
                               [](const Bar* b) { return double(b->num()); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BarTest, AnEqualValueWritesNothing) {
    TestSong song(true);
    Bar* lower = findBar(song.document, 2, true);
    int notices = 0;
    auto token = lower->addObserver("width", [&](const platform::Change&) { ++notices; });
    UndoEnabled recording(*song.context);
    platform::UndoManager& undo = song.context->undoManager();
    undo.beginUndoGrouping();
    lower->setWidth(130.0);
    findBar(song.document, 2)->setWidth(130.0);
    lower->setClefType(0);
    undo.endUndoGrouping();
    EXPECT_EQ(notices, 0);
    EXPECT_FALSE(undo.canUndo());
    lower->removeObserver(token);
}

TEST(BarTest, ALowerBarWithoutPartnerWritesItself) {
    auto context = makeSongContext();
    Document* document = makeLayout(*context, {{10, {twin(2)}}});
    Bar* lower = findBar(document, 1, true);
    findBar(document, 1)->justSetNum(7); // the pair is broken: the lower bar finds no partner
    lower->setWidth(50);
    EXPECT_EQ(lower->width(), 50);
    EXPECT_EQ(findBar(document, 7)->width(), 130);
}

// ---- Time signatures
// ----------------------------------------------------------------------------------------

TEST(BarTest, BeatAndBarLengthFollowTheTimeInForce) {
    struct Row {
        int time;
        std::uint64_t beat;
        std::uint64_t bar;
    };
    const Row rows[] = {{768, 240, 240},  {769, 240, 480},  {770, 240, 720},  {771, 240, 960},
                        {772, 240, 1200}, {773, 240, 1440}, {774, 240, 1680}, {775, 120, 360},
                        {776, 120, 600},  {777, 120, 720},  {778, 120, 840},  {779, 120, 1080},
                        {780, 120, 1440}, {781, 240, 960},  {767, 0, 0},      {782, 0, 0}};
    TestSong song;
    Bar* bar = findBar(song.document, 3);
    for (const Row& r : rows) {
        bar->setTimeType(r.time);
        EXPECT_EQ(bar->timeMode(), r.time);
        EXPECT_EQ(bar->length1Beat(), r.beat) << r.time;
        EXPECT_EQ(bar->totalRhythmLength(), r.bar) << r.time;
    }
}

// ---- Barlines at the edges
// ----------------------------------------------------------------------------------

TEST(BarTest, DrawsBarlinesAtItsEdges) {
    auto context = makeSongContext();
    Document* document = makeLayout(*context, {{10, {{0, 0}, twin(4), single(2)}}});
    findBar(document, 0)->line()->setFirstBarLineType(1286);
    findBar(document, 4)->line()->setFirstBarLineType(1287);
    findBar(document, 0)->setBarLineType(1281);
    findBar(document, 1)->setBarLineType(1282);
    findBar(document, 3)->setBarLineType(1283);
    findBar(document, 4)->setBarLineType(1284);
    findBar(document, 2, true)->justSetBarLineType(1285); // the lower bar's own value is not drawn

    struct Row {
        std::uint64_t num;
        bool lower;
        int left;
        int right;
    };
    const Row rows[] = {{0, false, 1286, 1281}, {1, false, 1281, 1282}, {2, false, 1282, 1280},
                        {2, true, 1282, 1280},  {0, true, 1286, 1281},  {3, false, 1280, 1283},
                        {4, false, 1287, 1284}, {5, false, 1284, 1280}};
    for (const Row& r : rows) {
        const Bar* bar = findBar(document, r.num, r.lower);
        EXPECT_EQ(bar->leftBarLineType(), r.left) << r.num << (r.lower ? " lower" : "");
        EXPECT_EQ(bar->rightBarLineType(), r.right) << r.num << (r.lower ? " lower" : "");
    }
    // A bar outside any line draws a single barline on its left.
    auto* loose = context->insertNewObject<Bar>("Bar");
    EXPECT_EQ(loose->leftBarLineType(), 1280);
    EXPECT_EQ(loose->indexInLine(), Bar::NotFound);
    EXPECT_EQ(findBar(document, 5)->indexInLine(), 1u);
}

// ---- Repeat-previous-bar signs
// ------------------------------------------------------------------------------

struct RepeatModeCase {
    const char* name;
    std::map<std::uint64_t, int> signs;
    std::map<std::uint64_t, int> modes; // bar number -> expected mode
};

class RepeatPrevBarModeTest : public ::testing::TestWithParam<RepeatModeCase> {};

TEST_P(RepeatPrevBarModeTest, CoversTheBarsTheSignReaches) {
    const RepeatModeCase& c = GetParam();
    TestSong song;
    for (const auto& [num, type] : c.signs) {
        findBar(song.document, num)->createNewSymbolWithTypeFrame(type, {});
    }
    for (const auto& [num, mode] : c.modes) {
        EXPECT_EQ(findBar(song.document, num)->repeatPrevBarMode(), mode) << "bar " << num;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Signs, RepeatPrevBarModeTest,
    ::testing::Values(
        RepeatModeCase{"None", {}, {{0, 0}, {5, 0}}},
        RepeatModeCase{"OneBar", {{1, 1551}}, {{1, 1551}, {2, 0}, {3, 0}}},
        RepeatModeCase{"TwoBarsReachTheNextBarOnly", {{1, 1552}}, {{0, 0}, {1, 1552}, {2, 1552}, {3, 0}}},
        RepeatModeCase{"FourBarsReachThreeBarsAcrossLines",
                       {{3, 1553}},
                       {{3, 1553}, {4, 1553}, {5, 1553}, {6, 1553}, {7, 0}}},
        RepeatModeCase{"TheNearestSignDecides", {{2, 1553}, {3, 1551}}, {{3, 1551}, {4, 0}, {5, 0}}},
        RepeatModeCase{"TwoBarsAcrossLines", {{7, 1552}}, {{8, 1552}, {9, 0}}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Symbol admission
// ---------------------------------------------------------------------------------------

struct AdmissionCase {
    const char* name;
    std::uint64_t bar;
    std::function<void(platform::ManagedObjectContext&, Document*)> setUp;
    int type;
    bool admitted;
};

class CanInsertSymbolTest : public ::testing::TestWithParam<AdmissionCase> {};

TEST_P(CanInsertSymbolTest, Admits) {
    const AdmissionCase& c = GetParam();
    TestSong song;
    c.setUp(*song.context, song.document);
    EXPECT_EQ(findBar(song.document, c.bar)->canInsertSymbol(c.type), c.admitted);
}

auto nothing = [](platform::ManagedObjectContext&, Document*) {};
auto longRestIn5 = [](platform::ManagedObjectContext&, Document* d) { findBar(d, 5)->setLongRest(4); };
auto signIn = [](std::uint64_t num, int type) {
    return [num, type](platform::ManagedObjectContext&, Document* d) {
        findBar(d, num)->createNewSymbolWithTypeFrame(type, {});
    };
};

INSTANTIATE_TEST_SUITE_P(
    Codes, CanInsertSymbolTest,
    ::testing::Values(AdmissionCase{"FourBarRepeatNeedsThreeFollowingBars", 33, nothing, 1553, false},
                      AdmissionCase{"FourBarRepeatWithThreeFollowingBars", 32, nothing, 1553, true},
                      AdmissionCase{"FourBarRepeatOverACoveredBar", 0, signIn(3, 1551), 1553, false},
                      AdmissionCase{"TwoBarRepeatInTheLastBar", 35, nothing, 1552, false},
                      AdmissionCase{"TwoBarRepeatBeforeTheLastBar", 34, nothing, 1552, true},
                      AdmissionCase{"TwoBarRepeatBeforeACoveredBar", 5, signIn(6, 1551), 1552, false},
                      AdmissionCase{"OneBarRepeatInACoveredBar", 6, signIn(4, 1553), 1551, false},
                      AdmissionCase{"OneBarRepeatInAFreeBar", 6, signIn(2, 1553), 1551, true},
                      AdmissionCase{"LongRestInAnEmptyBar", 5, nothing, 1550, true},
                      AdmissionCase{"LongRestWithANote", 5,
                                    [](platform::ManagedObjectContext& ctx, Document* d) {
                                        ctx.insertNewObject<Note>("Note")->setBar(findBar(d, 5));
                                    },
                                    1550, false},
                      AdmissionCase{"LongRestWithAChord", 5,
                                    [](platform::ManagedObjectContext& ctx, Document* d) {
                                        ctx.insertNewObject<Chord>("Chord")->setBar(findBar(d, 5));
                                    },
                                    1550, false},
                      AdmissionCase{"LongRestWithADynamicsMark", 5, signIn(5, 0x703), 1550, false},
                      AdmissionCase{"LongRestWithARehearsalMark", 5, signIn(5, 0x400), 1550, true},
                      AdmissionCase{"LongRestOverALongRest", 5, longRestIn5, 1550, false},
                      AdmissionCase{"DynamicsInABarWithALongRest", 5, longRestIn5, 0x700, false},
                      AdmissionCase{"DynamicsInABarWithoutALongRest", 4, longRestIn5, 0x700, true},
                      AdmissionCase{"ArticulationInABarWithALongRest", 5, longRestIn5, 0xB02, false},
                      AdmissionCase{"TempoMarkInABarWithALongRest", 5, longRestIn5, 2304, false},
                      AdmissionCase{"SpeedInABarWithALongRest", 5, longRestIn5, 2310, true},
                      AdmissionCase{"UnknownCode", 5, longRestIn5, 0x1234, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BarTest, ListsItsGroupOneSymbols) {
    TestSong song;
    Bar* bar = findBar(song.document, 1);
    Symbol* dynamics = bar->createNewSymbolWithTypeFrame(0x702, {});
    bar->createNewSymbolWithTypeFrame(0x400, {});
    bar->createNewSymbolWithTypeFrame(2310, {});
    Symbol* octave = bar->createNewSymbolWithTypeFrame(0x801, {});
    EXPECT_EQ(bar->symbolsOfGroupSpecific(), (std::vector<Symbol*>{dynamics, octave}));
}

// ---- Moving and deleting bars
// -------------------------------------------------------------------------------

TEST(BarTest, MovingTheOnlyBarOutOfALineRemovesTheLine) {
    auto context = makeSongContext();
    Document* document = makeLayout(*context, {{10, {single(4), single(1)}}});
    findBar(document, 4)->setLine(findBar(document, 0)->line());
    EXPECT_EQ(layoutSummary(document), "P0(10): 4[0 1 2 3 4]");
}

TEST(BarTest, MovingABarWithAPartnerIntoASingleLineMakesItDouble) {
    auto context = makeSongContext();
    Document* document = makeLayout(*context, {{10, {single(2), twin(2)}}});
    findBar(document, 2)->setLine(findBar(document, 0)->line());
    // The moved pair keeps its twin and the bars already there get empty twins.
    EXPECT_EQ(layoutSummary(document), "P0(10): 4[0 1 2]+[0 1 2] 4[3]+[3]");
}

TEST(BarTest, MovingABarWithoutPartnerIntoADoubleLineGivesItAnEmptyTwin) {
    auto context = makeSongContext();
    Document* document = makeLayout(*context, {{10, {twin(2), single(2)}}});
    Bar* bar = findBar(document, 2);
    bar->setBarLineType(1282);
    bar->setWidth(99);
    bar->setLine(findBar(document, 0)->line());
    EXPECT_EQ(layoutSummary(document), "P0(10): 4[0 1 2]+[0 1 2] 4[3]");
    const Bar* twin = findBar(document, 2, true);
    EXPECT_EQ(twin->barLineType(), 1282);
    EXPECT_EQ(twin->width(), 99);
}

TEST(BarTest, MovingALowerBarIntoALowerLineMovesThePair) {
    auto context = makeSongContext();
    Document* document = makeLayout(*context, {{10, {twin(2), twin(2)}}});
    findBar(document, 2, true)->setLine(findBar(document, 0, true)->line());
    EXPECT_EQ(layoutSummary(document), "P0(10): 4[0 1 2]+[0 1 2] 4[3]+[3]");
}

TEST(BarTest, DeletingTheOnlyBarOfALineRemovesTheLineExceptWhileUndoing) {
    auto context = makeSongContext();
    Document* document = makeLayout(*context, {{10, {{0, 0}, single(4), {4, 0, false}}}});
    Line* empty = document->pageArray().front()->lineArray()[1];
    ASSERT_TRUE(empty->bars().empty());
    {
        UndoEnabled recording(*context);
        platform::UndoManager& undo = context->undoManager();
        undo.beginUndoGrouping();
        empty->createNewBarWithNumberWidthBarlineType(4, 0, 1280);
        undo.endUndoGrouping();
        EXPECT_EQ(layoutSummary(document), "P0(10): 0[] 4[0 1 2 3] 4[4]");
        undo.undo(); // takes the bar out again and leaves its line as it was
        EXPECT_EQ(layoutSummary(document), "P0(10): 0[] 4[] 4[0 1 2 3]");
        undo.redo();
        EXPECT_EQ(layoutSummary(document), "P0(10): 0[] 4[0 1 2 3] 4[4]");
    }
    // A deletion made while undoing leaves the line: undo restores lines itself.
    {
        UndoEnabled recording(*context);
        platform::UndoManager& undo = context->undoManager();
        Bar* bar = findBar(document, 4);
        undo.beginUndoGrouping();
        undo.registerUndo([&] { context->deleteObject(bar); });
        undo.endUndoGrouping();
        undo.undo();
        EXPECT_TRUE(bar->isDeleted());
        EXPECT_EQ(layoutSummary(document), "P0(10): 0[] 4[] 4[0 1 2 3]");
        undo.redo();
        EXPECT_EQ(layoutSummary(document), "P0(10): 0[] 4[0 1 2 3] 4[4]");
    }
    context->deleteObject(findBar(document, 4));
    context->processPendingChanges();
    EXPECT_EQ(layoutSummary(document), "P0(10): 0[] 4[0 1 2 3]");
}

} // namespace
