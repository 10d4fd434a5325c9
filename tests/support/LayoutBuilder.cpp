#include "support/LayoutBuilder.h"

#include "model/Bar.h"
#include "model/Document.h"
#include "model/Line.h"
#include "model/Page.h"
#include "model/TOVSymbolTypes.h"
#include "platform/data/ManagedObjectContext.h"

namespace tovtest {

Document* makeLayout(platform::ManagedObjectContext& context, const std::vector<PageSpec>& pages) {
    platform::UndoManager& undo = context.undoManager();
    undo.disableUndoRegistration();
    auto* document = context.insertNewObject<Document>("Document");
    document->createNewSong();
    std::uint64_t pageNum = 0;
    std::uint64_t barNum = 0;
    for (const PageSpec& pageSpec : pages) {
        Page* page = context.insertNewObject<Page>("Page");
        page->setDocument(document);
        page->setNum(pageNum++);
        // Set while the page is still empty and last, so that nothing re-flows.
        page->setAPage(pageSpec.aPage);
        for (const LineSpec& lineSpec : pageSpec.lines) {
            auto* line = context.insertNewObject<Line>("Line");
            line->justSetPage(page);
            line->justSetPartition(lineSpec.partition);
            line->justSetFirstBarLineType(TOVBarlineSingle);
            for (int i = 0; i < lineSpec.bars; ++i) {
                line->createNewBarWithNumberWidthBarlineType(barNum++, 130.0, TOVBarlineSingle);
            }
            if (lineSpec.isDouble) {
                line->createLowerLineWithCreateEmptyBars(true);
            }
        }
    }
    context.processPendingChanges();
    undo.enableUndoRegistration();
    undo.removeAllActions();
    return document;
}

std::string layoutSummary(const Document* document) {
    std::string out;
    auto barsOf = [](const Line* line) {
        std::string s = "[";
        bool first = true;
        for (const Bar* bar : line->barArray()) {
            s += (first ? "" : " ") + std::to_string(bar->num());
            first = false;
        }
        return s + "]";
    };
    for (const Page* page : document->pageArray()) {
        if (!out.empty()) {
            out += " | ";
        }
        out += "P" + std::to_string(page->num()) + "(" + std::to_string(page->aPage()) + "):";
        for (const Line* line : page->lineArray()) {
            out += " " + std::to_string(line->partition()) + barsOf(line);
            if (const Line* lower = line->lower()) {
                out += "+" + barsOf(lower);
            }
        }
    }
    return out;
}

Bar* findBar(const Document* document, std::uint64_t num, bool lower) {
    for (const Page* page : document->pageArray()) {
        for (const Line* line : page->lineArray()) {
            const Line* part = lower ? line->lower() : line;
            if (!part) {
                continue;
            }
            for (Bar* bar : part->bars()) {
                if (bar->num() == num) {
                    return bar;
                }
            }
        }
    }
    return nullptr;
}

} // namespace tovtest
