#include "model/TOVTranspose.h"
#include "model/TOVNoteUtils.h"
#include "model/TOVPitchTables.h"

#include "PitchTestNames.h"
#include "model/TOVSymbolTypes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>

namespace {

constexpr std::int64_t kMin64 = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kMax64 = std::numeric_limits<std::int64_t>::max();
constexpr int kTreble = TOVClefTreble;
constexpr int kBass = TOVClefBass;

// The major keys in key-type order, with the pitch class of each tonic.
constexpr std::array<int, 14> kTonicPitchClass = {0, 1, 1, 2, 3, 4, 5, 6, 6, 7, 8, 9, 10, 11};

int mod12(std::int64_t n) {
    return static_cast<int>(((n % 12) + 12) % 12);
}

} // namespace

TEST(TOVTransposeTest, NormalizeNumTakesRemaindersIntoRange) {
    struct Case {
        std::int64_t n, m, expected;
    };
    const Case cases[] = {
        {-1, 7, 6},
        {-7, 7, 0},
        {13, 12, 1},
        {0, 12, 0},
        {-13, 12, 11},
        {-12, 12, 0},
        {6, 7, 6},
        {kMin64, 7, 6},
        {kMin64, 12, 4},
        {kMax64, 12, 7},
        {kMax64, 7, 0},
        // A modulus that is not positive has no range to fall into.
        {5, 0, 0},
        {5, -3, 0},
        {kMin64, -1, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TOVTranspose::normalizeNumMax(c.n, c.m), c.expected) << c.n << " mod " << c.m;
    }
}

TEST(TOVTransposeTest, NormalizeLevelGivesTheStaffStepOfTheClef) {
    struct Case {
        std::int64_t level;
        int clef;
        std::int64_t step;
    };
    const Case cases[] = {
        {0, kTreble, 0},    {1, kTreble, 1},    {-1, kTreble, 6}, {-7, kTreble, 0}, // treble level 0 is B
        {0, kBass, 2},      {5, kBass, 0},      {-2, kBass, 0},   {-3, kBass, 6},   // bass level 0 is D
        {0, 2, 0},          {3, 57, 3}, // other clefs read as treble
        {kMax64, kBass, 2}, {kMin64, kBass, 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TOVTranspose::normalizeLevelClef(c.level, c.clef), c.step)
            << "level " << c.level << " clef " << c.clef;
    }
}

TEST(TOVTransposeTest, MidiNumbersUnderBothClefsAndSeveralKeys) {
    struct Case {
        std::int64_t level;
        int accidental;
        int clef;
        int key;
        std::int64_t midi;
    };
    const Case cases[] = {
        // Treble, C major: level 0 is B4.
        {0, 0, kTreble, TOVKeyC, 71},
        {-6, 0, kTreble, TOVKeyC, 60},
        {-7, 0, kTreble, TOVKeyC, 59},
        {7, 0, kTreble, TOVKeyC, 83},
        {-13, 0, kTreble, TOVKeyC, 48},
        // Bass, C major: level 0 is D3.
        {0, 0, kBass, TOVKeyC, 50},
        {-6, 0, kBass, TOVKeyC, 40},
        {6, 0, kBass, TOVKeyC, 60},
        {-12, 0, kBass, TOVKeyC, 29},
        // The key signature applies where nothing is written; a written accidental replaces it.
        {1, 0, kTreble, TOVKeyD, 73},
        {1, TOVAccidentalNatural, kTreble, TOVKeyD, 72},
        {-1, 0, kBass, TOVKeyD, 49},
        {0, 0, kTreble, TOVKeyBb, 70},
        {0, TOVAccidentalNatural, kTreble, TOVKeyBb, 71},
        {1, 0, kTreble, TOVKeyGb, 71},
        {4, 0, kTreble, TOVKeyGb, 77},
        {0, 0, kTreble, TOVKeyCSharp, 72},
        {3, 0, kTreble, TOVKeyCSharp, 77},
        {0, TOVAccidentalSharp, kTreble, TOVKeyC, 72},
        {1, TOVAccidentalDoubleFlat, kTreble, TOVKeyC, 70},
        {1, TOVAccidentalDoubleSharp, kTreble, TOVKeyC, 74},
        {1, TOVAccidentalFlat, kTreble, TOVKeyD, 71},
        // An unknown accidental type leaves the key signature in force.
        {0, 9, kTreble, TOVKeyF, 70},
        // Keys outside the tables read as C major.
        {0, 0, kTreble, TOVKeyNone, 71},
        {0, 0, kTreble, TOVKeyUnrecognised, 71},
        {-6, 0, kTreble, -3, 60},
        {3, 0, kBass, 1000, 55},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TOVTranspose::midiNumberFromLevelClefKey({c.level, c.accidental}, c.clef, c.key), c.midi)
            << "level " << c.level << " accidental " << c.accidental << " clef " << c.clef << " key "
            << c.key;
    }
}

TEST(TOVTransposeTest, ExtremeLevelsDoNotOverflow) {
    // Levels come from files; the sanitizer build fails here if the arithmetic overflows.
    for (int clef : {kTreble, kBass}) {
        for (std::int64_t level : {kMin64, kMin64 + 5, kMax64, kMax64 - 5}) {
            for (int accidental : {0, 3, 5}) {
                TOVTranspose::midiNumberFromLevelClefKey({level, accidental}, clef, TOVKeyCSharp);
                TOVTranspose::toneTypeFromLevelClefKey({level, accidental}, clef, TOVKeyGb);
            }
        }
    }
}

TEST(TOVTransposeTest, KeySignatureMarginsMatchTheKeySignatureSymbols) {
    for (int key = 0; key <= TOVKeyB; ++key) {
        int sharps = 0;
        int flats = 0;
        for (std::int64_t level = 0; level < 7; ++level) {
            const int margin = TOVTranspose::defaultAccidentalMarginFromLevelClefKey(level, kTreble, key);
            sharps += margin == 1;
            flats += margin == -1;
            // The bass clef sees the same letter two levels lower.
            EXPECT_EQ(TOVTranspose::defaultAccidentalMarginFromLevelClefKey(level - 2, kBass, key), margin);
        }
        const int symbol = TOVNoteUtils::keySignatureSymbolTypeFromKeyType(key);
        EXPECT_EQ(sharps, symbol >= TOVSymbolKeySharp1 && symbol <= TOVSymbolKeySharp7
                              ? symbol - TOVSymbolKeySharp1 + 1
                              : 0)
            << "key " << key;
        EXPECT_EQ(flats, symbol >= TOVSymbolKeyFlat1 && symbol <= TOVSymbolKeyFlat7
                             ? symbol - TOVSymbolKeyFlat1 + 1
                             : 0)
            << "key " << key;
    }
    for (int key : {int{TOVKeyNone}, int{TOVKeyUnrecognised}, -1, 99}) {
        for (std::int64_t level = 0; level < 7; ++level) {
            EXPECT_EQ(TOVTranspose::defaultAccidentalMarginFromLevelClefKey(level, kTreble, key), 0);
        }
    }
}

TEST(TOVTransposeTest, AccidentalMarginIsMeasuredFromTheKeySignature) {
    struct Case {
        std::int64_t level;
        int accidental;
        int key;
        int margin;
    };
    const Case cases[] = {
        {1, TOVAccidentalNatural, TOVKeyD, -1},
        {1, TOVAccidentalSharp, TOVKeyD, 0},
        {1, TOVAccidentalDoubleSharp, TOVKeyD, 1},
        {1, TOVAccidentalFlat, TOVKeyD, -2},
        {1, TOVAccidentalDoubleFlat, TOVKeyD, -3},
        {1, TOVAccidentalNone, TOVKeyD, 0},
        {0, TOVAccidentalNatural, TOVKeyF, 1},
        {0, TOVAccidentalSharp, TOVKeyC, 1},
        {0, 6, TOVKeyC, 0},
        {0, -1, TOVKeyF, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TOVTranspose::accidentalMarginFromLevelClefKey({c.level, c.accidental}, kTreble, c.key),
                  c.margin)
            << "level " << c.level << " accidental " << c.accidental << " key " << c.key;
    }
}

// The chromatic rows are held as printed; each entry must lie its index in semitones above the tonic.
TEST(TOVTransposeTest, ChromaticRowsClimbBySemitones) {
    using namespace TOVPitchTables;
    for (int key = 0; key < kKeyCount; ++key) {
        for (int i = 0; i < 12; ++i) {
            EXPECT_EQ(testPitchClass(kChromaticRows[key][i]), (kTonicPitchClass[key] + i) % 12)
                << "key " << key << " entry " << i << " is " << toneName(kChromaticRows[key][i]);
        }
    }
}

// The diatonic spelling of each key by staff step (B C D E F G A), written out independently of the
// key-signature list the code derives it from.
TEST(TOVTransposeTest, DiatonicToneTypesFollowTheKeySignatures) {
    const char* const diatonic[14] = {
        "B  C  D  E  F  G  A",  "B# C# D# E# F# G# A#", "Bb C  Db Eb F  Gb Ab", "B  C# D  E  F# G  A",
        "Bb C  D  Eb F  G  Ab", "B  C# D# E  F# G# A",  "Bb C  D  E  F  G  A",  "B  C# D# E# F# G# A#",
        "Bb Cb Db Eb F  Gb Ab", "B  C  D  E  F# G  A",  "Bb C  Db Eb F  G  Ab", "B  C# D  E  F# G# A",
        "Bb C  D  Eb F  G  A",  "B  C# D# E  F# G# A#",
    };
    constexpr int kMajorScale[] = {0, 2, 4, 5, 7, 9, 11};
    for (int key = 0; key < 14; ++key) {
        const std::vector<int> row = toneRow(diatonic[key]);
        ASSERT_EQ(row.size(), 7u);
        for (int step = 0; step < 7; ++step) {
            SCOPED_TRACE(testing::Message() << "key " << key << " step " << step);
            EXPECT_EQ(toneName(TOVTranspose::toneTypeFromLevelClefKey({step, 0}, kTreble, key)),
                      toneName(row[step]));
            EXPECT_EQ(toneName(TOVTranspose::toneTypeFromLevelClefKey({step - 9, 0}, kBass, key)),
                      toneName(row[step]));
            // ... and every diatonic tone sits on a major-scale degree of the printed chromatic row.
            const int index = TOVPitchTables::chromaticIndexOf(key, row[step]);
            EXPECT_NE(std::find(std::begin(kMajorScale), std::end(kMajorScale), index),
                      std::end(kMajorScale));
        }
    }
}

TEST(TOVTransposeTest, ToneTypesSpellTheSoundingPitchInTheKey) {
    struct Case {
        std::int64_t level;
        int accidental;
        int clef;
        int key;
        const char* tone;
    };
    const Case cases[] = {
        {0, TOVAccidentalSharp, kTreble, TOVKeyC, "C"}, // B sharp sounds as C, spelled as C in C
        {3, TOVAccidentalSharp, kTreble, TOVKeyC, "F"},
        {0, TOVAccidentalFlat, kTreble, TOVKeyC, "Bb"},
        {1, 0, kTreble, TOVKeyD, "C#"},
        {1, TOVAccidentalNatural, kTreble, TOVKeyD, "C"},
        {1, TOVAccidentalDoubleSharp, kTreble, TOVKeyGb, "D"},
        {0, TOVAccidentalFlat, kTreble, TOVKeyGb, "Bb"},
        {0, TOVAccidentalNatural, kTreble, TOVKeyGb, "Cb"},
        {0, 0, kBass, TOVKeyC, "D"},
        {-2, TOVAccidentalSharp, kBass, TOVKeyC, "C"},
        {0, 7, kTreble, TOVKeyC, "B"}, // unknown accidentals move nothing
        // No key has no diatonic tones; other keys outside the tables read as C major.
        {0, 0, kTreble, TOVKeyNone, "none"},
        {0, TOVAccidentalSharp, kTreble, TOVKeyNone, "none"},
        {0, TOVAccidentalSharp, kTreble, TOVKeyUnrecognised, "C"},
        {4, 0, kTreble, -7, "F"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(toneName(TOVTranspose::toneTypeFromLevelClefKey({c.level, c.accidental}, c.clef, c.key)),
                  c.tone)
            << "level " << c.level << " accidental " << c.accidental << " clef " << c.clef << " key "
            << c.key;
    }
}

// Tone type and MIDI number are two readings of the same written tone: they must name the same pitch.
TEST(TOVTransposeTest, ToneTypeAndMidiNumberAgreeOnThePitch) {
    for (int key : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 15}) {
        for (int clef : {kTreble, kBass}) {
            for (std::int64_t level = -15; level <= 15; ++level) {
                for (int accidental = 0; accidental <= 5; ++accidental) {
                    const TOVToneLevel written{level, accidental};
                    const int tone = TOVTranspose::toneTypeFromLevelClefKey(written, clef, key);
                    ASSERT_GE(tone, 0);
                    ASSERT_LT(tone, 20);
                    EXPECT_EQ(testPitchClass(tone),
                              mod12(TOVTranspose::midiNumberFromLevelClefKey(written, clef, key)))
                        << "key " << key << " clef " << clef << " level " << level << " accidental "
                        << accidental;
                }
            }
        }
    }
}

TEST(TOVTransposeTest, LevelsOfToneTypes) {
    struct Case {
        int tone;
        int clef;
        int key;
        std::optional<TOVToneLevel> level;
    };
    const Case cases[] = {
        {TOVToneEb, kTreble, TOVKeyC, TOVToneLevel{3, TOVAccidentalFlat}},
        {TOVToneEb, kBass, TOVKeyC, TOVToneLevel{1, TOVAccidentalFlat}},
        {TOVToneC, kTreble, TOVKeyD, TOVToneLevel{1, TOVAccidentalNatural}},
        {TOVToneCSharp, kTreble, TOVKeyD, TOVToneLevel{1, 0}},
        {TOVToneCb, kTreble, TOVKeyGb, TOVToneLevel{1, 0}},
        {TOVToneD, kTreble, TOVKeyCSharp, TOVToneLevel{2, TOVAccidentalNatural}},
        {TOVToneBSharp, kTreble, TOVKeyCSharp, TOVToneLevel{0, 0}},
        {TOVToneBSharp, kBass, TOVKeyCSharp, TOVToneLevel{5, 0}},
        // Keys outside the tables read as C major.
        {TOVToneBb, kTreble, TOVKeyNone, TOVToneLevel{0, TOVAccidentalFlat}},
        {TOVToneBb, kTreble, TOVKeyUnrecognised, TOVToneLevel{0, TOVAccidentalFlat}},
        // Tones the key does not spell have no level.
        {TOVToneB, kTreble, TOVKeyGb, std::nullopt},
        {TOVToneESharp, kTreble, TOVKeyC, std::nullopt},
        {TOVToneDb, kTreble, TOVKeyUnrecognised, std::nullopt},
        {TOVToneNone, kTreble, TOVKeyC, std::nullopt},
        {-1, kTreble, TOVKeyC, std::nullopt},
        {99, kBass, TOVKeyC, std::nullopt},
    };
    for (const Case& c : cases) {
        const auto level = TOVTranspose::levelFromToneTypeClefKey(c.tone, c.clef, c.key);
        SCOPED_TRACE(testing::Message() << toneName(c.tone) << " clef " << c.clef << " key " << c.key);
        ASSERT_EQ(level.has_value(), c.level.has_value());
        if (level) {
            EXPECT_EQ(level->level, c.level->level);
            EXPECT_EQ(level->accidental, c.level->accidental);
        }
    }
}

// Writing a tone where the level list says and reading it back gives the same tone and pitch.
TEST(TOVTransposeTest, LevelListsReadBackAsTheirTones) {
    for (int key = 0; key < TOVPitchTables::kKeyCount; ++key) {
        for (int clef : {kTreble, kBass}) {
            for (int tone : TOVPitchTables::kChromaticRows[key]) {
                SCOPED_TRACE(testing::Message()
                             << "key " << key << " clef " << clef << " " << toneName(tone));
                const auto level = TOVTranspose::levelFromToneTypeClefKey(tone, clef, key);
                ASSERT_TRUE(level.has_value());
                EXPECT_GE(level->level, 0);
                EXPECT_LT(level->level, 7);
                EXPECT_EQ(TOVTranspose::toneTypeFromLevelClefKey(*level, clef, key), tone);
                EXPECT_EQ(mod12(TOVTranspose::midiNumberFromLevelClefKey(*level, clef, key)),
                          testPitchClass(tone));
            }
        }
    }
}

TEST(TOVTransposeTest, TransposeKeySignature) {
    struct Case {
        int key;
        std::int64_t width;
        int expected;
    };
    const Case cases[] = {
        {TOVKeyC, 1, TOVKeyCSharp},
        {TOVKeyC, -11, TOVKeyDb},
        {TOVKeyCSharp, -1, TOVKeyC},
        {TOVKeyDb, 0, TOVKeyDb},
        {TOVKeyFSharp, 0, TOVKeyFSharp},
        {TOVKeyGb, 0, TOVKeyGb},
        {TOVKeyC, 6, TOVKeyFSharp},
        {TOVKeyC, -6, TOVKeyGb},
        {TOVKeyB, 2, TOVKeyCSharp},
        {TOVKeyD, -1, TOVKeyDb},
        {TOVKeyA, 4, TOVKeyCSharp},
        {TOVKeyEb, 3, TOVKeyFSharp},
        {TOVKeyAb, -2, TOVKeyGb},
        {TOVKeyC, 2, TOVKeyD},
        {TOVKeyG, -7, TOVKeyC},
        // Keys outside the tables have no tonic to move.
        {TOVKeyNone, 3, TOVKeyUnrecognised},
        {TOVKeyUnrecognised, 1, TOVKeyUnrecognised},
        {-1, 2, TOVKeyUnrecognised},
        {99, 0, TOVKeyUnrecognised},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TOVTranspose::transposeKeySignatureWidth(c.key, c.width), c.expected)
            << "key " << c.key << " width " << c.width;
    }
}

// Two keys share the tonics C#/Db and F#/Gb: the sharp key going up, the flat key going down.
TEST(TOVTransposeTest, SharedTonicsAreChosenByDirection) {
    for (int key = 0; key < 14; ++key) {
        EXPECT_EQ(TOVTranspose::transposeKeySignatureWidth(key, 0), key);
        for (std::int64_t width = -11; width <= 11; ++width) {
            if (width == 0) {
                continue;
            }
            const int result = TOVTranspose::transposeKeySignatureWidth(key, width);
            const int tonic = mod12(kTonicPitchClass[key] + width);
            SCOPED_TRACE(testing::Message() << "key " << key << " width " << width);
            ASSERT_TRUE(result >= 0 && result < 14);
            EXPECT_EQ(kTonicPitchClass[result], tonic);
            if (tonic == 1) {
                EXPECT_EQ(result, width > 0 ? TOVKeyCSharp : TOVKeyDb);
            }
            if (tonic == 6) {
                EXPECT_EQ(result, width > 0 ? TOVKeyFSharp : TOVKeyGb);
            }
        }
    }
}

TEST(TOVTransposeTest, TransposeToneKeepsItsPlaceInTheScale) {
    struct Case {
        int tone;
        int key;
        std::int64_t width;
        const char* expected;
    };
    const Case cases[] = {
        {TOVToneEb, TOVKeyC, 2, "F"},      // into D major
        {TOVToneFSharp, TOVKeyC, -6, "C"}, // into Gb major
        {TOVToneC, TOVKeyC, 1, "C#"},
        {TOVToneC, TOVKeyC, -11, "Db"},
        {TOVToneC, TOVKeyC, 6, "F#"},
        {TOVToneC, TOVKeyC, -6, "Gb"},
        {TOVToneDb, TOVKeyDb, 0, "Db"},
        {TOVToneG, TOVKeyDb, 0, "G"},
        {TOVToneB, TOVKeyB, 1, "C"},
        {TOVToneB, TOVKeyB, -1, "Bb"},
        {TOVToneCb, TOVKeyGb, 1, "C"},
        {TOVToneBSharp, TOVKeyCSharp, -1, "B"},
        // Widths beyond an octave wrap, the direction still choosing between shared tonics.
        {TOVToneC, TOVKeyC, 13, "C#"},
        {TOVToneC, TOVKeyC, -13, "B"},
        {TOVToneC, TOVKeyC, kMin64, "E"},
        {TOVToneC, TOVKeyC, kMax64, "G"},
        // Nothing to transpose: a tone the key does not spell, no key, or values outside the tables.
        {TOVToneESharp, TOVKeyC, 2, "none"},
        {TOVToneESharp, TOVKeyC, 0, "none"},
        {TOVToneC, TOVKeyNone, 2, "none"},
        {TOVToneC, TOVKeyUnrecognised, 2, "none"},
        {TOVToneC, -1, 2, "none"},
        {TOVToneNone, TOVKeyC, 1, "none"},
        {-1, TOVKeyC, 1, "none"},
        {99, TOVKeyC, 1, "none"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(toneName(TOVTranspose::transposeToneCurrentKeyWidth(c.tone, c.key, c.width)), c.expected)
            << toneName(c.tone) << " in key " << c.key << " by " << c.width;
    }
}

// Every tone of a key moves by exactly the width and lands in the target key's spelling.
TEST(TOVTransposeTest, TransposedTonesSoundTheWidthHigher) {
    for (int key = 0; key < TOVPitchTables::kKeyCount; ++key) {
        for (std::int64_t width = -11; width <= 11; ++width) {
            const int target = TOVTranspose::transposeKeySignatureWidth(key, width);
            for (int tone : TOVPitchTables::kChromaticRows[key]) {
                const int moved = TOVTranspose::transposeToneCurrentKeyWidth(tone, key, width);
                SCOPED_TRACE(testing::Message() << toneName(tone) << " key " << key << " width " << width);
                ASSERT_NE(moved, TOVToneNone);
                EXPECT_EQ(testPitchClass(moved), mod12(testPitchClass(tone) + width));
                EXPECT_TRUE(TOVTranspose::levelFromToneTypeClefKey(moved, kTreble, target).has_value());
            }
        }
    }
}
