#include "model/Chord.h"

#include "model/Bar.h"
#include "model/TOVCoreDataController.h"

Bar* Chord::bar() const {
    return toOne<Bar>("barOfChord");
}

void Chord::setBar(Bar* bar) {
    if (bar != this->bar()) {
        setToOne("barOfChord", bar);
    }
}

void Chord::postNotificationUpdateAttribute() {
    if (TOVCoreDataController* controller = coreDataController()) {
        controller->chordDidUpdateAttribute(this);
    }
}
