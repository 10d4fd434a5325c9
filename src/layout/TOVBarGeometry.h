#pragma once

#include "model/TOVStaffMetrics.h"
#include "platform/foundation/Geometry.h"

#include <cstdint>
#include <optional>

// Where things stand in one bar view, in the bar view's own coordinates (y down): the staff and its tone
// levels, the clef/key/time area and the notes area, the x of a tick and of a chord's timing, and the room
// a barline takes. A value computed from a few facts about the bar and the views at its start; it reads no
// view and no model, so it is built and checked without a window. The bar view makes one whenever it is
// asked where something stands.
class TOVBarGeometry {
public:
    // The staff: four spaces of a fixed height, centred vertically in the bar view.
    static constexpr double kStaffSpace = TOVStaffSpace;
    static constexpr double kStaffHeight = 4 * kStaffSpace;
    static constexpr double kLevelStep = kStaffSpace / 2;
    // How far above the top staff line the chord symbols stand.
    static constexpr double kChordBaseLineAboveStaff = 8.0;

    // The room a barline of the type takes in the bar on its left and on its right.
    static double marginLeftOfBarline(int type);
    static double marginRightOfBarline(int type);

    // --- What the geometry is computed from ---
    // The bar view's bounds.
    platform::Size size{};
    // Without a bar there are no barlines, no length and no first bar.
    bool hasBar = false;
    // The song's first bar (number 0): its clef, key and time stand before its left barline.
    bool firstBarOfSong = false;
    int leftBarLineType = 0;
    int rightBarLineType = 0;
    std::uint64_t totalRhythmLength = 0;
    // The clef, key and time views standing at the start of the bar, each with 1.0 of room after it.
    double clefKeyTimeWidth = 0;
    void addClefKeyTimeView(double width) { clefKeyTimeWidth += width + 1.0; }
    // In the first bar of a double line, the partner staff's own clef/key/time area.
    std::optional<platform::Rect> partnerClefKeyTimeArea{};

    // --- The staff ---
    double posY5LinesTop() const;
    double posY5LinesBottom() const;
    // The middle staff line, tone level 0; even levels lie on lines, odd ones in spaces, positive above.
    double posYLevel0() const;
    double posYFromToneLevel(std::int64_t level) const;
    // Truncated toward zero.
    std::int64_t toneLevelFromPosY(double y) const;

    // --- The areas ---
    platform::Rect rectangleClefKeyTimeAreaInThisLine() const;
    // The area above, widened to the partner's in the first bar of a double line so both staves start
    // their notes at the same x.
    platform::Rect rectangleClefKeyTimeArea() const;
    // The part of the bar between its clef, key and time area and its right barline, full height.
    platform::Rect rectangleNotesArea() const;
    // The band above the top staff line across the whole bar, edges included.
    bool chordAreaContainsPoint(platform::Point point) const;

    // --- Ticks to x ---
    // Points per tick; 0 for a bar without a length.
    double xPitchPerLength() const;
    double posXFromNoteX(std::uint64_t tick) const;

    // --- The chord grid ---
    // The line the chord symbols stand on.
    double chordBaseLineOffset() const;
    // The x of a timing: linear in time across the notes area, whatever the spacing of the notes.
    double xPosOfChordInGridMode(std::uint64_t timing) const;
};
