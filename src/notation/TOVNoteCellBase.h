#pragma once

#include "platform/foundation/Color.h"
#include "platform/foundation/Geometry.h"

namespace platform {
class GraphicsContext;
}
class TOVManagedObject;
class TOVNoteView;

// A light drawable piece of a note view: it knows its frame in the note view's (y-down) coordinates,
// draws itself on request, answers hit tests and carries what it owns along when its frame moves.
//
// The anchors mean, per kind: for a tone or slash cell offsetY is the distance from the top of its frame
// to the centre of its head; for a rest cell the distance from the top to the middle line; for a unit cell
// offsetX is the distance from its left edge to the leftmost head or the rest and offsetY the y of the
// middle line from its top.
class TOVNoteCellBase {
public:
    TOVNoteCellBase() = default;
    virtual ~TOVNoteCellBase() = default;
    TOVNoteCellBase(const TOVNoteCellBase&) = delete;
    TOVNoteCellBase& operator=(const TOVNoteCellBase&) = delete;

    // All four edges are inside.
    virtual bool hitTestInFrame(platform::Point point) const;
    platform::Rect frame() const { return frame_; }
    // Stores the frame and moves everything the cell owns by the change of origin.
    virtual void setFrame(const platform::Rect& frame);
    virtual void moveXByYBy(double dx, double dy);
    virtual void moveSubCellsXByYBy(double, double) {}
    // The cell when the point hits its frame, else null.
    virtual TOVNoteCellBase* hitCellFromPos(platform::Point point);
    virtual void drawWithNormalColor(const platform::Color&, platform::GraphicsContext&) {}
    virtual void updateTie() {}
    virtual void updateSymbolViews() {}
    virtual void clearOldCells() {}
    // The model object the cell shows.
    virtual TOVManagedObject* coreData() const { return nullptr; }

    double offsetX() const { return offsetX_; }
    void setOffsetX(double value) { offsetX_ = value; }
    double offsetY() const { return offsetY_; }
    void setOffsetY(double value) { offsetY_ = value; }
    bool selected() const { return selected_; }
    void setSelected(bool value) { selected_ = value; }
    bool dropTarget() const { return dropTarget_; }
    void setDropTarget(bool value) { dropTarget_ = value; }
    TOVNoteView* noteView() const { return noteView_; }
    void setNoteView(TOVNoteView* view) { noteView_ = view; }

private:
    double offsetX_ = 0;
    double offsetY_ = 0;
    platform::Rect frame_;
    bool selected_ = false;
    bool dropTarget_ = false;
    TOVNoteView* noteView_ = nullptr;
};
