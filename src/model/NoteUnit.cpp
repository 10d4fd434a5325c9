#include "model/NoteUnit.h"

#include "model/Note.h"
#include "model/NoteTone.h"

Note* NoteUnit::note() const {
    return toOne<Note>("note");
}

std::vector<NoteTone*> NoteUnit::tones() const {
    return toManyAs<NoteTone>("tones");
}
