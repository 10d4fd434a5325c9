#pragma once

#include "platform/foundation/Geometry.h"
#include "platform/graphics/BezierPath.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class Note;
class NoteUnit;
class TOVNoteUnitCell;

// The geometry of one note view, apart from the view: which units get stems and flags, how many beam
// levels a length has, stem lengths fitted to the line through the outer stem ends, beams with their
// partial beams, the digit and bracket of a tuplet, and the frame that holds it all. Coordinates are the
// note view's own (y down) unless a function says otherwise.
class TOVNoteViewLayout {
public:
    static constexpr double kDefaultPoleHeight = 15.0;
    static constexpr double kLeastPoleHeight = 6.0;
    // A beam grows away from the stem end: downwards for stems up, upwards for stems down.
    static constexpr double kBeamThickness = 2.0;
    static constexpr double kBeamLevelDistance = 4.0;
    static constexpr double kBeamXFromPoleEdge = -0.6;
    static constexpr double kFlagXFromPoleEdge = -0.1;
    // A tuplet rest in a stems-up view stands this many ticks' widths further right.
    static constexpr double kTupletRestShift = 0.75;
    static constexpr double kDigitGap = 1.0;
    static constexpr double kBracketWidth = 0.6;
    static constexpr double kBracketHookNear = 2.0;
    static constexpr double kBracketFar = 4.0;
    static constexpr double kBracketLineNear = 3.4;
    static constexpr double kFlipStripHeight = 5.0;

    // Beam levels of a unit of that length: triplet and sextuplet groups count their own lengths.
    static unsigned numberOfFlagsFromLength(std::uint64_t length, bool tuplet);
    // Whether the unit of that note gets a stem (a rest at either end of a tuplet gets one, never drawn,
    // that carries the beam or bracket) and whether it gets a flag of its own.
    static bool isPoleNecessary(const Note* note, const NoteUnit* unit);
    static bool isFlagNecessary(const NoteUnit* unit);
    // Some unit has a beam value.
    static bool needBeam(const Note* note);
    // A tuplet group needs its bracket unless one beam spans all of it (beams 1, 3 .. 3, 2).
    static bool needBlacket(const Note* note);
    // The slope of the straight line through two stem ends; 0 when they share an x or lie the wrong way.
    static double slopeBetween(platform::Point first, platform::Point last);

    // One stem of a beamed run: its free end and the beam levels of its unit.
    struct BeamStem {
        platform::Point end;
        unsigned levels = 0;
    };
    // Full beams between neighbours and partial beams where one side has more levels than the other,
    // each a closed quadrilateral along the slope of the whole run. halfLeft and halfRight are the
    // lengths of right- and left-pointing partial beams.
    static platform::BezierPath createBeamPath(const std::vector<BeamStem>& stems, bool flip, double halfLeft,
                                               double halfRight);
    // Beams of a run of cells, with the levels of their units and the partial-beam lengths of the note's
    // font.
    static platform::BezierPath createBeamPathOfCells(const Note* note,
                                                      const std::vector<TOVNoteUnitCell*>& cells, bool flip);
    // The tuplet digit centred between the outer stems beyond their ends, and with bracket, the two hooks
    // and the two pieces of line left and right of the digit. Answers the digit's x.
    static double appendTupletDigitAndBracket(platform::BezierPath& path, platform::BezierPath digit,
                                              platform::Point first, platform::Point last, bool flip,
                                              bool bracket);

    // The x of a unit's cell without a host that spaces units: its distance in ticks from the note's start
    // times the bar's x per tick, a tuplet rest in a stems-up view shifted right.
    static double xPosForUnitOffset(const NoteUnit* unit, double offset, double pitch, bool flip);
    // Stems of the cells (in the note's unit order), for a group fitted to the line through the outer
    // stem ends.
    static void addPole(const Note* note, const std::vector<TOVNoteUnitCell*>& cells, bool flip,
                        double heightLeft, double heightRight);
    // Puts every cell's middle line at the same y.
    static void normalizeSubOrigin(const std::vector<TOVNoteUnitCell*>& cells, bool flip);
    // Flags of single and tuplet units, and the beams, digit and bracket of a group.
    struct FlagsAndBeams {
        std::optional<platform::BezierPath> flagPath;
        std::optional<platform::BezierPath> beamPath;
    };
    static FlagsAndBeams addFlag(const Note* note, const std::vector<TOVNoteUnitCell*>& cells, bool flip);

    // The frame around cells and outlines; cells and outlines move down where something reaches above 0
    // and where the middle line would lie above the frame. originX and posYLevel0 are in the host's (bar
    // view's) coordinates, and so is the answered frame.
    struct Fitting {
        platform::Rect frame;
        // The stem strip that starts a flip when there is neither flag nor beam; none keeps the old one.
        std::optional<platform::Rect> flipHandleRect;
    };
    static Fitting fitFrame(const Note* note, const std::vector<TOVNoteUnitCell*>& cells, bool flip,
                            FlagsAndBeams& paths, double originX, double posYLevel0);

private:
    static std::string fontIDOf(const Note* note);
};
