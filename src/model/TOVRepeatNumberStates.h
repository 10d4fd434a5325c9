#pragma once

#include <array>

// The pass numbers 1 to 8 of a repeat or navigation sign: states[k - 1] is the state of pass k,
// 1 on, 0 off, -1 mixed (only the setting sheet answers mixed; the model counts it as off).
struct TOVRepeatNumberStates {
    std::array<int, 8> states{};

    // By index 0 to 7, that is pass number - 1.
    int& operator[](int index) { return states[static_cast<std::size_t>(index)]; }
    int operator[](int index) const { return states[static_cast<std::size_t>(index)]; }
    friend bool operator==(const TOVRepeatNumberStates&, const TOVRepeatNumberStates&) = default;
};
