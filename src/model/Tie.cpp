#include "model/Tie.h"

#include "model/NoteTone.h"

NoteTone* Tie::toneLeft() const {
    return toOne<NoteTone>("toneLeft");
}

void Tie::setToneLeft(NoteTone* tone) {
    setToOne("toneLeft", tone);
}

NoteTone* Tie::toneRight() const {
    return toOne<NoteTone>("toneRight");
}

void Tie::setToneRight(NoteTone* tone) {
    setToOne("toneRight", tone);
}
