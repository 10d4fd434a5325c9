#pragma once

#include "model/TOVManagedObject.h"

#include <cstdint>
#include <vector>

class Note;
class NoteTone;

// One rhythmic event of a note. This class holds what the rest of the model needs of a unit so far: its
// note, its tones and its position; the rhythm behaviour builds on it.
class NoteUnit : public TOVManagedObject {
public:
    using TOVManagedObject::TOVManagedObject;

    Note* note() const;
    std::vector<NoteTone*> tones() const;
    // Start in ticks from the start of the bar.
    std::uint64_t timing() const { return unsignedValue("timing"); }
};
