#include "CurveGeometry.h"
#include "NoteSymbolFixture.h"
#include "model/TOVStaffMetrics.h"
#include "model/TOVUtils.h"
#include "notation/TOVNoteTieView.h"

#include <gtest/gtest.h>

using notationtest::expectHalfCircle;
using notationtest::expectRectNear;
using notationtest::fillsOf;
using notationtest::HalfCircle;
using notationtest::subpathsOf;
using platform::DrawingCall;
using platform::Point;
using platform::Rect;

namespace {

std::shared_ptr<TOVNoteTieView> tieOf(double w, double h, bool flip) {
    auto tie = std::make_shared<TOVNoteTieView>(Rect(0, 0, w, h));
    tie->setFlip(flip);
    return tie;
}

// The one fill of a tie, which must be the even-odd band drawn inside the view's bounds.
platform::BezierPath bandOf(TOVNoteTieView& tie) {
    platform::RecordingGraphicsContext ctx;
    tie.drawTree(tie.bounds(), ctx);
    const auto fills = ctx.callsOfKind(DrawingCall::Kind::FillPath);
    EXPECT_EQ(fills.size(), 1u);
    if (fills.empty()) {
        return {};
    }
    EXPECT_EQ(fills[0].path.windingRule(), platform::WindingRule::EvenOdd);
    // The last clip before the fill keeps the outlines, which reach far out, inside the view.
    const DrawingCall* clip = nullptr;
    for (const auto& call : ctx.calls()) {
        if (call.kind == DrawingCall::Kind::ClipToRect) {
            clip = &call;
        } else if (call.kind == DrawingCall::Kind::FillPath) {
            break;
        }
    }
    EXPECT_NE(clip, nullptr);
    if (clip) {
        expectRectNear(clip->rect, tie.bounds());
    }
    return fills[0].path;
}

TEST(NoteTieView, AFlatTieIsTheBandBetweenTwoArcsThroughItsEnds) {
    struct Case {
        double w, h;
        bool flip;
        HalfCircle outer, inner;
    };
    // 20 × 5: r1 = (25 + 100) / 10 = 12.5, r2 = (16 + 100) / 8 = 14.5.
    // 60 × 4: r1 = (16 + 900) / 8 = 114.5, r2 = (9 + 900) / 6 = 151.5.
    const Case cases[] = {
        {20, 5, false, {{10, -7.5}, 12.5, true}, {{10, -10.5}, 14.5, true}},
        {20, 5, true, {{10, 12.5}, 12.5, false}, {{10, 15.5}, 14.5, false}},
        {60, 4, false, {{30, -110.5}, 114.5, true}, {{30, -148.5}, 151.5, true}},
        {60, 4, true, {{30, 114.5}, 114.5, false}, {{30, 152.5}, 151.5, false}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << " x " << c.h << (c.flip ? " flipped" : ""));
        auto tie = tieOf(c.w, c.h, c.flip);
        const auto outlines = subpathsOf(bandOf(*tie));
        ASSERT_EQ(outlines.size(), 2u);
        expectHalfCircle(outlines[0], c.outer);
        expectHalfCircle(outlines[1], c.inner);
        // Both circles pass through the two ends of the tie.
        const double endY = c.flip ? c.h : 0;
        for (const auto& circle : {c.outer, c.inner}) {
            for (double x : {0.0, c.w}) {
                EXPECT_NEAR(std::hypot(x - circle.centre.x, endY - circle.centre.y), circle.radius, 1e-9);
            }
        }
    }
}

TEST(NoteTieView, TheBandIsOneThickInTheMiddleAndCurvesAwayFromTheEnds) {
    struct Case {
        double w, h;
        bool flip;
    };
    // Flat ties (arcs) and short ones (ovals), both directions.
    const Case cases[] = {
        {20, 5, false}, {20, 5, true}, {40, TOVStaffSpace, false}, {40, TOVStaffSpace, true},
        {4, 2, false},  {4, 2, true},  {10, TOVStaffSpace, false}, {10, TOVStaffSpace, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << " x " << c.h << (c.flip ? " flipped" : ""));
        auto tie = tieOf(c.w, c.h, c.flip);
        const platform::BezierPath band = bandOf(*tie);
        const double mid = c.w / 2;
        // flip NO: the curve lies below the ends, its outer edge on the bottom of the view.
        const double outerEdge = c.flip ? 0.0 : c.h;
        const double inward = c.flip ? 1.0 : -1.0;
        EXPECT_TRUE(band.containsPoint({mid, outerEdge + 0.1 * inward}));
        EXPECT_TRUE(band.containsPoint({mid, outerEdge + 0.9 * inward}));
        EXPECT_FALSE(band.containsPoint({mid, outerEdge + 1.1 * inward}));
        // Near the ends the band stays at the edge the ends lie on.
        const double endEdge = c.flip ? c.h : 0.0;
        EXPECT_FALSE(band.containsPoint({mid, endEdge - 0.1 * inward}));
    }
}

TEST(NoteTieView, AShortTieTakesTwoHalfOvals) {
    // Half of 4.0 equals the height 2.0: ovals twice as high as the view, centred on the end edge.
    struct Case {
        bool flip;
        Rect outer, inner;
    };
    const Case cases[] = {
        {false, Rect(0.0, -2.0, 4.0, 4.0), Rect(0.2, -1.0, 3.6, 2.0)},
        {true, Rect(0.0, 0.0, 4.0, 4.0), Rect(0.2, 1.0, 3.6, 2.0)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.flip ? "flipped" : "not flipped");
        auto tie = tieOf(4, 2, c.flip);
        const auto outlines = subpathsOf(bandOf(*tie));
        ASSERT_EQ(outlines.size(), 2u);
        EXPECT_EQ(outlines[0], platform::BezierPath::withOvalInRect(c.outer));
        EXPECT_EQ(outlines[1], platform::BezierPath::withOvalInRect(c.inner));
    }
}

TEST(NoteTieView, TheFillFollowsTheStateAndNothingElseIsDrawn) {
    const std::pair<int, platform::Color> cases[] = {{0, TOVUtils::objectNormalColor()},
                                                     {1, TOVUtils::objectSelectedColor()},
                                                     {2, TOVUtils::objectTargetColor()}};
    for (const auto& [state, color] : cases) {
        SCOPED_TRACE(state);
        // The tie template: a glyph outline the tie never draws.
        auto tie = TOVObjectView::makeWithFrameSVGFile<TOVNoteTieView>(
            Rect(), std::string(TOVRIN_TEST_RESOURCES) + "/ArticulationSlur.svg");
        ASSERT_TRUE(tie->bezierPath().has_value());
        tie->setFrame(Rect(0, 0, 20, 5));
        tie->setState(state);
        platform::RecordingGraphicsContext ctx;
        tie->drawTree(tie->bounds(), ctx);
        const auto fills = ctx.callsOfKind(DrawingCall::Kind::FillPath);
        ASSERT_EQ(fills.size(), 1u);
        EXPECT_EQ(fills[0].color, color);
        EXPECT_EQ(subpathsOf(fills[0].path).size(), 2u);
        EXPECT_TRUE(ctx.callsOfKind(DrawingCall::Kind::FrameRect).empty());
        EXPECT_TRUE(ctx.callsOfKind(DrawingCall::Kind::FillRect).empty());
    }
}

TEST(NoteTieView, DegenerateSizesDrawOnlyWhatIsDefined) {
    // No height: nothing. Thinner than the band: the outer cap alone. Nothing ever leaves the numbers.
    struct Case {
        double w, h;
        std::size_t outlines;
    };
    const Case cases[] = {{20, 0, 0}, {0, 0, 0}, {20, 0.5, 1}, {20, 1.0, 1}, {1, 1, 1}, {0, 3, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << " x " << c.h);
        const auto path = TOVNoteTieView::curvePathInRect(Rect(0, 0, c.w, c.h), false);
        EXPECT_EQ(subpathsOf(path).size(), c.outlines);
        for (const auto& e : path.elements()) {
            for (const auto& p : e.points) {
                EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y));
            }
        }
    }
}

TEST(NoteTieView, TurningTheTieOverRedrawsItInPlace) {
    notationtest::NoteSymbolFixture f;
    auto tie = std::make_shared<TOVNoteTieView>(Rect(60, 150, 30, 5));
    f.editor->addSubview(tie);
    f.paint();
    ASSERT_FALSE(tie->needsDisplay());
    tie->setFlip(false);
    EXPECT_FALSE(tie->needsDisplay());
    tie->setFlip(true);
    EXPECT_TRUE(tie->needsDisplay());
    f.paint();
    EXPECT_FALSE(tie->needsDisplay());
    EXPECT_TRUE(tie->flip());
}

TEST(NoteTieView, AClickSelectsTheTieButADragDoesNotMoveIt) {
    notationtest::NoteSymbolFixture f;
    auto tie = std::make_shared<TOVNoteTieView>(Rect(60, 150, 30, 5));
    f.editor->addSubview(tie);
    tie->setBarViewBelongTo(f.barView.get());
    tie->setToneCellBelongTo(&f.cell);
    f.paint();
    f.press({75, 153});
    f.moveTo({95, 173});
    f.release({95, 173});
    EXPECT_EQ(tie->state(), 1);
    EXPECT_EQ(f.controller.log, (std::vector<std::string>{"select only"}));
    EXPECT_EQ(tie->frame(), Rect(60, 150, 30, 5));
}

} // namespace
