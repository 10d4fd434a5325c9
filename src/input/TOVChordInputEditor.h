#pragma once

#include "model/TOVChordElems.h"

#include <cstdint>
#include <vector>

class Bar;
class ChordHistory;

namespace platform {
class UndoManager;
}

// What the chord input window asks of the editor of its document. The window works on the song only
// through these calls; the editor view controller answers them, and tests answer them with a fake.
class TOVChordInputEditor {
public:
    virtual ~TOVChordInputEditor() = default;

    // The window opened: the selected bar puts its chord input position on the selected chord (else 0),
    // is redrawn and scrolled into view.
    virtual void chordWindowWillStart() = 0;
    // The window closed: the selected bar is redrawn without its chord input mark.
    virtual void chordWindowDidClose() = 0;

    // The value of the one selected chord view, else the empty chord.
    virtual TOVChordElems selectedChord() const = 0;
    // Writes the value at the chord input position of the selected bar, replacing a chord there; the
    // empty chord deletes the selected chord; the selected value again changes nothing.
    virtual void insertChordAtCursor(const TOVChordElems& chord) = 0;
    // One step forward (step > 0), into the next bar at the end of a bar; false when it did not move.
    virtual bool progressChordTiming(std::uint64_t step, bool shouldFollowRhythm) = 0;
    // Back to the previous chord, also in earlier bars; false when there is none.
    virtual bool gobackChordIndex() = 0;

    // The document's chord history, oldest first.
    virtual std::vector<ChordHistory*> chordHistoryArray() const = 0;
    // Appends the value unless the history holds it already.
    virtual void addChordHistory(const TOVChordElems& chord) = 0;

    // The bar of the selected bar view; null without one.
    virtual Bar* currentBar() const = 0;
    // The document's undo manager; null without one.
    virtual platform::UndoManager* undoManager() const = 0;
};
