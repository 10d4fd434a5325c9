#pragma once

#include "platform/data/ManagedObjectContext.h"

#include <memory>

class Document;

namespace tovtest {

// A context of the song model whose undo manager groups by explicit groups only, as the tests drive undo
// one group at a time, and records nothing until a test turns recording on (UndoEnabled, runUndoRedo).
std::unique_ptr<platform::ManagedObjectContext> makeSongContext();

// Turns undo registration on for as long as it exists.
class UndoEnabled {
public:
    explicit UndoEnabled(platform::ManagedObjectContext& context);
    ~UndoEnabled();
    UndoEnabled(const UndoEnabled&) = delete;
    UndoEnabled& operator=(const UndoEnabled&) = delete;

private:
    platform::UndoManager& undo_;
};

// Fills a new document with the default layout of a new song, as the document window does for a new
// document: bar-number display 0; page 0 with 10 line slots; a header line of partition 0 and first
// barline 0 without bars; then 4 lines (double-row song, each with a lower line of empty twins) or 9 lines
// (single-row song) of partition 4, each with 4 bars of width 130 and right barline TOVBarlineSingle, the
// first line with first barline TOVBarlineTransparent and the others TOVBarlineSingle, bars numbered from 0
// across the lines; then pending changes are processed. The song's `isDoubleRow` decides. Opens no undo
// group.
void createInitialPage(Document* document);

// A new document with its song header (`isDoubleRow` as asked) and the default layout; the undo stack
// starts empty.
Document* makeNewSong(platform::ManagedObjectContext& context, bool doubleRow);

// A song in a context of its own.
struct TestSong {
    explicit TestSong(bool doubleRow = false);

    std::unique_ptr<platform::ManagedObjectContext> context;
    Document* document = nullptr;
};

} // namespace tovtest
