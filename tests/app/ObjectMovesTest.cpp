// Drawing tools following the bar beneath them, the arrow keys' nudges by zoom and the placement grid at
// the editor view controller.
#include "EditorControllerFixture.h"

#include "glyphs/TOVObjectView.h"
#include "model/Bar.h"
#include "model/Symbol.h"
#include "model/SymbolTools.h"
#include "model/TOVSymbolTypes.h"

#include <limits>

namespace {

using apptest::EditorControllerFixture;
using apptest::singleLines;
using platform::Point;
using platform::Rect;
using tovtest::findBar;

class ObjectMovesTest : public EditorControllerFixture {
protected:
    void SetUp() override {
        EditorControllerFixture::SetUp();
        bind(singleLines(2));
    }
    // A line tool on the page at the frame (editor-view coordinates) with its view.
    std::shared_ptr<TOVObjectView> tool(const Rect& frame) {
        Symbol* symbol = document->createNewSymbolToolsWithTypeFrame(TOVToolLine, frame);
        editor().restoreSymbolViewFor(symbol);
        auto view = editor().objectViewFromData(symbol);
        if (view) {
            view->setFrame(frame);
        }
        return view;
    }
    Rect inEditor(TOVEditorBarView* bar) {
        return bar->superview()->convertRectToView(bar->frame(), &editor());
    }
    static SymbolTools* toolsOf(const std::shared_ptr<TOVObjectView>& view) {
        return dynamic_cast<SymbolTools*>(view->symbol());
    }
};

TEST_F(ObjectMovesTest, AToolFollowsTheBarItOverlapsMost) {
    const Rect b2 = inEditor(barView(2));
    const Rect b3 = inEditor(barView(3));
    const Rect b7 = inEditor(barView(7));
    struct Case {
        const char* name;
        Rect frame;
        std::uint64_t bar;
    };
    const double gap = b3.x() - b2.maxX();
    const double y = b3.y() + 10.0;
    // Across the line break: as much of the tool over bar 3 as over bar 7, then more over bar 7.
    const double down = b3.maxY() - 10.0;
    const std::vector<Case> cases = {
        {"40 over bar 2, 60 over bar 3", Rect(b2.maxX() - 4.0, y, gap + 10.0, 10.0), 3},
        {"60 over bar 2, 40 over bar 3", Rect(b2.maxX() - 6.0, y, gap + 10.0, 10.0), 2},
        {"equal across the lines", Rect(b3.x() + 5.0, down, 20.0, b7.y() + 10.0 - down), 3},
        {"more on the next line", Rect(b3.x() + 5.0, down, 20.0, b7.y() + 12.0 - down), 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto view = tool(c.frame);
        ASSERT_NE(view, nullptr);
        controller->objectViewFrameDidChange(view.get());
        SymbolTools* symbol = toolsOf(view);
        ASSERT_NE(symbol->barFollowsTo(), nullptr);
        EXPECT_EQ(symbol->barFollowsTo()->num(), c.bar);
        const Point expected = barView(c.bar)->convertPointFromView(c.frame.origin, &editor());
        EXPECT_NEAR(symbol->frameRelativeToBar().x(), expected.x, 1e-9);
        EXPECT_NEAR(symbol->frameRelativeToBar().y(), expected.y, 1e-9);
        EXPECT_EQ(symbol->frameRelativeToBar().size, c.frame.size);
    }
}

TEST_F(ObjectMovesTest, AToolInTheMarginFollowsNoBarAndKeepsItsFrame) {
    const Rect b1 = inEditor(barView(1));
    const auto view = tool(Rect(b1.x() + 5.0, b1.y() + 10.0, 30.0, 10.0));
    controller->objectViewFrameDidChange(view.get());
    SymbolTools* symbol = toolsOf(view);
    ASSERT_EQ(symbol->barFollowsTo(), findBar(document, 1));
    const Rect relative = symbol->frameRelativeToBar();
    const Rect page = editor().pageViewArray().front()->frame();
    const Rect margin(page.x() + 4.0, page.y() + 2.0, 30.0, 6.0);
    view->setFrame(margin);
    controller->objectViewFrameDidChange(view.get());
    EXPECT_EQ(symbol->barFollowsTo(), nullptr);
    EXPECT_EQ(symbol->frameRelativeToBar(), relative);
    EXPECT_EQ(controller->toolsViewInquireOrigin(view.get()), margin.origin);
}

TEST_F(ObjectMovesTest, AToolMovesWithItsBarAndRebuildingWritesNothing) {
    const Rect b5 = inEditor(barView(5));
    const auto view = tool(Rect(b5.x() + 7.0, b5.y() + 10.0, 30.0, 10.0));
    SymbolTools* symbol = toolsOf(view);
    step([&] { controller->objectViewFrameDidChange(view.get()); });
    ASSERT_EQ(symbol->barFollowsTo(), findBar(document, 5));
    const Rect relative = symbol->frameRelativeToBar();

    // Rebuilding every view re-attaches the tools; an unchanged attachment is not written again.
    const std::uint64_t count = undo().changeCount();
    step([&] { controller->refreshAll(); });
    EXPECT_EQ(undo().changeCount(), count);

    // Two bars on the line instead of four: bar 5 moves, and the tool with it.
    controller->selectBar(TOVBarId{4, false});
    step([&] { controller->setNumberOfBarsInSelectedLine(2); });
    TOVEditorBarView* moved = controller->barViewFromBar(findBar(document, 5));
    ASSERT_NE(moved, nullptr);
    EXPECT_NE(inEditor(moved).origin, b5.origin);
    const auto rebuilt = editor().objectViewFromData(symbol);
    ASSERT_NE(rebuilt, nullptr);
    EXPECT_EQ(symbol->barFollowsTo(), findBar(document, 5));
    const Point expected = moved->convertPointToView(relative.origin, &editor());
    EXPECT_NEAR(controller->toolsViewInquireOrigin(rebuilt.get()).x, expected.x, 1e-9);
    EXPECT_NEAR(controller->toolsViewInquireOrigin(rebuilt.get()).y, expected.y, 1e-9);
}

TEST_F(ObjectMovesTest, ArrowKeysMoveEverySelectedSignByTheStepOfTheZoom) {
    Bar* bar = findBar(document, 1);
    Symbol* dynamics = bar->createNewSymbolWithTypeFrame(TOVSymbolDynamicsF, Rect(20, 60, 0, 0));
    barView(1)->createDynamicsViewOfDataSelect(TOVSymbolDynamicsF, dynamics, false);
    const Rect b2 = inEditor(barView(2));
    const auto line = tool(Rect(b2.x() + 5.0, b2.y() + 10.0, 30.0, 10.0));
    struct Case {
        double zoom, step;
    };
    for (const Case& c : {Case{8.0, 0.25}, Case{4.0, 0.5}, Case{2.0, 1.0}, Case{1.0, 2.0}, Case{1.5, 2.0}}) {
        SCOPED_TRACE(c.zoom);
        controller->setScale({c.zoom, c.zoom});
        EXPECT_EQ(controller->diffMovingByArrowKey(), c.step);
        ASSERT_TRUE(editor().selectObjectViewsClearOthers(
            {barView(1)->objectViewFromData(dynamics), editor().objectViewFromData(line->symbol())}, true));
        const Point before = dynamics->frame().origin;
        const Point toolBefore = line->symbol()->frame().origin;
        step([&] { controller->moveObjectsSlightlyRight(); });
        step([&] { controller->moveObjectsSlightlyDown(); });
        EXPECT_NEAR(dynamics->frame().origin.x, before.x + c.step, 1e-9);
        EXPECT_NEAR(dynamics->frame().origin.y, before.y + c.step, 1e-9);
        EXPECT_NEAR(line->symbol()->frame().origin.x, toolBefore.x + c.step, 1e-9);
        step([&] { controller->moveObjectsSlightlyLeft(); });
        step([&] { controller->moveObjectsSlightlyUp(); });
        EXPECT_NEAR(dynamics->frame().origin.x, before.x, 1e-9);
        EXPECT_NEAR(dynamics->frame().origin.y, before.y, 1e-9);
        // Each press is a committed change of its own.
        undoStep();
        EXPECT_NEAR(dynamics->frame().origin.y, before.y + c.step, 1e-9);
        redoStep();
    }
}

TEST_F(ObjectMovesTest, GridPointsSnapFromThePageEdgeAndStayOnThePage) {
    auto& page = *editor().pageViewArray().front();
    Rect frame = page.frame();
    frame.origin.x = 15.0;
    frame.size.width = 597.0;
    page.setFrame(frame);
    const double y = frame.y() + 40.0;
    struct Case {
        double x, expected;
    };
    for (const Case& c : {Case{29.9, 25.0}, Case{30.0, 35.0}, Case{25.0, 25.0},
                          Case{15.0 + 596.0, 15.0 + 590.0}, Case{15.0 + 584.0, 15.0 + 580.0}}) {
        SCOPED_TRACE(c.x);
        const Point snapped = controller->objectViewInquireNearestGridFromPos(nullptr, {c.x, y});
        EXPECT_EQ(snapped.x, c.expected);
        EXPECT_EQ(snapped.y, frame.y() + 40.0);
    }
    const Point off = controller->objectViewInquireNearestGridFromPos(nullptr, {frame.x() - 3.0, y});
    EXPECT_EQ(off.x, std::numeric_limits<double>::max());
    EXPECT_EQ(off.y, std::numeric_limits<double>::max());
}

} // namespace
