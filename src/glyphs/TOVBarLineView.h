#pragma once

#include "glyphs/TOVObjectView.h"

class TOVBarLineViewDelegate;

// The view of a bar's barline, or of the barline before a line's first bar. It draws the eight barline
// kinds (TOVBarlineSingle to TOVBarlineTransparent), centred on the barline's x, except the repeat kinds,
// which stand in the bar whose repeat they mark. A movable barline has a thin move handle in its middle; the
// view takes clicks only there, so that clicks elsewhere reach the bars below. It knows nothing of the model:
// its barline delegate (the line view) tells it its kind and is told of moves and drops.
//
// The glyph library keeps its prototypes made straight from their glyph files; a view made from a frame
// (every copy of a prototype) takes a width of 20.0 when the frame has none and accepts barlines dragged
// from the symbol palette.
class TOVBarLineView : public TOVObjectView {
public:
    static constexpr const char* kPaletteDragType = "TOVSymbolPaletteForBarlineViewData";
    static constexpr double kDefaultWidth = 20.0;
    static constexpr double kMoveHandleWidth = 4.0;

    // A view as its own initialiser makes it (the prototypes use TOVObjectView::makeWithFrameSVGFile).
    static std::shared_ptr<TOVBarLineView> withFrame(const platform::Rect& frame);

    using TOVObjectView::TOVObjectView;

    int barLineType() const { return barLineType_; }
    void setBarLineType(int type);
    int symbolType() const override { return barLineType_; }
    bool canMoveXpos() const { return canMoveXpos_; }
    void setCanMoveXpos(bool canMove);
    bool doublePart() const { return doublePart_; }
    void setDoublePart(bool doublePart) { doublePart_ = doublePart; }
    double barOffsetY() const { return barOffsetY_; }
    void setBarOffsetY(double offset) { barOffsetY_ = offset; }
    TOVBarLineViewDelegate* barLineViewDelegate() const { return barLineViewDelegate_; }
    void setBarLineViewDelegate(TOVBarLineViewDelegate* delegate) { barLineViewDelegate_ = delegate; }
    bool isMoving() const { return isMoving_; }
    const platform::Rect& moveHandleRect() const { return moveHandleRect_; }
    // The first barline of a line never takes a great double bar.
    bool acceptGreatDoubleBar() const { return barViewBelongTo() != nullptr; }

    // The outline of the kind, in the view's coordinates, as drawn; empty for an unknown kind.
    platform::BezierPath makeBarlinePath() const;
    // Repeat kinds and the thick final bar are filled; the single and the dotted kinds are stroked.
    static bool isFilledKind(int type);
    // x of the left edge of the drawn outline.
    double offsetX() const;

    void updateView() override;
    void removeFromSuperview() override;

    // --- Move handle ---
    void resetCursorRects() override;
    bool hitTestMoveHandleInPoint(platform::Point pointInView) const;
    platform::View* hitTest(platform::Point pointInSuperview) override;
    void mouseDown(const platform::Event& event) override;
    void mouseDragged(const platform::Event& event) override;
    void mouseUp(const platform::Event& event) override;

    // --- Barlines dragged from the symbols palette ---
    // Another barline kind than the one shown; never a great double bar on a line's first barline.
    bool acceptsBarlineType(int type) const;
    platform::DragOperation draggingEntered(const platform::DraggingInfo& info) override;
    platform::DragOperation draggingUpdated(const platform::DraggingInfo& info) override;
    void draggingExited(const platform::DraggingInfo& info) override;
    bool performDragOperation(const platform::DraggingInfo& info) override;

    void drawRect(const platform::Rect& dirty, platform::GraphicsContext& ctx) override;

protected:
    std::shared_ptr<TOVObjectView> newInstanceWithFrame(const platform::Rect& frame) const override;

private:
    void appendThickPart(platform::BezierPath& path, double x, bool leftOfDots) const;
    void appendDots(platform::BezierPath& path, double x) const;
    void appendBand(platform::BezierPath& path, double x, double width) const;

    int barLineType_ = 0;
    bool canMoveXpos_ = false;
    bool doublePart_ = false;
    double barOffsetY_ = 0;
    TOVBarLineViewDelegate* barLineViewDelegate_ = nullptr;
    bool isMoving_ = false;
    double dragStartXPos_ = 0;
    platform::Point lastMovedLocation_;
    platform::Rect moveHandleRect_;
};
