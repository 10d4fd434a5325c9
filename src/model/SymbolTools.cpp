#include "model/SymbolTools.h"

#include "model/Bar.h"
#include "model/SymbolToolsSnapShot.h"

void SymbolTools::privateInit() {
    Symbol::privateInit();
    frameRelativeToBar_ = platform::rectFromString(stringValue("frameRelativeToBar"));
}

void SymbolTools::setFrameRelativeToBar(const platform::Rect& frame) {
    if (isUndoRedoing()) {
        return;
    }
    storeAndCache("frameRelativeToBar", frameRelativeToBar_, frame, platform::stringFromRect(frame));
}

Bar* SymbolTools::barFollowsTo() const {
    return toOne<Bar>("barFollowsTo");
}

void SymbolTools::setBarFollowsTo(Bar* bar) {
    setToOne("barFollowsTo", bar);
}

std::unique_ptr<TOVSnapshotObject> SymbolTools::createSnapShot() const {
    auto snapshot = std::make_unique<SymbolToolsSnapShot>();
    snapshot->takeSnapshotFrom(this);
    return snapshot;
}

void SymbolTools::restoreFromSnapShot(const TOVSnapshotObject* snapshot) {
    Symbol::restoreFromSnapShot(snapshot);
    if (const auto* snap = dynamic_cast<const SymbolToolsSnapShot*>(snapshot)) {
        setFrameRelativeToBar(snap->frameRelativeToBarRect());
    }
}

bool SymbolTools::isObservedKey(std::string_view key) const {
    return Symbol::isObservedKey(key) || key == "frameRelativeToBar";
}
