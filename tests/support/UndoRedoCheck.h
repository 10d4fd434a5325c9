#pragma once

#include <functional>
#include <string>

class Document;

namespace tovtest {

// The dumps of a document around one operation: before it, after it, after undoing it and after redoing it.
struct UndoRedoDumps {
    std::string before;
    std::string after;
    std::string undone;
    std::string redone;
};

// Runs the operation in one explicit undo group of the document's undo manager, then undoes and redoes
// that group, dumping the document at each step. Undo registration is on throughout.
UndoRedoDumps runUndoRedo(Document* document, const std::function<void()>& operation);

} // namespace tovtest
