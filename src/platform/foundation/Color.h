#pragma once

namespace platform {

// A colour as red, green, blue and alpha components from 0 to 1 (a default colour is opaque black).
//
// Every colour the program names is defined here, once: the platform's named and system colours, and
// the fixed colours of selection and drop feedback in the score.
struct Color {
    double r = 0;
    double g = 0;
    double b = 0;
    double a = 1;

    static constexpr Color fromRGB(double r, double g, double b, double a = 1) { return Color{r, g, b, a}; }
    static constexpr Color fromWhite(double white, double a = 1) { return Color{white, white, white, a}; }

    // The named colours.
    static constexpr Color black() { return fromWhite(0); }
    static constexpr Color white() { return fromWhite(1); }
    static constexpr Color gray() { return fromWhite(0.5); }
    static constexpr Color darkGray() { return fromWhite(1.0 / 3.0); }
    static constexpr Color lightGray() { return fromWhite(2.0 / 3.0); }
    static constexpr Color red() { return fromRGB(1, 0, 0); }
    static constexpr Color blue() { return fromRGB(0, 0, 1); }
    static constexpr Color orange() { return fromRGB(1, 0.5, 0); }
    static constexpr Color clear() { return fromWhite(0, 0); }

    // The system colours of controls, fixed on this platform: the highlight a plain key or cell is filled
    // with, the shadow line of a control, and the ground behind a control's content.
    static constexpr Color highlight() { return white(); }
    static constexpr Color controlShadow() { return gray(); }
    static constexpr Color controlBackground() { return white(); }
    // A chosen cell of a grid of cells, or a chosen key.
    static constexpr Color cellSelectedFill() { return fromRGB(0.792, 0.875, 0.933); }
    static constexpr Color cellSelectedBorder() { return fromRGB(0.384, 0.616, 0.804); }

    // Feedback in the score.
    static constexpr Color barViewEditTarget() { return fromRGB(0.99, 0.52, 0.05, 0.3); }
    static constexpr Color barViewSelectedFrame() { return fromRGB(0.19921875, 0.3984375, 0.59765625, 1.0); }
    static constexpr Color barViewDropTargetFrame() { return fromRGB(0.99609375, 0.19921875, 0.0, 1.0); }
    static constexpr Color noteDropAreaFill() { return fromRGB(0.87, 0.96, 0.75, 0.7); }
    static constexpr Color noteDropAreaFrame() { return fromRGB(0.47, 0.66, 0.45, 0.7); }
    static constexpr Color multiSelectAreaFill() { return fromRGB(0.87, 0.96, 0.75, 0.4); }
    static constexpr Color multiSelectAreaFrame() { return fromRGB(0.47, 0.66, 0.45, 0.7); }

    friend constexpr bool operator==(const Color&, const Color&) = default;
};

} // namespace platform
