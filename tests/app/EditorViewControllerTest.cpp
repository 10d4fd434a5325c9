#include "EditorControllerFixture.h"

#include "glyphs/TOVChordObjectView.h"
#include "glyphs/TOVObjectView.h"
#include "layout/TOVEditModeGrayView.h"
#include "layout/TOVEditorBackView.h"
#include "model/Bar.h"
#include "model/Chord.h"
#include "model/Line.h"
#include "model/Page.h"
#include "model/Symbol.h"
#include "model/SymbolTools.h"
#include "model/TOVCoreDataController.h"
#include "model/TOVSymbolTypes.h"
#include "platform/ui/ViewHost.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>

namespace {

using apptest::EditorControllerFixture;
using apptest::singleLines;
using platform::Size;
using tovtest::findBar;
using tovtest::LineSpec;
using tovtest::PageSpec;

constexpr TOVChordElems kCMajor{0, 12, 70, 17, false};

class EditorViewControllerTest : public EditorControllerFixture {};

// --- Same values, zoom and frame ---

TEST_F(EditorViewControllerTest, SettingTheSameValueAgainChangesNothing) {
    bind(singleLines(2));
    controller->setScale(Size{1.5, 1.5});
    // The back view's size is what a relayout rewrites; a marker size shows whether one ran.
    const auto mark = [&] { controller->backView()->setFrameSize(Size{1, 1}); };
    const auto relaidOut = [&] { return controller->backView()->frame().size.width != 1; };

    mark();
    controller->setScale(Size{1.5, 1.5});
    EXPECT_FALSE(relaidOut()) << "scale";
    mark();
    controller->setDocData(document);
    EXPECT_FALSE(relaidOut()) << "document";
    mark();
    controller->setScale(Size{2, 2});
    EXPECT_TRUE(relaidOut()) << "a new scale lays out again";

    // The same bar-range mode keeps the object selection and the overlay; a new one clears the selection.
    Chord* chord = findBar(document, 1)->createNewChordWithElemsTiming(kCMajor, 0);
    auto chordView = barView(1)->createChordViewOf(chord, false);
    controller->setEditBarsMode(TOVEditorViewController::Copy);
    ASSERT_TRUE(editor().selectAnObjectViewClearOthers(chordView.get(), true));
    controller->setEditBarsMode(TOVEditorViewController::Copy);
    EXPECT_EQ(editor().selectedObjectViewSet().size(), 1u);
    EXPECT_EQ(controller->editModeGrayView()->superview(), &editor());
    controller->setEditBarsMode(TOVEditorViewController::Delete);
    EXPECT_TRUE(editor().selectedObjectViewSet().empty());
    EXPECT_EQ(controller->editModeGrayView()->superview(), &editor());
    controller->setEditBarsMode(TOVEditorViewController::Normal);
    EXPECT_EQ(controller->editModeGrayView()->superview(), nullptr);
}

struct FrameCase {
    std::string name;
    std::vector<PageSpec> pages;
    double scale;
    int viewportWidth;
    int viewportHeight;
    double editorX;
    double editorHeight;
    double backWidth;
    double backHeight;
};

TEST_F(EditorViewControllerTest, AdjustViewFrameCentresTheEditorOverItsColumnOfPages) {
    const PageSpec page{10, {LineSpec{4, 4, false}}};
    const PageSpec noSlots{0, {}};
    const std::vector<FrameCase> cases = {
        // (3 × 852 − 10) × 1.5; a narrow visible area: the back view is 20 wider than the editor view.
        {"three pages zoomed, narrow", {page, page, page}, 1.5, 300, 200, 10, 3819, 595 * 1.5 + 20, 3839},
        {"three pages, wide and tall", {page, page, page}, 1.0, 1000, 3000, 202.5, 2546, 1000, 3000},
        // A page without slots has no view but keeps its place in the column.
        {"a middle page without view", {page, noSlots, page}, 1.0, 300, 200, 10, 2546, 615, 2566},
        {"no pages", {}, 1.0, 300, 200, 10, 0, 615, 200},
    };
    for (const FrameCase& c : cases) {
        SCOPED_TRACE(c.name);
        controller = std::make_unique<TOVEditorViewController>();
        showWithViewport(c.viewportWidth, c.viewportHeight);
        bind(c.pages);
        controller->setScale(Size{c.scale, c.scale});
        controller->adjustViewFrame();
        const platform::Rect frame = editor().frame();
        EXPECT_DOUBLE_EQ(frame.origin.x, c.editorX);
        EXPECT_DOUBLE_EQ(frame.size.width, 595 * c.scale);
        EXPECT_DOUBLE_EQ(frame.size.height, c.editorHeight);
        EXPECT_DOUBLE_EQ(controller->backView()->frame().size.width, c.backWidth);
        EXPECT_DOUBLE_EQ(controller->backView()->frame().size.height, c.backHeight);
        // The host the window scrolls is as large as the back view.
        EXPECT_EQ(controller->host()->width(), static_cast<int>(std::ceil(c.backWidth)));
    }
}

// --- Counts ---

struct MaxBarsCase {
    std::string name;
    std::vector<LineSpec> lines;
    std::uint64_t bar;
    bool lower;
    std::uint64_t expected;
};

TEST_F(EditorViewControllerTest, MaxPossibleNumberOfBarsInSelectedLine) {
    const LineSpec four{4, 4, false};
    const LineSpec fourDouble{4, 4, true};
    const LineSpec two{2, 2, false};
    const std::vector<MaxBarsCase> cases = {
        {"a doubled line", {fourDouble, four}, 0, false, 8},
        {"the lower row of a doubled line", {fourDouble, four}, 1, true, 8},
        {"the last line of the song", {four, LineSpec{3, 3, false}}, 5, false, 8},
        {"the next line is doubled", {four, fourDouble}, 0, false, 4},
        {"following single lines may pass 8", {four, LineSpec{5, 5, false}, four}, 0, false, 9},
        {"the song ends before 8", {two, two, two}, 0, false, 8},
        {"a doubled line stops the walk", {two, two, LineSpec{2, 2, true}}, 0, false, 4},
    };
    for (const MaxBarsCase& c : cases) {
        SCOPED_TRACE(c.name);
        controller = std::make_unique<TOVEditorViewController>();
        bind({PageSpec{10, c.lines}});
        controller->selectBar(TOVBarId{static_cast<std::int64_t>(c.bar), c.lower});
        ASSERT_EQ(controller->currentBar(), findBar(document, c.bar, c.lower));
        EXPECT_EQ(controller->maxPossibleNumberOfBarsInSelectedLine(), c.expected);
    }
}

TEST_F(EditorViewControllerTest, CountsReadThroughTheSelectedBarAndAreZeroWithoutOne) {
    bind({PageSpec{7, {LineSpec{4, 4, true}, LineSpec{3, 3, false}}}});
    controller->selectBar(TOVBarId{1, true});
    EXPECT_EQ(controller->currentBarNumber(), 2u);
    EXPECT_EQ(controller->numberOfLinesInSelectedPage(), 7u);
    EXPECT_EQ(controller->numberOfBarsInSelectedLine(), 4u);
    EXPECT_EQ(controller->numberOfRowsInSelectedLine(), 2u);
    controller->selectBar(TOVBarId{5, false});
    EXPECT_EQ(controller->numberOfRowsInSelectedLine(), 1u);
    EXPECT_EQ(controller->numberOfBarsInSelectedLine(), 3u);

    editor().setSelectedBar(nullptr);
    EXPECT_EQ(controller->currentBar(), nullptr);
    EXPECT_EQ(controller->currentBarNumber(), 1u);
    EXPECT_EQ(controller->numberOfLinesInSelectedPage(), 0u);
    EXPECT_EQ(controller->numberOfBarsInSelectedLine(), 0u);
    EXPECT_EQ(controller->numberOfRowsInSelectedLine(), 0u);
}

TEST_F(EditorViewControllerTest, CountSettersActOnTheUpperRowAndRebuildTheEditor) {
    bind({PageSpec{10, {LineSpec{4, 4, true}, LineSpec{4, 4, false}}}});
    Line* upperLine = findBar(document, 0)->line();

    // The same number of rows still rebuilds the views, and selects the bar in the upper row.
    controller->selectBar(TOVBarId{2, true});
    // Held weakly: a freed view must not be mistaken for a new one that took its address.
    const std::weak_ptr<TOVEditorPageView> before = editor().pageViewArray().front();
    controller->setNumberOfRowsInSelectedLine(2);
    EXPECT_NE(editor().firstPageView(), before.lock().get());
    EXPECT_EQ(editor().selectedBarId(), (TOVBarId{2, false}));
    ASSERT_NE(upperLine->lower(), nullptr);

    // Bars per line chosen in the lower row go to the line as a whole.
    controller->selectBar(TOVBarId{1, true});
    controller->setNumberOfBarsInSelectedLine(2);
    EXPECT_EQ(upperLine->partition(), 2u);
    EXPECT_NE(barView(1, true), nullptr);

    // One row: the lower row goes, the views follow.
    controller->selectBar(TOVBarId{1, true});
    controller->setNumberOfRowsInSelectedLine(1);
    EXPECT_EQ(upperLine->lower(), nullptr);
    EXPECT_EQ(barView(1, true), nullptr);
    EXPECT_EQ(editor().selectedBarId(), (TOVBarId{1, false}));
    EXPECT_EQ(controller->numberOfRowsInSelectedLine(), 1u);
}

// --- Undo and redo ---

class ClampedSelectionTest : public EditorControllerFixture, public ::testing::WithParamInterface<bool> {};

TEST_P(ClampedSelectionTest, AnUndoThatRemovesTheLastBarsSelectsTheNewLastBarInTheSameRow) {
    const bool lower = GetParam();
    bind({PageSpec{10, {LineSpec{4, 4, lower}, LineSpec{4, 4, lower}}}});
    step([&] { document->createNewBarsBehindBarLength(findBar(document, 7), 4); });
    controller->refreshAll();
    controller->selectBar(TOVBarId{11, lower});
    ASSERT_EQ(controller->currentBar(), findBar(document, 11, lower));

    undoStep();
    ASSERT_EQ(document->maxBarNumber(), 7u);
    EXPECT_EQ(editor().selectedBarId(), (TOVBarId{7, lower}));
    EXPECT_EQ(controller->currentBar(), findBar(document, 7, lower));

    // Redo brings the bars back; the selection stays where the undo put it.
    redoStep();
    EXPECT_EQ(editor().selectedBarId(), (TOVBarId{7, lower}));
    EXPECT_NE(barView(11, lower), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Rows, ClampedSelectionTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "LowerRow" : "UpperRow"; });

// The counts of one drain, and the model objects whose views it rebuilt or refreshed, in order.
struct Rebuilt {
    std::uint64_t pageViews = 0;
    std::uint64_t lineViews = 0;
    std::uint64_t barViews = 0;
    std::uint64_t objectViews = 0;
    std::uint64_t refreshAll = 0;
    std::vector<const TOVManagedObject*> objects;

    friend bool operator==(const Rebuilt&, const Rebuilt&) = default;
    friend std::ostream& operator<<(std::ostream& out, const Rebuilt& r) {
        return out << "pages " << r.pageViews << ", lines " << r.lineViews << ", bars " << r.barViews
                   << ", objects " << r.objectViews << ", all " << r.refreshAll << ", " << r.objects.size()
                   << " model objects";
    }
};

Rebuilt rebuiltBy(const TOVEditorViewController& controller) {
    const auto& counts = controller.rebuildCounts();
    return Rebuilt{counts.pageViews,   counts.lineViews,  counts.barViews,
                   counts.objectViews, counts.refreshAll, counts.rebuiltObjects};
}

class RefreshBufferTest : public EditorControllerFixture {
protected:
    void SetUp() override {
        EditorControllerFixture::SetUp();
        // Page 0: bars 0-3 and 4-7; page 1: bars 8-11; page 2: bars 12-13.
        bind({PageSpec{10, {LineSpec{4, 4, false}, LineSpec{4, 4, false}}},
              PageSpec{10, {LineSpec{4, 4, false}}}, PageSpec{10, {LineSpec{2, 2, false}}}});
        chord = bar(1)->createNewChordWithElemsTiming(kCMajor, 0);
        controller->refreshAll();
        controller->resetRebuildCounts();
    }
    Bar* bar(std::uint64_t num) { return findBar(document, num); }
    Page* page(std::size_t index) { return document->pageArray().at(index); }
    Line* line(std::size_t pageIndex, std::size_t index) { return page(pageIndex)->lineArray().at(index); }
    // The reports arrive as they do while the undo manager undoes; the drain follows.
    Rebuilt drainAfter(const std::function<void(TOVCoreDataController&)>& reports) {
        controller->resetRebuildCounts();
        TOVCoreDataController& buffer = *controller->coreDataController();
        buffer.willUndo();
        reports(buffer);
        buffer.didUndo();
        return rebuiltBy(*controller);
    }

    Chord* chord = nullptr;
};

TEST_F(RefreshBufferTest, EachReportSequenceRebuildsOnlyWhatChanged) {
    struct Case {
        std::string name;
        std::function<void(TOVCoreDataController&)> reports;
        std::function<Rebuilt()> expected;
    };
    const std::vector<Case> cases = {
        {"a time signature rebuilds everything once, whatever else came",
         [&](TOVCoreDataController& b) {
             b.barDidUpdateNotes(bar(1));
             b.barDidUpdateTimeType(bar(0));
             b.pageDidUpdateLines(page(0));
         },
         [&] { return Rebuilt{3, 5, 14, 0, 1, {}}; }},
        {"a bar reported before its chord covers the chord",
         [&](TOVCoreDataController& b) {
             b.barDidUpdateChords(bar(1));
             b.chordDidUpdateAttribute(chord);
         },
         [&] { return Rebuilt{0, 0, 1, 0, 0, {bar(1)}}; }},
        {"a chord reported before its bar is refreshed after the bar",
         [&](TOVCoreDataController& b) {
             b.chordDidUpdateAttribute(chord);
             b.barDidUpdateChords(bar(1));
         },
         [&] {
             return Rebuilt{0, 0, 1, 1, 0, {bar(1), chord}};
         }},
        {"a width rebuilds the line, and its bars not again",
         [&](TOVCoreDataController& b) {
             b.barDidUpdateNotes(bar(5));
             b.barDidUpdateWidth(bar(4));
             b.barDidUpdateSymbols(bar(6));
         },
         [&] { return Rebuilt{0, 1, 4, 0, 0, {line(0, 2)}}; }},
        {"a page rebuilds once for its own lines and bars",
         [&](TOVCoreDataController& b) {
             b.pageDidUpdateAPage(page(0));
             b.lineDidUpdatePartition(line(0, 1));
             b.barDidUpdateWidth(bar(2));
             b.barDidUpdateNotes(bar(6));
             b.barDidUpdateNotes(bar(9));
         },
         [&] {
             return Rebuilt{1, 3, 8 + 1, 0, 0, {page(0), bar(9)}};
         }},
        {"a long rest rebuilds its bar", [&](TOVCoreDataController& b) { b.barDidUpdateLongRest(bar(2)); },
         [&] { return Rebuilt{0, 0, 1, 0, 0, {bar(2)}}; }},
        {"a chord-history change rebuilds nothing",
         [&](TOVCoreDataController& b) { b.documentDidUpdateChordHistory(document); },
         [&] { return Rebuilt{}; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(drainAfter(c.reports), c.expected());
    }
}

TEST_F(RefreshBufferTest, NormalEditingRecordsNothing) {
    TOVCoreDataController& buffer = *controller->coreDataController();
    buffer.barDidUpdateNotes(bar(1));
    buffer.pageDidUpdateLines(page(0));
    buffer.barDidUpdateTimeType(bar(0));
    buffer.drainBuffer();
    EXPECT_EQ(rebuiltBy(*controller), Rebuilt{});
}

TEST_F(RefreshBufferTest, ObjectsTakenOutOfTheSongAreSkippedAndNeverReadThrough) {
    // The last page with its line and bars, and the chord's bar, leave the graph while their views stay.
    Page* lastPage = page(2);
    Line* lastLine = line(2, 0);
    Bar* bar12 = bar(12);
    Bar* bar13 = bar(13);
    Bar* bar1 = bar(1);
    context->deleteObject(lastPage);
    context->deleteObject(bar1);
    context->processPendingChanges();
    ASSERT_TRUE(bar12->isDeleted() && lastLine->isDeleted() && chord->isDeleted());

    const Rebuilt rebuilt = drainAfter([&](TOVCoreDataController& b) {
        b.pageDidUpdateLines(lastPage);
        b.barDidUpdateNotes(bar12);
        b.barDidUpdateChords(bar13);
        b.barDidUpdateSymbols(bar1);
        b.chordDidUpdateAttribute(chord);
        b.barDidUpdateNotes(bar(5));
    });
    // Only the bar still in the song.
    EXPECT_EQ(rebuilt, (Rebuilt{0, 0, 1, 0, 0, {bar(5)}}));
}

TEST_F(EditorViewControllerTest, UndoAndRedoOfOneChordRebuildOneBarView) {
    bind(singleLines(8));
    Chord* chord = nullptr;
    step([&] { chord = findBar(document, 5)->createNewChordWithElemsTiming(kCMajor, 0); });
    controller->resetRebuildCounts();

    undoStep();
    EXPECT_EQ(rebuiltBy(*controller), (Rebuilt{0, 0, 1, 0, 0, {findBar(document, 5)}}));
    EXPECT_TRUE(barView(5)->chords().empty());

    controller->resetRebuildCounts();
    redoStep();
    EXPECT_EQ(rebuiltBy(*controller), (Rebuilt{0, 0, 1, 0, 0, {findBar(document, 5)}}));
    ASSERT_EQ(barView(5)->chords().size(), 1u);
    EXPECT_EQ(barView(5)->chords().front()->symbol(), chord);
}

TEST_F(EditorViewControllerTest, UndoingAnInsertionOfBarsLinesAndAPageTouchesNoneOfThem) {
    bind(singleLines(9));
    step([&] { document->createNewBarsBehindBarLength(findBar(document, 35), 16); });
    controller->refreshAll();
    std::vector<const TOVManagedObject*> inserted;
    for (Page* page : document->pageArray()) {
        if (page->num() > 0) {
            inserted.push_back(page);
        }
        for (Line* line : page->lineArray()) {
            for (Bar* bar : line->barArray()) {
                if (bar->num() > 35) {
                    inserted.push_back(bar);
                    if (std::find(inserted.begin(), inserted.end(), line) == inserted.end()) {
                        inserted.push_back(line);
                    }
                }
            }
        }
    }
    ASSERT_GT(document->pageArray().size(), 1u) << "the insertion adds a page";
    controller->resetRebuildCounts();

    undoStep();
    for (const TOVManagedObject* object : controller->rebuildCounts().rebuiltObjects) {
        EXPECT_EQ(std::find(inserted.begin(), inserted.end(), object), inserted.end());
    }
    std::uint64_t barViews = 0;
    for (const auto& pageView : editor().pageViewArray()) {
        for (const auto& lineView : pageView->lineViewArray()) {
            for (const auto& bv : lineView->barViewArray()) {
                ++barViews;
                EXPECT_FALSE(bv->bar()->isDeleted());
            }
        }
    }
    EXPECT_EQ(barViews, 36u);
    EXPECT_EQ(editor().pageViewArray().size(), 1u);

    redoStep();
    EXPECT_NE(barView(51), nullptr);
}

TEST_F(EditorViewControllerTest, UndoAndRedoOfADrawingToolRebuildTheToolViewsOnceFromCurrentValues) {
    bind(singleLines(2));
    SymbolTools* tool = nullptr;
    // Left of the page, over no bar: the tool stands where its frame says (a tool over a bar follows it).
    step([&] {
        tool = document->createNewSymbolToolsWithTypeFrame(TOVToolWave, platform::Rect(-450, 60, 70, 80));
    });
    ASSERT_EQ(editor().symbolViewArray().size(), 1u);
    ASSERT_EQ(tool->barFollowsTo(), nullptr);
    step([&] { tool->setFrame(platform::Rect(-350, 160, 70, 80)); });

    // Heard right after the editor view hears of the change: inside the undo or redo no tool view is
    // rebuilt, since the tools' values are not current yet; the drain after it rebuilds them.
    std::vector<std::size_t> viewsSeenInside;
    const auto token = document->addObserver("symbols", [&](const platform::Change&) {
        if (document->isUndoRedoing()) {
            viewsSeenInside.push_back(editor().symbolViewArray().size());
        }
    });

    // Back to where it was created, gone, and back again: the view always stands where the tool is.
    undoStep();
    ASSERT_EQ(editor().symbolViewArray().size(), 1u);
    EXPECT_EQ(editor().symbolViewArray().front()->frame().origin, (platform::Point{-450, 60}));
    undoStep();
    EXPECT_TRUE(editor().symbolViewArray().empty());
    redoStep();
    ASSERT_EQ(editor().symbolViewArray().size(), 1u);
    EXPECT_EQ(editor().symbolViewArray().front()->symbol(), tool);
    EXPECT_EQ(editor().symbolViewArray().front()->frame().origin, (platform::Point{-450, 60}));
    redoStep();
    EXPECT_EQ(editor().symbolViewArray().front()->frame().origin, (platform::Point{-350, 160}));
    document->removeObserver(token);
    // The undo of the creation still saw the tool's view, the redo not yet.
    EXPECT_EQ(viewsSeenInside, (std::vector<std::size_t>{1, 0}));
}

// --- Lookups and ending the song ---

TEST_F(EditorViewControllerTest, LookupsFindTheViewsOfLiveObjectsOnly) {
    bind({PageSpec{10, {LineSpec{4, 4, true}, LineSpec{4, 4, false}}}});
    Bar* lowerBar = findBar(document, 2, true);
    EXPECT_EQ(controller->barViewFromBar(lowerBar), barView(2, true));
    EXPECT_EQ(controller->lineViewFromLine(lowerBar->line())->line(), lowerBar->line());
    EXPECT_EQ(controller->pageViewFromPage(document->pageArray().front())->page(),
              document->pageArray().front());

    Chord* chord = findBar(document, 6)->createNewChordWithElemsTiming(kCMajor, 0);
    EXPECT_EQ(controller->layoutViewOfObject(chord), barView(6));
    SymbolTools* tool =
        document->createNewSymbolToolsWithTypeFrame(TOVToolArrow, platform::Rect(10, 10, 50, 20));
    EXPECT_EQ(controller->layoutViewOfObject(tool), &editor());

    // A bar taken out of the song has no view, also where another bar now has its number.
    Bar* bar4 = findBar(document, 4);
    document->deleteBarsFromTo(bar4, bar4);
    controller->refreshAll();
    ASSERT_TRUE(bar4->isDeleted());
    ASSERT_EQ(barView(4)->bar(), findBar(document, 4));
    EXPECT_EQ(controller->barViewFromBar(bar4), nullptr);
}

int fineSignsIn(const Bar* bar) {
    const auto symbols = bar->symbols();
    return static_cast<int>(std::count_if(symbols.begin(), symbols.end(), [](const Symbol* s) {
        return s->type() == TOVSymbolFine && !s->isDeleted();
    }));
}

TEST_F(EditorViewControllerTest, EndingTheSongAtALowerBarMarksTheUpperBarAndTheTwin) {
    bind({PageSpec{10, {LineSpec{4, 4, true}, LineSpec{4, 4, true}}}});
    controller->terminateDocumentAtBarView(barView(1, true));
    EXPECT_EQ(document->maxBarNumber(), 1u);
    EXPECT_EQ(findBar(document, 1)->barLineType(), TOVBarlineGreatDouble);
    EXPECT_EQ(fineSignsIn(findBar(document, 1, true)), 1);
    EXPECT_EQ(fineSignsIn(findBar(document, 1)), 0);
    EXPECT_NE(barView(1, true)->fineView(), nullptr);

    // Again at the last bar: nothing more to delete, no second fine sign.
    controller->terminateDocumentAtBarView(barView(1));
    EXPECT_EQ(fineSignsIn(findBar(document, 1, true)), 1);
    EXPECT_EQ(fineSignsIn(findBar(document, 1)), 0);
    EXPECT_EQ(document->maxBarNumber(), 1u);
}

TEST_F(EditorViewControllerTest, InheritedStatesAreRecomputedOnlyWhileIdle) {
    bind(singleLines(2));
    Bar* bar0 = findBar(document, 0);
    Bar* bar3 = findBar(document, 3);
    const int clef = bar3->inheritedClefType();
    bar0->setClefType(clef == 2 ? 3 : 2);
    for (int state : {TOVEditorViewController::Loading, TOVEditorViewController::Refreshing,
                      TOVEditorViewController::BarRangeEdit}) {
        SCOPED_TRACE(state);
        controller->setControllerState(state);
        controller->updateBarsInheritedStates();
        EXPECT_EQ(bar3->inheritedClefType(), clef);
    }
    controller->setControllerState(TOVEditorViewController::Idle);
    controller->updateBarsInheritedStates();
    EXPECT_EQ(bar3->inheritedClefType(), bar0->clefType());
}

} // namespace
