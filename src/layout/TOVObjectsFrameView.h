#pragma once

#include "glyphs/TOVEditorViewBase.h"

#include <memory>
#include <vector>

class TOVObjectView;
class TOVResizeHandleCell;

// A frame with handles around a set of object views, through which the whole set is moved, resized or
// turned at once. What the set allows is a bit set, `objectsType`: 16 movable, 32 resizable, 64
// rotatable, 1 free (unequal scaling); a set of only aspect-keeping resizable views gets the corner
// handles (48), one of only free resizable views the edge handles (49), a single arrow or line tool the
// rotate handle and its pivot (112), a single wave tool or slur the rotate handle and three edge handles
// (113); any other set of movable views is only moved (16), and a set holding a view that cannot move
// is not touched at all (0).
//
// The frame passes moves on to the views it holds. A resize reaches them only as a move by the size
// difference, and a rotation not at all: whoever uses the frame settles how the views follow those.
class TOVObjectsFrameView : public TOVEditorViewBase {
public:
    using ViewSet = std::vector<std::shared_ptr<TOVObjectView>>;
    using HandleCells = std::vector<std::shared_ptr<TOVResizeHandleCell>>;

    static constexpr int kMovable = 16;
    static constexpr int kResizable = 32;
    static constexpr int kRotatable = 64;
    static constexpr int kFree = 1;
    // The smallest width and height a resize leaves, and the shortest width a rotation leaves.
    static constexpr double kMinimumSize = 4.0;
    static constexpr double kMinimumRotatedWidth = 15.0;

    explicit TOVObjectsFrameView(ViewSet selectedViews = {});
    ~TOVObjectsFrameView() override;

    const ViewSet& selectedViews() const { return selectedViews_; }
    // A different set recomputes what it allows and the frame.
    void setSelectedViews(ViewSet views);
    int objectsType() const { return objectsType_; }
    const HandleCells& handleCellArray() const { return handleCellArray_; }
    TOVResizeHandleCell* activeHandle() const { return activeHandle_.get(); }
    bool isMoving() const { return isMoving_; }
    platform::Point lastMovedLocation() const { return lastMovedLocation_; }

    void updateObjectsType();
    // The union of the views' frames; a rotatable set also takes the angle of its symbol.
    void updateFrame();
    void createHandleCells();
    void updatePositionOfHandleCells();
    void resetCursorRects() override;

    // Moves the frame and every view it holds.
    void temporallyMoveWithDiffXDiffY(double dx, double dy);
    // Grows the frame; the views only move by the same amounts.
    void temporallyResizeWithDiffWidthDiffHeight(double dw, double dh);
    // Has every view write its frame into its symbol.
    void completeChangingFrame();

    void mouseDown(const platform::Event& event) override;
    void mouseDragged(const platform::Event& event) override;
    void mouseUp(const platform::Event& event) override;
    void mouseDraggedForMoving(const platform::Event& event);
    void mouseDraggedForResizingFixed(const platform::Event& event);
    void mouseDraggedForResizingFree(const platform::Event& event);
    void mouseDraggedForRotating2Handles(const platform::Event& event);
    void mouseDraggedForRotating4Handles(const platform::Event& event);

    void drawRect(const platform::Rect& dirty, platform::GraphicsContext& ctx) override;

private:
    void addHandleCell(int type);
    // The event's location in the superview's coordinates.
    platform::Point locationInSuperview(const platform::Event& event) const;
    // Where the pointer puts the corner or edge of the active handle, in the frame's own coordinates.
    platform::Point draggedHandlePoint(const platform::Event& event) const;
    void rotate(const platform::Event& event);
    // The pivot handle's origin in the superview.
    platform::Point pivotInSuperview() const;

    ViewSet selectedViews_;
    int objectsType_ = 0;
    HandleCells handleCellArray_;
    std::shared_ptr<TOVResizeHandleCell> activeHandle_;
    bool isMoving_ = false;
    platform::Point lastMovedLocation_;
    // From the pointer at the press to the corner or edge point that the active handle drags, so that
    // a drag does not jump by where inside the handle it was grabbed.
    platform::Point grabOffset_;
};
