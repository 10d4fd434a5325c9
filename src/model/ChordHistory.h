#pragma once

#include "model/TOVChordElems.h"
#include "model/TOVManagedObject.h"

#include <cstdint>

class Document;

// A recently used chord, listed by the chord input window in the order of use (`index`). It caches its
// attributes; its setters only skip an unchanged value. It observes and reports nothing.
class ChordHistory : public TOVManagedObject {
public:
    using TOVManagedObject::TOVManagedObject;

    int elemStep1() const { return elemStep1_; }
    void setElemStep1(int value);
    int elemStep2() const { return elemStep2_; }
    void setElemStep2(int value);
    int elemStep3() const { return elemStep3_; }
    void setElemStep3(int value);
    int elemStepBase() const { return elemStepBase_; }
    void setElemStepBase(int value);
    std::uint64_t index() const { return index_; }
    void setIndex(std::uint64_t value);

    // The four codes, with the slash flag set when a bass is given.
    TOVChordElems chordElems() const;
    // Writes the four codes; the slash flag is not stored.
    void setChordElems(const TOVChordElems& elems);

    Document* document() const;
    void setDocument(Document* document);

protected:
    void privateInit() override;

private:
    void setIntForKey(std::string_view key, int& field, int value);

    int elemStep1_ = TOVChordNoStep;
    int elemStep2_ = TOVChordPlainTriad;
    int elemStep3_ = TOVChordNoTension;
    int elemStepBase_ = TOVChordNoStep;
    std::uint64_t index_ = 0;
};
