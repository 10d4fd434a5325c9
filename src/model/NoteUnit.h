#pragma once

#include "model/TOVManagedObject.h"
#include "model/TOVUnitTypes.h"

#include <cstdint>
#include <vector>

class Bar;
class Note;
class NoteTone;

// One rhythmic event of a note: its rhythm code (group in the high half, length in the low half), its
// role in a beam, its start and length in ticks from the start of the bar, and its tones (none for a
// rest, one slash tone for a rhythm slash, pitches for a melody).
//
// The setters do nothing while undoing or redoing or for an unchanged value. Every change of the unit,
// its tone set included, is reported as a change of its note.
class NoteUnit : public TOVManagedObject {
public:
    using TOVManagedObject::TOVManagedObject;

    // Groups of the rhythm code (its high half).
    static constexpr std::uint32_t GroupMask = TOVUnitGroupMask;
    static constexpr std::uint32_t LengthMask = TOVUnitLengthMask;
    static constexpr std::uint32_t GroupNote = TOVUnitGroupNote;
    static constexpr std::uint32_t GroupRest = TOVUnitGroupRest;
    static constexpr std::uint32_t GroupTriplet = TOVUnitGroupTriplet;
    static constexpr std::uint32_t GroupSextuplet = TOVUnitGroupSextuplet;
    // The low half of a one-beat slash, whose length is the beat of its bar.
    static constexpr std::uint32_t BeatLength = TOVLengthBeat;
    // Beam roles.
    static constexpr int BeamNone = 0;
    static constexpr int BeamFirst = 1;
    static constexpr int BeamLast = 2;
    static constexpr int BeamMiddle = 3;
    // Kinds.
    static constexpr int KindMelody = 0;
    static constexpr int KindRest = 1;
    static constexpr int KindSlash = 2;

    std::uint32_t type() const { return type_; }
    void setType(std::uint32_t type);
    int beam() const { return beam_; }
    void setBeam(int beam);
    std::uint64_t timing() const { return timing_; }
    void setTiming(std::uint64_t timing);
    // The bar's beat for a one-beat slash, else the stored length.
    std::uint64_t duration() const;
    void setDuration(std::uint64_t duration);
    // The high half of the rhythm code.
    std::uint32_t group() const { return type_ & GroupMask; }

    Note* note() const;
    void setNote(Note* note);
    std::vector<NoteTone*> tones() const;
    // Highest first.
    std::vector<NoteTone*> toneArray() const;
    std::vector<NoteTone*> toneArrayAscending() const;

    // Rest without tones, slash when a tone is a slash, else melody.
    int kind() const;
    bool isBeatLength() const { return (type_ & LengthMask) == BeatLength; }
    // A tuplet slot that two slots were united into.
    bool isUnited() const;
    NoteUnit* nextUnit() const;
    NoteUnit* previousUnit() const;

    // Whether a pitched tone of this unit other than `except` stands on the level: one unit never holds
    // two heads of one level.
    bool hasToneAtLevel(std::int64_t level, const NoteTone* except = nullptr) const;
    // A new tone of this unit; pending changes processed.
    NoteTone* createNewToneWithLevel(std::int64_t level);
    NoteTone* createNewSlash();
    void removeTone(NoteTone* tone);

    // Rest conversions: a melody or slash unit loses its tones (a plain group becomes a rest group and a
    // beamed group is split first); a rest gains one tone at level 0 or one slash tone.
    void convertMeloToRest();
    void convertSlashToRest();
    void convertRestToMelo();
    void convertRestToSlash();

    std::unique_ptr<TOVSnapshotObject> createSnapShot() const override;
    // Sets the four attributes and adds a tone for each tone snapshot; the unit's own tones stay.
    void restoreFromSnapShot(const TOVSnapshotObject* snapshot) override;

    bool startObserving() override { return beginObserving(); }
    bool stopObserving() override { return endObserving(); }
    void postNotificationUpdateAttribute() override;

protected:
    void privateInit() override;
    void prepareForDeletion() override;
    void didChange(const platform::Change& change) override;

private:
    Bar* bar() const;
    NoteTone* insertTone();
    void convertToRest();
    void convertFromRest(bool slash);
    template <typename T>
    void setAttribute(std::string_view key, T& field, T value);

    std::uint32_t type_ = 0;
    int beam_ = 0;
    std::uint64_t timing_ = 0;
    std::uint64_t duration_ = 0;
};
