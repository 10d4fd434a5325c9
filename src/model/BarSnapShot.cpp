#include "model/BarSnapShot.h"

#include "model/Bar.h"
#include "model/Chord.h"
#include "model/Note.h"
#include "model/Symbol.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"

namespace {

// Takes the snapshot of each object; an object whose class makes none adds nothing.
template <typename Range>
BarSnapShot::SnapShots snapshotsOf(const Range& objects) {
    BarSnapShot::SnapShots out;
    out.reserve(objects.size());
    for (const TOVManagedObject* object : objects) {
        std::unique_ptr<TOVSnapshotObject> snap = object->createSnapShot();
        if (auto* symbolSnap = dynamic_cast<SymbolSnapShot*>(snap.get())) {
            snap.release();
            out.emplace_back(symbolSnap);
        }
    }
    return out;
}

} // namespace

void BarSnapShot::encodeWithCoder(platform::KeyedArchiver& coder) const {
    TOVSnapshotObject::encodeWithCoder(coder);
    coder.encodeIntForKey(barLineTypeRight_, "barLineTypeRight");
    coder.encodeIntForKey(barLineTypeLeft_, "barLineTypeLeft");
    coder.encodeIntForKey(clefType_, "clefType");
    coder.encodeIntForKey(keyType_, "keyType");
    coder.encodeIntegerForKey(static_cast<std::int64_t>(longRest_), "longRest");
    coder.encodeIntegerForKey(static_cast<std::int64_t>(num_), "num");
    coder.encodeIntForKey(timeType_, "timeType");
    coder.encodeFloatForKey(static_cast<float>(height_), "height");
    coder.encodeFloatForKey(static_cast<float>(width_), "width");
    coder.encodeArrayOfObjectsForKey(chordArray_, "chordArray");
    coder.encodeArrayOfObjectsForKey(noteArray_, "noteArray");
    coder.encodeArrayOfObjectsForKey(symbolArray_, "symbolArray");
}

void BarSnapShot::initWithCoder(platform::KeyedUnarchiver& coder) {
    TOVSnapshotObject::initWithCoder(coder);
    barLineTypeRight_ = coder.decodeIntForKey("barLineTypeRight");
    barLineTypeLeft_ = coder.decodeIntForKey("barLineTypeLeft");
    clefType_ = coder.decodeIntForKey("clefType");
    keyType_ = coder.decodeIntForKey("keyType");
    longRest_ = static_cast<std::uint64_t>(coder.decodeIntegerForKey("longRest"));
    num_ = static_cast<std::uint64_t>(coder.decodeIntegerForKey("num"));
    timeType_ = coder.decodeIntForKey("timeType");
    height_ = coder.decodeFloatForKey("height");
    width_ = coder.decodeFloatForKey("width");
    auto read = [&coder](std::string_view key) {
        auto objects = coder.decodeArrayOfObjectsOfClassForKey<SymbolSnapShot>(key);
        SnapShots out;
        if (objects) {
            for (auto& object : *objects) {
                if (object) { // a nil element carries nothing to restore
                    out.push_back(std::move(object));
                }
            }
        }
        return out;
    };
    chordArray_ = read("chordArray");
    noteArray_ = read("noteArray");
    symbolArray_ = read("symbolArray");
}

void BarSnapShot::takeSnapshotFrom(const TOVManagedObject* entity) {
    TOVSnapshotObject::takeSnapshotFrom(entity);
    const auto* bar = dynamic_cast<const Bar*>(entity);
    if (!bar) {
        return;
    }
    barLineTypeRight_ = bar->rightBarLineType();
    barLineTypeLeft_ = bar->leftBarLineType();
    clefType_ = bar->clefType();
    keyType_ = bar->keyType();
    longRest_ = bar->longRest();
    num_ = bar->num();
    timeType_ = bar->timeType();
    height_ = bar->height();
    width_ = bar->width();
    chordArray_ = snapshotsOf(bar->chordArray());
    noteArray_ = snapshotsOf(bar->noteArray());
    symbolArray_ = snapshotsOf(bar->symbols());
}
