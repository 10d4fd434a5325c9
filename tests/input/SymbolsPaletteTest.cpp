#include "input/TOVSymbolsPaletteWindowController.h"

#include "layout/TOVPaletteTypes.h"
#include "model/TOVSymbolTypes.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/ui/Application.h"
#include "platform/ui/Toolbar.h"
#include "platform/ui/ToolbarItem.h"
#include "platform/ui/View.h"
#include "platform/ui/ViewHost.h"
#include "platform/ui/Window.h"
#include "platform/ui/WindowEvents.h"
#include "support/RealDrag.h"

#include <QLabel>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

#include <span>
#include <string>
#include <vector>

namespace {

using Palette = TOVSymbolsPaletteWindowController;
using IndexSet = platform::CellGrid::IndexSet;

// The number under "itemType", read as a drop target reads it.
std::optional<std::int64_t> archivedCode(const platform::DraggingInfo& info) {
    const QByteArray bytes = info.dataForType("itemType");
    return platform::KeyedUnarchiver::unarchivedNumber(std::span<const std::uint8_t>(
        reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size())));
}

struct PayloadCase {
    Palette::Category category;
    IndexSet dragged;
    const char* label; // of the written cell
    const char* type;
    std::int32_t code;
};

// Which drop targets a cell reaches and what they read: the palette type first, as a marker, then the
// item code under "itemType". Only the first of several dragged cells is written.
TEST(SymbolsPaletteTest, ACellsDragDeclaresItsTargetsTypeThenItsCode) {
    const Palette palette;
    const char* bar = "TOVSymbolPaletteForBarViewData";
    const char* barline = "TOVSymbolPaletteForBarlineViewData";
    const char* note = "TOVSymbolPaletteForNoteViewData";
    const std::vector<PayloadCase> cases = {
        {Palette::TimeSignatures, {3}, "4-4 time", bar, 0x303},
        {Palette::TimeSignatures, {4}, "C time", bar, 0x30D},
        {Palette::TimeSignatures, {5}, "5-4 time", bar, 0x304},
        {Palette::TimeSignatures, {13}, "12-8 time", bar, 0x30C},
        {Palette::Repeats, {7}, "Volta", bar, 0x606},
        {Palette::Repeats, {2}, "Bis", bar, 0x608},
        {Palette::Repeats, {3}, "Fine", bar, 0x605},
        {Palette::Repeats, {9}, "Repeat", bar, 0x60B},
        {Palette::Dynamics, {9}, "Sforzando", bar, 0x709},
        {Palette::Dynamics, {10}, "Sforzando", bar, 0x70A},
        {Palette::Barlines, {0}, "Single Bar", barline, 0x500},
        {Palette::Barlines, {7}, "Non-visible Barline", barline, 0x507},
        {Palette::DrawingTools, {0}, "Free text", note, 0xC00},
        {Palette::Articulation, {0}, "Tenuto", note, 0xB00},
        {Palette::Tempo, {6}, "Speed", bar, 0x906},
        {Palette::KeySignatures, {7}, "F major / D minor", bar, 0x207},
        {Palette::Clefs, {1}, "F Clef", bar, 0x101},
        // Several cells: the first one only.
        {Palette::Repeats, {2, 7, 12}, "Bis", bar, 0x608},
        {Palette::Dynamics, {13, 10}, "Sforzando", bar, 0x70A},
    };
    for (const PayloadCase& c : cases) {
        const TOVPaletteItems& items = palette.paletteItemsArray()[c.category];
        SCOPED_TRACE(std::string(c.label) + " at " + std::to_string(*c.dragged.begin()));
        ASSERT_LT(*c.dragged.begin(), items.size());
        EXPECT_EQ(items[*c.dragged.begin()].label, c.label);
        const std::optional<platform::DraggingInfo> drag = writeItemsAtIndexes(items, c.dragged);
        ASSERT_TRUE(drag.has_value());
        EXPECT_EQ(drag->types(), (std::vector<std::string>{c.type, "itemType"}));
        EXPECT_TRUE(drag->dataForType(c.type).isEmpty());
        EXPECT_EQ(archivedCode(*drag), std::optional<std::int64_t>(c.code));
        // A bar's drop code finds what it looks for, and only a target of that type does.
        EXPECT_EQ(TOVPaletteTypes::itemCode(*drag), c.code);
        EXPECT_EQ(drag->availableTypeFromArray({barline, bar, note}), c.type);
    }
}

TEST(SymbolsPaletteTest, NoDragWithoutACellOrWithoutItsCodeOrType) {
    const Palette palette;
    const TOVPaletteItems& clefs = palette.paletteItemsArray()[Palette::Clefs];
    EXPECT_FALSE(writeItemsAtIndexes(clefs, {}).has_value());
    EXPECT_FALSE(writeItemsAtIndexes(clefs, {2}).has_value());
    TOVPaletteItems broken = clefs;
    broken[0].itemType.reset();
    broken[1].pBoardType.clear();
    EXPECT_FALSE(writeItemsAtIndexes(broken, {0}).has_value());
    EXPECT_FALSE(writeItemsAtIndexes(broken, {1}).has_value());
}

// Every category in tag order with its cell count; every icon is there and fits its cell.
TEST(SymbolsPaletteTest, TwelveCategoriesOfDraggableCellsWithTheirIcons) {
    const Palette palette;
    const std::vector<std::size_t> counts = {2, 14, 14, 25, 8, 16, 14, 4, 9, 2, 7, 4};
    const std::vector<int> categories = {
        TOVSymbolCategoryClef,      TOVSymbolCategoryKeySignature, TOVSymbolCategoryTimeSignature,
        TOVSymbolCategoryRehearsal, TOVSymbolCategoryBarline,      TOVSymbolCategoryRepeat,
        TOVSymbolCategoryDynamics,  TOVSymbolCategoryOctave,       TOVSymbolCategoryTempo,
        TOVSymbolCategoryPush,      TOVSymbolCategoryArticulation, TOVSymbolCategoryDrawingTool};
    ASSERT_EQ(palette.paletteItemsArray().size(), counts.size());
    for (std::size_t tag = 0; tag < counts.size(); ++tag) {
        const TOVPaletteItems& items = palette.paletteItemsArray()[tag];
        EXPECT_EQ(items.size(), counts[tag]) << "tag " << tag;
        for (const TOVPaletteItem& item : items) {
            SCOPED_TRACE(item.label);
            ASSERT_TRUE(item.itemType.has_value());
            EXPECT_EQ(*item.itemType & TOVSymbolCategoryMask, categories[tag]);
            EXPECT_NE(*item.itemType, TOVSymbolVoltaEnd);
            EXPECT_NE(*item.itemType, TOVSymbolBisEnd);
            ASSERT_FALSE(item.icon.isNull());
            EXPECT_LE(item.icon.size().width, TOVPaletteCollectionView::kCellSize.width);
            EXPECT_LE(item.icon.size().height, TOVPaletteCollectionView::kCellSize.height);
        }
    }
}

// A drop target in a window of its own that takes every symbol drag and keeps the last.
class DropTarget : public platform::View {
public:
    explicit DropTarget(const platform::Rect& frame) : View(frame) {
        registerForDraggedTypes(TOVPaletteTypes::allTypes());
    }
    std::vector<platform::DraggingInfo> drops;
    platform::DragOperation draggingEntered(const platform::DraggingInfo&) override {
        return platform::DragOperationCopy;
    }
    platform::DragOperation draggingUpdated(const platform::DraggingInfo&) override {
        return platform::DragOperationCopy;
    }
    bool performDragOperation(const platform::DraggingInfo& info) override {
        drops.push_back(info);
        return true;
    }
};

class SymbolsPaletteWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        target = std::make_shared<DropTarget>(platform::Rect(0, 0, 300, 200));
        document.setRootView(target);
        document.move(40, 40);
        document.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&document));
        document.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&document));
        palette.window()->move(document.frameGeometry().right() + 30, 40);
        palette.showUp();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(palette.window()));
    }

    QLabel* field(const char* name) const { return palette.window()->findChild<QLabel*>(name); }
    QToolButton* toolbarButton(int tag) const {
        platform::Toolbar* bar = palette.toolbar();
        return qobject_cast<QToolButton*>(
            bar->widgetForItem(bar->items()[static_cast<std::size_t>(tag)].get()));
    }
    // A real click on a cell or a toolbar button of the palette.
    void clickCell(std::size_t index) {
        TOVPaletteCollectionView* grid = palette.collectionView();
        grid->scrollToItem(index);
        uitest::WindowEvents(*grid->viewport()).click(grid->viewportCenterOfItem(index), time += 5000);
    }
    void clickCategory(int tag) {
        QToolButton* button = toolbarButton(tag);
        ASSERT_NE(button, nullptr);
        uitest::WindowEvents(*button).click(button->rect().center(), time += 5000);
    }

    // Toolbar actions travel through the application.
    platform::Application app;
    std::shared_ptr<DropTarget> target;
    platform::ViewHost document;
    Palette palette;
    ulong time = 1000;
};

TEST_F(SymbolsPaletteWindowTest, OpensOnTheClefsAndShowsTheLabelAndHintOfEveryCellClicked) {
    EXPECT_EQ(palette.toolbar()->selectedItemIdentifier(), "Clef");
    EXPECT_EQ(palette.category(), Palette::Clefs);
    EXPECT_EQ(palette.collectionView()->itemCount(), 2u);
    EXPECT_EQ(field("strLabel")->text(), "G Clef");
    EXPECT_EQ(field("strHint")->text(), "Drag it on the bar.");

    for (int tag = Palette::CategoryCount - 1; tag >= 0; --tag) {
        clickCategory(tag);
        ASSERT_EQ(palette.category(), static_cast<std::size_t>(tag));
        EXPECT_EQ(palette.toolbar()->selectedItemIdentifier(),
                  palette.toolbar()->items()[tag]->itemIdentifier());
        // One selected button in the bar.
        for (int other = 0; other < Palette::CategoryCount; ++other) {
            EXPECT_EQ(toolbarButton(other)->isChecked(), other == tag) << other;
        }
        const TOVPaletteItems& items = palette.paletteItems();
        ASSERT_EQ(palette.collectionView()->itemCount(), items.size());
        for (std::size_t i = items.size(); i-- > 0;) {
            clickCell(i);
            EXPECT_EQ(field("strLabel")->text().toStdString(), items[i].label);
            EXPECT_EQ(field("strHint")->text(), "Drag it on the bar.") << items[i].label;
            EXPECT_EQ(palette.strHint(), "Drag it on the bar.");
        }
    }
    // Beside the cells: nothing selected, empty texts.
    TOVPaletteCollectionView* grid = palette.collectionView();
    uitest::WindowEvents(*grid->viewport())
        .click(QPoint(grid->viewport()->width() - 2, grid->viewport()->height() - 2), time += 5000);
    EXPECT_TRUE(grid->selectionIndexes().empty());
    EXPECT_EQ(palette.strLabel(), "");
    EXPECT_EQ(field("strHint")->text(), "");
    // The palette never took the keyboard from the other window.
    EXPECT_TRUE(document.isActiveWindow());
    EXPECT_FALSE(palette.window()->isActiveWindow());
}

TEST_F(SymbolsPaletteWindowTest, ClosingAndShowingAgainKeepsTheCategoryAndTheSelection) {
    clickCategory(Palette::TimeSignatures);
    clickCell(4);
    ASSERT_EQ(palette.strLabel(), "C time");
    palette.window()->close();
    EXPECT_FALSE(palette.window()->isVisible());
    palette.showUp();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(palette.window()));
    EXPECT_EQ(palette.category(), Palette::TimeSignatures);
    EXPECT_EQ(palette.toolbar()->selectedItemIdentifier(), "Time");
    EXPECT_TRUE(toolbarButton(Palette::TimeSignatures)->isChecked());
    EXPECT_EQ(palette.collectionView()->selectionIndexes(), (IndexSet{4}));
    EXPECT_EQ(field("strLabel")->text(), "C time");
}

// The palette is not active: the first press selects the cell under it and a move of the drag distance
// drags it, out to the other window, which reads the cell's item; the keyboard stays there.
TEST_F(SymbolsPaletteWindowTest, TheFirstPressIntoTheInactivePaletteSelectsAndDragsTheCell) {
    clickCategory(Palette::Repeats);
    ASSERT_FALSE(palette.window()->isActiveWindow());
    TOVPaletteCollectionView* grid = palette.collectionView();
    const QPoint volta = grid->viewportCenterOfItem(7);
    uitest::RealDrag drag;
    const int before = drag.dragsStarted();
    drag.dragAlong({grid->viewport(), volta},
                   {grid->viewport(), volta + QPoint(QApplication::startDragDistance() + 2, 0)},
                   {{&document, QPointF(100, 80)}, {&document, QPointF(120, 90)}});
    EXPECT_EQ(drag.dragsStarted(), before + 1);
    EXPECT_EQ(grid->selectionIndexes(), (IndexSet{7}));
    EXPECT_EQ(palette.strLabel(), "Volta");
    ASSERT_EQ(target->drops.size(), 1u);
    EXPECT_EQ(target->drops[0].types(),
              (std::vector<std::string>{"TOVSymbolPaletteForBarViewData", "itemType"}));
    EXPECT_EQ(archivedCode(target->drops[0]), std::optional<std::int64_t>(TOVSymbolVoltaBegin));
    // The drag shows the cell as drawn, held where it was pressed.
    const platform::Size cell = TOVPaletteCollectionView::kCellSize;
    EXPECT_EQ(drag.lastImageSize(), QSize(int(cell.width), int(cell.height)));
    EXPECT_EQ(drag.lastHotSpot(), QPoint(int(cell.width / 2), int(cell.height / 2)));
    EXPECT_TRUE(document.isActiveWindow());
    EXPECT_FALSE(palette.window()->isActiveWindow());
}

// A press that does not move the drag distance is a click: no drag.
TEST_F(SymbolsPaletteWindowTest, APressThatMovesLessThanTheDragDistanceDragsNothing) {
    TOVPaletteCollectionView* grid = palette.collectionView();
    const QPoint cell = grid->viewportCenterOfItem(1);
    uitest::RealDrag drag;
    const int before = drag.dragsStarted();
    drag.press({grid->viewport(), cell});
    drag.moveTo({grid->viewport(), cell + QPoint(QApplication::startDragDistance() - 1, 0)});
    drag.release({grid->viewport(), cell + QPoint(QApplication::startDragDistance() - 1, 0)});
    EXPECT_EQ(drag.dragsStarted(), before);
    EXPECT_EQ(grid->selectionIndexes(), (IndexSet{1}));
    EXPECT_TRUE(target->drops.empty());
}

} // namespace
