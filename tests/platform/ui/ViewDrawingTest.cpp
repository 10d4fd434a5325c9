#include "RecordingView.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/QPainterGraphicsContext.h"
#include "platform/graphics/RecordingGraphicsContext.h"
#include "platform/ui/View.h"
#include "platform/ui/ViewHost.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTest>
#include <algorithm>

#include <gtest/gtest.h>

#include <cmath>

using platform::BezierPath;
using platform::Color;
using platform::DrawingCall;
using platform::GraphicsContext;
using platform::Point;
using platform::Rect;
using platform::Size;
using platform::View;
using uitest::addTo;

namespace {

const Color kWhite{1, 1, 1, 1};
const Color kPaleBlue{0.85, 0.9, 1, 1};
const Color kDarkBlue{0.1, 0.2, 0.6, 1};
const Color kRed{0.85, 0.1, 0.1, 1};

// Fills its bounds, and optionally draws a dashed frame and a text, noting each dirty rectangle.
class PaintedView : public View {
public:
    PaintedView(const Rect& frame, Color fill) : View(frame), fill_(fill) {}
    bool dashedFrame = false;
    QString text;
    std::vector<Rect> dirtyRects;
    std::vector<bool> toScreen;

    void drawRect(const Rect& dirty, GraphicsContext& ctx) override {
        dirtyRects.push_back(dirty);
        toScreen.push_back(ctx.isDrawingToScreen());
        ctx.setFillColor(fill_);
        ctx.fillRect(bounds());
        if (dashedFrame) {
            BezierPath frame = BezierPath::withRect(bounds().insetBy(3, 3));
            frame.setLineWidth(1);
            frame.setLineDash({4, 2}, 0);
            ctx.setStrokeColor(kDarkBlue);
            ctx.strokePath(frame);
        }
        if (!text.isEmpty()) {
            ctx.drawText(text, platform::Font::userFont(9), Point{40, 8}, kDarkBlue);
        }
    }

private:
    Color fill_;
};

// The tree of the picture, 200 x 140 points:
//   root: white
//     parent at (20, 20), 160 x 100 in the root, its coordinates scaled by 2 (80 x 50 of its own):
//     pale blue with a dashed dark-blue frame 3 inside its edges and the text "Tovrin" at (40, 8)
//       child at (10, 20) in the parent, 30 x 8 of the parent's units, turned 30 degrees clockwise: red
struct PictureTree {
    std::shared_ptr<PaintedView> root = std::make_shared<PaintedView>(Rect(0, 0, 200, 140), kWhite);
    std::shared_ptr<PaintedView> parent = addTo<PaintedView>(*root, Rect(20, 20, 160, 100), kPaleBlue);
    std::shared_ptr<PaintedView> child = addTo<PaintedView>(*parent, Rect(10, 20, 30, 8), kRed);

    PictureTree() {
        parent->scaleUnitSquareToSize(Size{2, 2});
        parent->dashedFrame = true;
        parent->text = "Tovrin";
        child->setFrameRotation(30);
    }
};

QByteArray pngOf(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QImage renderThroughHost(const PictureTree& tree) {
    platform::ViewHost host;
    host.setRootView(tree.root);
    return host.grab().toImage().convertToFormat(QImage::Format_ARGB32);
}

bool near(const QColor& c, const Color& expected) {
    return std::abs(c.redF() - expected.r) < 0.02 && std::abs(c.greenF() - expected.g) < 0.02 &&
           std::abs(c.blueF() - expected.b) < 0.02;
}

TEST(ViewDrawing, ASmallTreeRendersTheSamePictureEveryTime) {
    PictureTree tree;
    const QImage first = renderThroughHost(tree);
    const QImage second = renderThroughHost(tree);
    ASSERT_EQ(first.size(), QSize(200, 140));
    const QByteArray png = pngOf(first);
    EXPECT_EQ(png, pngOf(second));

    // Drawn straight into an image, the tree gives the same pixels.
    platform::Image image(Size{200, 140});
    {
        platform::QPainterGraphicsContext ctx(image);
        tree.root->drawTree(tree.root->bounds(), ctx);
    }
    EXPECT_EQ(image.qImage().convertToFormat(QImage::Format_ARGB32), first);

    const QString path = QDir::temp().filePath("tovrin-view-tree.png");
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(png);
    std::printf("picture written to %s\n", qPrintable(path));

    // What the tree describes, pixel by pixel.
    EXPECT_TRUE(near(first.pixelColor(5, 5), kWhite));        // the root
    EXPECT_TRUE(near(first.pixelColor(170, 110), kPaleBlue)); // inside the parent, past its frame
    EXPECT_TRUE(
        near(first.pixelColor(20 + 2 * 16, 26), kDarkBlue)); // on a dash of the frame (y = 3 of the parent)
    EXPECT_TRUE(near(first.pixelColor(20 + 2 * 20, 26), kPaleBlue)); // between two dashes
    // The child's middle: its point (15, 4) turned by 30 degrees, scaled by 2, moved to the parent.
    const double a = 30 * M_PI / 180;
    const double cx = 20 + 2 * (10 + 15 * std::cos(a) - 4 * std::sin(a));
    const double cy = 20 + 2 * (20 + 15 * std::sin(a) + 4 * std::cos(a));
    EXPECT_TRUE(near(first.pixelColor(int(cx), int(cy)), kRed)) << cx << "," << cy;
    // The unturned place of the child's far end stays blue: the child is turned.
    EXPECT_TRUE(near(first.pixelColor(20 + 2 * 38, 20 + 2 * 22), kPaleBlue));
    // The text lies right of (40, 8) in the parent: dark pixels in its band, scaled twice.
    int dark = 0;
    for (int y = 20 + 16; y < 20 + 16 + 22; ++y) {
        for (int x = 20 + 80; x < 20 + 80 + 70; ++x) {
            dark += first.pixelColor(x, y).lightnessF() < 0.5 ? 1 : 0;
        }
    }
    EXPECT_GT(dark, 40);
}

TEST(ViewDrawing, TheRecordingContextSeesTheSameCalls) {
    PictureTree tree;
    platform::RecordingGraphicsContext ctx;
    tree.root->drawTree(tree.root->bounds(), ctx);

    std::vector<DrawingCall> drawn;
    for (const auto& call : ctx.calls()) {
        if (call.kind != DrawingCall::Kind::ClipToRect && call.kind != DrawingCall::Kind::ClipToPath) {
            drawn.push_back(call);
        }
    }
    ASSERT_EQ(drawn.size(), 5u);
    // Superview first, subviews after, in order.
    EXPECT_EQ(drawn[0].kind, DrawingCall::Kind::FillRect);
    EXPECT_EQ(drawn[0].color, kWhite);
    EXPECT_EQ(drawn[0].deviceBounds, Rect(0, 0, 200, 140));
    EXPECT_EQ(drawn[1].kind, DrawingCall::Kind::FillRect);
    EXPECT_EQ(drawn[1].rect, Rect(0, 0, 80, 50));
    EXPECT_EQ(drawn[1].deviceBounds, Rect(20, 20, 160, 100));
    EXPECT_EQ(drawn[2].kind, DrawingCall::Kind::StrokePath);
    EXPECT_EQ(drawn[2].color, kDarkBlue);
    EXPECT_EQ(drawn[2].path.lineDashPattern(), (std::vector<double>{4, 2}));
    EXPECT_EQ(drawn[2].devicePath.bounds(), Rect(26, 26, 148, 88));
    EXPECT_EQ(drawn[3].kind, DrawingCall::Kind::Text);
    EXPECT_EQ(drawn[3].text, "Tovrin");
    EXPECT_EQ(drawn[3].devicePoint, (Point{100, 36}));
    EXPECT_EQ(drawn[4].kind, DrawingCall::Kind::FillRect);
    EXPECT_EQ(drawn[4].color, kRed);
    EXPECT_EQ(drawn[4].rect, Rect(0, 0, 30, 8));
    // The child's outline, turned and scaled, is where the conversion puts its corners.
    const Rect expected = tree.child->convertRectToView(tree.child->bounds(), nullptr);
    EXPECT_NEAR(drawn[4].deviceBounds.x(), expected.x(), 1e-9);
    EXPECT_NEAR(drawn[4].deviceBounds.y(), expected.y(), 1e-9);
    EXPECT_NEAR(drawn[4].deviceBounds.width(), expected.width(), 1e-9);
    EXPECT_NEAR(drawn[4].deviceBounds.height(), expected.height(), 1e-9);
    EXPECT_NEAR(drawn[4].transform.transformPoint(Point{0, 0}).x, 40, 1e-9);
    EXPECT_NEAR(drawn[4].transform.transformPoint(Point{0, 0}).y, 60, 1e-9);

    // Each view is clipped to its part of the bounds; the clip of a subview lies inside its superview's.
    const auto clips = ctx.callsOfKind(DrawingCall::Kind::ClipToRect);
    ASSERT_EQ(clips.size(), 3u);
    EXPECT_EQ(clips[1].deviceBounds, Rect(20, 20, 160, 100));
    EXPECT_EQ(clips[2].rect, Rect(0, 0, 30, 8));
}

TEST(ViewDrawing, EachViewGetsTheDirtyRectangleInItsOwnCoordinates) {
    PictureTree tree;
    auto outside = addTo<PaintedView>(*tree.root, Rect(0, 125, 10, 10), kRed);
    platform::RecordingGraphicsContext ctx(/*drawingToScreen=*/false);
    // Host points 60..100 across, 60..80 down: inside the parent and over the child.
    tree.root->drawTree(Rect(60, 60, 40, 20), ctx);
    ASSERT_EQ(tree.root->dirtyRects.size(), 1u);
    EXPECT_EQ(tree.root->dirtyRects[0], Rect(60, 60, 40, 20));
    ASSERT_EQ(tree.parent->dirtyRects.size(), 1u);
    EXPECT_EQ(tree.parent->dirtyRects[0], Rect(20, 20, 20, 10));
    ASSERT_EQ(tree.child->dirtyRects.size(), 1u);
    const Rect inChild = tree.child->convertRectFromView(Rect(20, 20, 20, 10), tree.parent.get())
                             .intersection(tree.child->bounds());
    EXPECT_EQ(tree.child->dirtyRects[0], inChild);
    EXPECT_TRUE(outside->dirtyRects.empty()); // not in the dirty rectangle: not drawn
    EXPECT_EQ(tree.child->toScreen, (std::vector<bool>{false}));
}

// Asks for more drawing while it draws: for the views of `once` at its next drawing once armed, for the
// views of `always` at every drawing (as the editor view does for its rubber band).
class RequestingView : public PaintedView {
public:
    using PaintedView::PaintedView;
    std::vector<std::shared_ptr<View>> once;
    std::vector<std::shared_ptr<View>> always;
    bool armed = false;
    int draws = 0;
    void drawRect(const Rect& dirty, GraphicsContext& ctx) override {
        PaintedView::drawRect(dirty, ctx);
        ++draws;
        if (armed) {
            armed = false;
            for (const auto& v : once) {
                v->setNeedsDisplay();
            }
        }
        for (const auto& v : always) {
            v->setNeedsDisplay();
        }
    }
};

// Counts the paint events of a widget.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget& w) { w.installEventFilter(this); }
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        paints += e->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

TEST(ViewDrawing, RequestsMadeWhileDrawingAreDrawnByThatPaintOrTheNext) {
    // below (10, 10), requester (40, 40), above (70, 70): the requester is drawn after `below` and
    // before `above`.
    auto root = std::make_shared<PaintedView>(Rect(0, 0, 100, 100), kWhite);
    auto below = addTo<PaintedView>(*root, Rect(10, 10, 20, 20), kPaleBlue);
    auto requester = addTo<RequestingView>(*root, Rect(40, 40, 20, 20), kRed);
    auto above = addTo<PaintedView>(*root, Rect(70, 70, 20, 20), kPaleBlue);
    requester->once = {requester, below, above};
    platform::ViewHost host;
    host.setRootView(root);
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    QTest::qWait(50);
    PaintCounter counter(host);
    requester->draws = 0;
    below->dirtyRects.clear();
    above->dirtyRects.clear();
    requester->armed = true;
    root->setNeedsDisplay();
    QTest::qWait(50);
    // Itself and the view below, drawn already, once more in a second paint; the view above is drawn by
    // the paint that was under way.
    EXPECT_EQ(requester->draws, 2);
    EXPECT_EQ(below->dirtyRects.size(), 2u);
    EXPECT_EQ(above->dirtyRects.size(), 1u);
    EXPECT_EQ(counter.paints, 2);
    EXPECT_TRUE(host.pendingDisplayRegion().isEmpty());
    EXPECT_FALSE(requester->needsDisplay());
}

// A view above, marked while a small paint is under way, is drawn by that paint where it reaches and by the
// next paint everywhere else.
TEST(ViewDrawing, ARequestReachingPastThePaintIsDrawnByTheNext) {
    auto root = std::make_shared<PaintedView>(Rect(0, 0, 200, 100), kWhite);
    auto requester = addTo<RequestingView>(*root, Rect(0, 0, 50, 50), kRed);
    auto wide = addTo<PaintedView>(*root, Rect(0, 0, 200, 100), kPaleBlue);
    requester->once = {wide};
    platform::ViewHost host;
    host.setRootView(root);
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    QTest::qWait(50);
    wide->dirtyRects.clear();
    requester->armed = true;
    requester->setNeedsDisplay();
    QTest::qWait(100);
    // The first paint covers the requester only; the rest of the wide view must still be drawn.
    double right = 0;
    double bottom = 0;
    for (const Rect& r : wide->dirtyRects) {
        right = std::max(right, r.x() + r.width());
        bottom = std::max(bottom, r.y() + r.height());
    }
    EXPECT_GE(wide->dirtyRects.size(), 2u);
    EXPECT_EQ(right, 200);
    EXPECT_EQ(bottom, 100);
    EXPECT_TRUE(host.pendingDisplayRegion().isEmpty());
}

TEST(ViewDrawing, AViewMarkedAtEveryDrawingOfTheViewBelowSettles) {
    // An editor view with a rubber band on top, which it marks whenever it draws.
    auto editor = std::make_shared<RequestingView>(Rect(0, 0, 300, 200), kWhite);
    auto band = addTo<PaintedView>(*editor, Rect(50, 50, 100, 60), kPaleBlue);
    editor->always = {band};
    platform::ViewHost host;
    host.setRootView(editor);
    PaintCounter counter(host);
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    QTest::qWait(50);
    // A drag grows the band: the editor is drawn where the band was and is, and marks the band again.
    const int before = counter.paints;
    band->setFrame(Rect(50, 50, 140, 90));
    QTest::qWait(200);
    EXPECT_LE(counter.paints - before, 2);
    EXPECT_GE(counter.paints - before, 1);
    EXPECT_TRUE(host.pendingDisplayRegion().isEmpty());
}

// Two small areas far apart are drawn without what lies between them.
TEST(ViewDrawing, APaintDrawsOnlyTheViewsInItsRegion) {
    for (const double zoom : {1.0, 1.5}) {
        auto root = std::make_shared<PaintedView>(Rect(0, 0, 400 * zoom, 400 * zoom), kWhite);
        root->scaleUnitSquareToSize(Size{zoom, zoom});
        std::vector<std::shared_ptr<PaintedView>> grid;
        for (int row = 0; row < 4; ++row) {
            for (int column = 0; column < 4; ++column) {
                grid.push_back(
                    addTo<PaintedView>(*root, Rect(column * 100 + 5, row * 100 + 5, 90, 90), kPaleBlue));
            }
        }
        platform::ViewHost host;
        host.setRootView(root);
        host.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
        QTest::qWait(50);
        root->dirtyRects.clear();
        for (const auto& v : grid) {
            v->dirtyRects.clear();
        }
        grid.front()->setNeedsDisplayInRect(Rect(0, 0, 10, 10));
        grid.back()->setNeedsDisplayInRect(Rect(80, 80, 10, 10));
        QTest::qWait(50);
        for (size_t i = 0; i < grid.size(); ++i) {
            const bool corner = i == 0 || i + 1 == grid.size();
            EXPECT_EQ(grid[i]->dirtyRects.empty(), !corner) << "view " << i << " zoom " << zoom;
        }
        // The root was drawn in two small pieces (in its own units).
        double drawnArea = 0;
        for (const Rect& r : root->dirtyRects) {
            drawnArea += r.width() * r.height();
        }
        EXPECT_LT(drawnArea, 1000) << "zoom " << zoom;
    }
}

} // namespace
