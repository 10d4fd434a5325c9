#pragma once

#include "model/TOVManagedObject.h"

class NoteTone;

// A tie from one tone to the same pitch in the next unit. Either end may be missing in a damaged song;
// readers take such a tie as absent.
class Tie : public TOVManagedObject {
public:
    using TOVManagedObject::TOVManagedObject;

    NoteTone* toneLeft() const;
    void setToneLeft(NoteTone* tone);
    NoteTone* toneRight() const;
    void setToneRight(NoteTone* tone);

    // Whether the tie holds a tone at both ends: the only ties readers count.
    static bool isWhole(const Tie* tie) { return tie && tie->toneLeft() && tie->toneRight(); }
};
