#pragma once

#include "model/SymbolInNote.h"

// A tone's own accidental, kept by its tone under "noteToneOfAccidental"; its behaviour builds on this
// class.
class SymbolAccidental : public SymbolInNote {
public:
    using SymbolInNote::SymbolInNote;
};
