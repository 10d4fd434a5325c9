#pragma once

#include "model/Symbol.h"

class Note;
class NoteTone;

// An articulation attached to a tone. It reports its changes, and finds its undo refresh buffer, through
// the note that owns its tone.
class SymbolInNote : public Symbol {
public:
    using Symbol::Symbol;

    virtual NoteTone* noteTone() const;
    virtual void setNoteTone(NoteTone* tone);
    // The note reached through the tone and its unit.
    Note* note() const;

    TOVCoreDataController* coreDataController() const override;
    void postNotificationUpdateAttribute() override;
};
