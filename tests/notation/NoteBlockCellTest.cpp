#include "notation/TOVNoteBlockCell.h"

#include "model/Bar.h"
#include "model/Note.h"
#include "model/NoteUnit.h"
#include "model/TOVUnitTypes.h"
#include "platform/data/ManagedObjectContext.h"
#include "platform/graphics/RecordingGraphicsContext.h"
#include "support/LayoutBuilder.h"
#include "support/SongBuilder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using namespace tovtest;

namespace {

struct BlockSong {
    TestSong song{false};
    platform::ManagedObjectContext& context = *song.context;
    Bar* bar = findBar(song.document, 1);

    Note* melo(std::uint64_t from, std::uint64_t length) {
        Note* note = bar->createNewSingleMeloFromLengthLevel(from, length, 0);
        context.processPendingChanges();
        return note;
    }
    Note* rest(std::uint64_t from, std::uint64_t length) {
        Note* note = bar->createNewSingleRestFromLength(from, length);
        context.processPendingChanges();
        return note;
    }
    Note* slash(std::uint64_t from, std::uint64_t length) {
        Note* note = bar->createNewSingleSlashFromLength(from, length);
        context.processPendingChanges();
        return note;
    }
};

// A block as the bar view lays it out: 100 points wide from x 20.
TOVNoteBlockCell blockOf(std::vector<Note*> notes) {
    TOVNoteBlockCell block(std::move(notes));
    block.setFrame(platform::Rect{20, 0, 100, 60});
    return block;
}

// ---- Tables
// ------------------------------------------------------------------------------------------------

TEST(NoteBlockCellTest, SpacingTable) {
    struct Row {
        std::uint64_t n;
        double coefficient;
        double restPadding;
        double notePadding;
    };
    const Row rows[] = {
        {30, 1.2, 0.0, 0.0},
        {60, 1.4, 0.0, 0.0},
        {90, 1.6, 0.0, 0.0},
        {120, 2.0, 0.1, 0.1},
        {180, 2.4, 0.1, 0.1},
        {210, 2.8, 0.1, 0.1},
        {240, 4.0, 0.15, 0.15},
        {360, 6.0, 0.15, 0.15},
        {420, 7.0, 0.15, 0.15},
        {480, 8.0, 0.15, 0.15},
        {720, 9.0, 0.15, 0.15},
        {840, 10.0, 0.15, 0.15},
        {960, 16.0, 0.45, 0.05},
        // Lengths in no row: tuplet member lengths, the one-beat slash, nothing at all.
        {0, 1.0, 0.0, 0.0},
        {40, 1.0, 0.0, 0.0},
        {80, 1.0, 0.0, 0.0},
        {640, 1.0, 0.0, 0.0},
        {TOVLengthBeat, 1.0, 0.0, 0.0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.n);
        EXPECT_DOUBLE_EQ(TOVNoteBlockCell::coefficientXForUnitLength(row.n), row.coefficient);
        EXPECT_DOUBLE_EQ(TOVNoteBlockCell::paddingRatioForRestForUnitLength(row.n), row.restPadding);
        EXPECT_DOUBLE_EQ(TOVNoteBlockCell::paddingRatioForNoteForUnitLength(row.n), row.notePadding);
    }
}

// ---- Lone values
// -------------------------------------------------------------------------------------------

TEST(NoteBlockCellTest, LoneValuesArePaddedIntoTheirShare) {
    struct Case {
        const char* name;
        int kind; // 0 note, 1 rest, 2 slash
        std::uint64_t length;
        double score;
        double x;
    };
    const Case cases[] = {
        {"quarter note", 0, 240, 4.0, 20 + 15.0},
        {"whole note", 0, 960, 16.0, 20 + 5.0},
        {"whole rest", 1, 960, 16.0, 20 + 45.0},
        {"half rest", 1, 480, 8.0, 20 + 15.0},
        {"eighth note", 0, 120, 2.0, 20 + 10.0},
        {"dotted eighth rest", 1, 180, 2.4, 20 + 10.0},
        {"quarter slash", 2, 240, 4.0, 20 + 15.0},
        // Below an eighth nothing is padded.
        {"sixteenth note", 0, 60, 1.4, 20},
        {"sixteenth rest", 1, 60, 1.4, 20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BlockSong s;
        Note* note = c.kind == 0   ? s.melo(0, c.length)
                     : c.kind == 1 ? s.rest(0, c.length)
                                   : s.slash(0, c.length);
        ASSERT_NE(note, nullptr);
        auto block = blockOf({note});
        EXPECT_DOUBLE_EQ(block.totalScore(), c.score);
        EXPECT_EQ(block.totalLength(), c.length);
        EXPECT_DOUBLE_EQ(block.widthForUnit(note->firstUnit()), 100.0);
        EXPECT_DOUBLE_EQ(block.xPosForUnit(note->firstUnit()), c.x);
    }
}

TEST(NoteBlockCellTest, OneBeatSlashScoresOneAndIsNotPadded) {
    BlockSong s;
    Note* slash = s.bar->createNewBeatSlashFrom(0);
    s.context.processPendingChanges();
    ASSERT_NE(slash, nullptr);
    Note* quarter = s.melo(240, 240);
    auto block = blockOf({slash, quarter});
    EXPECT_DOUBLE_EQ(block.totalScore(), 5.0);
    EXPECT_EQ(block.totalLength(), 480u);
    EXPECT_DOUBLE_EQ(block.xPosForUnit(slash->firstUnit()), 20.0);
    // The quarter's share is 4/5 of the width, starting at 1/5.
    EXPECT_DOUBLE_EQ(block.xPosForUnit(quarter->firstUnit()), 20 + 20 + 0.15 * 80);
}

// ---- Runs
// --------------------------------------------------------------------------------------------------

TEST(NoteBlockCellTest, BeamedEighthsAndAQuarter) {
    BlockSong s;
    Note* first = s.melo(0, 120);
    Note* second = s.melo(120, 120);
    Note* beamed = s.bar->makeBeamOn({first, second});
    s.context.processPendingChanges();
    ASSERT_NE(beamed, nullptr);
    ASSERT_EQ(beamed->unitArray().size(), 2u);
    Note* quarter = s.melo(240, 240);

    auto block = blockOf({beamed, quarter});
    EXPECT_DOUBLE_EQ(block.totalScore(), 8.0);
    EXPECT_EQ(block.totalLength(), 480u);
    const auto units = beamed->unitArray();
    EXPECT_DOUBLE_EQ(block.scoreForUnit(units[0]), 0.0);
    EXPECT_DOUBLE_EQ(block.scoreForUnit(units[1]), 2.0);
    EXPECT_DOUBLE_EQ(block.scoreForUnit(quarter->firstUnit()), 4.0);
    // The eighths' note is not single, so they stand at the left edges of their shares.
    EXPECT_DOUBLE_EQ(block.xPosForUnit(units[0]), 20.0);
    EXPECT_DOUBLE_EQ(block.xPosForUnit(units[1]), 20.0 + 25.0);
    EXPECT_DOUBLE_EQ(block.xPosForUnit(quarter->firstUnit()), 20.0 + 57.5);
    EXPECT_DOUBLE_EQ(block.widthForUnit(quarter->firstUnit()), 50.0);
}

TEST(NoteBlockCellTest, BeamedSixteenthsAreNotPadded) {
    BlockSong s;
    std::vector<Note*> notes;
    for (std::uint64_t t = 0; t < 240; t += 60) {
        notes.push_back(s.melo(t, 60));
    }
    Note* beamed = s.bar->makeBeamOn(notes);
    s.context.processPendingChanges();
    ASSERT_NE(beamed, nullptr);
    auto block = blockOf({beamed});
    EXPECT_DOUBLE_EQ(block.totalScore(), 5.6);
    const auto units = beamed->unitArray();
    ASSERT_EQ(units.size(), 4u);
    for (std::size_t i = 0; i < units.size(); ++i) {
        EXPECT_DOUBLE_EQ(block.xPosForUnit(units[i]), 20.0 + 25.0 * i);
    }
}

TEST(NoteBlockCellTest, TupletMembersShareTheRoomOfTheValueTheyReplace) {
    BlockSong s;
    Note* triplet = s.bar->createNewTripletFromLengthUnitsLevelKind(0, {80, 80, 80}, 0, 0);
    Note* sextuplet = s.bar->createNewSextupletFromLengthUnitsLevelKind(240, {40, 40, 40, 40, 40, 40}, 0, 0);
    Note* quarter = s.melo(480, 240);
    ASSERT_NE(triplet, nullptr);
    ASSERT_NE(sextuplet, nullptr);

    auto block = blockOf({triplet, sextuplet, quarter});
    // Three triplet eighths score as a quarter together, and so do six sextuplet sixteenths.
    EXPECT_DOUBLE_EQ(block.totalScore(), 12.0);
    EXPECT_EQ(block.totalLength(), 720u);
    const auto t = triplet->unitArray();
    EXPECT_DOUBLE_EQ(block.xPosForUnit(t[1]), 20.0 + 100.0 / 9);
    const auto x = sextuplet->unitArray();
    EXPECT_NEAR(block.xPosForUnit(x[0]), 20.0 + 100.0 / 3, 1e-9);
    EXPECT_NEAR(block.xPosForUnit(x[3]), 20.0 + 100.0 / 3 + 100.0 / 6, 1e-9);
    EXPECT_NEAR(block.xPosForUnit(quarter->firstUnit()), 20.0 + 200.0 / 3 + 0.15 * 100.0 / 3, 1e-9);
}

TEST(NoteBlockCellTest, UnitsOutsideTheBlock) {
    BlockSong s;
    Note* inside = s.melo(0, 240);
    Note* outside = s.melo(480, 240);
    Note* beamedA = s.melo(720, 120);
    Note* beamedB = s.melo(840, 120);
    Note* beamed = s.bar->makeBeamOn({beamedA, beamedB});
    s.context.processPendingChanges();
    auto block = blockOf({inside});

    EXPECT_TRUE(block.doesIncludeUnit(inside->firstUnit()));
    EXPECT_FALSE(block.doesIncludeUnit(outside->firstUnit()));
    EXPECT_FALSE(block.doesIncludeUnit(nullptr));
    EXPECT_DOUBLE_EQ(block.scoreForUnit(outside->firstUnit()), 0.0);
    // A foreign lone quarter still gets the padding of its own score.
    EXPECT_DOUBLE_EQ(block.xPosForUnit(outside->firstUnit()), 20.0 + 0.15 * 100.0);
    EXPECT_DOUBLE_EQ(block.xPosForUnit(beamed->lastUnit()), 20.0);
}

TEST(NoteBlockCellTest, TotalsFollowTheNotesOnlyWhenAsked) {
    BlockSong s;
    Note* note = s.melo(0, 240);
    auto block = blockOf({note});
    ASSERT_DOUBLE_EQ(block.totalScore(), 4.0);
    note->firstUnit()->setType(NoteUnit::GroupNote | 480);
    note->firstUnit()->setDuration(480);
    s.context.processPendingChanges();
    EXPECT_DOUBLE_EQ(block.totalScore(), 4.0);
    EXPECT_EQ(block.totalLength(), 240u);
    block.updateTotalScore();
    EXPECT_DOUBLE_EQ(block.totalScore(), 8.0);
    EXPECT_EQ(block.totalLength(), 480u);
}

TEST(NoteBlockCellTest, DrawsATranslucentGreenBox) {
    TOVNoteBlockCell block({});
    EXPECT_DOUBLE_EQ(block.totalScore(), 0.0);
    EXPECT_DOUBLE_EQ(block.xPosForUnit(nullptr), 0.0);
    platform::RecordingGraphicsContext ctx;
    const platform::Rect r{5, 6, 30, 40};
    block.drawWithFrameInView(r, ctx);
    const auto& calls = ctx.calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].kind, platform::DrawingCall::Kind::FillRect);
    EXPECT_EQ(calls[0].rect, r);
    EXPECT_EQ(calls[0].color, (platform::Color{0.77, 0.86, 0.65, 0.5}));
    EXPECT_EQ(calls[1].kind, platform::DrawingCall::Kind::FrameRect);
    EXPECT_EQ(calls[1].lineWidth, 1.0);
    EXPECT_EQ(calls[1].color, (platform::Color{0.67, 0.76, 0.55, 0.5}));
}

} // namespace

namespace {

TEST(NoteBlockCellTest, ABarIsCutIntoRunsWithoutGaps) {
    BlockSong s;
    Note* a = s.melo(0, 240);
    Note* b = s.melo(240, 240);
    Note* c = s.melo(720, 240);
    // The grid of a 4/4 bar 96 points wide from x 10: 0.1 points per tick.
    const auto grid = [](const NoteUnit* unit) { return 10.0 + unit->timing() * 0.1; };
    const auto blocks = TOVNoteBlockCell::blocksFromNoteArray(s.bar->noteArray(), 0.1, grid, 70.0);
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_EQ(blocks[0].notesArray(), (std::vector<Note*>{a, b}));
    EXPECT_EQ(blocks[0].frame(), (platform::Rect{10, 0, 48, 70}));
    EXPECT_EQ(blocks[1].notesArray(), (std::vector<Note*>{c}));
    EXPECT_EQ(blocks[1].frame(), (platform::Rect{82, 0, 24, 70}));
    EXPECT_DOUBLE_EQ(blocks[1].xPitchPerLength(), 0.1);

    EXPECT_DOUBLE_EQ(TOVNoteBlockCell::xPosForUnitInBlocks(blocks, b->firstUnit()),
                     10.0 + 24.0 + 0.15 * 24.0);
    EXPECT_DOUBLE_EQ(TOVNoteBlockCell::xPosForUnitInBlocks(blocks, c->firstUnit()), 82.0 + 0.15 * 24.0);
    // Before any block is built, or for a unit of no block, the answer is 0.
    EXPECT_DOUBLE_EQ(TOVNoteBlockCell::xPosForUnitInBlocks({}, a->firstUnit()), 0.0);
    EXPECT_TRUE(TOVNoteBlockCell::blocksFromNoteArray({}, 0.1, grid, 70.0).empty());
}

TEST(NoteBlockCellTest, ARunStartingLateInTheBarIsOneBlock) {
    BlockSong s;
    Note* a = s.rest(480, 120);
    Note* b = s.melo(600, 360);
    const auto blocks = TOVNoteBlockCell::blocksFromNoteArray(
        s.bar->noteArray(), 0.1, [](const NoteUnit* unit) { return unit->timing() * 0.1; }, 70.0);
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(blocks[0].notesArray(), (std::vector<Note*>{a, b}));
    EXPECT_EQ(blocks[0].frame(), (platform::Rect{48, 0, 48, 70}));
}

} // namespace

namespace {

// A note that lost its units (a damaged file) scores nothing; its block must not divide by that nothing.
TEST(NoteBlockCellTest, ABlockWithoutScoreKeepsItsUnitsAtItsLeftEdge) {
    BlockSong s;
    auto* empty = s.context.insertNewObject<Note>("Note");
    empty->setBar(s.bar);
    s.context.processPendingChanges();
    Note* other = s.melo(0, 240);
    auto block = blockOf({empty});
    EXPECT_DOUBLE_EQ(block.totalScore(), 0.0);
    EXPECT_EQ(block.totalLength(), 0u);
    EXPECT_DOUBLE_EQ(block.widthForUnit(other->firstUnit()), 0.0);
    EXPECT_DOUBLE_EQ(block.xPosForUnit(other->firstUnit()), 20.0);
}

} // namespace
