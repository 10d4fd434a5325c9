#include "glyphs/TOVBezierPathPreview.h"
#include "platform/graphics/RecordingGraphicsContext.h"

#include <gtest/gtest.h>

#include <cmath>

using platform::BezierPath;
using platform::Rect;

namespace {

std::shared_ptr<BezierPath> square(double side) {
    return std::make_shared<BezierPath>(BezierPath::withRect(Rect(0, 0, side, side)));
}

TEST(BezierPathPreview, FitsTheGlyphInsideTheMarginAndCentresIt) {
    TOVBezierPathPreview preview(Rect(0, 0, 100, 40));
    preview.setMarginWithObjectView(5.0);
    auto path = square(10);
    preview.setBezierPath(path);
    EXPECT_EQ(path->bounds(), Rect(35, 5, 30, 30));
    // The same path again is not fitted again.
    preview.setBezierPath(path);
    EXPECT_EQ(path->bounds(), Rect(35, 5, 30, 30));
    // An equal margin changes nothing; a new one refits the glyph where it stands.
    preview.setMarginWithObjectView(5.0);
    EXPECT_EQ(path->bounds(), Rect(35, 5, 30, 30));
    preview.setMarginWithObjectView(10.0);
    EXPECT_EQ(path->bounds(), Rect(40, 10, 20, 20));

    platform::RecordingGraphicsContext ctx;
    preview.drawRect(preview.bounds(), ctx);
    const auto fills = ctx.callsOfKind(platform::DrawingCall::Kind::FillPath);
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0].color, (platform::Color{0, 0, 0, 1}));
    EXPECT_FALSE(preview.acceptsFirstResponder());
}

TEST(BezierPathPreview, AGlyphWithoutWidthOrHeightIsCentredWithoutScaling) {
    TOVBezierPathPreview preview(Rect(0, 0, 100, 40));
    preview.setMarginWithObjectView(5.0);
    auto line = std::make_shared<BezierPath>();
    line->moveTo({0, 0});
    line->lineTo({0, 10});
    preview.setBezierPath(line);
    const Rect box = line->bounds();
    EXPECT_TRUE(std::isfinite(box.x()) && std::isfinite(box.y()));
    EXPECT_EQ(box, Rect(50, 15, 0, 10));
    preview.setBezierPath(nullptr); // draws nothing and fits nothing
    platform::RecordingGraphicsContext ctx;
    preview.drawRect(preview.bounds(), ctx);
    EXPECT_TRUE(ctx.callsOfKind(platform::DrawingCall::Kind::FillPath).empty());
}

} // namespace
