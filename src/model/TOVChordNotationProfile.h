#pragma once

#include <cstdint>

// The switches (each 0 or 1) that choose the glyph families of chord symbols. A default-made profile is
// the registered default: major 1, every other switch 0.
struct TOVChordNotationProfile {
    int32_t major = 1;
    int32_t minor = 0;
    int32_t diminished = 0;
    int32_t augmented = 0;
    int32_t on = 0;
    int32_t sharpFlat = 0;

    friend bool operator==(const TOVChordNotationProfile&, const TOVChordNotationProfile&) = default;
};
