#include "BoundEditorFixture.h"

#include "glyphs/TOVBarLineView.h"
#include "glyphs/TOVObjectViewFactory.h"
#include "layout/TOVEditorBarView.h"
#include "layout/TOVEditorLineView.h"
#include "layout/TOVEditorPageView.h"
#include "layout/TOVEditorView.h"
#include "model/Bar.h"
#include "model/Document.h"
#include "model/Line.h"
#include "model/Page.h"
#include "model/Song.h"
#include "model/SymbolTools.h"
#include "model/TOVSymbolTypes.h"
#include "model/TOVUtils.h"
#include "platform/data/ManagedObjectContext.h"
#include "support/LayoutBuilder.h"
#include "support/SongBuilder.h"

#include <gtest/gtest.h>

#include <optional>

using layouttest::FakeLayoutController;
using platform::Point;
using platform::Rect;
using tovtest::LineSpec;
using tovtest::PageSpec;

namespace {

// A page of ten slots: the song header line and `lines` lines of four bars.
PageSpec pageWith(int lines, bool header = false, std::uint64_t aPage = 10) {
    PageSpec page{aPage, {}};
    if (header) {
        page.lines.push_back(LineSpec{0, 0, false});
    }
    for (int i = 0; i < lines; ++i) {
        page.lines.push_back(LineSpec{4, 4, false});
    }
    return page;
}

class EditorViewTest : public layouttest::BoundEditorFixture {
protected:
    EditorViewTest() : BoundEditorFixture(4000) {}

    // The subviews of the editor view, described by kind: "page N", "tool" for object views.
    std::vector<std::string> stack() const {
        std::vector<std::string> out;
        for (const auto& view : editor->subviews()) {
            // The lines' barlines are not what the stacking is about.
            if (dynamic_cast<TOVBarLineView*>(view.get()) != nullptr) {
                continue;
            }
            if (auto* page = dynamic_cast<TOVEditorPageView*>(view.get())) {
                out.push_back("page " + std::to_string(page->page()->num()));
            } else {
                out.push_back(view->tag() >= 0 ? "object " + std::to_string(view->tag()) : "tool");
            }
        }
        return out;
    }
};

TEST_F(EditorViewTest, PageViewsStandAtTheirPageNumbersAndThePageColumnReachesTheLastOne) {
    struct Case {
        const char* name;
        std::vector<std::uint64_t> slotCounts; // aPage of pages 0, 1, 2 ...
        std::vector<double> pageYs;
        double columnHeight;
    };
    const Case cases[] = {
        {"one page", {10}, {0}, 842},
        {"three pages", {10, 10, 10}, {0, 852, 1704}, 2546},
        {"a page without slots in the middle keeps its slot empty", {10, 0, 10}, {0, 1704}, 2546},
        {"a first page without slots", {0, 7, 10}, {852, 1704}, 2546},
        {"the last page after two empty ones", {10, 0, 0, 10}, {0, 2556}, 3398},
        {"no page with slots", {0, 0}, {}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<PageSpec> pages;
        for (std::uint64_t count : c.slotCounts) {
            pages.push_back(pageWith(count == 0 ? 0 : 1, false, count));
        }
        context = tovtest::makeSongContext();
        bind(pages);
        std::vector<double> ys;
        for (const auto& pageView : editor->pageViewArray()) {
            EXPECT_EQ(pageView->frame().size, (platform::Size{595, 842}));
            EXPECT_EQ(pageView->frame().x(), 0);
            EXPECT_EQ(pageView->superview(), editor.get());
            ys.push_back(pageView->frame().y());
        }
        EXPECT_EQ(ys, c.pageYs);
        // The height the controller gives the editor view: down to the page with the largest number,
        // not the count of page views (which would cut off a page after an empty one).
        EXPECT_EQ(editor->heightOfPageColumn(), c.columnHeight);
        editor->setDocData(nullptr);
    }
}

TEST_F(EditorViewTest, APageAfterAnEmptyOneIsDrawnAndHitInsideTheColumn) {
    bind({pageWith(2, true), pageWith(0, false, 0), pageWith(3)});
    editor->setFrame(Rect(0, 0, 595, editor->heightOfPageColumn()));
    TOVEditorPageView* last = editor->lastPageView();
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->frame().y(), 1704);
    // A click in the middle of the last page lands in its tree.
    platform::View* hit = editor->hitTest(Point{300, 1704 + 400});
    ASSERT_NE(hit, nullptr);
    EXPECT_TRUE(hit->isDescendantOf(last));
    // Nothing answers where the empty page would stand: the editor view itself is hit.
    EXPECT_EQ(editor->hitTest(Point{300, 852 + 400}), editor.get());
}

TEST_F(EditorViewTest, WithoutPageViewsNothingIsSelectedAndNoSongIsHandedOut) {
    int told = 0;
    editor->addSelectedBarObserver([&] { ++told; });
    bind({pageWith(2, true, 0), pageWith(2, false, 0)});
    EXPECT_EQ(editor->firstPageView(), nullptr);
    EXPECT_EQ(editor->songSettingAreaLineView(), nullptr);
    EXPECT_EQ(editor->selectedBar(), nullptr);
    EXPECT_EQ(told, 0);
    editor->selectBar(TOVBarId{0, false});
    EXPECT_EQ(told, 0);
    EXPECT_EQ(editor->selectedBarId(), (TOVBarId{0, false}));
}

TEST_F(EditorViewTest, AnObjectViewIsPlacedFromItsBarViewsOrigin) {
    bind({pageWith(2, true), pageWith(2)});
    struct Case {
        std::uint64_t bar;
        Point barOrigin; // in editor coordinates
        Point placed;
    };
    // Ten slots give lines 76 high from y 40: the header line, then the first staff line at 116.
    const Case cases[] = {
        {0, {40, 116}, {45, 123}},
        {1, {170, 116}, {175, 123}},
        {4, {40, 192}, {45, 199}},
        {8, {40, 852 + 40}, {45, 852 + 47}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bar);
        TOVEditorBarView* barView = editor->barViewFromNumberInLower(c.bar, false);
        ASSERT_NE(barView, nullptr);
        EXPECT_EQ(barView->convertPointToView(Point{0, 0}, editor.get()), c.barOrigin);
        auto view = std::make_shared<TOVObjectView>(Rect(5, 7, 20, 10));
        editor->addSymbolViewBarViewBelongTo(view, barView);
        EXPECT_EQ(view->frame(), Rect(c.placed, platform::Size{20, 10}));
        EXPECT_EQ(view->superview(), editor.get());
        EXPECT_EQ(editor->subviews().back(), view);
    }
    // Without a bar view the origin counts as editor coordinates.
    auto free = std::make_shared<TOVObjectView>(Rect(5, 7, 20, 10));
    editor->addSymbolViewBarViewBelongTo(free, nullptr);
    EXPECT_EQ(free->frame().origin, (Point{5, 7}));
}

TEST_F(EditorViewTest, ObjectViewsStayAboveAPageAddedAfterThem) {
    bind({pageWith(1, true), pageWith(1)});
    auto first = std::make_shared<TOVObjectView>(Rect(10, 10, 5, 5));
    auto second = std::make_shared<TOVObjectView>(Rect(10, 10, 5, 5));
    first->setTag(1);
    second->setTag(2);
    editor->addSymbolViewBarViewBelongTo(first, nullptr);
    editor->addSymbolViewBarViewBelongTo(second, nullptr);
    EXPECT_EQ(stack(), (std::vector<std::string>{"page 0", "page 1", "object 1", "object 2"}));

    Page* added = document->createNewPageWithNumberAPage(2, 10);
    editor->createNewPageView(added);
    EXPECT_EQ(stack(), (std::vector<std::string>{"page 0", "page 1", "page 2", "object 1", "object 2"}));
    EXPECT_EQ(TOVEditorView::stackingRank(*editor->pageViewArray().front()), 0);
    EXPECT_EQ(TOVEditorView::stackingRank(*editor->pageViewArray().front()->lineViewArray().front()), 1);
    EXPECT_EQ(TOVEditorView::stackingRank(*editor->barViewFromNumberInLower(0, false)), 2);
    EXPECT_EQ(TOVEditorView::stackingRank(*first), 3);
}

TEST_F(EditorViewTest, AWholePageTreeStacksItsPagesInOrderBelowEveryViewTheirBarsAdded) {
    // The barline views of each page join the editor view while its page is built, before the next page.
    bind({pageWith(1, true), pageWith(2), pageWith(1)});
    std::uint64_t pages = 0;
    int others = 0;
    for (const auto& view : editor->subviews()) {
        if (auto* page = dynamic_cast<TOVEditorPageView*>(view.get())) {
            EXPECT_EQ(others, 0) << "page " << page->page()->num() << " above another view";
            EXPECT_EQ(page->page()->num(), pages++);
        } else {
            ++others;
        }
    }
    EXPECT_EQ(pages, 3u);
    EXPECT_GT(others, 0);
}

TEST_F(EditorViewTest, BarLookupWalksThePagesAndPassesOverPagesWithoutBars) {
    struct Lookup {
        std::uint64_t number;
        bool lower;
        std::optional<std::uint64_t> pageNum; // where the bar view must be found; none: nil
    };
    struct Case {
        const char* name;
        std::vector<PageSpec> pages;
        std::vector<Lookup> lookups;
    };
    PageSpec doubleLines{10, {LineSpec{4, 4, true}, LineSpec{4, 4, false}}};
    const Case cases[] = {
        {"bars across three pages",
         {pageWith(2, true), pageWith(2), pageWith(1)},
         {{0, false, 0},
          {7, false, 0},
          {8, false, 1},
          {13, false, 1},
          {16, false, 2},
          {19, false, 2},
          {20, false, std::nullopt},
          {1000, false, std::nullopt}}},
        {"the first page holds only the song header",
         {pageWith(0, true), pageWith(1)},
         {{0, false, 1}, {3, false, 1}, {4, false, std::nullopt}}},
        {"a page without slots between",
         {pageWith(1, true), pageWith(1, false, 0), pageWith(1)},
         {{3, false, 0}, {4, false, std::nullopt}, {8, false, 2}}},
        {"the lower staff of a double line",
         {pageWith(1, true), doubleLines},
         {{4, true, 1}, {7, true, 1}, {8, true, std::nullopt}, {8, false, 1}, {0, true, std::nullopt}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        context = tovtest::makeSongContext();
        bind(c.pages);
        for (const auto& l : c.lookups) {
            SCOPED_TRACE(l.number);
            TOVEditorBarView* found = editor->barViewFromNumberInLower(l.number, l.lower);
            if (!l.pageNum) {
                EXPECT_EQ(found, nullptr);
                continue;
            }
            ASSERT_NE(found, nullptr);
            EXPECT_EQ(found->bar()->num(), l.number);
            EXPECT_EQ(found->bar()->line()->isLowerOfDoublePart(), l.lower);
            EXPECT_EQ(found->bar()->line()->page()->num(), *l.pageNum);
            EXPECT_TRUE(found->isDescendantOf(editor->pageViewFromPage(found->bar()->line()->page())));
        }
        editor->setDocData(nullptr);
    }
}

TEST_F(EditorViewTest, EverySetOfTheSelectedBarIsAnnounced) {
    int told = 0;
    std::vector<TOVEditorBarView*> seen;
    const int id = editor->addSelectedBarObserver([&] {
        ++told;
        seen.push_back(editor->selectedBar());
    });
    // Binding selects bar 0.
    bind({pageWith(1, true), PageSpec{10, {LineSpec{4, 4, true}}}});
    TOVEditorBarView* bar0 = editor->barViewFromNumberInLower(0, false);
    TOVEditorBarView* lower5 = editor->barViewFromNumberInLower(5, true);
    ASSERT_NE(lower5, nullptr);
    EXPECT_EQ(told, 1);
    EXPECT_EQ(editor->selectedBar(), bar0);
    EXPECT_TRUE(bar0->selected());

    editor->setSelectedBar(bar0); // the same bar: nothing changes, the observers still hear of it
    EXPECT_EQ(told, 2);
    EXPECT_TRUE(bar0->selected());
    editor->setSelectedBar(lower5);
    EXPECT_EQ(told, 3);
    EXPECT_FALSE(bar0->selected());
    EXPECT_TRUE(lower5->selected());
    EXPECT_EQ(editor->selectedBarId(), (TOVBarId{5, true}));
    editor->selectBar(TOVBarId{99, false}); // no such bar: nothing
    EXPECT_EQ(told, 3);
    editor->selectBar(TOVBarId{1, false});
    EXPECT_EQ(told, 4);
    EXPECT_EQ(editor->selectedBarId(), (TOVBarId{1, false}));
    editor->setSelectedBar(nullptr);
    EXPECT_EQ(told, 5);
    EXPECT_EQ(editor->selectedBarId(), (TOVBarId{0, false}));
    EXPECT_EQ(seen.back(), nullptr);

    editor->removeSelectedBarObserver(id);
    editor->setSelectedBar(bar0);
    EXPECT_EQ(told, 5);
}

TEST_F(EditorViewTest, BindingTheBoundDocumentAgainRebuildsNothing) {
    bind({pageWith(1, true), pageWith(1)});
    EXPECT_EQ(controller.log, (std::vector<std::string>{"will update", "did update"}));
    const auto pages = editor->pageViewArray();
    editor->setDocData(document);
    EXPECT_EQ(controller.log.size(), 2u);
    EXPECT_EQ(editor->pageViewArray(), pages);
    // A full rebuild makes new page views, reported to the controller, and keeps the selected bar.
    editor->setSelectedBar(editor->barViewFromNumberInLower(5, false));
    editor->createAllSubviews(editor->selectedBarId());
    EXPECT_EQ(controller.log.size(), 4u);
    EXPECT_NE(editor->pageViewArray().front(), pages.front());
    EXPECT_EQ(editor->selectedBarId(), (TOVBarId{5, false}));
    EXPECT_TRUE(editor->selectedBar()->isDescendantOf(editor.get()));

    // A new song of the bound document goes to the first page view only.
    EXPECT_EQ(editor->firstPageView()->song(), document->song());
    Song* song = document->createNewSong();
    ASSERT_EQ(document->song(), song);
    EXPECT_EQ(editor->firstPageView()->song(), song);
    EXPECT_EQ(editor->pageViewArray().back()->song(), nullptr);
    // Removing a page view takes it out of the tree and the list.
    const auto second = editor->pageViewArray().back();
    editor->removePageView(second->page());
    EXPECT_EQ(second->superview(), nullptr);
    EXPECT_EQ(second->delegate(), nullptr);
    EXPECT_EQ(editor->pageViewArray().size(), 1u);
}

TEST_F(EditorViewTest, DrawingToolsGetViewsSizedOnceAndFollowTheDocumentsSymbols) {
    bind({pageWith(1, true)});
    SymbolTools* arrow = document->createNewSymbolToolsWithTypeFrame(TOVToolArrow, Rect(100, 200, 0, 0));
    SymbolTools* line = document->createNewSymbolToolsWithTypeFrame(TOVToolLine, Rect(300, 400, 80, 12));
    SymbolTools* foreign = document->createNewSymbolToolsWithTypeFrame(TOVSymbolDalSegno, Rect(10, 10, 5, 5));
    // The change of "symbols" rebuilt the tool views: one for each tool, none for the foreign type.
    ASSERT_EQ(editor->symbolViewArray().size(), 2u);
    auto arrowView = editor->objectViewFromData(arrow);
    auto lineView = editor->objectViewFromData(line);
    ASSERT_TRUE(arrowView && lineView);
    EXPECT_EQ(editor->objectViewFromData(foreign), nullptr);
    EXPECT_EQ(foreign->document(), document);
    // A tool without a size takes its view's natural size, in the model too; a sized one keeps its size.
    EXPECT_EQ(arrow->frame(), Rect(100, 200, 50, 10));
    EXPECT_EQ(arrowView->frame(), Rect(100, 200, 50, 10));
    EXPECT_EQ(line->frame(), Rect(300, 400, 80, 12));
    EXPECT_EQ(lineView->editorViewBelongTo(), static_cast<TOVObjectViewOwner*>(editor.get()));
    EXPECT_EQ(lineView->delegate(), &controller);
    EXPECT_EQ(editor->subviews().back(), lineView);
    // Outside undo the controller hears of every tool's frame after each rebuild.
    EXPECT_EQ(controller.framesChanged.back(), lineView.get());

    // Deleting through the view takes the symbol out of the document and its view out of the tree.
    lineView->setState(1);
    editor->selectAnObjectViewClearOthers(lineView.get(), true);
    editor->removeObjectViewAndData(lineView.get());
    EXPECT_EQ(lineView->superview(), nullptr);
    EXPECT_TRUE(editor->selectedObjectViewSet().empty());
    EXPECT_EQ(document->symbols(), (std::vector<Symbol*>{arrow, foreign}));
    EXPECT_EQ(editor->symbolViewArray().size(), 1u);
}

TEST_F(EditorViewTest, RebuildingTheToolsDuringUndoLeavesTheirBarsAlone) {
    bind({pageWith(1, true)});
    platform::UndoManager& undo = context->undoManager();
    // As the undo refresh buffer does once an undo or redo has restored the model.
    for (auto when :
         {platform::UndoManager::Notification::DidUndo, platform::UndoManager::Notification::DidRedo}) {
        undo.addObserver(when, [this] { editor->createAllSymbolViews(); });
    }
    const tovtest::UndoEnabled recording(*context);
    undo.beginUndoGrouping();
    document->createNewSymbolToolsWithTypeFrame(TOVToolWave, Rect(50, 60, 40, 10));
    undo.endUndoGrouping();
    EXPECT_EQ(editor->symbolViewArray().size(), 1u);
    const std::size_t reportsBefore = controller.framesChanged.size();
    EXPECT_GT(reportsBefore, 0u);
    undo.undo();
    EXPECT_TRUE(editor->symbolViewArray().empty());
    undo.redo();
    ASSERT_EQ(editor->symbolViewArray().size(), 1u);
    EXPECT_EQ(editor->symbolViewArray().front()->frame(), Rect(50, 60, 40, 10));
    EXPECT_EQ(controller.framesChanged.size(), reportsBefore);
    // Outside undo and redo the same rebuild reports the tool's frame.
    editor->createAllSymbolViews();
    EXPECT_EQ(controller.framesChanged.size(), reportsBefore + 1);
}

TEST_F(EditorViewTest, PrintingDividesTheSongIntoItsPageViews) {
    bind({pageWith(0, true, 0), pageWith(2), pageWith(2)});
    long first = 0;
    long count = 0;
    ASSERT_TRUE(editor->knowsPageRange(first, count));
    EXPECT_EQ(first, 1);
    EXPECT_EQ(count, 2);
    // Page 1 is the first page view there is: page number 1 at y 852.
    const std::pair<long, Rect> cases[] = {
        {1, Rect(0, 852, 595, 842)}, {2, Rect(0, 1704, 595, 842)}, {0, Rect()}, {3, Rect()}, {-1, Rect()},
    };
    for (const auto& [page, rect] : cases) {
        EXPECT_EQ(editor->rectForPage(page), rect) << page;
    }
    EXPECT_EQ(editor->locationOfPrintRect(Rect(0, 1704, 595, 842)), (Point{0, 0}));
}

} // namespace
