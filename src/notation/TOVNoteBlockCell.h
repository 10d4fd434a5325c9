#pragma once

#include "platform/foundation/Geometry.h"

#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

class Note;
class NoteUnit;

namespace platform {
class GraphicsContext;
}

// A run of notes that follow one another without a gap, and the stretch of the bar it occupies. The
// stretch is shared among the run's units by a score per unit that grows more slowly than the note value,
// so short values get relatively more room than their duration and long values relatively less.
//
// A block never observes its notes: the bar view rebuilds its blocks whenever it lays out its notes, and
// the totals are computed by the constructor and by updateTotalScore only.
class TOVNoteBlockCell {
public:
    explicit TOVNoteBlockCell(std::vector<Note*> notesArray);

    // Walks the notes in order, and each note's units by timing.
    void updateTotalScore();

    // Whether the very unit belongs to one of the block's notes.
    bool doesIncludeUnit(const NoteUnit* unit) const;
    // The sum of the scores of the units before the unit in the block; 0 for a unit not in the block.
    double scoreForUnit(const NoteUnit* unit) const;
    // The unit's own share of the frame's width.
    double widthForUnit(const NoteUnit* unit) const;
    // The unit's x in the bar view: its share's left edge, moved into the share for a long lone value.
    double xPosForUnit(const NoteUnit* unit) const;

    // The tables of the spacing, keyed by the notated length (the low half of the rhythm code).
    static double coefficientXForUnitLength(std::uint64_t length);
    static double paddingRatioForRestForUnitLength(std::uint64_t length);
    static double paddingRatioForNoteForUnitLength(std::uint64_t length);
    // The unit's score: its length's coefficient, divided among the members of a tuplet.
    static double scoreOfUnit(const NoteUnit* unit);

    // The blocks of a bar: its notes (in the bar's order) cut into runs in which each note starts where the
    // one before ends. Each block stretches from the grid x of its first unit over its ticks at the pitch
    // (points per tick) and is as high as the bar view.
    static std::vector<TOVNoteBlockCell>
    blocksFromNoteArray(const std::vector<Note*>& noteArray, double xPitchPerLength,
                        const std::function<double(const NoteUnit*)>& xPosForUnitInGridMode, double height);
    // The x of the unit from the first block that holds it; 0 when none does. The blocks of a bar follow
    // its notes in time, so the block is found by the time of the unit's note.
    static double xPosForUnitInBlocks(const std::vector<TOVNoteBlockCell>& blocks, const NoteUnit* unit);

    // Fills the rectangle in a translucent green and frames it, to show the block while debugging.
    void drawWithFrameInView(const platform::Rect& frame, platform::GraphicsContext& ctx) const;

    const std::vector<Note*>& notesArray() const { return notesArray_; }
    platform::Rect frame() const { return frame_; }
    void setFrame(const platform::Rect& frame) { frame_ = frame; }
    double xPitchPerLength() const { return xPitchPerLength_; }
    void setXPitchPerLength(double pitch) { xPitchPerLength_ = pitch; }
    double totalScore() const { return totalScore_; }
    std::uint64_t totalLength() const { return totalLength_; }
    void setTotalLength(std::uint64_t length) { totalLength_ = length; }

private:
    std::vector<Note*> notesArray_;
    // The sum of the scores before each unit of the block, made with the totals: asking for a unit's place
    // costs the same however many units the block holds.
    std::unordered_map<const NoteUnit*, double> scoreBefore_;
    platform::Rect frame_;
    double xPitchPerLength_ = 0;
    double totalScore_ = 0;
    std::uint64_t totalLength_ = 0;
};
