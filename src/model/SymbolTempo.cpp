#include "model/SymbolTempo.h"

#include "model/SymbolTempoSnapShot.h"

void SymbolTempo::privateInit() {
    Symbol::privateInit();
    speed_ = unsignedValue("speed");
}

void SymbolTempo::setSpeed(std::uint64_t speed) {
    if (isUndoRedoing() || speed == speed_) {
        return;
    }
    storeAndCache("speed", speed_, speed);
}

std::unique_ptr<TOVSnapshotObject> SymbolTempo::createSnapShot() const {
    auto snapshot = std::make_unique<SymbolTempoSnapShot>();
    snapshot->takeSnapshotFrom(this);
    return snapshot;
}

void SymbolTempo::restoreFromSnapShot(const TOVSnapshotObject* snapshot) {
    Symbol::restoreFromSnapShot(snapshot);
    if (const auto* snap = dynamic_cast<const SymbolTempoSnapShot*>(snapshot)) {
        setSpeed(snap->speed());
    }
}

bool SymbolTempo::isObservedKey(std::string_view key) const {
    return Symbol::isObservedKey(key) || key == "speed";
}
