#pragma once

#include "model/TOVPitchTypes.h"

#include <array>
#include <cstdint>
#include <string_view>

// Constant pitch tables shared by TOVTranspose and TOVEnharmonic, built at compile time. Every lookup
// here checks its bounds: a key type outside the fourteen major keys reads as C major and a tone type
// outside 0..19 is not found, so that numbers read from a file can never index past a table.
namespace TOVPitchTables {

inline constexpr int kKeyCount = 14;  // key types 0..13
inline constexpr int kToneCount = 20; // spelled tone types 0..19
inline constexpr int kStepCount = 7;  // staff steps: 0 B, 1 C, 2 D, 3 E, 4 F, 5 G, 6 A

// A tone type as a letter (staff step) and an alteration in semitones.
struct Spelling {
    int step;
    int alteration;
};

inline constexpr std::array<Spelling, kToneCount> kSpellings = {{
    {1, -1}, {1, 0}, {1, 1}, // Cb C C#
    {2, -1}, {2, 0}, {2, 1}, // Db D D#
    {3, -1}, {3, 0}, {3, 1}, // Eb E E#
    {4, 0},  {4, 1},         // F F#
    {5, -1}, {5, 0}, {5, 1}, // Gb G G#
    {6, -1}, {6, 0}, {6, 1}, // Ab A A#
    {0, -1}, {0, 0}, {0, 1}, // Bb B B#
}};

// Pitch class of the plain letter at each staff step.
inline constexpr std::array<int, kStepCount> kStepPitchClass = {11, 0, 2, 4, 5, 7, 9};
inline constexpr std::array<char, kStepCount> kStepLetter = {'B', 'C', 'D', 'E', 'F', 'G', 'A'};

// Key signatures: the number of sharps (positive) or flats (negative) of each key type.
inline constexpr std::array<int, kKeyCount> kSignature = {0, 7, -5, 2, -3, 4, -1, 6, -6, 1, -4, 3, -2, 5};
// Signatures add sharps in the order F C G D A E B and flats in the order B E A D G C F (staff steps).
inline constexpr std::array<int, kStepCount> kSharpOrder = {4, 1, 5, 2, 6, 3, 0};
inline constexpr std::array<int, kStepCount> kFlatOrder = {0, 3, 6, 2, 5, 1, 4};

constexpr bool isTableKey(int key) {
    return key >= 0 && key < kKeyCount;
}
constexpr bool isSpelledTone(int toneType) {
    return toneType >= 0 && toneType < kToneCount;
}
// The key whose tables stand for key: itself, or C major for every key outside the tables.
constexpr int tableKey(int key) {
    return isTableKey(key) ? key : TOVKeyC;
}

constexpr int pitchClassOfToneType(int toneType) {
    if (!isSpelledTone(toneType)) {
        return -1;
    }
    const Spelling s = kSpellings[toneType];
    return (kStepPitchClass[s.step] + s.alteration + 12) % 12;
}

constexpr int toneTypeOfSpelling(int step, int alteration) {
    for (int t = 0; t < kToneCount; ++t) {
        if (kSpellings[t].step == step && kSpellings[t].alteration == alteration) {
            return t;
        }
    }
    return TOVToneNone;
}

// The alteration (+1, -1 or 0) that the key signature of key gives the letter at step; 0 outside the tables.
constexpr int keySignatureMargin(int key, int step) {
    if (!isTableKey(key) || step < 0 || step >= kStepCount) {
        return 0;
    }
    const int n = kSignature[key];
    const auto& order = n >= 0 ? kSharpOrder : kFlatOrder;
    const int count = n >= 0 ? n : -n;
    for (int i = 0; i < count; ++i) {
        if (order[i] == step) {
            return n > 0 ? 1 : -1;
        }
    }
    return 0;
}

// The accidental type that writes an alteration explicitly (0 gives a natural).
constexpr int accidentalTypeOfAlteration(int alteration) {
    switch (alteration) {
    case 0:
        return TOVAccidentalNatural;
    case 1:
        return TOVAccidentalSharp;
    case 2:
        return TOVAccidentalDoubleSharp;
    case -1:
        return TOVAccidentalFlat;
    case -2:
        return TOVAccidentalDoubleFlat;
    default:
        return TOVAccidentalNone;
    }
}

// Semitones an accidental type moves its letter; 0 for "none" and unknown types.
constexpr int semitoneOffsetOfAccidental(int accidental) {
    switch (accidental) {
    case TOVAccidentalSharp:
        return 1;
    case TOVAccidentalDoubleSharp:
        return 2;
    case TOVAccidentalFlat:
        return -1;
    case TOVAccidentalDoubleFlat:
        return -2;
    default:
        return 0;
    }
}

namespace detail {

// Reads one tone name ("C", "F#", "Bb") of a table row. Not constant (so a compile error) for a bad name.
constexpr int parseToneName(std::string_view name) {
    int step = -1;
    for (int s = 0; s < kStepCount; ++s) {
        if (!name.empty() && name[0] == kStepLetter[s]) {
            step = s;
        }
    }
    int alteration = 0;
    if (name.size() == 2) {
        alteration = name[1] == '#' ? 1 : name[1] == 'b' ? -1 : 99;
    }
    const int tone = (step < 0 || name.size() > 2) ? TOVToneNone : toneTypeOfSpelling(step, alteration);
    if (tone == TOVToneNone) {
        throw "unknown tone name in a pitch table";
    }
    return tone;
}

constexpr std::array<int, 12> parseRow(std::string_view text) {
    std::array<int, 12> row{};
    std::size_t count = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (text[pos] == ' ') {
            ++pos;
            continue;
        }
        std::size_t end = text.find(' ', pos);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        if (count == row.size()) {
            throw "too many tones in a chromatic row";
        }
        row[count++] = parseToneName(text.substr(pos, end - pos));
        pos = end;
    }
    if (count != row.size()) {
        throw "too few tones in a chromatic row";
    }
    return row;
}

} // namespace detail

// The chromatic row of each key: its spelling of every semitone above the tonic (index 0 = tonic).
inline constexpr std::array<std::array<int, 12>, kKeyCount> kChromaticRows = {
    detail::parseRow("C   C#  D   Eb  E   F   F#  G   G#  A   Bb  B"),  // 0 C
    detail::parseRow("C#  D   D#  E   E#  F#  G   G#  A   A#  B   B#"), // 1 C#
    detail::parseRow("Db  D   Eb  E   F   Gb  G   Ab  A   Bb  B   C"),  // 2 Db
    detail::parseRow("D   D#  E   F   F#  G   G#  A   A#  B   C   C#"), // 3 D
    detail::parseRow("Eb  E   F   Gb  G   Ab  A   Bb  B   C   Db  D"),  // 4 Eb
    detail::parseRow("E   F   F#  G   G#  A   A#  B   C   C#  D   D#"), // 5 E
    detail::parseRow("F   Gb  G   Ab  A   Bb  B   C   Db  D   Eb  E"),  // 6 F
    detail::parseRow("F#  G   G#  A   A#  B   C   C#  D   D#  E   E#"), // 7 F#
    detail::parseRow("Gb  G   Ab  A   Bb  Cb  C   Db  D   Eb  E   F"),  // 8 Gb
    detail::parseRow("G   G#  A   A#  B   C   C#  D   D#  E   F   F#"), // 9 G
    detail::parseRow("Ab  A   Bb  B   C   Db  D   Eb  E   F   Gb  G"),  // 10 Ab
    detail::parseRow("A   A#  B   C   C#  D   D#  E   F   F#  G   G#"), // 11 A
    detail::parseRow("Bb  B   C   Db  D   Eb  E   F   Gb  G   Ab  A"),  // 12 Bb
    detail::parseRow("B   C   C#  D   D#  E   F   F#  G   G#  A   A#"), // 13 B
};

// The entry at index of the key's chromatic row; TOVToneNone past the row or for a key outside the tables.
constexpr int chromaticToneType(int key, std::int64_t index) {
    if (!isTableKey(key) || index < 0 || index >= 12) {
        return TOVToneNone;
    }
    return kChromaticRows[key][index];
}

// Index of toneType in the key's chromatic row, -1 when the row does not hold it.
constexpr int chromaticIndexOf(int key, int toneType) {
    if (!isTableKey(key) || !isSpelledTone(toneType)) {
        return -1;
    }
    for (int i = 0; i < 12; ++i) {
        if (kChromaticRows[key][i] == toneType) {
            return i;
        }
    }
    return -1;
}

// The diatonic table: the letter of each staff step altered by the key signature, for keys 0..13, a
// no-key row (key 14) of "none", and an eighth column of "none".
inline constexpr auto kDiatonic = [] {
    std::array<std::array<int, kStepCount + 1>, kKeyCount + 1> table{};
    for (int k = 0; k <= kKeyCount; ++k) {
        for (int s = 0; s <= kStepCount; ++s) {
            table[k][s] = (k < kKeyCount && s < kStepCount) ? toneTypeOfSpelling(s, keySignatureMargin(k, s))
                                                            : TOVToneNone;
        }
    }
    return table;
}();

// Diatonic tone type of key at step. Key 14 has its own row of "none"; other keys outside read as C major.
constexpr int diatonicToneType(int key, std::int64_t step) {
    const int row = key == TOVKeyNone ? TOVKeyNone : tableKey(key);
    if (step < 0 || step > kStepCount) {
        return TOVToneNone;
    }
    return kDiatonic[row][step];
}

} // namespace TOVPitchTables
