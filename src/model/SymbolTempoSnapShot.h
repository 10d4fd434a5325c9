#pragma once

#include "model/SymbolSnapShot.h"

#include <cstdint>

// A tempo sign's snapshot: the symbol's values and its speed.
class SymbolTempoSnapShot : public SymbolSnapShot {
public:
    std::string_view archiveClassName() const override { return "SymbolTempoSnapShot"; }
    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;
    void takeSnapshotFrom(const TOVManagedObject* entity) override;

    std::uint64_t speed() const { return speed_; }
    void setSpeed(std::uint64_t value) { speed_ = value; }

private:
    std::uint64_t speed_ = 0;
};
