#include "AllGlyphs.h"
#include "BoundEditorFixture.h"
#include "EditorViewLookups.h"
#include "FakeLayoutController.h"

#include "glyphs/TOVChordViewFactory.h"
#include "glyphs/TOVObjectViewFactory.h"
#include "layout/TOVEditorBarView.h"
#include "layout/TOVEditorView.h"
#include "model/Bar.h"
#include "model/Document.h"
#include "model/Note.h"
#include "model/NoteTone.h"
#include "model/NoteUnit.h"
#include "model/TOVSymbolTypes.h"
#include "model/TOVUtils.h"
#include "notation/TOVNoteTieView.h"
#include "notation/TOVNoteToneCell.h"
#include "notation/TOVNoteUnitCell.h"
#include "notation/TOVNoteView.h"
#include "notation/TOVNoteViewFactory.h"
#include "platform/data/ManagedObjectContext.h"
#include "support/LayoutBuilder.h"
#include "support/SongBuilder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

using layouttest::FakeLayoutController;
using platform::Point;
using platform::Rect;
using tovtest::LineSpec;
using tovtest::PageSpec;

namespace {

// One page: the header slot, then two lines of four 4/4 bars (bars 0 to 3, then 4 to 7).
class BarNoteViewsTest : public ::testing::Test {
protected:
    void SetUp() override {
        document = layouttest::bindEditor(
            *editor, controller, *context,
            {PageSpec{10, {LineSpec{0, 0, false}, LineSpec{4, 4, false}, LineSpec{4, 4, false}}}});
    }
    void TearDown() override { editor->setDocData(nullptr); }

    TOVEditorBarView* barView(std::uint64_t num) const {
        return editor->barViewFromNumberInLower(num, false);
    }
    Bar* bar(std::uint64_t num) const { return tovtest::findBar(document, num); }
    Note* melo(std::uint64_t num, std::uint64_t from, std::uint64_t length, std::int64_t level = -2) {
        return layouttest::writeMelo(*context, document, num, from, length, level);
    }
    Note* rest(std::uint64_t num, std::uint64_t from, std::uint64_t length) {
        return layouttest::writeRest(*context, document, num, from, length);
    }
    std::vector<TOVNoteView*> noteViewsInEditor() const {
        return layouttest::viewsInEditor<TOVNoteView>(*editor);
    }
    // The view's frame in the coordinates of the bar view.
    static Rect inBar(const TOVEditorBarView* barView, const platform::View& view) {
        return layouttest::frameInBar(barView, view);
    }
    TOVNoteView* viewOf(std::uint64_t num, const Note* note) const {
        return barView(num)->noteViewFromData(note).get();
    }
    const TOVLayoutController::ObjectViewSet& selection() const { return editor->selectedObjectViewSet(); }
    // A tie from the first tone of the left note to the first tone of the right one.
    Tie* tie(Note* left) {
        Tie* made = left->firstUnit()->toneArray().front()->createNewTie();
        context->processPendingChanges();
        return made;
    }
    static TOVNoteToneCell* firstToneCell(TOVNoteView* view) {
        return view->unitCellArray().front()->toneCellArray().front().get();
    }

    layouttest::AllGlyphs glyphs;
    std::unique_ptr<platform::ManagedObjectContext> context = tovtest::makeSongContext();
    FakeLayoutController controller;
    std::shared_ptr<TOVEditorView> editor = std::make_shared<TOVEditorView>(Rect(0, 0, 595, 2000));
    Document* document = nullptr;
};

TEST_F(BarNoteViewsTest, OneNoteViewPerNoteStandingInItsBarRebuiltFromTheModel) {
    Note* quarter = melo(1, 0, 240);
    Note* half = melo(1, 240, 480, 3);
    Note* pause = rest(1, 720, 240);
    TOVEditorBarView* view = barView(1);
    view->recreateAllSubViews();

    ASSERT_EQ(view->noteViewArray().size(), 3u);
    EXPECT_EQ(noteViewsInEditor().size(), 3u);
    double lastX = -1;
    for (Note* note : {quarter, half, pause}) {
        SCOPED_TRACE(note->timing());
        const auto noteView = view->noteViewFromData(note);
        ASSERT_TRUE(noteView);
        EXPECT_EQ(noteView->note(), note);
        EXPECT_EQ(noteView->symbol(), note);
        EXPECT_EQ(noteView->noteViewDelegate(), view);
        EXPECT_EQ(noteView->barViewBelongTo(), view);
        EXPECT_EQ(noteView->superview(), editor.get());
        EXPECT_EQ(view->objectViewFromData(note), noteView);
        // Inside the bar's notes area, in time order, reaching the middle staff line.
        const Rect frame = inBar(view, *noteView);
        EXPECT_GE(frame.x(), view->rectangleNotesArea().x() - 1.5);
        EXPECT_LE(frame.maxX(), view->rectangleNotesArea().maxX());
        EXPECT_GT(frame.x(), lastX);
        EXPECT_LE(frame.y(), view->posYLevel0());
        EXPECT_GE(frame.maxY(), view->posYLevel0());
        lastX = frame.x();
    }
    // The head of the quarter at level -2 stands on the staff line below the middle one.
    TOVNoteView* quarterView = viewOf(1, quarter);
    const TOVNoteToneCell* head = firstToneCell(quarterView);
    const Point centre =
        view->convertPointFromView({head->frame().x(), head->frame().y() + head->offsetY()}, quarterView);
    EXPECT_NEAR(centre.y, view->posYFromToneLevel(-2), 0.5);

    // A note added to the model shows after the rebuild; the old views are gone from the editor view.
    // Held weakly: a freed view must not be mistaken for a new one that took its address.
    std::vector<std::weak_ptr<TOVNoteView>> before;
    for (const auto& old : view->noteViewArray()) {
        before.push_back(old);
    }
    bar(1)->removeNote(pause);
    context->processPendingChanges();
    Note* eighth = melo(1, 720, 120);
    view->recreateAllNoteViews();
    ASSERT_EQ(view->noteViewArray().size(), 3u);
    EXPECT_EQ(noteViewsInEditor().size(), 3u);
    EXPECT_TRUE(view->noteViewFromData(eighth));
    EXPECT_FALSE(view->noteViewFromData(pause));
    const auto now = noteViewsInEditor();
    for (const auto& weak : before) {
        if (const auto old = weak.lock()) {
            EXPECT_EQ(std::count(now.begin(), now.end(), old.get()), 0);
            EXPECT_EQ(old->superview(), nullptr);
        }
    }
}

TEST_F(BarNoteViewsTest, AToneSelectedBeforeARebuildIsSelectedAfterIt) {
    Note* chord = melo(2, 0, 480, -2);
    chord->firstUnit()->createNewToneWithLevel(2);
    context->processPendingChanges();
    TOVEditorBarView* view = barView(2);
    view->recreateAllNoteViews();
    TOVNoteView* noteView = viewOf(2, chord);
    NoteTone* upper = chord->firstUnit()->toneArray().front();
    noteView->selectCell(noteView->toneCellOfData(upper));
    // The bar view lays its notes out again (a barline moved, the bar resized).
    view->setFrame(
        Rect(view->frame().origin, platform::Size{view->frame().width() + 40, view->frame().height()}));
    ASSERT_EQ(viewOf(2, chord), noteView);
    ASSERT_EQ(noteView->selectedToneCells().size(), 1u);
    EXPECT_EQ(noteView->selectedToneCells().front()->tone(), upper);
}

TEST_F(BarNoteViewsTest, NotesFollowTheirBarWhenItIsResized) {
    Note* late = melo(1, 720, 240);
    TOVEditorBarView* view = barView(1);
    view->recreateAllNoteViews();
    TOVNoteView* noteView = viewOf(1, late);
    const double before = inBar(view, *noteView).x();
    const double width = view->frame().width();
    // Live, during a barline drag: the model keeps its width.
    view->updateViewFrameTemporallyBy(
        Rect(view->frame().origin, platform::Size{width + 60, view->frame().height()}));
    const double during = inBar(view, *noteView).x();
    EXPECT_GT(during, before + 30);
    EXPECT_DOUBLE_EQ(bar(1)->width(), width);
    view->setFrame(Rect(view->frame().origin, platform::Size{width, view->frame().height()}));
    EXPECT_NEAR(inBar(view, *noteView).x(), before, 1e-9);
}

TEST_F(BarNoteViewsTest, NotesContinueEachOtherAcrossBarsAndLines) {
    // Bar 3 ends line 1; bar 4 starts line 2.
    Note* a = melo(2, 0, 240);
    Note* b = melo(2, 240, 240);
    Note* gapped = melo(2, 720, 240); // after an empty stretch
    Note* endOfLine = melo(3, 480, 480);
    Note* startOfLine = melo(4, 0, 960);
    Note* lonely = melo(6, 240, 240);
    Note* first = melo(0, 0, 960);
    for (std::uint64_t num : {0, 2, 3, 4, 6}) {
        barView(num)->recreateAllNoteViews();
    }
    struct Case {
        const char* what;
        std::uint64_t num;
        Note* note;
        std::optional<std::uint64_t> nextNum;
        Note* next;
        std::optional<std::uint64_t> previousNum;
        Note* previous;
    };
    const Case cases[] = {
        {"first of the song", 0, first, {}, nullptr, {}, nullptr},
        {"inside a bar", 2, a, 2, b, {}, nullptr},
        {"before a gap", 2, b, {}, nullptr, 2, a},
        {"after a gap, into an empty bar", 2, gapped, {}, nullptr, {}, nullptr},
        {"end of a line", 3, endOfLine, 4, startOfLine, {}, nullptr},
        {"start of a line", 4, startOfLine, {}, nullptr, 3, endOfLine},
        {"alone", 6, lonely, {}, nullptr, {}, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TOVNoteView* noteView = viewOf(c.num, c.note);
        ASSERT_NE(noteView, nullptr);
        EXPECT_EQ(barView(c.num)->nextContinuousNoteViewOf(noteView),
                  c.nextNum ? viewOf(*c.nextNum, c.next) : nullptr);
        EXPECT_EQ(barView(c.num)->previousContinuousNoteViewOf(noteView),
                  c.previousNum ? viewOf(*c.previousNum, c.previous) : nullptr);
    }
}

TEST_F(BarNoteViewsTest, SelectMultiNoteViewFromDataSelectsExactlyThoseNotesWhole) {
    Note* a = melo(1, 0, 240);
    Note* b = melo(1, 240, 240);
    Note* c = melo(1, 480, 240);
    Note* elsewhere = melo(2, 0, 240);
    barView(1)->recreateAllNoteViews();
    barView(2)->recreateAllNoteViews();
    viewOf(2, elsewhere)->makeSelfSelectedAndClearOthers(true);

    barView(1)->selectMultiNoteViewFromData({a, c, elsewhere});
    std::vector<TOVObjectView*> selected;
    for (const auto& view : selection()) {
        selected.push_back(view.get());
    }
    EXPECT_EQ(selected, (std::vector<TOVObjectView*>{viewOf(1, a), viewOf(1, c)}));
    for (Note* note : {a, c}) {
        EXPECT_EQ(viewOf(1, note)->state(), 1);
        EXPECT_TRUE(viewOf(1, note)->isWholeNoteSelected());
        EXPECT_TRUE(viewOf(1, note)->unitCellArray().front()->selected());
    }
    EXPECT_EQ(viewOf(1, b)->state(), 0);
    EXPECT_FALSE(viewOf(1, b)->unitCellArray().front()->selected());
    EXPECT_EQ(viewOf(2, elsewhere)->state(), 0);

    // Rebuilding the bar's note views drops the selection.
    barView(1)->recreateAllNoteViews();
    EXPECT_TRUE(selection().empty());
}

TEST_F(BarNoteViewsTest, TiesAcrossABarFollowRebuildsAndRemovals) {
    Note* left = melo(1, 480, 480);
    Note* right = melo(2, 0, 240);
    barView(1)->recreateAllNoteViews();
    barView(2)->recreateAllNoteViews();
    ASSERT_EQ(barView(1)->nextContinuousNoteViewOf(viewOf(1, left)), viewOf(2, right));
    // A tone cell finds the end of its tie through its note view's host.
    ASSERT_EQ(barView(1)->noteViewInquireNextNoteView(viewOf(1, left)), viewOf(2, right));
    ASSERT_TRUE(tie(left));
    // The tie was made after the views: refreshing the right note's view draws it from the left.
    EXPECT_FALSE(firstToneCell(viewOf(1, left))->tieView());
    barView(2)->objectShouldUpdateView(right);
    ASSERT_TRUE(firstToneCell(viewOf(1, left))->tieView());

    // Rebuilding the right bar's notes draws the tie again to the new view.
    barView(2)->recreateAllNoteViews();
    const auto tieView = firstToneCell(viewOf(1, left))->tieView();
    ASSERT_TRUE(tieView);
    const Rect tieInEditor = tieView->frame();
    const TOVNoteToneCell* end = firstToneCell(viewOf(2, right));
    const Point endInEditor =
        viewOf(2, right)->convertPointToView(end->rightPointForTieFlip(tieView->flip()), editor.get());
    EXPECT_NEAR(tieInEditor.maxX(), endInEditor.x, 0.5);

    // Removing the right note's view takes the tie away from the left one; the note stays.
    barView(2)->removeObjectView(viewOf(2, right));
    EXPECT_FALSE(barView(2)->noteViewFromData(right));
    EXPECT_FALSE(firstToneCell(viewOf(1, left))->tieView());
    EXPECT_EQ(bar(2)->noteArray().size(), 1u);
}

TEST_F(BarNoteViewsTest, UpdatingAndRemovingOneNoteView) {
    Note* a = melo(1, 0, 240);
    Note* b = melo(1, 240, 240);
    barView(1)->recreateAllNoteViews();
    TOVNoteView* bView = viewOf(1, b);
    b->firstUnit()->toneArray().front()->setLevel(5);
    context->processPendingChanges();
    barView(1)->updateNoteViewFor(b);
    EXPECT_EQ(viewOf(1, b), bView);
    EXPECT_EQ(bView->topLevelTone(), 5);

    barView(1)->removeNoteViewFor(a);
    EXPECT_EQ(barView(1)->noteViewArray().size(), 1u);
    EXPECT_EQ(noteViewsInEditor(), std::vector<TOVNoteView*>{bView});
    // A note without a view changes nothing.
    barView(1)->removeNoteViewFor(a);
    barView(1)->updateNoteViewFor(a);
    EXPECT_EQ(barView(1)->noteViewArray().size(), 1u);

    // Leaving the page tree takes the note views out of the editor view.
    barView(1)->removeAllSubviews();
    EXPECT_TRUE(barView(1)->noteViewArray().empty());
    EXPECT_TRUE(noteViewsInEditor().empty());
}

TEST_F(BarNoteViewsTest, AClefChangeRebuildsTheNotesBehindIt) {
    Note* note = melo(1, 0, 240);
    TOVEditorBarView* view = barView(1);
    view->recreateAllSubViews();
    const double before = inBar(view, *viewOf(1, note)).x();
    bar(1)->setClefType(TOVSymbolClefF);
    view->createClefViewAndSelect(true);
    ASSERT_TRUE(view->clefView());
    // The notes area now starts behind the clef, and the note view with it.
    EXPECT_GT(inBar(view, *viewOf(1, note)).x(), before + 5);
    EXPECT_EQ(selection().size(), 1u);
    EXPECT_EQ(selection().front(), view->clefView());
}

} // namespace
