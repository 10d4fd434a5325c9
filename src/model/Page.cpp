#include "model/Page.h"

#include "model/Document.h"
#include "model/Line.h"
#include "model/TOVCoreDataController.h"
#include "platform/data/ManagedObjectContext.h"

#include <algorithm>

namespace {

std::uint64_t slotsOf(const Line* line) {
    return line->lower() ? 2 : 1;
}

} // namespace

void Page::privateInit() {
    num_ = unsignedValue("num");
    aPage_ = unsignedValue("aPage");
}

void Page::storeInsertionDefaults() {
    setPrimitiveValue("aPage", 10);
    aPage_ = 10;
}

void Page::setNum(std::uint64_t num) {
    if (num == num_) {
        return;
    }
    storeAndCache("num", num_, num);
}

void Page::setAPage(std::uint64_t aPage) {
    if (aPage == aPage_) {
        return;
    }
    storeAndCache("aPage", aPage_, aPage);
    adjustLines();
}

Document* Page::document() const {
    return toOne<Document>("document");
}

void Page::setDocument(Document* document) {
    setToOne("document", document);
}

std::vector<Line*> Page::lines() const {
    return toManyAs<Line>("lines");
}

std::vector<Line*> Page::lineArray() const {
    std::vector<Line*> lines = this->lines();
    std::stable_sort(lines.begin(), lines.end(), [](Line* a, Line* b) { return a->order() < b->order(); });
    return lines;
}

Line* Page::createNewLineWithPartitionFirstBarlineType(std::uint64_t partition, int firstBarlineType) {
    platform::ManagedObjectContext* context = managedObjectContext();
    auto* line = context ? context->insertNewObject<Line>("Line") : nullptr;
    if (!line) {
        return nullptr;
    }
    line->justSetPage(this);
    line->setFirstBarLineType(firstBarlineType);
    line->setPartition(partition);
    processPendingChanges();
    return line;
}

void Page::removeLine(Line* line) {
    platform::ManagedObjectContext* context = managedObjectContext();
    if (!line || !context) {
        return;
    }
    context->deleteObject(line);
    processPendingChanges();
}

std::uint64_t Page::totalNumberOfLines() const {
    std::uint64_t total = 0;
    for (const Line* line : lines()) {
        total += slotsOf(line);
    }
    return total;
}

Page* Page::nextPage() const {
    Document* document = this->document();
    return document ? document->nextPageOf(this) : nullptr;
}

Page* Page::previousPage() const {
    Document* document = this->document();
    return document ? document->previousPageOf(this) : nullptr;
}

Line* Page::nextLineOf(const Line* line) const {
    // A line without bars has no neighbours, so the bar-less first line of a song has none.
    if (!line || line->bars().empty()) {
        return nullptr;
    }
    const Line* upper = line->isLowerOfDoublePart() ? line->upper() : line;
    const std::vector<Line*> lines = lineArray();
    auto it = std::find(lines.begin(), lines.end(), upper);
    if (it == lines.end()) {
        return nullptr;
    }
    Line* found = nullptr;
    if (it + 1 != lines.end()) {
        found = *(it + 1);
    } else if (Page* next = nextPage()) {
        const std::vector<Line*> nextLines = next->lineArray();
        found = nextLines.empty() ? nullptr : nextLines.front();
    }
    if (found && line->isLowerOfDoublePart()) {
        return found->lower();
    }
    return found;
}

Line* Page::previousLineOf(const Line* line) const {
    if (!line || line->bars().empty()) {
        return nullptr;
    }
    const Line* upper = line->isLowerOfDoublePart() ? line->upper() : line;
    const std::vector<Line*> lines = lineArray();
    auto it = std::find(lines.begin(), lines.end(), upper);
    if (it == lines.end()) {
        return nullptr;
    }
    Line* found = nullptr;
    if (it != lines.begin()) {
        found = *(it - 1);
    } else if (Page* previous = previousPage()) {
        const std::vector<Line*> previousLines = previous->lineArray();
        found = previousLines.empty() ? nullptr : previousLines.back();
    }
    if (found && line->isLowerOfDoublePart()) {
        return found->lower();
    }
    return found;
}

std::uint64_t Page::moveLastLinesToNextPage(std::uint64_t slotCount) {
    Page* next = nextPage();
    if (!next) {
        Document* document = this->document();
        next = document ? document->createNewPageWithNumberAPage(num_ + 1, 10) : nullptr;
        if (!next) {
            return 0;
        }
    }
    const std::uint64_t total = totalNumberOfLines();
    const std::uint64_t from = total > slotCount ? total - slotCount : 0;
    std::uint64_t before = 0;
    std::uint64_t moved = 0;
    for (Line* line : lineArray()) {
        const std::uint64_t size = slotsOf(line);
        if (before >= from) {
            line->setPage(next);
            moved += size;
        }
        before += size;
    }
    return moved;
}

std::uint64_t Page::moveFirstLinesToPreviousPage(std::uint64_t slotCount) {
    Page* previous = previousPage();
    if (!previous) {
        return 0;
    }
    std::uint64_t count = 0;
    std::uint64_t moved = 0;
    for (Line* line : lineArray()) {
        const std::uint64_t size = slotsOf(line);
        count += size;
        if (count > slotCount) {
            break;
        }
        line->setPage(previous);
        moved += size;
    }
    if (lines().empty()) {
        if (Document* document = this->document()) {
            document->removePage(this);
        }
    }
    return moved;
}

void Page::adjustLines() {
    const std::uint64_t total = totalNumberOfLines();
    std::uint64_t fit = 0;
    for (const Line* line : lineArray()) {
        const std::uint64_t size = slotsOf(line);
        if (fit + size > aPage_) {
            break;
        }
        fit += size;
    }
    if (total > fit) {
        moveLastLinesToNextPage(total - fit);
    } else if (aPage_ > total) {
        std::uint64_t need = aPage_ - total;
        while (Page* next = nextPage()) {
            const std::uint64_t got = next->moveFirstLinesToPreviousPage(need);
            if (got == 0 || got >= need) {
                break;
            }
            need -= got;
        }
    }
    if (Page* next = nextPage()) {
        next->adjustLines();
    }
    processPendingChanges();
}

TOVCoreDataController* Page::reportTarget() const {
    Document* document = this->document();
    return document ? document->coreDataController() : nullptr;
}

void Page::didChange(const platform::Change& change) {
    TOVManagedObject::didChange(change);
    if (!observeON()) {
        return;
    }
    TOVCoreDataController* controller = reportTarget();
    if (!controller) {
        return;
    }
    if (change.key == "lines") {
        controller->pageDidUpdateLines(this);
    } else if (change.key == "num") {
        controller->pageDidUpdateNum(this);
    } else if (change.key == "aPage") {
        if (unsignedValue("aPage") != 0) {
            controller->pageDidUpdateAPage(this);
        }
    }
}
