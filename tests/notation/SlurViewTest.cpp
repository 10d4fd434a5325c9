#include "CurveGeometry.h"
#include "NoteSymbolFixture.h"
#include "model/SymbolInNote.h"
#include "model/TOVSymbolTypes.h"
#include "model/TOVUtils.h"
#include "notation/TOVSlurView.h"

#include <gtest/gtest.h>

using notationtest::expectHalfCircle;
using notationtest::HalfCircle;
using notationtest::NoteSymbolFixture;
using notationtest::subpathsOf;
using platform::DrawingCall;
using platform::Point;
using platform::Rect;

namespace {

constexpr double kEps = 1e-9;

// A slur of the stored frame on the fixture's tone.
std::shared_ptr<TOVSlurView> slurOf(NoteSymbolFixture& f, const Rect& frame, bool flip = false) {
    SymbolInNote* symbol = f.tone->createNewArticulationWithTypeFrame(TOVSymbolSlur, frame);
    symbol->setFlip(flip);
    return f.attach<TOVSlurView>(symbol);
}

platform::BezierPath bandOf(TOVSlurView& slur) {
    const auto fills = notationtest::fillsOf(slur);
    EXPECT_FALSE(fills.empty());
    if (fills.empty()) {
        return {};
    }
    EXPECT_EQ(fills[0].path.windingRule(), platform::WindingRule::EvenOdd);
    return fills[0].path;
}

TEST(SlurView, ADroppedSlurCurvesThroughItsEndsTwoInsideTheView) {
    const double r1 = 820.0 / 12.0; // (6² + 28²) / (2 × 6)
    const double r2 = 80.9;         // (5² + 28²) / (2 × 5)
    struct Case {
        bool flip;
        HalfCircle outer, inner;
        double endY;
    };
    const Case cases[] = {
        {false, {{30, 6 - r1}, r1, true}, {{30, -75.9}, r2, true}, 0.0},
        {true, {{30, r1 + 2}, r1, false}, {{30, r2 + 3}, r2, false}, 8.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.flip ? "flipped" : "not flipped");
        NoteSymbolFixture f;
        auto slur = slurOf(f, Rect(2, 5, 60, 8), c.flip);
        const auto outlines = subpathsOf(bandOf(*slur));
        ASSERT_EQ(outlines.size(), 2u);
        expectHalfCircle(outlines[0], c.outer);
        expectHalfCircle(outlines[1], c.inner);
        for (const auto& circle : {c.outer, c.inner}) {
            for (double x : {2.0, 58.0}) {
                EXPECT_NEAR(std::hypot(x - circle.centre.x, c.endY - circle.centre.y), circle.radius, 1e-9);
            }
        }
        // Unflipped it reaches down to 2.0 above the bottom edge; flipped up to 2.0 below the top.
        const platform::BezierPath band = bandOf(*slur);
        EXPECT_TRUE(band.containsPoint({30, c.flip ? 2.5 : 5.5}));
        EXPECT_FALSE(band.containsPoint({30, c.flip ? 3.5 : 4.5}));
    }
}

TEST(SlurView, AShortSlurTakesTwoHalfOvals) {
    // 10 × 8: a = 3 is not above b = 6.
    struct Case {
        bool flip;
        Rect outer, inner;
    };
    const Case cases[] = {
        {false, Rect(2.0, -6.0, 6.0, 12.0), Rect(2.2, -5.0, 5.6, 10.0)},
        {true, Rect(2.0, 2.0, 6.0, 12.0), Rect(2.2, 3.0, 5.6, 10.0)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.flip ? "flipped" : "not flipped");
        NoteSymbolFixture f;
        auto slur = slurOf(f, Rect(0, 0, 10, 8), c.flip);
        const auto outlines = subpathsOf(bandOf(*slur));
        ASSERT_EQ(outlines.size(), 2u);
        for (int i = 0; i < 2; ++i) {
            const Rect expected = i == 0 ? c.outer : c.inner;
            const Rect b = outlines[i].bounds();
            EXPECT_NEAR(b.x(), expected.x(), kEps);
            EXPECT_NEAR(b.y(), expected.y(), kEps);
            EXPECT_NEAR(b.width(), expected.width(), kEps);
            EXPECT_NEAR(b.height(), expected.height(), kEps);
        }
    }
}

TEST(SlurView, AStoredSlurTooLowForItsInnerCurveDrawsOnlyTheOuterOne) {
    // From a file a slur may be lower than a resize ever leaves it: 3.0 high leaves 1.0 for the curve,
    // 2.0 high nothing; no infinite radius reaches the drawing.
    const std::pair<double, std::size_t> cases[] = {{3.0, 1}, {2.0, 0}, {0.0, 0}};
    for (const auto& [height, count] : cases) {
        SCOPED_TRACE(height);
        NoteSymbolFixture f;
        auto slur = slurOf(f, Rect(0, 0, 60, height));
        platform::RecordingGraphicsContext ctx;
        slur->drawRect(slur->bounds(), ctx);
        // An empty path is not drawn at all.
        const auto fills = ctx.callsOfKind(DrawingCall::Kind::FillPath);
        ASSERT_EQ(fills.size(), count > 0 ? 1u : 0u);
        for (const auto& fill : fills) {
            EXPECT_EQ(subpathsOf(fill.path).size(), count);
            for (const auto& e : fill.path.elements()) {
                for (const auto& p : e.points) {
                    EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y));
                }
            }
        }
    }
}

TEST(SlurView, TheBandTakesTheStateColourAndASelectedSlurShowsItsHandles) {
    const std::pair<int, platform::Color> cases[] = {{0, TOVUtils::objectNormalColor()},
                                                     {1, TOVUtils::objectSelectedColor()},
                                                     {2, TOVUtils::objectTargetColor()}};
    for (const auto& [state, color] : cases) {
        SCOPED_TRACE(state);
        NoteSymbolFixture f;
        auto slur = slurOf(f, Rect(2, 5, 60, 8));
        slur->setState(state);
        platform::RecordingGraphicsContext ctx;
        slur->drawTree(slur->bounds(), ctx);
        const auto fills = ctx.callsOfKind(DrawingCall::Kind::FillPath);
        ASSERT_EQ(fills.size(), 1u);
        EXPECT_EQ(fills[0].color, color);
        // The corners of the frame (two arms each) on a selected or target slur, in its colour; the four
        // handle cells (top, rotate, bottom, pivot) only on a selected one.
        std::size_t marks = 0;
        std::size_t handles = 0;
        for (const auto& call : ctx.callsOfKind(DrawingCall::Kind::FillRect)) {
            ++(call.color == color ? marks : handles);
        }
        EXPECT_EQ(marks, state == 0 ? 0u : 8u);
        EXPECT_EQ(handles, state == 1 ? 4u : 0u);
    }
}

TEST(SlurView, FlippingTurnsTheStoredDirectionOverAndBack) {
    NoteSymbolFixture f;
    auto slur = slurOf(f, Rect(2, 5, 60, 8));
    const platform::BezierPath below = bandOf(*slur);
    slur->doFlip();
    EXPECT_TRUE(slur->symbol()->flip());
    EXPECT_TRUE(bandOf(*slur).containsPoint({30, 2.5}));
    slur->doFlip();
    EXPECT_FALSE(slur->symbol()->flip());
    EXPECT_EQ(bandOf(*slur), below);
    EXPECT_EQ(slur->frame(), Rect(132, 85, 60, 8));
}

TEST(SlurView, AnUpdateTurnsTheViewToTheStoredAngle) {
    NoteSymbolFixture f;
    auto slur = slurOf(f, Rect(2, 5, 60, 8));
    EXPECT_EQ(slur->frameRotation(), 0);
    slur->symbol()->setAngle(30);
    EXPECT_EQ(slur->frameRotation(), 0);
    slur->updateView();
    EXPECT_EQ(slur->frameRotation(), 30);
    EXPECT_EQ(slur->frame().origin, (Point{132, 85}));
}

TEST(SlurView, TheHandlesTurnAndStretchTheSlurAndStoreItRelativeToTheTone) {
    NoteSymbolFixture f;
    auto slur = slurOf(f, Rect(1.9, 6, 60, 8));
    ASSERT_NEAR(slur->frame().x(), 131.9, 1e-9);
    f.controller.objectViewShouldBeSelectedAndClearOthers(slur.get(), true);
    f.paint();
    f.controller.log.clear();
    // The rotate handle stands at the right middle (187.8..191.8, 88..92); the pivot at the left middle,
    // whose origin is (132, 88) in the editor.
    f.press({190, 90});
    f.moveTo({132, 128});
    f.release({132, 128});
    EXPECT_EQ(f.controller.log, (std::vector<std::string>{"complete"}));
    EXPECT_NEAR(slur->frameRotation(), 90, 1e-6);
    EXPECT_NEAR(slur->symbol()->angle(), 90, 1e-4);
    EXPECT_NEAR(slur->symbol()->frame().width(), 40, 1e-6);
    // The stored origin is the view's origin seen from the tone's data origin at (130, 80).
    const Rect stored = slur->symbol()->frame();
    EXPECT_NEAR(stored.x(), slur->frame().x() - 130, 1e-9);
    EXPECT_NEAR(stored.y(), slur->frame().y() - 80, 1e-9);
    EXPECT_NEAR(stored.height(), 8, 1e-9);
}

TEST(SlurView, TheBottomHandleDeepensTheSlur) {
    NoteSymbolFixture f;
    auto slur = slurOf(f, Rect(2, 6, 60, 8));
    f.controller.objectViewShouldBeSelectedAndClearOthers(slur.get(), true);
    f.paint();
    f.controller.log.clear();
    // The bottom handle: (160..164, 89.9..93.9).
    f.press({162, 92});
    f.moveTo({162, 98});
    f.release({162, 98});
    EXPECT_EQ(f.controller.log, (std::vector<std::string>{"complete"}));
    EXPECT_EQ(slur->symbol()->frame(), Rect(2, 6, 60, 12));
    EXPECT_EQ(slur->frame(), Rect(132, 86, 60, 12));
}

} // namespace
