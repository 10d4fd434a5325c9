#include "FakeLayoutController.h"

#include "glyphs/TOVObjectView.h"
#include "layout/TOVEditorBarView.h"
#include "layout/TOVEditorLineView.h"
#include "layout/TOVEditorPageView.h"
#include "layout/TOVEditorView.h"
#include "model/Bar.h"
#include "model/Document.h"
#include "model/Line.h"
#include "model/Note.h"
#include "model/NoteUnit.h"
#include "model/Symbol.h"
#include "model/TOVSymbolTypes.h"
#include "platform/data/ManagedObjectContext.h"
#include "platform/graphics/RecordingGraphicsContext.h"
#include "platform/ui/DraggingInfo.h"
#include "platform/ui/ViewHost.h"
#include "support/LayoutBuilder.h"
#include "support/RealDrag.h"
#include "support/SongBuilder.h"

#include <gtest/gtest.h>

using layouttest::FakeLayoutController;
using platform::DrawingCall;
using platform::Rect;
using tovtest::LineSpec;
using tovtest::PageSpec;

namespace {

class BarViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        controller.editor = editor.get();
        editor->setDelegate(&controller);
    }
    void TearDown() override { editor->setDocData(nullptr); }
    void bind(const std::vector<PageSpec>& pages) {
        document = tovtest::makeLayout(*context, pages);
        editor->setDocData(document);
    }
    // The bar view of the bar with this number, in the upper or the lower staff.
    TOVEditorBarView* barView(std::uint64_t num, bool lower = false) const {
        for (const auto& page : editor->pageViewArray()) {
            for (const auto& line : page->lineViewArray()) {
                if (line->isLowerPart() != lower) {
                    continue;
                }
                if (TOVEditorBarView* view = line->barViewFromNumber(num)) {
                    return view;
                }
            }
        }
        return nullptr;
    }

    std::unique_ptr<platform::ManagedObjectContext> context = tovtest::makeSongContext();
    FakeLayoutController controller;
    std::shared_ptr<TOVEditorView> editor = std::make_shared<TOVEditorView>(Rect(0, 0, 595, 6000));
    Document* document = nullptr;
};

const PageSpec kOnePage{10, {LineSpec{0, 0, false}, LineSpec{4, 4, false}, LineSpec{4, 4, false}}};

std::shared_ptr<TOVObjectView> viewOfWidth(double width) {
    return std::make_shared<TOVObjectView>(Rect(0, 0, width, 10));
}

TEST_F(BarViewTest, FirstBarOfTheSongHasItsAreaBeforeTheBarline) {
    bind({kOnePage});
    TOVEditorBarView* first = barView(0);
    ASSERT_NE(first, nullptr);
    ASSERT_EQ(first->bar()->leftBarLineType(), TOVBarlineSingle);
    first->setClefView(viewOfWidth(20));
    first->setKeySignatureView(viewOfWidth(10));
    const Rect area = first->rectangleClefKeyTimeArea();
    EXPECT_DOUBLE_EQ(area.x(), 2.0);
    EXPECT_DOUBLE_EQ(area.width(), 34.0);
    const Rect notes = first->rectangleNotesArea();
    EXPECT_DOUBLE_EQ(notes.x(), 42.0);
    // Right barline TOVBarlineSingle: 2 + 4 of room before it.
    EXPECT_DOUBLE_EQ(notes.width(), first->bounds().width() - 42.0 - 6.0);
    EXPECT_DOUBLE_EQ(notes.height(), first->bounds().height());
}

TEST_F(BarViewTest, OtherBarsStartRightOfTheirLeftBarline) {
    bind({kOnePage});
    // Bar 4 starts the second line, whose first barline is its left one; bar 2 is inside the first line.
    tovtest::findBar(document, 1)->setBarLineType(TOVBarlineRepeatForward);
    tovtest::findBar(document, 4)->line()->setFirstBarLineType(TOVBarlineRepeatForward);
    for (std::uint64_t num : {2u, 4u}) {
        TOVEditorBarView* view = barView(num);
        ASSERT_NE(view, nullptr) << num;
        ASSERT_EQ(view->bar()->leftBarLineType(), TOVBarlineRepeatForward) << num;
        const Rect area = view->rectangleClefKeyTimeArea();
        EXPECT_DOUBLE_EQ(area.x(), 9.0) << num;
        EXPECT_DOUBLE_EQ(area.width(), 0.0) << num;
        EXPECT_DOUBLE_EQ(view->rectangleNotesArea().x(), 13.0) << num;
    }
}

TEST_F(BarViewTest, DoubleLineStartsBothStavesAtTheLargerArea) {
    bind({PageSpec{10, {LineSpec{0, 0, false}, LineSpec{4, 4, true}}}});
    TOVEditorBarView* upper = barView(0);
    TOVEditorBarView* lower = barView(0, true);
    ASSERT_NE(upper, nullptr);
    ASSERT_NE(lower, nullptr);
    EXPECT_EQ(upper->alternativeBarViewInDoubleLine(), lower);
    EXPECT_EQ(lower->upperBarView(), upper);
    EXPECT_EQ(upper->upperBarView(), upper);
    upper->setClefView(viewOfWidth(20));
    upper->setKeySignatureView(viewOfWidth(10));
    upper->setTimeView(viewOfWidth(8));
    lower->setClefView(viewOfWidth(20));
    EXPECT_DOUBLE_EQ(upper->rectangleNotesArea().x(), 2.0 + 41.0 + 2.0 + 4.0 + 2.0);
    EXPECT_DOUBLE_EQ(lower->rectangleNotesArea().x(), upper->rectangleNotesArea().x());
}

TEST_F(BarViewTest, TicksMapOntoTheNotesArea) {
    bind({kOnePage});
    TOVEditorBarView* view = barView(1);
    const Rect notes = view->rectangleNotesArea();
    const std::uint64_t length = view->totalRhythmLength();
    ASSERT_GT(length, 0u);
    EXPECT_DOUBLE_EQ(view->posXFromNoteX(0), notes.x());
    EXPECT_DOUBLE_EQ(view->posXFromNoteX(length), notes.maxX());
    EXPECT_DOUBLE_EQ(view->posXFromNoteX(length / 2), notes.midX());
}

TEST_F(BarViewTest, OnTheGridAUnitStandsAtItsOwnTiming) {
    bind({kOnePage});
    TOVEditorBarView* view = barView(1);
    ASSERT_EQ(view->totalRhythmLength(), 960u);
    // A triplet on the third beat: its later units start after the note does.
    Note* triplet = view->bar()->createNewTripletFromLengthUnitsLevelKind(480, {80, 80, 80}, 0, 0);
    ASSERT_NE(triplet, nullptr);
    const std::vector<NoteUnit*> units = triplet->unitArray();
    ASSERT_EQ(units.size(), 3u);
    const Rect notes = view->rectangleNotesArea();
    const double perTick = notes.width() / 960.0;
    const std::uint64_t ticks[] = {480, 560, 640};
    for (std::size_t i = 0; i < units.size(); ++i) {
        ASSERT_EQ(units[i]->timing(), ticks[i]);
        EXPECT_DOUBLE_EQ(view->xPosForUnitInGridMode(units[i]),
                         notes.x() + static_cast<double>(ticks[i]) * perTick)
            << i;
    }
    EXPECT_DOUBLE_EQ(view->xPosForUnitInGridMode(nullptr), notes.x());
}

TEST_F(BarViewTest, NeighboursCrossLineEnds) {
    bind({kOnePage});
    EXPECT_EQ(barView(3)->nextBarView(), barView(4));
    EXPECT_EQ(barView(4)->previousBarView(), barView(3));
    EXPECT_EQ(barView(1)->nextBarView(), barView(2));
    EXPECT_EQ(barView(0)->previousBarView(), nullptr);
    EXPECT_EQ(barView(7)->nextBarView(), nullptr);
    EXPECT_EQ(barView(0)->alternativeBarViewInDoubleLine(), nullptr);
}

TEST_F(BarViewTest, WideningMovesStoredPositionsInsideTheOldWidth) {
    bind({kOnePage});
    TOVEditorBarView* view = barView(1);
    Bar* bar = view->bar();
    view->setFrame(Rect(view->frame().x(), 0, 100, view->frame().height()));
    view->updateDataFrameAsCurrentViewFrame();
    ASSERT_EQ(bar->width(), 100);
    Symbol* inside = bar->createNewSymbolWithTypeFrame(TOVSymbolFine, Rect(60, 5, 10, 10));
    Symbol* atZero = bar->createNewSymbolWithTypeFrame(TOVSymbolFine, Rect(0, 5, 10, 10));
    Symbol* beyond = bar->createNewSymbolWithTypeFrame(TOVSymbolFine, Rect(120, 5, 10, 10));
    view->setFrame(Rect(view->frame().x(), 0, 150, view->frame().height()));
    view->updateDataFrameAsCurrentViewFrame();
    EXPECT_EQ(bar->width(), 150);
    EXPECT_DOUBLE_EQ(inside->frame().x(), 90);
    EXPECT_DOUBLE_EQ(atZero->frame().x(), 0);
    EXPECT_DOUBLE_EQ(beyond->frame().x(), 120);
    // The height did not change: y stays.
    EXPECT_DOUBLE_EQ(inside->frame().y(), 5);
}

TEST_F(BarViewTest, BindingABarOfAutomaticWidthWritesItAndKeepsPositions) {
    bind({kOnePage});
    Bar* bar = tovtest::findBar(document, 1);
    bar->setWidth(0);
    Symbol* symbol = bar->createNewSymbolWithTypeFrame(TOVSymbolFine, Rect(60, 5, 10, 10));
    TOVEditorBarView view(Rect(0, 0, 130, 60), &controller);
    view.setBar(bar);
    EXPECT_EQ(bar->width(), 130);
    EXPECT_DOUBLE_EQ(symbol->frame().x(), 60);
}

TEST_F(BarViewTest, FrameDecorationsOnScreenOnly) {
    bind({kOnePage});
    TOVEditorBarView* view = barView(1);
    auto draw = [&](bool toScreen) {
        platform::RecordingGraphicsContext ctx(toScreen);
        view->drawRect(view->bounds(), ctx);
        return ctx.calls();
    };
    EXPECT_TRUE(draw(true).empty());
    view->setDropTarget(true);
    const auto onScreen = draw(true);
    ASSERT_EQ(onScreen.size(), 1u);
    EXPECT_EQ(onScreen[0].kind, DrawingCall::Kind::StrokePath);
    EXPECT_EQ(onScreen[0].path.lineWidth(), 1.5);
    EXPECT_TRUE(draw(false).empty());

    // A notes-palette drag's aids are drawn after the drop-target frame, the harmony stretch last, and
    // never into a print.
    const auto framedOnly = draw(true);
    view->gridCellArray().emplace_back(Rect(40, 0, 10, 60));
    view->noteDropAreaCellArray().emplace_back(Rect(60, 0, 30, 60));
    view->harmonyDropAreaCell().emplace(Rect(100, 0, 20, 60));
    const auto withAids = draw(true);
    ASSERT_GT(withAids.size(), framedOnly.size() + 2);
    EXPECT_EQ(withAids[0].kind, DrawingCall::Kind::StrokePath);
    auto recordedAlone = [&](auto&& drawCell) {
        platform::RecordingGraphicsContext ctx(true);
        drawCell(ctx);
        return ctx.calls();
    };
    const auto harmony = recordedAlone([&](platform::GraphicsContext& ctx) {
        view->harmonyDropAreaCell()->drawWithFrameInView(view->harmonyDropAreaCell()->frame(), ctx);
    });
    ASSERT_FALSE(harmony.empty());
    EXPECT_EQ(withAids.back().kind, harmony.back().kind);
    EXPECT_EQ(withAids.back().path.bounds(), harmony.back().path.bounds());
    EXPECT_TRUE(draw(false).empty());
}

// Records which palette's handler each drag reached; it takes the drop target mark where the controller
// would, when a drag enters.
class RecordingBarView : public TOVEditorBarView {
public:
    explicit RecordingBarView(const Rect& frame) : TOVEditorBarView(frame) {
        // So that the host offers it drags of neither palette type too.
        registerForDraggedTypes({kOtherType});
    }
    static constexpr const char* kOtherType = "TOVSymbolPaletteForBarlineViewData";
    std::vector<std::string> calls;

protected:
    platform::DragOperation draggingEnteredFromSymbolPalette(const platform::DraggingInfo&) override {
        calls.push_back("symbol entered");
        setDropTarget(true);
        return platform::DragOperationCopy;
    }
    platform::DragOperation draggingUpdatedFromSymbolPalette(const platform::DraggingInfo&) override {
        calls.push_back("symbol updated");
        return platform::DragOperationCopy;
    }
    void draggingExitedFromSymbolPalette(const platform::DraggingInfo&) override {
        calls.push_back(std::string("symbol exited, target ") + (dropTarget() ? "on" : "off"));
    }
    bool performDragOperationFromSymbolPalette(const platform::DraggingInfo&) override {
        calls.push_back(std::string("symbol dropped, target ") + (dropTarget() ? "on" : "off"));
        return true;
    }
    platform::DragOperation draggingEnteredFromNotePalette(const platform::DraggingInfo&) override {
        calls.push_back("note entered");
        setDropTarget(true);
        return platform::DragOperationCopy;
    }
    platform::DragOperation draggingUpdatedFromNotePalette(const platform::DraggingInfo&) override {
        calls.push_back("note updated");
        return platform::DragOperationCopy;
    }
    void draggingExitedFromNotePalette(const platform::DraggingInfo&) override {
        calls.push_back("note exited");
    }
    bool performDragOperationFromNotePalette(const platform::DraggingInfo&) override {
        calls.push_back(std::string("note dropped, target ") + (dropTarget() ? "on" : "off"));
        return true;
    }
};

// Real drags from a palette window onto a bar view that fills a window of its own, dropped on the bar or
// carried out of its window.
TEST(BarViewDrags, HandedOnByPasteboardTypeSymbolsFirst) {
    auto view = std::make_shared<RecordingBarView>(Rect(0, 0, 200, 100));
    platform::ViewHost host;
    host.setRootView(view);
    host.move(0, 0);
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    uitest::RealDrag drag;
    enum class End { Drop, Leave };
    auto dragOver = [&](std::initializer_list<const char*> types, End end) {
        platform::DraggingInfo items;
        for (const char* type : types) {
            items.addType(type);
        }
        uitest::DragSourceWindow palette(items, QPoint(host.frameGeometry().right() + 20, 40));
        const uitest::PointerAt last{&host, end == End::Drop ? QPointF(110, 50) : QPointF(-40, 50)};
        drag.dragAlong(palette.middle(), palette.pastDragDistance(), {{&host, QPointF(100, 50)}, last});
        EXPECT_EQ(palette.view->drags, 1);
        return palette.view->result;
    };
    struct Case {
        std::initializer_list<const char*> types;
        End end;
        std::vector<std::string> calls;
        bool targetAfter;
    };
    const char* symbols = TOVEditorBarView::kSymbolPaletteDragType;
    const char* notes = TOVEditorBarView::kNotePaletteDragType;
    const Case cases[] = {
        {{notes, symbols},
         End::Drop,
         {"symbol entered", "symbol updated", "symbol updated", "symbol dropped, target off"},
         false},
        {{notes, symbols},
         End::Leave,
         {"symbol entered", "symbol updated", "symbol exited, target on"},
         false},
        {{notes},
         End::Drop,
         {"note entered", "note updated", "note updated", "note dropped, target off"},
         false},
        // The controller, not the bar view, takes the mark away when a note drag leaves.
        {{notes}, End::Leave, {"note entered", "note updated", "note exited"}, true},
        {{RecordingBarView::kOtherType}, End::Drop, {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.calls.size() << (c.end == End::Drop ? " drop" : " leave"));
        view->calls.clear();
        view->setDropTarget(false);
        const bool accepted = !c.calls.empty() && c.end == End::Drop;
        EXPECT_EQ(dragOver(c.types, c.end),
                  accepted ? platform::DragOperationCopy : platform::DragOperationNone);
        EXPECT_EQ(view->calls, c.calls);
        EXPECT_EQ(view->dropTarget(), c.targetAfter);
    }
}

} // namespace
