#include "RenderTestSupport.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/QtPathConversion.h"

#include <QDir>
#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
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

// Thin lines as well as thick ones, at the zooms of the editor: a line a tenth of a unit wide at zoom 1
// is much thinner than a pixel, and Qt draws such lines another way than thick ones.
TEST(PathRendering, DashLengthsStayInUnitsAtEveryWidthAndZoom) {
    const double widths[] = {0.1, 0.5, 1, 4};
    const double zooms[] = {1, 1.5, 4};
    const int imageWidth = 400;
    const int rowHeight = 30;
    // All cases in one picture, a row each, so that the table can be looked at.
    QImage table(imageWidth, rowHeight * 12, QImage::Format_ARGB32_Premultiplied);
    table.fill(Qt::white);
    int row = 0;
    for (double zoom : zooms) {
        for (double width : widths) {
            const QImage image =
                rendertest::render(imageWidth, rowHeight, [&](platform::GraphicsContext& gc) {
                    gc.concatTransform(platform::AffineTransform::scaling(zoom, zoom));
                    BezierPath line;
                    line.moveTo({0, 12 / zoom});
                    line.lineTo({imageWidth / zoom, 12 / zoom});
                    line.setLineWidth(width);
                    line.setLineDash({8, 4}, 0);
                    gc.setStrokeColor(kBlack);
                    gc.strokePath(line);
                });
            {
                QPainter painter(&table);
                painter.drawImage(0, row * rowHeight, image);
            }
            ++row;
            // Faint lines count too: a column is inked where its ink reaches half the darkest column's.
            std::vector<int> columnInk(imageWidth, 0);
            int darkest = 0;
            for (int x = 0; x < imageWidth; ++x) {
                for (int y = 0; y < rowHeight; ++y) {
                    columnInk[x] = std::max(columnInk[x], qAlpha(image.pixel(x, y)));
                }
                darkest = std::max(darkest, columnInk[x]);
            }
            ASSERT_GT(darkest, 0) << "width " << width << " zoom " << zoom;
            std::vector<int> runs;
            bool ink = true;
            int length = 0;
            for (int x = 0; x < imageWidth; ++x) {
                if ((columnInk[x] * 2 > darkest) == ink) {
                    ++length;
                } else {
                    runs.push_back(length);
                    ink = !ink;
                    length = 1;
                }
            }
            // 8 units on and 4 off, in pixels at this zoom; the last, cut-off run is not looked at.
            ASSERT_GE(runs.size(), 6u) << "width " << width << " zoom " << zoom;
            for (size_t i = 0; i < runs.size(); ++i) {
                EXPECT_NEAR(runs[i], (i % 2 == 0 ? 8 : 4) * zoom, 1.01)
                    << "width " << width << " zoom " << zoom << " run " << i;
            }
        }
    }
    const QString path = QDir::temp().filePath("tovrin-dash-widths.png");
    ASSERT_TRUE(table.save(path));
    std::printf("dash table written to %s\n", qPrintable(path));
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
