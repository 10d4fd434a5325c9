#pragma once

#include <cstdint>
#include <span>

// One spelling of a pitch in a key: the pitch class, the staff step of the letter (0 B, 1 C, ... 6 A)
// and the accidental that writes it, 0 where the key signature already gives that alteration.
struct TOVEnharmonicEntry {
    std::int64_t pitchClass = 0;
    std::int64_t step = 0;
    int accidental = 0;

    friend bool operator==(const TOVEnharmonicEntry&, const TOVEnharmonicEntry&) = default;
};

// Alternative spellings of a pitch. A key type outside 0..13 reads as C major.
class TOVEnharmonic {
public:
    TOVEnharmonic() = delete;

    // The key's own spelling of the tone's pitch (in C: Db -> C#, B# -> C). Tone types outside 0..19
    // come back unchanged.
    static int normalizeToneTypeKey(int toneType, int key);
    // The spellings of the MIDI number's pitch class with at most a double sharp or flat, lowest letter
    // first (two for G#/Ab, three for every other pitch class). The span points into constant tables.
    static std::span<const TOVEnharmonicEntry> enharmonicListForKeyMidiNumber(int key,
                                                                              std::int64_t midiNumber);
};
