#include "support/SongBuilder.h"

#include "model/Document.h"
#include "model/Line.h"
#include "model/Page.h"
#include "model/Song.h"
#include "model/TOVManagedObjectModel.h"
#include "model/TOVSymbolTypes.h"

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
    if (!document) {
        return;
    }
    const Song* song = document->song();
    const bool doubleRow = song && song->isDoubleRow();
    document->setBarNumberShow(0);
    Page* page = document->createNewPageWithNumberAPage(0, 10);
    page->createNewLineWithPartitionFirstBarlineType(0, 0);
    const int lineCount = doubleRow ? 4 : 9;
    std::uint64_t num = 0;
    for (int i = 0; i < lineCount; ++i) {
        Line* line = page->createNewLineWithPartitionFirstBarlineType(4, i == 0 ? TOVBarlineTransparent
                                                                                : TOVBarlineSingle);
        for (int b = 0; b < 4; ++b) {
            line->createNewBarWithNumberWidthBarlineType(num++, 130.0, TOVBarlineSingle);
        }
        if (doubleRow) {
            line->createLowerLineWithCreateEmptyBars(true);
        }
    }
    document->managedObjectContext()->processPendingChanges();
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
