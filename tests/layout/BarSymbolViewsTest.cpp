#include "BoundEditorFixture.h"
#include "EditorViewLookups.h"

#include "glyphs/TOVMarkView.h"
#include "glyphs/TOVObjectView.h"
#include "glyphs/TOVObjectViewFactory.h"
#include "layout/TOVEditorBarView.h"
#include "layout/TOVEditorLineView.h"
#include "layout/TOVEditorPageView.h"
#include "layout/TOVPaletteTypes.h"
#include "model/Bar.h"
#include "model/Line.h"
#include "model/Symbol.h"
#include "model/SymbolRepeat.h"
#include "model/SymbolTempo.h"
#include "model/SymbolText.h"
#include "model/TOVChordElems.h"
#include "model/TOVStaffMetrics.h"
#include "model/TOVSymbolTypes.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/ui/DraggingInfo.h"

#include <gtest/gtest.h>

#include <algorithm>

using layouttest::BoundEditorFixture;
using platform::Point;
using platform::Rect;
using tovtest::LineSpec;
using tovtest::PageSpec;

namespace {

// A header line, then two lines of four bars: bars 0 to 7.
const PageSpec kOnePage{10, {LineSpec{0, 0, false}, LineSpec{4, 4, false}, LineSpec{4, 4, false}}};

// A symbols-palette drag carrying the item, as the palette writes it.
platform::DraggingInfo symbolDrag(int item) {
    platform::DraggingInfo info;
    info.addType(TOVPaletteTypes::SymbolForBarView);
    const auto bytes = platform::KeyedArchiver::archivedDataWithRootNumber(item);
    info.addType(TOVPaletteTypes::ItemType, QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                                       static_cast<qsizetype>(bytes.size())));
    return info;
}

class BarSymbolViewsTest : public BoundEditorFixture {
protected:
    BarSymbolViewsTest() : BoundEditorFixture(6000) {}

    TOVEditorBarView* barView(std::uint64_t num) const { return layouttest::barViewNumbered(*editor, num); }
    // The view's origin as a point of the bar view.
    static Point originInBar(const TOVEditorBarView* bar, const TOVObjectView& view) {
        return bar->convertPointFromView(view.frame().origin, view.superview());
    }
    bool inEditor(const std::shared_ptr<TOVObjectView>& view) const {
        const auto& subviews = editor->subviews();
        return std::find(subviews.begin(), subviews.end(), view) != subviews.end();
    }
};

TEST_F(BarSymbolViewsTest, ClefKeyAndTimeStandOneAfterTheOtherFromTheStartOfTheBar) {
    bind({kOnePage});
    tovtest::findBar(document, 4)->line()->setFirstBarLineType(TOVBarlineRepeatForward);
    struct Case {
        std::uint64_t bar;
        bool clef, key;
        double startX;
    };
    // The song's first bar starts at 2.0 whatever its barline; bar 4 starts a line behind a repeat
    // barline (room 9.0 on its right), bar 2 sits behind a single barline (2.0).
    for (const Case& c : {Case{0, true, true, 2.0}, Case{4, true, true, 9.0}, Case{2, false, false, 2.0},
                          Case{5, true, false, 2.0}}) {
        SCOPED_TRACE(c.bar);
        TOVEditorBarView* view = barView(c.bar);
        ASSERT_NE(view, nullptr);
        Bar* bar = view->bar();
        bar->setClefType(c.clef ? TOVSymbolClefG : 0);
        bar->setKeyType(c.key ? TOVSymbolKeySharp3 : 0);
        bar->setTimeType(TOVSymbolTime4_4);
        view->recreateAllSubViews();
        ASSERT_TRUE(view->timeView());
        ASSERT_EQ(bool(view->clefView()), c.clef);
        ASSERT_EQ(bool(view->keySignatureView()), c.key);
        double x = c.startX;
        for (const auto* slot : {&view->clefView(), &view->keySignatureView(), &view->timeView()}) {
            if (!*slot) {
                continue;
            }
            EXPECT_TRUE(inEditor(*slot));
            EXPECT_DOUBLE_EQ(originInBar(view, **slot).x, x);
            x += (*slot)->frame().width() + 1.0;
        }
        // The glyphs stand against the staff: the treble clef 8.0 above the top line, the time signature
        // on it.
        if (c.clef) {
            EXPECT_NEAR(originInBar(view, *view->clefView()).y, view->posY5LinesTop() - 8.0, 1e-9);
        }
        EXPECT_NEAR(originInBar(view, *view->timeView()).y, view->posY5LinesTop(), 1e-9);
        // The notes start behind the group.
        EXPECT_GT(view->rectangleNotesArea().x(), originInBar(view, *view->timeView()).x);
    }
}

TEST_F(BarSymbolViewsTest, TheGroupFollowsALiveBarlineDragAndANewFrame) {
    bind({kOnePage});
    TOVEditorBarView* view = barView(5);
    view->bar()->setClefType(TOVSymbolClefG);
    view->recreateAllSubViews();
    ASSERT_TRUE(view->clefView());
    const Rect old = view->frame();
    view->updateViewFrameTemporallyBy(Rect(old.x() + 30, old.y(), old.width() - 30, old.height()));
    EXPECT_DOUBLE_EQ(originInBar(view, *view->clefView()).x, 2.0);
    view->setFrame(Rect(old.x() + 10, old.y(), old.width(), old.height()));
    EXPECT_DOUBLE_EQ(originInBar(view, *view->clefView()).x, 2.0);
}

// The controller rebuilds the note views when the clef area changes, which clears the selection.
class ClearingController : public layouttest::FakeLayoutController {
public:
    void layoutViewDidUpdateClefArea(platform::View*, platform::ManagedObject*) override {
        ++clefAreaReports;
        if (editor != nullptr) {
            editor->clearSelection();
        }
    }
    int clefAreaReports = 0;
};

class BarSymbolDropTest : public BarSymbolViewsTest {
protected:
    void SetUp() override {
        BarSymbolViewsTest::SetUp();
        clearing.editor = editor.get();
        editor->setDelegate(&clearing);
    }
    ClearingController clearing;
};

TEST_F(BarSymbolDropTest, ADroppedClefKeyOrTimeReplacesTheOldOneAndIsSelectedAlone) {
    bind({kOnePage});
    TOVEditorBarView* view = barView(1);
    Bar* bar = view->bar();
    bar->setClefType(TOVSymbolClefG);
    bar->setKeyType(TOVSymbolKeySharp3);
    bar->setTimeType(TOVSymbolTime4_4);
    view->recreateAllSubViews();
    struct Case {
        int item;
        const std::shared_ptr<TOVObjectView>& (TOVEditorBarView::*slot)() const;
        int (Bar::*attribute)() const;
    };
    for (const Case& c : {Case{TOVSymbolClefF, &TOVEditorBarView::clefView, &Bar::clefType},
                          Case{TOVSymbolKeySharp6, &TOVEditorBarView::keySignatureView, &Bar::keyType},
                          Case{TOVSymbolTime2_4, &TOVEditorBarView::timeView, &Bar::timeType}}) {
        SCOPED_TRACE(c.item);
        const std::shared_ptr<TOVObjectView> old = (view->*c.slot)();
        ASSERT_TRUE(old);
        // The old view is selected together with another one.
        ASSERT_TRUE(editor->selectObjectViewsClearOthers(
            {old, view->clefView() == old ? view->timeView() : view->clefView()}, true));
        const int reports = clearing.clefAreaReports;
        const auto info = symbolDrag(c.item);
        EXPECT_EQ(view->draggingEntered(info), platform::DragOperationCopy);
        EXPECT_EQ(clearing.targets.back(), old.get());
        EXPECT_TRUE(view->performDragOperation(info));
        const std::shared_ptr<TOVObjectView> now = (view->*c.slot)();
        ASSERT_TRUE(now);
        EXPECT_NE(now, old);
        EXPECT_EQ((bar->*c.attribute)(), c.item);
        EXPECT_EQ(now->symbolType(), c.item);
        EXPECT_TRUE(inEditor(now));
        EXPECT_FALSE(inEditor(old));
        EXPECT_EQ(old->state(), 0);
        EXPECT_EQ(editor->selectedObjectViewSet(), TOVEditorView::ObjectViewSet{now});
        EXPECT_EQ(now->state(), 1);
        EXPECT_GT(clearing.clefAreaReports, reports);
        EXPECT_EQ(clearing.log.back(), "symbol performed " + std::to_string(c.item));
    }
    // The group was laid out again: the key stands behind the new clef.
    EXPECT_DOUBLE_EQ(originInBar(view, *view->keySignatureView()).x,
                     2.0 + view->clefView()->frame().width() + 1.0);
}

TEST_F(BarSymbolViewsTest, SymbolsPaletteItemsAcceptedOrRefused) {
    bind({kOnePage});
    Bar* withLongRest = tovtest::findBar(document, 1);
    withLongRest->setLongRest(4);
    tovtest::findBar(document, 2)->createNewSingleMeloFromLengthLevel(0, 240, 0);
    tovtest::findBar(document, 3)->createNewChordWithElemsTiming({0, 12, 70, 17, false}, 0);
    struct Case {
        std::uint64_t bar;
        int item;
        bool accepted;
    };
    const Case cases[] = {
        {0, TOVSymbolClefG, true},
        {0, TOVSymbolKeySharp3, true},
        {0, TOVSymbolTime4_4, true},
        {0, TOVSymbolMarkIntro, true},
        {0, TOVSymbolCoda, true},
        {0, TOVSymbolVoltaBegin, true},
        {0, TOVSymbolRepeatTimes, true},
        {0, TOVSymbolLongRest, true},
        {1, TOVSymbolLongRest, false},
        {2, TOVSymbolLongRest, false},
        {3, TOVSymbolLongRest, false},
        {0, TOVSymbolDynamicsFFF, true},
        {1, TOVSymbolDynamicsFFF, false},
        {0, TOVSymbolOctave8va, true},
        {1, TOVSymbolOctave8va, false},
        {0, TOVSymbolRit, true},
        {1, TOVSymbolRit, false},
        {1, TOVSymbolTempoSpeed, true},
        {0, TOVSymbolPush8, true},
        {0, TOVSymbolTenuto, false},
        {0, TOVSymbolFermata, false},
        {0, TOVBarlineSingle, false},
        {0, TOVToolFreeText, false},
        {0, TOVSymbolChord, false},
        {0, TOVSymbolRepeatPrevBar4, true},
        {4, TOVSymbolRepeatPrevBar4, true},
        {5, TOVSymbolRepeatPrevBar4, false},
        {7, TOVSymbolRepeatPrevBar4, false},
        {7, TOVSymbolRepeatPrevBar1, true},
        {7, TOVSymbolRepeatPrevBar2, false},
        {6, TOVSymbolRepeatPrevBar2, true},
        {0, TOVSymbolRepeatPrevBar4 + 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "bar " << c.bar << " item 0x" << std::hex << c.item);
        TOVEditorBarView* view = barView(c.bar);
        ASSERT_NE(view, nullptr);
        const auto info = symbolDrag(c.item);
        const auto expected = c.accepted ? platform::DragOperationCopy : platform::DragOperationNone;
        EXPECT_EQ(view->draggingUpdated(info), expected);
        EXPECT_EQ(view->draggingEntered(info), expected);
        EXPECT_EQ(controller.log.back(), "symbol entered " + std::to_string(c.item));
        view->draggingExited(info);
        EXPECT_EQ(controller.log.back(), "symbol exited " + std::to_string(c.item));
    }
}

TEST_F(BarSymbolViewsTest, OtherDropsGoToTheControllerAndMarksAreClearedOnExit) {
    bind({kOnePage});
    TOVEditorBarView* view = barView(1);
    SymbolText* mark = view->bar()->createNewSymbolTextWithTypeFrame(TOVSymbolMarkIntro, Rect(10, 2, 0, 0));
    view->recreateAllSubViews();
    const auto markView = view->reharsalMarkView();
    ASSERT_TRUE(markView);
    const auto info = symbolDrag(TOVSymbolMarkInter);
    view->draggingEntered(info);
    EXPECT_EQ(controller.targets.back(), markView.get());
    view->draggingExited(info);
    EXPECT_EQ(controller.targets.back(), nullptr);
    EXPECT_TRUE(view->performDragOperation(info));
    const std::vector<std::string> tail(controller.log.end() - 2, controller.log.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"insert " + std::to_string(TOVSymbolMarkInter),
                                              "symbol performed " + std::to_string(TOVSymbolMarkInter)}));
    // Without a controller nothing makes the symbol: the drop is not handled.
    EXPECT_EQ(mark->type(), TOVSymbolMarkIntro);
    TOVEditorBarView loose(Rect(0, 0, 100, 60));
    EXPECT_FALSE(loose.performDragOperation(info));
}

TEST_F(BarSymbolViewsTest, AMarkWithoutTextShowsItsDefaultTextAndOnlyAnInsertionStoresIt) {
    bind({kOnePage});
    TOVEditorBarView* view = barView(1);
    Bar* bar = view->bar();
    SymbolText* blank = bar->createNewSymbolTextWithTypeFrame(TOVSymbolMarkIntro, Rect(10, 2, 0, 0));
    SymbolText* titled = bar->createNewSymbolTextWithTypeFrame(TOVSymbolMarkIntro, Rect(40, 2, 0, 0));
    titled->setText(platform::AttributedString("Verse"));
    view->recreateAllSubViews();
    const auto prototype = std::dynamic_pointer_cast<TOVMarkView>(
        TOVObjectViewFactory::singletonInstance()->symbolObjectViewWithSymbolTypeFontID(TOVSymbolMarkIntro,
                                                                                        "Default"));
    ASSERT_TRUE(prototype);
    const QString defaultText = prototype->attributedStringValue().string();
    ASSERT_FALSE(defaultText.isEmpty());
    auto markOf = [&](Symbol* symbol) {
        return std::dynamic_pointer_cast<TOVMarkView>(view->objectViewFromData(symbol));
    };
    ASSERT_TRUE(markOf(blank));
    ASSERT_TRUE(markOf(titled));
    EXPECT_EQ(markOf(blank)->attributedStringValue().string(), defaultText);
    EXPECT_GT(markOf(blank)->frame().width(), 0);
    EXPECT_EQ(markOf(titled)->attributedStringValue().string(), QString("Verse"));
    // A rebuild leaves the model as it is.
    EXPECT_FALSE(blank->text().has_value());
    EXPECT_EQ(blank->frame().size, platform::Size());
    // The insertion of a new mark completes it.
    SymbolText* fresh = bar->createNewSymbolTextWithTypeFrame(TOVSymbolMarkIntro, Rect(70, 2, 0, 0));
    view->createMarkViewOfDataSelect(TOVSymbolMarkIntro, fresh, true);
    ASSERT_TRUE(fresh->text().has_value());
    EXPECT_EQ(fresh->text()->string(), defaultText);
    EXPECT_GT(fresh->frame().width(), 0);
    EXPECT_EQ(editor->selectedObjectViewSet(), TOVEditorView::ObjectViewSet{view->objectViewFromData(fresh)});
}

TEST_F(BarSymbolViewsTest, RebuildingSizesUnsizedSymbolsAndDerivesTheScaleOfSizedOnes) {
    bind({kOnePage});
    TOVEditorBarView* view = barView(1);
    Bar* bar = view->bar();
    Symbol* unsized = bar->createNewSymbolWithTypeFrame(TOVSymbolDynamicsFFF, Rect(20, 50, 0, 0));
    SymbolRepeat* prevBar =
        bar->createNewSymbolRepeatWithTypeFrame(TOVSymbolRepeatPrevBar1, Rect(30, 20, 3, 3));
    // As an older store keeps a symbol: a frame and no scale.
    SymbolTempo* tempo = bar->createNewSymbolTempoWithTypeFrame(TOVSymbolRit, Rect(5, -30, 40, 12));
    bar->setLongRest(2);
    view->recreateAllSubViews();
    const auto unsizedView = view->objectViewFromData(unsized);
    const auto prevBarView = view->objectViewFromData(prevBar);
    const auto tempoView = view->objectViewFromData(tempo);
    ASSERT_TRUE(unsizedView && prevBarView && tempoView);
    EXPECT_GT(unsizedView->frame().width(), 0);
    const std::pair<Symbol*, TOVObjectView*> naturals[] = {{unsized, unsizedView.get()},
                                                           {prevBar, prevBarView.get()}};
    for (const auto& [symbol, symbolView] : naturals) {
        EXPECT_EQ(symbolView->frame().size, symbolView->defaultViewSize());
        EXPECT_EQ(symbol->frame().size, symbolView->defaultViewSize());
        EXPECT_DOUBLE_EQ(symbol->scale(), 1.0);
    }
    EXPECT_EQ(unsized->frame().origin, (Point{20, 50}));
    EXPECT_EQ(originInBar(view, *prevBarView), (Point{30, 20}));
    // The stored frame keeps its width; the scale is the one it was drawn at.
    const platform::Size natural = tempoView->defaultViewSize();
    ASSERT_GT(natural.width, 0);
    EXPECT_EQ(tempo->frame(), Rect(5, -30, 40, 12));
    EXPECT_NEAR(tempo->scale(), 40.0 / natural.width, 1e-5);
    EXPECT_NEAR(tempoView->frame().width(), 40.0, 1e-3);
    EXPECT_EQ(tempo->initialSize(), natural);
    // A second rebuild keeps what the first one found.
    const double scale = tempo->scale();
    view->recreateAllSubViews();
    EXPECT_EQ(tempo->scale(), scale);
    EXPECT_EQ(unsized->frame().size, unsizedView->defaultViewSize());
    ASSERT_TRUE(view->longRestView());
    EXPECT_TRUE(inEditor(view->longRestView()));
}

TEST_F(BarSymbolViewsTest, RemovingViewsClearsTheirSlotsAndOnlyASingleRemovalTheAttribute) {
    bind({kOnePage});
    TOVEditorBarView* view = barView(1);
    Bar* bar = view->bar();
    bar->setClefType(TOVSymbolClefG);
    bar->setTimeType(TOVSymbolTime4_4);
    bar->setLongRest(3);
    Symbol* dynamics = bar->createNewSymbolWithTypeFrame(TOVSymbolDynamicsFFF, Rect(20, 50, 10, 10));
    view->recreateAllSubViews();
    const auto clef = view->clefView();
    const auto time = view->timeView();
    ASSERT_TRUE(clef && time && view->longRestView());
    ASSERT_EQ(view->symbolViewArray().size(), 1u);

    view->removeAllSymbolViews();
    EXPECT_FALSE(view->clefView() || view->timeView() || view->longRestView());
    EXPECT_TRUE(view->symbolViewArray().empty());
    EXPECT_FALSE(inEditor(clef));
    EXPECT_EQ(bar->clefType(), TOVSymbolClefG);
    EXPECT_EQ(bar->longRest(), 3u);

    view->recreateAllSubViews();
    view->removeObjectView(view->clefView().get());
    EXPECT_EQ(bar->clefType(), 0);
    EXPECT_FALSE(view->clefView());
    // The time signature moved to the start of the bar.
    EXPECT_DOUBLE_EQ(originInBar(view, *view->timeView()).x, 2.0);
    view->removeObjectView(view->longRestView().get());
    EXPECT_EQ(bar->longRest(), 0u);
    const auto dynamicsView = view->objectViewFromData(dynamics);
    ASSERT_TRUE(dynamicsView);
    view->removeObjectViewAndData(dynamicsView.get());
    EXPECT_TRUE(view->symbolViewArray().empty());
    EXPECT_FALSE(inEditor(dynamicsView));
    EXPECT_TRUE(bar->symbols().empty());
}

TEST_F(BarSymbolViewsTest, RepeatPreviousBarSignsCentreInTheirBarOrOnItsEnd) {
    bind({kOnePage});
    TOVEditorBarView* view = barView(5);
    const auto glyph = TOVObjectViewFactory::singletonInstance()->symbolObjectPathWithSymbolTypeFontID(
        TOVSymbolRepeatPrevBar1, "");
    ASSERT_TRUE(glyph);
    const double w = glyph->bounds().width();
    const double secondLine = view->posY5LinesTop() + TOVStaffSpace;
    EXPECT_EQ(view->positionRepeatPrevBar(TOVSymbolRepeatPrevBar1),
              (Point{(view->frame().width() - w) * 0.5, secondLine}));
    const double w2 = TOVObjectViewFactory::singletonInstance()
                          ->symbolObjectPathWithSymbolTypeFontID(TOVSymbolRepeatPrevBar2, "")
                          ->bounds()
                          .width();
    EXPECT_EQ(view->positionRepeatPrevBar(TOVSymbolRepeatPrevBar2),
              (Point{view->frame().width() - w2 * 0.5, secondLine}));
    // The four-bar sign centres on the next bar's end, here on the same line.
    const Point four = view->positionRepeatPrevBar(TOVSymbolRepeatPrevBar4);
    TOVEditorBarView* next = barView(6);
    const double w4 = TOVObjectViewFactory::singletonInstance()
                          ->symbolObjectPathWithSymbolTypeFontID(TOVSymbolRepeatPrevBar4, "")
                          ->bounds()
                          .width();
    EXPECT_NEAR(four.x, next->frame().maxX() - view->frame().x() - w4 * 0.5, 1e-9);
    EXPECT_NEAR(four.y, secondLine, 1e-9);
    EXPECT_EQ(barView(7)->positionRepeatPrevBar(TOVSymbolRepeatPrevBar4), (Point{0, 0}));
    EXPECT_EQ(view->positionRepeatPrevBar(TOVSymbolFine), (Point{0, 0}));
}

} // namespace
