#include "model/Line.h"

#include "model/Bar.h"
#include "model/Document.h"
#include "model/Page.h"
#include "model/TOVCoreDataController.h"
#include "model/TOVSymbolTypes.h"
#include "platform/data/ManagedObjectContext.h"

#include <algorithm>
#include <cmath>

namespace {

// The line width unit: the bar widths of a full line add up to this.
constexpr std::uint64_t kLineWidth = 520;
// Widths within this distance of the expected total are left as the user set them.
constexpr double kWidthTolerance = 2.0;

} // namespace

void Line::privateInit() {
    partition_ = unsignedValue("partition");
    firstBarLineType_ = static_cast<int>(intValue("firstBarLineType", TOVBarlineSingle));
}

void Line::storeInsertionDefaults() {
    setPrimitiveValue("partition", 4);
    partition_ = 4;
}

void Line::justSetPartition(std::uint64_t partition) {
    storeAndCache("partition", partition_, partition);
}

void Line::justSetFirstBarLineType(int type) {
    storeAndCache("firstBarLineType", firstBarLineType_, type);
}

void Line::justSetPage(Page* page) {
    setToOne("page", page);
}

void Line::setPartition(std::uint64_t partition) {
    if (partition == partition_) {
        return;
    }
    if (Line* upper = this->upper()) {
        upper->setPartition(partition);
        return;
    }
    justSetPartition(partition);
    if (Line* lower = this->lower()) {
        lower->justSetPartition(partition);
    }
    adjustBars();
}

void Line::setFirstBarLineType(int type) {
    if (type == firstBarLineType_) {
        return;
    }
    if (Line* upper = this->upper()) {
        upper->setFirstBarLineType(type);
        return;
    }
    justSetFirstBarLineType(type);
    if (Line* lower = this->lower()) {
        lower->justSetFirstBarLineType(type);
    }
}

Page* Line::page() const {
    if (Line* upper = this->upper()) {
        return upper->page();
    }
    return toOne<Page>("page");
}

void Line::setPage(Page* page) {
    if (Line* upper = this->upper()) {
        upper->setPage(page);
        return;
    }
    justSetPage(page);
}

Line* Line::upper() const {
    return toOne<Line>("upper");
}

Line* Line::lower() const {
    return toOne<Line>("lower");
}

std::vector<Bar*> Line::bars() const {
    return toManyAs<Bar>("bars");
}

std::vector<Bar*> Line::barArray() const {
    std::vector<Bar*> bars = this->bars();
    std::stable_sort(bars.begin(), bars.end(), [](Bar* a, Bar* b) { return a->num() < b->num(); });
    return bars;
}

std::uint64_t Line::order() const {
    const std::vector<Bar*> bars = barArray();
    return bars.empty() ? 0 : bars.front()->num() + 1;
}

Line* Line::altarnativePart() const {
    if (Line* lower = this->lower()) {
        return lower;
    }
    return upper();
}

Bar* Line::createNewBarWithNumberWidthBarlineType(std::uint64_t num, double width, int barlineType) {
    platform::ManagedObjectContext* context = managedObjectContext();
    auto* bar = context ? context->insertNewObject<Bar>("Bar") : nullptr;
    if (!bar) {
        return nullptr;
    }
    bar->justSetLine(this);
    bar->justSetNum(num);
    bar->justSetWidth(width);
    bar->justSetBarLineType(barlineType);
    return bar;
}

void Line::removeBar(Bar* bar) {
    platform::ManagedObjectContext* context = managedObjectContext();
    if (!bar || !context) {
        return;
    }
    // A pair goes as a whole: a lower bar is removed through its upper partner.
    if (Line* upperLine = upper()) {
        if (Bar* partner = bar->alternativeBarInDoubleLine()) {
            upperLine->removeBar(partner);
            return;
        }
    }
    if (lower()) {
        if (Bar* twin = bar->alternativeBarInDoubleLine()) {
            context->deleteObject(twin);
            processPendingChanges();
        }
    }
    context->deleteObject(bar);
    processPendingChanges();
}

Line* Line::createLowerLineWithCreateEmptyBars(bool createEmptyBars) {
    // A lower line never gets a line of its own under it: a chain of three parts has no meaning.
    if (isLowerOfDoublePart()) {
        return nullptr;
    }
    // A line has one lower line at most: asking again completes the existing one instead of orphaning it.
    if (Line* existing = lower()) {
        if (createEmptyBars) {
            completeLowerTwins();
        }
        return existing;
    }
    platform::ManagedObjectContext* context = managedObjectContext();
    auto* line = context ? context->insertNewObject<Line>("Line") : nullptr;
    if (!line) {
        return nullptr;
    }
    line->justSetFirstBarLineType(firstBarLineType_);
    line->justSetPartition(partition_);
    line->setToOne("upper", this);
    if (createEmptyBars) {
        for (Bar* bar : barArray()) {
            line->createNewBarWithNumberWidthBarlineType(bar->num(), bar->width(), bar->barLineType());
        }
    }
    processPendingChanges();
    return line;
}

void Line::removeLowerLine() {
    Line* lower = this->lower();
    Page* page = this->page();
    if (lower && page) {
        page->removeLine(lower);
    }
}

void Line::completeLowerTwins() {
    Line* lower = this->lower();
    if (!lower) {
        return;
    }
    for (Bar* bar : barArray()) {
        if (!bar->alternativeBarInDoubleLine()) {
            lower->createNewBarWithNumberWidthBarlineType(bar->num(), bar->width(), bar->barLineType());
        }
    }
}

Line* Line::nextLine() const {
    Page* page = this->page();
    return page ? page->nextLineOf(this) : nullptr;
}

Line* Line::previousLine() const {
    Page* page = this->page();
    return page ? page->previousLineOf(this) : nullptr;
}

Bar* Line::nextBarOf(const Bar* bar) const {
    const std::vector<Bar*> bars = barArray();
    auto it = std::find(bars.begin(), bars.end(), bar);
    if (it == bars.end()) {
        return nullptr;
    }
    if (it + 1 != bars.end()) {
        return *(it + 1);
    }
    Line* next = nextLine();
    if (!next) {
        return nullptr;
    }
    const std::vector<Bar*> nextBars = next->barArray();
    return nextBars.empty() ? nullptr : nextBars.front();
}

Bar* Line::previousBarOf(const Bar* bar) const {
    const std::vector<Bar*> bars = barArray();
    auto it = std::find(bars.begin(), bars.end(), bar);
    if (it == bars.end()) {
        return nullptr;
    }
    if (it != bars.begin()) {
        return *(it - 1);
    }
    Line* previous = previousLine();
    if (!previous) {
        return nullptr;
    }
    const std::vector<Bar*> previousBars = previous->barArray();
    return previousBars.empty() ? nullptr : previousBars.back();
}

std::uint64_t Line::moveLastBarsToNextLine(Line* line) {
    if (!line) {
        return 0;
    }
    Line* target = line->isLowerOfDoublePart() ? line->upper() : line;
    const std::vector<Bar*> bars = barArray();
    std::uint64_t moved = 0;
    for (std::size_t i = static_cast<std::size_t>(std::min<std::uint64_t>(partition_, bars.size()));
         i < bars.size(); ++i) {
        bars[i]->setLine(target);
        ++moved;
    }
    return moved;
}

std::uint64_t Line::moveFirstBarsToPreviousLine(Line* line, std::uint64_t length) {
    if (!line) {
        return 0;
    }
    const std::vector<Bar*> bars = barArray();
    const std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(length, bars.size()));
    for (std::size_t i = 0; i < count; ++i) {
        bars[i]->setLine(line);
    }
    if (!isDeleted()) {
        Page* page = this->page();
        if (this->bars().empty()) {
            if (page) {
                page->removeLine(this);
            }
        } else if (Line* lower = this->lower(); lower && lower->bars().empty()) {
            if (page) {
                page->removeLine(lower);
            }
        }
    }
    return count;
}

void Line::adjustBars() {
    if (Line* upper = this->upper()) {
        upper->adjustBars();
        return;
    }
    const std::uint64_t partition = partition_;
    const std::uint64_t count = bars().size();
    if (partition < count) {
        Line* next = nextLine();
        Page* page = this->page();
        Line* line = page ? page->createNewLineWithPartitionFirstBarlineType(4, TOVBarlineSingle) : nullptr;
        if (line) {
            const std::uint64_t moved = moveLastBarsToNextLine(line);
            if (next && moved > 0) {
                line->setPartition(moved < 5 ? moved : 4);
            }
            if (moved > 0) {
                line->adjustBars();
            }
        }
    } else if (count < partition) {
        std::uint64_t need = partition - count;
        while (Line* next = nextLine()) {
            const std::uint64_t nextPartition = next->partition();
            const std::uint64_t got = next->moveFirstBarsToPreviousLine(this, need);
            if (!next->isDeleted()) {
                const std::uint64_t left = next->bars().size();
                if (left > 0) {
                    // A line that holds bars never ends with partition 0, nor wraps below it.
                    next->setPartition(nextPartition > got ? nextPartition - got : left);
                } else if (Page* page = next->page()) {
                    page->removeLine(next);
                }
                if (got == 0 && !next->isDeleted()) {
                    break; // nothing could be moved: stop rather than ask the same line again
                }
            }
            if (got >= need) {
                break;
            }
            need -= got;
        }
    }
    processPendingChanges();
}

void Line::shouldNormalizeAllBarWidthInLine() {
    const std::vector<Bar*> bars = this->bars();
    const std::uint64_t count = bars.size();
    // A line that holds bars is laid out for them all when its partition says nothing (0).
    const std::uint64_t partition = (partition_ == 0) ? count : partition_;
    double sum = 0;
    for (const Bar* bar : bars) {
        sum += bar->width();
    }
    const double expected = (partition == count || partition == 0) ? double(kLineWidth)
                                                                   : double((count * kLineWidth) / partition);
    if (std::fabs(sum - expected) <= kWidthTolerance) {
        return;
    }
    for (Bar* bar : bars) {
        if (bar->width() > 0) {
            bar->setWidth(0.0);
        }
    }
}

void Line::prepareForDeletion() {
    if (isUndoRedoing() || isLowerOfDoublePart()) {
        return;
    }
    Page* page = this->page();
    if (!page || page->isDeleted()) {
        return;
    }
    const std::vector<Line*> lines = page->lines();
    if (lines.size() == 1 && lines.front() == this) {
        if (Document* document = page->document()) {
            document->removePage(page);
        }
    }
}

TOVCoreDataController* Line::reportTarget() const {
    Page* page = this->page();
    Document* document = page ? page->document() : nullptr;
    return document ? document->coreDataController() : nullptr;
}

void Line::didChange(const platform::Change& change) {
    TOVManagedObject::didChange(change);
    if (!observeON()) {
        return;
    }
    TOVCoreDataController* controller = reportTarget();
    if (!controller) {
        return;
    }
    if (change.key == "bars") {
        controller->lineDidUpdateBars(this);
    } else if (change.key == "firstBarLineType") {
        if (intValue("firstBarLineType") != 0) {
            controller->lineDidUpdateFirstBarlineType(this);
        }
    } else if (change.key == "partition") {
        if (unsignedValue("partition") != 0) {
            controller->lineDidUpdatePartition(this);
        }
    } else if (change.key == "lower") {
        controller->lineDidUpdateLower(this);
    }
}
