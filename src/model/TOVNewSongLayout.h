#pragma once

class Document;

// The layout every new song starts from, made in one place so that the document window and everything
// that builds songs the way it does (tests, benchmarks, tools) start from the same page.
class TOVNewSongLayout {
public:
    // Bar-number display 0; page 0 with 10 line slots; a header line of partition 0 and first barline 0
    // without bars; then 4 lines (double-row song, each with a lower line of empty twins) or 9 lines
    // (single-row song) of partition 4, each with 4 bars 130 wide and a single right barline, the first
    // line opening with the invisible barline and the others with a single one, bars numbered from 0 across
    // the lines; then pending changes are processed. The song's `isDoubleRow` decides; a document without
    // a song gets single rows. Opens no undo group.
    static void createInitialPageIn(Document* document);
};
