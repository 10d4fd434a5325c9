#include "model/NoteSnapShot.h"

#include "model/Note.h"
#include "model/NoteUnit.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"

void NoteSnapShot::encodeWithCoder(platform::KeyedArchiver& coder) const {
    SymbolSnapShot::encodeWithCoder(coder);
    coder.encodeFloatForKey(static_cast<float>(heightLeft_), "heightLeft");
    coder.encodeFloatForKey(static_cast<float>(heightRight_), "heightRight");
    coder.encodeArrayOfObjectsForKey(unitArray_, "unitArray");
}

void NoteSnapShot::initWithCoder(platform::KeyedUnarchiver& coder) {
    SymbolSnapShot::initWithCoder(coder);
    heightLeft_ = coder.decodeFloatForKey("heightLeft");
    heightRight_ = coder.decodeFloatForKey("heightRight");
    unitArray_.clear();
    if (auto units = coder.decodeArrayOfObjectsOfClassForKey<NoteUnitSnapShot>("unitArray")) {
        for (auto& unit : *units) {
            if (unit) { // a nil element carries nothing to restore
                unitArray_.push_back(std::move(unit));
            }
        }
    }
}

void NoteSnapShot::takeSnapshotFrom(const TOVManagedObject* entity) {
    SymbolSnapShot::takeSnapshotFrom(entity);
    const auto* note = dynamic_cast<const Note*>(entity);
    if (!note) {
        return;
    }
    heightLeft_ = note->heightLeft();
    heightRight_ = note->heightRight();
    unitArray_.clear();
    for (const NoteUnit* unit : note->unitArray()) {
        auto snap = std::make_unique<NoteUnitSnapShot>();
        snap->takeSnapshotFrom(unit);
        unitArray_.push_back(std::move(snap));
    }
}
