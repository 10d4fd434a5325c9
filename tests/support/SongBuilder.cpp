#include "support/SongBuilder.h"

#include "model/Document.h"
#include "model/Line.h"
#include "model/Page.h"
#include "model/Song.h"
#include "model/TOVManagedObjectModel.h"
#include "model/TOVNewSongLayout.h"

namespace tovtest {

std::unique_ptr<platform::ManagedObjectContext> makeSongContext() {
    auto context = std::make_unique<platform::ManagedObjectContext>(TOVManagedObjectModel::sharedModel());
    context->undoManager().setGroupsByEvent(false);
    context->undoManager().disableUndoRegistration();
    return context;
}

UndoEnabled::UndoEnabled(platform::ManagedObjectContext& context) : undo_(context.undoManager()) {
    undo_.enableUndoRegistration();
}

UndoEnabled::~UndoEnabled() {
    undo_.disableUndoRegistration();
}

void createInitialPage(Document* document) {
    TOVNewSongLayout::createInitialPageIn(document);
}

Document* makeNewSong(platform::ManagedObjectContext& context, bool doubleRow) {
    platform::UndoManager& undo = context.undoManager();
    undo.disableUndoRegistration();
    auto* document = context.insertNewObject<Document>("Document");
    document->createNewSong()->setIsDoubleRow(doubleRow);
    createInitialPage(document);
    undo.enableUndoRegistration();
    undo.removeAllActions();
    return document;
}

TestSong::TestSong(bool doubleRow) : context(makeSongContext()) {
    document = makeNewSong(*context, doubleRow);
}

} // namespace tovtest
