#include "model/TOVEnharmonic.h"
#include "model/TOVTranspose.h"

#include "PitchTestNames.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

namespace {

// Staff steps of the letters.
constexpr std::int64_t B = 0, C = 1, D = 2, E = 3, F = 4, G = 5, A = 6;

std::vector<TOVEnharmonicEntry> listOf(int key, std::int64_t midi) {
    const auto list = TOVEnharmonic::enharmonicListForKeyMidiNumber(key, midi);
    return {list.begin(), list.end()};
}

} // namespace

TEST(TOVEnharmonicTest, NormalizeToneTypeGivesTheKeysOwnSpelling) {
    struct Case {
        int tone;
        int key;
        int expected;
    };
    const Case cases[] = {
        {TOVToneDb, TOVKeyC, TOVToneCSharp},
        {TOVToneDSharp, TOVKeyC, TOVToneEb},
        {TOVToneASharp, TOVKeyC, TOVToneBb},
        {TOVToneCb, TOVKeyC, TOVToneB},
        {TOVToneBSharp, TOVKeyC, TOVToneC},
        {TOVToneESharp, TOVKeyC, TOVToneF},
        {TOVToneD, TOVKeyC, TOVToneD},
        {TOVToneCSharp, TOVKeyDb, TOVToneDb},
        {TOVToneB, TOVKeyGb, TOVToneCb},
        {TOVToneF, TOVKeyFSharp, TOVToneESharp},
        {TOVToneC, TOVKeyCSharp, TOVToneBSharp},
        // Keys outside the tables read as C major; tone types outside 0..19 come back unchanged.
        {TOVToneDb, TOVKeyUnrecognised, TOVToneCSharp},
        {TOVToneGb, TOVKeyNone, TOVToneFSharp},
        {TOVToneGb, -4, TOVToneFSharp},
        {TOVToneNone, TOVKeyC, TOVToneNone},
        {-5, TOVKeyC, -5},
        {77, TOVKeyD, 77},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(toneName(TOVEnharmonic::normalizeToneTypeKey(c.tone, c.key)), toneName(c.expected))
            << toneName(c.tone) << " in key " << c.key;
    }
}

// E# is not in C's chromatic row, so it cannot be transposed as it stands; normalised first, it can.
TEST(TOVEnharmonicTest, NormalisingMakesATransposableTone) {
    EXPECT_EQ(TOVTranspose::transposeToneCurrentKeyWidth(TOVToneESharp, TOVKeyC, 2), TOVToneNone);
    const int normalised = TOVEnharmonic::normalizeToneTypeKey(TOVToneESharp, TOVKeyC);
    EXPECT_EQ(TOVTranspose::transposeToneCurrentKeyWidth(normalised, TOVKeyC, 2), TOVToneG);
}

TEST(TOVEnharmonicTest, EnharmonicListsForSeveralKeys) {
    struct Case {
        int key;
        std::int64_t midi;
        std::vector<TOVEnharmonicEntry> list;
    };
    const Case cases[] = {
        // B#, C, Dbb
        {TOVKeyC, 60, {{0, B, TOVAccidentalSharp}, {0, C, 0}, {0, D, TOVAccidentalDoubleFlat}}},
        // G#, Ab: the only pitch class with two spellings
        {TOVKeyC, 68, {{8, G, TOVAccidentalSharp}, {8, A, TOVAccidentalFlat}}},
        // A double sharp, B, Cb
        {TOVKeyC, 71, {{11, A, TOVAccidentalDoubleSharp}, {11, B, 0}, {11, C, TOVAccidentalFlat}}},
        // In D the signature's C# needs no accidental and a plain C would need a natural elsewhere.
        {TOVKeyD, 61, {{1, B, TOVAccidentalDoubleSharp}, {1, C, 0}, {1, D, TOVAccidentalFlat}}},
        {TOVKeyD, 62, {{2, C, TOVAccidentalDoubleSharp}, {2, D, 0}, {2, E, TOVAccidentalDoubleFlat}}},
        {TOVKeyFSharp, 66, {{6, E, TOVAccidentalDoubleSharp}, {6, F, 0}, {6, G, TOVAccidentalFlat}}},
        {TOVKeyFSharp, 65, {{5, E, 0}, {5, F, TOVAccidentalNatural}, {5, G, TOVAccidentalDoubleFlat}}},
        {TOVKeyF, 70, {{10, A, TOVAccidentalSharp}, {10, B, 0}, {10, C, TOVAccidentalDoubleFlat}}},
        {TOVKeyEb, 70, {{10, A, TOVAccidentalSharp}, {10, B, 0}, {10, C, TOVAccidentalDoubleFlat}}},
        {TOVKeyEb,
         71,
         {{11, A, TOVAccidentalDoubleSharp}, {11, B, TOVAccidentalNatural}, {11, C, TOVAccidentalFlat}}},
        // Gb major spells its Bb with an explicit flat: the one exception to the signature rule.
        {TOVKeyGb,
         70,
         {{10, A, TOVAccidentalSharp}, {10, B, TOVAccidentalFlat}, {10, C, TOVAccidentalDoubleFlat}}},
        {TOVKeyGb, 71, {{11, A, TOVAccidentalDoubleSharp}, {11, B, TOVAccidentalNatural}, {11, C, 0}}},
        {TOVKeyGb, 63, {{3, D, TOVAccidentalSharp}, {3, E, 0}, {3, F, TOVAccidentalDoubleFlat}}},
        // Only the pitch class counts, negative numbers included.
        {TOVKeyC, -1, {{11, A, TOVAccidentalDoubleSharp}, {11, B, 0}, {11, C, TOVAccidentalFlat}}},
        {TOVKeyC,
         std::numeric_limits<std::int64_t>::min(),
         {{4, D, TOVAccidentalDoubleSharp}, {4, E, 0}, {4, F, TOVAccidentalFlat}}},
        // Keys outside the tables read as C major.
        {TOVKeyNone, 68, {{8, G, TOVAccidentalSharp}, {8, A, TOVAccidentalFlat}}},
        {TOVKeyUnrecognised,
         70,
         {{10, A, TOVAccidentalSharp}, {10, B, TOVAccidentalFlat}, {10, C, TOVAccidentalDoubleFlat}}},
        {-2, 60, {{0, B, TOVAccidentalSharp}, {0, C, 0}, {0, D, TOVAccidentalDoubleFlat}}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(listOf(c.key, c.midi), c.list) << "key " << c.key << " midi " << c.midi;
    }
}

// Every spelling, written with its accidental on the treble staff of the key, sounds the pitch it lists,
// and the spellings climb letter by letter.
TEST(TOVEnharmonicTest, EverySpellingSoundsItsPitch) {
    for (int key = 0; key < 14; ++key) {
        for (std::int64_t midi = 60; midi < 72; ++midi) {
            const auto list = listOf(key, midi);
            SCOPED_TRACE(testing::Message() << "key " << key << " midi " << midi);
            EXPECT_EQ(list.size(), midi % 12 == 8 ? 2u : 3u);
            for (std::size_t i = 0; i < list.size(); ++i) {
                EXPECT_EQ(list[i].pitchClass, midi % 12);
                const TOVToneLevel written{list[i].step, list[i].accidental};
                EXPECT_EQ(TOVTranspose::midiNumberFromLevelClefKey(written, TOVClefTreble, key) % 12,
                          midi % 12)
                    << "entry " << i;
                if (i > 0) {
                    EXPECT_EQ(list[i].step, (list[i - 1].step + 1) % 7) << "entry " << i;
                }
            }
        }
    }
}
