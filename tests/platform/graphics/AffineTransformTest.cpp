#include "platform/graphics/AffineTransform.h"
#include "platform/graphics/BezierPath.h"

#include <functional>
#include <gtest/gtest.h>

using platform::AffineTransform;
using platform::Point;
using platform::Rect;
using platform::Size;

namespace {

struct OrderCase {
    const char* name;
    std::function<void(AffineTransform&)> build;
    Point in;
    Point out;
};

} // namespace

// Each building call acts on points before what the transform already holds, so the last call made is
// the first applied.
TEST(AffineTransform, BuildingCallsActBeforeWhatTheTransformHolds) {
    const OrderCase cases[] = {
        {"translate then scale scales first",
         [](AffineTransform& t) { t.translate(10, 0), t.scale(2); },
         {1, 1},
         {12, 2}},
        {"scale then translate translates first",
         [](AffineTransform& t) { t.scale(2), t.translate(10, 0); },
         {1, 1},
         {22, 2}},
        {"rotate quarter turn towards y", [](AffineTransform& t) { t.rotateByDegrees(90); }, {1, 0}, {0, 1}},
        {"rotate about a point",
         [](AffineTransform& t) { t.translate(5, 5), t.rotateByDegrees(90), t.translate(-5, -5); },
         {10, 5},
         {5, 10}},
        {"scale then rotate rotates first",
         [](AffineTransform& t) { t.scale(2, 3), t.rotateByDegrees(90); },
         {1, 0},
         {0, 3}},
        {"negative scale mirrors", [](AffineTransform& t) { t.scale(1, -1); }, {3, 4}, {3, -4}},
        {"half turn is exact", [](AffineTransform& t) { t.rotateByDegrees(-180); }, {2, 3}, {-2, -3}},
    };
    for (const OrderCase& c : cases) {
        AffineTransform t;
        c.build(t);
        EXPECT_EQ(t.transformPoint(c.in), c.out) << c.name;
    }
}

TEST(AffineTransform, AppendAndPrependStateWhichTransformComesFirst) {
    const AffineTransform scale = AffineTransform::scaling(2, 2);
    const AffineTransform move = AffineTransform::translation(10, 0);

    AffineTransform appended = scale;
    appended.appendTransform(move); // scale, then move
    EXPECT_EQ(appended.transformPoint({1, 1}), (Point{12, 2}));

    AffineTransform prepended = scale;
    prepended.prependTransform(move); // move, then scale
    EXPECT_EQ(prepended.transformPoint({1, 1}), (Point{22, 2}));
}

TEST(AffineTransform, InverseUndoesAndSingularTransformsAreLeftAlone) {
    AffineTransform t;
    t.translate(3, -4);
    t.rotateByDegrees(30);
    t.scale(2, 0.5);
    const auto inverse = t.inverted();
    ASSERT_TRUE(inverse.has_value());
    const Point p = inverse->transformPoint(t.transformPoint({7, 11}));
    EXPECT_NEAR(p.x, 7, 1e-12);
    EXPECT_NEAR(p.y, 11, 1e-12);

    AffineTransform flat = AffineTransform::scaling(0, 1);
    const AffineTransform before = flat;
    EXPECT_FALSE(flat.invert());
    EXPECT_EQ(flat, before);
    EXPECT_FALSE(flat.inverted().has_value());
}

TEST(AffineTransform, SizesIgnoreTheTranslationAndRectsGiveTheirBounds) {
    AffineTransform t = AffineTransform::translation(100, 100);
    t.scale(2, 3);
    EXPECT_EQ(t.transformSize({4, 5}), (Size{8, 15}));

    AffineTransform turn = AffineTransform::rotation(90);
    EXPECT_EQ(turn.transformRect(Rect(0, 0, 10, 4)), Rect(-4, 0, 4, 10));
}

TEST(AffineTransform, TransformsAPathIntoANewPath) {
    platform::BezierPath path;
    path.moveTo({1, 2});
    path.lineTo({3, 4});
    const platform::BezierPath moved = AffineTransform::translation(10, 20).transformBezierPath(path);
    EXPECT_EQ(moved.elementAt(1).points[0], (Point{13, 24}));
    EXPECT_EQ(path.elementAt(1).points[0], (Point{3, 4})); // the original is untouched
}
