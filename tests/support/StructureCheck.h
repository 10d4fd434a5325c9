#pragma once

#include <string>

class Document;

namespace tovtest {

// The song's structural rules, each broken one as a line of text; empty when the song is whole:
// - the bars of single and upper lines are numbered 0, 1, 2 ... in walk order without gaps;
// - every bar of an upper line has a lower twin of the same number and width, and a lower line holds no
//   other bars;
// - both parts of a double line share partition and first barline; a lower line has no line under it;
// - no page holds more lines than its slots allow.
std::string structureFaults(const Document* document);

} // namespace tovtest
