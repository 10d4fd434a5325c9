#include "model/TOVNewSongLayout.h"

#include "model/Document.h"
#include "model/Line.h"
#include "model/Page.h"
#include "model/Song.h"
#include "model/TOVSymbolTypes.h"
#include "platform/data/ManagedObjectContext.h"

#include <cstdint>

void TOVNewSongLayout::createInitialPageIn(Document* document) {
    if (document == nullptr) {
        return;
    }
    document->setBarNumberShow(0);
    Page* page = document->createNewPageWithNumberAPage(0, 10);
    if (page == nullptr) {
        return;
    }
    page->createNewLineWithPartitionFirstBarlineType(0, 0);
    const Song* song = document->song();
    const bool doubleRow = song != nullptr && song->isDoubleRow();
    const int lines = doubleRow ? 4 : 9;
    std::uint64_t number = 0;
    for (int i = 0; i < lines; ++i) {
        Line* line = page->createNewLineWithPartitionFirstBarlineType(4, i == 0 ? TOVBarlineTransparent
                                                                                : TOVBarlineSingle);
        if (line == nullptr) {
            continue;
        }
        for (int b = 0; b < 4; ++b) {
            line->createNewBarWithNumberWidthBarlineType(number++, 130.0, TOVBarlineSingle);
        }
        if (doubleRow) {
            line->createLowerLineWithCreateEmptyBars(true);
        }
    }
    if (platform::ManagedObjectContext* context = document->managedObjectContext()) {
        context->processPendingChanges();
    }
}
