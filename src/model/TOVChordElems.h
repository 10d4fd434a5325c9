#pragma once

// A chord symbol as a value: root, quality, tension and bass codes. Roots and basses 0..16 spell
// C, C#, Db, D, D#, Eb, E, F, F#, Gb, G, G#, Ab, A, A#, Bb, B; 17 is none. Quality 12 is the plain major
// triad and tension 70 is none, so the default value is the empty chord.
inline constexpr int TOVChordNoStep = 17;     // no root, no bass
inline constexpr int TOVChordPlainTriad = 12; // the quality of a plain major triad
inline constexpr int TOVChordNoTension = 70;

struct TOVChordElems {
    int elemStep1 = TOVChordNoStep;
    int elemStep2 = TOVChordPlainTriad;
    int elemStep3 = TOVChordNoTension;
    int elemStepBase = TOVChordNoStep;
    bool slash = false;

    // A chord value from its four stored codes; the slash flag is not stored but follows from the bass.
    static constexpr TOVChordElems fromCodes(int root, int quality, int tension, int bass) {
        return {root, quality, tension, bass, bass != TOVChordElems{}.elemStepBase};
    }

    friend bool operator==(const TOVChordElems&, const TOVChordElems&) = default;
};
