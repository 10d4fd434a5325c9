#include "model/Note.h"

#include "model/Bar.h"
#include "model/NoteUnit.h"
#include "model/TOVCoreDataController.h"

#include <algorithm>

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

std::uint64_t Note::timing() const {
    const std::vector<NoteUnit*> units = unitArray();
    return units.empty() ? 0 : units.front()->timing();
}

void Note::postNotificationUpdateAttribute() {
    if (TOVCoreDataController* controller = coreDataController()) {
        controller->noteDidUpdateAttribute(this);
    }
}
