// The frame around a set of object views: what a set allows, and moving, resizing and turning the set by
// mouse drags on a real window.

#include "glyphs/TOVMovableView.h"
#include "glyphs/TOVResizableFixedView.h"
#include "glyphs/TOVResizableFreeView.h"
#include "glyphs/TOVResizeHandleCell.h"
#include "glyphs/TOVRotatable2View.h"
#include "glyphs/TOVRotatable4View.h"
#include "layout/TOVObjectsFrameView.h"
#include "model/Bar.h"
#include "model/Document.h"
#include "model/Symbol.h"
#include "model/SymbolTools.h"
#include "model/TOVSymbolTypes.h"
#include "platform/graphics/RecordingGraphicsContext.h"
#include "platform/ui/ViewHost.h"
#include "platform/ui/WindowEvents.h"
#include "support/LayoutBuilder.h"
#include "support/SongBuilder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

using platform::Point;
using platform::Rect;
using platform::Size;

namespace {

enum class Kind { Fixed, Free, Movable, Still, Arrow, Line, Wave };

// Object views of bar 0 and drawing tools of a real song, with their symbols, in a root view shown in a
// window; mouse input goes through the window system (host coordinates are the root's).
class ObjectsFrameViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        host.setRootView(root);
        input = std::make_unique<uitest::WindowEvents>(host);
    }

    std::shared_ptr<TOVObjectView> add(Kind kind, const Rect& frame) {
        Bar* bar = tovtest::findBar(song.document, 0);
        std::shared_ptr<TOVObjectView> view;
        Symbol* symbol = nullptr;
        switch (kind) {
        case Kind::Fixed:
            view = std::make_shared<TOVResizableFixedView>(frame);
            symbol = bar->createNewSymbolWithTypeFrame(TOVSymbolDynamicsFFF, frame);
            break;
        case Kind::Free:
            view = std::make_shared<TOVResizableFreeView>(frame);
            symbol = bar->createNewSymbolWithTypeFrame(TOVSymbolOctave8va, frame);
            break;
        case Kind::Movable:
            view = std::make_shared<TOVMovableView>(frame);
            symbol = bar->createNewSymbolWithTypeFrame(TOVSymbolMarkIntro, frame);
            break;
        case Kind::Still:
            view = std::make_shared<TOVObjectView>(frame);
            break;
        case Kind::Arrow:
            view = std::make_shared<TOVRotatable2View>(frame);
            symbol = song.document->createNewSymbolToolsWithTypeFrame(TOVToolArrow, frame);
            break;
        case Kind::Line:
            view = std::make_shared<TOVRotatable2View>(frame);
            symbol = song.document->createNewSymbolToolsWithTypeFrame(TOVToolLine, frame);
            break;
        case Kind::Wave:
            view = std::make_shared<TOVRotatable4View>(frame);
            symbol = song.document->createNewSymbolToolsWithTypeFrame(TOVToolWave, frame);
            break;
        }
        root->addSubview(view);
        if (symbol != nullptr) {
            view->setSymbol(symbol);
        }
        return view;
    }
    std::shared_ptr<TOVObjectsFrameView> frameAround(TOVObjectsFrameView::ViewSet views) {
        auto frameView = std::make_shared<TOVObjectsFrameView>(std::move(views));
        root->addSubview(frameView);
        return frameView;
    }
    static std::vector<int> handleTypes(const TOVObjectsFrameView& frameView) {
        std::vector<int> types;
        for (const auto& cell : frameView.handleCellArray()) {
            types.push_back(cell->handleType());
        }
        return types;
    }
    // The middle of the frame's handle of the type, in host coordinates.
    static Point handleInHost(const TOVObjectsFrameView& frameView, int type) {
        for (const auto& cell : frameView.handleCellArray()) {
            if (cell->handleType() == type) {
                const Rect r = cell->frame();
                return frameView.convertPointToView(Point{r.midX(), r.midY()}, nullptr);
            }
        }
        ADD_FAILURE() << "no handle " << type;
        return {};
    }
    static Point pivotInHost(const TOVObjectsFrameView& frameView) {
        for (const auto& cell : frameView.handleCellArray()) {
            if (cell->handleType() == 7) {
                return frameView.convertPointToView(cell->frame().origin, nullptr);
            }
        }
        ADD_FAILURE() << "no pivot";
        return {};
    }

    void press(Point p) {
        time += 5000;
        input->press({p.x, p.y}, Qt::LeftButton, time);
    }
    void moveTo(Point p) { input->move({p.x, p.y}, ++time); }
    void release(Point p) { input->release({p.x, p.y}, Qt::LeftButton, ++time); }
    // One step, so that a change the frame refuses leaves it as it was before the drag.
    void drag(Point from, Point to) {
        press(from);
        moveTo(to);
        release(to);
    }

    tovtest::TestSong song;
    std::shared_ptr<TOVEditorViewBase> root = std::make_shared<TOVEditorViewBase>(Rect(0, 0, 400, 300));
    platform::ViewHost host;
    std::unique_ptr<uitest::WindowEvents> input;
    unsigned long time = 1000;
};

TEST_F(ObjectsFrameViewTest, WhatASetAllowsGivesItsHandles) {
    struct Case {
        const char* what;
        std::vector<Kind> kinds;
        int type;
        std::vector<int> handles;
    };
    const Case cases[] = {
        {"nothing", {}, 0, {}},
        {"aspect-keeping views", {Kind::Fixed, Kind::Fixed}, 48, {0, 1, 2, 3}},
        {"free views", {Kind::Free, Kind::Free}, 49, {4, 5, 6, 7}},
        {"an arrow", {Kind::Arrow}, 112, {8, 7}},
        {"a wave", {Kind::Wave}, 113, {4, 8, 6, 7}},
        {"two drawing tools", {Kind::Arrow, Kind::Line}, 16, {}},
        {"a drawing tool and a resizable symbol", {Kind::Arrow, Kind::Fixed}, 16, {}},
        {"a resizable symbol and a drawing tool", {Kind::Fixed, Kind::Arrow}, 16, {}},
        {"aspect-keeping and free views", {Kind::Fixed, Kind::Free}, 16, {}},
        {"a plain movable view", {Kind::Movable}, 16, {}},
        {"a view that cannot move among others", {Kind::Fixed, Kind::Still, Kind::Movable}, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TOVObjectsFrameView::ViewSet views;
        double x = 20;
        for (Kind kind : c.kinds) {
            views.push_back(add(kind, Rect(x, 30, 25, 10)));
            x += 40;
        }
        TOVObjectsFrameView frameView(views);
        EXPECT_EQ(frameView.objectsType(), c.type);
        EXPECT_EQ(handleTypes(frameView), c.handles);
        // The frame holds the whole set.
        EXPECT_EQ(frameView.frame(), c.kinds.empty() ? Rect() : Rect(20, 30, x - 40 + 25 - 20, 10));

        // Only sets that move or resize are framed.
        platform::RecordingGraphicsContext ctx;
        frameView.drawRect(frameView.bounds(), ctx);
        const bool framed = c.type == 16 || c.type == 48 || c.type == 49;
        EXPECT_EQ(ctx.callsOfKind(platform::DrawingCall::Kind::FrameRect).size(), framed ? 1u : 0u);
    }
}

TEST_F(ObjectsFrameViewTest, ARotatableSetTakesTheAngleOfItsSymbol) {
    auto wave = add(Kind::Wave, Rect(100, 100, 60, 12));
    wave->symbol()->setAngle(30);
    const TOVObjectsFrameView frameView({wave});
    EXPECT_EQ(frameView.frameRotation(), 30.0);
}

TEST_F(ObjectsFrameViewTest, ADragInsideMovesTheFrameAndEveryViewAndReleaseCommitsTheirFrames) {
    auto a = add(Kind::Fixed, Rect(50, 50, 20, 20));
    auto b = add(Kind::Fixed, Rect(100, 80, 30, 30));
    auto frameView = frameAround({a, b});
    ASSERT_EQ(frameView->frame(), Rect(50, 50, 80, 60));

    press({90, 60});
    moveTo({100, 65});
    moveTo({105, 70});
    EXPECT_TRUE(frameView->isMoving());
    EXPECT_EQ(frameView->frame(), Rect(65, 60, 80, 60));
    EXPECT_EQ(a->frame(), Rect(65, 60, 20, 20));
    EXPECT_EQ(b->frame(), Rect(115, 90, 30, 30));
    // Nothing is written while dragging.
    EXPECT_EQ(a->symbol()->frame(), Rect(50, 50, 20, 20));
    release({105, 70});
    EXPECT_FALSE(frameView->isMoving());
    EXPECT_EQ(a->symbol()->frame(), Rect(65, 60, 20, 20));
    EXPECT_EQ(b->symbol()->frame(), Rect(115, 90, 30, 30));
}

TEST_F(ObjectsFrameViewTest, ASetWithAViewThatCannotMoveStaysWhereItIs) {
    auto a = add(Kind::Fixed, Rect(50, 50, 20, 20));
    auto still = add(Kind::Still, Rect(100, 80, 30, 30));
    auto frameView = frameAround({a, still});
    ASSERT_EQ(frameView->objectsType(), 0);
    drag({90, 60}, {140, 100});
    EXPECT_EQ(frameView->frame(), Rect(50, 50, 80, 60));
    EXPECT_EQ(a->frame(), Rect(50, 50, 20, 20));
    EXPECT_EQ(a->symbol()->frame(), Rect(50, 50, 20, 20));
}

// A frame of (50, 50, 80, 60) around two views of one kind, one handle dragged by an offset.
struct ResizeCase {
    const char* what;
    Kind kind;
    int handle;
    Point by;
    Rect expected;
};

TEST_F(ObjectsFrameViewTest, CornerHandlesScaleEvenlyAndEdgeHandlesOneAxisNeverBelowTheMinimum) {
    const ResizeCase cases[] = {
        // The smaller pull (10 down) sets the scale 70 / 60 for both axes.
        {"bottom-right corner", Kind::Fixed, 2, {40, 10}, Rect(50, 50, 80 * 70.0 / 60, 70)},
        // The smaller pull (20 left) sets 100 / 80; the bottom-right corner stays put.
        {"top-left corner", Kind::Fixed, 0, {-20, -30}, Rect(30, 35, 100, 75)},
        {"top-right corner", Kind::Fixed, 1, {8, 60}, Rect(50, 44, 88, 66)},
        {"bottom-left corner", Kind::Fixed, 3, {-16, 40}, Rect(34, 50, 96, 72)},
        {"a corner pulled below 4 high", Kind::Fixed, 2, {-78, -58}, Rect(50, 50, 80, 60)},
        {"left edge", Kind::Free, 7, {-10, 5}, Rect(40, 50, 90, 60)},
        {"bottom edge", Kind::Free, 6, {7, 15}, Rect(50, 50, 80, 75)},
        {"top edge", Kind::Free, 4, {0, -12}, Rect(50, 38, 80, 72)},
        {"right edge pulled below 4 wide", Kind::Free, 5, {-77, 0}, Rect(50, 50, 80, 60)},
        {"top edge pulled below 4 high", Kind::Free, 4, {0, 57}, Rect(50, 50, 80, 60)},
    };
    for (const ResizeCase& c : cases) {
        SCOPED_TRACE(c.what);
        auto a = add(c.kind, Rect(50, 50, 20, 20));
        auto b = add(c.kind, Rect(100, 80, 30, 30));
        auto frameView = frameAround({a, b});
        ASSERT_EQ(frameView->frame(), Rect(50, 50, 80, 60));
        const Point from = handleInHost(*frameView, c.handle);
        drag(from, Point{from.x + c.by.x, from.y + c.by.y});
        const Rect f = frameView->frame();
        EXPECT_NEAR(f.x(), c.expected.x(), 1e-9);
        EXPECT_NEAR(f.y(), c.expected.y(), 1e-9);
        EXPECT_NEAR(f.width(), c.expected.width(), 1e-9);
        EXPECT_NEAR(f.height(), c.expected.height(), 1e-9);
        EXPECT_EQ(frameView->activeHandle(), nullptr);
        a->removeFromSuperview();
        b->removeFromSuperview();
        frameView->removeFromSuperview();
    }
}

TEST_F(ObjectsFrameViewTest, TheRotateHandleTurnsAboutThePivotAndNeverLeavesTheWidthBelow15) {
    struct Case {
        const char* what;
        Point fromPivot;
        double degrees;
        double width;
    };
    const Case cases[] = {
        {"straight down", {0, 50}, 90, 50},
        {"level to the right", {30, 0}, 0, 30},
        {"level to the left", {-40, 0}, 180, 40},
        {"close to the pivot", {6, 8}, std::atan2(8.0, 6.0) * 180 / std::numbers::pi, 15},
        {"on the pivot", {0, 0}, 0, 15},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // The pivot handle's origin lies 0.1 inside the frame's left edge; the window system hands on
        // whole pixels, so the frame is placed to put the pivot on one.
        auto arrow = add(Kind::Arrow, Rect(99.9, 98, 40, 10));
        auto frameView = frameAround({arrow});
        ASSERT_EQ(frameView->objectsType(), 112);
        const Point pivot = pivotInHost(*frameView);
        ASSERT_EQ(pivot, (Point{100, 101}));

        drag(handleInHost(*frameView, 8), Point{pivot.x + c.fromPivot.x, pivot.y + c.fromPivot.y});
        EXPECT_NEAR(frameView->frameRotation(), c.degrees, 1e-9);
        EXPECT_NEAR(frameView->frame().width(), c.width, 1e-9);
        EXPECT_EQ(frameView->frame().height(), 10.0);
        const Point after = pivotInHost(*frameView);
        EXPECT_NEAR(after.x, pivot.x, 1e-9);
        EXPECT_NEAR(after.y, pivot.y, 1e-9);
        // The frame does not pass a rotation on to the view it holds.
        EXPECT_EQ(arrow->frame(), Rect(99.9, 98, 40, 10));
        arrow->removeFromSuperview();
        frameView->removeFromSuperview();
    }
}

} // namespace
