#pragma once

#include "model/Symbol.h"

// An articulation attached to a tone; its behaviour builds on this class.
class SymbolInNote : public Symbol {
public:
    using Symbol::Symbol;
};
