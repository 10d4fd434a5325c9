#include "support/StructureCheck.h"

#include "model/Bar.h"
#include "model/Document.h"
#include "model/Line.h"
#include "model/Page.h"

#include <set>

namespace tovtest {

std::string structureFaults(const Document* document) {
    std::string faults;
    auto fault = [&faults](const std::string& text) { faults += text + "\n"; };
    std::uint64_t expected = 0;
    for (Page* page : document->pageArray()) {
        const std::string where = "page " + std::to_string(page->num());
        if (page->totalNumberOfLines() > page->aPage()) {
            fault(where + " holds " + std::to_string(page->totalNumberOfLines()) + " lines in " +
                  std::to_string(page->aPage()) + " slots");
        }
        for (Line* line : page->lineArray()) {
            for (Bar* bar : line->barArray()) {
                if (bar->num() != expected) {
                    fault(where + ": bar " + std::to_string(bar->num()) + " where " +
                          std::to_string(expected) + " belongs");
                }
                expected = bar->num() + 1;
            }
            Line* lower = line->lower();
            if (!lower) {
                continue;
            }
            const std::string at = where + ", line of order " + std::to_string(line->order());
            if (lower->lower()) {
                fault(at + ": its lower line has a line under it");
            }
            if (lower->partition() != line->partition() ||
                lower->firstBarLineType() != line->firstBarLineType()) {
                fault(at + ": the parts differ in partition or first barline");
            }
            const std::vector<Bar*> uppers = line->barArray();
            const std::vector<Bar*> lowers = lower->barArray();
            if (uppers.size() != lowers.size()) {
                fault(at + ": " + std::to_string(uppers.size()) + " upper bars, " +
                      std::to_string(lowers.size()) + " lower bars");
                continue;
            }
            for (std::size_t i = 0; i < uppers.size(); ++i) {
                if (uppers[i]->num() != lowers[i]->num() || uppers[i]->width() != lowers[i]->width()) {
                    fault(at + ": bar " + std::to_string(uppers[i]->num()) + " and its twin differ");
                }
            }
        }
    }
    return faults;
}

} // namespace tovtest
