#pragma once

#include "model/TOVPitchTypes.h"

#include <cstdint>
#include <optional>

// Pitch arithmetic on written tones: staff steps, tone types and MIDI numbers from levels in a clef and
// key, and transposition of tone types and keys by a number of semitones.
//
// Keys are read through the tables of the fourteen major keys; a key type outside 0..13 reads pitches as
// C major, except where "no key" (14) has answers of its own (no diatonic tone, no transposition).
class TOVTranspose {
public:
    TOVTranspose() = delete;

    // n modulo m, always in 0..m-1 (so -1 mod 7 is 6); 0 when m is not positive.
    static std::int64_t normalizeNumMax(std::int64_t n, std::int64_t m);
    // The staff step (0 B, 1 C, ... 6 A) of a level in a clef.
    static std::int64_t normalizeLevelClef(std::int64_t level, int clef);
    // The alteration (-1, 0, +1) that the key signature gives the letter of the level.
    static int defaultAccidentalMarginFromLevelClefKey(std::int64_t level, int clef, int key);
    // How far the written accidental moves the tone from the key's diatonic tone at that level.
    static int accidentalMarginFromLevelClefKey(TOVToneLevel toneLevel, int clef, int key);
    // The key's spelling of the sounding pitch of a written tone (B sharp in C gives C).
    static int toneTypeFromLevelClefKey(TOVToneLevel toneLevel, int clef, int key);
    // Where the key writes a tone type: its staff step (level 0..6 from the clef's level 0) and the
    // accidental to write, 0 where the key signature gives it. No answer when the key's chromatic row
    // lacks the tone type (TOVToneNone included), so callers leave such a tone as it is.
    static std::optional<TOVToneLevel> levelFromToneTypeClefKey(int toneType, int clef, int key);
    // The MIDI number of a written tone (treble level 0 is 71, bass level 0 is 50).
    static std::int64_t midiNumberFromLevelClefKey(TOVToneLevel toneLevel, int clef, int key);
    // The tone that keeps its place in the scale when its key moves by width semitones. Answers
    // TOVToneNone when there is nothing to transpose: no key, a key outside the tables, or a tone the
    // key's chromatic row does not hold (callers then keep the tone or chord unchanged).
    static int transposeToneCurrentKeyWidth(int toneType, int key, std::int64_t width);
    // The key width semitones away; C# or F# going up, Db or Gb going down. 15 for a key outside 0..13.
    static int transposeKeySignatureWidth(int key, std::int64_t width);
};
