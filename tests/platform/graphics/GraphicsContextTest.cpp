#include "RenderTestSupport.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/QtPathConversion.h"
#include "platform/graphics/RecordingGraphicsContext.h"

#include <QPainter>
#include <QPainterPath>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using platform::AffineTransform;
using platform::BezierPath;
using platform::Color;
using platform::DrawingCall;
using platform::Font;
using platform::Image;
using platform::Point;
using platform::Rect;
using platform::Size;

namespace {

const Color kRed{1, 0, 0, 1};
const Color kBlue{0, 0, 1, 1};
const Color kGreen{0, 0.5, 0, 1};

QString writeRedPng(const QTemporaryDir& dir) {
    QImage pixels(2, 2, QImage::Format_ARGB32);
    pixels.fill(QColor(255, 0, 0));
    const QString path = dir.filePath("red.png");
    pixels.save(path, "PNG");
    return path;
}

} // namespace

TEST(RecordingGraphicsContext, CapturesGeometryColourAndWidthOfEveryCall) {
    QTemporaryDir dir;
    const Image image = Image::fromFile(writeRedPng(dir));
    ASSERT_FALSE(image.isNull());
    const Font font = Font::userFont(10);

    platform::RecordingGraphicsContext gc;
    gc.setColor(kRed);
    gc.saveGraphicsState();
    gc.concatTransform(AffineTransform::translation(100, 50));
    gc.concatTransform(AffineTransform::scaling(2, 2)); // acts first: scale, then move
    gc.fillPath(BezierPath::withRect(Rect(0, 0, 10, 5)));
    BezierPath line;
    line.moveTo({0, 0});
    line.lineTo({10, 0});
    line.setLineWidth(3);
    gc.setStrokeColor(kBlue);
    gc.strokePath(line);
    gc.drawText("Intro", font, Point{1, 2}, kGreen);
    gc.drawImage(image, Rect(0, 0, 4, 4));
    gc.restoreGraphicsState();
    gc.restoreGraphicsState(); // unmatched: ignored
    gc.setLineWidth(0.5);
    gc.strokeRect(Rect(1, 1, 2, 2));
    gc.frameRect(Rect(0, 0, 8, 8), 1);

    const auto& calls = gc.calls();
    ASSERT_EQ(calls.size(), 6u);

    EXPECT_EQ(calls[0].kind, DrawingCall::Kind::FillPath);
    EXPECT_EQ(calls[0].path.bounds(), Rect(0, 0, 10, 5));
    EXPECT_EQ(calls[0].deviceBounds, Rect(100, 50, 20, 10));
    EXPECT_EQ(calls[0].color, kRed);

    EXPECT_EQ(calls[1].kind, DrawingCall::Kind::StrokePath);
    EXPECT_EQ(calls[1].lineWidth, 3);
    EXPECT_EQ(calls[1].color, kBlue);
    EXPECT_EQ(calls[1].deviceBounds, Rect(100, 50, 20, 0));

    EXPECT_EQ(calls[2].kind, DrawingCall::Kind::Text);
    EXPECT_EQ(calls[2].text, "Intro");
    EXPECT_EQ(calls[2].font, font);
    EXPECT_EQ(calls[2].color, kGreen);
    EXPECT_EQ(calls[2].point, (Point{1, 2}));
    EXPECT_EQ(calls[2].devicePoint, (Point{102, 54}));
    EXPECT_EQ(calls[2].rect.size, font.sizeOfString("Intro"));

    EXPECT_EQ(calls[3].kind, DrawingCall::Kind::Image);
    EXPECT_EQ(calls[3].imagePath, image.sourcePath());
    EXPECT_EQ(calls[3].imageSize, (Size{2, 2}));
    EXPECT_EQ(calls[3].deviceBounds, Rect(100, 50, 8, 8));

    // After the restore: no transform, and the stroke colour is red again.
    EXPECT_EQ(calls[4].kind, DrawingCall::Kind::StrokeRect);
    EXPECT_TRUE(calls[4].transform.isIdentity());
    EXPECT_EQ(calls[4].rect, Rect(1, 1, 2, 2));
    EXPECT_EQ(calls[4].lineWidth, 0.5);
    EXPECT_EQ(calls[4].color, kRed);

    EXPECT_EQ(calls[5].kind, DrawingCall::Kind::FrameRect);
    EXPECT_EQ(calls[5].lineWidth, 1);

    EXPECT_EQ(gc.callsOfKind(DrawingCall::Kind::Text).size(), 1u);
    gc.clear();
    EXPECT_TRUE(gc.calls().empty());
}

TEST(RecordingGraphicsContext, NothingIsRecordedForNothingToDraw) {
    platform::RecordingGraphicsContext gc;
    gc.fillPath(BezierPath());
    gc.strokePath(BezierPath());
    gc.drawImage(Image::fromFile("/no/such/file.png"), Rect(0, 0, 4, 4));
    gc.drawText("", Font::userFont(10), Point{0, 0});
    gc.frameRect(Rect(0, 0, 0, 5));
    EXPECT_TRUE(gc.calls().empty());
}

TEST(GraphicsContext, NullContextIsHarmlessAndKnowsWhereItDraws) {
    platform::NullGraphicsContext printing(false);
    EXPECT_FALSE(printing.isDrawingToScreen());
    printing.restoreGraphicsState();
    printing.concatTransform(AffineTransform::scaling(2, 2));
    printing.clipToRect(Rect(0, 0, 1, 1));
    printing.fillPath(BezierPath::withOvalInRect(Rect(0, 0, 5, 5)));
    printing.drawText("A", Font::userFont(10), Point{0, 0});
    EXPECT_EQ(printing.currentTransform(), AffineTransform::scaling(2, 2));
    EXPECT_TRUE(platform::NullGraphicsContext().isDrawingToScreen());
}

TEST(QPainterGraphicsContext, ClipsUntilRestoredAndFramesInsideTheRect) {
    const QImage image = rendertest::render(40, 20, [](platform::GraphicsContext& gc) {
        gc.setFillColor(kRed);
        gc.saveGraphicsState();
        gc.clipToRect(Rect(0, 0, 10, 10));
        gc.clipToRect(Rect(5, 0, 10, 10)); // clips narrow each other
        gc.fillRect(Rect(0, 0, 20, 20));
        gc.restoreGraphicsState();
        gc.fillRect(Rect(20, 0, 5, 5));
        gc.frameRect(Rect(28, 2, 10, 10), 1);
    });
    EXPECT_FALSE(rendertest::inked(image, 2, 5));
    EXPECT_TRUE(rendertest::inked(image, 7, 5));
    EXPECT_FALSE(rendertest::inked(image, 12, 5));
    EXPECT_FALSE(rendertest::inked(image, 7, 15));
    EXPECT_TRUE(rendertest::inked(image, 22, 2)); // the clip is gone after the restore
    EXPECT_TRUE(rendertest::inked(image, 28, 6));
    EXPECT_TRUE(rendertest::inked(image, 37, 6));
    EXPECT_FALSE(rendertest::inked(image, 27, 6));
    EXPECT_FALSE(rendertest::inked(image, 33, 6));
}

// The context hands saves and clips to the painter only when something is drawn under them, and leaves
// out clips that cannot change a drawing: every scene must come out exactly as a painter given each step
// at once draws it.
TEST(QPainterGraphicsContext, DeferredSavesAndClipsDrawExactlyAsEagerOnes) {
    // One step of a scene, given to the context and, as it stands, to a plain painter.
    struct Step {
        enum Kind { Save, Restore, Translate, Scale, Clip, ClipPath, Fill, FillPath, Stroke } kind;
        Rect rect{};
    };
    struct Case {
        const char* name;
        std::vector<Step> steps;
    };
    using S = Step;
    const std::vector<Case> cases = {
        {"fill well inside a clip",
         {{S::Save}, {S::Clip, Rect(2, 2, 30, 30)}, {S::Fill, Rect(8, 8, 10, 10)}, {S::Restore}}},
        {"fill across a clip edge",
         {{S::Save}, {S::Clip, Rect(2.5, 2, 12.25, 30)}, {S::Fill, Rect(0, 4, 40, 5)}, {S::Restore}}},
        {"path across a clip edge",
         {{S::Save}, {S::Clip, Rect(5, 5, 10, 10)}, {S::FillPath, Rect(3, 3, 20, 20)}, {S::Restore}}},
        {"inside one clip, across the next",
         {{S::Save},
          {S::Clip, Rect(0, 0, 36, 36)},
          {S::Fill, Rect(4, 4, 8, 8)},
          {S::Save},
          {S::Clip, Rect(10, 10, 6, 6)},
          {S::Fill, Rect(4, 4, 20, 20)},
          {S::Restore},
          {S::Fill, Rect(20, 20, 30, 4)},
          {S::Restore}}},
        {"clip left unapplied, then dropped",
         {{S::Save}, {S::Clip, Rect(0, 0, 3, 3)}, {S::Restore}, {S::Fill, Rect(4, 4, 30, 30)}}},
        {"applied clip restored, pending one dropped",
         {{S::Save},
          {S::Clip, Rect(0, 0, 20, 40)},
          {S::Fill, Rect(-5, 2, 40, 4)},
          {S::Clip, Rect(0, 0, 5, 5)},
          {S::Restore},
          {S::Fill, Rect(2, 10, 36, 4)}}},
        {"clip under a scale, drawn after a move",
         {{S::Save},
          {S::Scale},
          {S::Clip, Rect(1, 1, 7.3, 9)},
          {S::Translate},
          {S::Fill, Rect(0, 0, 20, 3)},
          {S::Stroke, Rect(1, 4, 4, 4)},
          {S::Restore},
          {S::Fill, Rect(30, 30, 4, 4)}}},
        {"clip to a path",
         {{S::Save},
          {S::ClipPath, Rect(4, 4, 20, 20)},
          {S::Fill, Rect(10, 10, 4, 4)},
          {S::Fill, Rect(0, 0, 40, 40)},
          {S::Restore}}},
    };
    const auto ovalIn = [](const Rect& r) { return BezierPath::withOvalInRect(r); };
    for (const Case& c : cases) {
        const QImage deferred = rendertest::render(40, 40, [&](platform::GraphicsContext& gc) {
            gc.setFillColor(kRed);
            gc.setStrokeColor(kBlue);
            for (const Step& step : c.steps) {
                switch (step.kind) {
                case S::Save:
                    gc.saveGraphicsState();
                    break;
                case S::Restore:
                    gc.restoreGraphicsState();
                    break;
                case S::Translate:
                    gc.concatTransform(AffineTransform::translation(1.5, 2));
                    break;
                case S::Scale:
                    gc.concatTransform(AffineTransform::scaling(2, 2));
                    break;
                case S::Clip:
                    gc.clipToRect(step.rect);
                    break;
                case S::ClipPath:
                    gc.clipToPath(ovalIn(step.rect));
                    break;
                case S::Fill:
                    gc.fillRect(step.rect);
                    break;
                case S::FillPath:
                    gc.fillPath(ovalIn(step.rect));
                    break;
                case S::Stroke:
                    gc.strokePath(BezierPath::withRect(step.rect));
                    break;
                }
            }
        });
        QImage eager(40, 40, QImage::Format_ARGB32_Premultiplied);
        eager.fill(Qt::transparent);
        {
            QPainter painter(&eager);
            painter.setRenderHint(QPainter::Antialiasing, true);
            const auto qRect = [](const Rect& r) { return QRectF(r.x(), r.y(), r.width(), r.height()); };
            const auto qOval = [&](const Rect& r) { return platform::toQPainterPath(ovalIn(r)); };
            const auto mode = [&] { return painter.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip; };
            for (const Step& step : c.steps) {
                switch (step.kind) {
                case S::Save:
                    painter.save();
                    break;
                case S::Restore:
                    painter.restore();
                    break;
                case S::Translate:
                    painter.translate(1.5, 2);
                    break;
                case S::Scale:
                    painter.scale(2, 2);
                    break;
                case S::Clip:
                    painter.setClipRect(qRect(step.rect), mode());
                    break;
                case S::ClipPath:
                    painter.setClipPath(qOval(step.rect), mode());
                    break;
                case S::Fill:
                    painter.fillRect(qRect(step.rect), platform::toQColor(kRed));
                    break;
                case S::FillPath:
                    painter.fillPath(qOval(step.rect), platform::toQBrush(kRed));
                    break;
                case S::Stroke: {
                    const BezierPath path = BezierPath::withRect(step.rect);
                    painter.strokePath(platform::toQPainterPath(path), platform::toQPen(path, kBlue));
                    break;
                }
                }
            }
        }
        EXPECT_EQ(deferred.convertToFormat(QImage::Format_ARGB32),
                  eager.convertToFormat(QImage::Format_ARGB32))
            << c.name;
    }
}

TEST(QPainterGraphicsContext, DrawsImagesScaledIntoTheirRectUnderTheTransform) {
    QTemporaryDir dir;
    const Image red = Image::fromFile(writeRedPng(dir));
    const QImage image = rendertest::render(40, 40, [&](platform::GraphicsContext& gc) {
        gc.concatTransform(AffineTransform::translation(10, 10));
        gc.drawImage(red, Rect(0, 0, 10, 10));
    });
    EXPECT_EQ(QColor(image.pixel(15, 15)).red(), 255);
    EXPECT_TRUE(rendertest::inked(image, 19, 19));
    EXPECT_FALSE(rendertest::inked(image, 21, 21));
    EXPECT_FALSE(rendertest::inked(image, 5, 5));
}

TEST(QPainterGraphicsContext, StrokesUseThePathsAttributesAndTheStrokeColour) {
    const QImage image = rendertest::render(30, 30, [](platform::GraphicsContext& gc) {
        gc.setFillColor(kRed);
        gc.setStrokeColor(kBlue);
        BezierPath line;
        line.moveTo({5, 15});
        line.lineTo({25, 15});
        line.setLineWidth(6);
        line.setLineCapStyle(platform::LineCap::Round);
        gc.strokePath(line);
    });
    EXPECT_EQ(QColor(image.pixel(15, 15)), QColor(0, 0, 255));
    EXPECT_TRUE(rendertest::inked(image, 15, 13));
    EXPECT_FALSE(rendertest::inked(image, 15, 19));
    EXPECT_TRUE(rendertest::inked(image, 3, 15)); // the round cap reaches past the end point
}
