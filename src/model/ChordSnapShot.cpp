#include "model/ChordSnapShot.h"

#include "model/Chord.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"

namespace {

int decodeIntOr(platform::KeyedUnarchiver& coder, std::string_view key, int fallback) {
    return coder.containsValueForKey(key) ? coder.decodeIntForKey(key) : fallback;
}

} // namespace

void ChordSnapShot::encodeWithCoder(platform::KeyedArchiver& coder) const {
    SymbolSnapShot::encodeWithCoder(coder);
    coder.encodeIntForKey(elemStep1_, "elemStep1");
    coder.encodeIntForKey(elemStep2_, "elemStep2");
    coder.encodeIntForKey(elemStep3_, "elemStep3");
    coder.encodeIntForKey(elemStepBase_, "elemStepBase");
    coder.encodeIntegerForKey(static_cast<std::int64_t>(timing_), "timing");
}

void ChordSnapShot::initWithCoder(platform::KeyedUnarchiver& coder) {
    SymbolSnapShot::initWithCoder(coder);
    const TOVChordElems none;
    elemStep1_ = decodeIntOr(coder, "elemStep1", none.elemStep1);
    elemStep2_ = decodeIntOr(coder, "elemStep2", none.elemStep2);
    elemStep3_ = decodeIntOr(coder, "elemStep3", none.elemStep3);
    elemStepBase_ = decodeIntOr(coder, "elemStepBase", none.elemStepBase);
    timing_ = static_cast<std::uint64_t>(coder.decodeIntegerForKey("timing"));
}

void ChordSnapShot::takeSnapshotFrom(const TOVManagedObject* entity) {
    SymbolSnapShot::takeSnapshotFrom(entity);
    if (const auto* chord = dynamic_cast<const Chord*>(entity)) {
        elemStep1_ = chord->elemStep1();
        elemStep2_ = chord->elemStep2();
        elemStep3_ = chord->elemStep3();
        elemStepBase_ = chord->elemStepBase();
        timing_ = chord->timing();
    }
}

TOVChordElems ChordSnapShot::chordElems() const {
    return TOVChordElems::fromCodes(elemStep1_, elemStep2_, elemStep3_, elemStepBase_);
}
