#pragma once

#include "model/SymbolSnapShot.h"
#include "model/TOVChordElems.h"

#include <cstdint>

// A chord's snapshot: the symbol's values, the four chord codes and the timing. The legacy index and
// order are not kept.
class ChordSnapShot : public SymbolSnapShot {
public:
    std::string_view archiveClassName() const override { return "ChordSnapShot"; }
    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    // A code missing from the archive reads as the entity's default (no root, plain triad, no tension,
    // no bass), so a damaged archive gives an empty chord rather than a C.
    void initWithCoder(platform::KeyedUnarchiver& coder) override;
    void takeSnapshotFrom(const TOVManagedObject* entity) override;

    int elemStep1() const { return elemStep1_; }
    void setElemStep1(int value) { elemStep1_ = value; }
    int elemStep2() const { return elemStep2_; }
    void setElemStep2(int value) { elemStep2_ = value; }
    int elemStep3() const { return elemStep3_; }
    void setElemStep3(int value) { elemStep3_ = value; }
    int elemStepBase() const { return elemStepBase_; }
    void setElemStepBase(int value) { elemStepBase_ = value; }
    std::uint64_t timing() const { return timing_; }
    void setTiming(std::uint64_t value) { timing_ = value; }

    // The four codes, with the slash flag set when a bass is given.
    TOVChordElems chordElems() const;

private:
    int elemStep1_ = TOVChordNoStep;
    int elemStep2_ = TOVChordPlainTriad;
    int elemStep3_ = TOVChordNoTension;
    int elemStepBase_ = TOVChordNoStep;
    std::uint64_t timing_ = 0;
};
