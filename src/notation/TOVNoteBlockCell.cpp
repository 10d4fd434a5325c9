#include "notation/TOVNoteBlockCell.h"

#include "model/Note.h"
#include "model/NoteUnit.h"
#include "platform/graphics/GraphicsContext.h"

#include <algorithm>
#include <iterator>
#include <utility>

TOVNoteBlockCell::TOVNoteBlockCell(std::vector<Note*> notesArray) : notesArray_(std::move(notesArray)) {
    updateTotalScore();
}

double TOVNoteBlockCell::coefficientXForUnitLength(std::uint64_t length) {
    switch (length) {
    case 30:
        return 1.2;
    case 60:
        return 1.4;
    case 90:
        return 1.6;
    case 120:
        return 2.0;
    case 180:
        return 2.4;
    case 210:
        return 2.8;
    case 240:
        return 4.0;
    case 360:
        return 6.0;
    case 420:
        return 7.0;
    case 480:
        return 8.0;
    case 720:
        return 9.0;
    case 840:
        return 10.0;
    case 960:
        return 16.0;
    default:
        return 1.0;
    }
}

double TOVNoteBlockCell::paddingRatioForRestForUnitLength(std::uint64_t length) {
    switch (length) {
    case 120:
    case 180:
    case 210:
        return 0.1;
    case 240:
    case 360:
    case 420:
    case 480:
    case 720:
    case 840:
        return 0.15;
    case 960:
        return 0.45;
    default:
        return 0.0;
    }
}

double TOVNoteBlockCell::paddingRatioForNoteForUnitLength(std::uint64_t length) {
    // A whole note sits near the front of its share; a whole rest is centred in the bar by custom.
    return length == 960 ? 0.05 : paddingRatioForRestForUnitLength(length);
}

double TOVNoteBlockCell::scoreOfUnit(const NoteUnit* unit) {
    if (!unit) {
        return 0.0;
    }
    // A tuplet member's length is the span of its whole group, which its members share.
    const double c = coefficientXForUnitLength(unit->type() & NoteUnit::LengthMask);
    switch (unit->group()) {
    case NoteUnit::GroupSextuplet:
        return c / 6;
    case NoteUnit::GroupTriplet:
        return c / 3;
    default:
        return c;
    }
}

void TOVNoteBlockCell::updateTotalScore() {
    double score = 0;
    std::uint64_t length = 0;
    scoreBefore_.clear();
    for (const Note* note : notesArray_) {
        for (const NoteUnit* unit : note->unitArray()) {
            // A unit listed twice keeps its first place.
            scoreBefore_.try_emplace(unit, score);
            score += scoreOfUnit(unit);
        }
        length += note->duration();
    }
    totalScore_ = score;
    setTotalLength(length);
}

bool TOVNoteBlockCell::doesIncludeUnit(const NoteUnit* unit) const {
    return unit && scoreBefore_.count(unit) != 0;
}

double TOVNoteBlockCell::scoreForUnit(const NoteUnit* unit) const {
    const auto found = scoreBefore_.find(unit);
    return found != scoreBefore_.end() ? found->second : 0.0;
}

double TOVNoteBlockCell::widthForUnit(const NoteUnit* unit) const {
    // A block is only made for a run of at least one unit, whose score is never 0; an empty block that
    // is asked anyway gives no width rather than a division by zero.
    if (totalScore_ <= 0) {
        return 0.0;
    }
    return scoreOfUnit(unit) / totalScore_ * frame_.width();
}

double TOVNoteBlockCell::xPosForUnit(const NoteUnit* unit) const {
    double x = frame_.x();
    if (totalScore_ > 0) {
        x += scoreForUnit(unit) / totalScore_ * frame_.width();
    }
    if (!unit) {
        return x;
    }
    const std::uint64_t n = unit->type() & NoteUnit::LengthMask;
    const Note* note = unit->note();
    if (n >= 120 && note && note->isSingle()) {
        if (unit->group() == NoteUnit::GroupRest) {
            x += widthForUnit(unit) * paddingRatioForRestForUnitLength(n);
        } else if (unit->group() == NoteUnit::GroupNote) {
            x += widthForUnit(unit) * paddingRatioForNoteForUnitLength(n);
        }
    }
    return x;
}

void TOVNoteBlockCell::drawWithFrameInView(const platform::Rect& frame,
                                           platform::GraphicsContext& ctx) const {
    ctx.saveGraphicsState();
    ctx.setFillColor(platform::Color{0.77, 0.86, 0.65, 0.5});
    ctx.fillRect(frame);
    ctx.setFillColor(platform::Color{0.67, 0.76, 0.55, 0.5});
    ctx.frameRect(frame, 1.0);
    ctx.restoreGraphicsState();
}

std::vector<TOVNoteBlockCell>
TOVNoteBlockCell::blocksFromNoteArray(const std::vector<Note*>& noteArray, double xPitchPerLength,
                                      const std::function<double(const NoteUnit*)>& xPosForUnitInGridMode,
                                      double height) {
    std::vector<TOVNoteBlockCell> blocks;
    std::vector<Note*> run;
    const auto closeRun = [&] {
        if (run.empty()) {
            return;
        }
        TOVNoteBlockCell block(run);
        block.setXPitchPerLength(xPitchPerLength);
        const double x = xPosForUnitInGridMode ? xPosForUnitInGridMode(run.front()->firstUnit()) : 0.0;
        block.setFrame(
            platform::Rect{x, 0, static_cast<double>(block.totalLength()) * xPitchPerLength, height});
        blocks.push_back(std::move(block));
        run.clear();
    };
    std::uint64_t expected = 0;
    for (Note* note : noteArray) {
        // A note without units takes no room (and has no first unit to place a block by).
        if (!note || !note->firstUnit()) {
            continue;
        }
        if (note->timing() != expected) {
            closeRun();
            expected = note->timing();
        }
        expected += note->duration();
        run.push_back(note);
    }
    closeRun();
    return blocks;
}

double TOVNoteBlockCell::xPosForUnitInBlocks(const std::vector<TOVNoteBlockCell>& blocks,
                                             const NoteUnit* unit) {
    const Note* note = unit ? unit->note() : nullptr;
    if (note) {
        // The last block that starts no later than the note, when the blocks are in time order.
        const auto after = std::upper_bound(blocks.begin(), blocks.end(), note->timing(),
                                            [](std::uint64_t timing, const TOVNoteBlockCell& block) {
                                                return !block.notesArray().empty() &&
                                                       timing < block.notesArray().front()->timing();
                                            });
        if (after != blocks.begin() && std::prev(after)->doesIncludeUnit(unit)) {
            return std::prev(after)->xPosForUnit(unit);
        }
    }
    // Blocks out of time order (notes that overlap): look through them all.
    for (const TOVNoteBlockCell& block : blocks) {
        if (block.doesIncludeUnit(unit)) {
            return block.xPosForUnit(unit);
        }
    }
    return 0.0;
}
