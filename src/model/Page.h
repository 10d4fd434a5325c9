#pragma once

#include "model/TOVManagedObject.h"

#include <cstdint>
#include <vector>

class Document;
class Line;

// One page of the song: how many line slots it offers (a single line takes one slot, a double line two)
// and its single and upper lines (a lower line hangs from its upper line and has no page of its own).
class Page : public TOVManagedObject {
public:
    using TOVManagedObject::TOVManagedObject;

    std::uint64_t num() const { return num_; }
    void setNum(std::uint64_t num);
    std::uint64_t aPage() const { return aPage_; }
    // Stores a new slot count and re-flows the lines from this page on.
    void setAPage(std::uint64_t aPage);

    Document* document() const;
    void setDocument(Document* document);
    std::vector<Line*> lines() const;
    // The lines by order (the bar-less first line first, then by their first bar's number).
    std::vector<Line*> lineArray() const;

    // A new line on this page with the first barline and partition set in that order.
    Line* createNewLineWithPartitionFirstBarlineType(std::uint64_t partition, int firstBarlineType);
    // Deletes the line with its bars (and its lower line).
    void removeLine(Line* line);
    // Slots used: 1 per single line, 2 per double line.
    std::uint64_t totalNumberOfLines() const;
    Page* nextPage() const;
    Page* previousPage() const;
    // The neighbouring line across pages; see the implementation for lines without bars and lower lines.
    Line* nextLineOf(const Line* line) const;
    Line* previousLineOf(const Line* line) const;
    // Moves the last lines holding `slotCount` slots to the next page (made when there is none); answers the
    // slots moved.
    std::uint64_t moveLastLinesToNextPage(std::uint64_t slotCount);
    // Moves the leading lines holding at most `slotCount` slots to the previous page and removes this page
    // when it is left empty; answers the slots moved.
    std::uint64_t moveFirstLinesToPreviousPage(std::uint64_t slotCount);
    // Re-flows lines so that every page from this one on uses at most its slots, pulling lines back from
    // later pages where there is room.
    void adjustLines();

    bool startObserving() override { return beginObserving(); }
    bool stopObserving() override { return endObserving(); }

protected:
    void privateInit() override;
    void storeInsertionDefaults() override;
    void didChange(const platform::Change& change) override;

private:
    TOVCoreDataController* reportTarget() const;

    std::uint64_t num_ = 0;
    std::uint64_t aPage_ = 0;
};
