#include "model/SymbolAccidental.h"

#include "model/Note.h"
#include "model/NoteTone.h"

NoteTone* SymbolAccidental::noteTone() const {
    return toOne<NoteTone>("noteToneOfAccidental");
}

void SymbolAccidental::setNoteTone(NoteTone* tone) {
    if (tone == noteTone()) {
        // The graph skips an equal link; the notices still go out.
        willChangeValueForKey("noteToneOfAccidental");
        didChangeValueForKey("noteToneOfAccidental");
        return;
    }
    setToOne("noteToneOfAccidental", tone);
}

void SymbolAccidental::postNotificationUpdateAttribute() {
    if (Note* note = this->note()) {
        note->noteAccidentalDidUpdateAttribute(this);
    }
}
