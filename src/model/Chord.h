#pragma once

#include "model/Symbol.h"

#include <cstdint>

// A chord symbol in a bar. This class holds what the rest of the model needs of a chord so far: its bar
// (kept under its own key) and its position; the chord value and its behaviour build on it.
class Chord : public Symbol {
public:
    using Symbol::Symbol;

    Bar* bar() const override;
    // Writes only a different bar.
    void setBar(Bar* bar) override;
    // Position in ticks from the start of the bar.
    std::uint64_t timing() const { return unsignedValue("timing"); }

    // Reported as a chord change.
    void postNotificationUpdateAttribute() override;
};
