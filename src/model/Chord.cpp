#include "model/Chord.h"

#include "model/Bar.h"
#include "model/ChordSnapShot.h"
#include "model/TOVCoreDataController.h"

void Chord::privateInit() {
    Symbol::privateInit();
    const TOVChordElems none;
    elemStep1_ = static_cast<int>(intValue("elemStep1", none.elemStep1));
    elemStep2_ = static_cast<int>(intValue("elemStep2", none.elemStep2));
    elemStep3_ = static_cast<int>(intValue("elemStep3", none.elemStep3));
    elemStepBase_ = static_cast<int>(intValue("elemStepBase", none.elemStepBase));
    timing_ = unsignedValue("timing");
    index_ = unsignedValue("index");
    order_ = unsignedValue("order");
}

void Chord::setIntForKey(std::string_view key, int& field, int value) {
    if (isUndoRedoing() || value == field) {
        return;
    }
    storeAndCache(key, field, value);
}

void Chord::setUnsignedForKey(std::string_view key, std::uint64_t& field, std::uint64_t value) {
    if (isUndoRedoing() || value == field) {
        return;
    }
    storeAndCache(key, field, value);
}

void Chord::setElemStep1(int value) {
    setIntForKey("elemStep1", elemStep1_, value);
}

void Chord::setElemStep2(int value) {
    setIntForKey("elemStep2", elemStep2_, value);
}

void Chord::setElemStep3(int value) {
    setIntForKey("elemStep3", elemStep3_, value);
}

void Chord::setElemStepBase(int value) {
    setIntForKey("elemStepBase", elemStepBase_, value);
}

void Chord::setTiming(std::uint64_t value) {
    setUnsignedForKey("timing", timing_, value);
}

void Chord::setIndex(std::uint64_t value) {
    setUnsignedForKey("index", index_, value);
}

void Chord::setOrder(std::uint64_t value) {
    setUnsignedForKey("order", order_, value);
}

TOVChordElems Chord::chordElems() const {
    return TOVChordElems::fromCodes(elemStep1_, elemStep2_, elemStep3_, elemStepBase_);
}

void Chord::setChordElems(const TOVChordElems& elems) {
    setElemStep1(elems.elemStep1);
    setElemStep2(elems.elemStep2);
    setElemStep3(elems.elemStep3);
    setElemStepBase(elems.elemStepBase);
}

Bar* Chord::bar() const {
    return toOne<Bar>("barOfChord");
}

void Chord::setBar(Bar* bar) {
    if (bar != this->bar()) {
        setToOne("barOfChord", bar);
    }
}

void Chord::postNotificationUpdateAttribute() {
    if (TOVCoreDataController* controller = coreDataController()) {
        controller->chordDidUpdateAttribute(this);
    }
}

std::unique_ptr<TOVSnapshotObject> Chord::createSnapShot() const {
    auto snapshot = std::make_unique<ChordSnapShot>();
    snapshot->takeSnapshotFrom(this);
    return snapshot;
}

void Chord::restoreFromSnapShot(const TOVSnapshotObject* snapshot) {
    Symbol::restoreFromSnapShot(snapshot);
    if (const auto* snap = dynamic_cast<const ChordSnapShot*>(snapshot)) {
        setChordElems(snap->chordElems());
        setTiming(snap->timing());
    }
}

bool Chord::isObservedKey(std::string_view key) const {
    return Symbol::isObservedKey(key) || key == "index" || key == "order" || key == "timing" ||
           key == "elemStep1" || key == "elemStep2" || key == "elemStep3" || key == "elemStepBase";
}
