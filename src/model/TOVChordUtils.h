#pragma once

#include "model/TOVChordElems.h"

#include <cstdint>

// Operations on chord values: the empty chord, the validity test, conversions between chord roots and
// tone types, transposition, and the diatonic chords offered for each key.
//
// Root and bass codes: 0..16 spell C, C#, Db, D, D#, Eb, E, F, F#, Gb, G, G#, Ab, A, A#, Bb, B; 17 is none.
// Codes come from files, so every conversion checks its range: an unknown code has no tone type and an
// unknown tone type has no root code.
class TOVChordUtils {
public:
    TOVChordUtils() = delete;

    // Number of rows of the diatonic chord table.
    static constexpr std::uint64_t kDiatonicChordCount = 35;

    // {17, 12, 70, 17, no slash}: no root, plain triad, no tension, no bass.
    static TOVChordElems zeroChord();
    // A chord is valid unless it has neither a root nor a bass.
    static bool validateChord(TOVChordElems chord);
    // The root code of a tone type. Spellings a root cannot hold read as their pitch (Cb -> B, E# -> F,
    // B# -> C); 17 (none) for TOVToneNone and every type outside 0..19.
    static int convertToStep1ElemFromToneType(int toneType);
    // The tone type of a root code; TOVToneNone for 17 and every code outside 0..16.
    static int convertToToneTypeFromStep1Elem(int step1Elem);
    // The chord moved by width semitones from key, root and bass spelled as the target key spells them
    // (in C, Db7 up 2 is D#7). Quality, tension and the slash flag are kept. A root or bass that cannot
    // be transposed (none, an unknown code, or a key outside the major keys 0..13) stays as it is.
    static TOVChordElems convertChordCurrentKeyWidth(TOVChordElems chord, int key, std::int64_t width);
    // Row index of the diatonic chord table in key; the empty chord for an index past the table. Keys
    // outside 1..13 (C, no key, unrecognised) read the table as it is written, in C.
    static TOVChordElems diatonicChordOfIndexForKey(std::uint64_t index, int key);
};
