#pragma once

#include "model/Symbol.h"

#include <cstdint>
#include <vector>

class NoteUnit;

// One notated group of a bar (a single note, rest or slash, a beamed group, a tuplet). This class holds
// what the rest of the model needs of a note so far: its bar (kept under its own key), its units and its
// position; the rhythm behaviour builds on it.
class Note : public Symbol {
public:
    using Symbol::Symbol;

    Bar* bar() const override;
    // Writes only a different bar.
    void setBar(Bar* bar) override;
    std::vector<NoteUnit*> units() const;
    // The units by timing.
    std::vector<NoteUnit*> unitArray() const;
    // The first unit's timing; 0 without units.
    std::uint64_t timing() const;

    // Reported as a note change.
    void postNotificationUpdateAttribute() override;
};
