#include "model/TOVChordUtils.h"
#include "model/TOVPitchTypes.h"

#include "PitchTestNames.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <limits>
#include <string>

namespace {

// Root and bass codes, named as a musician reads them.
enum Step : int {
    C = 0,
    Cs = 1,
    Db = 2,
    D = 3,
    Ds = 4,
    Eb = 5,
    E = 6,
    F = 7,
    Fs = 8,
    Gb = 9,
    G = 10,
    Gs = 11,
    Ab = 12,
    A = 13,
    As = 14,
    Bb = 15,
    B = 16,
    NoStep = 17,
};
constexpr int kPlain = 12, kMinor = 1, kHalfDim = 2, kSeventh = 3, kMaj7 = 6, kMinor7 = 7;
constexpr int kSus4 = 0, kAug5 = 1, kAdd9 = 7, kNoTension = 70;

constexpr std::array<const char*, 17> kStepNames = {"C",  "C#", "Db", "D",  "D#", "Eb", "E",  "F", "F#",
                                                    "Gb", "G",  "G#", "Ab", "A",  "A#", "Bb", "B"};
// Pitch class of each code, C = 0.
constexpr std::array<int, 17> kStepPitchClass = {0, 1, 1, 2, 3, 3, 4, 5, 6, 6, 7, 8, 8, 9, 10, 10, 11};

std::string stepName(int step) {
    if (step >= 0 && step < static_cast<int>(kStepNames.size())) {
        return kStepNames[static_cast<std::size_t>(step)];
    }
    return step == NoStep ? "" : "<" + std::to_string(step) + ">";
}

std::string qualityWord(int quality) {
    switch (quality) {
    case kPlain:
        return "";
    case kMinor:
        return "m";
    case kHalfDim:
        return "m7-5";
    case kSeventh:
        return "7";
    case kMaj7:
        return "maj7";
    case kMinor7:
        return "m7";
    default:
        return "<q" + std::to_string(quality) + ">";
    }
}

std::string tensionWord(int tension) {
    switch (tension) {
    case kNoTension:
        return "";
    case kSus4:
        return "sus4";
    case kAug5:
        return "(+5)";
    case kAdd9:
        return " add9";
    default:
        return "<t" + std::to_string(tension) + ">";
    }
}

// "F/G", "E7(+5)", "C add9"; a slash flag that disagrees with the bass shows as "!".
std::string chordName(const TOVChordElems& c) {
    std::string name = stepName(c.elemStep1) + qualityWord(c.elemStep2) + tensionWord(c.elemStep3);
    if (c.elemStepBase != NoStep) {
        name += "/" + stepName(c.elemStepBase);
    }
    if (c.slash != (c.elemStepBase != NoStep)) {
        name += "!";
    }
    return name;
}

TOVChordElems chord(int root, int quality = kPlain, int tension = kNoTension, int bass = NoStep) {
    return {root, quality, tension, bass, bass != NoStep};
}

int mod12(std::int64_t n) {
    return static_cast<int>(((n % 12) + 12) % 12);
}

// Pitch class of each major key's tonic, by key type.
constexpr std::array<int, 14> kTonicPitchClass = {0, 1, 1, 2, 3, 4, 5, 6, 6, 7, 8, 9, 10, 11};

} // namespace

TEST(TOVChordUtilsTest, ZeroChordIsInvalidAndAnyRootOrBassMakesAChordValid) {
    const TOVChordElems zero = TOVChordUtils::zeroChord();
    EXPECT_EQ(zero, (TOVChordElems{17, 12, 70, 17, false}));
    EXPECT_EQ(zero, TOVChordElems{});

    struct Case {
        TOVChordElems chord;
        bool valid;
    };
    const Case cases[] = {
        {zero, false},
        {{NoStep, kMinor, kSus4, NoStep, true}, false}, // quality, tension and flag make no chord
        {{NoStep, kMinor, kNoTension, D, true}, true},  // a bass alone is a chord
        {{C, kPlain, kNoTension, NoStep, false}, true},
        {{B, kSeventh, kAug5, E, true}, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TOVChordUtils::validateChord(c.chord), c.valid) << chordName(c.chord);
    }
}

TEST(TOVChordUtilsTest, RootCodesAndToneTypesConvertBothWays) {
    struct ToStep {
        int tone;
        int step;
    };
    const ToStep toSteps[] = {
        {TOVToneCb, B},
        {TOVToneC, C},
        {TOVToneCSharp, Cs},
        {TOVToneDb, Db},
        {TOVToneD, D},
        {TOVToneDSharp, Ds},
        {TOVToneEb, Eb},
        {TOVToneE, E},
        {TOVToneESharp, F},
        {TOVToneF, F},
        {TOVToneFSharp, Fs},
        {TOVToneGb, Gb},
        {TOVToneG, G},
        {TOVToneGSharp, Gs},
        {TOVToneAb, Ab},
        {TOVToneA, A},
        {TOVToneASharp, As},
        {TOVToneBb, Bb},
        {TOVToneB, B},
        {TOVToneBSharp, C},
        // No tone, and numbers outside the tone types, have no root.
        {TOVToneNone, NoStep},
        {21, NoStep},
        {-1, NoStep},
        {std::numeric_limits<int>::min(), NoStep},
        {std::numeric_limits<int>::max(), NoStep},
    };
    for (const ToStep& c : toSteps) {
        EXPECT_EQ(TOVChordUtils::convertToStep1ElemFromToneType(c.tone), c.step) << toneName(c.tone);
    }

    // Every root code names its own tone type and comes back from it unchanged.
    for (int step = C; step <= B; ++step) {
        const int tone = TOVChordUtils::convertToToneTypeFromStep1Elem(step);
        EXPECT_EQ(toneName(tone), stepName(step));
        EXPECT_EQ(TOVChordUtils::convertToStep1ElemFromToneType(tone), step);
    }
    for (int code : {static_cast<int>(NoStep), 18, 99, -1, std::numeric_limits<int>::min(),
                     std::numeric_limits<int>::max()}) {
        EXPECT_EQ(TOVChordUtils::convertToToneTypeFromStep1Elem(code), TOVToneNone) << code;
    }
}

TEST(TOVChordUtilsTest, ConvertChordSpellsAsTheTargetKeyAndMovesTheBassWithTheRoot) {
    struct Case {
        TOVChordElems chord;
        int key;
        std::int64_t width;
        std::string expected;
    };
    const Case cases[] = {
        // Read in the key's own spelling first: Db7 in C is C#7, whose place in D's row is D#.
        {chord(Db, kSeventh), TOVKeyC, 2, "D#7"},
        {chord(Db), TOVKeyC, 0, "C#"},
        {chord(As), TOVKeyC, 0, "Bb"},
        {chord(Gb, kMinor7), TOVKeyDb, 0, "Gbm7"},
        // A slash chord's bass moves with its root.
        {chord(C, kPlain, kNoTension, E), TOVKeyC, 2, "D/F#"},
        {chord(C, kPlain, kNoTension, E), TOVKeyC, -1, "B/D#"},
        {chord(F, kPlain, kNoTension, G), TOVKeyC, 6, "B/C#"},
        {chord(Ab, kSeventh, kNoTension, C), TOVKeyEb, 3, "B7/D#"},
        {chord(D, kMinor7, kNoTension, C), TOVKeyD, -2, "Cm7/Bb"},
        // Up from C to C# and F#, down to Db and Gb.
        {chord(G, kSeventh, kSus4), TOVKeyC, 1, "G#7sus4"},
        {chord(G, kSeventh, kSus4), TOVKeyC, -11, "Ab7sus4"},
        {chord(Bb, kMaj7), TOVKeyC, 6, "Emaj7"},
        {chord(Bb, kMaj7), TOVKeyC, -6, "Emaj7"},
        {chord(Eb), TOVKeyC, -6, "A"},
        {chord(Eb), TOVKeyC, 6, "A"},
        {chord(A), TOVKeyC, 6, "D#"},
        {chord(A), TOVKeyC, -6, "Eb"},
        // Spellings a code cannot hold are read as their pitch: E# as F, B# as C, Cb as B.
        {chord(E, kSeventh, kAug5), TOVKeyC, 1, "F7(+5)"},
        {chord(B, kMinor7, kNoTension, E), TOVKeyC, 1, "Cm7/F"},
        {chord(F, kHalfDim), TOVKeyC, -6, "Bm7-5"},
        // A bass without a root moves alone.
        {{NoStep, kPlain, kNoTension, Ds, true}, TOVKeyC, 1, "/E"},
        // Quality, tension and the slash flag are copied, even a flag that disagrees with the bass.
        {{G, kMinor, kAdd9, NoStep, true}, TOVKeyG, 2, "Am add9!"},
        {{NoStep, kMinor7, kAug5, NoStep, false}, TOVKeyE, 5, "m7(+5)"},
        // Nothing to transpose outside the major keys: the chord stays as it is.
        {chord(Db, kSeventh, kNoTension, Gb), TOVKeyNone, 2, "Db7/Gb"},
        {chord(Db, kSeventh, kNoTension, Gb), TOVKeyUnrecognised, 2, "Db7/Gb"},
        {chord(Db, kSeventh, kNoTension, Gb), -1, 2, "Db7/Gb"},
        {chord(Db, kSeventh, kNoTension, Gb), 1000, 2, "Db7/Gb"},
        // An unknown root or bass code has no tone; it is kept while the other part moves.
        {chord(40, kSeventh, kNoTension, E), TOVKeyC, 2, "<40>7/F#"},
        {chord(D, kSeventh, kNoTension, -3), TOVKeyC, 2, "E7/<-3>"},
        // Widths beyond an octave move by their remainder, keeping their direction.
        {chord(C), TOVKeyC, 13, "C#"},
        {chord(C), TOVKeyC, -13, "B"},
        {chord(C), TOVKeyC, -23, "Db"},
        {chord(C), TOVKeyC, std::numeric_limits<std::int64_t>::min(), "E"},
    };
    for (const Case& c : cases) {
        const TOVChordElems result = TOVChordUtils::convertChordCurrentKeyWidth(c.chord, c.key, c.width);
        EXPECT_EQ(chordName(result), c.expected)
            << chordName(c.chord) << " in key " << c.key << " by " << c.width;
    }
}

// Every root and bass in every key and every width within an octave: the pitch moves by exactly the
// width, the result is a real code, and it carries no accidental foreign to the target key (a flat key
// never spells with sharps nor a sharp key with flats; only C mixes both).
TEST(TOVChordUtilsTest, ConvertChordMovesEveryPitchExactlyWithTheTargetKeysAccidentals) {
    constexpr std::array<bool, 17> isSharp = {false, true,  false, false, true,  false, false, false, true,
                                              false, false, true,  false, false, true,  false, false};
    constexpr std::array<bool, 17> isFlat = {false, false, true,  false, false, true,  false, false, false,
                                             true,  false, false, true,  false, false, true,  false};
    for (int key = TOVKeyC; key <= TOVKeyB; ++key) {
        for (std::int64_t width = -11; width <= 11; ++width) {
            const int target = mod12(kTonicPitchClass[static_cast<std::size_t>(key)] + width);
            // C# and F# going up (or staying there), Db and Gb going down (or staying there).
            bool sharpKey = target == 2 || target == 4 || target == 7 || target == 9 || target == 11;
            bool flatKey = target == 3 || target == 5 || target == 8 || target == 10;
            if (target == 1 || target == 6) {
                const bool up = width > 0 || (width == 0 && (key == TOVKeyCSharp || key == TOVKeyFSharp));
                sharpKey = up;
                flatKey = !up;
            }
            for (int root = C; root <= B; ++root) {
                const int bass = (root + 5) % 17;
                const TOVChordElems from = chord(root, kMinor7, kAug5, bass);
                const TOVChordElems to = TOVChordUtils::convertChordCurrentKeyWidth(from, key, width);
                const std::string what =
                    chordName(from) + " in key " + std::to_string(key) + " by " + std::to_string(width);
                ASSERT_GE(to.elemStep1, C) << what;
                ASSERT_LE(to.elemStep1, B) << what;
                ASSERT_GE(to.elemStepBase, C) << what;
                ASSERT_LE(to.elemStepBase, B) << what;
                for (auto [before, after] :
                     {std::pair{root, to.elemStep1}, std::pair{bass, to.elemStepBase}}) {
                    EXPECT_EQ(kStepPitchClass[static_cast<std::size_t>(after)],
                              mod12(kStepPitchClass[static_cast<std::size_t>(before)] + width))
                        << what << " gave " << chordName(to);
                    EXPECT_FALSE(flatKey && isSharp[static_cast<std::size_t>(after)])
                        << what << " gave " << chordName(to);
                    EXPECT_FALSE(sharpKey && isFlat[static_cast<std::size_t>(after)])
                        << what << " gave " << chordName(to);
                }
                EXPECT_EQ(to.elemStep2, kMinor7);
                EXPECT_EQ(to.elemStep3, kAug5);
                EXPECT_TRUE(to.slash);
            }
        }
    }
}

TEST(TOVChordUtilsTest, DiatonicTableReadsAsWrittenInC) {
    const std::array<const char*, 35> readings = {
        "C",   "Dm",  "Em",     "F",      "G7",  "Am",    "Bm7-5", "C add9", "Dm7", "Em7", "F add9", "G7sus4",
        "Am7", "Bm7", "Cmaj7",  "D7",     "E7",  "Fmaj7", "F/G",   "A7",     "B7",  "C/E", "Dm7-5",  "E7(+5)",
        "F/A", "G/B", "A7(+5)", "B7(+5)", "C/G", "C/D",   "D/E",   "G/F",    "Gm7", "G/A", "A/B",
    };
    for (std::uint64_t i = 0; i < readings.size(); ++i) {
        EXPECT_EQ(chordName(TOVChordUtils::diatonicChordOfIndexForKey(i, TOVKeyC)), readings[i])
            << "row " << i;
        // Keys without a transposition of their own read the table as written.
        for (int key : {static_cast<int>(TOVKeyNone), static_cast<int>(TOVKeyUnrecognised), -1, 99}) {
            EXPECT_EQ(chordName(TOVChordUtils::diatonicChordOfIndexForKey(i, key)), readings[i])
                << "row " << i << " key " << key;
        }
    }
}

TEST(TOVChordUtilsTest, DiatonicTableCornersInOtherKeys) {
    struct Case {
        std::uint64_t index;
        int key;
        std::string expected;
    };
    const Case cases[] = {
        {0, TOVKeyCSharp, "C#"},
        {0, TOVKeyDb, "Db"},
        {0, TOVKeyFSharp, "F#"},
        {0, TOVKeyGb, "Gb"},
        {0, TOVKeyB, "B"},
        {6, TOVKeyDb, "Cm7-5"},
        {6, TOVKeyB, "A#m7-5"},
        {18, TOVKeyEb, "Ab/Bb"},
        {18, TOVKeyE, "A/B"},
        {21, TOVKeyAb, "Ab/C"},
        {34, TOVKeyC, "A/B"},
        {34, TOVKeyB, "G#/A#"},
        // B# and Cb have no root code of their own and read as C and B.
        {34, TOVKeyCSharp, "A#/C"},
        {18, TOVKeyGb, "B/Db"},
        {3, TOVKeyGb, "B"},
        {23, TOVKeyFSharp, "A#7(+5)"},
        {11, TOVKeyF, "C7sus4"},
        {32, TOVKeyBb, "Fm7"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(chordName(TOVChordUtils::diatonicChordOfIndexForKey(c.index, c.key)), c.expected)
            << "row " << c.index << " key " << c.key;
    }

    // Every row in every key is the row in C moved to the key's tonic, with nothing else changed.
    for (int key = TOVKeyC; key <= TOVKeyB; ++key) {
        for (std::uint64_t i = 0; i < TOVChordUtils::kDiatonicChordCount; ++i) {
            const TOVChordElems inC = TOVChordUtils::diatonicChordOfIndexForKey(i, TOVKeyC);
            const TOVChordElems inKey = TOVChordUtils::diatonicChordOfIndexForKey(i, key);
            const int shift = kTonicPitchClass[static_cast<std::size_t>(key)];
            EXPECT_EQ(kStepPitchClass.at(static_cast<std::size_t>(inKey.elemStep1)),
                      mod12(kStepPitchClass.at(static_cast<std::size_t>(inC.elemStep1)) + shift))
                << "row " << i << " key " << key;
            if (inC.elemStepBase != NoStep) {
                EXPECT_EQ(kStepPitchClass.at(static_cast<std::size_t>(inKey.elemStepBase)),
                          mod12(kStepPitchClass.at(static_cast<std::size_t>(inC.elemStepBase)) + shift))
                    << "row " << i << " key " << key;
            } else {
                EXPECT_EQ(inKey.elemStepBase, NoStep);
            }
            EXPECT_EQ(inKey.elemStep2, inC.elemStep2);
            EXPECT_EQ(inKey.elemStep3, inC.elemStep3);
            EXPECT_EQ(inKey.slash, inC.slash);
        }
    }
}

TEST(TOVChordUtilsTest, DiatonicIndexPastTheTableGivesTheEmptyChord) {
    for (std::uint64_t index : {std::uint64_t{35}, std::uint64_t{36}, std::uint64_t{1} << 32,
                                std::numeric_limits<std::uint64_t>::max()}) {
        for (int key : {static_cast<int>(TOVKeyC), static_cast<int>(TOVKeyDb), static_cast<int>(TOVKeyB),
                        static_cast<int>(TOVKeyNone), -7}) {
            EXPECT_EQ(TOVChordUtils::diatonicChordOfIndexForKey(index, key), TOVChordUtils::zeroChord())
                << "index " << index << " key " << key;
        }
    }
    EXPECT_TRUE(TOVChordUtils::validateChord(TOVChordUtils::diatonicChordOfIndexForKey(34, TOVKeyB)));
}
