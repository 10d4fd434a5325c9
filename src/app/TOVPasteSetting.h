#pragma once

#include <cstdint>

// The answer of the paste sheet: what is pasted (0 chords and notes, 1 chords only, 2 notes only), by how
// many semitones it is transposed, and how many times the copied bars are pasted one after another; a
// cancelled sheet answers times 0.
struct TOVPasteSetting {
    std::uint64_t type = 0;
    std::int64_t transpose = 0;
    std::uint64_t times = 0;

    friend bool operator==(const TOVPasteSetting&, const TOVPasteSetting&) = default;
};
