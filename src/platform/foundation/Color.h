#pragma once

namespace platform {

// A colour as red, green, blue and alpha components from 0 to 1.
struct Color {
    double r = 0;
    double g = 0;
    double b = 0;
    double a = 1;
    friend bool operator==(const Color&, const Color&) = default;
};

} // namespace platform
