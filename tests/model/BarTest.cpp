#include "model/Bar.h"
#include "document/TOVDocumentDump.h"
#include "model/Chord.h"
#include "model/Document.h"
#include "model/Line.h"
#include "model/Note.h"
#include "model/Page.h"
#include "model/Symbol.h"
#include "model/TOVSymbolTypes.h"
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
        c.set(fromLower ? lower : upper, TOVBarlineDouble);
        EXPECT_EQ(c.get(upper), TOVBarlineDouble)
            << (fromLower ? "from the lower bar" : "from the upper bar");
        EXPECT_EQ(c.get(lower), TOVBarlineDouble)
            << (fromLower ? "from the lower bar" : "from the upper bar");
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
    const Row rows[] = {
        {TOVSymbolTime1_4, 240, 240},   {TOVSymbolTime2_4, 240, 480},    {TOVSymbolTime3_4, 240, 720},
        {TOVSymbolTime4_4, 240, 960},   {TOVSymbolTime5_4, 240, 1200},   {TOVSymbolTime6_4, 240, 1440},
        {TOVSymbolTime7_4, 240, 1680},  {TOVSymbolTime3_8, 120, 360},    {TOVSymbolTime5_8, 120, 600},
        {TOVSymbolTime6_8, 120, 720},   {TOVSymbolTime7_8, 120, 840},    {TOVSymbolTime9_8, 120, 1080},
        {TOVSymbolTime12_8, 120, 1440}, {TOVSymbolTimeCommon, 240, 960}, {TOVSymbolTime1_4 - 1, 0, 0},
        {TOVSymbolTimeCommon + 1, 0, 0}};
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
    findBar(document, 0)->line()->setFirstBarLineType(TOVBarlineRepeatBoth);
    findBar(document, 4)->line()->setFirstBarLineType(TOVBarlineTransparent);
    findBar(document, 0)->setBarLineType(TOVBarlineDotted);
    findBar(document, 1)->setBarLineType(TOVBarlineGreatDouble);
    findBar(document, 3)->setBarLineType(TOVBarlineDouble);
    findBar(document, 4)->setBarLineType(TOVBarlineRepeatForward);
    findBar(document, 2, true)
        ->justSetBarLineType(TOVBarlineRepeatBackward); // the lower bar's own value is not drawn

    struct Row {
        std::uint64_t num;
        bool lower;
        int left;
        int right;
    };
    const Row rows[] = {{0, false, TOVBarlineRepeatBoth, TOVBarlineDotted},
                        {1, false, TOVBarlineDotted, TOVBarlineGreatDouble},
                        {2, false, TOVBarlineGreatDouble, TOVBarlineSingle},
                        {2, true, TOVBarlineGreatDouble, TOVBarlineSingle},
                        {0, true, TOVBarlineRepeatBoth, TOVBarlineDotted},
                        {3, false, TOVBarlineSingle, TOVBarlineDouble},
                        {4, false, TOVBarlineTransparent, TOVBarlineRepeatForward},
                        {5, false, TOVBarlineRepeatForward, TOVBarlineSingle}};
    for (const Row& r : rows) {
        const Bar* bar = findBar(document, r.num, r.lower);
        EXPECT_EQ(bar->leftBarLineType(), r.left) << r.num << (r.lower ? " lower" : "");
        EXPECT_EQ(bar->rightBarLineType(), r.right) << r.num << (r.lower ? " lower" : "");
    }
    // A bar outside any line draws a single barline on its left.
    auto* loose = context->insertNewObject<Bar>("Bar");
    EXPECT_EQ(loose->leftBarLineType(), TOVBarlineSingle);
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
        RepeatModeCase{
            "OneBar", {{1, TOVSymbolRepeatPrevBar1}}, {{1, TOVSymbolRepeatPrevBar1}, {2, 0}, {3, 0}}},
        RepeatModeCase{"TwoBarsReachTheNextBarOnly",
                       {{1, TOVSymbolRepeatPrevBar2}},
                       {{0, 0}, {1, TOVSymbolRepeatPrevBar2}, {2, TOVSymbolRepeatPrevBar2}, {3, 0}}},
        RepeatModeCase{"FourBarsReachThreeBarsAcrossLines",
                       {{3, TOVSymbolRepeatPrevBar4}},
                       {{3, TOVSymbolRepeatPrevBar4},
                        {4, TOVSymbolRepeatPrevBar4},
                        {5, TOVSymbolRepeatPrevBar4},
                        {6, TOVSymbolRepeatPrevBar4},
                        {7, 0}}},
        RepeatModeCase{"TheNearestSignDecides",
                       {{2, TOVSymbolRepeatPrevBar4}, {3, TOVSymbolRepeatPrevBar1}},
                       {{3, TOVSymbolRepeatPrevBar1}, {4, 0}, {5, 0}}},
        RepeatModeCase{
            "TwoBarsAcrossLines", {{7, TOVSymbolRepeatPrevBar2}}, {{8, TOVSymbolRepeatPrevBar2}, {9, 0}}}),
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
    ::testing::Values(
        AdmissionCase{"FourBarRepeatNeedsThreeFollowingBars", 33, nothing, TOVSymbolRepeatPrevBar4, false},
        AdmissionCase{"FourBarRepeatWithThreeFollowingBars", 32, nothing, TOVSymbolRepeatPrevBar4, true},
        AdmissionCase{"FourBarRepeatOverACoveredBar", 0, signIn(3, TOVSymbolRepeatPrevBar1),
                      TOVSymbolRepeatPrevBar4, false},
        AdmissionCase{"TwoBarRepeatInTheLastBar", 35, nothing, TOVSymbolRepeatPrevBar2, false},
        AdmissionCase{"TwoBarRepeatBeforeTheLastBar", 34, nothing, TOVSymbolRepeatPrevBar2, true},
        AdmissionCase{"TwoBarRepeatBeforeACoveredBar", 5, signIn(6, TOVSymbolRepeatPrevBar1),
                      TOVSymbolRepeatPrevBar2, false},
        AdmissionCase{"OneBarRepeatInACoveredBar", 6, signIn(4, TOVSymbolRepeatPrevBar4),
                      TOVSymbolRepeatPrevBar1, false},
        AdmissionCase{"OneBarRepeatInAFreeBar", 6, signIn(2, TOVSymbolRepeatPrevBar4),
                      TOVSymbolRepeatPrevBar1, true},
        AdmissionCase{"LongRestInAnEmptyBar", 5, nothing, TOVSymbolLongRest, true},
        AdmissionCase{"LongRestWithANote", 5,
                      [](platform::ManagedObjectContext& ctx, Document* d) {
                          ctx.insertNewObject<Note>("Note")->setBar(findBar(d, 5));
                      },
                      TOVSymbolLongRest, false},
        AdmissionCase{"LongRestWithAChord", 5,
                      [](platform::ManagedObjectContext& ctx, Document* d) {
                          ctx.insertNewObject<Chord>("Chord")->setBar(findBar(d, 5));
                      },
                      TOVSymbolLongRest, false},
        AdmissionCase{"LongRestWithADynamicsMark", 5, signIn(5, TOVSymbolDynamicsMF), TOVSymbolLongRest,
                      false},
        AdmissionCase{"LongRestWithARehearsalMark", 5, signIn(5, TOVSymbolMarkIntro), TOVSymbolLongRest,
                      true},
        AdmissionCase{"LongRestOverALongRest", 5, longRestIn5, TOVSymbolLongRest, false},
        AdmissionCase{"DynamicsInABarWithALongRest", 5, longRestIn5, TOVSymbolDynamicsFFF, false},
        AdmissionCase{"DynamicsInABarWithoutALongRest", 4, longRestIn5, TOVSymbolDynamicsFFF, true},
        AdmissionCase{"ArticulationInABarWithALongRest", 5, longRestIn5, TOVSymbolFermata, false},
        AdmissionCase{"TempoMarkInABarWithALongRest", 5, longRestIn5, TOVSymbolRit, false},
        AdmissionCase{"SpeedInABarWithALongRest", 5, longRestIn5, TOVSymbolTempoSpeed, true},
        AdmissionCase{"UnknownCode", 5, longRestIn5, 0x1234, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BarTest, ListsItsGroupOneSymbols) {
    TestSong song;
    Bar* bar = findBar(song.document, 1);
    Symbol* dynamics = bar->createNewSymbolWithTypeFrame(TOVSymbolDynamicsF, {});
    bar->createNewSymbolWithTypeFrame(TOVSymbolMarkIntro, {});
    bar->createNewSymbolWithTypeFrame(TOVSymbolTempoSpeed, {});
    Symbol* octave = bar->createNewSymbolWithTypeFrame(TOVSymbolOctave8vaBassa, {});
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
    bar->setBarLineType(TOVBarlineGreatDouble);
    bar->setWidth(99);
    bar->setLine(findBar(document, 0)->line());
    EXPECT_EQ(layoutSummary(document), "P0(10): 4[0 1 2]+[0 1 2] 4[3]");
    const Bar* twin = findBar(document, 2, true);
    EXPECT_EQ(twin->barLineType(), TOVBarlineGreatDouble);
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
        empty->createNewBarWithNumberWidthBarlineType(4, 0, TOVBarlineSingle);
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
