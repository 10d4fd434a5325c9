#include "model/SymbolRepeatSnapShot.h"

#include "model/SymbolRepeat.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"

void SymbolRepeatSnapShot::encodeWithCoder(platform::KeyedArchiver& coder) const {
    SymbolSnapShot::encodeWithCoder(coder);
    if (!repeatIDString_.isNull()) {
        coder.encodeStringForKey(repeatIDString_, "repeatIDString");
    }
}

void SymbolRepeatSnapShot::initWithCoder(platform::KeyedUnarchiver& coder) {
    SymbolSnapShot::initWithCoder(coder);
    repeatIDString_ = coder.decodeStringForKey("repeatIDString").value_or(QString());
}

void SymbolRepeatSnapShot::takeSnapshotFrom(const TOVManagedObject* entity) {
    SymbolSnapShot::takeSnapshotFrom(entity);
    if (const auto* symbol = dynamic_cast<const SymbolRepeat*>(entity)) {
        repeatIDString_ = symbol->repeatIDString();
    }
}
