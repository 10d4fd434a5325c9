#pragma once

#include "model/Symbol.h"
#include "model/TOVSymbolTypes.h"

#include <cstdint>
#include <vector>

class NoteTone;
class NoteUnit;
class SymbolAccidental;
class SymbolInNote;

// One notated group of a bar: a single note, rest or slash, a group of notes under one beam, or a
// triplet or sextuplet group. Its rhythmic events are its units (ordered by timing); the two heights place
// the ends of the stem or beam group.
//
// Every change of the note, of its units, their tones and the tones' accidentals and articulations is
// reported to the document's undo refresh buffer as a change of this note; a change of the unit set as a
// unit change. The height setters do nothing while undoing or redoing or for an unchanged value.
class Note : public Symbol {
public:
    using Symbol::Symbol;

    static constexpr int SymbolTypeNote = TOVSymbolNote;

    double heightLeft() const { return heightLeft_; }
    void setHeightLeft(double height);
    double heightRight() const { return heightRight_; }
    void setHeightRight(double height);

    Bar* bar() const override;
    // Writes only a different bar.
    void setBar(Bar* bar) override;
    std::vector<NoteUnit*> units() const;
    // The units by timing.
    std::vector<NoteUnit*> unitArray() const;
    NoteUnit* firstUnit() const;
    NoteUnit* lastUnit() const;
    // The first unit's timing; 0 without units.
    std::uint64_t timing() const;
    // The sum of the units' durations.
    std::uint64_t duration() const;

    bool isSingle() const;
    // Two or more plain-note units.
    bool isBeam() const;
    bool isTriplet() const;
    bool isSextuplet() const;
    bool isTuplet() const { return isTriplet() || isSextuplet(); }
    bool isBeatLength() const;

    // The neighbours in unitArray; none at the ends or for a unit of another note.
    NoteUnit* nextUnitOf(const NoteUnit* unit) const;
    NoteUnit* previousUnitOf(const NoteUnit* unit) const;
    // The note that follows or precedes this one without a gap, possibly in a neighbouring bar.
    Note* nextContinuousNote() const;
    Note* previousContinuousNote() const;
    // The tone of the same MIDI number in the next unit (or in the first unit of the next continuous
    // note) that a tie from the tone reaches; none when there is no such tone.
    NoteTone* nextContinuousToneOf(const NoteTone* tone) const;
    // The units of the unit's beam in order; empty for a unit outside a beam or a beam without start.
    std::vector<NoteUnit*> beamedUnitsFor(const NoteUnit* unit) const;

    // Deletes the unit; pending changes processed.
    void removeUnit(NoteUnit* unit);

    // Tuplet beams and slots. A rest in a tuplet beam leaves it when the beam is divided next to it.
    void divideBeamOfTupletFromUnit(NoteUnit* unit);
    // Unites two neighbouring slots [a, b] of a tuplet into b, which lasts both; answers b, or nothing
    // (and changes nothing) for a note that is no tuplet or an argument that is not two of its units.
    NoteUnit* makeUnitedOn(const std::vector<NoteUnit*>& units);
    // Splits a slot into two halves (the remainder of an odd duration is dropped); answers [new first
    // half, the unit], or nothing for a note that is no tuplet.
    std::vector<NoteUnit*> makeUnitedOff(NoteUnit* unit);
    void makeBeamTupletOn(const std::vector<NoteUnit*>& units);
    void makeBeamTupletOff(const std::vector<NoteUnit*>& units);

    // The reports of the note's inner parts.
    void noteUnitDidUpdateAttribute(NoteUnit* unit);
    void noteToneDidUpdateAttribute(NoteTone* tone);
    void noteAccidentalDidUpdateAttribute(SymbolAccidental* accidental);
    void noteArticulationDidUpdateAttribute(SymbolInNote* articulation);
    // Reported as a note change.
    void postNotificationUpdateAttribute() override;

    // A NoteSnapShot with one unit snapshot per unit, by timing.
    std::unique_ptr<TOVSnapshotObject> createSnapShot() const override;
    // The symbol's values, the heights, then a new unit for each unit snapshot; the note's own units stay.
    void restoreFromSnapShot(const TOVSnapshotObject* snapshot) override;

protected:
    void privateInit() override;
    void storeInsertionDefaults() override;
    void didChange(const platform::Change& change) override;
    bool isObservedKey(std::string_view key) const override;

private:
    void setHeight(std::string_view key, double& field, double height);
    // Walks from the unit towards one end of a tuplet beam, closing the beam on that side.
    void divideTupletBeamTowards(NoteUnit* unit, bool forward);

    double heightLeft_ = 0;
    double heightRight_ = 0;
};
