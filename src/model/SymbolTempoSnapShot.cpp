#include "model/SymbolTempoSnapShot.h"

#include "model/SymbolTempo.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"

void SymbolTempoSnapShot::encodeWithCoder(platform::KeyedArchiver& coder) const {
    SymbolSnapShot::encodeWithCoder(coder);
    coder.encodeIntegerForKey(static_cast<std::int64_t>(speed_), "speed");
}

void SymbolTempoSnapShot::initWithCoder(platform::KeyedUnarchiver& coder) {
    SymbolSnapShot::initWithCoder(coder);
    speed_ = static_cast<std::uint64_t>(coder.decodeIntegerForKey("speed"));
}

void SymbolTempoSnapShot::takeSnapshotFrom(const TOVManagedObject* entity) {
    SymbolSnapShot::takeSnapshotFrom(entity);
    if (const auto* symbol = dynamic_cast<const SymbolTempo*>(entity)) {
        speed_ = symbol->speed();
    }
}
