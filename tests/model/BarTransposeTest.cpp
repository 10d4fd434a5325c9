#include "document/TOVDocumentDump.h"
#include "model/Bar.h"
#include "model/Chord.h"
#include "model/Document.h"
#include "model/Note.h"
#include "model/NoteTone.h"
#include "model/NoteUnit.h"
#include "model/TOVChordMeasuring.h"
#include "model/TOVSymbolTypes.h"
#include "model/TOVUtils.h"
#include "model/Tie.h"
#include "platform/data/ManagedObjectContext.h"
#include "support/LayoutBuilder.h"
#include "support/SongBuilder.h"
#include "support/StructureCheck.h"
#include "support/UndoRedoCheck.h"

#include <gtest/gtest.h>

#include <string>

using namespace tovtest;

namespace {

struct Song {
    TestSong song{false};
    Document* d = song.document;
    platform::ManagedObjectContext& context = *song.context;

    Bar* bar(std::uint64_t num) { return findBar(d, num); }
    NoteTone* tone(Bar* b, std::uint64_t from, std::int64_t level, int accidental = 0) {
        Note* note = b->createNewSingleMeloFromLengthLevel(from, 240, level);
        context.processPendingChanges();
        NoteTone* t = note->firstUnit()->toneArray().front();
        if (accidental != 0) {
            t->setThisAccidentalType(accidental);
        }
        return t;
    }
    // The four phases over bars first..last, each phase for every bar before the next.
    void transpose(std::uint64_t first, std::uint64_t last, std::int64_t width) {
        d->updateClefKeyTimeStateForAllBars();
        for (std::uint64_t n = first; n <= last; ++n) {
            bar(n)->willStartTranspose();
        }
        for (std::uint64_t n = first; n <= last; ++n) {
            bar(n)->doTranspose(width);
        }
        for (std::uint64_t n = first; n <= last; ++n) {
            bar(n)->doTransposeKeySignatureFirstBar(width, n == first);
        }
        d->updateClefKeyTimeStateForAllBars();
        for (std::uint64_t n = first; n <= last; ++n) {
            bar(n)->didFinishTranspose();
        }
    }
};

TEST(BarTransposeTest, TonesMoveToTheNearerOctave) {
    for (std::int64_t w : {0, 6, -7, -11}) {
        EXPECT_TRUE(Bar::shouldPositionUpByTransposeWidth(w)) << w;
    }
    for (std::int64_t w : {7, 11, -1, -6}) {
        EXPECT_FALSE(Bar::shouldPositionUpByTransposeWidth(w)) << w;
    }
}

struct ToneCase {
    std::int64_t width;
    std::int64_t level;
    std::int64_t expectedLevel;
    std::int64_t midiShift;
    int expectedKey;
    int expectedRoot;
};

// Treble clef, C major: level 0 is B4. A whole octave is no width in use: +12 lands the tone in the octave
// below, -12 leaves it, as the nearer-octave rule gives.
TEST(BarTransposeTest, TonesChordsAndKeysMoveTogether) {
    for (const ToneCase& c :
         {ToneCase{2, 0, 1, 2, TOVSymbolKeySharp2, 3},    // B4 -> C#5 in D major, C -> D
          ToneCase{7, 0, -3, -5, TOVSymbolKeySharp1, 10}, // B4 -> F#4 (a fourth down) in G major
          ToneCase{12, 0, -7, -12, 0, 0}, ToneCase{-12, 0, 0, 0, 0, 0},
          ToneCase{-2, -3, -4, -2, TOVSymbolKeyFlat2, 15}}) { // F4 -> Eb4 in Bb major, C -> Bb
        SCOPED_TRACE("width " + std::to_string(c.width));
        Song s;
        Bar* b = s.bar(2);
        NoteTone* t = s.tone(b, 0, c.level);
        const std::int64_t midiBefore = t->midiNumber();
        Chord* chord = b->createNewChordWithElemsTiming({0, 12, 70, 17, false}, 0);
        s.context.processPendingChanges();
        const UndoRedoDumps dumps = runUndoRedo(s.d, [&] { s.transpose(2, 3, c.width); });
        EXPECT_EQ(t->level(), c.expectedLevel);
        EXPECT_EQ(t->midiNumber(), midiBefore + c.midiShift);
        EXPECT_EQ(b->keyType(), c.expectedKey);
        EXPECT_EQ(chord->chordElems().elemStep1, c.expectedRoot);
        EXPECT_EQ(s.bar(3)->keyType(), 0) << "a later bar without its own key keeps none";
        EXPECT_EQ(dumps.undone, dumps.before);
        EXPECT_EQ(dumps.redone, dumps.after);
        EXPECT_EQ(structureFaults(s.d), "");
    }
}

TEST(BarTransposeTest, BarsWithTheirOwnKeyMoveAnywhereInTheRange) {
    Song s;
    s.bar(4)->setKeyType(TOVSymbolKeySharp2); // D major
    s.bar(6)->setKeyType(600);                // a code no key table knows
    s.transpose(3, 6, 2);
    EXPECT_EQ(s.bar(3)->keyType(), TOVSymbolKeySharp2);
    EXPECT_EQ(s.bar(4)->keyType(), TOVSymbolKeySharp4); // E major
    EXPECT_EQ(s.bar(5)->keyType(), 0);
    EXPECT_EQ(s.bar(6)->keyType(), 600);
}

// A key code that no key signature stands for gives the tables no pitch to move a tone from or to: every
// tone of a bar under it stays as written, with its own accidental, and the key code stays too, whether the
// bar sets it or inherits it from an earlier bar.
TEST(BarTransposeTest, TonesUnderAKeyTheTablesDoNotKnowStayAsWritten) {
    constexpr int kUnknownKey = 600;
    struct Case {
        const char* name;
        std::uint64_t keyBar;
    };
    for (const Case& c : {Case{"the bar's own key", 2}, Case{"a key inherited from bar 1", 1}}) {
        for (std::int64_t width : {2, -5, 7, 12}) {
            SCOPED_TRACE(std::string(c.name) + ", width " + std::to_string(width));
            Song s;
            s.bar(c.keyBar)->setKeyType(kUnknownKey);
            Bar* b = s.bar(2);
            const std::vector<NoteTone*> tones = {s.tone(b, 0, 0), s.tone(b, 240, -3, 2),
                                                  s.tone(b, 480, 2, 4), s.tone(b, 720, -1)};
            std::vector<std::pair<std::int64_t, int>> written;
            for (const NoteTone* t : tones) {
                written.emplace_back(t->level(), t->thisAccidentalType());
            }
            const UndoRedoDumps dumps = runUndoRedo(s.d, [&] { s.transpose(2, 3, width); });
            for (std::size_t i = 0; i < tones.size(); ++i) {
                EXPECT_EQ(std::make_pair(tones[i]->level(), tones[i]->thisAccidentalType()), written[i])
                    << "tone " << i;
            }
            EXPECT_EQ(s.bar(c.keyBar)->keyType(), kUnknownKey);
            EXPECT_EQ(b->keyType(), c.keyBar == 2 ? kUnknownKey : 0);
            EXPECT_EQ(s.bar(3)->keyType(), 0);
            EXPECT_EQ(dumps.undone, dumps.before);
            EXPECT_EQ(dumps.redone, dumps.after);
        }
    }
}

TEST(BarTransposeTest, OctavesUpAndDownRestoreEveryLevel) {
    Song s;
    Bar* b = s.bar(1);
    NoteTone* a = s.tone(b, 0, -3);
    NoteTone* c = s.tone(b, 240, 4);
    b->doTransposeOctaveUp();
    EXPECT_EQ(a->level(), 4);
    EXPECT_EQ(c->level(), 11);
    b->doTransposeOctaveDown();
    EXPECT_EQ(a->level(), -3);
    EXPECT_EQ(c->level(), 4);
}

struct RunCase {
    const char* name;
    std::vector<std::pair<std::int64_t, int>> tones; // level, own accidental
    int tie;                                         // the tone a tie leaves from, -1 none
    std::vector<std::int64_t> levels;
};

// Treble levels: -3 F4, -2 G4, -1 A4, 0 B4.
TEST(BarTransposeTest, StepwiseRunsAreRespelledToFollowTheMelody) {
    for (const RunCase& c : {
             RunCase{"F F# A rises", {{-3, 0}, {-3, 2}, {-1, 0}}, -1, {-3, -2, -1}},
             RunCase{"F F# G is left", {{-3, 0}, {-3, 2}, {-2, 0}}, -1, {-3, -3, -2}},
             RunCase{"A Ab F falls", {{-1, 0}, {-1, 4}, {-3, 0}}, -1, {-1, -2, -3}},
             RunCase{"first and last equal", {{-3, 0}, {-3, 2}, {-3, 0}}, -1, {-3, -3, -3}},
             RunCase{"a tied tone keeps its spelling", {{-3, 2}, {-3, 2}, {-1, 0}}, 0, {-3, -3, -1}},
             RunCase{"untied, the same run is respelled", {{-3, 2}, {-3, 2}, {-1, 0}}, -1, {-3, -2, -1}},
             // The flat of the middle tone reaches the last one: respelling it would make that one A.
             RunCase{"F Ab Ab, the flat carried on, is left", {{-3, 0}, {-1, 4}, {-1, 0}}, -1, {-3, -1, -1}},
             RunCase{"F Ab Ab, both written, rises", {{-3, 0}, {-1, 4}, {-1, 4}}, -1, {-3, -2, -1}},
         }) {
        SCOPED_TRACE(c.name);
        Song s;
        Bar* b = s.bar(1);
        std::vector<NoteTone*> tones;
        for (std::size_t i = 0; i < c.tones.size(); ++i) {
            tones.push_back(s.tone(b, 240 * i, c.tones[i].first, c.tones[i].second));
        }
        if (c.tie >= 0) {
            ASSERT_NE(tones[static_cast<std::size_t>(c.tie)]->createNewTie(), nullptr);
        }
        const std::vector<int> midi = [&] {
            std::vector<int> out;
            for (NoteTone* t : tones) {
                out.push_back(t->midiNumber());
            }
            return out;
        }();
        b->keepInclinationOfTones();
        for (std::size_t i = 0; i < tones.size(); ++i) {
            EXPECT_EQ(tones[i]->level(), c.levels[i]) << "tone " << i;
            EXPECT_EQ(tones[i]->midiNumber(), midi[i]) << "tone " << i << " changed pitch";
        }
    }
}

// A chord glyph that grows taller when transposed keeps its baseline: the frame moves up by the growth.
class FixedHeights : public TOVChordMeasuring {
public:
    std::optional<platform::Size> boundsSizeOfChordFontID(const TOVChordElems& chord,
                                                          const std::string&) override {
        if (chord.elemStep1 == 17) {
            return std::nullopt;
        }
        return platform::Size{20, 30};
    }
    TOVChordNotationProfile profile() const override { return {}; }
    void setProfile(const TOVChordNotationProfile&) override {}
};

TEST(BarTransposeTest, AChordFrameKeepsItsBaseline) {
    static FixedHeights measuring;
    TOVUtils::Services services;
    services.chordViewFactory = [] { return &measuring; };
    TOVUtils::registerServices(services);
    Song s;
    Bar* b = s.bar(1);
    Chord* chord = b->createNewChordWithElemsTiming({0, 12, 70, 17, false}, 0);
    s.context.processPendingChanges();
    chord->setFrame({5, 100, 40, 20});
    chord->setInitialSize({40, 20});
    chord->setScale(1.5);
    s.transpose(1, 1, 2);
    TOVUtils::registerServices({});
    EXPECT_EQ(chord->frame(), (platform::Rect{5, 100 + 20 * 1.5 - 1.5 * 30, 40, 20}));
}

} // namespace
