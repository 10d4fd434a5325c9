#include "platform/ui/CellGrid.h"

#include "platform/ui/WindowEvents.h"

#include <QApplication>
#include <QScrollBar>
#include <gtest/gtest.h>

#include <string>
#include <vector>

using platform::CellGrid;

namespace {

struct LayoutCase {
    const char* name;
    int maxColumns;
    int maxRows;
    std::size_t items;
    int columns;
    int rows;
    std::size_t probe;
    int probeColumn;
    int probeRow;
};

} // namespace

TEST(CellGridTest, FillsLeftToRightThenDownByColumnsOrRows) {
    const std::vector<LayoutCase> cases = {
        {"seven columns", 7, 0, 35, 7, 5, 9, 2, 1},
        {"three columns, partial last row", 3, 0, 11, 3, 4, 10, 1, 3},
        {"two rows make the columns", 0, 2, 9, 5, 2, 6, 1, 1},
        {"fewer items than columns", 7, 0, 3, 7, 1, 2, 2, 0},
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(c.name);
        CellGrid grid;
        grid.setCellSize({50, 30});
        if (c.maxColumns > 0) {
            grid.setMaxColumns(c.maxColumns);
        } else {
            grid.setMaxRows(c.maxRows);
        }
        grid.setItemCount(c.items);
        EXPECT_EQ(grid.columnCount(), c.columns);
        EXPECT_EQ(grid.rowCount(), c.rows);
        const platform::Rect cell = grid.frameForItem(c.probe);
        EXPECT_DOUBLE_EQ(cell.x(), 50.0 * c.probeColumn);
        EXPECT_DOUBLE_EQ(cell.y(), 30.0 * c.probeRow);
        EXPECT_TRUE(grid.frameForItem(c.items).isEmpty());
    }
}

TEST(CellGridTest, ReportsEverySetOfTheSelectionAndClicksAfterIt) {
    CellGrid grid;
    grid.setCellSize({50, 30});
    grid.setMaxColumns(4);
    grid.setItemCount(8);
    grid.resize(200, 60);
    std::vector<std::string> heard;
    grid.setSelectionHandler([&](const CellGrid::IndexSet& s) {
        heard.push_back(s.empty() ? "select none" : "select " + std::to_string(*s.begin()));
    });
    grid.setClickHandler([&](int count) { heard.push_back("click " + std::to_string(count)); });

    // Setting the same or the empty selection is reported every time; indexes past the end are dropped.
    grid.setSelectionIndexes({});
    grid.setSelectionIndexes({2});
    grid.setSelectionIndexes({2});
    grid.setSelectionIndexes({20});
    EXPECT_EQ(heard, (std::vector<std::string>{"select none", "select 2", "select 2", "select none"}));
    heard.clear();

    // A click chooses its cell, then the click is told; a double click chooses again and counts 2; a click
    // beside the cells (the last row has room for none past item 7) empties the selection.
    uitest::WindowEvents events(*grid.viewport());
    events.click(grid.viewportCenterOfItem(5), 1000);
    events.click(grid.viewportCenterOfItem(5), 1100);
    events.click(QPointF(10, 10), 5000);
    EXPECT_EQ(heard, (std::vector<std::string>{"select 5", "click 1", "select 5", "click 2", "select 0",
                                               "click 1"}));
    grid.setItemCount(3);
    grid.setSelectionIndexes({2});
    heard.clear();
    events.click(QPointF(175, 45), 9000);
    EXPECT_EQ(heard, (std::vector<std::string>{"select none", "click 1"}));
    EXPECT_TRUE(grid.selectionIndexes().empty());
}

TEST(CellGridTest, NeverFirstResponderTakesNoFocusFromAClick) {
    QWidget window;
    auto* grid = new CellGrid(&window);
    grid->setCellSize({50, 30});
    grid->setMaxColumns(2);
    grid->setItemCount(4);
    grid->setGeometry(0, 0, 100, 60);
    grid->setAcceptsFirstResponder(false);
    uitest::WindowEvents events(window);
    window.activateWindow();
    QApplication::processEvents();
    uitest::WindowEvents inGrid(*grid->viewport());
    inGrid.click(grid->viewportCenterOfItem(1), 1000);
    EXPECT_EQ(grid->selectionIndexes(), CellGrid::IndexSet{1});
    EXPECT_FALSE(grid->hasFocus());
    EXPECT_FALSE(grid->viewport()->hasFocus());
    EXPECT_FALSE(grid->acceptsFirstResponder());
}

TEST(CellGridTest, ScrollsWhenTallerThanItsArea) {
    CellGrid grid;
    grid.setCellSize({50, 30});
    grid.setMaxColumns(3);
    grid.setItemCount(30); // ten rows, 300 points
    grid.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    grid.resize(150 + grid.verticalScrollBar()->sizeHint().width(), 90);
    uitest::WindowEvents events(grid);
    EXPECT_GT(grid.verticalScrollBar()->maximum(), 0);
    grid.scrollToItem(29);
    const QPoint centre = grid.viewportCenterOfItem(29);
    EXPECT_TRUE(grid.viewport()->rect().contains(centre));
    EXPECT_EQ(grid.indexAtViewportPoint(centre), std::optional<std::size_t>(29));
    // A click on the scrolled cell chooses it, not the cell that stood there before scrolling.
    uitest::WindowEvents inGrid(*grid.viewport());
    inGrid.click(centre, 1000);
    EXPECT_EQ(grid.selectionIndexes(), CellGrid::IndexSet{29});
    grid.scrollToItem(0);
    EXPECT_EQ(grid.verticalScrollBar()->value(), 0);
}
