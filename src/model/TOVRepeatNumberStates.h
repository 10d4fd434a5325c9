#pragma once

#include <array>

// The pass numbers 1 to 8 of a repeat or navigation sign: states[k - 1] is the state of pass k,
// 1 on, 0 off, -1 mixed (only the setting sheet answers mixed; the model counts it as off).
struct TOVRepeatNumberStates {
    std::array<int, 8> states{};

    int& operator[](int pass) { return states[static_cast<std::size_t>(pass)]; }
    int operator[](int pass) const { return states[static_cast<std::size_t>(pass)]; }
    friend bool operator==(const TOVRepeatNumberStates&, const TOVRepeatNumberStates&) = default;
};
