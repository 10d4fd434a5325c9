#pragma once

#include "model/SymbolInNote.h"

// A tone's own accidental, kept by its tone under "noteToneOfAccidental".
class SymbolAccidental : public SymbolInNote {
public:
    using SymbolInNote::SymbolInNote;

    NoteTone* noteTone() const override;
    // Always writes: the change notices go out also for the tone it already has.
    void setNoteTone(NoteTone* tone) override;

    void postNotificationUpdateAttribute() override;
};
