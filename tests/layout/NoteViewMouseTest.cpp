// Presses, drags and releases on note views, through the window system: cell selection, tone drags, the
// stem-end handles of a group and the flip drag, with the bar view as the note views' host.

#include "EditorInWindow.h"
#include "FakeLayoutController.h"
#include "WindowedEditorFixture.h"

#include "layout/TOVEditorBackView.h"
#include "layout/TOVEditorBarView.h"
#include "layout/TOVEditorView.h"
#include "model/Bar.h"
#include "model/Document.h"
#include "model/Note.h"
#include "model/NoteTone.h"
#include "model/NoteUnit.h"
#include "model/TOVStaffMetrics.h"
#include "model/TOVUtils.h"
#include "notation/TOVNotePreview.h"
#include "notation/TOVNoteToneCell.h"
#include "notation/TOVNoteUnitCell.h"
#include "notation/TOVNoteView.h"
#include "notation/TOVNoteViewDelegate.h"
#include "notation/TOVNoteViewFactory.h"
#include "platform/data/ManagedObjectContext.h"
#include "platform/ui/Application.h"
#include "platform/ui/ViewHost.h"
#include "platform/ui/Window.h"
#include "platform/ui/WindowEvents.h"
#include "support/LayoutBuilder.h"
#include "support/SongBuilder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QImage>
#include <QTest>

using layouttest::FakeLayoutController;
using platform::Point;
using platform::Rect;
using tovtest::LineSpec;
using tovtest::PageSpec;
using Log = std::vector<std::string>;

namespace {

using layouttest::settle;

Point centreOf(const Rect& r) {
    return {r.x() + r.width() / 2, r.y() + r.height() / 2};
}

// The editor view controller's side of the selection, logged; it may refuse to select.
class SelectionController : public FakeLayoutController {
public:
    bool refuse = false;
    Log selectionLog;

    bool objectViewShouldBeSelectedAndClearOthers(TOVObjectView* view, bool clear) override {
        selectionLog.push_back(clear ? "select only" : "select add");
        return !refuse && FakeLayoutController::objectViewShouldBeSelectedAndClearOthers(view, clear);
    }
    void objectViewShouldBeUnselected(TOVObjectView* view) override {
        selectionLog.push_back("unselect");
        FakeLayoutController::objectViewShouldBeUnselected(view);
    }
    void noteViewDidUpdateSelectedCells(TOVSelectableView*) override { selectionLog.push_back("cells"); }
};

// Stands between a note view and its bar view: logs each drag report, then hands every message on.
class RecordingHost : public TOVNoteViewDelegate {
public:
    explicit RecordingHost(TOVEditorBarView* bar) : bar_(bar) {}
    Log log;

    Rect noteViewInquireRectangleNotesArea(TOVNoteView* v) override {
        return bar_->noteViewInquireRectangleNotesArea(v);
    }
    double noteViewInquirePosYLevel0(TOVNoteView* v) override { return bar_->noteViewInquirePosYLevel0(v); }
    double noteViewInquire5LinesPitch(TOVNoteView* v) override { return bar_->noteViewInquire5LinesPitch(v); }
    platform::View* noteViewInquireBarView(TOVNoteView* v) override {
        return bar_->noteViewInquireBarView(v);
    }
    std::optional<double> noteViewInquirexPosForUnit(TOVNoteView* v, const NoteUnit* unit) override {
        return bar_->noteViewInquirexPosForUnit(v, unit);
    }
    TOVNoteView* noteViewInquirePreviousNoteView(TOVNoteView* v) override {
        return bar_->noteViewInquirePreviousNoteView(v);
    }
    TOVNoteView* noteViewInquireNextNoteView(TOVNoteView* v) override {
        return bar_->noteViewInquireNextNoteView(v);
    }
    void noteViewWillStartDragToneAt(TOVNoteView* v, TOVNoteToneCell* c, Point p) override {
        log.push_back("start tone");
        bar_->noteViewWillStartDragToneAt(v, c, p);
    }
    void noteViewDidUpdateDragToneAt(TOVNoteView* v, TOVNoteToneCell* c, Point p) override {
        log.push_back("update tone");
        bar_->noteViewDidUpdateDragToneAt(v, c, p);
    }
    void noteViewDidFinishDragToneAt(TOVNoteView* v, TOVNoteToneCell* c, Point p) override {
        log.push_back("finish tone");
        bar_->noteViewDidFinishDragToneAt(v, c, p);
    }
    void noteViewWillStartFlippingAt(TOVNoteView* v, Point p) override {
        log.push_back("start flip");
        bar_->noteViewWillStartFlippingAt(v, p);
    }
    void noteViewDidUpdateFlippingAt(TOVNoteView* v, Point p) override {
        log.push_back("update flip");
        bar_->noteViewDidUpdateFlippingAt(v, p);
    }
    void noteViewDidFinishFlippingAt(TOVNoteView* v, Point p) override {
        log.push_back("finish flip");
        bar_->noteViewDidFinishFlippingAt(v, p);
    }

private:
    TOVEditorBarView* bar_;
};

// A note view that counts how often a paint reaches it.
class CountingNoteView : public TOVNoteView {
public:
    using TOVNoteView::TOVNoteView;
    int draws = 0;
    void drawRect(const Rect& dirty, platform::GraphicsContext& ctx) override {
        ++draws;
        TOVNoteView::drawRect(dirty, ctx);
    }
};

// A document window of one page: the header slot, then a line of four bars in 4/4, with the built-in
// note glyphs and their cursors. The backdrop is the root of the host and the editor view lies on it 20
// from the left and 10 from the top; every press, move and release comes through the window system.
class NoteViewMouseTest : public layouttest::WindowedEditorFixture<SelectionController> {
protected:
    void SetUp() override {
        TOVUtils::Services services = glyphs.services();
        services.makeCursor = [](const std::string& image, Point hotSpot) {
            return std::make_shared<platform::Cursor>(platform::Cursor::fromImageFile(image, hotSpot));
        };
        TOVUtils::registerServices(services);
        WindowedEditorFixture::SetUp();
    }
    void TearDown() override {
        WindowedEditorFixture::TearDown();
        TOVUtils::registerServices({});
    }

    TOVEditorBarView* barView(std::uint64_t num) const {
        return editor->barViewFromNumberInLower(num, false);
    }
    Bar* bar(std::uint64_t num) const { return tovtest::findBar(document, num); }
    Note* melo(std::uint64_t num, std::uint64_t from, std::uint64_t length, std::int64_t level) {
        return layouttest::writeMelo(*context, document, num, from, length, level);
    }
    Note* rest(std::uint64_t num, std::uint64_t from, std::uint64_t length) {
        return layouttest::writeRest(*context, document, num, from, length);
    }
    // Eighths from the tick, one per level, under one beam.
    Note* beamed(std::uint64_t num, std::uint64_t from, const std::vector<std::int64_t>& levels) {
        std::vector<Note*> eighths;
        for (std::int64_t level : levels) {
            eighths.push_back(melo(num, from, 120, level));
            from += 120;
        }
        Note* note = bar(num)->makeBeamOn(eighths);
        context->processPendingChanges();
        return note;
    }
    // The bar's view of the note, after the bar has rebuilt its views from the model; its drag reports go
    // through a recorder that hands them on to the bar.
    TOVNoteView* viewOf(std::uint64_t num, const Note* note) {
        barView(num)->recreateAllSubViews();
        settle();
        TOVNoteView* view = barView(num)->noteViewFromData(note).get();
        recorders.push_back(std::make_unique<RecordingHost>(barView(num)));
        view->setNoteViewDelegate(recorders.back().get());
        return view;
    }
    Log& hostLog(const TOVNoteView* view) {
        for (auto& r : recorders) {
            if (r.get() == view->noteViewDelegate()) {
                return r->log;
            }
        }
        throw std::logic_error("no recorder");
    }

    // A point of a view in the window.
    QPointF inWindow(const platform::View& view, Point p) const {
        const Point inHost = view.convertPointToView(p, nullptr);
        return host->mapTo(&window, QPointF(inHost.x, inHost.y));
    }
    void press(const platform::View& view, Point p, Qt::KeyboardModifiers held = {}) {
        time += 5000;
        input->press(inWindow(view, p), Qt::LeftButton, time, held);
        settle();
    }
    void move(const platform::View& view, Point p) {
        input->move(inWindow(view, p), time += 20);
        settle();
    }
    void release(const platform::View& view, Point p) {
        input->release(inWindow(view, p), Qt::LeftButton, time += 20);
        settle();
    }
    void click(const platform::View& view, Point p, Qt::KeyboardModifiers held = {}) {
        press(view, p, held);
        release(view, p);
    }

    static TOVNoteToneCell* firstTone(const TOVNoteView* view) {
        return view->unitCellArray().front()->toneCellArray().front().get();
    }
    static Point headOf(const TOVNoteToneCell* cell) { return centreOf(cell->frame()); }
    // The pointer y in the note view at the middle of a level's step in its bar.
    double yOfLevel(const TOVNoteView* view, std::int64_t level) const {
        const TOVEditorBarView* b = dynamic_cast<const TOVEditorBarView*>(view->barViewBelongTo());
        return b->convertPointToView({0, b->posYFromToneLevel(level) - 1.0}, view).y;
    }

    std::vector<std::unique_ptr<RecordingHost>> recorders;
};

TEST_F(NoteViewMouseTest, ADoubleClickChangesNothingAndSendsNothing) {
    TOVNoteView* view = viewOf(1, melo(1, 0, 240, -2));
    const Point head = headOf(firstTone(view));
    click(*view, head);
    ASSERT_EQ(controller.selectionLog, (Log{"select only", "cells"}));
    ASSERT_TRUE(firstTone(view)->selected());

    // The second press comes at once: the window system makes it the second click of a double click.
    input->press(inWindow(*view, head), Qt::LeftButton, time += 50);
    input->move(inWindow(*view, {head.x, head.y - 10}), time += 20);
    input->release(inWindow(*view, {head.x, head.y - 10}), Qt::LeftButton, time += 20);
    settle();
    EXPECT_EQ(controller.selectionLog, (Log{"select only", "cells"}));
    EXPECT_TRUE(hostLog(view).empty());
    EXPECT_TRUE(firstTone(view)->selected());
    EXPECT_EQ(view->note()->firstUnit()->toneArray().front()->level(), -2);
}

TEST_F(NoteViewMouseTest, AToneDragReportsOnlyOnceThePointerLeavesHalfAStaffStep) {
    struct Case {
        const char* name;
        std::vector<Point> moves; // from the head
        Log reports;
    };
    const std::vector<Case> cases{
        {"sideways only", {{20, 0}, {-20, 0}}, {}},
        {"less than half a step", {{0, 2}, {0, -2}, {8, 2}}, {}},
        {"past half a step", {{0, 4}}, {"update tone", "finish tone"}},
        // Once past, every move reports, also back within the step.
        {"past and back", {{0, -4}, {0, -1}}, {"update tone", "update tone", "finish tone"}},
    };
    std::uint64_t tick = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TOVNoteView* view = viewOf(1, melo(1, tick, 240, -2));
        tick += 240;
        const Point head = headOf(firstTone(view));
        press(*view, head);
        Point last = head;
        for (Point d : c.moves) {
            last = {head.x + d.x, head.y + d.y};
            move(*view, last);
        }
        release(*view, last);
        EXPECT_EQ(hostLog(view), c.reports);
        EXPECT_EQ(view->draggingToneCell(), nullptr);
        EXPECT_FALSE(view->isDraggingTone());
    }
}

TEST_F(NoteViewMouseTest, DraggingAToneUpMovesItToThePointersLevel) {
    Note* note = melo(1, 240, 240, -2);
    TOVNoteView* view = viewOf(1, note);
    const Point head = headOf(firstTone(view));
    press(*view, head);
    for (std::int64_t level : {0, 2, 3}) {
        move(*view, {head.x, yOfLevel(view, level)});
    }
    ASSERT_NE(barView(1)->notePreview(), nullptr);
    EXPECT_EQ(barView(1)->notePreview()->level(), 3);
    const double headInEditor = view->convertPointToView(head, editor.get()).y;
    // Nothing is written before the release.
    EXPECT_EQ(note->firstUnit()->toneArray().front()->level(), -2);
    release(*view, {head.x, yOfLevel(view, 3)});
    EXPECT_EQ(note->firstUnit()->toneArray().front()->level(), 3);
    EXPECT_EQ(barView(1)->notePreview(), nullptr);
    // The view shows the tone at its new place, five steps higher.
    EXPECT_NEAR(view->convertPointToView(headOf(firstTone(view)), editor.get()).y,
                headInEditor - 5 * TOVLevelPitch, 1e-6);
}

TEST_F(NoteViewMouseTest, DraggingAToneOntoALevelItsUnitHoldsChangesNothing) {
    Note* note = melo(1, 240, 240, -2);
    note->firstUnit()->createNewToneWithLevel(2);
    TOVNoteView* view = viewOf(1, note);
    ASSERT_EQ(view->unitCellArray().front()->toneCellArray().size(), 2u);
    TOVNoteToneCell* lower = nullptr;
    for (const auto& cell : view->unitCellArray().front()->toneCellArray()) {
        if (cell->tone()->level() == -2) {
            lower = cell.get();
        }
    }
    ASSERT_NE(lower, nullptr);
    const Point head = headOf(lower);
    press(*view, head);
    for (std::int64_t level : {0, 2}) {
        move(*view, {head.x, yOfLevel(view, level)});
    }
    ASSERT_NE(barView(1)->notePreview(), nullptr);
    ASSERT_EQ(barView(1)->notePreview()->level(), 2);
    release(*view, {head.x, yOfLevel(view, 2)});
    std::vector<std::int64_t> levels;
    for (const NoteTone* tone : note->firstUnit()->toneArray()) {
        levels.push_back(tone->level());
    }
    EXPECT_EQ(levels, (std::vector<std::int64_t>{2, -2}));
    EXPECT_EQ(barView(1)->notePreview(), nullptr);
}

// A group of four eighths with its stems up, its left end stored shorter than a stem may be.
class StemHandleTest : public NoteViewMouseTest {
protected:
    void SetUp() override {
        NoteViewMouseTest::SetUp();
        note = beamed(2, 0, {-4, -2, -3, -1});
        note->setHeightLeft(3.0);
        note->setHeightRight(12.0);
        context->processPendingChanges();
        view = viewOf(2, note);
        view->updateView();
        ASSERT_FALSE(view->isNoteFlip());
        ASSERT_TRUE(view->beamPath().has_value());
        ASSERT_EQ(view->handleCellArray().size(), 2u);
        // A click on the beam selects the group; the paint that follows puts the handles on the stems.
        click(*view, centreOf(view->beamPath()->bounds()));
        ASSERT_TRUE(view->isWholeNoteSelected());
        host->repaint();
        settle();
        hostLog(view).clear();
        controller.selectionLog.clear();
    }
    // Where a stem ends, in the editor view: the note view's frame follows its stems as they change.
    Point stemEnd(std::size_t unit) const {
        return view->convertPointToView(view->unitCellArray()[unit]->posPoleEdge(), editor.get());
    }
    // How far the inner stem ends lie from the line through the outer ones.
    double offLine() const {
        const Point a = stemEnd(0);
        const Point b = stemEnd(3);
        double worst = 0;
        for (std::size_t i = 1; i < 3; ++i) {
            const Point p = stemEnd(i);
            const double onLine = a.y + (b.y - a.y) * (p.x - a.x) / (b.x - a.x);
            worst = std::max(worst, std::abs(p.y - onLine));
        }
        return worst;
    }

    Note* note = nullptr;
    TOVNoteView* view = nullptr;
};

TEST_F(StemHandleTest, TheRightHandleDragsTheLastStemEndAndTheLineFollows) {
    const Rect handle = view->convertRectToView(view->handleCellArray()[1]->frame(), editor.get());
    ASSERT_NEAR(handle.maxX() + 0.6, stemEnd(3).x, 1e-9);
    ASSERT_NEAR(handle.y(), stemEnd(3).y, 1e-9);
    // Points in the editor view from here on.
    const Point start = centreOf(handle);
    const double lastLength = view->heightRight();
    const Point innerBefore = stemEnd(2);
    press(*editor, start);
    ASSERT_EQ(view->resizingHandle(), view->handleCellArray()[1].get());
    EXPECT_EQ(hostLog(view), Log{}) << "a handle press is no flip";

    for (double up : {4.0, 10.0, 15.0}) {
        SCOPED_TRACE(up);
        move(*editor, {start.x, start.y - up});
        EXPECT_NEAR(stemEnd(3).y, start.y - up, 1.0);
        EXPECT_GT(view->heightRight(), lastLength);
        EXPECT_LT(offLine(), 1.0);
    }
    EXPECT_LT(stemEnd(2).y, innerBefore.y - 3.0) << "the inner stems follow the new line";
    EXPECT_EQ(note->heightRight(), 12.0) << "the model waits for the release";

    // Far below the heads the stem keeps its least length.
    move(*editor, {start.x, start.y + 60});
    EXPECT_EQ(view->heightRight(), TOVNoteView::kLeastPoleHeight);
    const TOVNoteUnitCell& last = *view->unitCellArray().back();
    EXPECT_NEAR(last.poleHeight(), TOVNoteView::kLeastPoleHeight, 1.0);

    move(*editor, {start.x, start.y - 8});
    const double shownRight = view->heightRight();
    release(*editor, {start.x, start.y - 8});
    EXPECT_EQ(view->resizingHandle(), nullptr);
    // Both ends are written: the right as dragged, the left as the view held it, raised to the least.
    EXPECT_FLOAT_EQ(note->heightRight(), shownRight);
    EXPECT_EQ(note->heightLeft(), TOVNoteView::kLeastPoleHeight);
    EXPECT_EQ(view->heightLeft(), TOVNoteView::kLeastPoleHeight);

    // A rebuild from the model shows the same line.
    const Point endBefore = stemEnd(3);
    view->updateView();
    EXPECT_NEAR(stemEnd(3).y, endBefore.y, 1e-9);

    // The selected group with its handles, as a window shows it at six times the size, written where
    // TOVRIN_NOTE_MOUSE_OUT says.
    if (const char* out = std::getenv("TOVRIN_NOTE_MOUSE_OUT")) {
        constexpr double kZoom = 6.0;
        const Rect before = editor->frame();
        editor->setFrame(Rect(before.x(), before.y(), before.width() * kZoom, before.height() * kZoom));
        editor->scaleUnitSquareToSize({kZoom, kZoom});
        // The editor moved so that the group stands near the window's top left corner.
        const Rect far = view->convertRectToView(view->bounds().insetBy(-20, -20), nullptr);
        editor->setFrameOrigin({before.x() - far.x() + 10, before.y() - far.y() + 10});
        const Rect area = view->convertRectToView(view->bounds().insetBy(-20, -20), nullptr);
        settle();
        host->repaint();
        const QImage image = host->grab().toImage();
        const double k = image.devicePixelRatio();
        image.copy(int(area.x() * k), int(area.y() * k), int(area.width() * k), int(area.height() * k))
            .save(QString::fromLocal8Bit(out));
    }
}

TEST_F(NoteViewMouseTest, TheLeftHandleOfAGroupWithStemsDownDragsTheFirstStemEnd) {
    Note* note = beamed(2, 0, {2, 4, 3, 5});
    TOVNoteView* view = viewOf(2, note);
    ASSERT_TRUE(view->isNoteFlip());
    click(*view, centreOf(view->beamPath()->bounds()));
    ASSERT_TRUE(view->isWholeNoteSelected());
    host->repaint();
    settle();
    auto stemEnd = [&](std::size_t unit) {
        return view->convertPointToView(view->unitCellArray()[unit]->posPoleEdge(), editor.get());
    };
    // Below the stem ends, the left one on the first stem.
    const Rect handle = view->convertRectToView(view->handleCellArray()[0]->frame(), editor.get());
    ASSERT_NEAR(handle.x(), stemEnd(0).x, 1e-9);
    ASSERT_NEAR(handle.maxY(), stemEnd(0).y, 1e-9);
    const double rightEnd = stemEnd(3).y;
    const double leftBefore = view->heightLeft();

    const Point start = centreOf(handle);
    press(*editor, start);
    move(*editor, {start.x, start.y + 12});
    EXPECT_NEAR(stemEnd(0).y, start.y + 12, 1.0);
    EXPECT_GT(view->heightLeft(), leftBefore + 8);
    EXPECT_NEAR(stemEnd(3).y, rightEnd, 1.0) << "the other end stays";
    release(*editor, {start.x, start.y + 12});
    EXPECT_FLOAT_EQ(note->heightLeft(), view->heightLeft());
    EXPECT_FLOAT_EQ(note->heightRight(), view->heightRight());
}

TEST_F(StemHandleTest, HandlesShowTheUpDownCursorOnlyWhileSelected) {
    const std::shared_ptr<platform::Cursor> upDown = TOVUtils::cursorForResizeHandle(4);
    ASSERT_NE(upDown, nullptr);
    auto cursorOver = [&](Point inView) -> std::optional<platform::Cursor> {
        platform::Cursor cursor;
        if (host->cursorAt(view->convertPointToView(inView, nullptr), cursor)) {
            return cursor;
        }
        return std::nullopt;
    };
    const Point left = centreOf(view->handleCellArray()[0]->frame());
    const Point right = centreOf(view->handleCellArray()[1]->frame());
    EXPECT_EQ(cursorOver(left), *upDown);
    EXPECT_EQ(cursorOver(right), *upDown);
    EXPECT_EQ(cursorOver(headOf(firstTone(view))), std::nullopt);

    // Shift on the beam of the selected group takes it out of the selection, and the handles their cursor.
    click(*view, centreOf(view->beamPath()->bounds()), Qt::ShiftModifier);
    ASSERT_EQ(view->state(), 0);
    EXPECT_EQ(cursorOver(left), std::nullopt);
    EXPECT_EQ(cursorOver(right), std::nullopt);
}

TEST_F(NoteViewMouseTest, PressesOnBeamsFlagsAndTheStemEndStartAFlip) {
    struct Case {
        const char* name;
        std::function<Note*()> make;
        // Where to press, in the view.
        std::function<Point(const TOVNoteView&)> at;
        bool flips;
    };
    const std::vector<Case> cases{
        {"beam of a group",
         [&] {
             return beamed(1, 0, {-3, -3});
         },
         [](const TOVNoteView& v) { return centreOf(v.beamPath()->bounds()); }, true},
        {"flag of an eighth", [&] { return melo(1, 240, 120, -3); },
         [](const TOVNoteView& v) { return centreOf(v.flagPath()->bounds()); }, true},
        {"stem end of a quarter", [&] { return melo(1, 480, 240, -3); },
         [](const TOVNoteView& v) { return centreOf(v.flipHandleRect()); }, true},
        {"whole note", [&] { return melo(2, 0, 960, -3); },
         [](const TOVNoteView& v) {
             return Point{v.bounds().width() / 2, 1.0};
         },
         false},
        {"rest", [&] { return rest(3, 0, 240); }, [](const TOVNoteView& v) { return centreOf(v.bounds()); },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Note* note = c.make();
        TOVNoteView* view = viewOf(note->bar()->num(), note);
        controller.selectionLog.clear();
        const Point p = c.at(*view);
        press(*view, p);
        EXPECT_EQ(view->isFlipping(), c.flips);
        EXPECT_EQ(hostLog(view), c.flips ? Log{"start flip"} : Log{});
        if (c.flips) {
            // The window system hands over whole pixels.
            EXPECT_NEAR(view->flipStartPos().x, p.x, 1.0);
            EXPECT_NEAR(view->flipStartPos().y, p.y, 1.0);
        }
        // Every press on a view not yet selected asks to select it alone.
        EXPECT_EQ(controller.selectionLog, (Log{"select only", "cells"}));
        release(*view, p);
        EXPECT_FALSE(view->isFlipping());
        EXPECT_EQ(view->flipStartPos(), Point());
        EXPECT_EQ(hostLog(view), c.flips ? (Log{"start flip", "finish flip"}) : Log{});
        if (std::string(c.name) == "beam of a group") {
            EXPECT_TRUE(view->isWholeNoteSelected());
        }
    }
    // Neither a whole note nor a rest has a stem end to press.
    EXPECT_TRUE(viewOf(2, bar(2)->noteArray().front())->flipHandleRect().isEmpty());
}

TEST_F(NoteViewMouseTest, ShiftOnTheOnlySelectedCellTakesTheViewOutOfTheSelection) {
    TOVNoteView* view = viewOf(1, melo(1, 0, 240, -2));
    const Point head = headOf(firstTone(view));
    click(*view, head);
    ASSERT_EQ(view->state(), 1);
    controller.selectionLog.clear();

    click(*view, head, Qt::ShiftModifier);
    EXPECT_EQ(controller.selectionLog, (Log{"unselect", "cells"}));
    EXPECT_FALSE(firstTone(view)->selected());
    EXPECT_EQ(view->state(), 0);
    EXPECT_TRUE(editor->selectedObjectViewSet().empty());
}

TEST_F(NoteViewMouseTest, ARefusedSelectionIsNotShownButTheDragStillRuns) {
    // Views of their own for a group and a quarter, standing in the editor as the bar's would.
    TOVEditorBarView* b = barView(1);
    Note* group = beamed(1, 0, {-3, -3});
    Note* quarter = melo(1, 480, 240, -2);
    auto make = [&](Note* note) {
        b->removeNoteViewFor(note);
        auto view = std::make_shared<CountingNoteView>(Rect(), note);
        view->setBarViewBelongTo(b);
        view->setSymbol(note);
        recorders.push_back(std::make_unique<RecordingHost>(b));
        view->setNoteViewDelegate(recorders.back().get());
        editor->addNoteViewBarViewBelongTo(view, b);
        view->updateView();
        return view;
    };
    b->recreateAllSubViews();
    const auto groupView = make(group);
    const auto quarterView = make(quarter);
    host->repaint();
    settle();
    ASSERT_GT(groupView->draws, 0);
    controller.refuse = true;

    const Point beam = centreOf(groupView->beamPath()->bounds());
    const int groupDraws = groupView->draws;
    press(*groupView, beam);
    EXPECT_EQ(controller.selectionLog, Log{"select only"});
    EXPECT_EQ(groupView->state(), 0);
    EXPECT_TRUE(groupView->selectedCells().empty());
    EXPECT_EQ(groupView->draws, groupDraws);
    // Dragged down past the flip distance the preview turns up, and goes with the release.
    move(*groupView, {beam.x, beam.y + 10});
    EXPECT_NE(b->noteFlipPreview(), nullptr);
    release(*groupView, {beam.x, beam.y + 10});
    EXPECT_EQ(hostLog(groupView.get()), (Log{"start flip", "update flip", "finish flip"}));
    EXPECT_EQ(b->noteFlipPreview(), nullptr);

    controller.selectionLog.clear();
    const Point head = headOf(firstTone(quarterView.get()));
    press(*quarterView, head);
    move(*quarterView, {head.x, head.y - 10});
    release(*quarterView, {head.x, head.y - 10});
    EXPECT_EQ(controller.selectionLog, Log{"select only"});
    EXPECT_FALSE(firstTone(quarterView.get())->selected());
    EXPECT_EQ(hostLog(quarterView.get()), (Log{"update tone", "finish tone"}));
    EXPECT_GT(quarter->firstUnit()->toneArray().front()->level(), -2);
}

} // namespace
