#include "model/ChordHistory.h"

#include "model/Document.h"

void ChordHistory::privateInit() {
    elemStep1_ = static_cast<int>(intValue("elemStep1", 17));
    elemStep2_ = static_cast<int>(intValue("elemStep2", 12));
    elemStep3_ = static_cast<int>(intValue("elemStep3", 70));
    elemStepBase_ = static_cast<int>(intValue("elemStepBase", 17));
    index_ = unsignedValue("index");
}

void ChordHistory::setIntForKey(std::string_view key, int& field, int value) {
    if (value == field) {
        return;
    }
    storeAndCache(key, field, value);
}

void ChordHistory::setElemStep1(int value) {
    setIntForKey("elemStep1", elemStep1_, value);
}

void ChordHistory::setElemStep2(int value) {
    setIntForKey("elemStep2", elemStep2_, value);
}

void ChordHistory::setElemStep3(int value) {
    setIntForKey("elemStep3", elemStep3_, value);
}

void ChordHistory::setElemStepBase(int value) {
    setIntForKey("elemStepBase", elemStepBase_, value);
}

void ChordHistory::setIndex(std::uint64_t value) {
    if (value == index_) {
        return;
    }
    storeAndCache("index", index_, value);
}

TOVChordElems ChordHistory::chordElems() const {
    return TOVChordElems::fromCodes(elemStep1_, elemStep2_, elemStep3_, elemStepBase_);
}

void ChordHistory::setChordElems(const TOVChordElems& elems) {
    setElemStep1(elems.elemStep1);
    setElemStep2(elems.elemStep2);
    setElemStep3(elems.elemStep3);
    setElemStepBase(elems.elemStepBase);
}

Document* ChordHistory::document() const {
    return toOne<Document>("document");
}

void ChordHistory::setDocument(Document* document) {
    setToOne("document", document);
}
