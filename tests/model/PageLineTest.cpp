#include "document/TOVDocumentDump.h"
#include "model/Bar.h"
#include "model/Document.h"
#include "model/Line.h"
#include "model/Page.h"
#include "model/TOVSymbolTypes.h"
#include "support/LayoutBuilder.h"
#include "support/SongBuilder.h"

#include <gtest/gtest.h>

#include <functional>

using namespace tovtest;
using namespace TOVDocumentDump;

namespace {

Line* lineOfBar(Document* document, std::uint64_t num) {
    return findBar(document, num)->line();
}

struct LayoutCase {
    const char* name;
    std::vector<PageSpec> layout;
    std::function<void(Document*)> operation;
    const char* expected;
};

class LayoutOperationTest : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(LayoutOperationTest, GivesTheExpectedLayout) {
    const LayoutCase& c = GetParam();
    auto context = makeSongContext();
    Document* document = makeLayout(*context, c.layout);
    c.operation(document);
    EXPECT_EQ(layoutSummary(document), c.expected);
    // Whatever the operation, no line that holds bars is left with partition 0, and every lower line holds
    // a twin of each bar of its upper line.
    for (const Page* page : document->pageArray()) {
        for (const Line* line : page->lineArray()) {
            if (!line->bars().empty()) {
                EXPECT_NE(line->partition(), 0u) << layoutSummary(document);
            }
            if (const Line* lower = line->lower()) {
                EXPECT_EQ(lower->bars().size(), line->bars().size()) << layoutSummary(document);
                for (const Bar* bar : line->bars()) {
                    EXPECT_NE(bar->alternativeBarInDoubleLine(), nullptr) << bar->num();
                }
            }
        }
    }
}

auto adjustLinesOfFirstPage = [](Document* d) { d->pageArray().front()->adjustLines(); };

LineSpec single(int bars = 4) {
    return {4, bars, false};
}
LineSpec twin(int bars = 4) {
    return {4, bars, true};
}

INSTANTIATE_TEST_SUITE_P(
    AdjustLines, LayoutOperationTest,
    ::testing::Values(
        LayoutCase{"ElevenSlotsMoveTheLastSingleLine",
                   {{10, {twin(1), twin(1), twin(1), twin(1), single(1), single(1), single(1)}}},
                   adjustLinesOfFirstPage,
                   "P0(10): 4[0]+[0] 4[1]+[1] 4[2]+[2] 4[3]+[3] 4[4] 4[5] | P1(10): 4[6]"},
        LayoutCase{"TenSlotsStay",
                   {{10, {twin(1), twin(1), twin(1), twin(1), single(1), single(1)}}},
                   adjustLinesOfFirstPage,
                   "P0(10): 4[0]+[0] 4[1]+[1] 4[2]+[2] 4[3]+[3] 4[4] 4[5]"},
        LayoutCase{"ADoubleLineNeverSplitsAcrossPages",
                   {{10,
                     {single(1), single(1), single(1), single(1), single(1), single(1), single(1), single(1),
                      single(1), twin(1)}}},
                   adjustLinesOfFirstPage,
                   "P0(10): 4[0] 4[1] 4[2] 4[3] 4[4] 4[5] 4[6] 4[7] 4[8] | P1(10): 4[9]+[9]"},
        LayoutCase{"FewerSlotsMoveLinesToANewPage",
                   {{10,
                     {single(1), single(1), single(1), single(1), single(1), single(1), single(1), single(1),
                      single(1), single(1)}}},
                   [](Document* d) { d->pageArray().front()->setAPage(8); },
                   "P0(8): 4[0] 4[1] 4[2] 4[3] 4[4] 4[5] 4[6] 4[7] | P1(10): 4[8] 4[9]"},
        LayoutCase{
            "FreeSlotsPullLinesBack",
            {{10, {single(1), single(1), single(1), single(1), single(1), single(1), single(1), single(1)}},
             {10, {single(1), single(1), single(1)}}},
            adjustLinesOfFirstPage,
            "P0(10): 4[0] 4[1] 4[2] 4[3] 4[4] 4[5] 4[6] 4[7] 4[8] 4[9] | P1(10): 4[10]"},
        LayoutCase{
            "APageLeftEmptyIsRemovedAndTheNextMovesUp",
            {{10, {single(1), single(1), single(1), single(1), single(1), single(1), single(1), single(1)}},
             {10, {single(1)}},
             {10, {single(1), single(1)}}},
            adjustLinesOfFirstPage,
            "P0(10): 4[0] 4[1] 4[2] 4[3] 4[4] 4[5] 4[6] 4[7] 4[8] 4[9] | P1(10): 4[10]"},
        LayoutCase{"ADoubleLineThatDoesNotFitStaysBehind",
                   {{10,
                     {single(1), single(1), single(1), single(1), single(1), single(1), single(1), single(1),
                      single(1)}},
                    {10, {twin(1), single(1)}}},
                   adjustLinesOfFirstPage,
                   "P0(10): 4[0] 4[1] 4[2] 4[3] 4[4] 4[5] 4[6] 4[7] 4[8] | P1(10): 4[9]+[9] 4[10]"}),
    [](const auto& info) { return std::string(info.param.name); });

auto adjustBarsOfLineWithBar0 = [](Document* d) { lineOfBar(d, 0)->adjustBars(); };

INSTANTIATE_TEST_SUITE_P(
    AdjustBars, LayoutOperationTest,
    ::testing::Values(LayoutCase{"SurplusBeforeAnotherLineMakesAShortLine",
                                 {{10, {{0, 0}, single(7), single(4)}}},
                                 [](Document* d) { lineOfBar(d, 0)->adjustBars(); },
                                 "P0(10): 0[] 4[0 1 2 3] 3[4 5 6] 4[7 8 9 10]"},
                      LayoutCase{"SurplusOfTheLastLineMakesAFullLine",
                                 {{10, {{0, 0}, single(7)}}},
                                 adjustBarsOfLineWithBar0,
                                 "P0(10): 0[] 4[0 1 2 3] 4[4 5 6]"},
                      LayoutCase{"ALongSurplusIsCutIntoLinesOfFour",
                                 {{10, {{0, 0}, single(13)}}},
                                 adjustBarsOfLineWithBar0,
                                 "P0(10): 0[] 4[0 1 2 3] 4[4 5 6 7] 4[8 9 10 11] 4[12]"},
                      LayoutCase{"MissingBarsAreTakenFromTheNextLine",
                                 {{10, {single(2), single(4)}}},
                                 adjustBarsOfLineWithBar0,
                                 "P0(10): 4[0 1 2 3] 2[4 5]"},
                      LayoutCase{"ANextLineLeftEmptyIsRemoved",
                                 {{10, {single(2), {2, 2, false}, single(4)}}},
                                 adjustBarsOfLineWithBar0,
                                 "P0(10): 4[0 1 2 3] 4[4 5 6 7]"},
                      LayoutCase{"MissingBarsComeFromSeveralLines",
                                 {{10, {{4, 1, false}, {1, 1, false}, {1, 1, false}, single(4)}}},
                                 adjustBarsOfLineWithBar0,
                                 "P0(10): 4[0 1 2 3] 3[4 5 6]"},
                      LayoutCase{"MissingBarsComeFromTheNextPage",
                                 {{10, {single(4), single(2)}}, {10, {single(4)}}},
                                 [](Document* d) { lineOfBar(d, 4)->adjustBars(); },
                                 "P0(10): 4[0 1 2 3] 4[4 5 6 7] | P1(10): 2[8 9]"},
                      LayoutCase{"ADoubleLineGivesItsBarsEmptyTwinsWhenPullingFromASingleLine",
                                 {{10, {twin(2), single(4)}}},
                                 adjustBarsOfLineWithBar0,
                                 "P0(10): 4[0 1 2 3]+[0 1 2 3] 2[4 5]"},
                      LayoutCase{"ASingleLinePullingFromADoubleLineBecomesDoubleWithATwinForEveryBar",
                                 {{10, {single(2), twin(4)}}},
                                 adjustBarsOfLineWithBar0,
                                 "P0(10): 4[0 1 2 3]+[0 1 2 3] 2[4 5]+[4 5]"},
                      LayoutCase{"AShortPartitionNeverWrapsBelowZero",
                                 {{10, {single(2), {1, 3, false}}}},
                                 adjustBarsOfLineWithBar0,
                                 "P0(10): 4[0 1 2 3] 1[4]"},
                      LayoutCase{"PartitionZeroMovesTheBarsToALineOfTheirOwn",
                                 {{10, {single(4), single(4)}}},
                                 [](Document* d) { lineOfBar(d, 0)->setPartition(0); },
                                 "P0(10): 4[0 1 2 3] 4[4 5 6 7]"},
                      LayoutCase{"MovingMoreBarsThanALineHoldsMovesAllAndRemovesIt",
                                 {{10, {single(2), single(2), single(4)}}},
                                 [](Document* d) {
                                     lineOfBar(d, 2)->moveFirstBarsToPreviousLine(lineOfBar(d, 0), 10);
                                 },
                                 "P0(10): 4[0 1 2 3] 4[4 5 6 7]"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PageLineTest, APartitionSetOnALowerLineChangesBothParts) {
    auto context = makeSongContext();
    Document* document = makeLayout(*context, {{10, {twin(4), twin(4)}}});
    Line* lower = findBar(document, 0, true)->line();
    lower->setPartition(3);
    EXPECT_EQ(lower->upper()->partition(), 3u);
    EXPECT_EQ(lower->partition(), 3u);
    EXPECT_EQ(layoutSummary(document), "P0(10): 3[0 1 2]+[0 1 2] 1[3]+[3] 4[4 5 6 7]+[4 5 6 7]");

    lower->setFirstBarLineType(TOVBarlineDotted);
    EXPECT_EQ(lower->upper()->firstBarLineType(), TOVBarlineDotted);
    EXPECT_EQ(lower->firstBarLineType(), TOVBarlineDotted);
    EXPECT_EQ(lower->page(), lower->upper()->page());
}

struct WidthCase {
    const char* name;
    std::uint64_t partition;
    std::vector<double> widths;
    bool reset;
};

class WidthCheckTest : public ::testing::TestWithParam<WidthCase> {};

TEST_P(WidthCheckTest, ResetsWidthsOutsideTheTolerance) {
    const WidthCase& c = GetParam();
    auto context = makeSongContext();
    Document* document = makeLayout(*context, {{10, {{c.partition, int(c.widths.size()), true}}}});
    Line* line = findBar(document, 0)->line();
    for (std::size_t i = 0; i < c.widths.size(); ++i) {
        findBar(document, i)->justSetWidth(c.widths[i]);
        findBar(document, i, true)->justSetWidth(c.widths[i]);
    }
    line->shouldNormalizeAllBarWidthInLine();
    for (std::size_t i = 0; i < c.widths.size(); ++i) {
        const double expected = c.reset ? 0.0 : c.widths[i];
        EXPECT_EQ(findBar(document, i)->width(), expected) << i;
        EXPECT_EQ(findBar(document, i, true)->width(), expected) << i; // the twin follows
    }
}

INSTANTIATE_TEST_SUITE_P(
    Widths, WidthCheckTest,
    ::testing::Values(WidthCase{"FullLineWithinTolerance", 4, {130, 130, 130, 131}, false},
                      WidthCase{"FullLineAtTheTolerance", 4, {130, 130, 130, 132}, false},
                      WidthCase{"FullLineBeyondTolerance", 4, {130, 130, 130, 133}, true},
                      WidthCase{"ShortLineAddsUpToItsShare", 4, {130, 130, 130}, false},
                      WidthCase{"ShortLineBeyondItsShare", 4, {130, 130, 135}, true},
                      WidthCase{"TruncatedExpectedTotal", 3, {172.25, 172.25}, false},
                      WidthCase{"DefaultSharesStay", 4, {0, 0, 0, 0}, false},
                      WidthCase{"OneBarWithoutWidthResetsTheOthers", 4, {130, 130, 130, 0}, true},
                      WidthCase{"PartitionZeroWithBarsCountsTheBars", 0, {260, 260}, false},
                      WidthCase{"PartitionZeroWithBarsBeyondTolerance", 0, {130, 130}, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PageLineTest, FindsNeighbouringLinesAcrossPages) {
    auto context = makeSongContext();
    Document* document =
        makeLayout(*context, {{10, {{0, 0}, single(2), twin(2)}}, {10, {twin(2), single(2)}}});
    Line* header = document->firstDummyLine();
    Line* a = lineOfBar(document, 0);
    Line* b = lineOfBar(document, 2);
    Line* c = lineOfBar(document, 4);
    Line* d = lineOfBar(document, 6);
    EXPECT_EQ(header->nextLine(), nullptr); // a line without bars has no neighbours
    EXPECT_EQ(a->previousLine(), header);
    EXPECT_EQ(a->nextLine(), b);
    EXPECT_EQ(b->nextLine(), c); // across the page
    EXPECT_EQ(c->previousLine(), b);
    EXPECT_EQ(d->nextLine(), nullptr);
    EXPECT_EQ(b->lower()->nextLine(), c->lower());
    EXPECT_EQ(c->lower()->nextLine(), nullptr); // the next line is single
    EXPECT_EQ(c->lower()->previousLine(), b->lower());
    EXPECT_EQ(findBar(document, 3)->nextBar(), findBar(document, 4));
    EXPECT_EQ(findBar(document, 4)->previousBar(), findBar(document, 3));
    EXPECT_EQ(findBar(document, 5, true)->nextBar(), nullptr);
    EXPECT_EQ(findBar(document, 0)->previousBar(), nullptr);
    EXPECT_EQ(findBar(document, 7)->nextBar(), nullptr);
}

TEST(PageLineTest, CountsSlotsAndMakesLowerLines) {
    auto context = makeSongContext();
    Document* document = makeLayout(*context, {{10, {{0, 0}, single(2), twin(2)}}});
    Page* page = document->pageArray().front();
    EXPECT_EQ(page->totalNumberOfLines(), 4u);

    Line* line = lineOfBar(document, 0);
    Line* lower = line->createLowerLineWithCreateEmptyBars(true);
    EXPECT_EQ(line->lower(), lower);
    EXPECT_EQ(lower->upper(), line);
    EXPECT_EQ(line->altarnativePart(), lower);
    EXPECT_EQ(lower->altarnativePart(), line);
    EXPECT_TRUE(lower->isLowerOfDoublePart());
    EXPECT_EQ(page->totalNumberOfLines(), 5u);
    // Asking again gives the same lower line rather than leaving one behind.
    EXPECT_EQ(line->createLowerLineWithCreateEmptyBars(false), lower);
    EXPECT_EQ(countObjects(*context), "Bar=8 Document=1 Line=5 Page=1 Song=1");

    line->removeLowerLine();
    EXPECT_TRUE(lower->isDeleted());
    EXPECT_EQ(line->lower(), nullptr);
    EXPECT_EQ(layoutSummary(document), "P0(10): 0[] 4[0 1] 4[2 3]+[2 3]");
}

TEST(PageLineTest, RemovingABarTakesItsTwinAndEmptiedLines) {
    auto context = makeSongContext();
    Document* document = makeLayout(*context, {{10, {{0, 0}, twin(2), twin(1)}}, {10, {single(1)}}});
    Line* line = lineOfBar(document, 0);
    line->removeBar(findBar(document, 1));
    EXPECT_EQ(layoutSummary(document), "P0(10): 0[] 4[0]+[0] 4[2]+[2] | P1(10): 4[3]");
    Line* last = lineOfBar(document, 3);
    last->removeBar(findBar(document, 3));
    // The line and then the page went with their last bar.
    EXPECT_EQ(layoutSummary(document), "P0(10): 0[] 4[0]+[0] 4[2]+[2]");
    EXPECT_EQ(countObjects(*context), "Bar=4 Document=1 Line=5 Page=1 Song=1");
}

} // namespace
