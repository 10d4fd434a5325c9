#pragma once

#include "model/TOVManagedObject.h"
#include "model/TOVSymbolTypes.h"

#include <cstdint>
#include <vector>

class Bar;
class Page;

// One line (staff) of bars. A line with a lower line forms a double line: the lower line holds one twin
// for every bar of its upper line (same number and width), shares its partition and first barline, and
// has no page of its own. The partition is the number of bars the line is laid out for; the bar-less
// first line of every song has partition 0.
class Line : public TOVManagedObject {
public:
    using TOVManagedObject::TOVManagedObject;

    std::uint64_t partition() const { return partition_; }
    // On a lower line the upper line takes the call. Otherwise stores the value, gives the lower line the
    // same value without side effects and re-balances the bars.
    void setPartition(std::uint64_t partition);
    int firstBarLineType() const { return firstBarLineType_; }
    // On a lower line the upper line takes the call; otherwise stores it here and in the lower line.
    void setFirstBarLineType(int type);
    // Store the value (and cache) with change notices, nothing else.
    void justSetPartition(std::uint64_t partition);
    void justSetFirstBarLineType(int type);
    void justSetPage(Page* page);

    // A lower line answers its upper line's page.
    Page* page() const;
    // A lower line passes the call to its upper line.
    void setPage(Page* page);
    Line* upper() const;
    Line* lower() const;
    std::vector<Bar*> bars() const;
    // The bars by number.
    std::vector<Bar*> barArray() const;
    // The first bar's number plus 1; 0 for a line without bars.
    std::uint64_t order() const;
    // The other line of a double line; none for a single line.
    Line* altarnativePart() const;
    bool isLowerOfDoublePart() const { return upper() != nullptr; }

    // A new bar in this line with the values stored without side effects; pending changes are left to the
    // caller.
    Bar* createNewBarWithNumberWidthBarlineType(std::uint64_t num, double width, int barlineType);
    // Deletes the bar, and first its twin in the lower line.
    void removeBar(Bar* bar);
    // Makes this line the upper line of a double line; with `createEmptyBars` the new lower line gets an
    // empty twin for each bar of this line.
    Line* createLowerLineWithCreateEmptyBars(bool createEmptyBars);
    void removeLowerLine();
    // Gives this line's lower line an empty twin for every bar of this line that has none.
    void completeLowerTwins();

    Line* nextLine() const;
    Line* previousLine() const;
    Bar* nextBarOf(const Bar* bar) const;
    Bar* previousBarOf(const Bar* bar) const;
    // Moves every bar at a position at or beyond the partition into the line (its upper line when it is a
    // lower line); answers how many moved.
    std::uint64_t moveLastBarsToNextLine(Line* line);
    // Moves the first `length` bars into the line; removes this line (or its lower line) when left empty;
    // answers how many moved.
    std::uint64_t moveFirstBarsToPreviousLine(Line* line, std::uint64_t length);
    // Surplus bars flow to a new line behind this one; missing bars are pulled from the following lines.
    void adjustBars();
    // Resets every bar width to "no width of its own" when the widths no longer add up to the line.
    void shouldNormalizeAllBarWidthInLine();

    bool startObserving() override { return beginObserving(); }
    bool stopObserving() override { return endObserving(); }

protected:
    void privateInit() override;
    void storeInsertionDefaults() override;
    void prepareForDeletion() override;
    void didChange(const platform::Change& change) override;

private:
    TOVCoreDataController* reportTarget() const;

    std::uint64_t partition_ = 0;
    int firstBarLineType_ = TOVBarlineSingle;
};
