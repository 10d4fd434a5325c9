#pragma once

#include "model/TOVManagedObject.h"
#include "platform/foundation/Geometry.h"

#include <cstdint>
#include <vector>

class Bar;
class Note;
class NoteUnit;
class SymbolAccidental;
class SymbolInNote;
class Tie;

// One pitch (or the rhythm slash) of a note unit: a staff level (0 the middle line, +1 one step up), a
// notehead, its own accidental, its articulations, and the ties that start and end at it. Its sounding
// pitch and the accidental in force come from the bar's clef and key and the accidentals before it.
//
// The setters do nothing while undoing or redoing or for an unchanged value. Every change of the tone is
// reported as a change of its note.
class NoteTone : public TOVManagedObject {
public:
    using TOVManagedObject::TOVManagedObject;

    // The levels a page can show: a staff's middle line lies on the page, and a page is 842 points high
    // at 2.95 points a level. Files are read into this range.
    static constexpr std::int64_t maxDrawableLevel = 286;

    std::int64_t level() const { return level_; }
    void setLevel(std::int64_t level);
    bool slash() const { return slash_; }
    void setSlash(bool slash);
    // 0 normal, 1 X, 2 none.
    int head() const { return head_; }
    void setHead(int head);

    NoteUnit* unit() const;
    void setUnit(NoteUnit* unit);
    Note* note() const;
    Bar* bar() const;
    SymbolAccidental* accidental() const;
    std::vector<SymbolInNote*> articulations() const;
    Tie* tieRight() const;
    Tie* tieLeft() const;

    // Not stored: the accidental in force saved before a transposition, and whether a tie from this tone
    // is still to be made after a paste.
    int savedAccidentalMode() const { return savedAccidentalMode_; }
    void setSavedAccidentalMode(int mode) { savedAccidentalMode_ = mode; }
    bool needCreateTie() const { return needCreateTie_; }
    void setNeedCreateTie(bool value) { needCreateTie_ = value; }

    // Ties. Each processes pending changes.
    // A tie to the next continuous tone of the same pitch; none (and nothing made) without one.
    Tie* createNewTie();
    void removeTieRight();
    void removeTieLeft();
    void removeTies();
    // Re-aims the tie that starts here at the next continuous tone, or removes it when there is none.
    void updateRightToneOfTie();
    NoteTone* nextContinuousTone() const;

    // Articulations and the own accidental. Each processes pending changes.
    SymbolInNote* createNewArticulationWithTypeFrame(int type, const platform::Rect& frame);
    void removeArticulation(SymbolInNote* articulation);
    // Replaces any present accidental.
    SymbolAccidental* createNewAccidentalWithTypeFrame(int type, const platform::Rect& frame);
    void removeAccidental();
    // The accidental type of the own accidental; 0 without one.
    int thisAccidentalType() const;
    // 0 removes the own accidental; else its type changes, or one is made with a zero frame. A value that
    // is no accidental type changes nothing.
    void setThisAccidentalType(int accidentalType);
    // One step along none, natural, sharp, double sharp / none, flat, double flat.
    void accidentalUp();
    void accidentalDown();
    // Spells the tone with the accidental type given (0: as the key signature wants it), adding an own
    // accidental only where what is in force differs.
    void updateAccidentalModeWithKey(int accidentalType, int keyType);
    // Re-spell the same pitch on the next staff step down or up.
    bool canEnharmonicUp() const;
    bool canEnharmonicDown() const;
    void enharmonicUp();
    void enharmonicDown();

    // The accidental type in force for this tone in its bar; 0 where the key signature applies.
    int accidentalMode() const;
    std::int64_t midiNumber() const;

    std::unique_ptr<TOVSnapshotObject> createSnapShot() const override;
    // Level, slash and head; the tie to make later; the accidental and articulations made anew.
    void restoreFromSnapShot(const TOVSnapshotObject* snapshot) override;

    bool startObserving() override { return beginObserving(); }
    bool stopObserving() override { return endObserving(); }
    void postNotificationUpdateAttribute() override;

protected:
    void privateInit() override;
    void prepareForDeletion() override;
    void didChange(const platform::Change& change) override;

private:
    template <typename T>
    void setAttribute(std::string_view key, T& field, T value);
    int clefTypeOfBar() const;
    int keyTypeOfBar() const;
    // The position of this tone's spelling in the enharmonic list of its pitch, or -1; the list's size.
    int enharmonicPosition(std::size_t* count, int* accidentalBelow, int* accidentalAbove) const;
    void enharmonicStep(int direction);
    void deleteObject(platform::ManagedObject* object);

    std::int64_t level_ = 0;
    bool slash_ = false;
    int head_ = 0;
    int savedAccidentalMode_ = 0;
    bool needCreateTie_ = false;
};
