#pragma once

#include "glyphs/TOVMovableView.h"
#include "glyphs/TOVResizeHandleCell.h"

#include <memory>
#include <vector>

// A movable view with handle cells: they are shown while the view is selected, give the pointer the
// cursor of their direction, and a press on one starts a resize instead of a move. The layers below
// create the cells and resize.
//
// Handle types and places (view coordinates, w × h the view's size): 0 top-left (0.1, 0.1), 1 top-right
// (w − 4.1, 0.1), 2 bottom-right (w − 4.1, h − 4.1), 3 bottom-left (0.1, h − 4.1), 4 top middle
// (w/2 − 2, 0.1), 5 right middle (w − 4.1, h/2 − 2), 6 bottom middle (w/2 − 2, h − 4.1), 7 left middle
// (0.1, h/2 − 2), 8 the rotate handle at the right middle.
class TOVResizableView : public TOVMovableView {
public:
    using HandleCells = std::vector<std::shared_ptr<TOVResizeHandleCell>>;

    // The smallest width and height a resize leaves.
    static constexpr double kMinimumSize = 4.0;

    explicit TOVResizableView(const platform::Rect& frame = platform::Rect());

    // The origin of a handle of the type and side on a view of the size.
    static platform::Point handleOriginForType(int type, platform::Size size,
                                               double side = TOVResizeHandleCell::kHandleSize);
    // The side the handles of a selected view of the size are drawn with: the full handle, or on a small
    // view a fifth of its shorter side (no less than 1.5), so that the symbol under them stays readable.
    static double drawnHandleSideForSize(platform::Size size);

    void setState(int state) override;
    void resetCursorRects() override;
    void mouseDown(const platform::Event& event) override;
    void mouseUp(const platform::Event& event) override;

    // Moves every cell to the place of its type for the view's current size.
    virtual void updatePositionOfHandleCells();
    void drawSelectionMarks(platform::GraphicsContext& ctx) override;
    virtual void createHandleCells() {}
    // Whether a resize scales the glyph outline with the frame.
    virtual bool shouldScaleBezierPath() const { return true; }
    virtual void temporallyResizeWithDiffXDiffYMoveXMoveY(double dx, double dy, bool moveX, bool moveY) {}

    const HandleCells& handleCellArray() const { return handleCellArray_; }
    void setHandleCellArray(HandleCells cells) { handleCellArray_ = std::move(cells); }
    TOVResizeHandleCell* resizingHandle() const { return resizingHandle_.lock().get(); }
    void setResizingHandle(const std::shared_ptr<TOVResizeHandleCell>& cell) { resizingHandle_ = cell; }

protected:
    std::shared_ptr<TOVObjectView> newInstanceWithFrame(const platform::Rect& frame) const override;
    // Empties the cells and adds a 4 × 4 cell of class Cell for each type, in order.
    template <typename Cell = TOVResizeHandleCell>
    void addHandleCell(int type) {
        handleCellArray_.push_back(std::make_shared<Cell>(
            platform::Rect(0, 0, TOVResizeHandleCell::kHandleSize, TOVResizeHandleCell::kHandleSize), type));
    }
    void removeAllHandleCells() { handleCellArray_.clear(); }
    // Fits the outline to the frame, axis by axis; an axis on which either has no extent is left alone.
    void fitBezierPathToFrame();
    // The natural size of the symbol's glyph (zero without a symbol).
    platform::Size symbolInitialSize() const;

private:
    HandleCells handleCellArray_;
    std::weak_ptr<TOVResizeHandleCell> resizingHandle_;
};
