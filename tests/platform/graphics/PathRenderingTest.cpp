#include "RenderTestSupport.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/QtPathConversion.h"

#include <gtest/gtest.h>
#include <vector>

using platform::BezierPath;
using platform::Color;
using platform::Rect;
using platform::WindingRule;

namespace {

const Color kBlack{0, 0, 0, 1};

// Lengths of the inked and blank stretches along one row, in order, starting with ink.
std::vector<int> runsAlongRow(const QImage& image, int y) {
    std::vector<int> runs;
    bool ink = true;
    int length = 0;
    for (int x = 0; x < image.width(); ++x) {
        if (rendertest::inked(image, x, y) == ink) {
            ++length;
        } else {
            runs.push_back(length);
            ink = !ink;
            length = 1;
        }
    }
    runs.push_back(length);
    return runs;
}

} // namespace

TEST(PathRendering, DashLengthsDoNotDependOnTheLineWidth) {
    for (double width : {1.0, 4.0}) {
        const QImage image = rendertest::render(100, 20, [&](platform::GraphicsContext& gc) {
            BezierPath line;
            line.moveTo({0, 10.5});
            line.lineTo({100, 10.5});
            line.setLineWidth(width);
            line.setLineDash({10, 5}, 0);
            gc.setStrokeColor(kBlack);
            gc.strokePath(line);
        });
        const std::vector<int> runs = runsAlongRow(image, 10);
        // 10 on, 5 off, repeated: 10 5 10 5 ... over the 100 pixels.
        ASSERT_GE(runs.size(), 12u) << "width " << width;
        for (size_t i = 0; i + 1 < runs.size(); ++i) {
            EXPECT_NEAR(runs[i], i % 2 == 0 ? 10 : 5, 1) << "width " << width << " run " << i;
        }
    }
}

TEST(PathRendering, PenDashesAreMeasuredInLineWidths) {
    struct Case {
        double width;
        std::vector<double> pattern;
        double phase;
        QList<qreal> qtPattern;
        double qtOffset;
    };
    const Case cases[] = {
        {0.2, {1.1, 1.0}, 0, {5.5, 5.0}, 0},
        {4, {10, 5}, 2, {2.5, 1.25}, 0.5},
        {2, {3}, 0, {1.5, 1.5}, 0}, // an odd pattern repeats so that on and off alternate
        {0, {2, 1}, 0, {2, 1}, 0},  // a hairline: one unit per pixel
    };
    for (const Case& c : cases) {
        BezierPath path;
        path.setLineWidth(c.width);
        path.setLineDash(c.pattern, c.phase);
        const QPen pen = platform::toQPen(path, kBlack);
        ASSERT_EQ(pen.dashPattern().size(), c.qtPattern.size()) << c.width;
        for (qsizetype i = 0; i < c.qtPattern.size(); ++i) {
            EXPECT_NEAR(pen.dashPattern()[i], c.qtPattern[i], 1e-9) << c.width;
        }
        EXPECT_NEAR(pen.dashOffset(), c.qtOffset, 1e-9) << c.width;
    }
    EXPECT_EQ(platform::toQPen(BezierPath(), kBlack).style(), Qt::SolidLine);
}

TEST(PathRendering, NonZeroFillsOverlapsAndEvenOddLeavesThemOpen) {
    for (WindingRule rule : {WindingRule::NonZero, WindingRule::EvenOdd}) {
        const QImage image = rendertest::render(30, 20, [&](platform::GraphicsContext& gc) {
            BezierPath twoSquares = BezierPath::withRect(Rect(0, 0, 20, 20));
            twoSquares.appendRect(Rect(10, 0, 20, 20));
            twoSquares.setWindingRule(rule);
            gc.setFillColor(kBlack);
            gc.fillPath(twoSquares);
        });
        EXPECT_TRUE(rendertest::inked(image, 5, 10));
        EXPECT_TRUE(rendertest::inked(image, 25, 10));
        EXPECT_EQ(rendertest::inked(image, 15, 10), rule == WindingRule::NonZero);
    }
}
