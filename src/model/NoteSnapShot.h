#pragma once

#include "model/NoteUnitSnapShot.h"
#include "model/SymbolSnapShot.h"

#include <memory>
#include <vector>

// A note's snapshot: the symbol's values, the two heights and one snapshot per unit, by timing.
class NoteSnapShot : public SymbolSnapShot {
public:
    using Units = std::vector<std::unique_ptr<NoteUnitSnapShot>>;

    std::string_view archiveClassName() const override { return "NoteSnapShot"; }
    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;
    void takeSnapshotFrom(const TOVManagedObject* entity) override;

    double heightLeft() const { return heightLeft_; }
    void setHeightLeft(double value) { heightLeft_ = value; }
    double heightRight() const { return heightRight_; }
    void setHeightRight(double value) { heightRight_ = value; }
    const Units& unitArray() const { return unitArray_; }
    void setUnitArray(Units value) { unitArray_ = std::move(value); }

private:
    double heightLeft_ = 0;
    double heightRight_ = 0;
    Units unitArray_;
};
