#include "model/Bar.h"
#include "model/Document.h"
#include "model/Song.h"
#include "model/SymbolTools.h"
#include "model/TOVPboardBars.h"
#include "model/TOVSymbolTypes.h"
#include "platform/data/ManagedObjectContext.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "support/LayoutBuilder.h"
#include "support/SongBuilder.h"
#include "support/UndoRefreshRecorder.h"

#include <gtest/gtest.h>

using namespace tovtest;

namespace {

TEST(TOVManagedObjectTest, StartsAndStopsObservingOnce) {
    TestSong song;
    UndoRefreshHarness harness(song.document);
    Bar* bar = findBar(song.document, 0);
    EXPECT_TRUE(bar->observeON()); // started on insert
    EXPECT_TRUE(bar->stopObserving());
    EXPECT_FALSE(bar->stopObserving());
    EXPECT_TRUE(bar->startObserving());
    EXPECT_FALSE(bar->startObserving());

    // Observing twice still reports a change once.
    UndoEnabled recording(*song.context);
    platform::UndoManager& undo = song.context->undoManager();
    undo.beginUndoGrouping();
    bar->setLongRest(2);
    undo.endUndoGrouping();
    undo.undo();
    ASSERT_EQ(harness.refresher.drains.size(), 1u);
    EXPECT_EQ(harness.refresher.drains[0].bars, (std::vector<Bar*>{bar}));

    // Without observation nothing is reported.
    bar->stopObserving();
    undo.redo();
    ASSERT_EQ(harness.refresher.drains.size(), 2u);
    EXPECT_TRUE(harness.refresher.drains[1].bars.empty());
    // The song header observes nothing.
    EXPECT_FALSE(song.document->song()->startObserving());
}

TEST(TOVManagedObjectTest, ReportsAfterUndoOnlyWhenObservationHadBeenOff) {
    TestSong song;
    UndoRefreshHarness harness(song.document);
    SymbolTools* tool = song.document->createNewSymbolToolsWithTypeFrame(TOVToolArrow, {1, 1, 1, 1});
    UndoEnabled recording(*song.context);
    platform::UndoManager& undo = song.context->undoManager();

    // A link changes, no observed attribute: the tool stays observed and posts nothing.
    undo.beginUndoGrouping();
    tool->setBarFollowsTo(findBar(song.document, 2));
    undo.endUndoGrouping();
    undo.undo();
    ASSERT_EQ(harness.refresher.drains.size(), 1u);
    EXPECT_TRUE(harness.refresher.drains[0].symbols.empty());

    // Deleted, it leaves the graph and stops observing; brought back, it starts again and posts.
    undo.beginUndoGrouping();
    song.document->removeSymbol(tool);
    undo.endUndoGrouping();
    EXPECT_FALSE(tool->observeON());
    undo.undo();
    ASSERT_EQ(harness.refresher.drains.size(), 2u);
    EXPECT_TRUE(tool->observeON());
    EXPECT_EQ(harness.refresher.drains[1].symbols, (std::vector<Symbol*>{tool}));
    EXPECT_TRUE(harness.refresher.drains[1].documentSymbolsRefresh);
}

TEST(TOVManagedObjectTest, KnowsWhenItsContextUndoes) {
    TestSong song;
    Bar* bar = findBar(song.document, 0);
    EXPECT_FALSE(bar->isUndoRedoing());
    UndoEnabled recording(*song.context);
    platform::UndoManager& undo = song.context->undoManager();
    bool duringUndo = false;
    bool duringRedo = false;
    undo.beginUndoGrouping();
    undo.registerUndo([&] {
        duringUndo = bar->isUndoRedoing();
        undo.registerUndo([&] { duringRedo = bar->isUndoRedoing(); });
    });
    undo.endUndoGrouping();
    undo.undo();
    undo.redo();
    EXPECT_TRUE(duringUndo);
    EXPECT_TRUE(duringRedo);
    EXPECT_FALSE(bar->isUndoRedoing());
}

TEST(TOVPboardBarsTest, SurvivesTheArchive) {
    TOVSnapshotObject::registerArchiveClasses();
    TestSong song(true);
    findBar(song.document, 1)->createNewSymbolWithTypeFrame(TOVSymbolDynamicsFFF, {1, 2, 3, 4});
    findBar(song.document, 1)->setBarLineType(TOVBarlineDotted);
    findBar(song.document, 1)->setWidth(100.1);
    TOVPboardBars::Bars upper;
    for (std::uint64_t n : {1, 2}) {
        upper.emplace_back(static_cast<BarSnapShot*>(findBar(song.document, n)->createSnapShot().release()));
    }
    for (bool preferLower : {true, false}) {
        TOVPboardBars container;
        TOVPboardBars::Bars copy;
        for (const auto& bar : upper) {
            auto again = platform::KeyedUnarchiver::unarchivedObjectOfClass<BarSnapShot>(
                platform::KeyedArchiver::archivedDataWithRootObject(*bar));
            ASSERT_NE(again, nullptr);
            copy.push_back(std::move(again));
        }
        container.setUpperBars(std::move(copy));
        container.setPreferLower(preferLower);
        const auto data = platform::KeyedArchiver::archivedDataWithRootObject(container);
        auto read = platform::KeyedUnarchiver::unarchivedObjectOfClass<TOVPboardBars>(data);
        ASSERT_NE(read, nullptr);
        EXPECT_EQ(read->preferLower(), preferLower);
        EXPECT_TRUE(read->lowerBars().empty());
        ASSERT_EQ(read->upperBars().size(), 2u);
        const BarSnapShot& first = *read->upperBars()[0];
        EXPECT_EQ(first.num(), 1u);
        EXPECT_EQ(first.barLineTypeRight(), TOVBarlineDotted);
        EXPECT_EQ(first.barLineTypeLeft(), TOVBarlineSingle); // the right barline of the bar before
        EXPECT_EQ(first.width(), double(100.1f));
        ASSERT_EQ(first.symbolArray().size(), 1u);
        EXPECT_EQ(first.symbolArray()[0]->type(), TOVSymbolDynamicsFFF);
        EXPECT_EQ(read->upperBars()[1]->barLineTypeLeft(), TOVBarlineDotted);
    }
}

TEST(TOVPboardBarsTest, ReadsMissingKeysAsEmpty) {
    TOVSnapshotObject::registerArchiveClasses();
    platform::KeyedArchiver archiver;
    // An archive of a container that wrote nothing.
    struct Empty : platform::Coding {
        std::string_view archiveClassName() const override { return "TOVPboardBars"; }
        void encodeWithCoder(platform::KeyedArchiver&) const override {}
        void initWithCoder(platform::KeyedUnarchiver&) override {}
    } empty;
    auto read = platform::KeyedUnarchiver::unarchivedObjectOfClass<TOVPboardBars>(
        platform::KeyedArchiver::archivedDataWithRootObject(empty));
    ASSERT_NE(read, nullptr);
    EXPECT_FALSE(read->preferLower());
    EXPECT_TRUE(read->upperBars().empty());
    EXPECT_TRUE(read->lowerBars().empty());
}

} // namespace
