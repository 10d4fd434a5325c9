#include "support/SongBuilder.h"
#include "document/TOVDocumentDump.h"
#include "model/Bar.h"
#include "model/Document.h"
#include "model/Line.h"
#include "model/Page.h"
#include "model/Song.h"
#include "model/TOVSymbolTypes.h"
#include "support/LayoutBuilder.h"

#include <gtest/gtest.h>

using namespace tovtest;
using namespace TOVDocumentDump;

namespace {

struct NewSongCase {
    bool doubleRow;
    const char* layout;
    const char* objects;
};

class NewSongTest : public ::testing::TestWithParam<NewSongCase> {};

TEST_P(NewSongTest, HasTheDefaultLayout) {
    const NewSongCase& c = GetParam();
    TestSong song(c.doubleRow);
    Document* document = song.document;

    EXPECT_EQ(layoutSummary(document), c.layout);
    EXPECT_EQ(countObjects(*song.context), c.objects);
    EXPECT_EQ(document->barNumberShow(), 0u);
    EXPECT_TRUE(document->hasValue("barNumberShow")); // written, not left unset
    ASSERT_NE(document->song(), nullptr);
    EXPECT_EQ(document->song()->isDoubleRow(), c.doubleRow);

    const std::vector<Line*> lines = document->pageArray().front()->lineArray();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), document->firstDummyLine());
    EXPECT_EQ(lines.front()->firstBarLineType(), 0);
    EXPECT_EQ(lines.front()->partition(), 0u);
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const int expected = i == 1 ? TOVBarlineTransparent : TOVBarlineSingle;
        EXPECT_EQ(lines[i]->firstBarLineType(), expected) << "line " << i;
        if (const Line* lower = lines[i]->lower()) {
            EXPECT_EQ(lower->firstBarLineType(), expected);
            EXPECT_EQ(lower->partition(), 4u);
        }
        for (const Bar* bar : lines[i]->bars()) {
            EXPECT_EQ(bar->width(), 130.0);
            EXPECT_EQ(bar->barLineType(), TOVBarlineSingle);
        }
    }
    EXPECT_EQ(document->maxBarNumber(), c.doubleRow ? 15u : 35u);
    // Built with undo registration off: nothing to undo.
    EXPECT_FALSE(song.context->undoManager().canUndo());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, NewSongTest,
    ::testing::Values(
        NewSongCase{false,
                    "P0(10): 0[] 4[0 1 2 3] 4[4 5 6 7] 4[8 9 10 11] 4[12 13 14 15] 4[16 17 18 19] "
                    "4[20 21 22 23] 4[24 25 26 27] 4[28 29 30 31] 4[32 33 34 35]",
                    "Bar=36 Document=1 Line=10 Page=1 Song=1"},
        NewSongCase{true,
                    "P0(10): 0[] 4[0 1 2 3]+[0 1 2 3] 4[4 5 6 7]+[4 5 6 7] 4[8 9 10 11]+[8 9 10 11] "
                    "4[12 13 14 15]+[12 13 14 15]",
                    "Bar=32 Document=1 Line=9 Page=1 Song=1"}));

TEST(DocumentDumpTest, IsTheSameForTheSameSongAndShowsEveryChange) {
    TestSong a(true);
    TestSong b(true);
    EXPECT_EQ(dumpDocument(a.document), dumpDocument(b.document));
    EXPECT_EQ(dumpDocument(a.document), dumpDocument(a.document));

    findBar(b.document, 5, true)->justSetHeight(12.5); // the lower twin only
    EXPECT_NE(dumpDocument(a.document), dumpDocument(b.document));
}

TEST(DocumentDumpTest, DoesNotDependOnTheOrderOfSetMembers) {
    TestSong a;
    TestSong b;
    Bar* barA = findBar(a.document, 2);
    Bar* barB = findBar(b.document, 2);
    barA->createNewSymbolWithTypeFrame(TOVSymbolDynamicsFFF, {1, 2, 3, 4});
    barA->createNewSymbolWithTypeFrame(TOVSymbolDynamicsFF, {5, 6, 7, 8});
    barB->createNewSymbolWithTypeFrame(TOVSymbolDynamicsFF, {5, 6, 7, 8});
    barB->createNewSymbolWithTypeFrame(TOVSymbolDynamicsFFF, {1, 2, 3, 4});
    EXPECT_EQ(dumpDocument(a.document), dumpDocument(b.document));
}

TEST(DocumentDumpTest, MarksAStaleCache) {
    TestSong song;
    Bar* bar = findBar(song.document, 0);
    // Writing the store behind the entity's back leaves its cache stale.
    bar->setValue("width", 99.0);
    EXPECT_NE(dumpDocument(song.document).find("!cache(width)"), std::string::npos);
}

} // namespace
