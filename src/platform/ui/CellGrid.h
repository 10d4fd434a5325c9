#pragma once

#include "platform/foundation/Color.h"
#include "platform/foundation/Geometry.h"
#include "platform/graphics/Image.h"
#include "platform/ui/ClickCounter.h"
#include "platform/ui/DraggingInfo.h"

#include <QAbstractScrollArea>

#include <cstddef>
#include <functional>
#include <optional>
#include <set>

namespace platform {

class GraphicsContext;

// A grid of selectable cells of one size, filled left to right, then down. The number of columns is a
// maximum of columns, or follows from a maximum of rows, or else is as many as fit the width. A grid
// taller (or wider) than its area scrolls.
//
// Selection. A click on a cell selects that cell alone, a click beside the cells empties the selection.
// Every set of the selection, by a click or by setSelectionIndexes, is reported to the selection handler,
// the empty one included, even when it equals the one before. The click handler then hears the click
// with its count (1, 2 ...), after the selection it made.
//
// Drawing. Each cell is filled and framed with the normal or the selected colours, then the cell drawer
// draws the cell's content in the cell's own coordinates (origin at its top left, y down).
//
// Dragging. With a drag writer, a press on a cell that moves the drag distance with the button down
// asks the writer for the drag of the selection (the pressed cell, selected by the press); the drag
// then carries what the writer answered and shows the pressed cell as it is drawn. A writer that answers
// nothing refuses the drag. The press acts at once, also when it brings the grid's window forward.
class CellGrid : public QAbstractScrollArea {
    Q_OBJECT
public:
    using IndexSet = std::set<std::size_t>;
    using CellDrawer = std::function<void(std::size_t index, GraphicsContext& context, Size cellSize)>;
    struct Colors {
        Color normalFill = Color::highlight();
        Color normalBorder = Color::controlShadow();
        Color selectedFill = Color::cellSelectedFill();
        Color selectedBorder = Color::cellSelectedBorder();
    };

    explicit CellGrid(QWidget* parent = nullptr);
    ~CellGrid() override;

    // --- Content and layout ---
    // Selected indexes past the new end are dropped without a report.
    void setItemCount(std::size_t count);
    std::size_t itemCount() const { return itemCount_; }
    void setCellSize(Size size);
    Size cellSize() const { return cellSize_; }
    // At most this many columns (0: no limit); clears a maximum of rows.
    void setMaxColumns(int columns);
    int maxColumns() const { return maxColumns_; }
    // At most this many rows, so as many columns as that needs (0: no limit); clears a maximum of columns.
    void setMaxRows(int rows);
    int maxRows() const { return maxRows_; }
    int columnCount() const;
    int rowCount() const;
    // The cell's rectangle in the grid's content (unscrolled), or an empty one past the end.
    Rect frameForItem(std::size_t index) const;
    // The cell under a point of the viewport, or none.
    std::optional<std::size_t> indexAtViewportPoint(QPoint point) const;
    // The cell's centre in the viewport's coordinates, as it is scrolled now.
    QPoint viewportCenterOfItem(std::size_t index) const;
    // Scrolls so that the cell is wholly in view.
    void scrollToItem(std::size_t index);
    // Draws every cell again (their content changed).
    void reloadData();

    // --- Selection ---
    const IndexSet& selectionIndexes() const { return selection_; }
    std::optional<std::size_t> firstSelectedIndex() const;
    void setSelectionIndexes(IndexSet indexes);
    void setSelectionHandler(std::function<void(const IndexSet&)> handler) {
        selectionHandler_ = std::move(handler);
    }
    void setClickHandler(std::function<void(int clickCount)> handler) { clickHandler_ = std::move(handler); }

    // --- Focus ---
    // A grid that never becomes first responder takes no keyboard focus, also not by a click.
    void setAcceptsFirstResponder(bool accepts);
    bool acceptsFirstResponder() const { return focusPolicy() != Qt::NoFocus; }

    // --- Dragging ---
    using DragWriter = std::function<std::optional<DraggingInfo>(const IndexSet& indexes)>;
    void setDragWriter(DragWriter writer) { dragWriter_ = std::move(writer); }
    // The cell as the grid draws it now, its own size.
    Image imageOfItem(std::size_t index) const;

    // --- Drawing ---
    void setCellDrawer(CellDrawer drawer);
    void setColors(const Colors& colors);
    const Colors& colors() const { return colors_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void updateScrollBars();
    void drawCell(std::size_t index, GraphicsContext& context) const;
    QPoint scrollOffset() const;

    std::size_t itemCount_ = 0;
    Size cellSize_{40, 40};
    int maxColumns_ = 0;
    int maxRows_ = 0;
    IndexSet selection_;
    std::function<void(const IndexSet&)> selectionHandler_;
    std::function<void(int)> clickHandler_;
    CellDrawer drawer_;
    Colors colors_;
    ClickCounter clicks_;
    DragWriter dragWriter_;
    // The press that may become a drag: where it went down in the viewport, on which cell.
    std::optional<std::size_t> pressedIndex_;
    QPoint pressPoint_;
};

} // namespace platform
