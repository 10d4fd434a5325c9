#pragma once

#include "platform/foundation/Geometry.h"

class TOVObjectView;
class TOVSelectableView;
class TOVTempoSpeedView;

// What an object view asks of the controller of the layout it lives in: the view never changes the
// selection, the drop target or its neighbours by itself, it asks here and the editor answers. Moves,
// resizes and rotations are reported step by step so that the controller can apply each step to every
// selected view of the matching kind.
//
// A report is ignored and a question answers 0, null or false unless overridden, so that a controller
// implements only what it uses. The geometry questions answer what leaves a view where it is: a point is
// its own nearest grid point, and a drawing tool stays at its own frame origin.
class TOVObjectController {
public:
    virtual ~TOVObjectController() = default;

    // Non-zero while a bar-range edit mode is active; object views then let clicks through.
    virtual int objectViewInquireEditBarMode(TOVObjectView* view) { return 0; }
    virtual bool objectViewShouldBeSelectedAndClearOthers(TOVObjectView* view, bool clearOthers) {
        return false;
    }
    virtual void objectViewShouldBeUnselected(TOVObjectView* view) {}
    // The new drop target; null clears it.
    virtual void objectViewShouldBeTarget(TOVObjectView* view) {}
    virtual void objectViewUnderMovingWithDiffXDiffY(TOVObjectView* view, double dx, double dy) {}
    // The nearest grid point to a point of the editor view; (largest double, largest double) off the pages.
    virtual platform::Point objectViewInquireNearestGridFromPos(TOVObjectView* view, platform::Point pos) {
        return pos;
    }
    virtual void objectViewCompleteChangingFrame(TOVObjectView* view) {}
    virtual void objectViewFrameDidChange(TOVObjectView* view) {}
    virtual void objectViewUnderResizingFixedWithDiffScaleMoveXMoveY(TOVObjectView* view, double diffScale,
                                                                     bool moveX, bool moveY) {}
    virtual void objectViewUnderResizingFreeWithDiffXDiffYMoveXMoveY(TOVObjectView* view, double dx,
                                                                     double dy, bool moveX, bool moveY) {}
    virtual void objectViewUnderRotatingWithDiffAngleDiffWidth(TOVObjectView* view, double diffAngle,
                                                               double diffWidth) {}

    // A chord view asks for the chord input window, by the action the user chose for each click.
    virtual void chordViewDidDoubleClick(TOVObjectView* view) {}
    virtual void chordViewDidRightClick(TOVObjectView* view) {}
    // Double clicks on signs with a setting sheet: pass numbers, repeat count, bracket text and the bar
    // count of a long rest, applied to every selected view of the same kind of sheet.
    virtual void repeatDaCapoViewDidDoulbleClick(TOVObjectView* view) {}
    virtual void repeatTimesViewDidDoulbleClick(TOVObjectView* view) {}
    virtual void repeatVoltaViewDidDoulbleClick(TOVObjectView* view) {}
    virtual void longRestViewDidDoulbleClick(TOVObjectView* view) {}
    // Octave, hairpin, tempo, mark and drawing-tool views.
    // The origin of a drawing tool's view in the editor: where the bar the tool follows puts it, or the
    // view's own frame origin.
    virtual platform::Point toolsViewInquireOrigin(TOVObjectView* view);
    // A double click on a metronome mark: asks for a new speed for the selected marks.
    virtual void tempoSpeedViewDidDoulbleClick(TOVTempoSpeedView* view) {}
    // A note view changed or confirmed the selection of its cells (which cells is not passed): the editor
    // refreshes its hint.
    virtual void noteViewDidUpdateSelectedCells(TOVSelectableView* noteView) {}
    // A great double bar was dropped on a barline view: the song is to end at the bar before it.
    virtual void greatDoubleBarLineDidInserted(TOVObjectView* view) {}
};
