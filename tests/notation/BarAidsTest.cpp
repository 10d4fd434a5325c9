#include "layout/TOVEditorBarView.h"
#include "model/TOVStaffMetrics.h"
#include "model/TOVUtils.h"
#include "notation/TOVNoteDropAreaCell.h"
#include "notation/TOVNoteGridCell.h"
#include "notation/TOVNotePreview.h"
#include "platform/graphics/RecordingGraphicsContext.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using platform::DrawingCall;
using platform::Point;
using platform::Rect;

namespace {

// A stroked straight line from one point to the other.
void expectLine(const DrawingCall& call, Point from, Point to) {
    const auto& elements = call.path.elements();
    ASSERT_EQ(elements.size(), 2u);
    EXPECT_EQ(elements[0].type, platform::PathElementType::MoveTo);
    EXPECT_EQ(elements[1].type, platform::PathElementType::LineTo);
    EXPECT_NEAR(elements[0].endPoint().x, from.x, 1e-9);
    EXPECT_NEAR(elements[0].endPoint().y, from.y, 1e-9);
    EXPECT_NEAR(elements[1].endPoint().x, to.x, 1e-9);
    EXPECT_NEAR(elements[1].endPoint().y, to.y, 1e-9);
}

TEST(NoteGridCell, EdgesAreInsideSoNeighboursShareThem) {
    TOVNoteGridCell first(Rect(10, 20, 5, 40));
    TOVNoteGridCell second(Rect(15, 20, 5, 40));
    const struct {
        Point p;
        bool first;
        bool second;
    } cases[] = {
        {{10, 20}, true, false},     {{15, 40}, true, true},      {{15, 60}, true, true},
        {{20, 60}, false, true},     {{9.99, 30}, false, false},  {{20.01, 30}, false, false},
        {{12, 19.99}, false, false}, {{12, 60.01}, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.p.x << ", " << c.p.y);
        EXPECT_EQ(first.hitTestInFrame(c.p), c.first);
        EXPECT_EQ(second.hitTestInFrame(c.p), c.second);
    }
}

TEST(NoteGridCell, ActiveCellsDrawTheirWholeColumnAndInactiveOnesAMarkAboveTheStaff) {
    // A bar 80 high: its top staff line at (80 - 23.6) / 2 = 28.2.
    auto bar = std::make_shared<TOVEditorBarView>(Rect(0, 0, 200, 80));
    TOVNoteGridCell cell(Rect(42, 5, 3.75, 70));
    cell.setBarView(bar.get());
    cell.setX(60);
    cell.setGridHeight(15.0);

    platform::RecordingGraphicsContext ctx;
    cell.drawWithFrameInView(Rect(0, 0, 1, 1), ctx);
    cell.setActive(true);
    cell.drawWithFrameInView(Rect(0, 0, 1, 1), ctx);
    ASSERT_EQ(ctx.calls().size(), 2u);
    const auto& mark = ctx.calls()[0];
    EXPECT_EQ(mark.kind, DrawingCall::Kind::StrokePath);
    EXPECT_EQ(mark.color, TOVUtils::noteGridNormalColor());
    EXPECT_EQ(mark.lineWidth, 1.0);
    expectLine(mark, {42, 28.2}, {42, 28.2 - 15.0});
    const auto& column = ctx.calls()[1];
    EXPECT_EQ(column.kind, DrawingCall::Kind::StrokePath);
    EXPECT_EQ(column.color, TOVUtils::noteGridTargetColor());
    EXPECT_EQ(column.lineWidth, 1.0);
    expectLine(column, {42, 5}, {42, 75});

    // A mark whose height was never set has no length.
    TOVNoteGridCell fresh(Rect(7, 0, 3.75, 80));
    fresh.setBarView(bar.get());
    EXPECT_EQ(fresh.gridHeight(), 0.0);
    EXPECT_FALSE(fresh.active());
    EXPECT_EQ(fresh.x(), 0u);
    ctx.clear();
    fresh.drawWithFrameInView(Rect(), ctx);
    ASSERT_EQ(ctx.calls().size(), 1u);
    expectLine(ctx.calls()[0], {7, 28.2}, {7, 28.2});

    // The bar view is held weakly.
    bar.reset();
    EXPECT_EQ(cell.barView(), nullptr);
}

TEST(NoteDropAreaCell, AnyHeightWithinTheStretchHits) {
    TOVNoteDropAreaCell area(Rect(30, 10, 50, 60));
    const struct {
        Point p;
        bool hit;
    } cases[] = {{{30, 40}, true},    {{80, 40}, true},    {{55, -500}, true}, {{55, 500}, true},
                 {{29.9, 40}, false}, {{80.1, 40}, false}, {{0, 0}, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.p.x << ", " << c.p.y);
        EXPECT_EQ(area.hitTestInFrame(c.p), c.hit);
    }
}

TEST(NoteDropAreaCell, FillsTheRectangleAndFramesItOnlyWhenActive) {
    TOVNoteDropAreaCell area(Rect(30, 10, 50, 60));
    area.setX(240);
    area.setLength(480);
    const Rect drawn(31, 12, 48, 40);
    platform::RecordingGraphicsContext ctx;
    area.drawWithFrameInView(drawn, ctx);
    ASSERT_EQ(ctx.calls().size(), 1u);
    EXPECT_EQ(ctx.calls()[0].kind, DrawingCall::Kind::FillRect);
    EXPECT_EQ(ctx.calls()[0].rect, drawn);
    EXPECT_EQ(ctx.calls()[0].color, TOVUtils::noteDropAreaFillColor());

    ctx.clear();
    area.setActive(true);
    area.drawWithFrameInView(drawn, ctx);
    ASSERT_EQ(ctx.calls().size(), 2u);
    EXPECT_EQ(ctx.calls()[0].kind, DrawingCall::Kind::FillRect);
    EXPECT_EQ(ctx.calls()[1].kind, DrawingCall::Kind::FrameRect);
    EXPECT_EQ(ctx.calls()[1].rect, drawn);
    EXPECT_EQ(ctx.calls()[1].lineWidth, 1.0);
    EXPECT_EQ(ctx.calls()[1].color, TOVUtils::noteDropAreaFrameColor());
}

// A preview of a 10 x 6 head (file units at the glyph scale).
class NotePreviewTest : public ::testing::Test {
protected:
    void SetUp() override {
        file_ = folder_
                    .write("head.svg", "<svg xmlns=\"http://www.w3.org/2000/svg\"><path "
                                       "d=\"M3,4L13,4L13,10L3,10Z\"/></svg>")
                    .string();
    }
    double headWidth() const { return 10 * 0.59; }
    double headHeight() const { return 6 * 0.59; }

    TempDir folder_;
    std::string file_;
};

TEST_F(NotePreviewTest, TheHeadHasOnePointFreeOnEitherSide) {
    const auto preview = TOVNotePreview::withFrameSVGFile(Rect(), file_);
    ASSERT_TRUE(preview->bezierPath());
    EXPECT_EQ(preview->frame(), Rect(0, 0, headWidth() + 2.0, headHeight()));
    EXPECT_EQ(preview->bezierPath()->bounds(), Rect(1.0, 0, headWidth(), headHeight()));
    EXPECT_EQ(preview->offsetX(), 1.0);
    EXPECT_EQ(preview->level(), 0);
    EXPECT_FALSE(preview->bezierPathSupplementalLines());

    // Copies keep the widened frame and the moved head; the template stays as it is.
    auto copy = std::dynamic_pointer_cast<TOVNotePreview>(preview->clone());
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->frame(), preview->frame());
    EXPECT_EQ(copy->bezierPath(), preview->bezierPath());
    copy->bezierPath()->translate(5, 5);
    EXPECT_EQ(preview->bezierPath()->bounds().x(), 1.0);

    // No file: no head, and only the free space.
    const auto empty = TOVNotePreview::withFrameSVGFile(Rect(), (folder_.path() / "missing.svg").string());
    EXPECT_FALSE(empty->bezierPath());
    EXPECT_EQ(empty->frame().size, platform::Size(2.0, 0));
}

TEST_F(NotePreviewTest, LedgerLinesFollowTheLevel) {
    const struct {
        std::int64_t level;
        std::vector<double> lines;
    } cases[] = {
        {-5, {}},
        {0, {}},
        {5, {}},
        {6, {TOVLevelPitch}},
        {7, {TOVStaffSpace}},
        {8, {TOVLevelPitch, 8.85}},
        {9, {TOVStaffSpace, 11.8}},
        {10, {TOVLevelPitch, 8.85, 14.75}},
        {-6, {17.7}},
        {-7, {17.7}},
        {-8, {17.7, 23.6}},
        {-9, {17.7, 23.6}},
        {-10, {17.7, 23.6, 29.5}},
    };
    const auto preview = TOVNotePreview::withFrameSVGFile(Rect(), file_);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.level);
        preview->setFrame(Rect(100, 50, preview->frame().width(), 40));
        preview->setLevel(c.level);
        preview->updateView();
        if (c.lines.empty()) {
            EXPECT_FALSE(preview->bezierPathSupplementalLines());
            continue;
        }
        ASSERT_TRUE(preview->bezierPathSupplementalLines());
        platform::BezierPath expected;
        for (double y : c.lines) {
            expected.appendRect(Rect(0, y, preview->frame().width(), 0.2));
        }
        const auto& actual = preview->bezierPathSupplementalLines()->elements();
        ASSERT_EQ(actual.size(), expected.elements().size());
        for (std::size_t i = 0; i < actual.size(); ++i) {
            EXPECT_NEAR(actual[i].points[0].x, expected.elements()[i].points[0].x, 1e-9);
            EXPECT_NEAR(actual[i].points[0].y, expected.elements()[i].points[0].y, 1e-9);
        }
    }
}

TEST_F(NotePreviewTest, TheHeadSitsAtTheTopAboveTheMiddleLineAndAtTheBottomBelowIt) {
    const auto preview = TOVNotePreview::withFrameSVGFile(Rect(), file_);
    const double width = preview->frame().width();
    // Level 3: the frame reaches from the head's top down to the middle line.
    preview->setFrame(Rect(0, 0, width, 3 * TOVLevelPitch + TOVLevelPitch));
    preview->setLevel(3);
    preview->updateView();
    EXPECT_EQ(preview->bezierPath()->bounds().origin, Point(1.0, 0));
    // Level -1: from the middle line down to the head's bottom.
    preview->setFrame(Rect(0, 0, width, 2 * TOVLevelPitch));
    preview->setLevel(-1);
    preview->updateView();
    EXPECT_NEAR(preview->bezierPath()->bounds().y(), 2 * TOVLevelPitch - headHeight(), 1e-9);
    EXPECT_NEAR(preview->bezierPath()->bounds().maxY(), preview->frame().height(), 1e-9);
    // Back to level 0: the head moves up to the top again.
    preview->setFrame(Rect(0, 0, width, TOVStaffSpace));
    preview->setLevel(0);
    preview->updateView();
    EXPECT_EQ(preview->bezierPath()->bounds().origin, Point(1.0, 0));
}

TEST_F(NotePreviewTest, LedgerLinesAreBlackUnderTheHeadInThePreviewColour) {
    const auto preview = TOVNotePreview::withFrameSVGFile(Rect(), file_);
    preview->setFrame(Rect(20, 30, preview->frame().width(), 30));
    preview->setLevel(8);
    preview->updateView();
    preview->setState(1); // the preview has no selected look
    platform::RecordingGraphicsContext ctx;
    preview->drawTree(preview->bounds(), ctx);
    const auto fills = ctx.callsOfKind(DrawingCall::Kind::FillPath);
    ASSERT_EQ(fills.size(), 2u);
    EXPECT_EQ(fills[0].path, *preview->bezierPathSupplementalLines());
    EXPECT_EQ(fills[0].color, platform::Color::black());
    EXPECT_EQ(fills[1].path, *preview->bezierPath());
    EXPECT_EQ(fills[1].color, TOVUtils::notePreviewColor());

    // Without ledger lines only the head is drawn.
    preview->setLevel(2);
    preview->updateView();
    ctx.clear();
    preview->drawTree(preview->bounds(), ctx);
    ASSERT_EQ(ctx.callsOfKind(DrawingCall::Kind::FillPath).size(), 1u);
}

} // namespace
