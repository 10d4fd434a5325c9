#include "model/SymbolTextSnapShot.h"

#include "model/SymbolText.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"

void SymbolTextSnapShot::encodeWithCoder(platform::KeyedArchiver& coder) const {
    SymbolToolsSnapShot::encodeWithCoder(coder);
    if (text_) {
        coder.encodeAttributedStringForKey(*text_, "text");
    }
}

void SymbolTextSnapShot::initWithCoder(platform::KeyedUnarchiver& coder) {
    SymbolToolsSnapShot::initWithCoder(coder);
    text_ = coder.decodeAttributedStringForKey("text");
}

void SymbolTextSnapShot::takeSnapshotFrom(const TOVManagedObject* entity) {
    SymbolToolsSnapShot::takeSnapshotFrom(entity);
    if (const auto* symbol = dynamic_cast<const SymbolText*>(entity)) {
        text_ = symbol->text();
    }
}
