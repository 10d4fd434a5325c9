#include "model/NoteTone.h"

#include "model/Bar.h"
#include "model/Note.h"
#include "model/NoteToneSnapShot.h"
#include "model/NoteUnit.h"
#include "model/SymbolAccidental.h"
#include "model/SymbolInNote.h"
#include "model/TOVEnharmonic.h"
#include "model/TOVNoteUtils.h"
#include "model/TOVPitchTypes.h"
#include "model/TOVTranspose.h"
#include "model/Tie.h"
#include "platform/data/ManagedObjectContext.h"

#include <algorithm>

namespace {

// The accidental types one step up and one step down, by the present type.
constexpr int kAccidentalUp[] = {TOVAccidentalNatural, TOVAccidentalSharp, TOVAccidentalDoubleSharp,
                                 TOVAccidentalNone,    TOVAccidentalNone,  TOVAccidentalFlat};
constexpr int kAccidentalDown[] = {TOVAccidentalFlat,  TOVAccidentalNone,       TOVAccidentalNatural,
                                   TOVAccidentalSharp, TOVAccidentalDoubleFlat, TOVAccidentalNone};

} // namespace

void NoteTone::privateInit() {
    level_ = intValue("level");
    slash_ = boolValue("slash");
    head_ = static_cast<int>(intValue("head"));
}

template <typename T>
void NoteTone::setAttribute(std::string_view key, T& field, T value) {
    if (isUndoRedoing() || value == field) {
        return;
    }
    storeAndCache(key, field, value);
}

void NoteTone::setLevel(std::int64_t level) {
    setAttribute("level", level_, level);
}

void NoteTone::setSlash(bool slash) {
    setAttribute("slash", slash_, slash);
}

void NoteTone::setHead(int head) {
    setAttribute("head", head_, head);
}

NoteUnit* NoteTone::unit() const {
    return toOne<NoteUnit>("unit");
}

void NoteTone::setUnit(NoteUnit* unit) {
    setToOne("unit", unit);
}

Note* NoteTone::note() const {
    const NoteUnit* unit = this->unit();
    return unit ? unit->note() : nullptr;
}

Bar* NoteTone::bar() const {
    const Note* note = this->note();
    return note ? note->bar() : nullptr;
}

SymbolAccidental* NoteTone::accidental() const {
    return toOne<SymbolAccidental>("accidental");
}

std::vector<SymbolInNote*> NoteTone::articulations() const {
    return toManyAs<SymbolInNote>("articulations");
}

Tie* NoteTone::tieRight() const {
    return toOne<Tie>("tieRight");
}

Tie* NoteTone::tieLeft() const {
    return toOne<Tie>("tieLeft");
}

void NoteTone::deleteObject(platform::ManagedObject* object) {
    if (platform::ManagedObjectContext* context = managedObjectContext(); context && object) {
        context->deleteObject(object);
    }
}

// ---- Ties -------------------------------------------------------------------------------------------------

NoteTone* NoteTone::nextContinuousTone() const {
    const Note* note = this->note();
    return note ? note->nextContinuousToneOf(this) : nullptr;
}

Tie* NoteTone::createNewTie() {
    NoteTone* next = nextContinuousTone();
    platform::ManagedObjectContext* context = managedObjectContext();
    if (!next || !context) {
        return nullptr;
    }
    // A tone starts one tie at most and ends one at most: a tie made again replaces the one there was at
    // either tone, which would otherwise be left holding one end only.
    Tie* fromHere = tieRight();
    Tie* intoNext = next->tieLeft();
    deleteObject(fromHere);
    if (intoNext != fromHere) {
        deleteObject(intoNext);
    }
    auto* tie = context->insertNewObject<Tie>("Tie");
    tie->setToneLeft(this);
    tie->setToneRight(next);
    processPendingChanges();
    return tie;
}

void NoteTone::removeTieRight() {
    deleteObject(tieRight());
    processPendingChanges();
}

void NoteTone::removeTieLeft() {
    deleteObject(tieLeft());
    processPendingChanges();
}

void NoteTone::removeTies() {
    removeTieRight();
    removeTieLeft();
}

void NoteTone::updateRightToneOfTie() {
    Tie* tie = tieRight();
    if (!tie) {
        return;
    }
    NoteTone* next = nextContinuousTone();
    if (!next) {
        removeTieRight();
    } else if (tie->toneRight() != next) {
        tie->setToneRight(next);
    }
}

// ---- Articulations and accidentals ------------------------------------------------------------------------

SymbolInNote* NoteTone::createNewArticulationWithTypeFrame(int type, const platform::Rect& frame) {
    platform::ManagedObjectContext* context = managedObjectContext();
    auto* articulation = context ? context->insertNewObject<SymbolInNote>("SymbolInNote") : nullptr;
    if (!articulation) {
        return nullptr;
    }
    articulation->setType(type);
    articulation->setNoteTone(this);
    articulation->setFrame(frame);
    if (const Note* note = this->note()) {
        articulation->setFlip(note->flip());
    }
    processPendingChanges();
    return articulation;
}

void NoteTone::removeArticulation(SymbolInNote* articulation) {
    if (!articulation || !toManyContains("articulations", articulation)) {
        return;
    }
    deleteObject(articulation);
    processPendingChanges();
}

SymbolAccidental* NoteTone::createNewAccidentalWithTypeFrame(int type, const platform::Rect& frame) {
    platform::ManagedObjectContext* context = managedObjectContext();
    if (!context) {
        return nullptr;
    }
    deleteObject(accidental());
    auto* accidental = context->insertNewObject<SymbolAccidental>("SymbolAccidental");
    accidental->setType(type);
    accidental->setNoteTone(this);
    accidental->setFrame(frame);
    processPendingChanges();
    return accidental;
}

void NoteTone::removeAccidental() {
    deleteObject(accidental());
    processPendingChanges();
}

int NoteTone::thisAccidentalType() const {
    const SymbolAccidental* accidental = this->accidental();
    return accidental ? TOVNoteUtils::accidentalTypeFromSymbolType(accidental->type()) : TOVAccidentalNone;
}

void NoteTone::setThisAccidentalType(int accidentalType) {
    if (accidentalType == TOVAccidentalNone) {
        removeAccidental();
        return;
    }
    const int symbolType = TOVNoteUtils::symbolTypeFromAccidentalType(accidentalType);
    if (symbolType == 0) {
        return; // not an accidental type: an accidental without a symbol would read as none
    }
    if (SymbolAccidental* accidental = this->accidental()) {
        accidental->setType(symbolType);
    } else {
        createNewAccidentalWithTypeFrame(symbolType, platform::Rect{});
    }
    processPendingChanges();
}

void NoteTone::accidentalUp() {
    const int a = thisAccidentalType();
    setThisAccidentalType(a >= 0 && a <= 5 ? kAccidentalUp[a] : TOVAccidentalNone);
    processPendingChanges();
}

void NoteTone::accidentalDown() {
    const int a = thisAccidentalType();
    setThisAccidentalType(a >= 0 && a <= 5 ? kAccidentalDown[a] : TOVAccidentalNone);
    processPendingChanges();
}

int NoteTone::clefTypeOfBar() const {
    const Bar* bar = this->bar();
    return bar ? TOVNoteUtils::clefTypeFromClefSymbolType(bar->clefMode()) : 0;
}

int NoteTone::keyTypeOfBar() const {
    const Bar* bar = this->bar();
    return bar ? TOVNoteUtils::keyTypeFromKeySignatureSymbolType(bar->keyMode()) : 0;
}

void NoteTone::updateAccidentalModeWithKey(int accidentalType, int keyType) {
    const int clef = clefTypeOfBar();
    setThisAccidentalType(TOVAccidentalNone);
    const int inForce = accidentalMode();
    if (accidentalType != TOVAccidentalNone) {
        if (inForce != accidentalType) {
            setThisAccidentalType(accidentalType);
        }
        return;
    }
    if (inForce == TOVAccidentalNone) {
        return;
    }
    int wanted = 0;
    switch (TOVTranspose::defaultAccidentalMarginFromLevelClefKey(level_, clef, keyType)) {
    case -1:
        wanted = TOVAccidentalFlat;
        break;
    case 1:
        wanted = TOVAccidentalSharp;
        break;
    case 0:
        wanted = TOVAccidentalNatural;
        break;
    default:
        return;
    }
    if (inForce != wanted) {
        setThisAccidentalType(wanted);
    }
}

int NoteTone::enharmonicPosition(std::size_t* count, int* accidentalBelow, int* accidentalAbove) const {
    const auto list = TOVEnharmonic::enharmonicListForKeyMidiNumber(keyTypeOfBar(), midiNumber());
    const std::int64_t step = TOVTranspose::normalizeLevelClef(level_, clefTypeOfBar());
    *count = list.size();
    auto it = std::find_if(list.begin(), list.end(), [step](const auto& e) { return e.step == step; });
    if (it == list.end()) {
        return -1;
    }
    const auto i = static_cast<std::size_t>(it - list.begin());
    *accidentalBelow = i > 0 ? list[i - 1].accidental : 0;
    *accidentalAbove = i + 1 < list.size() ? list[i + 1].accidental : 0;
    return static_cast<int>(i);
}

bool NoteTone::canEnharmonicDown() const {
    std::size_t count = 0;
    int below = 0;
    int above = 0;
    return enharmonicPosition(&count, &below, &above) > 0;
}

bool NoteTone::canEnharmonicUp() const {
    std::size_t count = 0;
    int below = 0;
    int above = 0;
    const int i = enharmonicPosition(&count, &below, &above);
    return i >= 0 && static_cast<std::size_t>(i) + 1 < count;
}

void NoteTone::enharmonicStep(int direction) {
    std::size_t count = 0;
    int below = 0;
    int above = 0;
    const int i = enharmonicPosition(&count, &below, &above);
    const bool possible = direction < 0 ? i > 0 : i >= 0 && static_cast<std::size_t>(i) + 1 < count;
    if (possible) {
        const int key = keyTypeOfBar();
        setLevel(level_ + direction);
        processPendingChanges();
        updateAccidentalModeWithKey(direction < 0 ? below : above, key);
    }
    processPendingChanges();
}

void NoteTone::enharmonicDown() {
    enharmonicStep(-1);
}

void NoteTone::enharmonicUp() {
    enharmonicStep(+1);
}

int NoteTone::accidentalMode() const {
    const Bar* bar = this->bar();
    return bar ? bar->accidentalModeOfTone(this) : thisAccidentalType();
}

std::int64_t NoteTone::midiNumber() const {
    return TOVTranspose::midiNumberFromLevelClefKey({level_, accidentalMode()}, clefTypeOfBar(),
                                                    keyTypeOfBar());
}

// ---- Snapshots --------------------------------------------------------------------------------------------

std::unique_ptr<TOVSnapshotObject> NoteTone::createSnapShot() const {
    auto snapshot = std::make_unique<NoteToneSnapShot>();
    snapshot->takeSnapshotFrom(this);
    return snapshot;
}

void NoteTone::restoreFromSnapShot(const TOVSnapshotObject* snapshot) {
    const auto* snap = dynamic_cast<const NoteToneSnapShot*>(snapshot);
    if (!snap) {
        return;
    }
    setLevel(snap->level());
    setSlash(snap->slash());
    setHead(snap->head());
    needCreateTie_ = snap->tieRight();
    if (const SymbolSnapShot* accidentalSnap = snap->accidental()) {
        if (SymbolAccidental* accidental =
                createNewAccidentalWithTypeFrame(accidentalSnap->type(), accidentalSnap->frame())) {
            accidental->restoreFromSnapShot(accidentalSnap);
        }
    }
    for (const auto& articulationSnap : snap->articulationArray()) {
        if (SymbolInNote* articulation =
                createNewArticulationWithTypeFrame(articulationSnap->type(), articulationSnap->frame())) {
            articulation->restoreFromSnapShot(articulationSnap.get());
        }
    }
    processPendingChanges();
}

// ---- Life cycle and reports -------------------------------------------------------------------------------

void NoteTone::prepareForDeletion() {
    if (isUndoRedoing()) {
        return;
    }
    // The last tone of a plain note takes its unit along; a tuplet slot stays as a rest. When the unit
    // itself is going, there is nothing to do.
    NoteUnit* unit = this->unit();
    if (unit && !unit->isDeleted() && unit->toManyCount("tones") == 1 &&
        unit->group() == NoteUnit::GroupNote) {
        deleteObject(unit);
    }
}

void NoteTone::postNotificationUpdateAttribute() {
    if (Note* note = this->note()) {
        note->noteToneDidUpdateAttribute(this);
    }
}

void NoteTone::didChange(const platform::Change& change) {
    TOVManagedObject::didChange(change);
    if (!observeON()) {
        return;
    }
    const std::string_view key = change.key;
    if (key == "level" || key == "slash" || key == "head" || key == "accidental" || key == "tieRight" ||
        key == "tieLeft" || key == "articulations") {
        postNotificationUpdateAttribute();
    }
}
