#pragma once

#include "model/NoteToneSnapShot.h"
#include "model/TOVSnapshotObject.h"

#include <cstdint>
#include <memory>
#include <vector>

// A unit's snapshot: rhythm code, beam role, timing, duration (a one-beat slash keeps the beat of the bar
// it was taken in) and one snapshot per tone, highest first.
class NoteUnitSnapShot : public TOVSnapshotObject {
public:
    using Tones = std::vector<std::unique_ptr<NoteToneSnapShot>>;

    std::string_view archiveClassName() const override { return "NoteUnitSnapShot"; }
    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;
    void takeSnapshotFrom(const TOVManagedObject* entity) override;

    std::uint32_t type() const { return type_; }
    void setType(std::uint32_t value) { type_ = value; }
    int beam() const { return beam_; }
    void setBeam(int value) { beam_ = value; }
    std::uint64_t timing() const { return timing_; }
    void setTiming(std::uint64_t value) { timing_ = value; }
    std::uint64_t duration() const { return duration_; }
    void setDuration(std::uint64_t value) { duration_ = value; }
    const Tones& toneArray() const { return toneArray_; }
    void setToneArray(Tones value) { toneArray_ = std::move(value); }

private:
    std::uint32_t type_ = 0;
    int beam_ = 0;
    std::uint64_t timing_ = 0;
    std::uint64_t duration_ = 0;
    Tones toneArray_;
};
