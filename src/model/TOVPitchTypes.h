#pragma once

#include <cstdint>

// The small enumerations that name pitches, keys, clefs and accidentals. They are plain ints in every
// interface (they are stored and compared as numbers); the names only make tables and calls readable.

// A spelled pitch name without octave.
enum TOVToneType : int {
    TOVToneCb = 0,
    TOVToneC = 1,
    TOVToneCSharp = 2,
    TOVToneDb = 3,
    TOVToneD = 4,
    TOVToneDSharp = 5,
    TOVToneEb = 6,
    TOVToneE = 7,
    TOVToneESharp = 8,
    TOVToneF = 9,
    TOVToneFSharp = 10,
    TOVToneGb = 11,
    TOVToneG = 12,
    TOVToneGSharp = 13,
    TOVToneAb = 14,
    TOVToneA = 15,
    TOVToneASharp = 16,
    TOVToneBb = 17,
    TOVToneB = 18,
    TOVToneBSharp = 19,
    TOVToneNone = 20,
};

// The major keys, then "no key" and "unrecognised".
enum TOVKeyType : int {
    TOVKeyC = 0,
    TOVKeyCSharp = 1,
    TOVKeyDb = 2,
    TOVKeyD = 3,
    TOVKeyEb = 4,
    TOVKeyE = 5,
    TOVKeyF = 6,
    TOVKeyFSharp = 7,
    TOVKeyGb = 8,
    TOVKeyG = 9,
    TOVKeyAb = 10,
    TOVKeyA = 11,
    TOVKeyBb = 12,
    TOVKeyB = 13,
    TOVKeyNone = 14,
    TOVKeyUnrecognised = 15,
};

// Only the bass clef shifts levels; every other clef type reads as treble.
enum TOVClefType : int {
    TOVClefTreble = 0,
    TOVClefBass = 1,
    TOVClefUnrecognised = 2,
};

enum TOVAccidentalType : int {
    TOVAccidentalNone = 0,
    TOVAccidentalNatural = 1,
    TOVAccidentalSharp = 2,
    TOVAccidentalDoubleSharp = 3,
    TOVAccidentalFlat = 4,
    TOVAccidentalDoubleFlat = 5,
};

// A written tone: its staff level (0 = middle staff line, one per line or space) and the accidental type
// in force for it (0 when the key signature applies).
struct TOVToneLevel {
    std::int64_t level = 0;
    int accidental = TOVAccidentalNone;

    friend bool operator==(const TOVToneLevel&, const TOVToneLevel&) = default;
};
