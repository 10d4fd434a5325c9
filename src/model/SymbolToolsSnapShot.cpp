#include "model/SymbolToolsSnapShot.h"

#include "model/SymbolTools.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"

void SymbolToolsSnapShot::encodeWithCoder(platform::KeyedArchiver& coder) const {
    SymbolSnapShot::encodeWithCoder(coder);
    coder.encodeRectForKey(frameRelativeToBarRect_, "frameRelativeToBarRect");
}

void SymbolToolsSnapShot::initWithCoder(platform::KeyedUnarchiver& coder) {
    SymbolSnapShot::initWithCoder(coder);
    frameRelativeToBarRect_ = coder.decodeRectForKey("frameRelativeToBarRect");
}

void SymbolToolsSnapShot::takeSnapshotFrom(const TOVManagedObject* entity) {
    SymbolSnapShot::takeSnapshotFrom(entity);
    if (const auto* tools = dynamic_cast<const SymbolTools*>(entity)) {
        frameRelativeToBarRect_ = tools->frameRelativeToBar();
    }
}
