#pragma once

#include "platform/foundation/Geometry.h"

class TOVNoteView;
class TOVObjectView;
class TOVTempoSpeedView;

// What an object view asks of the controller of the layout it lives in: the view never changes the
// selection, the drop target or its neighbours by itself, it asks here and the editor answers. Moves,
// resizes and rotations are reported step by step so that the controller can apply each step to every
// selected view of the matching kind.
class TOVObjectController {
public:
    virtual ~TOVObjectController() = default;

    // Non-zero while a bar-range edit mode is active; object views then let clicks through.
    virtual int objectViewInquireEditBarMode(TOVObjectView* view) = 0;
    virtual bool objectViewShouldBeSelectedAndClearOthers(TOVObjectView* view, bool clearOthers) = 0;
    virtual void objectViewShouldBeUnselected(TOVObjectView* view) = 0;
    // The new drop target; null clears it.
    virtual void objectViewShouldBeTarget(TOVObjectView* view) = 0;
    virtual void objectViewUnderMovingWithDiffXDiffY(TOVObjectView* view, double dx, double dy) = 0;
    // The nearest grid point to a point of the editor view; (largest double, largest double) off the pages.
    virtual platform::Point objectViewInquireNearestGridFromPos(TOVObjectView* view, platform::Point pos) = 0;
    virtual void objectViewCompleteChangingFrame(TOVObjectView* view) = 0;
    virtual void objectViewFrameDidChange(TOVObjectView* view) = 0;
    virtual void objectViewUnderResizingFixedWithDiffScaleMoveXMoveY(TOVObjectView* view, double diffScale,
                                                                     bool moveX, bool moveY) = 0;
    virtual void objectViewUnderResizingFreeWithDiffXDiffYMoveXMoveY(TOVObjectView* view, double dx,
                                                                     double dy, bool moveX, bool moveY) = 0;
    virtual void objectViewUnderRotatingWithDiffAngleDiffWidth(TOVObjectView* view, double diffAngle,
                                                               double diffWidth) = 0;

    // A chord view asks for the chord input window, by the action the user chose for each click.
    virtual void chordViewDidDoubleClick(TOVObjectView* view) = 0;
    virtual void chordViewDidRightClick(TOVObjectView* view) = 0;
    // Double clicks on signs with a setting sheet: pass numbers, repeat count, bracket text and the bar
    // count of a long rest, applied to every selected view of the same kind of sheet.
    virtual void repeatDaCapoViewDidDoulbleClick(TOVObjectView* view) = 0;
    virtual void repeatTimesViewDidDoulbleClick(TOVObjectView* view) = 0;
    virtual void repeatVoltaViewDidDoulbleClick(TOVObjectView* view) = 0;
    virtual void longRestViewDidDoulbleClick(TOVObjectView* view) = 0;
    // Octave, hairpin, tempo, mark and drawing-tool views.
    // The origin of a drawing tool's view in the editor: where the bar the tool follows puts it, or the
    // view's own frame origin.
    virtual platform::Point toolsViewInquireOrigin(TOVObjectView* view) = 0;
    // A double click on a metronome mark: asks for a new speed for the selected marks.
    virtual void tempoSpeedViewDidDoulbleClick(TOVTempoSpeedView* view) = 0;
    // A note view changed or confirmed the selection of its cells (which cells is not passed): the editor
    // refreshes its hint.
    virtual void noteViewDidUpdateSelectedCells(TOVNoteView* noteView) {}
    // A great double bar was dropped on a barline view: the song is to end at the bar before it.
    virtual void greatDoubleBarLineDidInserted(TOVObjectView* view) = 0;
};
