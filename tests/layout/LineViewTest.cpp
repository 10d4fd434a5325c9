#include "BoundEditorFixture.h"

#include "glyphs/TOVBarLineView.h"
#include "glyphs/TOVObjectView.h"
#include "glyphs/TOVObjectViewFactory.h"
#include "layout/TOVEditorBarView.h"
#include "layout/TOVEditorLineView.h"
#include "layout/TOVEditorPageView.h"
#include "layout/TOVEditorView.h"
#include "model/Bar.h"
#include "model/Document.h"
#include "model/Line.h"
#include "model/Symbol.h"
#include "model/TOVSymbolTypes.h"
#include "model/TOVUtils.h"
#include "platform/data/ManagedObjectContext.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/graphics/RecordingGraphicsContext.h"
#include "platform/ui/DraggingInfo.h"
#include "support/LayoutBuilder.h"
#include "support/SongBuilder.h"

#include <gtest/gtest.h>

using layouttest::FakeLayoutController;
using platform::DrawingCall;
using platform::Rect;
using tovtest::LineSpec;
using tovtest::PageSpec;

namespace {

constexpr LineSpec kHeader{0, 0, false};
constexpr LineSpec kSingle{4, 4, false};
constexpr LineSpec kDouble{4, 4, true};

// The brace and the repeat glyphs come from the glyph library.
class LineViewTest : public layouttest::BoundEditorFixture {
protected:
    LineViewTest() : BoundEditorFixture(6000) {}

    // The staff line views of page 0 in order (the song header's slot left out).
    std::vector<TOVEditorLineView*> lines() const {
        std::vector<TOVEditorLineView*> out;
        for (const auto& line : editor->pageViewArray().front()->lineViewArray()) {
            if (!line->barViewArray().empty()) {
                out.push_back(line.get());
            }
        }
        return out;
    }
    std::vector<double> widths(const TOVEditorLineView* line) const {
        std::vector<double> out;
        for (const auto& view : line->barViewArray()) {
            out.push_back(view->bar()->width());
        }
        return out;
    }
};

TEST_F(LineViewTest, FirstBarlineAndMinimumWidthOnTheSongsFirstLineAndElsewhere) {
    bind({PageSpec{10, {kHeader, kSingle, kSingle}}});
    const auto staff = lines();
    ASSERT_EQ(staff.size(), 2u);
    TOVEditorBarView* first = staff[0]->firstBarView();
    ASSERT_EQ(first->bar()->num(), 0u);
    first->setClefView(std::make_shared<TOVObjectView>(Rect(0, 0, 20, 10)));
    // Area x 2.0, width 21 + 2 (the left margin of the single barline): right edge 25.
    EXPECT_DOUBLE_EQ(staff[0]->xPosForFirstBarlineView(), 65.0);
    EXPECT_DOUBLE_EQ(staff[0]->minBarWidthOfBarView(first), 65.0);
    EXPECT_DOUBLE_EQ(staff[0]->minBarWidthOfBarView(staff[0]->barViewOf(1)), 40.0);
    staff[0]->lineUpBarLineViews();
    EXPECT_DOUBLE_EQ(staff[0]->firstBarLineView()->frame().midX(), 65.0);
    EXPECT_DOUBLE_EQ(staff[1]->xPosForFirstBarlineView(), 40.0);
    EXPECT_DOUBLE_EQ(staff[1]->minBarWidthOfBarView(staff[1]->firstBarView()), 40.0);
    EXPECT_DOUBLE_EQ(staff[1]->firstBarLineView()->frame().midX(), 40.0);
}

TEST_F(LineViewTest, BarlinesStandAtTheBarEdgesOfTheUpperLineOnly) {
    bind({PageSpec{10, {kHeader, kDouble, kSingle}}});
    const auto staff = lines();
    ASSERT_EQ(staff.size(), 3u);
    TOVEditorLineView* upper = staff[0];
    TOVEditorLineView* lower = staff[1];
    ASSERT_TRUE(lower->isLowerPart());
    EXPECT_TRUE(lower->barLineViewArray().empty());
    ASSERT_EQ(upper->barLineViewArray().size(), 5u);
    for (std::size_t i = 0; i < 4; ++i) {
        TOVBarLineView* barline = upper->rightBarLineViewOfBarView(upper->barViewOf(i));
        ASSERT_NE(barline, nullptr);
        EXPECT_EQ(barline->superview(), editor.get());
        EXPECT_DOUBLE_EQ(barline->frame().height(), 2 * upper->frame().height());
        EXPECT_TRUE(barline->doublePart());
        EXPECT_DOUBLE_EQ(barline->frame().midX(), upper->barViewOf(i)->frame().maxX());
        EXPECT_EQ(barline->canMoveXpos(), i < 3) << i;
        EXPECT_EQ(barline->barLineType(), TOVBarlineSingle);
    }
    EXPECT_EQ(upper->leftBarLineViewOfBarView(upper->firstBarView()), upper->firstBarLineView());
    EXPECT_NE(upper->multiLineBraceView(), nullptr);
    EXPECT_EQ(staff[2]->multiLineBraceView(), nullptr);
    EXPECT_DOUBLE_EQ(staff[2]->rightBarLineViewOfBarView(staff[2]->firstBarView())->frame().height(),
                     staff[2]->frame().height());
    // The five staff lines run under all the bars.
    const Rect staffBounds = upper->bezierPath5Lines().bounds();
    EXPECT_DOUBLE_EQ(staffBounds.x(), 40.0);
    EXPECT_DOUBLE_EQ(staffBounds.width(), 4 * 130.0);
    EXPECT_NEAR(staffBounds.height(), 23.8, 1e-9);
}

TEST_F(LineViewTest, BarsAreLaidOutWithinThePage) {
    struct Case {
        const char* name;
        std::vector<double> stored, laidOut;
    };
    const Case cases[] = {
        {"own widths", {100, 160, 130, 130}, {100, 160, 130, 130}},
        {"no width or one below zero takes the default share", {0, -130, 130, 130}, {130, 130, 130, 130}},
        {"a little over, as single precision leaves it", {130, 130, 130, 131.5}, {130, 130, 130, 131.5}},
        {"widths past the page give way to the default shares", {130, 130, 130, 20800}, {130, 130, 130, 130}},
        {"also when each one alone fits", {300, 300, 130, 130}, {130, 130, 130, 130}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bind({PageSpec{10, {kHeader, kSingle}}});
        TOVEditorLineView* line = lines()[0];
        for (std::size_t i = 0; i < c.stored.size(); ++i) {
            line->barViewOf(i)->bar()->setWidth(c.stored[i]);
        }
        for (bool rebuilt : {false, true}) {
            if (rebuilt) {
                line->recreateAllBarViews();
            } else {
                line->lineUpBarViews();
            }
            std::vector<double> laidOut;
            for (const auto& view : line->barViewArray()) {
                laidOut.push_back(view->frame().width());
            }
            EXPECT_EQ(laidOut, c.laidOut) << rebuilt;
            EXPECT_LE(line->barViewArray().back()->frame().maxX(), line->bounds().width());
        }
        // Bar views made anew store the widths they show.
        EXPECT_EQ(widths(line), c.laidOut);
        editor->setDocData(nullptr);
    }
}

TEST_F(LineViewTest, NormalizingNeverLeavesABarWithoutWidth) {
    struct Case {
        const char* name;
        std::vector<double> before, after;
    };
    const Case cases[] = {
        {"narrow inner bar takes from the next", {130, 30, 130, 130}, {130, 40, 120, 130}},
        {"a last bar is only narrowed", {130, 130, 130, 30}, {130, 130, 130, 30}},
        {"the last bar may go below its minimum", {130, 130, 20, 30}, {130, 130, 40, 10}},
        {"but never to zero", {130, 130, 10, 25}, {130, 130, 10, 25}},
        {"nor below zero", {130, 20, 10, 130}, {130, 20, 40, 100}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bind({PageSpec{10, {kHeader, kSingle, kSingle}}});
        TOVEditorLineView* line = lines()[1];
        for (std::size_t i = 0; i < c.before.size(); ++i) {
            line->barViewOf(i)->bar()->setWidth(c.before[i]);
        }
        line->normalizeBarWidth();
        EXPECT_EQ(widths(line), c.after);
        for (double width : widths(line)) {
            EXPECT_GT(width, 0);
        }
        editor->setDocData(nullptr);
    }
}

TEST_F(LineViewTest, BarlineDragsStopAtTheMinimumWidths) {
    struct Case {
        std::size_t barline; // 0 is the line's first barline
        double dx, leftWidth, rightWidth;
    };
    const Case cases[] = {
        {2, 50, 180, 80},  {2, 89, 219, 41}, {2, 90, 220, 40},  {2, 200, 220, 40}, {2, -200, 40, 220},
        {2, -90, 40, 220}, {2, 0, 130, 130}, {0, 50, 130, 130}, {4, 50, 130, 130},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.barline << " by " << c.dx);
        bind({PageSpec{10, {kHeader, kSingle, kSingle}}});
        TOVEditorLineView* line = lines()[1];
        TOVBarLineView* barline = line->barLineViewArray()[c.barline].get();
        // The bars beside the barline (both 130 wide); the outer barlines have only one.
        const std::size_t leftIndex = c.barline == 0 ? 0 : c.barline - 1;
        TOVEditorBarView* left = line->barViewOf(leftIndex);
        TOVEditorBarView* right = line->barViewOf(c.barline == 0 ? 0 : std::min<std::size_t>(c.barline, 3));
        const double barlineX = barline->frame().x();
        line->barLineViewRequireMoveX(barline, c.dx);
        if (c.barline == 0 || c.barline == 4) {
            EXPECT_EQ(left->frame().width(), 130);
            EXPECT_EQ(barline->frame().x(), barlineX);
        } else {
            EXPECT_DOUBLE_EQ(left->frame().width(), c.leftWidth);
            EXPECT_DOUBLE_EQ(right->frame().width(), c.rightWidth);
            EXPECT_DOUBLE_EQ(right->frame().x(), left->frame().maxX());
            EXPECT_DOUBLE_EQ(barline->frame().midX(), left->frame().maxX());
            // Nothing is written before the drag ends.
            EXPECT_EQ(left->bar()->width(), 130);
        }
        editor->setDocData(nullptr);
    }
}

TEST_F(LineViewTest, AFinishedDragInADoubleLineKeepsTheLowerStaffsSymbolsInPlace) {
    bind({PageSpec{10, {kHeader, kDouble}}});
    TOVEditorLineView* upper = lines()[0];
    TOVEditorLineView* lower = lines()[1];
    Bar* upperBar = upper->barViewOf(1)->bar();
    Bar* lowerBar = lower->barViewOf(1)->bar();
    Symbol* upperSymbol = upperBar->createNewSymbolWithTypeFrame(TOVSymbolFine, Rect(60, 5, 10, 10));
    Symbol* lowerSymbol = lowerBar->createNewSymbolWithTypeFrame(TOVSymbolFine, Rect(60, 5, 10, 10));
    // The barline after bar 1: bar 1 grows from 130 to 195 (scale 1.5).
    TOVBarLineView* barline = upper->rightBarLineViewOfBarView(upper->barViewOf(1));
    upper->barLineViewRequireMoveX(barline, 65);
    EXPECT_DOUBLE_EQ(lower->barViewOf(1)->frame().width(), 195);
    EXPECT_DOUBLE_EQ(lower->barViewOf(2)->frame().width(), 65);
    upper->barLineViewDidMoveX(barline, 65);
    EXPECT_EQ(widths(upper), (std::vector<double>{130, 195, 65, 130}));
    EXPECT_EQ(widths(lower), (std::vector<double>{130, 195, 65, 130}));
    EXPECT_DOUBLE_EQ(upperSymbol->frame().x(), 90);
    EXPECT_DOUBLE_EQ(lowerSymbol->frame().x(), 90);
    EXPECT_DOUBLE_EQ(lower->barViewOf(2)->frame().x(), lower->barViewOf(1)->frame().maxX());
}

TEST_F(LineViewTest, ABarlineDroppedOnTheFirstBarlineSetsTheLinesFirstBarlineType) {
    bind({PageSpec{10, {kHeader, kDouble}}});
    TOVEditorLineView* upper = lines()[0];
    TOVEditorLineView* lower = lines()[1];
    platform::DraggingInfo info;
    info.addType(TOVBarLineView::kPaletteDragType);
    upper->barLineViewSymbolPaletteDragPerformedDraggingInfo(upper->firstBarLineView(),
                                                             TOVBarlineRepeatForward, info);
    EXPECT_EQ(upper->line()->firstBarLineType(), TOVBarlineRepeatForward);
    EXPECT_EQ(lower->line()->firstBarLineType(), TOVBarlineRepeatForward);
    EXPECT_EQ(upper->firstBarLineView()->barLineType(), TOVBarlineRepeatForward);
    // The bars keep theirs.
    EXPECT_EQ(upper->firstBarView()->bar()->barLineType(), TOVBarlineSingle);
    // A drop on a bar's barline changes that bar, in both staves.
    upper->barLineViewSymbolPaletteDragPerformedDraggingInfo(upper->barLineViewArray()[2].get(),
                                                             TOVBarlineRepeatBackward, info);
    EXPECT_EQ(upper->barViewOf(1)->bar()->barLineType(), TOVBarlineRepeatBackward);
    EXPECT_EQ(lower->barViewOf(1)->bar()->barLineType(), TOVBarlineRepeatBackward);
    EXPECT_EQ(upper->barLineViewArray()[2]->barLineType(), TOVBarlineRepeatBackward);
}

TEST_F(LineViewTest, BarlineKindsStrokeOrFillAndPlacement) {
    enum class Place { Centred, StartsAtCentre, EndsAtCentre };
    struct Case {
        int type;
        bool filled;
        Place place;
        bool paints;
    };
    const Case cases[] = {
        {TOVBarlineSingle, false, Place::Centred, true},
        {TOVBarlineDotted, false, Place::Centred, true},
        {TOVBarlineGreatDouble, true, Place::Centred, true},
        {TOVBarlineDouble, true, Place::Centred, true},
        {TOVBarlineRepeatForward, true, Place::StartsAtCentre, true},
        {TOVBarlineRepeatBackward, true, Place::EndsAtCentre, true},
        {TOVBarlineRepeatBoth, true, Place::Centred, true},
        {TOVBarlineTransparent, false, Place::Centred, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        auto view = TOVBarLineView::withFrame(Rect(0, 0, 0, 60));
        view->setBarOffsetY(18.1);
        view->setBarLineType(c.type);
        EXPECT_EQ(TOVBarLineView::isFilledKind(c.type), c.filled);
        const Rect outline = view->makeBarlinePath().bounds();
        EXPECT_DOUBLE_EQ(view->offsetX(), outline.x());
        switch (c.place) {
        case Place::Centred:
            EXPECT_NEAR(outline.midX(), 10.0, 1e-9);
            break;
        case Place::StartsAtCentre:
            EXPECT_NEAR(outline.x(), 10.0, 1e-9);
            break;
        case Place::EndsAtCentre:
            EXPECT_NEAR(outline.maxX(), 10.0, 1e-9);
            break;
        }
        if (c.type < TOVBarlineRepeatForward || c.type > TOVBarlineRepeatBoth) {
            // The repeat kinds' thick parts curl beyond the staff.
            EXPECT_NEAR(outline.y(), 18.1, 0.01);
        }
        platform::RecordingGraphicsContext ctx(true);
        view->drawRect(view->bounds(), ctx);
        const auto calls = ctx.calls();
        if (!c.paints) {
            EXPECT_TRUE(calls.empty());
            continue;
        }
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0].kind, c.filled ? DrawingCall::Kind::FillPath : DrawingCall::Kind::StrokePath);
    }
    // The invisible kind answers the single kind's offset.
    auto single = TOVBarLineView::withFrame(Rect(0, 0, 0, 60));
    single->setBarLineType(TOVBarlineSingle);
    auto invisible = TOVBarLineView::withFrame(Rect(0, 0, 0, 60));
    invisible->setBarLineType(TOVBarlineTransparent);
    EXPECT_DOUBLE_EQ(single->offsetX(), invisible->offsetX());
    EXPECT_DOUBLE_EQ(single->offsetX(), 10.0);
}

TEST_F(LineViewTest, BarlineDropsAcceptOtherKindsAndNoGreatDoubleBarOnTheFirstBarline) {
    bind({PageSpec{10, {kHeader, kSingle}}});
    TOVEditorLineView* line = lines()[0];
    auto drag = [](int item) {
        platform::DraggingInfo info;
        const auto bytes = platform::KeyedArchiver::archivedDataWithRootNumber(item);
        info.addType(TOVBarLineView::kPaletteDragType);
        info.addType("itemType", QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                            static_cast<qsizetype>(bytes.size())));
        return info;
    };
    struct Case {
        std::size_t barline;
        int item;
        bool accepted;
    };
    for (const Case& c : {Case{1, TOVBarlineSingle, false}, Case{1, TOVBarlineRepeatForward, true},
                          Case{1, TOVBarlineGreatDouble, true}, Case{0, TOVBarlineGreatDouble, false},
                          Case{0, TOVBarlineRepeatBoth, true}, Case{1, TOVBarlineBrace, false},
                          Case{1, TOVBarlineSingle - 1, false}}) {
        SCOPED_TRACE(testing::Message() << c.barline << " " << c.item);
        TOVBarLineView* barline = line->barLineViewArray()[c.barline].get();
        const auto info = drag(c.item);
        EXPECT_EQ(barline->draggingEntered(info),
                  c.accepted ? platform::DragOperationCopy : platform::DragOperationNone);
        EXPECT_EQ(barline->draggingUpdated(info),
                  c.accepted ? platform::DragOperationCopy : platform::DragOperationNone);
        barline->draggingExited(info);
    }
    // A drag of another kind of item is not looked at.
    platform::DraggingInfo other;
    other.addType("TOVSymbolPaletteForBarViewData");
    EXPECT_EQ(line->firstBarLineView()->draggingEntered(other), platform::DragOperationNone);
    EXPECT_FALSE(line->firstBarLineView()->performDragOperation(other));
    // A drop on the first barline goes into the line.
    EXPECT_TRUE(line->firstBarLineView()->performDragOperation(drag(TOVBarlineRepeatForward)));
    EXPECT_EQ(line->line()->firstBarLineType(), TOVBarlineRepeatForward);
    EXPECT_EQ(line->firstBarLineView()->barLineType(), TOVBarlineRepeatForward);
}

} // namespace
