#include "model/NoteUnitSnapShot.h"

#include "model/NoteTone.h"
#include "model/NoteUnit.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"

void NoteUnitSnapShot::encodeWithCoder(platform::KeyedArchiver& coder) const {
    TOVSnapshotObject::encodeWithCoder(coder);
    coder.encodeIntegerForKey(static_cast<std::int64_t>(type_), "type");
    coder.encodeIntForKey(beam_, "beam");
    coder.encodeIntegerForKey(static_cast<std::int64_t>(timing_), "timing");
    coder.encodeIntegerForKey(static_cast<std::int64_t>(duration_), "duration");
    coder.encodeArrayOfObjectsForKey(toneArray_, "toneArray");
}

void NoteUnitSnapShot::initWithCoder(platform::KeyedUnarchiver& coder) {
    TOVSnapshotObject::initWithCoder(coder);
    type_ = static_cast<std::uint32_t>(coder.decodeIntegerForKey("type"));
    beam_ = coder.decodeIntForKey("beam");
    timing_ = static_cast<std::uint64_t>(coder.decodeIntegerForKey("timing"));
    duration_ = static_cast<std::uint64_t>(coder.decodeIntegerForKey("duration"));
    toneArray_.clear();
    if (auto tones = coder.decodeArrayOfObjectsOfClassForKey<NoteToneSnapShot>("toneArray")) {
        for (auto& tone : *tones) {
            if (tone) {
                toneArray_.push_back(std::move(tone));
            }
        }
    }
}

void NoteUnitSnapShot::takeSnapshotFrom(const TOVManagedObject* entity) {
    TOVSnapshotObject::takeSnapshotFrom(entity);
    const auto* unit = dynamic_cast<const NoteUnit*>(entity);
    if (!unit) {
        return;
    }
    type_ = unit->type();
    beam_ = unit->beam();
    timing_ = unit->timing();
    duration_ = unit->duration();
    toneArray_.clear();
    for (const NoteTone* tone : unit->toneArray()) {
        auto snap = std::make_unique<NoteToneSnapShot>();
        snap->takeSnapshotFrom(tone);
        toneArray_.push_back(std::move(snap));
    }
}
