#include "model/Bar.h"
#include "model/Chord.h"
#include "model/Document.h"
#include "model/Note.h"
#include "model/NoteTone.h"
#include "model/NoteUnit.h"
#include "model/SymbolAccidental.h"
#include "model/TOVSymbolTypes.h"
#include "model/TOVUnitTypes.h"
#include "model/Tie.h"
#include "platform/data/ManagedObjectContext.h"
#include "platform/foundation/MemoryDefaultsStore.h"
#include "platform/foundation/UserDefaults.h"
#include "support/LayoutBuilder.h"
#include "support/SongBuilder.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

using namespace tovtest;

namespace {

constexpr int kNoTime = 999; // a time code outside the table: the bar has no beat

// A single-row song of 36 bars in 4/4; bar 35 is the last.
struct Song {
    TestSong song{false};
    Document* d = song.document;
    platform::ManagedObjectContext& context = *song.context;

    Bar* bar(std::uint64_t num) { return findBar(d, num); }
    Note* melo(Bar* b, std::uint64_t from, std::uint64_t length, std::int64_t level = 0) {
        Note* note = b->createNewSingleMeloFromLengthLevel(from, length, level);
        context.processPendingChanges();
        return note;
    }
    Note* rest(Bar* b, std::uint64_t from, std::uint64_t length) {
        Note* note = b->createNewSingleRestFromLength(from, length);
        context.processPendingChanges();
        return note;
    }
    Note* slash(Bar* b, std::uint64_t from, std::uint64_t length) {
        Note* note = b->createNewSingleSlashFromLength(from, length);
        context.processPendingChanges();
        return note;
    }
};

std::vector<int> beamsOf(const Note* note) {
    std::vector<int> beams;
    for (const NoteUnit* unit : note->unitArray()) {
        beams.push_back(unit->beam());
    }
    return beams;
}

// ---- Creation ---------------------------------------------------------------------------------------------

TEST(BarContentsTest, SingleNotesRestsAndSlashesAreOneUnitEach) {
    Song s;
    Bar* b = s.bar(0);
    Note* up = s.melo(b, 0, 120, 3);
    Note* down = s.melo(b, 120, 120, -2);
    Note* rest = s.rest(b, 240, 240);
    Note* slash = s.slash(b, 480, 480);
    ASSERT_TRUE(up && down && rest && slash);
    EXPECT_TRUE(up->flip());
    EXPECT_FALSE(down->flip());
    EXPECT_EQ(up->type(), TOVSymbolNote);
    EXPECT_EQ(up->heightLeft(), 15.0);
    EXPECT_EQ(up->firstUnit()->type(), TOVUnitTypeOf(TOVUnitGroupNote, TOVLength8th));
    EXPECT_EQ(up->firstUnit()->toneArray().front()->level(), 3);
    EXPECT_EQ(rest->firstUnit()->type(), TOVUnitTypeOf(TOVUnitGroupRest, TOVLengthQuarter));
    EXPECT_EQ(rest->firstUnit()->kind(), NoteUnit::KindRest);
    EXPECT_EQ(slash->firstUnit()->kind(), NoteUnit::KindSlash);
    EXPECT_EQ(down->firstUnit()->kind(), NoteUnit::KindMelody);
    EXPECT_EQ(b->noteArray(), (std::vector<Note*>{up, down, rest, slash}));
    // Length 0 inserts nothing.
    const std::size_t objects = s.context.allObjects().size();
    EXPECT_EQ(b->createNewSingleMeloFromLengthLevel(0, 0, 0), nullptr);
    EXPECT_EQ(b->createNewSingleRestFromLength(0, 0), nullptr);
    EXPECT_EQ(b->createNewSingleSlashFromLength(0, 0), nullptr);
    EXPECT_EQ(s.context.allObjects().size(), objects);
}

TEST(BarContentsTest, AChordGetsItsValueAndTiming) {
    Song s;
    Chord* chord = s.bar(2)->createNewChordWithElemsTiming({5, 7, 3, 17, false}, 480);
    s.context.processPendingChanges();
    EXPECT_EQ(chord->type(), TOVSymbolChord);
    EXPECT_EQ(chord->timing(), 480u);
    EXPECT_EQ(chord->elemStep1(), 5);
    EXPECT_EQ(chord->bar(), s.bar(2));
    s.bar(2)->removeChord(chord);
    EXPECT_TRUE(chord->isDeleted());
    EXPECT_TRUE(s.bar(2)->chords().empty());
}

struct TupletCase {
    const char* name;
    bool sextuplet;
    std::vector<std::uint64_t> slotLengths;
    int kind;
    std::vector<int> beams;
};

class TupletCreationTest : public ::testing::TestWithParam<TupletCase> {};

TEST_P(TupletCreationTest, BeamsShortMelodyAndSlashGroupsOnly) {
    const TupletCase& c = GetParam();
    Song s;
    Bar* b = s.bar(1);
    Note* note = c.sextuplet ? b->createNewSextupletFromLengthUnitsLevelKind(240, c.slotLengths, 2, c.kind)
                             : b->createNewTripletFromLengthUnitsLevelKind(240, c.slotLengths, 2, c.kind);
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(beamsOf(note), c.beams);
    EXPECT_TRUE(note->flip());
    std::uint64_t span = 0;
    for (std::uint64_t slot : c.slotLengths) {
        span += slot;
    }
    std::uint64_t t = 240;
    for (const NoteUnit* unit : note->unitArray()) {
        EXPECT_EQ(unit->type(), (c.sextuplet ? TOVUnitGroupSextuplet : TOVUnitGroupTriplet) + span);
        EXPECT_EQ(unit->timing(), t);
        EXPECT_EQ(unit->kind(), c.kind);
        t += unit->duration();
    }
    EXPECT_EQ(note->duration(), span);
    EXPECT_EQ(c.sextuplet, note->isSextuplet());
    EXPECT_EQ(!c.sextuplet, note->isTriplet());
}

INSTANTIATE_TEST_SUITE_P(
    Tuplets, TupletCreationTest,
    ::testing::Values(
        TupletCase{"EighthSpanTriplet", false, {80, 80, 80}, 0, {1, 3, 2}},
        TupletCase{"QuarterSpanTripletIsNotBeamed", false, {160, 160, 160}, 0, {0, 0, 0}},
        TupletCase{"TripletOfSlashes", false, {80, 80, 80}, 2, {1, 3, 2}},
        TupletCase{"TripletOfRests", false, {80, 80, 80}, 1, {0, 0, 0}},
        TupletCase{"OneSlotGetsAFirstBeam", false, {240}, 0, {1}},
        TupletCase{"HalfSpanSextuplet", true, {80, 80, 80, 80, 80, 80}, 0, {1, 3, 3, 3, 3, 2}},
        TupletCase{
            "WholeSpanSextupletIsNotBeamed", true, {160, 160, 160, 160, 160, 160}, 0, {0, 0, 0, 0, 0, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- The zero-beat bar and beat slashes -------------------------------------------------------------------

struct BeatCase {
    int time;
    std::uint64_t from;
    bool accepted;
    std::uint64_t duration;
};

TEST(BarContentsTest, BeatSlashesLastOneBeatAndStartOnBeats) {
    for (const BeatCase& c :
         {BeatCase{TOVSymbolTime4_4, 240, true, 240}, BeatCase{TOVSymbolTime4_4, 120, false, 0},
          BeatCase{TOVSymbolTime6_8, 120, true, 120}, BeatCase{TOVSymbolTime6_8, 60, false, 0},
          BeatCase{TOVSymbolTime6_8, 720, false, 0}, BeatCase{kNoTime, 0, false, 0}}) {
        SCOPED_TRACE(std::to_string(c.time) + " at " + std::to_string(c.from));
        Song s;
        Bar* b = s.bar(3);
        b->setTimeType(c.time);
        EXPECT_EQ(b->canInputBeatSlashFrom(c.from), c.accepted);
        if (c.from % 60 != 0 || c.from >= 720) {
            continue;
        }
        Note* note = b->createNewBeatSlashFrom(c.from);
        s.context.processPendingChanges();
        ASSERT_EQ(note != nullptr, c.accepted);
        if (note) {
            EXPECT_EQ(note->firstUnit()->type(), TOVUnitBeatSlash);
            EXPECT_TRUE(note->isBeatLength());
            EXPECT_EQ(note->firstUnit()->kind(), NoteUnit::KindSlash);
            EXPECT_EQ(note->duration(), c.duration);
        }
    }
}

TEST(BarContentsTest, ABeatSlashFollowsTheTimeOfItsBar) {
    Song s;
    Bar* b = s.bar(3);
    Note* note = b->createNewBeatSlashFrom(0);
    s.context.processPendingChanges();
    EXPECT_EQ(note->duration(), 240u);
    b->setTimeType(TOVSymbolTime6_8);
    EXPECT_EQ(note->duration(), 120u);
}

TEST(BarContentsTest, ABarWithoutBeatTakesNothingAndNeverDivides) {
    Song s;
    Bar* b = s.bar(4);
    b->setTimeType(kNoTime);
    ASSERT_EQ(b->length1Beat(), 0u);
    EXPECT_FALSE(b->canInputNoteFromLength(0, 240));
    EXPECT_FALSE(b->canInputNoteFromLength(0, 0));
    EXPECT_FALSE(b->canInputTripletFromLength(0, 240));
    EXPECT_FALSE(b->canInputSextupletFromLength(0, 240));
    EXPECT_FALSE(b->canInputBeatSlashFrom(0));
    EXPECT_EQ(b->createNewBeatSlashFrom(0), nullptr);
    EXPECT_EQ(b->nextNoteUnitXPosOfXMaxLength(120, 240), 0u);
    // A note running on from the bar before cannot continue into it either.
    EXPECT_FALSE(s.bar(3)->canInputNoteFromLength(720, 480));
}

// ---- Input checks -----------------------------------------------------------------------------------------

struct InputCase {
    const char* name;
    std::function<void(Song&)> prepare;
    std::uint64_t bar;
    std::uint64_t from;
    std::uint64_t length;
    bool accepted;
};

class CanInputNoteTest : public ::testing::TestWithParam<InputCase> {};

TEST_P(CanInputNoteTest, PlacesTheWholeLengthOrRefuses) {
    const InputCase& c = GetParam();
    Song s;
    if (c.prepare) {
        c.prepare(s);
    }
    EXPECT_EQ(s.bar(c.bar)->canInputNoteFromLength(c.from, c.length), c.accepted);
}

INSTANTIATE_TEST_SUITE_P(
    Notes, CanInputNoteTest,
    ::testing::Values(
        InputCase{"FreeSpace", nullptr, 0, 720, 240, true},
        InputCase{"ANoteStartsInside", [](Song& s) { s.melo(s.bar(0), 840, 120); }, 0, 720, 240, false},
        InputCase{"ANoteCoversTheStart", [](Song& s) { s.melo(s.bar(0), 600, 240); }, 0, 720, 240, false},
        InputCase{"EndsWhereTheNextNoteStarts", [](Song& s) { s.melo(s.bar(0), 840, 120); }, 0, 720, 120,
                  true},
        InputCase{"RunsIntoAnEmptyNextBar", nullptr, 0, 720, 480, true},
        InputCase{"RunsIntoANoteOfTheNextBar", [](Song& s) { s.melo(s.bar(1), 120, 120); }, 0, 720, 480,
                  false},
        InputCase{"RunsAcrossTheEndOfALine", nullptr, 3, 720, 480, true},
        InputCase{"RefusedInTheLastBar", nullptr, 35, 720, 480, false},
        InputCase{"FitsTheLastBar", nullptr, 35, 720, 240, true},
        InputCase{"LengthZero", nullptr, 0, 0, 0, true},
        InputCase{"StartsPastTheBar", nullptr, 0, 960, 120, false}),
    [](const auto& info) { return std::string(info.param.name); });

struct TupletInputCase {
    const char* name;
    int time;
    bool sextuplet;
    std::uint64_t from;
    std::uint64_t length;
    bool accepted;
};

class CanInputTupletTest : public ::testing::TestWithParam<TupletInputCase> {};

TEST_P(CanInputTupletTest, StartsWhereItsLengthAllows) {
    const TupletInputCase& c = GetParam();
    Song s;
    Bar* b = s.bar(2);
    b->setTimeType(c.time);
    EXPECT_EQ(c.sextuplet ? b->canInputSextupletFromLength(c.from, c.length)
                          : b->canInputTripletFromLength(c.from, c.length),
              c.accepted);
}

INSTANTIATE_TEST_SUITE_P(
    Tuplets, CanInputTupletTest,
    ::testing::Values(TupletInputCase{"TripletOffTheBeatIn44", TOVSymbolTime4_4, false, 120, 240, false},
                      TupletInputCase{"TripletOnTheBeatIn68", TOVSymbolTime6_8, false, 120, 240, true},
                      TupletInputCase{"TripletOnTheBeatIn44", TOVSymbolTime4_4, false, 240, 240, true},
                      TupletInputCase{"HalfTripletOnTheBeat", TOVSymbolTime4_4, false, 240, 480, true},
                      TupletInputCase{"WholeTripletPastTheBar", TOVSymbolTime4_4, false, 240, 960, false},
                      TupletInputCase{"EighthTripletAt60", TOVSymbolTime4_4, false, 60, 120, true},
                      TupletInputCase{"EighthTripletAt30", TOVSymbolTime4_4, false, 30, 120, false},
                      TupletInputCase{"TripletOfAnOtherLength", TOVSymbolTime4_4, false, 0, 360, false},
                      TupletInputCase{"EighthSextuplet", TOVSymbolTime4_4, true, 0, 120, false},
                      TupletInputCase{"QuarterSextupletOnTheBeat", TOVSymbolTime4_4, true, 240, 240, true},
                      TupletInputCase{"QuarterSextupletOffTheBeat", TOVSymbolTime4_4, true, 120, 240, false},
                      TupletInputCase{"SextupletIn68OnTheBeat", TOVSymbolTime6_8, true, 120, 240, true},
                      TupletInputCase{"WholeSextupletIn68PastTheBar", TOVSymbolTime6_8, true, 0, 960, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BarContentsTest, ATupletIsRefusedWhereANoteStands) {
    Song s;
    s.melo(s.bar(2), 300, 60);
    EXPECT_FALSE(s.bar(2)->canInputTripletFromLength(240, 240));
    EXPECT_TRUE(s.bar(2)->canInputTripletFromLength(480, 240));
}

// ---- Lookups ----------------------------------------------------------------------------------------------

TEST(BarContentsTest, LookupsFindTheNoteAndUnitAtATick) {
    Song s;
    Bar* b = s.bar(1);
    Note* a = s.melo(b, 0, 240);
    Note* t = b->createNewTripletFromLengthUnitsLevelKind(480, {80, 80, 80}, 0, 0);
    EXPECT_EQ(b->noteAtXPos(239), a);
    EXPECT_EQ(b->noteAtXPos(240), nullptr);
    EXPECT_EQ(b->noteFromX(500), t);
    EXPECT_EQ(b->noteFromX(720), nullptr);
    EXPECT_EQ(b->noteAfterX(0), t);
    EXPECT_EQ(b->noteAfterX(480), nullptr);
    EXPECT_EQ(b->noteUnitFromX(600), t->unitArray()[1]);
    EXPECT_EQ(b->noteUnitFromX(300), nullptr);
}

TEST(BarContentsTest, ContinuousNotesReachAcrossTheBarline) {
    Song s;
    Note* last = s.melo(s.bar(1), 720, 240);
    Note* first = s.melo(s.bar(2), 0, 240);
    Note* second = s.melo(s.bar(2), 240, 120);
    EXPECT_EQ(last->nextContinuousNote(), first);
    EXPECT_EQ(first->previousContinuousNote(), last);
    EXPECT_EQ(first->nextContinuousNote(), second);
    EXPECT_EQ(second->nextContinuousNote(), nullptr);
    Note* end = s.melo(s.bar(35), 720, 240);
    EXPECT_EQ(end->nextContinuousNote(), nullptr);
    Note* start = s.melo(s.bar(0), 0, 240);
    EXPECT_EQ(start->previousContinuousNote(), nullptr);
}

// ---- The accidental in force ------------------------------------------------------------------------------

TEST(BarContentsTest, AnAccidentalHoldsOnItsLevelToTheEndOfTheBar) {
    Song s;
    Bar* b = s.bar(1);
    Note* before = s.melo(b, 0, 120, 2);
    Note* sharp = s.melo(b, 120, 120, 2);
    Note* later = s.melo(b, 240, 240, 2);
    Note* other = s.melo(b, 480, 240, 9);
    Note* nextBar = s.melo(s.bar(2), 0, 240, 2);
    NoteTone* sharpTone = sharp->firstUnit()->tones().front();
    sharpTone->setThisAccidentalType(2);
    auto mode = [](Note* n) { return n->firstUnit()->tones().front()->accidentalMode(); };
    EXPECT_EQ(mode(before), 0);
    EXPECT_EQ(mode(sharp), 2);
    EXPECT_EQ(mode(later), 2);
    EXPECT_EQ(mode(other), 0);
    EXPECT_EQ(mode(nextBar), 0);
    // A natural later in the bar takes over from there.
    Note* natural = s.melo(b, 720, 120, 2);
    natural->firstUnit()->tones().front()->setThisAccidentalType(1);
    Note* last = s.melo(b, 840, 120, 2);
    EXPECT_EQ(mode(last), 1);
    EXPECT_EQ(mode(later), 2);
}

TEST(BarContentsTest, AnAccidentalCarriesOverATieIntoTheNextBar) {
    Song s;
    Note* left = s.melo(s.bar(1), 720, 240, 2);
    Note* right = s.melo(s.bar(2), 0, 240, 2);
    Note* after = s.melo(s.bar(2), 240, 240, 2);
    NoteTone* leftTone = left->firstUnit()->tones().front();
    leftTone->setThisAccidentalType(4);
    NoteTone* rightTone = right->firstUnit()->tones().front();
    // A tie reaches the same pitch only: the flat is written on the right tone, then the tie carries it.
    EXPECT_EQ(leftTone->createNewTie(), nullptr);
    rightTone->setThisAccidentalType(4);
    ASSERT_NE(leftTone->createNewTie(), nullptr);
    rightTone->setThisAccidentalType(0);
    EXPECT_EQ(rightTone->accidentalMode(), 4);
    // The carried accidental belongs to the tied tone only.
    EXPECT_EQ(after->firstUnit()->tones().front()->accidentalMode(), 0);
    EXPECT_EQ(rightTone->midiNumber(), leftTone->midiNumber());
    leftTone->removeTieRight();
    EXPECT_EQ(rightTone->accidentalMode(), 0);
}

TEST(BarContentsTest, ABarWithoutNotesHasNoAccidentalInForce) {
    Song s;
    Note* note = s.melo(s.bar(1), 0, 240, 2);
    NoteTone* tone = note->firstUnit()->tones().front();
    EXPECT_EQ(s.bar(5)->accidentalModeOfTone(tone), 0);
    EXPECT_EQ(s.bar(5)->accidentalModeOfTone(nullptr), 0);
}

// ---- Beams ------------------------------------------------------------------------------------------------

struct BeamCase {
    const char* name;
    std::function<std::vector<Note*>(Song&, Bar*)> notes;
    bool allowed;
};

class CanMakeBeamTest : public ::testing::TestWithParam<BeamCase> {};

TEST_P(CanMakeBeamTest, JoinsConsecutiveShortNotesOfOneKind) {
    const BeamCase& c = GetParam();
    Song s;
    Bar* b = s.bar(1);
    EXPECT_EQ(b->canMakeBeamFromNotes(c.notes(s, b)), c.allowed);
}

INSTANTIATE_TEST_SUITE_P(
    Beams, CanMakeBeamTest,
    ::testing::Values(BeamCase{"TwoEighths",
                               [](Song& s, Bar* b) {
                                   return std::vector{s.melo(b, 0, 120), s.melo(b, 120, 120)};
                               },
                               true},
                      BeamCase{"TwoSlashes",
                               [](Song& s, Bar* b) {
                                   return std::vector{s.slash(b, 0, 60), s.slash(b, 60, 180)};
                               },
                               true},
                      BeamCase{"EighthAndRest",
                               [](Song& s, Bar* b) {
                                   return std::vector{s.melo(b, 0, 120), s.rest(b, 120, 120)};
                               },
                               false},
                      BeamCase{"RestFirst",
                               [](Song& s, Bar* b) {
                                   return std::vector{s.rest(b, 0, 120), s.melo(b, 120, 120)};
                               },
                               false},
                      BeamCase{"EighthAndQuarter",
                               [](Song& s, Bar* b) {
                                   return std::vector{s.melo(b, 0, 120), s.melo(b, 120, 240)};
                               },
                               false},
                      BeamCase{"AGapBetween",
                               [](Song& s, Bar* b) {
                                   return std::vector{s.melo(b, 0, 120), s.melo(b, 240, 120)};
                               },
                               false},
                      BeamCase{"MelodyAndSlash",
                               [](Song& s, Bar* b) {
                                   return std::vector{s.melo(b, 0, 120), s.slash(b, 120, 120)};
                               },
                               false},
                      BeamCase{"ANoteOfAnotherBar",
                               [](Song& s, Bar* b) {
                                   return std::vector{s.melo(b, 840, 120), s.melo(s.bar(2), 960, 120)};
                               },
                               false},
                      BeamCase{"NoNotes", [](Song&, Bar*) { return std::vector<Note*>{}; }, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BarContentsTest, ABeamTakesTheUnitsOfItsNotesAndSplitsBackIntoSingles) {
    Song s;
    Bar* b = s.bar(1);
    std::vector<Note*> notes{s.melo(b, 0, 120, -1), s.melo(b, 120, 60, -1), s.melo(b, 180, 60, -1)};
    std::vector<NoteUnit*> units;
    for (Note* n : notes) {
        units.push_back(n->firstUnit());
    }
    Note* beamed = b->makeBeamOn(notes);
    ASSERT_NE(beamed, nullptr);
    EXPECT_EQ(beamed->unitArray(), units);
    EXPECT_EQ(beamsOf(beamed), (std::vector<int>{1, 3, 2}));
    EXPECT_TRUE(beamed->isBeam());
    EXPECT_FALSE(beamed->flip());
    for (Note* n : notes) {
        EXPECT_TRUE(n->isDeleted());
    }
    EXPECT_EQ(b->notes(), std::vector<Note*>{beamed});
    EXPECT_EQ(beamed->beamedUnitsFor(units[1]), units);

    const std::vector<Note*> singles = b->makeBeamOff(beamed);
    ASSERT_EQ(singles.size(), 3u);
    EXPECT_TRUE(beamed->isDeleted());
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(singles[i]->unitArray(), std::vector<NoteUnit*>{units[i]});
        EXPECT_EQ(units[i]->beam(), 0);
        EXPECT_FALSE(singles[i]->flip());
        EXPECT_EQ(singles[i]->bar(), b);
    }
    EXPECT_EQ(b->makeBeamOn({}), nullptr);
}

// ---- Deletion ---------------------------------------------------------------------------------------------

TEST(BarContentsTest, DeletingAUnitOfABeamLeavesTheOthersAsSingleNotes) {
    Song s;
    Bar* b = s.bar(1);
    Note* beamed = b->makeBeamOn({s.melo(b, 0, 120), s.melo(b, 120, 120), s.melo(b, 240, 120)});
    const std::vector<NoteUnit*> units = beamed->unitArray();
    beamed->removeUnit(units[1]);
    EXPECT_TRUE(beamed->isDeleted());
    ASSERT_EQ(b->noteArray().size(), 2u);
    EXPECT_EQ(b->noteArray()[0]->unitArray(), std::vector<NoteUnit*>{units[0]});
    EXPECT_EQ(b->noteArray()[1]->unitArray(), std::vector<NoteUnit*>{units[2]});
    EXPECT_EQ(units[0]->beam(), 0);
}

TEST(BarContentsTest, DeletingAWholeBeamedNoteTakesAllItsUnits) {
    Song s;
    Bar* b = s.bar(1);
    Note* beamed = b->makeBeamOn({s.melo(b, 0, 120), s.melo(b, 120, 120), s.melo(b, 240, 120)});
    int notesAdded = 0;
    auto token = b->addObserver("notes", [&](const platform::Change& change) {
        notesAdded += change.kind == platform::ChangeKind::Insertion ? 1 : 0;
    });
    b->removeNote(beamed);
    b->removeObserver(token);
    EXPECT_EQ(notesAdded, 0) << "the beam was split on its way out";
    EXPECT_TRUE(b->notes().empty());
    EXPECT_TRUE(s.context.fetchObjects("NoteUnit").empty());
    EXPECT_TRUE(s.context.fetchObjects("NoteTone").empty());
}

TEST(BarContentsTest, DeletingAToneRunsDownTheChain) {
    Song s;
    Bar* b = s.bar(1);
    // The only tone of a plain note takes its unit and note along.
    Note* single = s.melo(b, 0, 240, 1);
    single->firstUnit()->removeTone(single->firstUnit()->tones().front());
    EXPECT_TRUE(single->isDeleted());
    // One of two tones leaves the unit.
    Note* chord = s.melo(b, 240, 240, 1);
    NoteTone* extra = chord->firstUnit()->createNewToneWithLevel(3);
    chord->firstUnit()->removeTone(extra);
    EXPECT_FALSE(chord->isDeleted());
    EXPECT_EQ(chord->firstUnit()->tones().size(), 1u);
    // The only tone of a triplet slot leaves a rest slot.
    Note* triplet = b->createNewTripletFromLengthUnitsLevelKind(480, {80, 80, 80}, 0, 0);
    NoteUnit* slot = triplet->unitArray()[1];
    slot->removeTone(slot->tones().front());
    EXPECT_FALSE(slot->isDeleted());
    EXPECT_EQ(slot->kind(), NoteUnit::KindRest);
    EXPECT_EQ(triplet->units().size(), 3u);
    EXPECT_TRUE(s.context.fetchObjects("Note").size() == 2u);
}

TEST(BarContentsTest, DeletingAToneDeletesItsTies) {
    Song s;
    Note* a = s.melo(s.bar(1), 0, 240, 1);
    Note* b = s.melo(s.bar(1), 240, 240, 1);
    Note* c = s.melo(s.bar(1), 480, 240, 1);
    NoteTone* ta = a->firstUnit()->tones().front();
    NoteTone* tb = b->firstUnit()->tones().front();
    ASSERT_NE(ta->createNewTie(), nullptr);
    ASSERT_NE(tb->createNewTie(), nullptr);
    b->firstUnit()->removeTone(tb);
    EXPECT_TRUE(s.context.fetchObjects("Tie").empty());
    EXPECT_EQ(ta->tieRight(), nullptr);
    EXPECT_EQ(c->firstUnit()->tones().front()->tieLeft(), nullptr);
}

// ---- The input splitter -----------------------------------------------------------------------------------

class SplitterTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = platform::UserDefaults::replaceStandard(
            std::make_unique<platform::UserDefaults>(std::make_unique<platform::MemoryDefaultsStore>()));
    }
    void TearDown() override { platform::UserDefaults::replaceStandard(std::move(previous_)); }

    std::unique_ptr<platform::UserDefaults> previous_;
};

struct SplitCase {
    bool divide;
    int time;
    std::uint64_t x;
    std::uint64_t length;
    std::uint64_t end;
};

TEST_F(SplitterTest, EndsEachPieceAtAKnownLengthOrTheNextBeat) {
    const SplitCase cases[] = {
        {true, TOVSymbolTime4_4, 120, 360, 240},  // off the beat: to the next beat
        {false, TOVSymbolTime4_4, 120, 360, 480}, // not divided: a known length as it is
        {true, TOVSymbolTime4_4, 90, 150, 120},   // 150 to the beat: to the next multiple of 120
        {true, TOVSymbolTime4_4, 90, 480, 120},   //
        {true, TOVSymbolTime4_4, 90, 60, 150},    // shorter than the way to the beat
        {true, TOVSymbolTime4_4, 0, 1000, 960},   // on the beat: the longest known length
        {true, TOVSymbolTime4_4, 240, 1000, 960}, // ... that the rest of the bar holds
        {true, TOVSymbolTime4_4, 240, 600, 720},  //
        {true, TOVSymbolTime4_4, 0, 100, 90},     // ... that the length holds
        {false, TOVSymbolTime4_4, 0, 100, 90},    // an unknown length is divided anyway
        {true, TOVSymbolTime4_4, 960, 240, 960},  // at the end of the bar
        {true, TOVSymbolTime4_4, 1000, 240, 960}, // past it
        {true, TOVSymbolTime4_4, 240, 20, 240},   // nothing fits: no progress
        {true, TOVSymbolTime6_8, 60, 240, 120},   // 6/8: the beat is an eighth
        {true, TOVSymbolTime6_8, 120, 240, 360},  //
        {true, kNoTime, 120, 240, 0},             // no beat: clipped to the bar
        {false, kNoTime, 0, 240, 0},              //
    };
    for (const SplitCase& c : cases) {
        SCOPED_TRACE("divide " + std::to_string(c.divide) + " time " + std::to_string(c.time) + " x " +
                     std::to_string(c.x) + " length " + std::to_string(c.length));
        platform::UserDefaults::standard().setBool("divideInputNote", c.divide);
        Song s;
        Bar* b = s.bar(1);
        b->setTimeType(c.time);
        EXPECT_EQ(b->nextNoteUnitXPosOfXMaxLength(c.x, c.length), c.end);
    }
}

} // namespace
