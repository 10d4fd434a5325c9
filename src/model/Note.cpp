#include "model/Note.h"

#include "model/Bar.h"
#include "model/NoteSnapShot.h"
#include "model/NoteTone.h"
#include "model/NoteUnit.h"
#include "model/TOVCoreDataController.h"
#include "model/Tie.h"
#include "platform/data/ManagedObjectContext.h"

#include <algorithm>

namespace {

constexpr double kInsertedHeight = 15.0;
// A united tuplet slot this long or longer is taken out of its beam.
constexpr std::uint64_t kUnbeamedSlot = 160;

} // namespace

void Note::privateInit() {
    Symbol::privateInit();
    heightLeft_ = doubleValue("heightLeft");
    heightRight_ = doubleValue("heightRight");
}

void Note::storeInsertionDefaults() {
    Symbol::storeInsertionDefaults();
    setPrimitiveValue("type", SymbolTypeNote);
    setPrimitiveValue("heightLeft", kInsertedHeight);
    setPrimitiveValue("heightRight", kInsertedHeight);
    privateInit();
}

void Note::setHeight(std::string_view key, double& field, double height) {
    const double stored = singlePrecision(height);
    if (isUndoRedoing() || stored == field) {
        return;
    }
    storeAndCache(key, field, stored);
}

void Note::setHeightLeft(double height) {
    setHeight("heightLeft", heightLeft_, height);
}

void Note::setHeightRight(double height) {
    setHeight("heightRight", heightRight_, height);
}

Bar* Note::bar() const {
    return toOne<Bar>("barOfNote");
}

void Note::setBar(Bar* bar) {
    if (bar != this->bar()) {
        setToOne("barOfNote", bar);
    }
}

std::vector<NoteUnit*> Note::units() const {
    return toManyAs<NoteUnit>("units");
}

std::vector<NoteUnit*> Note::unitArray() const {
    std::vector<NoteUnit*> units = this->units();
    std::stable_sort(units.begin(), units.end(),
                     [](NoteUnit* a, NoteUnit* b) { return a->timing() < b->timing(); });
    return units;
}

NoteUnit* Note::firstUnit() const {
    const std::vector<NoteUnit*> units = unitArray();
    return units.empty() ? nullptr : units.front();
}

NoteUnit* Note::lastUnit() const {
    const std::vector<NoteUnit*> units = unitArray();
    return units.empty() ? nullptr : units.back();
}

std::uint64_t Note::timing() const {
    const NoteUnit* first = firstUnit();
    return first ? first->timing() : 0;
}

std::uint64_t Note::duration() const {
    std::uint64_t sum = 0;
    for (const NoteUnit* unit : units()) {
        sum += unit->duration();
    }
    return sum;
}

bool Note::isSingle() const {
    return toManyCount("units") == 1;
}

bool Note::isBeam() const {
    const NoteUnit* first = firstUnit();
    return toManyCount("units") >= 2 && first->group() == NoteUnit::GroupNote;
}

bool Note::isTriplet() const {
    const NoteUnit* first = firstUnit();
    return first && first->group() == NoteUnit::GroupTriplet;
}

bool Note::isSextuplet() const {
    const NoteUnit* first = firstUnit();
    return first && first->group() == NoteUnit::GroupSextuplet;
}

bool Note::isBeatLength() const {
    const NoteUnit* first = firstUnit();
    return first && first->isBeatLength();
}

NoteUnit* Note::nextUnitOf(const NoteUnit* unit) const {
    const std::vector<NoteUnit*> units = unitArray();
    auto it = std::find(units.begin(), units.end(), unit);
    return it == units.end() || it + 1 == units.end() ? nullptr : *(it + 1);
}

NoteUnit* Note::previousUnitOf(const NoteUnit* unit) const {
    const std::vector<NoteUnit*> units = unitArray();
    auto it = std::find(units.begin(), units.end(), unit);
    return it == units.end() || it == units.begin() ? nullptr : *(it - 1);
}

Note* Note::nextContinuousNote() const {
    Bar* bar = this->bar();
    return bar ? bar->nextContinuousNoteOf(this) : nullptr;
}

Note* Note::previousContinuousNote() const {
    Bar* bar = this->bar();
    return bar ? bar->previousContinuousNoteOf(this) : nullptr;
}

namespace {

NoteTone* toneWithMidiNumber(const NoteUnit* unit, std::int64_t midiNumber) {
    if (!unit) {
        return nullptr;
    }
    for (NoteTone* tone : unit->tones()) {
        if (tone->midiNumber() == midiNumber) {
            return tone;
        }
    }
    return nullptr;
}

} // namespace

NoteTone* Note::nextContinuousToneOf(const NoteTone* tone) const {
    const NoteUnit* unit = tone ? tone->unit() : nullptr;
    if (!unit) {
        return nullptr;
    }
    const std::int64_t midi = tone->midiNumber();
    if (const NoteUnit* next = unit->nextUnit()) {
        return toneWithMidiNumber(next, midi);
    }
    const Note* next = nextContinuousNote();
    return next ? toneWithMidiNumber(next->firstUnit(), midi) : nullptr;
}

std::vector<NoteUnit*> Note::beamedUnitsFor(const NoteUnit* unit) const {
    if (!unit || unit->beam() == NoteUnit::BeamNone) {
        return {};
    }
    const std::vector<NoteUnit*> units = unitArray();
    auto it = std::find(units.begin(), units.end(), unit);
    if (it == units.end()) {
        return {};
    }
    while ((*it)->beam() != NoteUnit::BeamFirst) {
        if (it == units.begin()) {
            return {};
        }
        --it;
    }
    std::vector<NoteUnit*> result{*it};
    for (++it; it != units.end(); ++it) {
        if ((*it)->beam() == NoteUnit::BeamMiddle) {
            result.push_back(*it);
        } else if ((*it)->beam() == NoteUnit::BeamLast) {
            result.push_back(*it);
            break;
        }
    }
    return result;
}

void Note::removeUnit(NoteUnit* unit) {
    platform::ManagedObjectContext* context = managedObjectContext();
    if (!unit || !context) {
        return;
    }
    context->deleteObject(unit);
    processPendingChanges();
}

// ---- Tuplet beams and slots -------------------------------------------------------------------------------

void Note::divideTupletBeamTowards(NoteUnit* unit, bool forward) {
    const int end = forward ? NoteUnit::BeamLast : NoteUnit::BeamFirst;
    const int newEnd = forward ? NoteUnit::BeamFirst : NoteUnit::BeamLast;
    for (NoteUnit* u = forward ? unit->nextUnit() : unit->previousUnit(); u;
         u = forward ? u->nextUnit() : u->previousUnit()) {
        if (u->beam() == NoteUnit::BeamMiddle) {
            if (u->kind() == NoteUnit::KindRest) {
                u->setBeam(NoteUnit::BeamNone);
                continue;
            }
            u->setBeam(newEnd);
            return;
        }
        if (u->beam() == end) {
            u->setBeam(NoteUnit::BeamNone);
            return;
        }
    }
}

void Note::divideBeamOfTupletFromUnit(NoteUnit* unit) {
    if (!unit) {
        return;
    }
    switch (unit->beam()) {
    case NoteUnit::BeamFirst:
        divideTupletBeamTowards(unit, true);
        break;
    case NoteUnit::BeamLast:
        divideTupletBeamTowards(unit, false);
        break;
    case NoteUnit::BeamMiddle:
        divideTupletBeamTowards(unit, false);
        divideTupletBeamTowards(unit, true);
        break;
    default:
        return;
    }
    unit->setBeam(NoteUnit::BeamNone);
}

NoteUnit* Note::makeUnitedOn(const std::vector<NoteUnit*>& pair) {
    if (!isTuplet() || pair.size() != 2 || !pair[0] || !pair[1] || pair[0] == pair[1] ||
        pair[0]->note() != this || pair[1]->note() != this) {
        return nullptr;
    }
    NoteUnit* a = pair[0];
    NoteUnit* b = pair[1];
    if (a->beam() == NoteUnit::BeamLast) {
        divideBeamOfTupletFromUnit(a);
    }
    if (b->beam() == NoteUnit::BeamFirst) {
        divideBeamOfTupletFromUnit(b);
    }
    if (a->beam() == NoteUnit::BeamFirst) {
        divideBeamOfTupletFromUnit(a);
    }
    const std::uint64_t d = b->duration();
    b->setDuration(2 * d);
    b->setTiming(a->timing());
    a->setTiming(b->timing() + 1);
    for (NoteTone* tone : a->tones()) {
        Tie* tie = tone->tieLeft();
        if (NoteTone* left = tie ? tie->toneLeft() : nullptr) {
            left->updateRightToneOfTie();
        }
    }
    removeUnit(a);
    if (2 * d >= kUnbeamedSlot) {
        divideBeamOfTupletFromUnit(b);
    }
    return b;
}

std::vector<NoteUnit*> Note::makeUnitedOff(NoteUnit* unit) {
    platform::ManagedObjectContext* context = managedObjectContext();
    if (!isTuplet() || !unit || unit->note() != this || !context) {
        return {};
    }
    const std::uint64_t t = unit->timing();
    const std::uint64_t h = unit->duration() / 2;
    unit->setTiming(t + h);
    unit->setDuration(h);
    auto* first = context->insertNewObject<NoteUnit>("NoteUnit");
    const std::unique_ptr<TOVSnapshotObject> snapshot = unit->createSnapShot();
    first->restoreFromSnapShot(snapshot.get());
    for (NoteTone* tone : first->tones()) {
        tone->setNeedCreateTie(false);
    }
    first->setNote(this);
    first->setTiming(t);
    first->setDuration(h);
    switch (unit->beam()) {
    case NoteUnit::BeamFirst:
        first->setBeam(NoteUnit::BeamFirst);
        unit->setBeam(NoteUnit::BeamMiddle);
        break;
    case NoteUnit::BeamMiddle:
        first->setBeam(NoteUnit::BeamMiddle);
        break;
    case NoteUnit::BeamLast:
        first->setBeam(NoteUnit::BeamMiddle);
        break;
    default:
        break;
    }
    for (NoteTone* tone : unit->tones()) {
        Tie* tie = tone->tieLeft();
        if (NoteTone* left = tie ? tie->toneLeft() : nullptr) {
            left->updateRightToneOfTie();
        }
    }
    processPendingChanges();
    return {first, unit};
}

void Note::makeBeamTupletOn(const std::vector<NoteUnit*>& units) {
    for (std::size_t i = 0; i < units.size(); ++i) {
        const bool last = i + 1 == units.size();
        units[i]->setBeam(i == 0 ? NoteUnit::BeamFirst : last ? NoteUnit::BeamLast : NoteUnit::BeamMiddle);
    }
}

void Note::makeBeamTupletOff(const std::vector<NoteUnit*>& units) {
    for (NoteUnit* unit : units) {
        unit->setBeam(NoteUnit::BeamNone);
    }
}

// ---- Reports ----------------------------------------------------------------------------------------------

void Note::noteUnitDidUpdateAttribute(NoteUnit*) {
    postNotificationUpdateAttribute();
}

void Note::noteToneDidUpdateAttribute(NoteTone*) {
    postNotificationUpdateAttribute();
}

void Note::noteAccidentalDidUpdateAttribute(SymbolAccidental*) {
    postNotificationUpdateAttribute();
}

void Note::noteArticulationDidUpdateAttribute(SymbolInNote*) {
    postNotificationUpdateAttribute();
}

void Note::postNotificationUpdateAttribute() {
    if (TOVCoreDataController* controller = coreDataController()) {
        controller->noteDidUpdateAttribute(this);
    }
}

bool Note::isObservedKey(std::string_view key) const {
    return Symbol::isObservedKey(key) || key == "heightLeft" || key == "heightRight";
}

void Note::didChange(const platform::Change& change) {
    Symbol::didChange(change);
    if (observeON() && change.key == "units") {
        if (TOVCoreDataController* controller = coreDataController()) {
            controller->noteDidUpdateUnits(this);
        }
    }
}

// ---- Snapshots --------------------------------------------------------------------------------------------

std::unique_ptr<TOVSnapshotObject> Note::createSnapShot() const {
    auto snapshot = std::make_unique<NoteSnapShot>();
    snapshot->takeSnapshotFrom(this);
    return snapshot;
}

void Note::restoreFromSnapShot(const TOVSnapshotObject* snapshot) {
    Symbol::restoreFromSnapShot(snapshot);
    const auto* snap = dynamic_cast<const NoteSnapShot*>(snapshot);
    platform::ManagedObjectContext* context = managedObjectContext();
    if (!snap || !context) {
        return;
    }
    setHeightLeft(snap->heightLeft());
    setHeightRight(snap->heightRight());
    for (const auto& unitSnap : snap->unitArray()) {
        auto* unit = context->insertNewObject<NoteUnit>("NoteUnit");
        unit->setNote(this);
        unit->restoreFromSnapShot(unitSnap.get());
    }
}
