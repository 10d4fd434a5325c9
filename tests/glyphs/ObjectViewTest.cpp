#include "FakeLayout.h"
#include "GlyphTestFiles.h"
#include "ViewFixture.h"
#include "glyphs/TOVBarLineView.h"
#include "glyphs/TOVRotatable4View.h"
#include "glyphs/TOVSelectableView.h"
#include "model/TOVStaffMetrics.h"
#include "model/TOVSymbolTypes.h"
#include "model/TOVUtils.h"
#include "platform/graphics/RecordingGraphicsContext.h"

#include <gtest/gtest.h>

#include <typeinfo>

using glyphtest::FakeBarView;
using glyphtest::FakeEditorView;
using glyphtest::FakeObjectController;
using glyphtest::ViewFixture;
using platform::DrawingCall;
using platform::Point;
using platform::Rect;

namespace {

platform::BezierPath box(double w, double h) {
    return platform::BezierPath::withRect(Rect(0, 0, w, h));
}

std::vector<int> cellTypes(const TOVResizableView& view) {
    std::vector<int> types;
    for (const auto& cell : view.handleCellArray()) {
        types.push_back(cell->handleType());
    }
    return types;
}

TEST(ObjectView, ACopyIsOfTheSameClassWithItsOwnOutlineAndCellsAndNoLinks) {
    ViewFixture f;
    auto original = f.add<TOVRotatable4View>(TOVToolWave, Rect(10, 10, 40, 10));
    original->setBezierPath(box(40, 10));
    original->setDefaultViewSize({40, 10});
    f.controller.objectViewShouldBeSelectedAndClearOthers(original.get(), true);
    ASSERT_NE(original->delegate(), nullptr);

    auto copy = original->clone();
    ASSERT_EQ(typeid(*copy), typeid(TOVRotatable4View));
    auto* rotatable = static_cast<TOVRotatable4View*>(copy.get());
    EXPECT_EQ(copy->frame(), original->frame());
    EXPECT_EQ(copy->state(), 0);
    EXPECT_EQ(copy->symbol(), nullptr);
    EXPECT_EQ(copy->delegate(), nullptr);
    EXPECT_EQ(copy->barViewBelongTo(), nullptr);
    EXPECT_EQ(copy->editorViewBelongTo(), nullptr);
    EXPECT_EQ(copy->defaultViewSize(), (platform::Size{40, 10}));
    EXPECT_EQ(cellTypes(*rotatable), (std::vector<int>{4, 8, 6, 7}));
    EXPECT_NE(rotatable->handleCellArray()[0], original->handleCellArray()[0]);
    // The outline is the copy's own.
    ASSERT_TRUE(copy->bezierPath());
    EXPECT_EQ(*copy->bezierPath(), *original->bezierPath());
    copy->bezierPath()->translate(5, 5);
    EXPECT_EQ(original->bezierPath()->bounds(), Rect(0, 0, 40, 10));
}

TEST(ObjectView, ABarlineCopyTakesItsOwnSetUpWhileThePrototypeDoesNot) {
    TempDir folder;
    folder.write("single.svg", "<svg/>"); // no outline: a prototype of size zero
    auto prototype =
        TOVObjectView::makeWithFrameSVGFile<TOVBarLineView>(Rect(), (folder.path() / "single.svg").string());
    EXPECT_EQ(prototype->frame().size, (platform::Size{0, 0}));
    EXPECT_EQ(prototype->defaultViewSize(), (platform::Size{0, 0}));
    EXPECT_TRUE(prototype->registeredDraggedTypes().empty());
    auto copy = prototype->clone();
    ASSERT_EQ(typeid(*copy), typeid(TOVBarLineView));
    EXPECT_EQ(copy->frame().width(), 20.0);
    EXPECT_EQ(copy->registeredDraggedTypes(),
              (std::vector<std::string>{"TOVSymbolPaletteForBarlineViewData"}));
}

TEST(ObjectView, AGlyphFileIsReadAtTheSymbolScaleAndAnEmptyOneDrawsNothing) {
    TempDir folder;
    folder.write("glyph.svg", glyphtest::rectangleGlyph(10, 20));
    folder.write("empty.svg", "<svg><g/></svg>");
    auto view = TOVObjectView::makeWithFrameSVGFile<TOVObjectView>(Rect(3, 4, 99, 99),
                                                                   (folder.path() / "glyph.svg").string());
    EXPECT_NEAR(view->frame().width(), TOVStaffSpace, 1e-9);
    EXPECT_NEAR(view->frame().height(), 11.8, 1e-9);
    EXPECT_EQ(view->frame().origin, (Point{3, 4}));
    EXPECT_EQ(view->defaultViewSize(), view->frame().size);

    auto empty =
        TOVObjectView::makeWithFrameSVGFile<TOVObjectView>(Rect(), (folder.path() / "empty.svg").string());
    EXPECT_EQ(empty->frame().size, (platform::Size{0, 0}));
    platform::RecordingGraphicsContext ctx;
    empty->drawRect(empty->bounds(), ctx);
    EXPECT_TRUE(ctx.callsOfKind(DrawingCall::Kind::FillPath).empty() ||
                ctx.callsOfKind(DrawingCall::Kind::FillPath)[0].path.isEmpty());
}

TEST(ObjectView, EachStateDrawsInItsColourAndMovableViewsFrameTheSelection) {
    struct Case {
        int state;
        bool movable;
        std::optional<platform::Color> fill;
        bool framed;
    };
    const Case cases[] = {
        {0, true, TOVUtils::objectNormalColor(), false},
        {1, true, TOVUtils::objectSelectedColor(), true},
        {2, true, TOVUtils::objectTargetColor(), true},
        {1, false, TOVUtils::objectSelectedColor(), false},
        {3, true, std::nullopt, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "state " << c.state << (c.movable ? " movable" : " base"));
        std::shared_ptr<TOVObjectView> view = c.movable ? std::make_shared<TOVMovableView>(Rect(0, 0, 10, 10))
                                                        : std::make_shared<TOVObjectView>(Rect(0, 0, 10, 10));
        view->setBezierPath(box(10, 10));
        view->setState(c.state);
        platform::RecordingGraphicsContext ctx;
        view->drawRect(view->bounds(), ctx);
        const auto fills = ctx.callsOfKind(DrawingCall::Kind::FillPath);
        ASSERT_EQ(fills.size(), c.fill ? 1u : 0u);
        if (c.fill) {
            EXPECT_EQ(fills[0].color, *c.fill);
        }
        // A framed view marks the four corners of its frame (two arms each) in its colour, and its symbol
        // is drawn last, over the marks.
        std::size_t marks = 0;
        for (const auto& call : ctx.callsOfKind(DrawingCall::Kind::FillRect)) {
            marks += c.fill && call.color == *c.fill ? 1 : 0;
        }
        EXPECT_EQ(marks, c.framed ? 8u : 0u);
        EXPECT_TRUE(ctx.callsOfKind(DrawingCall::Kind::FrameRect).empty());
        if (c.fill) {
            EXPECT_EQ(ctx.calls().back().kind, DrawingCall::Kind::FillPath);
        }
    }
}

TEST(ObjectView, OwnersBringTheirDelegateAndAViewWithoutOneAsksNothing) {
    ViewFixture f;
    auto view = std::make_shared<TOVSelectableView>(Rect(0, 0, 10, 10));
    view->makeSelfOnlySelectedOn();
    view->makeSelfSelectedAndClearOthers(false);
    view->makeSelfTargetOn();
    view->makeSelfTargetOff();
    EXPECT_TRUE(f.controller.log.empty());

    view->setBarViewBelongTo(f.barView.get());
    EXPECT_EQ(view->delegate(), &f.controller);
    view->setDelegate(nullptr);
    view->setBarViewBelongTo(f.barView.get()); // the same owner again changes nothing
    EXPECT_EQ(view->delegate(), nullptr);
    view->setBarViewBelongTo(nullptr);
    view->setBarViewBelongTo(f.barView.get());
    view->makeSelfTargetOn();
    view->makeSelfTargetOff();
    EXPECT_EQ(f.controller.log, (std::vector<std::string>{"target", "target off"}));
    view->setBarViewBelongTo(nullptr);
    EXPECT_EQ(view->delegate(), nullptr);

    // The owner is held weakly.
    view->setEditorViewBelongTo(f.editor.get());
    auto lonelyBar = std::make_shared<FakeBarView>(Rect(), f.editor.get());
    view->setBarViewBelongTo(lonelyBar.get());
    lonelyBar.reset();
    EXPECT_EQ(view->barViewBelongTo(), nullptr);
    EXPECT_EQ(view->editorViewBelongTo(), f.editor.get());
}

TEST(ObjectView, ClicksPassThroughObjectViewsWhileABarRangeModeIsActive) {
    ViewFixture f;
    auto view = f.add<TOVSelectableView>(TOVSymbolClefG, Rect(10, 10, 20, 20));
    f.controller.editBarMode = 1;
    f.press({70, 60});
    f.release({70, 60});
    EXPECT_TRUE(f.controller.log.empty());
    EXPECT_EQ(view->hitTest({70, 60}), nullptr);
    f.controller.editBarMode = 0;
    f.press({70, 60});
    f.release({70, 60});
    EXPECT_EQ(f.controller.log, (std::vector<std::string>{"select only"}));
}

TEST(ObjectView, GrowingAroundAChildKeepsTheChildAndTheGlyphInPlace) {
    auto editor = std::make_shared<FakeEditorView>(Rect(0, 0, 200, 200));
    auto view = std::make_shared<TOVObjectView>(Rect(50, 50, 30, 20));
    editor->addSubview(view);
    view->setBezierPath(box(30, 20));
    auto inside = std::make_shared<platform::View>(Rect(2, 2, 10, 10));
    view->addSubviewWithAdjustPosition(inside);
    EXPECT_FALSE(view->adjustFrameWithChildView(*inside));
    EXPECT_EQ(view->frame(), Rect(50, 50, 30, 20));

    auto left = std::make_shared<platform::View>(Rect(-5, 4, 10, 30));
    view->addSubviewWithAdjustPosition(left);
    const Point insideOnPage = inside->convertPointToView({0, 0}, editor.get());
    const Point leftOnPage = left->convertPointToView({0, 0}, editor.get());
    EXPECT_TRUE(view->adjustFrameWithChildView(*left));
    EXPECT_EQ(view->frame(), Rect(45, 50, 35, 34));
    EXPECT_EQ(inside->convertPointToView({0, 0}, editor.get()), insideOnPage);
    EXPECT_EQ(left->convertPointToView({0, 0}, editor.get()), leftOnPage);
    EXPECT_EQ(view->bezierPath()->bounds(), Rect(5, 0, 30, 20));
}

TEST(ObjectView, TheOriginIsGivenInTheEditorForAViewInsideItsBarView) {
    ViewFixture f;
    auto view = std::make_shared<TOVObjectView>(Rect(3, 4, 5, 5));
    f.barView->addSubview(view);
    view->setBarViewBelongTo(f.barView.get());
    EXPECT_EQ(view->originFromEditorView(), (Point{53, 44}));
    f.editor->addSubview(view);
    EXPECT_EQ(view->originFromEditorView(), (Point{3, 4}));
}

} // namespace
