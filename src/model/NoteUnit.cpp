#include "model/NoteUnit.h"

#include "model/Bar.h"
#include "model/Note.h"
#include "model/NoteTone.h"
#include "model/NoteUnitSnapShot.h"
#include "platform/data/ManagedObjectContext.h"

#include <algorithm>

namespace {

constexpr double kRestHeight = 6.0;
constexpr double kToneHeight = 15.0;

} // namespace

void NoteUnit::privateInit() {
    type_ = static_cast<std::uint32_t>(unsignedValue("type"));
    beam_ = static_cast<int>(intValue("beam"));
    timing_ = unsignedValue("timing");
    duration_ = unsignedValue("duration");
}

template <typename T>
void NoteUnit::setAttribute(std::string_view key, T& field, T value) {
    if (isUndoRedoing() || value == field) {
        return;
    }
    storeAndCache(key, field, value);
}

void NoteUnit::setType(std::uint32_t type) {
    setAttribute("type", type_, type);
}

void NoteUnit::setBeam(int beam) {
    setAttribute("beam", beam_, beam);
}

void NoteUnit::setTiming(std::uint64_t timing) {
    setAttribute("timing", timing_, timing);
}

void NoteUnit::setDuration(std::uint64_t duration) {
    setAttribute("duration", duration_, duration);
}

std::uint64_t NoteUnit::duration() const {
    if (isBeatLength()) {
        const Bar* bar = this->bar();
        return bar ? bar->length1Beat() : 0;
    }
    return duration_;
}

Note* NoteUnit::note() const {
    return toOne<Note>("note");
}

void NoteUnit::setNote(Note* note) {
    setToOne("note", note);
}

Bar* NoteUnit::bar() const {
    const Note* note = this->note();
    return note ? note->bar() : nullptr;
}

std::vector<NoteTone*> NoteUnit::tones() const {
    return toManyAs<NoteTone>("tones");
}

std::vector<NoteTone*> NoteUnit::toneArray() const {
    std::vector<NoteTone*> tones = this->tones();
    std::stable_sort(tones.begin(), tones.end(),
                     [](const NoteTone* a, const NoteTone* b) { return a->level() > b->level(); });
    return tones;
}

std::vector<NoteTone*> NoteUnit::toneArrayAscending() const {
    std::vector<NoteTone*> tones = this->tones();
    std::stable_sort(tones.begin(), tones.end(),
                     [](const NoteTone* a, const NoteTone* b) { return a->level() < b->level(); });
    return tones;
}

int NoteUnit::kind() const {
    const std::vector<NoteTone*> tones = this->tones();
    if (tones.empty()) {
        return KindRest;
    }
    const bool slash = std::any_of(tones.begin(), tones.end(), [](const NoteTone* t) { return t->slash(); });
    return slash ? KindSlash : KindMelody;
}

bool NoteUnit::isUnited() const {
    const std::uint64_t span = type_ & LengthMask;
    switch (group()) {
    case GroupTriplet:
        return duration() == 2 * (span / 3);
    case GroupSextuplet:
        return duration() == 2 * (span / 6);
    default:
        return false;
    }
}

NoteUnit* NoteUnit::nextUnit() const {
    const Note* note = this->note();
    return note ? note->nextUnitOf(this) : nullptr;
}

NoteUnit* NoteUnit::previousUnit() const {
    const Note* note = this->note();
    return note ? note->previousUnitOf(this) : nullptr;
}

// ---- Tones ------------------------------------------------------------------------------------------------

NoteTone* NoteUnit::insertTone() {
    platform::ManagedObjectContext* context = managedObjectContext();
    auto* tone = context ? context->insertNewObject<NoteTone>("NoteTone") : nullptr;
    if (tone) {
        tone->setUnit(this);
    }
    return tone;
}

bool NoteUnit::hasToneAtLevel(std::int64_t level, const NoteTone* except) const {
    for (const NoteTone* tone : tones()) {
        if (tone != except && !tone->slash() && tone->level() == level) {
            return true;
        }
    }
    return false;
}

NoteTone* NoteUnit::createNewToneWithLevel(std::int64_t level) {
    NoteTone* tone = insertTone();
    if (tone) {
        tone->setLevel(level);
        processPendingChanges();
    }
    return tone;
}

NoteTone* NoteUnit::createNewSlash() {
    NoteTone* tone = insertTone();
    if (tone) {
        tone->setSlash(true);
        processPendingChanges();
    }
    return tone;
}

void NoteUnit::removeTone(NoteTone* tone) {
    platform::ManagedObjectContext* context = managedObjectContext();
    if (!tone || !context) {
        return;
    }
    context->deleteObject(tone);
    processPendingChanges();
}

// ---- Conversions ------------------------------------------------------------------------------------------

void NoteUnit::convertToRest() {
    if (Note* note = this->note(); note && note->isBeam()) {
        if (Bar* bar = note->bar()) {
            bar->makeBeamOff(note);
        }
    }
    if (group() == GroupNote) {
        setType(GroupRest | (type_ & LengthMask));
    }
    platform::ManagedObjectContext* context = managedObjectContext();
    // The group is no longer a plain note, so the unit stays (as a rest) when its last tone goes.
    for (NoteTone* tone : tones()) {
        context->deleteObject(tone);
    }
    Note* note = this->note();
    if (note && note->isTuplet()) {
        if (note->firstUnit() == this) {
            note->setHeightLeft(kRestHeight);
        } else if (note->lastUnit() == this) {
            note->setHeightRight(kRestHeight);
        }
        if (beam_ == BeamFirst || beam_ == BeamLast) {
            note->divideBeamOfTupletFromUnit(this);
        }
    }
    processPendingChanges();
}

void NoteUnit::convertMeloToRest() {
    convertToRest();
}

void NoteUnit::convertSlashToRest() {
    convertToRest();
}

void NoteUnit::convertFromRest(bool slash) {
    platform::ManagedObjectContext* context = managedObjectContext();
    for (NoteTone* tone : tones()) {
        context->deleteObject(tone);
    }
    if (group() == GroupRest) {
        setType(GroupNote | (type_ & LengthMask));
    }
    Note* note = this->note();
    if (note && note->isTuplet()) {
        if (note->firstUnit() == this) {
            note->setHeightLeft(kToneHeight);
        } else if (note->lastUnit() == this) {
            note->setHeightRight(kToneHeight);
        }
    }
    if (slash) {
        createNewSlash();
    } else {
        createNewToneWithLevel(0);
    }
    processPendingChanges();
}

void NoteUnit::convertRestToMelo() {
    convertFromRest(false);
}

void NoteUnit::convertRestToSlash() {
    convertFromRest(true);
}

// ---- Snapshots --------------------------------------------------------------------------------------------

std::unique_ptr<TOVSnapshotObject> NoteUnit::createSnapShot() const {
    auto snapshot = std::make_unique<NoteUnitSnapShot>();
    snapshot->takeSnapshotFrom(this);
    return snapshot;
}

void NoteUnit::restoreFromSnapShot(const TOVSnapshotObject* snapshot) {
    const auto* snap = dynamic_cast<const NoteUnitSnapShot*>(snapshot);
    if (!snap) {
        return;
    }
    setType(snap->type());
    setBeam(snap->beam());
    setTiming(snap->timing());
    setDuration(snap->duration());
    for (const auto& toneSnap : snap->toneArray()) {
        if (NoteTone* tone = insertTone()) {
            tone->restoreFromSnapShot(toneSnap.get());
        }
    }
}

// ---- Life cycle and reports -------------------------------------------------------------------------------

void NoteUnit::prepareForDeletion() {
    if (isUndoRedoing()) {
        return;
    }
    // When the whole note goes, its units go with it: splitting it would leave them behind.
    Note* note = this->note();
    if (!note || note->isDeleted()) {
        return;
    }
    if (Bar* bar = note->bar()) {
        bar->willRemoveNoteUnit(this);
    }
}

void NoteUnit::postNotificationUpdateAttribute() {
    if (Note* note = this->note()) {
        note->noteUnitDidUpdateAttribute(this);
    }
}

void NoteUnit::didChange(const platform::Change& change) {
    TOVManagedObject::didChange(change);
    if (!observeON()) {
        return;
    }
    const std::string_view key = change.key;
    if (key == "type" || key == "beam" || key == "timing" || key == "duration" || key == "tones") {
        postNotificationUpdateAttribute();
    }
}
