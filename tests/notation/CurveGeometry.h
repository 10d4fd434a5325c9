#pragma once

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/RecordingGraphicsContext.h"
#include "platform/ui/View.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace notationtest {

// The subpaths of a path, each as a path of its own.
inline std::vector<platform::BezierPath> subpathsOf(const platform::BezierPath& path) {
    std::vector<platform::BezierPath> result;
    for (const auto& e : path.elements()) {
        if (e.type == platform::PathElementType::MoveTo || result.empty()) {
            result.emplace_back();
        }
        auto& sub = result.back();
        switch (e.type) {
        case platform::PathElementType::MoveTo:
            sub.moveTo(e.points[0]);
            break;
        case platform::PathElementType::LineTo:
            sub.lineTo(e.points[0]);
            break;
        case platform::PathElementType::CurveTo:
            sub.curveTo(e.points[0], e.points[1], e.points[2]);
            break;
        case platform::PathElementType::ClosePath:
            sub.closePath();
            break;
        }
    }
    return result;
}

// A half circle from 0° to 180°: through the bottom of the circle (y down) or through its top.
struct HalfCircle {
    platform::Point centre;
    double radius;
    bool downwards;
};

// Checks that an outline is that half circle: it starts at 0°, every point it draws to lies on the
// circle, and it covers exactly the half of the circle on the side asked for.
inline void expectHalfCircle(const platform::BezierPath& outline, const HalfCircle& c) {
    constexpr double eps = 1e-9;
    ASSERT_GT(outline.elementCount(), 2u);
    const platform::Point start = outline.elementAt(0).points[0];
    EXPECT_NEAR(start.x, c.centre.x + c.radius, eps);
    EXPECT_NEAR(start.y, c.centre.y, eps);
    for (const auto& e : outline.elements()) {
        if (e.type != platform::PathElementType::ClosePath) {
            const platform::Point p = e.endPoint();
            EXPECT_NEAR(std::hypot(p.x - c.centre.x, p.y - c.centre.y), c.radius, eps);
        }
    }
    const platform::Rect b = outline.bounds();
    EXPECT_NEAR(b.x(), c.centre.x - c.radius, eps);
    EXPECT_NEAR(b.width(), 2 * c.radius, eps);
    EXPECT_NEAR(b.y(), c.downwards ? c.centre.y : c.centre.y - c.radius, eps);
    EXPECT_NEAR(b.height(), c.radius, eps);
}

inline void expectRectNear(const platform::Rect& actual, const platform::Rect& expected) {
    constexpr double eps = 1e-9;
    EXPECT_NEAR(actual.x(), expected.x(), eps);
    EXPECT_NEAR(actual.y(), expected.y(), eps);
    EXPECT_NEAR(actual.width(), expected.width(), eps);
    EXPECT_NEAR(actual.height(), expected.height(), eps);
}

// Draws the view as the window does and answers its fills.
inline std::vector<platform::DrawingCall> fillsOf(platform::View& view) {
    platform::RecordingGraphicsContext ctx;
    view.drawTree(view.bounds(), ctx);
    return ctx.callsOfKind(platform::DrawingCall::Kind::FillPath);
}

} // namespace notationtest
