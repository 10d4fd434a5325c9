#pragma once

#include "platform/data/EntityDescription.h"
#include "platform/data/ManagedObjectModel.h"

#include <memory>
#include <vector>

// The managed object model of a song: every entity of the score with its stored attributes, its
// relationships with their inverses and delete rules, and the class made for its objects.
//
// Ownership runs Document -> Page -> Line -> Bar -> (Note -> NoteUnit -> NoteTone, Chord, Symbol), plus
// the Document's song, chord history and page-level symbols; deleting an owner deletes what it owns
// (a line also its lower line), deleting a child only unlinks it. Drawing tools that follow a bar belong
// to the document: when the bar goes they are only unlinked.
class TOVManagedObjectModel {
public:
    // The finalised model shared by every document; built on first use.
    static std::shared_ptr<const platform::ManagedObjectModel> sharedModel();

    // The entity tables, parents before children.
    static std::vector<platform::EntityDescription> entityDescriptions();
};
