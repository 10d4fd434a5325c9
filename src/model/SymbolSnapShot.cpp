#include "model/SymbolSnapShot.h"

#include "model/Symbol.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"

void SymbolSnapShot::encodeWithCoder(platform::KeyedArchiver& coder) const {
    TOVSnapshotObject::encodeWithCoder(coder);
    coder.encodeFloatForKey(static_cast<float>(angle_), "angle");
    coder.encodeFloatForKey(static_cast<float>(scale_), "scale");
    coder.encodeBoolForKey(flip_, "flip");
    coder.encodeRectForKey(frame_, "frame");
    coder.encodeIntForKey(type_, "type");
    coder.encodeSizeForKey(initialSize_, "initialSize");
}

void SymbolSnapShot::initWithCoder(platform::KeyedUnarchiver& coder) {
    TOVSnapshotObject::initWithCoder(coder);
    angle_ = coder.decodeFloatForKey("angle");
    scale_ = coder.decodeFloatForKey("scale");
    flip_ = coder.decodeBoolForKey("flip");
    frame_ = coder.decodeRectForKey("frame");
    type_ = coder.decodeIntForKey("type");
    initialSize_ = coder.decodeSizeForKey("initialSize");
}

void SymbolSnapShot::takeSnapshotFrom(const TOVManagedObject* entity) {
    TOVSnapshotObject::takeSnapshotFrom(entity);
    const auto* symbol = dynamic_cast<const Symbol*>(entity);
    if (!symbol) {
        return;
    }
    angle_ = symbol->angle();
    scale_ = symbol->scale();
    flip_ = symbol->flip();
    frame_ = symbol->frame();
    type_ = symbol->type();
    initialSize_ = symbol->initialSize();
}
