#include "model/TOVTranspose.h"

#include "model/TOVPitchTables.h"

#include <array>

using namespace TOVPitchTables;

namespace {

// One entry of a key's level list: a tone of its chromatic row, the staff step of its letter and the
// accidental that writes it in that key.
struct LevelRecord {
    int toneType;
    std::int64_t step;
    int accidental;
};

constexpr auto kLevelLists = [] {
    std::array<std::array<LevelRecord, 12>, kKeyCount> lists{};
    for (int k = 0; k < kKeyCount; ++k) {
        for (int i = 0; i < 12; ++i) {
            const int tone = kChromaticRows[k][i];
            const Spelling s = kSpellings[tone];
            const int accidental = s.alteration == keySignatureMargin(k, s.step)
                                       ? TOVAccidentalNone
                                       : accidentalTypeOfAlteration(s.alteration);
            lists[k][i] = {tone, s.step, accidental};
        }
    }
    return lists;
}();

// MIDI number of each level from C4 (60) to A5 (81), indexed by the level's remainder + 6.
constexpr std::array<std::int64_t, 13> kMidiOfLevel = {60, 62, 64, 65, 67, 69, 71, 72, 74, 76, 77, 79, 81};

// The major key of each tonic pitch class; C# and F# stand in for the two pitch classes with two keys.
constexpr std::array<int, 12> kKeyOfTonic = {TOVKeyC,  TOVKeyCSharp, TOVKeyD,      TOVKeyEb,
                                             TOVKeyE,  TOVKeyF,      TOVKeyFSharp, TOVKeyG,
                                             TOVKeyAb, TOVKeyA,      TOVKeyBb,     TOVKeyB};

// Levels come from files, so arithmetic on them wraps instead of overflowing; absurd levels give
// absurd but harmless numbers.
constexpr std::int64_t wrapAdd(std::int64_t a, std::int64_t b) {
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(a) + static_cast<std::uint64_t>(b));
}

constexpr std::int64_t wrapMul(std::int64_t a, std::int64_t b) {
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(a) * static_cast<std::uint64_t>(b));
}

// The key whose tonic lies width semitones above the tonic of key (a key of the tables).
int targetKey(int key, std::int64_t width) {
    if (width == 0) {
        return key;
    }
    const auto tonic = pitchClassOfToneType(kChromaticRows[key][0]);
    const auto pitchClass =
        TOVTranspose::normalizeNumMax(tonic + TOVTranspose::normalizeNumMax(width, 12), 12);
    if (width < 0 && pitchClass == 1) {
        return TOVKeyDb;
    }
    if (width < 0 && pitchClass == 6) {
        return TOVKeyGb;
    }
    return kKeyOfTonic[pitchClass];
}

} // namespace

std::int64_t TOVTranspose::normalizeNumMax(std::int64_t n, std::int64_t m) {
    if (m <= 0) {
        return 0;
    }
    const std::int64_t r = n % m;
    return r < 0 ? r + m : r;
}

std::int64_t TOVTranspose::normalizeLevelClef(std::int64_t level, int clef) {
    // Bass level 0 is D, two letters above treble level 0 (B).
    const std::int64_t step = normalizeNumMax(level, kStepCount);
    return clef == TOVClefBass ? normalizeNumMax(step + 2, kStepCount) : step;
}

int TOVTranspose::defaultAccidentalMarginFromLevelClefKey(std::int64_t level, int clef, int key) {
    return keySignatureMargin(tableKey(key), static_cast<int>(normalizeLevelClef(level, clef)));
}

int TOVTranspose::accidentalMarginFromLevelClefKey(TOVToneLevel toneLevel, int clef, int key) {
    const int d = defaultAccidentalMarginFromLevelClefKey(toneLevel.level, clef, key);
    switch (toneLevel.accidental) {
    case TOVAccidentalNatural:
    case TOVAccidentalSharp:
    case TOVAccidentalDoubleSharp:
    case TOVAccidentalFlat:
    case TOVAccidentalDoubleFlat:
        return semitoneOffsetOfAccidental(toneLevel.accidental) - d;
    default:
        return 0;
    }
}

int TOVTranspose::toneTypeFromLevelClefKey(TOVToneLevel toneLevel, int clef, int key) {
    const int diatonic = diatonicToneType(key, normalizeLevelClef(toneLevel.level, clef));
    if (toneLevel.accidental == TOVAccidentalNone || key == TOVKeyNone) {
        return diatonic;
    }
    const int row = tableKey(key);
    const int index = chromaticIndexOf(row, diatonic);
    if (index < 0) {
        return diatonic;
    }
    const int margin = accidentalMarginFromLevelClefKey(toneLevel, clef, key);
    return chromaticToneType(row, normalizeNumMax(index + margin, 12));
}

std::optional<TOVToneLevel> TOVTranspose::levelFromToneTypeClefKey(int toneType, int clef, int key) {
    const int index = chromaticIndexOf(tableKey(key), toneType);
    if (index < 0) {
        return std::nullopt;
    }
    const LevelRecord& record = kLevelLists[tableKey(key)][index];
    const std::int64_t step =
        clef == TOVClefBass ? normalizeNumMax(record.step - 2, kStepCount) : record.step;
    return TOVToneLevel{step, record.accidental};
}

std::int64_t TOVTranspose::midiNumberFromLevelClefKey(TOVToneLevel toneLevel, int clef, int key) {
    const std::int64_t l = clef == TOVClefBass ? wrapAdd(toneLevel.level, -12) : toneLevel.level;
    const std::int64_t q = l / 7;
    const std::int64_t r = l % 7 + 6; // l - 7q + 6, in 0..12
    const std::int64_t base = wrapAdd(wrapMul(q, 12), kMidiOfLevel[static_cast<std::size_t>(r)]);
    const bool written =
        toneLevel.accidental >= TOVAccidentalNatural && toneLevel.accidental <= TOVAccidentalDoubleFlat;
    const int offset = written ? semitoneOffsetOfAccidental(toneLevel.accidental)
                               : defaultAccidentalMarginFromLevelClefKey(toneLevel.level, clef, key);
    return wrapAdd(base, offset);
}

int TOVTranspose::transposeToneCurrentKeyWidth(int toneType, int key, std::int64_t width) {
    const int index = chromaticIndexOf(key, toneType);
    if (index < 0) {
        return TOVToneNone;
    }
    return chromaticToneType(targetKey(key, width), index);
}

int TOVTranspose::transposeKeySignatureWidth(int key, std::int64_t width) {
    const int tonic = transposeToneCurrentKeyWidth(chromaticToneType(key, 0), key, width);
    for (int k = 0; k < kKeyCount; ++k) {
        if (tonic != TOVToneNone && kChromaticRows[k][0] == tonic) {
            return k;
        }
    }
    return TOVKeyUnrecognised;
}
