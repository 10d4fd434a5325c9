#include "model/SymbolInNote.h"

#include "model/Note.h"
#include "model/NoteTone.h"

NoteTone* SymbolInNote::noteTone() const {
    return toOne<NoteTone>("noteTone");
}

void SymbolInNote::setNoteTone(NoteTone* tone) {
    setToOne("noteTone", tone);
}

Note* SymbolInNote::note() const {
    const NoteTone* tone = noteTone();
    return tone ? tone->note() : nullptr;
}

Document* SymbolInNote::owningDocument() const {
    const Note* note = this->note();
    return documentOfBar(note ? note->bar() : nullptr);
}

void SymbolInNote::postNotificationUpdateAttribute() {
    if (Note* note = this->note()) {
        note->noteArticulationDidUpdateAttribute(this);
    }
}
