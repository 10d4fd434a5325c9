#include "platform/ui/CellGrid.h"

#include "platform/graphics/AffineTransform.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/QPainterGraphicsContext.h"
#include "platform/ui/ViewHost.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

namespace platform {

CellGrid::CellGrid(QWidget* parent) : QAbstractScrollArea(parent) {
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFocusPolicy(Qt::StrongFocus);
}

CellGrid::~CellGrid() = default;

void CellGrid::setItemCount(std::size_t count) {
    itemCount_ = count;
    selection_.erase(selection_.lower_bound(count), selection_.end());
    updateScrollBars();
    viewport()->update();
}

void CellGrid::setCellSize(Size size) {
    if (size.width <= 0 || size.height <= 0) {
        return;
    }
    cellSize_ = size;
    updateScrollBars();
    updateGeometry();
    viewport()->update();
}

void CellGrid::setMaxColumns(int columns) {
    maxColumns_ = std::max(0, columns);
    maxRows_ = 0;
    updateScrollBars();
    updateGeometry();
    viewport()->update();
}

void CellGrid::setMaxRows(int rows) {
    maxRows_ = std::max(0, rows);
    maxColumns_ = 0;
    updateScrollBars();
    updateGeometry();
    viewport()->update();
}

int CellGrid::columnCount() const {
    if (maxColumns_ > 0) {
        return maxColumns_;
    }
    if (maxRows_ > 0) {
        const auto rows = static_cast<std::size_t>(maxRows_);
        return std::max(1, static_cast<int>((itemCount_ + rows - 1) / rows));
    }
    return std::max(1, static_cast<int>(viewport()->width() / cellSize_.width));
}

int CellGrid::rowCount() const {
    const auto columns = static_cast<std::size_t>(columnCount());
    return static_cast<int>((itemCount_ + columns - 1) / columns);
}

Rect CellGrid::frameForItem(std::size_t index) const {
    if (index >= itemCount_) {
        return Rect();
    }
    const auto columns = static_cast<std::size_t>(columnCount());
    return Rect(static_cast<double>(index % columns) * cellSize_.width,
                static_cast<double>(index / columns) * cellSize_.height, cellSize_.width, cellSize_.height);
}

QPoint CellGrid::scrollOffset() const {
    return QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
}

std::optional<std::size_t> CellGrid::indexAtViewportPoint(QPoint point) const {
    const QPoint p = point + scrollOffset();
    if (p.x() < 0 || p.y() < 0) {
        return std::nullopt;
    }
    const auto column = static_cast<std::size_t>(std::floor(p.x() / cellSize_.width));
    const auto row = static_cast<std::size_t>(std::floor(p.y() / cellSize_.height));
    const auto columns = static_cast<std::size_t>(columnCount());
    if (column >= columns) {
        return std::nullopt;
    }
    const std::size_t index = row * columns + column;
    if (index >= itemCount_) {
        return std::nullopt;
    }
    return index;
}

QPoint CellGrid::viewportCenterOfItem(std::size_t index) const {
    const Rect r = frameForItem(index);
    return QPoint(static_cast<int>(r.midX()), static_cast<int>(r.midY())) - scrollOffset();
}

void CellGrid::scrollToItem(std::size_t index) {
    const Rect r = frameForItem(index);
    if (r.isEmpty()) {
        return;
    }
    updateScrollBars();
    const auto ensure = [](QScrollBar* bar, double low, double high, int page) {
        if (high - bar->value() > page) {
            bar->setValue(static_cast<int>(std::ceil(high)) - page);
        }
        if (low < bar->value()) {
            bar->setValue(static_cast<int>(low));
        }
    };
    ensure(verticalScrollBar(), r.minY(), r.maxY(), viewport()->height());
    ensure(horizontalScrollBar(), r.minX(), r.maxX(), viewport()->width());
    viewport()->update();
}

void CellGrid::reloadData() {
    viewport()->update();
}

std::optional<std::size_t> CellGrid::firstSelectedIndex() const {
    if (selection_.empty()) {
        return std::nullopt;
    }
    return *selection_.begin();
}

void CellGrid::setSelectionIndexes(IndexSet indexes) {
    indexes.erase(indexes.lower_bound(itemCount_), indexes.end());
    selection_ = std::move(indexes);
    viewport()->update();
    if (selectionHandler_) {
        selectionHandler_(selection_);
    }
}

void CellGrid::setAcceptsFirstResponder(bool accepts) {
    setFocusPolicy(accepts ? Qt::StrongFocus : Qt::NoFocus);
    viewport()->setFocusPolicy(accepts ? Qt::StrongFocus : Qt::NoFocus);
}

void CellGrid::setCellDrawer(CellDrawer drawer) {
    drawer_ = std::move(drawer);
    viewport()->update();
}

void CellGrid::setColors(const Colors& colors) {
    colors_ = colors;
    viewport()->update();
}

QSize CellGrid::sizeHint() const {
    const int columns = maxColumns_ > 0 ? maxColumns_ : columnCount();
    const int rows = std::max(1, rowCount());
    return QSize(static_cast<int>(std::ceil(columns * cellSize_.width)),
                 static_cast<int>(std::ceil(rows * cellSize_.height)));
}

void CellGrid::updateScrollBars() {
    const double width = columnCount() * cellSize_.width;
    const double height = rowCount() * cellSize_.height;
    const QSize area = viewport()->size();
    horizontalScrollBar()->setPageStep(area.width());
    horizontalScrollBar()->setSingleStep(static_cast<int>(cellSize_.width));
    horizontalScrollBar()->setRange(0, std::max(0, static_cast<int>(std::ceil(width)) - area.width()));
    verticalScrollBar()->setPageStep(area.height());
    verticalScrollBar()->setSingleStep(static_cast<int>(cellSize_.height));
    verticalScrollBar()->setRange(0, std::max(0, static_cast<int>(std::ceil(height)) - area.height()));
}

void CellGrid::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void CellGrid::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    QPainterGraphicsContext context(painter);
    const QPoint offset = scrollOffset();
    const QRect visible = viewport()->rect().translated(offset);
    for (std::size_t i = 0; i < itemCount_; ++i) {
        const Rect cell = frameForItem(i);
        if (cell.maxY() < visible.top() || cell.minY() > visible.bottom() + 1 ||
            cell.maxX() < visible.left() || cell.minX() > visible.right() + 1) {
            continue;
        }
        context.saveGraphicsState();
        context.concatTransform(AffineTransform::translation(cell.x() - offset.x(), cell.y() - offset.y()));
        drawCell(i, context);
        context.restoreGraphicsState();
    }
}

void CellGrid::drawCell(std::size_t index, GraphicsContext& context) const {
    const bool selected = selection_.count(index) != 0;
    const Rect box(0, 0, cellSize_.width, cellSize_.height);
    context.setFillColor(selected ? colors_.selectedFill : colors_.normalFill);
    context.fillRect(box);
    context.setFillColor(selected ? colors_.selectedBorder : colors_.normalBorder);
    context.frameRect(box, 1.0);
    if (drawer_) {
        context.clipToRect(box);
        drawer_(index, context, cellSize_);
    }
}

Image CellGrid::imageOfItem(std::size_t index) const {
    if (index >= itemCount_) {
        return Image();
    }
    Image image(Size{std::ceil(cellSize_.width), std::ceil(cellSize_.height)});
    {
        QPainterGraphicsContext context(image);
        drawCell(index, context);
    }
    return image;
}

void CellGrid::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    event->accept();
    const QPoint point = event->position().toPoint();
    const int count =
        clicks_.countPress(event->button(), Point{double(point.x()), double(point.y())}, event->timestamp());
    const std::optional<std::size_t> index = indexAtViewportPoint(point);
    pressedIndex_ = index;
    pressPoint_ = point;
    setSelectionIndexes(index ? IndexSet{*index} : IndexSet{});
    if (clickHandler_) {
        clickHandler_(count);
    }
}

void CellGrid::mouseMoveEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (!pressedIndex_ || !dragWriter_ || !(event->buttons() & Qt::LeftButton) ||
        (point - pressPoint_).manhattanLength() < QApplication::startDragDistance()) {
        QAbstractScrollArea::mouseMoveEvent(event);
        return;
    }
    event->accept();
    const std::size_t index = *pressedIndex_;
    // One drag per press, whatever the writer answers.
    pressedIndex_.reset();
    const std::optional<DraggingInfo> items = dragWriter_(selection_);
    if (!items || items->types().empty()) {
        return;
    }
    const Rect cell = frameForItem(index);
    const QPoint inCell = pressPoint_ + scrollOffset();
    ViewHost::runDrag(*this, *items, imageOfItem(index), Point{inCell.x() - cell.x(), inCell.y() - cell.y()});
}

void CellGrid::mouseReleaseEvent(QMouseEvent* event) {
    pressedIndex_.reset();
    QAbstractScrollArea::mouseReleaseEvent(event);
}

void CellGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    // The press that Qt replaced with this event.
    mousePressEvent(event);
}

} // namespace platform
