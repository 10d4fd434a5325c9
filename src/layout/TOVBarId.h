#pragma once

#include <cstdint>

// A bar's identity in the editor: its number (counted from 0, shown from 1) and whether it lies in the
// lower staff of a double line.
struct TOVBarId {
    std::int64_t barNumber = 0;
    bool lower = false;

    friend bool operator==(const TOVBarId&, const TOVBarId&) = default;
};
