#include "ViewFixture.h"
#include "glyphs/TOVRotatable2View.h"
#include "model/TOVSymbolTypes.h"
#include "model/TOVUtils.h"
#include "platform/ui/Cursor.h"

#include <gtest/gtest.h>

using glyphtest::ViewFixture;
using platform::Point;
using platform::Rect;
using platform::Size;

namespace {

platform::BezierPath box(double w, double h) {
    return platform::BezierPath::withRect(Rect(0, 0, w, h));
}

// A fixed-ratio view of natural size 20 × 10 shown at scale 2: editor frame (70, 60, 40, 20).
std::shared_ptr<TOVResizableFixedView> addFixed(ViewFixture& f) {
    auto view = f.add<TOVResizableFixedView>(TOVSymbolDynamicsFFF, Rect(20, 20, 40, 20), Size{20, 10});
    view->setBezierPath(box(40, 20));
    f.controller.objectViewShouldBeSelectedAndClearOthers(view.get(), true);
    f.paint();
    return view;
}

TEST(ResizeHandleCell, HitsIncludeTheEdges) {
    TOVResizeHandleCell cell(Rect(10, 20, 4, 4), 0);
    EXPECT_TRUE(cell.hitTestInFrame({10, 20}));
    EXPECT_TRUE(cell.hitTestInFrame({14, 24}));
    EXPECT_FALSE(cell.hitTestInFrame({14.001, 22}));
    EXPECT_FALSE(cell.hitTestInFrame({12, 19.999}));
}

TEST(ResizableView, CellsSitAtTheirCornersAndEdges) {
    TOVResizableFixedView fixed(Rect(0, 0, 40, 20));
    TOVResizableFreeView free(Rect(0, 0, 40, 20));
    TOVRotatable2View rotatable(Rect(0, 0, 40, 20));
    for (auto* view : std::initializer_list<TOVResizableView*>{&fixed, &free, &rotatable}) {
        view->updatePositionOfHandleCells();
    }
    auto origins = [](const TOVResizableView& view) {
        std::vector<std::pair<int, Point>> result;
        for (const auto& cell : view.handleCellArray()) {
            result.emplace_back(cell->handleType(), cell->frame().origin);
            EXPECT_EQ(cell->frame().size, (Size{4, 4}));
        }
        return result;
    };
    using Cells = std::vector<std::pair<int, Point>>;
    EXPECT_EQ(origins(fixed),
              (Cells{{0, {0.1, 0.1}}, {1, {35.9, 0.1}}, {2, {35.9, 15.9}}, {3, {0.1, 15.9}}}));
    EXPECT_EQ(origins(free), (Cells{{4, {18, 0.1}}, {5, {35.9, 8}}, {6, {18, 15.9}}, {7, {0.1, 8}}}));
    EXPECT_EQ(origins(rotatable), (Cells{{8, {35.9, 8}}, {7, {0.1, 8}}}));
}

TEST(ResizableFixedView, CornerDragsKeepTheRatioAndTheOppositeCorner) {
    struct Case {
        const char* name;
        Point press, to;
        Rect expected;
    };
    // The smaller change drives the scale: 9 across and 1 down gives 2.1 from the height.
    const Case cases[] = {
        {"bottom-right", {109, 79}, {119, 81}, Rect(70, 60, 42, 21)},
        {"top-left", {71, 61}, {61, 59}, Rect(68, 59, 42, 21)},
        {"top-right", {109, 61}, {119, 59}, Rect(70, 59, 42, 21)},
        {"bottom-left", {71, 79}, {61, 81}, Rect(68, 60, 42, 21)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ViewFixture f;
        auto view = addFixed(f);
        f.press(c.press);
        f.moveTo(c.to);
        EXPECT_EQ(view->frame(), c.expected);
        EXPECT_EQ(view->bezierPath()->bounds().size, c.expected.size);
        f.release(c.to);
        // No selection request or move came from the press on the handle; the release wrote the scale.
        EXPECT_EQ(f.controller.log, (std::vector<std::string>{"select only", "complete"}));
        // The store keeps the scale in single precision.
        EXPECT_DOUBLE_EQ(view->symbol()->scale(), static_cast<float>(2.1));
        EXPECT_EQ(view->symbol()->frame(), c.expected.offsetBy(-50, -40));
    }
}

TEST(ResizableFixedView, ShrinkingStopsAtTheLastSizeOfAtLeastFour) {
    ViewFixture f;
    auto view = addFixed(f);
    f.press({109, 79});
    f.moveTo({100, 75}); // scale 1.5
    EXPECT_EQ(view->frame(), Rect(70, 60, 30, 15));
    f.moveTo({80, 66}); // scale 0.6
    EXPECT_EQ(view->frame(), Rect(70, 60, 12, 6));
    f.moveTo({75, 63}); // scale 0.3 would be 6 × 3
    EXPECT_EQ(view->frame(), Rect(70, 60, 12, 6));
    f.release({75, 63});
    EXPECT_DOUBLE_EQ(view->symbol()->scale(), static_cast<float>(0.6));
    // The model rebuilds the same frame from the natural size and the scale (single precision).
    view->setFrame(Rect());
    view->updateView();
    const Rect rebuilt = view->frame();
    EXPECT_EQ(rebuilt.origin, (Point{70, 60}));
    EXPECT_NEAR(rebuilt.size.width, 12, 1e-5);
    EXPECT_NEAR(rebuilt.size.height, 6, 1e-5);
}

TEST(ResizableFixedView, AScaleOfZeroShowsTheStoredFrameAndNoNaturalSizeNeverDivides) {
    ViewFixture f;
    auto view = f.add<TOVResizableFixedView>(TOVSymbolDynamicsFFF, Rect(20, 20, 40, 20));
    EXPECT_EQ(view->symbol()->scale(), 0);
    EXPECT_EQ(view->frame(), Rect(70, 60, 40, 20));
    // Without a natural size a corner drag and a release leave frame and scale as they were.
    f.controller.objectViewShouldBeSelectedAndClearOthers(view.get(), true);
    f.press({109, 79});
    f.moveTo({119, 81});
    f.release({119, 81});
    EXPECT_EQ(view->frame(), Rect(70, 60, 40, 20));
    EXPECT_EQ(view->symbol()->scale(), 0);
    // A glyph of zero size is not stretched to an infinite one.
    view->setBezierPath(platform::BezierPath());
    view->updateView();
    EXPECT_TRUE(view->bezierPath()->isEmpty());
}

TEST(ResizableFixedView, WithoutADelegateAHandleDragChangesNothing) {
    ViewFixture f;
    auto view = addFixed(f);
    view->setDelegate(nullptr);
    f.press({109, 79});
    f.moveTo({119, 81});
    EXPECT_EQ(view->frame(), Rect(70, 60, 40, 20));
    f.release({119, 81});
}

TEST(ResizableFreeView, TheRightEdgeWidensAndStretchesTheGlyphAcrossOnly) {
    ViewFixture f;
    auto view = f.add<TOVResizableFreeView>(TOVSymbolCrescendo, Rect(20, 20, 40, 20));
    view->setBezierPath(box(40, 20));
    f.controller.objectViewShouldBeSelectedAndClearOthers(view.get(), true);
    f.paint();
    f.press({109, 70}); // the right edge handle
    f.moveTo({119, 72});
    // The edge goes to the pointer: 9 wider.
    EXPECT_EQ(view->frame(), Rect(70, 60, 49, 20));
    EXPECT_EQ(view->bezierPath()->bounds(), Rect(0, 0, 49, 20));
    f.moveTo({160, 72});
    f.release({160, 72});
    EXPECT_EQ(view->symbol()->frame(), Rect(20, 20, 90, 20));
    // The left edge keeps the right edge in place and stops at the minimum width.
    f.press({71, 70});
    f.moveTo({200, 70});
    EXPECT_EQ(view->frame(), Rect(70, 60, 90, 20));
    f.moveTo({140, 70});
    EXPECT_EQ(view->frame(), Rect(140, 60, 20, 20));
    f.release({140, 70});
}

TEST(ResizableView, ASelectedViewGivesEachHandleTheCursorOfItsDirection) {
    TOVUtils::Services services;
    services.makeCursor = [](const std::string& image, Point hotSpot) {
        return std::make_shared<platform::Cursor>(platform::Cursor::fromImageFile(image, hotSpot));
    };
    TOVUtils::registerServices(services);
    {
        ViewFixture f;
        auto view = addFixed(f);
        platform::Cursor cursor;
        ASSERT_TRUE(f.host.cursorAt({108, 78}, cursor)); // bottom-right
        EXPECT_NE(cursor.imagePath().find("cursorRightDown"), std::string::npos);
        ASSERT_TRUE(f.host.cursorAt({108, 62}, cursor)); // top-right
        EXPECT_NE(cursor.imagePath().find("cursorRightUp"), std::string::npos);
        EXPECT_FALSE(f.host.cursorAt({90, 70}, cursor));
    }
    TOVUtils::registerServices({});
}

} // namespace
