#include "model/TOVChordUtils.h"

#include "model/TOVChordElems.h"
#include "model/TOVEnharmonic.h"
#include "model/TOVPitchTypes.h"
#include "model/TOVTranspose.h"

#include <array>
#include <cstddef>

namespace {

constexpr int kNoStep = TOVChordNoStep;
constexpr int kPlainTriad = TOVChordPlainTriad;
constexpr int kNoTension = TOVChordNoTension;

// Tone type of each root code 0..16.
constexpr std::array<int, 17> kToneOfStep = {
    TOVToneC,  TOVToneCSharp, TOVToneDb,     TOVToneD,  TOVToneDSharp, TOVToneEb,
    TOVToneE,  TOVToneF,      TOVToneFSharp, TOVToneGb, TOVToneG,      TOVToneGSharp,
    TOVToneAb, TOVToneA,      TOVToneASharp, TOVToneBb, TOVToneB,
};

// Root code of each tone type 0..19 (Cb C C# Db D D# Eb E E# F F# Gb G G# Ab A A# Bb B B#).
constexpr std::array<int, 20> kStepOfTone = {16, 0, 1,  2,  3,  4,  5,  6,  7,  7,
                                             8,  9, 10, 11, 12, 13, 14, 15, 16, 0};

// The diatonic chords offered for a key, written in C major: root, quality, tension, bass, slash.
// Quality 1 m, 2 m7-5, 3 7, 6 maj7, 7 m7, 12 plain; tension 0 sus4, 1 +5, 7 add9, 70 none.
constexpr std::array<TOVChordElems, TOVChordUtils::kDiatonicChordCount> kDiatonicChords = {{
    {0, 12, 70, 17, false}, // 0 C
    {3, 1, 70, 17, false},  // 1 Dm
    {6, 1, 70, 17, false},  // 2 Em
    {7, 12, 70, 17, false}, // 3 F
    {10, 3, 70, 17, false}, // 4 G7
    {13, 1, 70, 17, false}, // 5 Am
    {16, 2, 70, 17, false}, // 6 Bm7-5
    {0, 12, 7, 17, false},  // 7 C add9
    {3, 7, 70, 17, false},  // 8 Dm7
    {6, 7, 70, 17, false},  // 9 Em7
    {7, 12, 7, 17, false},  // 10 F add9
    {10, 3, 0, 17, false},  // 11 G7sus4
    {13, 7, 70, 17, false}, // 12 Am7
    {16, 7, 70, 17, false}, // 13 Bm7
    {0, 6, 70, 17, false},  // 14 Cmaj7
    {3, 3, 70, 17, false},  // 15 D7
    {6, 3, 70, 17, false},  // 16 E7
    {7, 6, 70, 17, false},  // 17 Fmaj7
    {7, 12, 70, 10, true},  // 18 F/G
    {13, 3, 70, 17, false}, // 19 A7
    {16, 3, 70, 17, false}, // 20 B7
    {0, 12, 70, 6, true},   // 21 C/E
    {3, 2, 70, 17, false},  // 22 Dm7-5
    {6, 3, 1, 17, false},   // 23 E7(+5)
    {7, 12, 70, 13, true},  // 24 F/A
    {10, 12, 70, 16, true}, // 25 G/B
    {13, 3, 1, 17, false},  // 26 A7(+5)
    {16, 3, 1, 17, false},  // 27 B7(+5)
    {0, 12, 70, 10, true},  // 28 C/G
    {0, 12, 70, 3, true},   // 29 C/D
    {3, 12, 70, 6, true},   // 30 D/E
    {10, 12, 70, 7, true},  // 31 G/F
    {10, 7, 70, 17, false}, // 32 Gm7
    {10, 12, 70, 13, true}, // 33 G/A
    {13, 12, 70, 16, true}, // 34 A/B
}};

// Semitones from C to the tonic of each key type; Db and Gb are reached downward so that they, and not
// C# and F#, are the keys chosen.
constexpr std::array<std::int64_t, 14> kWidthFromC = {0, 1, -11, 2, 3, 4, 5, 6, -6, 7, 8, 9, 10, 11};

// One root or bass code moved from key by width; the code itself when there is nothing to move.
int transposeStep(int step, int key, std::int64_t width) {
    if (step == kNoStep) {
        return step;
    }
    int tone = TOVChordUtils::convertToToneTypeFromStep1Elem(step);
    tone = TOVEnharmonic::normalizeToneTypeKey(tone, key);
    tone = TOVTranspose::transposeToneCurrentKeyWidth(tone, key, width);
    const int moved = TOVChordUtils::convertToStep1ElemFromToneType(tone);
    return moved == kNoStep ? step : moved;
}

} // namespace

TOVChordElems TOVChordUtils::zeroChord() {
    return {kNoStep, kPlainTriad, kNoTension, kNoStep, false};
}

bool TOVChordUtils::validateChord(TOVChordElems chord) {
    return chord.elemStep1 != kNoStep || chord.elemStepBase != kNoStep;
}

int TOVChordUtils::convertToStep1ElemFromToneType(int toneType) {
    if (toneType < 0 || toneType >= static_cast<int>(kStepOfTone.size())) {
        return kNoStep;
    }
    return kStepOfTone[static_cast<std::size_t>(toneType)];
}

int TOVChordUtils::convertToToneTypeFromStep1Elem(int step1Elem) {
    if (step1Elem < 0 || step1Elem >= static_cast<int>(kToneOfStep.size())) {
        return TOVToneNone;
    }
    return kToneOfStep[static_cast<std::size_t>(step1Elem)];
}

TOVChordElems TOVChordUtils::convertChordCurrentKeyWidth(TOVChordElems chord, int key, std::int64_t width) {
    TOVChordElems result = chord;
    result.elemStep1 = transposeStep(chord.elemStep1, key, width);
    result.elemStepBase = transposeStep(chord.elemStepBase, key, width);
    return result;
}

TOVChordElems TOVChordUtils::diatonicChordOfIndexForKey(std::uint64_t index, int key) {
    if (index >= kDiatonicChords.size()) {
        return zeroChord();
    }
    const TOVChordElems& row = kDiatonicChords[static_cast<std::size_t>(index)];
    if (key < TOVKeyCSharp || key > TOVKeyB) {
        return row;
    }
    return convertChordCurrentKeyWidth(row, TOVKeyC, kWidthFromC[static_cast<std::size_t>(key)]);
}
