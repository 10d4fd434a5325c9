#pragma once

#include "model/SymbolSnapShot.h"
#include "model/TOVSnapshotObject.h"

#include <cstdint>
#include <memory>
#include <vector>

// A bar and everything it holds as a plain, keyed-archivable value: its settings, its barlines as drawn,
// and snapshots of its chords (by timing), notes (by timing) and symbols (in set order). Chord and note
// snapshots derive from SymbolSnapShot.
class BarSnapShot : public TOVSnapshotObject {
public:
    using SnapShots = std::vector<std::unique_ptr<SymbolSnapShot>>;

    std::string_view archiveClassName() const override { return "BarSnapShot"; }
    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;
    void takeSnapshotFrom(const TOVManagedObject* entity) override;

    int barLineTypeRight() const { return barLineTypeRight_; }
    void setBarLineTypeRight(int value) { barLineTypeRight_ = value; }
    int barLineTypeLeft() const { return barLineTypeLeft_; }
    void setBarLineTypeLeft(int value) { barLineTypeLeft_ = value; }
    int clefType() const { return clefType_; }
    void setClefType(int value) { clefType_ = value; }
    int keyType() const { return keyType_; }
    void setKeyType(int value) { keyType_ = value; }
    int timeType() const { return timeType_; }
    void setTimeType(int value) { timeType_ = value; }
    std::uint64_t num() const { return num_; }
    void setNum(std::uint64_t value) { num_ = value; }
    std::uint64_t longRest() const { return longRest_; }
    void setLongRest(std::uint64_t value) { longRest_ = value; }
    double width() const { return width_; }
    void setWidth(double value) { width_ = value; }
    double height() const { return height_; }
    void setHeight(double value) { height_ = value; }

    const SnapShots& chordArray() const { return chordArray_; }
    void setChordArray(SnapShots value) { chordArray_ = std::move(value); }
    const SnapShots& noteArray() const { return noteArray_; }
    void setNoteArray(SnapShots value) { noteArray_ = std::move(value); }
    const SnapShots& symbolArray() const { return symbolArray_; }
    void setSymbolArray(SnapShots value) { symbolArray_ = std::move(value); }

private:
    int barLineTypeRight_ = 0;
    int barLineTypeLeft_ = 0;
    int clefType_ = 0;
    int keyType_ = 0;
    int timeType_ = 0;
    std::uint64_t num_ = 0;
    std::uint64_t longRest_ = 0;
    double width_ = 0;
    double height_ = 0;
    SnapShots chordArray_;
    SnapShots noteArray_;
    SnapShots symbolArray_;
};
