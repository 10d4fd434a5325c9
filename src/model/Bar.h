#pragma once

#include "model/TOVManagedObject.h"
#include "model/TOVSymbolTypes.h"
#include "platform/foundation/Geometry.h"

#include <cstdint>
#include <limits>
#include <vector>

class BarSnapShot;
class Chord;
class Line;
class Note;
class NoteTone;
class NoteUnit;
struct TOVChordElems;
class Symbol;
class SymbolRepeat;
class SymbolTempo;
class SymbolText;
class SymbolTools;

// One bar of a line: its own settings (number, right barline, the clef, key and time set in it, width,
// height, multi-bar rest), its notes, chords and symbols, and what is in force in it.
//
// A bar of the lower line of a double line is paired with the bar of the same number in the upper line
// (its partner). The pair keeps the same number, width, height and right barline: the pair-aware setters
// write both, and a lower bar draws its partner's barlines.
class Bar : public TOVManagedObject {
public:
    using TOVManagedObject::TOVManagedObject;

    static constexpr std::uint64_t NotFound = std::numeric_limits<std::uint64_t>::max();

    std::uint64_t num() const { return num_; }
    int barLineType() const { return barLineType_; }
    int clefType() const { return clefType_; }
    int keyType() const { return keyType_; }
    int timeType() const { return timeType_; }
    double width() const { return width_; }
    double height() const { return height_; }
    std::uint64_t longRest() const { return longRest_; }

    // Pair-aware: a lower bar hands the call to its partner, which writes both.
    void setNum(std::uint64_t num);
    void setBarLineType(int type);
    void setWidth(double width);
    void setHeight(double height);
    // Plain setters; they do not recompute what later bars inherit.
    void setClefType(int type);
    void setKeyType(int type);
    void setTimeType(int type);
    void setLongRest(std::uint64_t bars);
    // Write this bar only.
    void justSetNum(std::uint64_t num);
    void justSetBarLineType(int type);
    void justSetWidth(double width);
    void justSetHeight(double height);
    void justSetLine(Line* line);

    Line* line() const;
    // Moves the bar into another line, keeping pairs: a partner follows into the target's lower line
    // (made when missing), and the old line is removed when left without bars.
    void setLine(Line* line);

    std::vector<Note*> notes() const;
    std::vector<Chord*> chords() const;
    std::vector<Symbol*> symbols() const;
    std::vector<SymbolTools*> toolsFollowedBy() const;
    // By timing.
    std::vector<Note*> noteArray() const;
    std::vector<Chord*> chordArray() const;

    Bar* alternativeBarInDoubleLine() const;
    // In score order, across lines and pages.
    Bar* nextBar() const;
    Bar* previousBar() const;
    // The position in the line's bars, or NotFound.
    std::uint64_t indexInLine() const;

    // Clef, key and time in force. Clef and time ask the document to recompute what is inherited when
    // nothing is known yet; the key never does (0 is C major).
    int clefMode() const;
    int keyMode() const;
    int timeMode() const;
    // In ticks, from the time in force; 0 for a time outside the table.
    std::uint64_t length1Beat() const;
    std::uint64_t totalRhythmLength() const;

    // The barlines drawn at the bar's edges.
    int leftBarLineType() const;
    int rightBarLineType() const;

    // The bar's own repeat-previous-bar sign (TOVSymbolRepeatPrevBar1, TOVSymbolRepeatPrevBar2 or
    // TOVSymbolRepeatPrevBar4), 0 when none.
    int repeatPrevBarType() const;
    // The sign that covers the bar: its own, or one of the three bars before it that reaches it.
    int repeatPrevBarMode() const;
    bool canInsertSymbol(int type) const;
    // The bar's symbols of group 1 (dynamics, octave, push, articulation, tempo marks but "Speed").
    std::vector<Symbol*> symbolsOfGroupSpecific() const;

    // The clef, key and time in force from earlier bars, as the document last computed them.
    int inheritedClefType() const { return inheritedClefType_; }
    void setInheritedClefType(int type) { inheritedClefType_ = type; }
    int inheritedKeyType() const { return inheritedKeyType_; }
    void setInheritedKeyType(int type) { inheritedKeyType_ = type; }
    int inheritedTimeType() const { return inheritedTimeType_; }
    void setInheritedTimeType(int type) { inheritedTimeType_ = type; }

    // Symbols of the bar, each with its type, frame and owner; pending changes processed.
    Symbol* createNewSymbolWithTypeFrame(int type, const platform::Rect& frame);
    SymbolText* createNewSymbolTextWithTypeFrame(int type, const platform::Rect& frame);
    SymbolRepeat* createNewSymbolRepeatWithTypeFrame(int type, const platform::Rect& frame);
    SymbolTempo* createNewSymbolTempoWithTypeFrame(int type, const platform::Rect& frame);
    void removeSymbol(Symbol* symbol);

    // ---- Notes and chords, positions in ticks from the start of the bar --------------------------------
    // A chord with the value at the position; pending changes are left to the caller.
    Chord* createNewChordWithElemsTiming(const TOVChordElems& elems, std::uint64_t timing);
    // A single note, rest or slash of the length; none for length 0. Pending changes are left to the
    // caller.
    Note* createNewSingleMeloFromLengthLevel(std::uint64_t from, std::uint64_t length, std::int64_t level);
    Note* createNewSingleRestFromLength(std::uint64_t from, std::uint64_t length);
    Note* createNewSingleSlashFromLength(std::uint64_t from, std::uint64_t length);
    // A tuplet of the slot lengths (kind 0 melody, 1 rest, 2 slash); melody and slash slotLengths of a short
    // enough group are beamed. Pending changes processed.
    Note* createNewTripletFromLengthUnitsLevelKind(std::uint64_t from,
                                                   const std::vector<std::uint64_t>& slotLengths,
                                                   std::int64_t level, int kind);
    Note* createNewSextupletFromLengthUnitsLevelKind(std::uint64_t from,
                                                     const std::vector<std::uint64_t>& slotLengths,
                                                     std::int64_t level, int kind);
    // A slash one beat long; none off the beat or in a bar without a beat.
    Note* createNewBeatSlashFrom(std::uint64_t from);
    // Each deletes and processes pending changes.
    void removeChord(Chord* chord);
    void removeNote(Note* note);
    // A unit is about to be deleted: its note goes when it is the last unit, else a plain group is split
    // into single notes; a tuplet keeps its other slotLengths.
    void willRemoveNoteUnit(NoteUnit* unit);

    // The note covering the position; none when no note does.
    Note* noteAtXPos(std::uint64_t x) const;
    Note* noteFromX(std::uint64_t x) const;
    // The first note starting after the position.
    Note* noteAfterX(std::uint64_t x) const;
    NoteUnit* noteUnitFromX(std::uint64_t x) const;
    // The note right after or before the note, across the barline where it ends or starts there.
    Note* nextContinuousNoteOf(const Note* note) const;
    Note* previousContinuousNoteOf(const Note* note) const;
    // The accidental type in force for a tone of this bar: its own, else the last earlier one on its staff
    // level in the bar (one carried over a tie across the barline counts from the bar's start); 0 none.
    int accidentalModeOfTone(const NoteTone* tone) const;

    // Whether a rhythm value may be entered at the position. A note may run on into the following bars;
    // tuplets and beat slashes must fit the bar and start where their length allows. A bar whose time has
    // no beat takes nothing.
    bool canInputNoteFromLength(std::uint64_t from, std::uint64_t length) const;
    bool canInputTripletFromLength(std::uint64_t from, std::uint64_t length) const;
    bool canInputSextupletFromLength(std::uint64_t from, std::uint64_t length) const;
    bool canInputBeatSlashFrom(std::uint64_t from) const;

    // Beams of plain notes: consecutive single notes of one kind, shorter than a quarter, in this bar.
    bool canMakeBeamFromNotes(const std::vector<Note*>& notes) const;
    // The beamed note, or none when not allowed. Pending changes processed.
    Note* makeBeamOn(const std::vector<Note*>& notes);
    // Each unit of the note becomes a single note; the note goes. Answers the new notes in order.
    std::vector<Note*> makeBeamOff(Note* note);
    // The same, except that the unit given stays with the note as it goes.
    std::vector<Note*> makeBeamOffExceptAnUnit(Note* note, NoteUnit* unit);

    // Where the next notatable piece of an entered length ends, from x with maxLength ticks left to enter.
    // Callers that loop stop when the answer does not move past x.
    std::uint64_t nextNoteUnitXPosOfXMaxLength(std::uint64_t x, std::uint64_t maxLength) const;

    std::unique_ptr<TOVSnapshotObject> createSnapShot() const override;

    // ---- Transposition, in four phases run over every bar of a range, each phase for all bars before the
    // next: save the accidentals in force, move chords and tones, move key signatures, tidy stepwise runs.
    void willStartTranspose();
    void doTranspose(std::int64_t width);
    // A bar's own key signature moves; the first bar of the range takes the key in force as its own.
    void doTransposeKeySignatureFirstBar(std::int64_t width, bool firstBar);
    void didFinishTranspose() { keepInclinationOfTones(); }
    // Re-spells tones of stepwise runs of single tones so that written levels follow the melody.
    void keepInclinationOfTones();
    static void keepInclinationOfTonesFor(const std::vector<NoteTone*>& run);
    // Tones move to the nearer octave: up for 0..+6 and -7..-11 semitones, down for the others.
    static bool shouldPositionUpByTransposeWidth(std::int64_t width);
    void doTransposeOctaveUp();
    void doTransposeOctaveDown();

    // ---- Snapshots and clean-up after a paste or a change of time ------------------------------------
    // Empties the bar, then takes the snapshot's settings under the number given (through the pair-aware
    // setters), its chords when chord is set, its notes and symbols when note is set. The bar keeps its own
    // clef, key and time; restored tones keep their tie requests until completeTie. Pending changes are left
    // to the caller.
    void restoreFromSnapShotChordNoteNum(const BarSnapShot* snapshot, bool chord, bool note,
                                         std::uint64_t num);
    // Removes every chord, note and symbol; settings and barlines stay. Pending changes processed.
    void clearData();
    void willStartPasting() {}
    void didFinishPasting() { completeTie(); }
    // Remakes the ties that restored tones asked for.
    void completeTie();
    // Fits the contents to the time in force: off-beat or overlapping beat slashes, notes running past
    // the bar end and chords at or after it go; a last note ending early loses its right ties.
    void truncateDataByTimeSignature();

    bool startObserving() override { return beginObserving(); }
    bool stopObserving() override { return endObserving(); }

protected:
    void privateInit() override;
    void storeInsertionDefaults() override;
    void prepareForDeletion() override;
    void didChange(const platform::Change& change) override;

private:
    TOVCoreDataController* reportTarget() const;
    bool isInLowerLine() const;
    template <typename T>
    T* createSymbol(std::string_view entityName, int type, const platform::Rect& frame);
    template <typename T>
    void setPairAware(T value, T Bar::*field, void (Bar::*set)(T), void (Bar::*justSet)(T));
    Note* insertNote();
    NoteUnit* insertUnit(Note* note, std::uint32_t type, std::uint64_t timing, std::uint64_t duration);
    Note* createNewTupletFrom(std::uint32_t group, std::uint64_t beamedUpTo, std::uint64_t from,
                              const std::vector<std::uint64_t>& slotLengths, std::int64_t level, int kind);
    bool canInputTupletFromLength(std::uint64_t from, std::uint64_t length, bool triplet) const;
    std::vector<NoteTone*> allTones() const;
    void shiftTonesBy(std::int64_t steps);
    template <typename T>
    void setPlain(std::string_view key, T value, T Bar::*field);

    std::uint64_t num_ = 0;
    int barLineType_ = TOVBarlineSingle;
    int clefType_ = 0;
    int keyType_ = 0;
    int timeType_ = 0;
    double width_ = 0;
    double height_ = 0;
    std::uint64_t longRest_ = 0;
    int inheritedClefType_ = 0;
    int inheritedKeyType_ = 0;
    int inheritedTimeType_ = 0;
};
