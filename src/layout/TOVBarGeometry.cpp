#include "layout/TOVBarGeometry.h"

#include "model/TOVSymbolTypes.h"

#include <cmath>

using platform::Point;
using platform::Rect;

// ---- Barline margins ------------------------------------------------------------------------------------

double TOVBarGeometry::marginLeftOfBarline(int type) {
    switch (type) {
    case TOVBarlineSingle:
    case TOVBarlineDotted:
    case TOVBarlineRepeatForward:
    case TOVBarlineTransparent:
        return 2.0;
    case TOVBarlineGreatDouble:
    case TOVBarlineDouble:
        return 4.0;
    case TOVBarlineRepeatBackward:
    case TOVBarlineRepeatBoth:
        return 9.0;
    default:
        return 0.0;
    }
}

double TOVBarGeometry::marginRightOfBarline(int type) {
    switch (type) {
    case TOVBarlineSingle:
    case TOVBarlineDotted:
    case TOVBarlineRepeatBackward:
    case TOVBarlineTransparent:
        return 2.0;
    case TOVBarlineGreatDouble:
    case TOVBarlineDouble:
        return 4.0;
    case TOVBarlineRepeatForward:
    case TOVBarlineRepeatBoth:
        return 9.0;
    default:
        return 0.0;
    }
}

// ---- The staff ------------------------------------------------------------------------------------------

double TOVBarGeometry::posY5LinesTop() const {
    return (size.height - kStaffHeight) * 0.5;
}

double TOVBarGeometry::posY5LinesBottom() const {
    return posY5LinesTop() + kStaffHeight;
}

double TOVBarGeometry::posYLevel0() const {
    return posY5LinesTop() + 2 * kStaffSpace;
}

double TOVBarGeometry::posYFromToneLevel(std::int64_t level) const {
    return posYLevel0() - static_cast<double>(level) * kLevelStep;
}

std::int64_t TOVBarGeometry::toneLevelFromPosY(double y) const {
    return static_cast<std::int64_t>(std::trunc((posYLevel0() - y) / kLevelStep));
}

// ---- The areas ------------------------------------------------------------------------------------------

Rect TOVBarGeometry::rectangleClefKeyTimeAreaInThisLine() const {
    const double height = size.height;
    if (!hasBar) {
        return Rect(0, 0, clefKeyTimeWidth, height);
    }
    if (firstBarOfSong) {
        // The song's first bar: clef, key and time stand before its left barline, whose margin the area
        // takes in.
        return Rect(2.0, 0, clefKeyTimeWidth + marginLeftOfBarline(leftBarLineType), height);
    }
    return Rect(marginRightOfBarline(leftBarLineType), 0, clefKeyTimeWidth, height);
}

Rect TOVBarGeometry::rectangleClefKeyTimeArea() const {
    Rect area = rectangleClefKeyTimeAreaInThisLine();
    if (hasBar && firstBarOfSong && partnerClefKeyTimeArea && partnerClefKeyTimeArea->maxX() > area.maxX()) {
        area = *partnerClefKeyTimeArea;
    }
    return area;
}

Rect TOVBarGeometry::rectangleNotesArea() const {
    const Rect area = rectangleClefKeyTimeArea();
    double x = area.maxX() + 4.0;
    double right = 4.0;
    if (hasBar) {
        if (firstBarOfSong) {
            x += marginRightOfBarline(leftBarLineType);
        }
        right += marginLeftOfBarline(rightBarLineType);
    }
    return Rect(x, 0, size.width - x - right, size.height);
}

bool TOVBarGeometry::chordAreaContainsPoint(Point p) const {
    return p.x >= 0 && p.x <= size.width && p.y >= 0 && p.y <= posY5LinesTop();
}

// ---- Ticks to x -----------------------------------------------------------------------------------------

double TOVBarGeometry::xPitchPerLength() const {
    // A bar without a length has no scale; its notes, if any, stand at the start of the notes area.
    return totalRhythmLength == 0 ? 0.0
                                  : rectangleNotesArea().width() / static_cast<double>(totalRhythmLength);
}

double TOVBarGeometry::posXFromNoteX(std::uint64_t tick) const {
    return rectangleNotesArea().x() + static_cast<double>(tick) * xPitchPerLength();
}

// ---- The chord grid -------------------------------------------------------------------------------------

double TOVBarGeometry::chordBaseLineOffset() const {
    return posY5LinesTop() - kChordBaseLineAboveStaff;
}

double TOVBarGeometry::xPosOfChordInGridMode(std::uint64_t timing) const {
    const Rect notes = rectangleNotesArea();
    if (totalRhythmLength == 0) {
        return notes.x();
    }
    return notes.x() + static_cast<double>(timing) * notes.width() / static_cast<double>(totalRhythmLength);
}
