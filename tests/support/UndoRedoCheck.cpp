#include "support/UndoRedoCheck.h"

#include "document/TOVDocumentDump.h"
#include "model/Document.h"
#include "platform/data/ManagedObjectContext.h"
#include "support/SongBuilder.h"

namespace tovtest {

UndoRedoDumps runUndoRedo(Document* document, const std::function<void()>& operation) {
    UndoEnabled recording(*document->managedObjectContext());
    platform::UndoManager& undo = document->managedObjectContext()->undoManager();
    UndoRedoDumps dumps;
    dumps.before = TOVDocumentDump::dumpDocument(document);
    undo.beginUndoGrouping();
    operation();
    undo.endUndoGrouping();
    dumps.after = TOVDocumentDump::dumpDocument(document);
    undo.undo();
    dumps.undone = TOVDocumentDump::dumpDocument(document);
    undo.redo();
    dumps.redone = TOVDocumentDump::dumpDocument(document);
    return dumps;
}

} // namespace tovtest
