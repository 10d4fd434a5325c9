#include "document/TOVDocumentDump.h"
#include "model/Bar.h"
#include "model/BarSnapShot.h"
#include "model/Document.h"
#include "model/Note.h"
#include "model/NoteSnapShot.h"
#include "model/NoteTone.h"
#include "model/NoteToneSnapShot.h"
#include "model/NoteUnit.h"
#include "model/NoteUnitSnapShot.h"
#include "model/TOVPitchTypes.h"
#include "model/TOVSymbolTypes.h"
#include "model/Tie.h"
#include "platform/data/ManagedObjectContext.h"
#include "platform/data/MemoryPasteboard.h"
#include "support/LayoutBuilder.h"
#include "support/SongBuilder.h"
#include "support/StructureCheck.h"
#include "support/UndoRedoCheck.h"

#include <gtest/gtest.h>

#include <string>

using namespace tovtest;

// A damaged song may hold a tie whose tone at one end is gone. Every reader that follows ties takes such a
// tie as absent: it neither stops at it nor makes it into a whole tie by accident.

namespace {

enum class Missing { Left, Right };

const char* nameOf(Missing missing) {
    return missing == Missing::Left ? "left end missing" : "right end missing";
}

// A single-row song of 36 bars in 4/4.
struct Song {
    TestSong song{false};
    Document* d = song.document;
    platform::ManagedObjectContext& context = *song.context;

    Bar* bar(std::uint64_t num) { return findBar(d, num); }
    NoteTone* tone(Bar* b, std::uint64_t from, std::uint64_t length, std::int64_t level, int accidental = 0) {
        Note* note = b->createNewSingleMeloFromLengthLevel(from, length, level);
        context.processPendingChanges();
        NoteTone* t = note->firstUnit()->toneArray().front();
        if (accidental != 0) {
            t->setThisAccidentalType(accidental);
        }
        return t;
    }
    // A tie that hangs from the tone at its one remaining end.
    Tie* dangling(NoteTone* at, Missing missing) {
        auto* tie = context.insertNewObject<Tie>("Tie");
        if (missing == Missing::Right) {
            tie->setToneLeft(at);
        } else {
            tie->setToneRight(at);
        }
        context.processPendingChanges();
        return tie;
    }
    std::size_t ties() const { return context.fetchObjects("Tie").size(); }
};

// Bar 1 ends on a sharpened level 1, bar 2 starts on level 1 without an accidental. A whole tie would carry
// the sharp over the barline; a tie missing either end carries nothing.
TEST(DanglingTieTest, TheAccidentalInForceIsNotCarriedByAHalfTie) {
    for (Missing missing : {Missing::Left, Missing::Right}) {
        SCOPED_TRACE(nameOf(missing));
        Song s;
        NoteTone* before = s.tone(s.bar(1), 720, 240, 1, TOVAccidentalSharp);
        NoteTone* after = s.tone(s.bar(2), 0, 240, 1);
        s.dangling(missing == Missing::Left ? after : before, missing);
        EXPECT_EQ(after->accidentalMode(), TOVAccidentalNone);
        EXPECT_EQ(before->accidentalMode(), TOVAccidentalSharp);
        EXPECT_EQ(s.bar(2)->accidentalModeOfTone(after), TOVAccidentalNone);
    }
}

// Treble levels: -3 F4, -1 A4. The middle tone of each run is respelled when untied; a half tie at the side
// the tidying looks at must not hold it back as a whole tie does.
struct RunCase {
    Missing missing;
    std::vector<std::pair<std::int64_t, int>> tones; // level, own accidental
};

TEST(DanglingTieTest, StepwiseRunsAreRespelledAsIfTheHalfTieWereNotThere) {
    for (const RunCase& c :
         {RunCase{Missing::Left, {{-3, TOVAccidentalSharp}, {-3, 0}, {-1, 0}}},
          RunCase{Missing::Right, {{-3, 0}, {-1, TOVAccidentalFlat}, {-1, TOVAccidentalFlat}}}}) {
        SCOPED_TRACE(nameOf(c.missing));
        auto levels = [&c](bool withHalfTie) {
            Song s;
            std::vector<NoteTone*> tones;
            for (std::size_t i = 0; i < c.tones.size(); ++i) {
                tones.push_back(s.tone(s.bar(1), 240 * i, 240, c.tones[i].first, c.tones[i].second));
            }
            if (withHalfTie) {
                s.dangling(tones[1], c.missing);
            }
            const std::int64_t midi = tones[1]->midiNumber();
            s.bar(1)->keepInclinationOfTones();
            EXPECT_EQ(tones[1]->midiNumber(), midi);
            std::vector<std::int64_t> out;
            for (const NoteTone* t : tones) {
                out.push_back(t->level());
            }
            return out;
        };
        const std::vector<std::int64_t> untied = levels(false);
        ASSERT_EQ(untied[1], -2) << "the run must be one the tidying changes";
        EXPECT_EQ(levels(true), untied);
    }
}

// A copied tone remembers a tie to remake only when the tie it had was whole.
TEST(DanglingTieTest, ACopyRemakesNoTieFromAHalfTie) {
    for (Missing missing : {Missing::Left, Missing::Right}) {
        SCOPED_TRACE(nameOf(missing));
        Song s;
        NoteTone* left = s.tone(s.bar(2), 480, 480, 1);
        NoteTone* right = s.tone(s.bar(3), 0, 240, 1);
        s.dangling(missing == Missing::Left ? right : left, missing);

        for (std::uint64_t num : {2u, 3u}) {
            const auto snap = s.bar(num)->createSnapShot();
            const auto* bar = static_cast<const BarSnapShot*>(snap.get());
            const auto* note = dynamic_cast<const NoteSnapShot*>(bar->noteArray().front().get());
            ASSERT_NE(note, nullptr);
            const auto& tone = note->unitArray().front()->toneArray().front();
            EXPECT_FALSE(tone->tieRight()) << "bar " << num;
            EXPECT_FALSE(tone->tieLeft()) << "bar " << num;
        }

        platform::MemoryPasteboard pasteboard;
        const UndoRedoDumps dumps = runUndoRedo(s.d, [&] {
            s.d->copyBarsIntoPasteBoardFromTo(s.bar(2), s.bar(3), pasteboard);
            ASSERT_EQ(
                s.d->pasteBarsFromPasteBoardAtBarCountChordNote(s.bar(10), 1, true, true, pasteboard).size(),
                2u);
        });
        NoteTone* copy = s.bar(10)->noteArray().front()->firstUnit()->toneArray().front();
        EXPECT_EQ(copy->tieRight(), nullptr);
        EXPECT_FALSE(copy->needCreateTie());
        EXPECT_EQ(s.ties(), 1u) << "only the damaged tie of the original";
        EXPECT_EQ(dumps.undone, dumps.before);
        EXPECT_EQ(dumps.redone, dumps.after);
        EXPECT_EQ(structureFaults(s.d), "");
    }
}

// A tie remade after a paste replaces a half tie at either of its tones: one whole tie, nothing left over.
TEST(DanglingTieTest, CompletingATieReplacesAHalfTieAtEitherEnd) {
    for (Missing missing : {Missing::Left, Missing::Right}) {
        SCOPED_TRACE(nameOf(missing));
        Song s;
        NoteTone* left = s.tone(s.bar(2), 480, 480, 1);
        NoteTone* right = s.tone(s.bar(3), 0, 240, 1);
        s.dangling(missing == Missing::Left ? right : left, missing);
        left->setNeedCreateTie(true);
        const UndoRedoDumps dumps = runUndoRedo(s.d, [&] { s.bar(2)->completeTie(); });
        ASSERT_NE(left->tieRight(), nullptr);
        EXPECT_EQ(left->tieRight()->toneRight(), right);
        EXPECT_EQ(right->tieLeft(), left->tieRight());
        EXPECT_FALSE(left->needCreateTie());
        EXPECT_EQ(s.ties(), 1u);
        EXPECT_EQ(dumps.undone, dumps.before);
        EXPECT_EQ(dumps.redone, dumps.after);
    }
}

// Fitting a bar to a shorter time removes the notes that run past its end with their half ties, and a last
// note ending early loses a half tie as it would a whole one.
TEST(DanglingTieTest, TruncationTakesHalfTiesWithTheNotesAndRightTies) {
    for (Missing missing : {Missing::Left, Missing::Right}) {
        SCOPED_TRACE(nameOf(missing));
        Song s;
        Bar* b = s.bar(4);
        NoteTone* kept = s.tone(b, 0, 480, 1);
        NoteTone* cut = s.tone(b, 480, 480, 1);
        s.dangling(kept, Missing::Right);
        s.dangling(cut, missing);
        ASSERT_EQ(s.ties(), 2u);
        const UndoRedoDumps dumps = runUndoRedo(s.d, [&] {
            b->setTimeType(TOVSymbolTime3_4); // 3/4
            b->truncateDataByTimeSignature();
        });
        EXPECT_EQ(b->noteArray().size(), 1u);
        EXPECT_EQ(kept->tieRight(), nullptr);
        EXPECT_EQ(s.ties(), 0u);
        EXPECT_EQ(dumps.undone, dumps.before);
        EXPECT_EQ(dumps.redone, dumps.after);
    }
}

// Uniting and splitting tuplet slots re-aim the ties that reach them; a half tie there has no tone to re-aim
// from and stays as it is, or goes with its slot.
TEST(DanglingTieTest, TupletSlotsUniteAndSplitPastHalfTies) {
    for (Missing missing : {Missing::Left, Missing::Right}) {
        SCOPED_TRACE(nameOf(missing));
        Song s;
        Note* triplet = s.bar(1)->createNewTripletFromLengthUnitsLevelKind(0, {80, 80, 80}, 1, 0);
        ASSERT_NE(triplet, nullptr);
        std::vector<NoteUnit*> units = triplet->unitArray();
        s.dangling(units[0]->toneArray().front(), missing);
        s.dangling(units[1]->toneArray().front(), missing);
        const UndoRedoDumps dumps = runUndoRedo(s.d, [&] {
            NoteUnit* united = triplet->makeUnitedOn({units[0], units[1]});
            ASSERT_EQ(united, units[1]);
            const std::vector<NoteUnit*> halves = triplet->makeUnitedOff(united);
            ASSERT_EQ(halves.size(), 2u);
        });
        EXPECT_EQ(triplet->units().size(), 3u);
        EXPECT_EQ(s.ties(), 1u) << "the half tie of the united first slot went with it";
        EXPECT_EQ(dumps.undone, dumps.before);
        EXPECT_EQ(dumps.redone, dumps.after);
    }
}

} // namespace
