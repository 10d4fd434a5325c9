#pragma once

#include <string>

class Document;

namespace platform {
class ManagedObject;
class ManagedObjectContext;
} // namespace platform

namespace TOVDocumentDump {

// A canonical text of a whole document, for "operation, undo: the dump equals the one before; redo: it
// equals the one after". Deterministic and independent of the order in which sets hold their members:
//
// - the document, its song header and chord history, then its pages by number, their lines by order,
//   each line's bars by number with its lower line after them, then the document-level symbols;
// - every object on one line: its entity and each stored attribute ("-" when nothing is stored; formatted
//   texts as their string and a hash of their stored bytes), children indented below it;
// - the contents of a bar (symbols, chords, notes with their units and tones, accidentals and
//   articulations) sorted as text, as they form unordered sets;
// - links that are not ownership (a drawing tool's followed bar, ties) as the identity of their target;
// - a cached value that differs from the stored one marked "!cache(key)", so a stale cache shows up;
// - last, the number of objects of each entity still in the graph, so that objects left behind show up.
std::string dumpDocument(const Document* document);

// The same dump with what the open song derives from what is stored, for checking a reader's result
// against the whole opened song: below each bar the clef, key and time in force, the barlines drawn at
// its edges and its repeat-previous-bar sign in force; on each chord its slash flag; below each formatted
// text its runs (the font asked for, size, colour, underline and strike-through).
std::string dumpOpenedDocument(const Document* document);

// One object's line: its entity and stored attributes.
std::string describeObject(const platform::ManagedObject* object);

// "Bar=36 Document=1 ..." for the objects still in the graph.
std::string countObjects(const platform::ManagedObjectContext& context);

} // namespace TOVDocumentDump
