#pragma once

#include "model/SymbolSnapShot.h"
#include "model/TOVSnapshotObject.h"

#include <cstdint>
#include <memory>
#include <vector>

// A tone's snapshot: level, slash, head, whether ties start and end at it (ties themselves are made anew
// from the pitch after a paste), its accidental's snapshot and its articulations' snapshots.
class NoteToneSnapShot : public TOVSnapshotObject {
public:
    using Symbols = std::vector<std::unique_ptr<SymbolSnapShot>>;

    std::string_view archiveClassName() const override { return "NoteToneSnapShot"; }
    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;
    void takeSnapshotFrom(const TOVManagedObject* entity) override;

    std::int64_t level() const { return level_; }
    void setLevel(std::int64_t value) { level_ = value; }
    bool slash() const { return slash_; }
    void setSlash(bool value) { slash_ = value; }
    int head() const { return head_; }
    void setHead(int value) { head_ = value; }
    bool tieRight() const { return tieRight_; }
    void setTieRight(bool value) { tieRight_ = value; }
    bool tieLeft() const { return tieLeft_; }
    void setTieLeft(bool value) { tieLeft_ = value; }
    // None when the tone has no accidental of its own.
    const SymbolSnapShot* accidental() const { return accidental_.get(); }
    void setAccidental(std::unique_ptr<SymbolSnapShot> value) { accidental_ = std::move(value); }
    const Symbols& articulationArray() const { return articulationArray_; }
    void setArticulationArray(Symbols value) { articulationArray_ = std::move(value); }

private:
    std::int64_t level_ = 0;
    bool slash_ = false;
    int head_ = 0;
    bool tieRight_ = false;
    bool tieLeft_ = false;
    std::unique_ptr<SymbolSnapShot> accidental_;
    Symbols articulationArray_;
};
