#include "platform/graphics/BezierPath.h"
#include "platform/graphics/AffineTransform.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

using platform::BezierPath;
using platform::LineCap;
using platform::PathElementType;
using platform::Point;
using platform::Rect;
using platform::WindingRule;

namespace {

void expectNear(Point actual, Point expected, double tolerance = 1e-9) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
}

void expectRectNear(const Rect& actual, const Rect& expected, double tolerance = 1e-9) {
    EXPECT_NEAR(actual.x(), expected.x(), tolerance);
    EXPECT_NEAR(actual.y(), expected.y(), tolerance);
    EXPECT_NEAR(actual.width(), expected.width(), tolerance);
    EXPECT_NEAR(actual.height(), expected.height(), tolerance);
}

Point cubicPoint(Point p0, const platform::PathElement& e, double t) {
    const double u = 1 - t;
    auto at = [&](double a, double b, double c, double d) {
        return u * u * u * a + 3 * u * u * t * b + 3 * u * t * t * c + t * t * t * d;
    };
    return Point{at(p0.x, e.points[0].x, e.points[1].x, e.points[2].x),
                 at(p0.y, e.points[0].y, e.points[1].y, e.points[2].y)};
}

} // namespace

TEST(BezierPathBounds, AreThoseOfTheDrawnCurveNotOfItsControlPoints) {
    // The control points lie at y = 100 while the curve itself only reaches y = 75.
    BezierPath path;
    path.moveTo({0, 0});
    path.curveTo({0, 100}, {100, 100}, {100, 0});
    expectRectNear(path.bounds(), Rect(0, 0, 100, 75));
    EXPECT_EQ(path.controlPointBounds(), Rect(0, 0, 100, 100));

    // An S-shaped curve has an extremum on each side, and the controls lie far outside both.
    BezierPath s;
    s.moveTo({0, 0});
    s.curveTo({10, -300}, {20, 300}, {30, 0});
    const Rect b = s.bounds();
    double minY = 0;
    double maxY = 0;
    for (int i = 0; i <= 10000; ++i) {
        const double y = cubicPoint({0, 0}, s.elementAt(1), i / 10000.0).y;
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
    }
    EXPECT_NEAR(b.minY(), minY, 1e-3);
    EXPECT_NEAR(b.maxY(), maxY, 1e-3);
    EXPECT_NEAR(b.minX(), 0, 1e-12);
    EXPECT_NEAR(b.maxX(), 30, 1e-12);
}

TEST(BezierPathBounds, CurvesBulgingInEitherAxisReachTheirExtremum) {
    // Each curve starts and ends on the same line, so only the solved extremum gives the far side.
    struct Case {
        const char* name;
        Point control1, control2, end;
        Rect bounds;
    };
    const Case cases[] = {
        {"downwards", {0, 100}, {100, 100}, {100, 0}, Rect(0, 0, 100, 75)},
        {"upwards", {0, -100}, {100, -100}, {100, 0}, Rect(0, -75, 100, 75)},
        {"sideways to the right", {100, 0}, {100, 100}, {0, 100}, Rect(0, 0, 75, 100)},
        {"sideways to the left", {-100, 0}, {-100, 100}, {0, 100}, Rect(-75, 0, 75, 100)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BezierPath path;
        path.moveTo({0, 0});
        path.curveTo(c.control1, c.control2, c.end);
        expectRectNear(path.bounds(), c.bounds);
    }
}

TEST(BezierPathBounds, EmptyPathHasTheZeroRectAndLinesCountWithoutArea) {
    EXPECT_EQ(BezierPath().bounds(), Rect());
    EXPECT_EQ(BezierPath().controlPointBounds(), Rect());

    BezierPath line;
    line.moveTo({0, 0});
    line.lineTo({10, 5});
    EXPECT_EQ(line.bounds(), Rect(0, 0, 10, 5));
    EXPECT_FALSE(line.containsPoint({5, 2.5}));

    BezierPath vertical;
    vertical.moveTo({3, 1});
    vertical.lineTo({3, 9});
    EXPECT_EQ(vertical.bounds(), Rect(3, 1, 0, 8));
}

TEST(BezierPathArc, TieExamplePassesThroughTheLowestPoint) {
    // Centre (10, -7.5), radius 12.5, from 0 to 180 degrees counter-clockwise: in the y-down space the
    // arc hangs below its centre and reaches (10, 5) halfway.
    BezierPath path;
    path.appendArc({10, -7.5}, 12.5, 0, 180, false);
    ASSERT_EQ(path.elementAt(0).type, PathElementType::MoveTo);
    expectNear(path.elementAt(0).points[0], {22.5, -7.5});
    ASSERT_EQ(path.elementCount(), 3u);
    expectNear(path.elementAt(1).endPoint(), {10, 5});
    expectNear(path.elementAt(2).endPoint(), {-2.5, -7.5});
    expectNear(path.currentPoint(), {-2.5, -7.5});
    expectRectNear(path.bounds(), Rect(-2.5, -7.5, 25, 12.5));

    // Between the exact points the curves stay on the circle (within the cubic approximation).
    const Point mid = cubicPoint(path.elementAt(0).points[0], path.elementAt(1), 0.5);
    EXPECT_NEAR(std::hypot(mid.x - 10, mid.y + 7.5), 12.5, 0.01);
    EXPECT_GT(mid.y, -7.5);
}

TEST(BezierPathArc, ClockwiseGoesTheOtherWayAndALineJoinsTheCurrentPoint) {
    BezierPath path;
    path.moveTo({0, 0});
    path.appendArc({10, 12.5}, 12.5, 0, 180, true); // rises above its centre to (10, 0)
    ASSERT_EQ(path.elementAt(1).type, PathElementType::LineTo);
    expectNear(path.elementAt(1).points[0], {22.5, 12.5});
    expectNear(path.elementAt(2).endPoint(), {10, 0});
    expectNear(path.currentPoint(), {-2.5, 12.5});
    expectRectNear(path.bounds(), Rect(-2.5, 0, 25, 12.5));
}

TEST(BezierPathArc, SweepsFollowTheDirection) {
    struct Case {
        double start;
        double end;
        bool clockwise;
        int curves;
        Point lastEnd;
    };
    const Case cases[] = {
        {0, 360, false, 4, {1, 0}}, // a full circle
        {270, 0, false, 1, {1, 0}}, // counter-clockwise past 360: a quarter
        {0, 270, true, 1, {0, -1}}, // clockwise the short way round
        {0, 90, true, 3, {0, 1}},   // clockwise the long way round
        {45, 45, false, 0, {std::cos(std::numbers::pi / 4), std::sin(std::numbers::pi / 4)}},
    };
    for (const Case& c : cases) {
        BezierPath path;
        path.appendArc({0, 0}, 1, c.start, c.end, c.clockwise);
        EXPECT_EQ(path.elementCount(), static_cast<size_t>(1 + c.curves)) << c.start << " " << c.end;
        expectNear(path.currentPoint(), c.lastEnd, 1e-12);
    }
}

TEST(BezierPathShapes, OvalsAndRoundedRectsHaveTheirRectAsBounds) {
    expectRectNear(BezierPath::withOvalInRect(Rect(2, 3, 40, 10)).bounds(), Rect(2, 3, 40, 10));
    expectRectNear(BezierPath::withRoundedRect(Rect(0, 0, 20, 10), 3, 2).bounds(), Rect(0, 0, 20, 10));

    // A zero radius gives square corners; radii larger than the rect are clamped to half its size.
    const BezierPath square = BezierPath::withRoundedRect(Rect(0, 0, 20, 10), 2, 0);
    EXPECT_EQ(square, BezierPath::withRect(Rect(0, 0, 20, 10)));
    EXPECT_TRUE(square.containsPoint({0.2, 0.2}));
    const BezierPath round = BezierPath::withRoundedRect(Rect(0, 0, 20, 10), 50, 50);
    expectRectNear(round.bounds(), Rect(0, 0, 20, 10));
    EXPECT_FALSE(round.containsPoint({0.5, 0.5}));
    EXPECT_TRUE(round.containsPoint({10, 5}));
}

TEST(BezierPathBuilding, RelativeFormsCloseAndImplicitStarts) {
    BezierPath path;
    path.relativeLineTo({5, 0}); // no current point: starts at (0, 0)
    ASSERT_EQ(path.elementCount(), 2u);
    EXPECT_EQ(path.elementAt(0).points[0], (Point{0, 0}));

    path.relativeMoveTo({10, 10});
    EXPECT_EQ(path.currentPoint(), (Point{15, 10}));
    path.relativeCurveTo({1, 1}, {2, 2}, {3, 3});
    EXPECT_EQ(path.elementAt(3).points[0], (Point{16, 11}));
    EXPECT_EQ(path.elementAt(3).points[2], (Point{18, 13}));
    path.relativeLineTo({0, 5});
    path.closePath();
    EXPECT_EQ(path.currentPoint(), (Point{15, 10})); // back at the start of the subpath

    // Drawing on after a close starts a new subpath where the closed one began.
    path.lineTo({30, 30});
    const size_t n = path.elementCount();
    EXPECT_EQ(path.elementAt(n - 2).type, PathElementType::MoveTo);
    EXPECT_EQ(path.elementAt(n - 2).points[0], (Point{15, 10}));
}

TEST(BezierPathBuilding, CurrentPointAfterACloseIsTheStartOfTheLastSubpath) {
    BezierPath path;
    path.moveTo({1, 2});
    path.lineTo({5, 2});
    path.closePath();
    EXPECT_EQ(path.currentPoint(), (Point{1, 2}));

    BezierPath other;
    other.moveTo({7, 7});
    other.lineTo({8, 9});
    other.moveTo({20, 30});
    other.lineTo({25, 30});
    other.closePath();
    path.appendPath(other); // the appended path's last subpath is now the last one
    EXPECT_EQ(path.currentPoint(), (Point{20, 30}));
    path.appendPath(path);
    EXPECT_EQ(path.currentPoint(), (Point{20, 30}));
    path.lineTo({0, 0});
    path.closePath();
    EXPECT_EQ(path.currentPoint(), (Point{20, 30})); // the implicit subpath began there too

    path.removeAllPoints();
    path.lineTo({3, 4});
    path.closePath();
    EXPECT_EQ(path.currentPoint(), (Point{0, 0}));

    // Many closes in a row each find the start at once.
    BezierPath many;
    many.moveTo({9, 9});
    for (int i = 0; i < 50000; ++i) {
        many.relativeLineTo({1, 0});
        many.closePath();
    }
    EXPECT_EQ(many.currentPoint(), (Point{9, 9}));
    EXPECT_EQ(many.elementCount(), 50000u * 3u); // move (or implicit move), line, close
}

TEST(BezierPathBuilding, CopiesAreIndependentAndAppendKeepsOwnAttributes) {
    BezierPath a = BezierPath::withRect(Rect(0, 0, 10, 10));
    a.setLineWidth(3);
    BezierPath b = a;
    b.translate(5, 0);
    b.setLineWidth(7);
    EXPECT_EQ(a.bounds(), Rect(0, 0, 10, 10));
    EXPECT_EQ(a.lineWidth(), 3);

    a.appendPath(b);
    EXPECT_EQ(a.elementCount(), 10u);
    EXPECT_EQ(a.lineWidth(), 3);
    EXPECT_EQ(a.bounds(), Rect(0, 0, 15, 10));

    a.appendPath(a); // appending itself doubles the elements once
    EXPECT_EQ(a.elementCount(), 20u);
}

TEST(BezierPathBuilding, TranslateAndScaleInPlaceWithMirroring) {
    BezierPath flag;
    flag.moveTo({0, 0});
    flag.curveTo({2, 4}, {6, 8}, {5, 12});
    flag.scale(1.0, -1.0); // mirrored about the x axis: hangs into negative y
    expectRectNear(flag.bounds(), Rect(0, -12, flag.bounds().width(), 12));
    EXPECT_EQ(flag.elementAt(1).points[0], (Point{2, -4}));

    flag.translate(10, 20);
    EXPECT_EQ(flag.elementAt(0).points[0], (Point{10, 20}));
    flag.scale(0.5, 2);
    EXPECT_EQ(flag.elementAt(0).points[0], (Point{5, 40}));
}

TEST(BezierPathFill, WindingRuleDecidesOverlapsAndHoles) {
    // Two overlapping squares traced the same way round, and a square with a square inside it.
    BezierPath overlap = BezierPath::withRect(Rect(0, 0, 20, 20));
    overlap.appendRect(Rect(10, 0, 20, 20));
    BezierPath nested = BezierPath::withRect(Rect(0, 0, 30, 30));
    nested.appendRect(Rect(10, 10, 10, 10));

    EXPECT_EQ(overlap.windingRule(), WindingRule::NonZero);
    EXPECT_TRUE(overlap.containsPoint({15, 10}));
    EXPECT_TRUE(nested.containsPoint({15, 15}));
    overlap.setWindingRule(WindingRule::EvenOdd);
    nested.setWindingRule(WindingRule::EvenOdd);
    EXPECT_FALSE(overlap.containsPoint({15, 10}));
    EXPECT_TRUE(overlap.containsPoint({5, 10}));
    EXPECT_FALSE(nested.containsPoint({15, 15}));
    EXPECT_TRUE(nested.containsPoint({5, 15}));
}

TEST(BezierPathFill, TieBandBetweenTwoArcsUnderEvenOdd) {
    // A tie 20 wide and 5 high: the outer arc reaches y 5, the inner one y 4; filled even-odd, only the
    // band between them is ink.
    BezierPath tie;
    tie.setWindingRule(WindingRule::EvenOdd);
    tie.appendArc({10, -7.5}, 12.5, 0, 180, false);
    tie.appendArc({10, -10.5}, 14.5, 0, 180, false);
    EXPECT_TRUE(tie.containsPoint({10, 4.5}));
    EXPECT_FALSE(tie.containsPoint({10, 3}));
    EXPECT_FALSE(tie.containsPoint({10, 5.5}));
}

TEST(BezierPathAttributes, DefaultsAndDashes) {
    BezierPath path;
    EXPECT_EQ(path.lineWidth(), 1.0);
    EXPECT_EQ(path.lineCapStyle(), LineCap::Butt);
    EXPECT_TRUE(path.lineDashPattern().empty());
    path.setLineDash({1.1, 1.0}, 0.5);
    EXPECT_EQ(path.lineDashPattern(), (std::vector<double>{1.1, 1.0}));
    EXPECT_EQ(path.lineDashPhase(), 0.5);
    path.setLineWidth(0.2); // dashes are absolute lengths: the width does not change them
    EXPECT_EQ(path.lineDashPattern(), (std::vector<double>{1.1, 1.0}));
}
