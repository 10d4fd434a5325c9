#include "support/UndoRedoCheck.h"

#include "model/Document.h"
#include "platform/data/ManagedObjectContext.h"
#include "support/DocumentDump.h"
#include "support/SongBuilder.h"

namespace tovtest {

UndoRedoDumps runUndoRedo(Document* document, const std::function<void()>& operation) {
    UndoEnabled recording(*document->managedObjectContext());
    platform::UndoManager& undo = document->managedObjectContext()->undoManager();
    UndoRedoDumps dumps;
    dumps.before = dumpDocument(document);
    undo.beginUndoGrouping();
    operation();
    undo.endUndoGrouping();
    dumps.after = dumpDocument(document);
    undo.undo();
    dumps.undone = dumpDocument(document);
    undo.redo();
    dumps.redone = dumpDocument(document);
    return dumps;
}

} // namespace tovtest
