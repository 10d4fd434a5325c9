#include "model/Note.h"
#include "document/TOVDocumentDump.h"
#include "model/Bar.h"
#include "model/Document.h"
#include "model/NoteSnapShot.h"
#include "model/NoteTone.h"
#include "model/NoteUnit.h"
#include "model/SymbolAccidental.h"
#include "model/SymbolInNote.h"
#include "model/TOVSymbolTypes.h"
#include "model/TOVUnitTypes.h"
#include "model/Tie.h"
#include "platform/data/ManagedObjectContext.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "support/LayoutBuilder.h"
#include "support/SongBuilder.h"

#include <gtest/gtest.h>

#include <string>

using namespace tovtest;
using namespace TOVDocumentDump;

namespace {

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
    Note* triplet(Bar* b, std::uint64_t from, std::vector<std::uint64_t> lengths, int kind = 0) {
        return b->createNewTripletFromLengthUnitsLevelKind(from, lengths, 0, kind);
    }
    Note* sextuplet(Bar* b, std::uint64_t from, std::vector<std::uint64_t> lengths, int kind = 0) {
        return b->createNewSextupletFromLengthUnitsLevelKind(from, lengths, 0, kind);
    }
};

NoteTone* toneOf(const NoteUnit* unit) {
    return unit->tones().empty() ? nullptr : unit->tones().front();
}

std::vector<int> beamsOf(const Note* note) {
    std::vector<int> beams;
    for (const NoteUnit* unit : note->unitArray()) {
        beams.push_back(unit->beam());
    }
    return beams;
}

std::vector<std::uint64_t> durationsOf(const Note* note) {
    std::vector<std::uint64_t> out;
    for (const NoteUnit* unit : note->unitArray()) {
        out.push_back(unit->duration());
    }
    return out;
}

// ---- Derived values ---------------------------------------------------------------------------------------

TEST(NoteTest, ANoteWithoutUnitsIsEmpty) {
    Song s;
    auto* note = s.context.insertNewObject<Note>("Note");
    note->setBar(s.bar(1));
    EXPECT_EQ(note->timing(), 0u);
    EXPECT_EQ(note->duration(), 0u);
    EXPECT_EQ(note->firstUnit(), nullptr);
    EXPECT_EQ(note->lastUnit(), nullptr);
    EXPECT_FALSE(note->isBeam() || note->isTriplet() || note->isSextuplet() || note->isSingle() ||
                 note->isBeatLength());
    EXPECT_TRUE(note->beamedUnitsFor(nullptr).empty());
    EXPECT_EQ(note->type(), TOVSymbolNote);
    EXPECT_EQ(note->heightLeft(), 15.0);
    EXPECT_EQ(note->heightRight(), 15.0);
}

TEST(NoteTest, ASingleUnitIsNoBeamAndNeighboursStopAtTheEnds) {
    Song s;
    Note* single = s.melo(s.bar(1), 0, 120);
    EXPECT_TRUE(single->isSingle());
    EXPECT_FALSE(single->isBeam());
    Note* triplet = s.triplet(s.bar(1), 240, {80, 80, 80});
    const auto units = triplet->unitArray();
    EXPECT_EQ(triplet->nextUnitOf(units[0]), units[1]);
    EXPECT_EQ(triplet->nextUnitOf(units[2]), nullptr);
    EXPECT_EQ(triplet->previousUnitOf(units[0]), nullptr);
    EXPECT_EQ(triplet->previousUnitOf(single->firstUnit()), nullptr);
    EXPECT_EQ(units[1]->previousUnit(), units[0]);
    EXPECT_EQ(triplet->beamedUnitsFor(units[2]), units);
    EXPECT_EQ(triplet->timing(), 240u);
    EXPECT_EQ(triplet->duration(), 240u);
}

TEST(NoteTest, TonesAreOrderedByLevel) {
    Song s;
    NoteUnit* unit = s.melo(s.bar(1), 0, 240, 1)->firstUnit();
    NoteTone* high = unit->createNewToneWithLevel(5);
    NoteTone* low = unit->createNewToneWithLevel(-3);
    NoteTone* middle = toneOf(unit) == high || toneOf(unit) == low ? nullptr : toneOf(unit);
    ASSERT_NE(middle, nullptr);
    EXPECT_EQ(unit->toneArray(), (std::vector<NoteTone*>{high, middle, low}));
    EXPECT_EQ(unit->toneArrayAscending(), (std::vector<NoteTone*>{low, middle, high}));
}

// ---- Uniting and splitting tuplet slots -------------------------------------------------------------------

struct UniteCase {
    const char* name;
    bool sextuplet;
    std::vector<std::uint64_t> lengths;
    std::size_t first; // unites slots first and first + 1
    std::vector<std::uint64_t> durations;
    std::vector<int> beams;
};

class UniteTest : public ::testing::TestWithParam<UniteCase> {};

TEST_P(UniteTest, TheSecondSlotLastsBoth) {
    const UniteCase& c = GetParam();
    Song s;
    Note* note = c.sextuplet ? s.sextuplet(s.bar(1), 0, c.lengths) : s.triplet(s.bar(1), 0, c.lengths);
    const auto units = note->unitArray();
    NoteUnit* united = note->makeUnitedOn({units[c.first], units[c.first + 1]});
    ASSERT_EQ(united, units[c.first + 1]);
    EXPECT_TRUE(units[c.first]->isDeleted());
    EXPECT_TRUE(united->isUnited());
    EXPECT_EQ(united->timing(), units[c.first]->timing() - 1) << "takes the first slot's place";
    EXPECT_EQ(durationsOf(note), c.durations);
    EXPECT_EQ(beamsOf(note), c.beams);
    EXPECT_EQ(note->duration(), c.sextuplet ? 240u : 240u);
}

INSTANTIATE_TEST_SUITE_P(
    Slots, UniteTest,
    ::testing::Values(
        UniteCase{"TwoEighthTripletSlotsLeaveTheBeam", false, {80, 80, 80}, 0, {160, 80}, {0, 0}},
        UniteCase{"TheLastTwoTripletSlots", false, {80, 80, 80}, 1, {80, 160}, {0, 0}},
        UniteCase{"TwoSextupletSlotsKeepTheBeam",
                  true,
                  {40, 40, 40, 40, 40, 40},
                  0,
                  {80, 40, 40, 40, 40},
                  {1, 3, 3, 3, 2}},
        UniteCase{"TwoMiddleSextupletSlots",
                  true,
                  {40, 40, 40, 40, 40, 40},
                  2,
                  {40, 40, 80, 40, 40},
                  {1, 3, 3, 3, 2}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(NoteTest, OnlyTupletsUniteAndSplit) {
    Song s;
    Bar* b = s.bar(1);
    Note* beamed = b->makeBeamOn({s.melo(b, 0, 120), s.melo(b, 120, 120)});
    const auto units = beamed->unitArray();
    const std::string before = dumpDocument(s.d);
    EXPECT_EQ(beamed->makeUnitedOn(units), nullptr);
    EXPECT_TRUE(beamed->makeUnitedOff(units[0]).empty());
    EXPECT_EQ(dumpDocument(s.d), before);
    Note* triplet = s.triplet(b, 240, {80, 80, 80});
    EXPECT_EQ(triplet->makeUnitedOn({triplet->firstUnit()}), nullptr);
}

TEST(NoteTest, SplittingASlotGivesTwoHalvesWithTheirTones) {
    Song s;
    Note* note = s.triplet(s.bar(1), 0, {80, 160});
    NoteUnit* unit = note->unitArray()[1];
    toneOf(unit)->setThisAccidentalType(2);
    toneOf(unit)->createNewArticulationWithTypeFrame(TOVSymbolStaccato, {1, 2, 3, 4});
    const std::vector<NoteUnit*> halves = note->makeUnitedOff(unit);
    ASSERT_EQ(halves.size(), 2u);
    EXPECT_EQ(halves[1], unit);
    EXPECT_EQ(halves[0]->timing(), 80u);
    EXPECT_EQ(halves[0]->duration(), 80u);
    EXPECT_EQ(unit->timing(), 160u);
    EXPECT_EQ(unit->duration(), 80u);
    EXPECT_EQ(halves[0]->type(), unit->type());
    EXPECT_EQ(toneOf(halves[0])->thisAccidentalType(), 2);
    EXPECT_EQ(toneOf(halves[0])->articulations().size(), 1u);
    // An odd duration loses its remainder.
    Note* odd = s.triplet(s.bar(2), 0, {81});
    const auto oddHalves = odd->makeUnitedOff(odd->firstUnit());
    EXPECT_EQ(durationsOf(odd), (std::vector<std::uint64_t>{40, 40}));
    EXPECT_EQ(oddHalves[1]->timing(), 40u);
}

struct SplitBeamCase {
    int beam;
    std::vector<int> before;
    std::vector<int> after;
};

TEST(NoteTest, SplittingABeamedSlotKeepsTheBeamRoles) {
    for (const SplitBeamCase& c :
         {SplitBeamCase{1, {1, 3, 2}, {1, 3, 3, 2}}, SplitBeamCase{3, {1, 3, 2}, {1, 3, 3, 2}},
          SplitBeamCase{2, {1, 3, 2}, {1, 3, 3, 2}}}) {
        Song s;
        Note* note = s.triplet(s.bar(1), 0, {80, 80, 80});
        ASSERT_EQ(beamsOf(note), c.before);
        NoteUnit* unit = nullptr;
        for (NoteUnit* u : note->unitArray()) {
            if (u->beam() == c.beam) {
                unit = u;
            }
        }
        note->makeUnitedOff(unit);
        EXPECT_EQ(beamsOf(note), c.after) << "splitting the slot with beam " << c.beam;
    }
}

TEST(NoteTest, UnitingAndSplittingReAimTheTiesThatEndThere) {
    Song s;
    Note* before = s.melo(s.bar(1), 0, 240, 1);
    Note* triplet = s.triplet(s.bar(1), 240, {80, 80, 80});
    for (NoteUnit* u : triplet->units()) {
        toneOf(u)->setLevel(1);
    }
    NoteTone* left = toneOf(before->firstUnit());
    Tie* tie = left->createNewTie();
    const auto units = triplet->unitArray();
    ASSERT_NE(tie, nullptr);
    EXPECT_EQ(tie->toneRight(), toneOf(units[0]));
    // The first slot goes: the tie now reaches the united slot.
    NoteUnit* united = triplet->makeUnitedOn({units[0], units[1]});
    EXPECT_EQ(left->tieRight(), tie);
    EXPECT_EQ(tie->toneRight(), toneOf(united));
    // Splitting again: the tie reaches the new first half.
    const auto halves = triplet->makeUnitedOff(united);
    EXPECT_EQ(tie->toneRight(), toneOf(halves[0]));
    EXPECT_FALSE(toneOf(halves[0])->needCreateTie());
}

// ---- Tuplet beams with rests ------------------------------------------------------------------------------

struct DivideCase {
    const char* name;
    std::vector<int> kinds; // per slot: 0 melody, 1 rest (the rest's tone is removed)
    std::vector<int> beams;
    std::size_t at;
    std::vector<int> after;
};

class DivideTupletBeamTest : public ::testing::TestWithParam<DivideCase> {};

TEST_P(DivideTupletBeamTest, ClosesTheBeamOnEitherSideAndDropsRests) {
    const DivideCase& c = GetParam();
    Song s;
    Note* note = s.sextuplet(s.bar(1), 0, std::vector<std::uint64_t>(c.kinds.size(), 40));
    const auto units = note->unitArray();
    for (std::size_t i = 0; i < units.size(); ++i) {
        if (c.kinds[i] == 1) {
            units[i]->removeTone(toneOf(units[i]));
        }
        units[i]->setBeam(c.beams[i]);
    }
    note->divideBeamOfTupletFromUnit(units[c.at]);
    EXPECT_EQ(beamsOf(note), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Beams, DivideTupletBeamTest,
    ::testing::Values(
        DivideCase{"AtTheFirst", {0, 0, 0, 0}, {1, 3, 3, 2}, 0, {0, 1, 3, 2}},
        DivideCase{"AtTheLast", {0, 0, 0, 0}, {1, 3, 3, 2}, 3, {1, 3, 2, 0}},
        DivideCase{"InTheMiddle", {0, 0, 0, 0, 0, 0}, {1, 3, 3, 3, 3, 2}, 2, {1, 2, 0, 1, 3, 2}},
        DivideCase{"RestsAfterTheFirstLeave", {0, 1, 1, 0, 0}, {1, 3, 3, 3, 2}, 0, {0, 0, 0, 1, 2}},
        DivideCase{"RestsBeforeTheLastLeave", {0, 0, 1, 1, 0}, {1, 3, 3, 3, 2}, 4, {1, 2, 0, 0, 0}},
        DivideCase{"OnlyRestsUpToTheEnd", {0, 1, 1, 0}, {1, 3, 3, 2}, 0, {0, 0, 0, 0}},
        DivideCase{"OutsideABeam", {0, 0, 0}, {0, 1, 2}, 0, {0, 1, 2}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Conversions ------------------------------------------------------------------------------------------

TEST(NoteTest, AMelodyUnitOfABeamBecomesASingleRest) {
    Song s;
    Bar* b = s.bar(1);
    Note* beamed = b->makeBeamOn({s.melo(b, 0, 120), s.melo(b, 120, 120), s.melo(b, 240, 120)});
    NoteUnit* middle = beamed->unitArray()[1];
    middle->convertMeloToRest();
    EXPECT_TRUE(beamed->isDeleted());
    ASSERT_EQ(b->noteArray().size(), 3u);
    EXPECT_EQ(middle->note()->units().size(), 1u);
    EXPECT_EQ(middle->type(), TOVUnitTypeOf(TOVUnitGroupRest, TOVLength8th));
    EXPECT_EQ(middle->kind(), NoteUnit::KindRest);
    EXPECT_EQ(middle->beam(), 0);
    for (const Note* n : b->noteArray()) {
        EXPECT_TRUE(n->isSingle());
    }
    middle->convertRestToSlash();
    EXPECT_EQ(middle->type(), TOVUnitTypeOf(TOVUnitGroupNote, TOVLength8th));
    EXPECT_EQ(middle->kind(), NoteUnit::KindSlash);
    middle->convertSlashToRest();
    middle->convertRestToMelo();
    EXPECT_EQ(middle->kind(), NoteUnit::KindMelody);
    EXPECT_EQ(toneOf(middle)->level(), 0);
    EXPECT_EQ(middle->tones().size(), 1u);
}

TEST(NoteTest, ATupletSlotTurnedIntoARestLowersItsEndAndLeavesTheBeam) {
    Song s;
    Note* note = s.triplet(s.bar(1), 0, {80, 80, 80});
    const auto units = note->unitArray();
    units[0]->convertMeloToRest();
    EXPECT_EQ(note->heightLeft(), 6.0);
    EXPECT_EQ(note->heightRight(), 15.0);
    EXPECT_EQ(units[0]->type(), TOVUnitTypeOf(TOVUnitGroupTriplet, TOVLengthQuarter))
        << "a tuplet slot keeps its group";
    EXPECT_EQ(beamsOf(note), (std::vector<int>{0, 1, 2}));
    units[2]->convertMeloToRest();
    EXPECT_EQ(note->heightRight(), 6.0);
    EXPECT_EQ(beamsOf(note), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(note->units().size(), 3u);
    units[0]->convertRestToMelo();
    EXPECT_EQ(note->heightLeft(), 15.0);
    EXPECT_EQ(units[0]->kind(), NoteUnit::KindMelody);
}

// ---- Reports ----------------------------------------------------------------------------------------------

// ---- Snapshots --------------------------------------------------------------------------------------------

// A note's content as text: what a copy must reproduce.
std::string contentOf(const Note* note) {
    std::string out = describeObject(note) + "\n";
    for (const NoteUnit* unit : note->unitArray()) {
        out += " " + describeObject(unit) + "\n";
        for (const NoteTone* tone : unit->toneArray()) {
            out += "  " + describeObject(tone) + " tied=" + std::to_string(tone->tieRight() != nullptr) +
                   " need=" + std::to_string(tone->needCreateTie()) + "\n";
            out += "   " + describeObject(tone->accidental()) + "\n";
            for (const SymbolInNote* a : tone->articulations()) {
                out += "   " + describeObject(a) + "\n";
            }
        }
    }
    return out;
}

TEST(NoteTest, ASnapshotCarriesUnitsTonesAccidentalsAndArticulationsThroughAnArchive) {
    Song s;
    Bar* b = s.bar(1);
    Note* note = b->makeBeamOn({s.melo(b, 0, 120, 2), s.melo(b, 120, 120, 2)});
    note->setHeightLeft(11.5);
    note->setFlip(true);
    const auto units = note->unitArray();
    NoteTone* tone = toneOf(units[0]);
    tone->setHead(1);
    tone->createNewAccidentalWithTypeFrame(TOVSymbolSharp, {1, 2, 3, 4}); // a sharp
    tone->createNewArticulationWithTypeFrame(TOVSymbolFermata, {5, 6, 7, 8});
    units[0]->createNewToneWithLevel(-4);
    toneOf(units[1])->setThisAccidentalType(2);
    ASSERT_NE(tone->createNewTie(), nullptr);

    const auto snapshot = note->createSnapShot();
    const auto data = platform::KeyedArchiver::archivedDataWithRootObject(*snapshot);
    const auto copy = platform::KeyedUnarchiver::unarchivedObjectOfClass<NoteSnapShot>(data);
    ASSERT_NE(copy, nullptr);
    ASSERT_EQ(copy->unitArray().size(), 2u);
    EXPECT_EQ(copy->unitArray()[0]->toneArray().size(), 2u);
    EXPECT_TRUE(copy->unitArray()[0]->toneArray()[0]->tieRight());
    EXPECT_TRUE(copy->unitArray()[1]->toneArray()[0]->tieLeft());

    auto* restored = s.context.insertNewObject<Note>("Note");
    restored->restoreFromSnapShot(copy.get());
    restored->setBar(s.bar(2));
    s.context.processPendingChanges();
    // Ties are not copied as objects: the left tone only notes that one is to be made.
    std::string expected = contentOf(note);
    std::string actual = contentOf(restored);
    const auto tieMark = expected.find("tied=1 need=0");
    ASSERT_NE(tieMark, std::string::npos);
    expected.replace(tieMark, 13, "tied=0 need=1");
    EXPECT_EQ(actual, expected);
}

TEST(NoteTest, ABeatSlashSnapshotKeepsTheBeatOfItsBar) {
    Song s;
    Bar* b = s.bar(1);
    b->setTimeType(TOVSymbolTime6_8);
    Note* note = b->createNewBeatSlashFrom(120);
    s.context.processPendingChanges();
    const auto snapshot = note->createSnapShot();
    const auto* snap = dynamic_cast<const NoteSnapShot*>(snapshot.get());
    ASSERT_NE(snap, nullptr);
    EXPECT_EQ(snap->unitArray()[0]->duration(), 120u);
    EXPECT_EQ(snap->unitArray()[0]->type(), TOVUnitBeatSlash);
}

// ---- Tones: pitch, accidentals, enharmonic moves ----------------------------------------------------------

struct StepCase {
    int from;
    int up;
    int down;
};

TEST(NoteToneTest, AccidentalStepsFollowTheirTable) {
    const StepCase cases[] = {{0, 1, 4}, {1, 2, 0}, {2, 3, 1}, {3, 0, 2}, {4, 0, 5}, {5, 4, 0}};
    for (const StepCase& c : cases) {
        Song s;
        NoteTone* tone = toneOf(s.melo(s.bar(1), 0, 240, 1)->firstUnit());
        tone->setThisAccidentalType(c.from);
        tone->accidentalUp();
        EXPECT_EQ(tone->thisAccidentalType(), c.up) << "up from " << c.from;
        tone->setThisAccidentalType(c.from);
        tone->accidentalDown();
        EXPECT_EQ(tone->thisAccidentalType(), c.down) << "down from " << c.from;
        EXPECT_EQ(s.context.fetchObjects("SymbolAccidental").size(), c.down == 0 ? 0u : 1u);
    }
}

struct EnharmonicCase {
    const char* name;
    std::int64_t level;
    int accidental;
    bool up; // the move
    bool possible;
    std::int64_t level2;
    int accidental2;
};

class EnharmonicTest : public ::testing::TestWithParam<EnharmonicCase> {};

TEST_P(EnharmonicTest, ReSpellsTheSamePitch) {
    const EnharmonicCase& c = GetParam();
    Song s;
    NoteTone* tone = toneOf(s.melo(s.bar(1), 0, 240, c.level)->firstUnit());
    tone->setThisAccidentalType(c.accidental);
    const std::int64_t midi = tone->midiNumber();
    EXPECT_EQ(c.up ? tone->canEnharmonicUp() : tone->canEnharmonicDown(), c.possible);
    c.up ? tone->enharmonicUp() : tone->enharmonicDown();
    EXPECT_EQ(tone->level(), c.level2);
    EXPECT_EQ(tone->thisAccidentalType(), c.accidental2);
    EXPECT_EQ(tone->midiNumber(), midi);
}

INSTANTIATE_TEST_SUITE_P(Moves, EnharmonicTest,
                         ::testing::Values(EnharmonicCase{"CDownToBSharp", 1, 0, false, true, 0, 2},
                                           EnharmonicCase{"CUpToDDoubleFlat", 1, 0, true, true, 2, 5},
                                           EnharmonicCase{"BSharpUpToC", 0, 2, true, true, 1, 0},
                                           EnharmonicCase{"GSharpUpToAFlat", 5, 2, true, true, 6, 4},
                                           EnharmonicCase{"GSharpCannotGoDown", 5, 2, false, false, 5, 2},
                                           EnharmonicCase{"AFlatDownToGSharp", 6, 4, false, true, 5, 2},
                                           EnharmonicCase{"AFlatCannotGoUp", 6, 4, true, false, 6, 4}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(NoteToneTest, PitchFollowsClefKeyAndAccidentals) {
    Song s;
    NoteTone* c5 = toneOf(s.melo(s.bar(1), 0, 240, 1)->firstUnit());
    EXPECT_EQ(c5->midiNumber(), 72);
    c5->setThisAccidentalType(2);
    EXPECT_EQ(c5->midiNumber(), 73);
    // Restating with nothing wanted and nothing in force leaves no accidental.
    NoteTone* plain = toneOf(s.melo(s.bar(2), 0, 240, 1)->firstUnit());
    plain->updateAccidentalModeWithKey(0, 0);
    EXPECT_EQ(plain->thisAccidentalType(), 0);
    // After an earlier sharp on the level, the key's spelling needs a natural.
    NoteTone* later = toneOf(s.melo(s.bar(1), 240, 240, 1)->firstUnit());
    EXPECT_EQ(later->accidentalMode(), 2);
    later->updateAccidentalModeWithKey(0, 0);
    EXPECT_EQ(later->thisAccidentalType(), 1);
    // Asking for what is already in force writes nothing.
    later->updateAccidentalModeWithKey(2, 0);
    EXPECT_EQ(later->thisAccidentalType(), 0);
    EXPECT_EQ(later->accidentalMode(), 2);
}

// ---- Ties -------------------------------------------------------------------------------------------------

TEST(NoteToneTest, ATieReachesTheSamePitchInTheNextUnitOrNote) {
    Song s;
    Note* a = s.melo(s.bar(1), 720, 240, 1);
    Note* b = s.melo(s.bar(2), 0, 240, 1);
    NoteTone* other = b->firstUnit()->createNewToneWithLevel(3);
    NoteTone* left = toneOf(a->firstUnit());
    Tie* tie = left->createNewTie();
    ASSERT_NE(tie, nullptr);
    EXPECT_EQ(tie->toneLeft(), left);
    EXPECT_NE(tie->toneRight(), other);
    EXPECT_EQ(tie->toneRight()->level(), 1);
    // Making it again replaces it.
    Tie* again = left->createNewTie();
    EXPECT_TRUE(tie->isDeleted());
    EXPECT_EQ(s.context.fetchObjects("Tie").size(), 1u);
    // Moving the right tone away leaves the tie nowhere to go: re-aiming removes it.
    again->toneRight()->setLevel(2);
    left->updateRightToneOfTie();
    EXPECT_EQ(left->tieRight(), nullptr);
    EXPECT_TRUE(s.context.fetchObjects("Tie").empty());
    // Without a next note of the pitch nothing is made.
    Note* lonely = s.melo(s.bar(5), 0, 240, 1);
    EXPECT_EQ(toneOf(lonely->firstUnit())->createNewTie(), nullptr);
    EXPECT_TRUE(s.context.fetchObjects("Tie").empty());
}

TEST(NoteToneTest, ArticulationsAndAccidentalsBelongToTheirTone) {
    Song s;
    Note* note = s.melo(s.bar(1), 0, 240, 1);
    NoteTone* tone = toneOf(note->firstUnit());
    SymbolInNote* staccato = tone->createNewArticulationWithTypeFrame(TOVSymbolTenuto, {1, 1, 2, 2});
    EXPECT_TRUE(staccato->flip()) << "an articulation takes its note's flip";
    EXPECT_EQ(staccato->note(), note);
    s.d->setPlugInFontID("Jazz");
    EXPECT_EQ(staccato->plugInFontID(), QString("Jazz")) << "the font of the note's document";
    NoteTone* other = toneOf(s.melo(s.bar(1), 240, 240, 1)->firstUnit());
    other->removeArticulation(staccato);
    EXPECT_FALSE(staccato->isDeleted()) << "another tone's articulation stays";
    tone->removeArticulation(staccato);
    EXPECT_TRUE(staccato->isDeleted());

    SymbolAccidental* sharp = tone->createNewAccidentalWithTypeFrame(TOVSymbolSharp, {});
    EXPECT_EQ(tone->accidental(), sharp);
    EXPECT_EQ(sharp->noteTone(), tone);
    SymbolAccidental* flat = tone->createNewAccidentalWithTypeFrame(TOVSymbolFlat, {});
    EXPECT_TRUE(sharp->isDeleted());
    EXPECT_EQ(tone->thisAccidentalType(), 4);
    tone->setThisAccidentalType(1);
    EXPECT_EQ(tone->accidental(), flat) << "an existing accidental changes its type";
    EXPECT_EQ(flat->type(), TOVSymbolNatural);
    tone->setThisAccidentalType(9);
    EXPECT_EQ(flat->type(), TOVSymbolNatural) << "no accidental type: nothing changes";
    tone->removeAccidental();
    EXPECT_TRUE(flat->isDeleted());
    EXPECT_EQ(tone->thisAccidentalType(), 0);
}

TEST(NoteToneTest, AnAccidentalsToneSetterAlwaysSendsItsNotice) {
    Song s;
    NoteTone* tone = toneOf(s.melo(s.bar(1), 0, 240, 1)->firstUnit());
    SymbolAccidental* sharp = tone->createNewAccidentalWithTypeFrame(TOVSymbolDoubleSharp, {});
    int notices = 0;
    auto token = sharp->addObserver("noteToneOfAccidental", [&](const platform::Change&) { ++notices; });
    sharp->setNoteTone(tone);
    EXPECT_EQ(notices, 1);
    EXPECT_EQ(sharp->noteTone(), tone);
    sharp->removeObserver(token);
}

} // namespace
