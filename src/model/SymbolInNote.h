#pragma once

#include "model/Symbol.h"

class Note;
class NoteTone;

// An articulation attached to a tone. It reports its changes through the note that owns its tone, and
// belongs to that note's document (its undo refresh buffer and notation font).
class SymbolInNote : public Symbol {
public:
    using Symbol::Symbol;

    virtual NoteTone* noteTone() const;
    virtual void setNoteTone(NoteTone* tone);
    // The note reached through the tone and its unit.
    Note* note() const;

    void postNotificationUpdateAttribute() override;

protected:
    Document* owningDocument() const override;
};
