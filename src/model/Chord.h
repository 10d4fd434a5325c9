#pragma once

#include "model/Symbol.h"
#include "model/TOVChordElems.h"

#include <cstdint>

// A chord symbol in a bar: a chord value (root, quality, tension and bass codes, as TOVChordElems
// describes them) at a position in ticks from the start of the bar. Its symbol type is TOVSymbolChord, set by
// the bar that creates it.
//
// The attributes are cached; their setters do nothing while undoing or redoing (undo restores the store
// itself) or for an unchanged value. Every change of a chord attribute, and of the symbol attributes, is
// reported to the document's undo refresh buffer as a chord change.
class Chord : public Symbol {
public:
    using Symbol::Symbol;

    // Root: 0..16, 17 none.
    int elemStep1() const { return elemStep1_; }
    void setElemStep1(int value);
    // Quality: 12 is the plain major triad.
    int elemStep2() const { return elemStep2_; }
    void setElemStep2(int value);
    // Tension: 70 is none.
    int elemStep3() const { return elemStep3_; }
    void setElemStep3(int value);
    // Bass: the root's codes, 17 none.
    int elemStepBase() const { return elemStepBase_; }
    void setElemStepBase(int value);
    // Position in ticks from the start of the bar.
    std::uint64_t timing() const { return timing_; }
    void setTiming(std::uint64_t value);
    // Legacy position in 30-tick steps, and slot within a tuplet at that position.
    std::uint64_t index() const { return index_; }
    void setIndex(std::uint64_t value);
    std::uint64_t order() const { return order_; }
    void setOrder(std::uint64_t value);

    // The four codes, with the slash flag set when a bass is given.
    TOVChordElems chordElems() const;
    // Writes the four codes through their setters; the slash flag is not stored.
    void setChordElems(const TOVChordElems& elems);

    Bar* bar() const override;
    // Writes only a different bar.
    void setBar(Bar* bar) override;

    // Reported as a chord change.
    void postNotificationUpdateAttribute() override;

    // A ChordSnapShot: the symbol's values, the four codes and the timing.
    std::unique_ptr<TOVSnapshotObject> createSnapShot() const override;
    // The symbol's values, then the four codes and the timing of a ChordSnapShot.
    void restoreFromSnapShot(const TOVSnapshotObject* snapshot) override;

protected:
    void privateInit() override;
    bool isObservedKey(std::string_view key) const override;

private:
    void setIntForKey(std::string_view key, int& field, int value);
    void setUnsignedForKey(std::string_view key, std::uint64_t& field, std::uint64_t value);

    int elemStep1_ = TOVChordNoStep;
    int elemStep2_ = TOVChordPlainTriad;
    int elemStep3_ = TOVChordNoTension;
    int elemStepBase_ = TOVChordNoStep;
    std::uint64_t timing_ = 0;
    std::uint64_t index_ = 0;
    std::uint64_t order_ = 0;
};
