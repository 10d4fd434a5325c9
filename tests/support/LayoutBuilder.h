#pragma once

#include <cstdint>
#include <string>
#include <vector>

class Bar;
class Document;

namespace platform {
class ManagedObjectContext;
}

namespace tovtest {

struct LineSpec {
    std::uint64_t partition = 4;
    int bars = 4;
    bool isDouble = false;
};

struct PageSpec {
    std::uint64_t aPage = 10;
    std::vector<LineSpec> lines;
};

// A document laid out exactly as given, without any re-flow: pages numbered from 0, lines with their
// partition, first barline TOVBarlineSingle and bars of width 130 and barline TOVBarlineSingle numbered from
// 0 in walk order (a double line's lower line gets a twin for each bar). Built with undo registration off.
Document* makeLayout(platform::ManagedObjectContext& context, const std::vector<PageSpec>& pages);

// The layout as text: "P0(10): 0[] 4[0 1 2 3] 4[4 5]+[4 5] | P1(10): ...": every page with its slots, its
// lines with their partition and bar numbers, and a lower line's bars after "+".
std::string layoutSummary(const Document* document);

// The bar with the number in a single or upper line, or its twin in the lower line; none when missing.
Bar* findBar(const Document* document, std::uint64_t num, bool lower = false);

} // namespace tovtest
