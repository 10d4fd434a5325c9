#include "ViewFixture.h"
#include "glyphs/TOVRotatable2View.h"
#include "model/TOVSymbolTypes.h"

#include <gtest/gtest.h>

using glyphtest::ViewFixture;
using platform::Point;
using platform::Rect;

namespace {

constexpr double kEps = 1e-9;

// A line tool of 40 × 10 whose pivot handle stands at (70, 63) in the editor; its rotate handle is under
// (108, 65).
std::shared_ptr<TOVRotatable2View> addLine(ViewFixture& f) {
    auto view = f.add<TOVRotatable2View>(TOVToolLine, Rect(19.9, 20, 40, 10));
    f.controller.objectViewShouldBeSelectedAndClearOthers(view.get(), true);
    f.paint();
    return view;
}

Point pivotInEditor(const TOVRotatable2View& view, const ViewFixture& f) {
    for (const auto& cell : view.handleCellArray()) {
        if (cell->handleType() == 7) {
            return view.convertPointToView(cell->frame().origin, f.editor.get());
        }
    }
    return {};
}

TEST(RotatableView, TheRotateHandleTurnsAboutThePivotAndSetsTheLength) {
    struct Case {
        Point to;
        double angle;
        double length;
    };
    const Case cases[] = {
        {{70, 93}, 90, 30},  // straight down by 30
        {{75, 63}, 0, 15},   // too near: the minimum length
        {{110, 63}, 0, 40},  // level to the right
        {{30, 63}, 180, 40}, // level to the left
        {{40, 33}, -135, 42.426406871192853},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "to " << c.to.x << ", " << c.to.y);
        ViewFixture f;
        auto view = addLine(f);
        const Point pivot = pivotInEditor(*view, f);
        ASSERT_NEAR(pivot.x, 70, kEps);
        ASSERT_NEAR(pivot.y, 63, kEps);
        f.press({108, 65});
        f.moveTo(c.to);
        EXPECT_NEAR(view->frameRotation(), c.angle, kEps);
        EXPECT_NEAR(view->frame().width(), c.length, kEps);
        const Point after = pivotInEditor(*view, f);
        EXPECT_NEAR(after.x, 70, kEps);
        EXPECT_NEAR(after.y, 63, kEps);
        f.release(c.to);
        EXPECT_NEAR(view->symbol()->angle(), c.angle, kEps);
        EXPECT_NEAR(view->symbol()->frame().width(), c.length, kEps);
        // The press on the rotate handle neither selected nor moved.
        EXPECT_EQ(f.controller.log, (std::vector<std::string>{"select only", "complete"}));
    }
}

TEST(RotatableView, AReleaseWithoutTurningLeavesTheAngleAlone) {
    ViewFixture f;
    auto view = addLine(f);
    view->symbol()->setAngle(30);
    view->setFrameRotation(30);
    f.press({108, 65});
    f.release({108, 65});
    EXPECT_EQ(view->symbol()->angle(), 30);
}

TEST(RotatableView, ThePivotResizesAndAPressElsewhereMoves) {
    ViewFixture f;
    auto view = addLine(f);
    f.press({71, 65}); // the pivot handle: the left edge
    f.moveTo({61, 65});
    EXPECT_NEAR(view->frame().x(), 61, kEps); // the edge goes to the pointer
    EXPECT_NEAR(view->frame().width(), 48.9, kEps);
    EXPECT_EQ(view->frameRotation(), 0);
    f.release({61, 65});
    f.controller.log.clear();
    f.controller.objectViewShouldBeUnselected(view.get());
    f.press({85, 65});
    f.moveTo({88, 65});
    f.release({88, 65});
    EXPECT_EQ(f.controller.log, (std::vector<std::string>{"unselect", "select only", "complete"}));
    EXPECT_NEAR(view->frame().x(), 64, kEps);
}

} // namespace
