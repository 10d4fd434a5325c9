#include "model/BarSnapShot.h"
#include "model/Bar.h"
#include "model/Chord.h"
#include "model/Document.h"
#include "model/Line.h"
#include "model/Note.h"
#include "model/NoteTone.h"
#include "model/NoteUnit.h"
#include "model/Symbol.h"
#include "model/SymbolToolsSnapShot.h"
#include "model/TOVSymbolTypes.h"
#include "model/Tie.h"
#include "platform/data/ManagedObjectContext.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "support/LayoutBuilder.h"
#include "support/SongBuilder.h"

#include <gtest/gtest.h>

#include <string>

using namespace tovtest;

namespace {

struct Song {
    explicit Song(bool doubleRow = false) : song(doubleRow) {}
    TestSong song;
    Document* d = song.document;
    platform::ManagedObjectContext& context = *song.context;

    Bar* bar(std::uint64_t num, bool lower = false) { return findBar(d, num, lower); }
    Note* melo(Bar* b, std::uint64_t from, std::uint64_t length, std::int64_t level = 1) {
        Note* note = b->createNewSingleMeloFromLengthLevel(from, length, level);
        context.processPendingChanges();
        return note;
    }
};

NoteTone* toneOf(const Note* note) {
    return note->firstUnit()->toneArray().front();
}

std::unique_ptr<BarSnapShot> archived(const Bar* bar) {
    const auto snapshot = bar->createSnapShot();
    const auto data = platform::KeyedArchiver::archivedDataWithRootObject(*snapshot);
    return platform::KeyedUnarchiver::unarchivedObjectOfClass<BarSnapShot>(data);
}

std::vector<std::uint64_t> timings(const Bar* bar) {
    std::vector<std::uint64_t> out;
    for (const Note* note : bar->noteArray()) {
        out.push_back(note->timing());
    }
    return out;
}

std::vector<std::uint64_t> chordTimings(const Bar* bar) {
    std::vector<std::uint64_t> out;
    for (const Chord* chord : bar->chordArray()) {
        out.push_back(chord->timing());
    }
    return out;
}

// Bar 2: a chord, a half note tied into bar 3, and a symbol; bar 3: the half note the tie reaches.
void fillTiedPair(Song& s) {
    Bar* b2 = s.bar(2);
    b2->createNewChordWithElemsTiming({5, 7, 3, 17, false}, 480);
    s.melo(b2, 0, 480);
    Note* tied = s.melo(b2, 480, 480);
    b2->createNewSymbolWithTypeFrame(1, {1, 2, 3, 4});
    Note* reached = s.melo(s.bar(3), 0, 240);
    ASSERT_NE(toneOf(tied)->createNewTie(), nullptr);
    ASSERT_EQ(toneOf(tied)->tieRight()->toneRight(), toneOf(reached));
    b2->setWidth(180);
    s.context.processPendingChanges();
}

// ---- Snapshot, archive and restore
// --------------------------------------------------------------------------

TEST(BarSnapShotTest, RestoreAtAnotherNumberBringsEverythingAndRemakesTies) {
    Song s;
    fillTiedPair(s);
    const auto first = archived(s.bar(2));
    const auto second = archived(s.bar(3));
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->num(), 2u);
    EXPECT_EQ(first->width(), 180.0);

    Bar* t1 = s.bar(10);
    Bar* t2 = s.bar(11);
    s.melo(t1, 0, 960); // replaced by the restore
    t1->restoreFromSnapShotChordNoteNum(first.get(), true, true, 10);
    t2->restoreFromSnapShotChordNoteNum(second.get(), true, true, 11);
    s.context.processPendingChanges();
    // The tie waits until every pasted bar is there.
    Note* tiedCopy = t1->noteArray().at(1);
    EXPECT_TRUE(toneOf(tiedCopy)->needCreateTie());
    EXPECT_EQ(toneOf(tiedCopy)->tieRight(), nullptr);
    t1->didFinishPasting();
    t2->didFinishPasting();

    EXPECT_EQ(t1->num(), 10u);
    EXPECT_EQ(t1->width(), 180.0);
    EXPECT_EQ(timings(t1), (std::vector<std::uint64_t>{0, 480}));
    EXPECT_EQ(chordTimings(t1), (std::vector<std::uint64_t>{480}));
    EXPECT_EQ(t1->symbols().size(), 1u);
    EXPECT_FALSE(toneOf(tiedCopy)->needCreateTie());
    ASSERT_NE(toneOf(tiedCopy)->tieRight(), nullptr);
    EXPECT_EQ(toneOf(tiedCopy)->tieRight()->toneRight(), toneOf(t2->noteArray().front()));
    // The originals are untouched.
    EXPECT_EQ(s.bar(2)->notes().size(), 2u);
}

struct PartCase {
    bool chord;
    bool note;
    std::size_t chords;
    std::size_t notes;
    std::size_t symbols;
};

TEST(BarSnapShotTest, ChordsAndNotesComeOnlyWhenAsked) {
    for (const PartCase& c : {PartCase{true, false, 1, 0, 0}, PartCase{false, true, 0, 2, 1},
                              PartCase{true, true, 1, 2, 1}, PartCase{false, false, 0, 0, 0}}) {
        SCOPED_TRACE(std::string("chord ") + (c.chord ? "yes" : "no") + ", note " + (c.note ? "yes" : "no"));
        Song s;
        fillTiedPair(s);
        const auto snap = archived(s.bar(2));
        Bar* target = s.bar(7);
        target->createNewChordWithElemsTiming({0, 12, 70, 17, false}, 0);
        target->createNewSymbolWithTypeFrame(1, {0, 0, 1, 1});
        target->restoreFromSnapShotChordNoteNum(snap.get(), c.chord, c.note, 7);
        s.context.processPendingChanges();
        EXPECT_EQ(target->chords().size(), c.chords);
        EXPECT_EQ(target->notes().size(), c.notes);
        EXPECT_EQ(target->symbols().size(), c.symbols);
        EXPECT_EQ(target->width(), 180.0);
    }
}

TEST(BarSnapShotTest, RestoringIntoALowerBarSetsItsPartnerToo) {
    Song s(true);
    Bar* source = s.bar(1);
    source->setWidth(210);
    source->setBarLineType(TOVBarlineDotted);
    source->setLongRest(3);
    s.context.processPendingChanges();
    const auto snap = archived(source);
    Bar* lower = s.bar(6, true);
    ASSERT_NE(lower, nullptr);
    lower->restoreFromSnapShotChordNoteNum(snap.get(), true, true, 6);
    s.context.processPendingChanges();
    Bar* upper = s.bar(6);
    EXPECT_EQ(upper->width(), 210.0);
    EXPECT_EQ(lower->width(), 210.0);
    EXPECT_EQ(upper->barLineType(), TOVBarlineDotted);
    EXPECT_EQ(lower->num(), 6u);
    EXPECT_EQ(upper->num(), 6u);
}

TEST(BarSnapShotTest, BarlinesAsDrawnAndOutOfRangeCodes) {
    Song s;
    s.bar(5)->setBarLineType(TOVBarlineDotted);
    s.bar(4)->setBarLineType(TOVBarlineDouble);
    s.context.processPendingChanges();
    const auto snap = archived(s.bar(5));
    EXPECT_EQ(snap->barLineTypeRight(), TOVBarlineDotted);
    EXPECT_EQ(snap->barLineTypeLeft(), TOVBarlineDouble);
    // The first bar of the first line starts with the line's first barline.
    EXPECT_EQ(archived(s.bar(0))->barLineTypeLeft(), s.bar(0)->line()->firstBarLineType());

    // A snapshot without a barline, or with a code that is no barline, restores a single line.
    for (const auto& [code, expected] :
         {std::pair{0, TOVBarlineSingle}, std::pair{TOVBarlineSingle - 1, TOVBarlineSingle},
          std::pair{TOVBarlineBrace, TOVBarlineSingle}, std::pair{-5, TOVBarlineSingle},
          std::pair{TOVBarlineTransparent, TOVBarlineTransparent}}) {
        SCOPED_TRACE(code);
        BarSnapShot bare;
        bare.setBarLineTypeRight(code);
        bare.setWidth(100);
        Bar* target = s.bar(8);
        target->setBarLineType(TOVBarlineRepeatForward);
        target->restoreFromSnapShotChordNoteNum(&bare, true, true, 8);
        EXPECT_EQ(target->barLineType(), expected);
    }
}

TEST(BarSnapShotTest, RestoreKeepsTheTargetsClefKeyAndTimeAndSkipsOtherSymbolClasses) {
    Song s;
    Bar* source = s.bar(2);
    source->setKeyType(3);
    source->setTimeType(TOVSymbolTime3_4);
    BarSnapShot snap;
    snap.takeSnapshotFrom(source);
    BarSnapShot::SnapShots symbols;
    symbols.push_back(std::make_unique<SymbolToolsSnapShot>());
    snap.setSymbolArray(std::move(symbols));
    Bar* target = s.bar(9);
    target->setKeyType(5);
    target->restoreFromSnapShotChordNoteNum(&snap, true, true, 9);
    s.context.processPendingChanges();
    EXPECT_EQ(target->keyType(), 5);
    EXPECT_EQ(target->timeType(), 0);
    EXPECT_TRUE(target->symbols().empty());
}

TEST(BarSnapShotTest, ClearDataKeepsSettings) {
    Song s;
    fillTiedPair(s);
    Bar* b = s.bar(2);
    b->clearData();
    EXPECT_TRUE(b->notes().empty());
    EXPECT_TRUE(b->chords().empty());
    EXPECT_TRUE(b->symbols().empty());
    EXPECT_EQ(b->width(), 180.0);
    // The tie into bar 3 went with its note.
    EXPECT_EQ(toneOf(s.bar(3)->noteArray().front())->tieLeft(), nullptr);
}

// ---- Fitting the contents to a new time
// ---------------------------------------------------------------------

TEST(BarSnapShotTest, FourFourToThreeFourDropsWhatPassesTheBarEnd) {
    Song s;
    Bar* b = s.bar(3);
    for (std::uint64_t t : {0, 240, 480, 720}) {
        s.melo(b, t, 240);
    }
    for (std::uint64_t t : {0, 480, 720, 900}) {
        b->createNewChordWithElemsTiming({5, 7, 3, 17, false}, t);
    }
    s.context.processPendingChanges();
    b->setTimeType(TOVSymbolTime3_4);
    b->truncateDataByTimeSignature();
    EXPECT_EQ(timings(b), (std::vector<std::uint64_t>{0, 240, 480}));
    EXPECT_EQ(chordTimings(b), (std::vector<std::uint64_t>{0, 480}));
}

TEST(BarSnapShotTest, ALastNoteEndingEarlyLosesItsRightTiesAndOneEndingAtTheBarEndKeepsThem) {
    Song s;
    Bar* b = s.bar(3);
    Note* first = s.melo(b, 0, 480);
    s.melo(b, 480, 480);
    ASSERT_NE(toneOf(first)->createNewTie(), nullptr);
    Bar* b4 = s.bar(4);
    b4->setTimeType(TOVSymbolTime3_4);
    Note* last = s.melo(b4, 0, 720);
    Note* next = s.melo(s.bar(5), 0, 240);
    ASSERT_NE(toneOf(last)->createNewTie(), nullptr);
    (void)next;
    b->setTimeType(TOVSymbolTime3_4);
    b->truncateDataByTimeSignature();
    EXPECT_EQ(timings(b), (std::vector<std::uint64_t>{0}));
    EXPECT_EQ(toneOf(first)->tieRight(), nullptr);

    // A note that ends right at the new bar end keeps its tie.
    b4->truncateDataByTimeSignature();
    EXPECT_EQ(timings(b4), (std::vector<std::uint64_t>{0}));
    EXPECT_NE(toneOf(last)->tieRight(), nullptr);
}

TEST(BarSnapShotTest, SixEightKeepsTheBeatSlashesThatFit) {
    Song s;
    Bar* b = s.bar(3);
    for (std::uint64_t t : {0, 240, 480, 720}) {
        ASSERT_NE(b->createNewBeatSlashFrom(t), nullptr);
    }
    s.context.processPendingChanges();
    b->setTimeType(TOVSymbolTime6_8);
    b->truncateDataByTimeSignature();
    EXPECT_EQ(timings(b), (std::vector<std::uint64_t>{0, 240, 480}));

    // From 6/8 back to 4/4: a slash now off the beat goes, and so does one that runs into the next note.
    Song o;
    Bar* c = o.bar(3);
    c->setTimeType(TOVSymbolTime6_8);
    ASSERT_NE(c->createNewBeatSlashFrom(0), nullptr);
    o.melo(c, 120, 120);
    ASSERT_NE(c->createNewBeatSlashFrom(360), nullptr);
    ASSERT_NE(c->createNewBeatSlashFrom(480), nullptr);
    o.context.processPendingChanges();
    c->setTimeType(TOVSymbolTime4_4);
    c->truncateDataByTimeSignature();
    EXPECT_EQ(timings(c), (std::vector<std::uint64_t>{120, 480}));
}

} // namespace
