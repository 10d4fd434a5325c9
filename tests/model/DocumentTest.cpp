#include "model/Document.h"
#include "model/Bar.h"
#include "model/ChordHistory.h"
#include "model/Line.h"
#include "model/Page.h"
#include "model/Song.h"
#include "model/TOVSymbolTypes.h"
#include "support/LayoutBuilder.h"
#include "support/SongBuilder.h"
#include "support/UndoRefreshRecorder.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

using namespace tovtest;

namespace {

TEST(DocumentTest, NumbersChordHistoryInTheOrderOfCreation) {
    TestSong song;
    ChordHistory* a = song.document->createNewChordHistoryWithElemsIndex({0, 6, 70, 17, false}, 7);
    ChordHistory* b = song.document->createNewChordHistoryWithElemsIndex({3, 1, 70, 10, true}, 0);
    EXPECT_EQ(a->index(), 1u);
    EXPECT_EQ(b->index(), 2u);
    EXPECT_EQ(song.document->chordHistoryArray(), (std::vector<ChordHistory*>{a, b}));
    EXPECT_EQ(b->chordElems(), (TOVChordElems{3, 1, 70, 10, true}));
    EXPECT_EQ(a->chordElems().slash, false);
}

TEST(DocumentTest, StartsWithTheDefaultFontAndReportsOnlyRealChanges) {
    TestSong song;
    EXPECT_EQ(song.document->plugInFontID(), "Default");
    EXPECT_EQ(song.document->plugInFontName(), "Default");

    UndoRefreshHarness harness(song.document);
    UndoEnabled recording(*song.context);
    platform::UndoManager& undo = song.context->undoManager();
    undo.beginUndoGrouping();
    song.document->setPlugInFontID("Default"); // the same: nothing stored, nothing reported
    undo.endUndoGrouping();
    EXPECT_FALSE(undo.canUndo());

    undo.beginUndoGrouping();
    song.document->setPlugInFontID("Jazz");
    undo.endUndoGrouping();
    EXPECT_TRUE(harness.current().isEmpty()); // outside undo the buffer records nothing
    undo.undo();
    ASSERT_EQ(harness.refresher.drains.size(), 1u);
    EXPECT_TRUE(harness.refresher.drains[0].documentAllRefresh);
    EXPECT_EQ(song.document->plugInFontID(), "Default");
}

TEST(DocumentTest, RemovingAPageRenumbersThePagesBehindIt) {
    auto context = makeSongContext();
    Document* document =
        makeLayout(*context, {{10, {{0, 0}, {4, 4}}}, {10, {{4, 4}}}, {10, {{4, 4}}}, {10, {{4, 4}}}});
    document->removePage(document->pageArray()[1]);
    EXPECT_EQ(layoutSummary(document),
              "P0(10): 0[] 4[0 1 2 3] | P1(10): 4[8 9 10 11] | P2(10): 4[12 13 14 15]");
}

TEST(DocumentTest, RemovingTheOnlyLineOfAPageRemovesThePageOnce) {
    auto context = makeSongContext();
    Document* document =
        makeLayout(*context, {{10, {{0, 0}, {4, 4}}}, {10, {{4, 4}}}, {10, {{4, 4}}}, {10, {{4, 4}}}});
    Page* second = document->pageArray()[1];
    second->removeLine(second->lineArray().front());
    // The page went with its last line, and the pages behind it moved up by one, not two.
    EXPECT_EQ(layoutSummary(document),
              "P0(10): 0[] 4[0 1 2 3] | P1(10): 4[8 9 10 11] | P2(10): 4[12 13 14 15]");
}

TEST(DocumentTest, LooksUpPagesLinesAndTheLastBar) {
    auto context = makeSongContext();
    Document* document = makeLayout(*context, {{10, {{0, 0}, {4, 4}}}, {10, {{4, 2}}}});
    const std::vector<Page*> pages = document->pageArray();
    EXPECT_EQ(document->nextPageOf(pages[0]), pages[1]);
    EXPECT_EQ(document->nextPageOf(pages[1]), nullptr);
    EXPECT_EQ(document->previousPageOf(pages[0]), nullptr);
    EXPECT_EQ(document->previousPageOf(pages[1]), pages[0]);
    EXPECT_EQ(document->nextPageOf(nullptr), nullptr);
    EXPECT_EQ(document->lastPage(), pages[1]);
    EXPECT_EQ(document->lastLine(), pages[1]->lineArray().back());
    EXPECT_EQ(document->firstDummyLine()->partition(), 0u);
    EXPECT_EQ(document->maxBarNumber(), 5u);
}

// The clef, key and time in force in a bar; key 0 is no key signature.
using Mode = std::tuple<int, int, int>;
using Modes = std::vector<Mode>;

constexpr int kNoKey = 0;
constexpr Mode kTreble44{TOVSymbolClefG, kNoKey, TOVSymbolTime4_4};
constexpr Mode kBass44{TOVSymbolClefF, kNoKey, TOVSymbolTime4_4};

// The inherited clef, key and time of the bars, in order.
Modes modes(const Document* document, bool lower) {
    Modes out;
    for (const Page* page : document->pageArray()) {
        for (const Line* line : page->lineArray()) {
            const Line* part = lower ? line->lower() : line;
            if (!part) {
                continue;
            }
            for (const Bar* bar : part->barArray()) {
                out.emplace_back(bar->clefMode(), bar->keyMode(), bar->timeMode());
            }
        }
    }
    return out;
}

struct InheritanceCase {
    const char* name;
    std::vector<PageSpec> layout;
    std::function<void(Document*)> set; // what the bars set of their own
    Modes upper;
    Modes lower;
};

class InheritanceTest : public ::testing::TestWithParam<InheritanceCase> {};

TEST_P(InheritanceTest, RunsTwoChains) {
    const InheritanceCase& c = GetParam();
    auto context = makeSongContext();
    Document* document = makeLayout(*context, c.layout);
    c.set(document);
    document->updateClefKeyTimeStateForAllBars();
    EXPECT_EQ(modes(document, false), c.upper);
    EXPECT_EQ(modes(document, true), c.lower);
}

const std::vector<PageSpec> kTwoDoubleLines = {{10, {{0, 0}, {2, 2, true}, {2, 2, true}}}};
const std::vector<PageSpec> kSingleThenDouble = {{10, {{0, 0}, {2, 2}, {2, 2, true}}}, {10, {{2, 2, true}}}};

INSTANTIATE_TEST_SUITE_P(
    Chains, InheritanceTest,
    ::testing::Values(InheritanceCase{"NothingSet", kTwoDoubleLines, [](Document*) {}, Modes(4, kTreble44),
                                      Modes(4, kBass44)},
                      InheritanceCase{"UpperSettingsStayInTheUpperChain",
                                      kTwoDoubleLines,
                                      [](Document* d) {
                                          findBar(d, 1)->setClefType(TOVSymbolClefF);
                                          findBar(d, 1)->setKeyType(TOVSymbolKeySharp2);
                                          findBar(d, 2)->setTimeType(TOVSymbolTime3_4);
                                      },
                                      {kTreble44,
                                       {TOVSymbolClefF, TOVSymbolKeySharp2, TOVSymbolTime4_4},
                                       {TOVSymbolClefF, TOVSymbolKeySharp2, TOVSymbolTime3_4},
                                       {TOVSymbolClefF, TOVSymbolKeySharp2, TOVSymbolTime3_4}},
                                      Modes(4, kBass44)},
                      InheritanceCase{
                          "LowerSettingsStayInTheLowerChain",
                          kTwoDoubleLines,
                          [](Document* d) {
                              findBar(d, 0, true)->setClefType(TOVSymbolClefG);
                              findBar(d, 3, true)->setTimeType(TOVSymbolTime6_8);
                          },
                          Modes(4, kTreble44),
                          {kTreble44, kTreble44, kTreble44, {TOVSymbolClefG, kNoKey, TOVSymbolTime6_8}}},
                      InheritanceCase{"ALowerLineStartingLaterTakesThePreviousLowerBar", kSingleThenDouble,
                                      [](Document* d) {
                                          findBar(d, 0)->setTimeType(TOVSymbolTime3_8);
                                          findBar(d, 2, true)->setKeyType(TOVSymbolKeyFlat2);
                                      },
                                      Modes(6, {TOVSymbolClefG, kNoKey, TOVSymbolTime3_8}),
                                      Modes(4, {TOVSymbolClefF, TOVSymbolKeyFlat2, TOVSymbolTime4_4})},
                      InheritanceCase{"TimePassesAcrossLinesAndPagesUntilTheNextTime",
                                      kSingleThenDouble,
                                      [](Document* d) {
                                          findBar(d, 1)->setTimeType(TOVSymbolTime2_4);
                                          findBar(d, 5)->setTimeType(TOVSymbolTimeCommon);
                                      },
                                      {kTreble44,
                                       {TOVSymbolClefG, kNoKey, TOVSymbolTime2_4},
                                       {TOVSymbolClefG, kNoKey, TOVSymbolTime2_4},
                                       {TOVSymbolClefG, kNoKey, TOVSymbolTime2_4},
                                       {TOVSymbolClefG, kNoKey, TOVSymbolTime2_4},
                                       {TOVSymbolClefG, kNoKey, TOVSymbolTimeCommon}},
                                      Modes(4, kBass44)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DocumentTest, ABarAsksForTheInheritedClefAndTimeOnce) {
    TestSong song(true);
    Bar* bar = findBar(song.document, 9, true);
    EXPECT_EQ(bar->inheritedTimeType(), 0);
    // Nothing computed yet: the first question has the document compute every bar.
    EXPECT_EQ(bar->timeMode(), TOVSymbolTime4_4);
    EXPECT_EQ(bar->clefMode(), TOVSymbolClefF);
    EXPECT_EQ(findBar(song.document, 9)->inheritedClefType(), TOVSymbolClefG);
    EXPECT_EQ(bar->keyMode(), 0);
    EXPECT_EQ(bar->length1Beat(), 240u);
    EXPECT_EQ(bar->totalRhythmLength(), 960u);
}

TEST(DocumentTest, NormalizesWidthsOfEveryLineAndLowerLine) {
    TestSong song(true);
    findBar(song.document, 5)->justSetWidth(200);      // upper line 4..7 no longer adds up
    findBar(song.document, 9, true)->justSetWidth(10); // lower line 8..11 neither
    song.document->shouldNormalizeAllBarWidthInDocument();
    for (std::uint64_t n : {4, 5, 6, 7, 8, 9, 10, 11}) {
        EXPECT_EQ(findBar(song.document, n)->width(), 0.0) << n;
        EXPECT_EQ(findBar(song.document, n, true)->width(), 0.0) << n;
    }
    EXPECT_EQ(findBar(song.document, 0)->width(), 130.0);
    EXPECT_EQ(findBar(song.document, 12, true)->width(), 130.0);
}

TEST(DocumentTest, RenumbersPagesBehindANumber) {
    auto context = makeSongContext();
    Document* document = makeLayout(*context, {{10, {{0, 0}}}, {10, {}}, {10, {}}});
    document->incrementPageNumberOfPagesBehindWithLength(0, 3);
    EXPECT_EQ(layoutSummary(document), "P0(10): 0[] | P4(10): | P5(10):");
    document->decrementPageNumberOfPagesBehindWithLength(4, 2);
    EXPECT_EQ(layoutSummary(document), "P0(10): 0[] | P3(10): | P4(10):");
}

} // namespace
