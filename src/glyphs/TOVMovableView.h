#pragma once

#include "glyphs/TOVSelectableView.h"

// A selectable view that a drag moves, together with every other selected movable view: the move starts
// once the pointer has gone more than 1.0 from the press, corners within 1.0 of a grid line snap to it,
// and on release the frame is written into the symbol, in the coordinates of the symbol's bar view.
class TOVMovableView : public TOVSelectableView {
public:
    using TOVSelectableView::TOVSelectableView;

    void mouseDown(const platform::Event& event) override;
    void mouseDragged(const platform::Event& event) override;
    void mouseUp(const platform::Event& event) override;

    // Between the superview's coordinates and those of the bar view, when the view has one.
    virtual platform::Point convertPointFromViewOriginToDataOrigin(platform::Point point) const;
    virtual platform::Point convertPointFromDataOriginToViewOrigin(platform::Point point) const;

    // Places the view at the symbol's frame (the zero rect without a symbol), at the natural size while
    // the symbol has none.
    void updateView() override;
    // Places the view at a frame in bar coordinates without touching the model.
    void updateViewTemporallyAs(const platform::Rect& rect) override;
    virtual void temporallyMoveWithDiffXDiffY(double dx, double dy);
    // Writes the frame into the symbol when it changed there, reports that, and re-places the view.
    virtual void completeChangingFrame();
    // The superview when it is the editor view.
    platform::View* parentEditorView() const;
    bool shouldDrawFrameRect() const override { return true; }

    bool isMouseDown() const { return isMouseDown_; }
    void setIsMouseDown(bool value) { isMouseDown_ = value; }
    bool isMoving() const { return isMoving_; }
    void setIsMoving(bool value) { isMoving_ = value; }
    platform::Point lastMovedLocation() const { return lastMovedLocation_; }
    void setLastMovedLocation(platform::Point p) { lastMovedLocation_ = p; }
    platform::Point mouseDownLocation() const { return mouseDownLocation_; }
    void setMouseDownLocation(platform::Point p) { mouseDownLocation_ = p; }

protected:
    std::shared_ptr<TOVObjectView> newInstanceWithFrame(const platform::Rect& frame) const override;
    // The event's location in the superview's coordinates.
    platform::Point locationInSuperview(const platform::Event& event) const;
    // Places the view at a frame in bar coordinates; true when the frame changed.
    bool placeAtDataFrame(const platform::Rect& rect);
    // Asks the delegate to complete the change of every selected view, or completes this one alone.
    void completeThroughDelegate();

private:
    void moveThroughDelegate(double dx, double dy);
    void snapToGrid();

    bool isMouseDown_ = false;
    bool isMoving_ = false;
    platform::Point lastMovedLocation_;
    platform::Point mouseDownLocation_;
};
