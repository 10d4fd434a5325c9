#include "EditorInWindow.h"
#include "FakeLayoutController.h"
#include "WindowedEditorFixture.h"

#include "glyphs/TOVChordObjectView.h"
#include "glyphs/TOVSelectableView.h"
#include "layout/TOVEditorBackView.h"
#include "layout/TOVEditorBarView.h"
#include "layout/TOVEditorView.h"
#include "layout/TOVMultiSelectAreaView.h"
#include "model/Bar.h"
#include "model/Chord.h"
#include "model/Document.h"
#include "notation/TOVNoteAccidentalView.h"
#include "notation/TOVNoteArticulationView.h"
#include "notation/TOVNoteTieView.h"
#include "notation/TOVNoteUnitCell.h"
#include "notation/TOVNoteView.h"
#include "notation/TOVNoteViewFactory.h"
#include "notation/TOVSlurView.h"
#include "platform/data/ManagedObjectContext.h"
#include "platform/ui/Application.h"
#include "platform/ui/ViewHost.h"
#include "platform/ui/Window.h"
#include "platform/ui/WindowEvents.h"
#include "support/LayoutBuilder.h"
#include "support/SongBuilder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include <QCoreApplication>
#include <QImage>
#include <QTest>

using layouttest::FakeLayoutController;
using platform::Point;
using platform::Rect;
using tovtest::LineSpec;
using tovtest::PageSpec;
using ObjectViewSet = TOVLayoutController::ObjectViewSet;

namespace {

using layouttest::settle;

// A tie view of a class of its own: only the tie class itself stands alone, not what derives from it.
class DerivedTieView : public TOVNoteTieView {
public:
    using TOVNoteTieView::TOVNoteTieView;
};

std::shared_ptr<TOVObjectView> own(TOVObjectView* view) {
    return std::static_pointer_cast<TOVObjectView>(view->shared_from_this());
}

// The members of a set, whatever their order.
std::vector<TOVObjectView*> members(const ObjectViewSet& set) {
    std::vector<TOVObjectView*> views;
    for (const auto& view : set) {
        views.push_back(view.get());
    }
    std::sort(views.begin(), views.end());
    return views;
}
std::vector<TOVObjectView*> members(std::initializer_list<TOVObjectView*> list) {
    std::vector<TOVObjectView*> views(list);
    std::sort(views.begin(), views.end());
    return views;
}

// A document window of one page: the header slot, then a line of four bars in 4/4, with chords of the
// real built-in font. As in the application, the backdrop is the root of the host and the editor view
// lies on it 20 from the left and 10 from the top; every click and drag comes through the window system.
class EditorSelectionTest : public layouttest::WindowedEditorFixture<FakeLayoutController> {
protected:
    // Major seventh chords with a ninth on the roots, made in the bars at the ticks; their views, in that
    // order, once the bars have rebuilt theirs.
    struct ChordAt {
        std::uint64_t bar;
        std::uint64_t timing;
        int root;
    };
    std::vector<TOVObjectView*> addChords(const std::vector<ChordAt>& at) {
        std::vector<Chord*> chords;
        for (const ChordAt& c : at) {
            chords.push_back(
                tovtest::findBar(document, c.bar)
                    ->createNewChordWithElemsTiming(TOVChordElems::fromCodes(c.root, 6, 3, 17), c.timing));
        }
        context->processPendingChanges();
        for (std::uint64_t bar = 0; bar < 4; ++bar) {
            editor->barViewFromNumberInLower(bar, false)->recreateAllSubViews();
        }
        std::vector<TOVObjectView*> views;
        for (Chord* chord : chords) {
            const auto& bar = *editor->barViewFromNumberInLower(chord->bar()->num(), false);
            views.push_back(bar.chordViewFromData(chord).get());
        }
        return views;
    }
    // A view of its own class placed straight into the editor view, as the tone cells place theirs.
    template <typename T>
    T* addView(const Rect& frame) {
        auto view = std::make_shared<T>(frame);
        view->setDelegate(&controller);
        editor->addSymbolViewBarViewBelongTo(view, nullptr);
        return view.get();
    }

    // A point of the editor view in the window.
    QPointF inWindow(Point p) const {
        const Point inHost = editor->convertPointToView(p, nullptr);
        return host->mapTo(&window, QPointF(inHost.x, inHost.y));
    }
    // Presses at the first point and drags through the others with the keys held; the release is left to
    // the caller, so that the band can be looked at while it is shown.
    void pressAndDrag(const std::vector<Point>& points, Qt::KeyboardModifiers held = {}) {
        time += 5000;
        input->press(inWindow(points.front()), Qt::LeftButton, time, held);
        for (std::size_t i = 1; i < points.size(); ++i) {
            input->move(inWindow(points[i]), time += 20, held);
        }
        settle();
    }
    void release(Point at, Qt::KeyboardModifiers held = {}) {
        input->release(inWindow(at), Qt::LeftButton, time += 20, held);
        settle();
    }
    std::vector<TOVObjectView*> selection() const { return members(editor->selectedObjectViewSet()); }
};

TEST_F(EditorSelectionTest, ViewsSelectedOnlyAloneAreKeptApartFromEveryOtherView) {
    TOVObjectView* chord = addView<TOVSelectableView>(Rect(100, 300, 20, 20));
    TOVObjectView* otherChord = addView<TOVSelectableView>(Rect(140, 300, 20, 20));
    TOVObjectView* derived = addView<DerivedTieView>(Rect(180, 300, 20, 20));
    const std::vector<std::pair<const char*, TOVObjectView*>> alone{
        {"tie", addView<TOVNoteTieView>(Rect(200, 300, 20, 8))},
        {"slur", addView<TOVSlurView>(Rect(230, 300, 40, 10))},
        {"accidental", addView<TOVNoteAccidentalView>(Rect(280, 300, 8, 20))},
        {"articulation", addView<TOVNoteArticulationView>(Rect(300, 300, 8, 8))},
    };
    EXPECT_FALSE(TOVEditorView::isSelectedOnlyAlone(*derived));

    for (const auto& [name, view] : alone) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(TOVEditorView::isSelectedOnlyAlone(*view));
        EXPECT_FALSE(editor->canSelectByDragging(view));

        // Into an empty selection anything may go, even a view that stands alone.
        editor->clearSelection();
        EXPECT_TRUE(editor->canAppendSelection(view));
        // Beside chords it may not, and selecting it beside them changes nothing.
        ASSERT_TRUE(editor->selectObjectViewsClearOthers({own(chord)}, true));
        EXPECT_FALSE(editor->canAppendSelection(view));
        EXPECT_TRUE(editor->canAppendSelection(otherChord));
        EXPECT_TRUE(editor->canAppendSelection(derived));
        const int reports = controller.selectionReports;
        EXPECT_FALSE(editor->selectAnObjectViewClearOthers(view, false));
        EXPECT_EQ(selection(), members({chord}));
        EXPECT_EQ(view->state(), 0);
        EXPECT_EQ(controller.selectionReports, reports);

        // With it selected nothing else may join: two chords at once are refused as a whole.
        ASSERT_TRUE(editor->selectAnObjectViewClearOthers(otherChord, false));
        ASSERT_TRUE(editor->selectAnObjectViewClearOthers(view, true));
        EXPECT_EQ(selection(), members({view}));
        EXPECT_EQ(chord->state(), 0);
        EXPECT_EQ(otherChord->state(), 0);
        EXPECT_FALSE(editor->canAppendSelection(chord));
        EXPECT_FALSE(editor->canAppendSelection(derived));
        EXPECT_FALSE(editor->selectObjectViewsClearOthers({own(chord), own(otherChord)}, false));
        EXPECT_EQ(selection(), members({view}));
        EXPECT_EQ(view->state(), 1);
        EXPECT_EQ(chord->state(), 0);

        // Chosen alone it replaces the chords, and with the others cleared a chord replaces it.
        ASSERT_TRUE(editor->selectAnObjectViewClearOthers(chord, true));
        EXPECT_EQ(selection(), members({chord}));
        EXPECT_EQ(view->state(), 0);
    }

    // A click with Shift on a chord while a tie stands selected leaves the tie alone and selects nothing.
    TOVObjectView* tie = alone.front().second;
    editor->selectAnObjectViewClearOthers(tie, true);
    time += 5000;
    input->press(inWindow(Point{110, 310}), Qt::LeftButton, time, Qt::ShiftModifier);
    input->release(inWindow(Point{110, 310}), Qt::LeftButton, time + 10, Qt::ShiftModifier);
    settle();
    EXPECT_EQ(selection(), members({tie}));
    EXPECT_EQ(chord->state(), 0);
    // With Ctrl (Command) the same.
    time += 5000;
    input->press(inWindow(Point{110, 310}), Qt::LeftButton, time, Qt::ControlModifier);
    input->release(inWindow(Point{110, 310}), Qt::LeftButton, time + 10, Qt::ControlModifier);
    settle();
    EXPECT_EQ(selection(), members({tie}));
    // A plain click takes the chord alone.
    time += 5000;
    input->click(inWindow(Point{110, 310}), time);
    settle();
    EXPECT_EQ(selection(), members({chord}));
    EXPECT_EQ(tie->state(), 0);
}

// Chords in bar 0 (A) and bar 1 (B at the first beat, C at the third), the band drawn from above B's
// left across C and back until it holds only B.
TEST_F(EditorSelectionTest, TheBandFollowsThePointerAndKeepsTheEarlierSelectionOnlyWithShiftOrCtrl) {
    const auto chords = addChords({{0, 0, 0}, {1, 0, 13}, {1, 480, 7}});
    TOVObjectView* a = chords[0];
    TOVObjectView* b = chords[1];
    TOVObjectView* c = chords[2];
    ASSERT_TRUE(a != nullptr && b != nullptr && c != nullptr);
    const Rect fb = b->frame();
    const Rect fc = c->frame();
    ASSERT_LT(fb.maxX() + 1, fc.minX());
    const Point start{fb.minX() - 4, fb.minY() - 4};
    const Point acrossC{fc.maxX() + 3, fc.maxY() + 3};
    const Point backToB{fb.maxX() + 1, fb.maxY() + 3};

    struct Case {
        const char* name;
        Qt::KeyboardModifiers held;
        bool additive;
    };
    for (const Case& k : {Case{"plain", {}, false}, Case{"Shift", Qt::ShiftModifier, true},
                          Case{"Ctrl", Qt::ControlModifier, true}}) {
        SCOPED_TRACE(k.name);
        editor->selectAnObjectViewClearOthers(a, true);
        controller.log.clear();

        pressAndDrag({start, acrossC}, k.held);
        ASSERT_TRUE(editor->isDraggingToMultiSelect());
        // Held here so that it can be asked after the release.
        const auto band = std::static_pointer_cast<TOVMultiSelectAreaView>(
            editor->multiSelectAreaView()->shared_from_this());
        EXPECT_EQ(band->superview(), editor.get());
        EXPECT_EQ(editor->subviews().back(), band);
        // The window reports whole pixels.
        EXPECT_NEAR(band->frame().minX(), start.x, 1.0);
        EXPECT_NEAR(band->frame().maxY(), acrossC.y, 1.0);
        const std::vector<TOVObjectView*> withA = members({a, b, c});
        EXPECT_EQ(selection(), k.additive ? withA : members({b, c}));
        EXPECT_EQ(a->state(), k.additive ? 1 : 0);
        EXPECT_EQ(members(*editor->tempSelectedObjectViews()), members({b, c}));
        EXPECT_EQ(members(*editor->selectedObjectViewSnapShot()), k.additive ? members({a}) : members({}));
        EXPECT_EQ(std::count(controller.log.begin(), controller.log.end(), "drag update"), 1);

        // Back over B alone: C, which only the band had taken, is let go; A stays with Shift or Ctrl.
        input->move(inWindow(backToB), time += 20, k.held);
        settle();
        EXPECT_EQ(selection(), k.additive ? members({a, b}) : members({b}));
        EXPECT_EQ(c->state(), 0);
        EXPECT_EQ(b->state(), 1);

        release(backToB, k.held);
        EXPECT_FALSE(editor->isDraggingToMultiSelect());
        EXPECT_EQ(band->superview(), nullptr);
        EXPECT_FALSE(editor->tempSelectedObjectViews().has_value());
        EXPECT_FALSE(editor->selectedObjectViewSnapShot().has_value());
        EXPECT_EQ(controller.log.back(), "drag finish");
        EXPECT_EQ(selection(), k.additive ? members({a, b}) : members({b}));
    }

    // A view selected before a Shift drag stays selected when the band first takes it and then leaves it.
    editor->selectAnObjectViewClearOthers(b, true);
    pressAndDrag({start, acrossC, Point{start.x + 1, start.y + 1}}, Qt::ShiftModifier);
    EXPECT_EQ(selection(), members({b}));
    EXPECT_EQ(c->state(), 0);
    release(start, Qt::ShiftModifier);
}

TEST_F(EditorSelectionTest, ABandThatOnlyTouchesAViewsEdgeSelectsNothing) {
    TOVObjectView* view = addView<TOVSelectableView>(Rect(300, 400, 20, 20));
    struct Case {
        const char* name;
        Point from, to;
        bool selects;
    };
    for (const Case& k : {Case{"right edge on its left", {250, 380}, {300, 430}, false},
                          Case{"left edge on its right, drawn leftwards", {350, 380}, {320, 430}, false},
                          Case{"top edge on its bottom", {250, 420}, {330, 450}, false},
                          Case{"bottom edge on its top, drawn upwards", {250, 400}, {330, 370}, false},
                          Case{"one point over its left", {250, 380}, {301, 430}, true},
                          Case{"one point over its bottom", {250, 419}, {330, 450}, true}}) {
        SCOPED_TRACE(k.name);
        editor->clearSelection();
        pressAndDrag({k.from, k.to});
        EXPECT_EQ(view->state(), k.selects ? 1 : 0);
        EXPECT_EQ(selection(), k.selects ? members({view}) : members({}));
        release(k.to);
    }
}

TEST_F(EditorSelectionTest, TheBandLeavesViewsSelectedOnlyAloneAndWithOneSelectedTakesNothingWithShift) {
    TOVObjectView* a = addView<TOVSelectableView>(Rect(100, 400, 20, 20));
    TOVObjectView* tie = addView<TOVNoteTieView>(Rect(130, 400, 20, 8));
    TOVObjectView* accidental = addView<TOVNoteAccidentalView>(Rect(160, 400, 8, 20));
    TOVObjectView* derived = addView<DerivedTieView>(Rect(180, 400, 20, 8));
    const Point from{90, 390};
    const Point to{210, 430};

    // Over all of them the band takes the plain view and the derived tie only.
    pressAndDrag({from, to});
    EXPECT_EQ(selection(), members({a, derived}));
    EXPECT_EQ(tie->state(), 0);
    release(to);

    // With an accidental selected a Shift-drag takes nothing and leaves the accidental selected.
    editor->selectAnObjectViewClearOthers(accidental, true);
    pressAndDrag({from, to}, Qt::ShiftModifier);
    EXPECT_EQ(selection(), members({accidental}));
    EXPECT_EQ(a->state(), 0);
    release(to, Qt::ShiftModifier);
    EXPECT_EQ(selection(), members({accidental}));

    // Without Shift the click dropped it and the band selects as before.
    pressAndDrag({from, to});
    EXPECT_EQ(selection(), members({a, derived}));
    EXPECT_EQ(accidental->state(), 0);
    release(to);
}

TEST_F(EditorSelectionTest, ADoubleClickStartsNoBandAndKeepsTheSelection) {
    TOVObjectView* a = addView<TOVSelectableView>(Rect(100, 400, 20, 20));
    TOVObjectView* b = addView<TOVSelectableView>(Rect(200, 400, 20, 20));
    const Point empty{150, 380};
    time += 5000;
    input->click(inWindow(empty), time);
    settle();
    // Between the two presses the selection comes back, as a click on a view would give it.
    editor->selectAnObjectViewClearOthers(a, true);
    controller.log.clear();
    input->press(inWindow(empty), Qt::LeftButton, time + 100);
    settle();
    EXPECT_FALSE(editor->isDraggingToMultiSelect());
    EXPECT_EQ(selection(), members({a}));
    input->move(inWindow(Point{230, 430}), time + 120);
    input->release(inWindow(Point{230, 430}), Qt::LeftButton, time + 140);
    settle();
    EXPECT_EQ(selection(), members({a}));
    EXPECT_EQ(b->state(), 0);
    EXPECT_EQ(std::count(controller.log.begin(), controller.log.end(), "drag update"), 0);
    EXPECT_EQ(std::count(controller.log.begin(), controller.log.end(), "drag finish"), 0);
}

TEST_F(EditorSelectionTest, TheTargetStandsApartFromTheSelectionAndEmptiesItQuietly) {
    TOVObjectView* a = addView<TOVSelectableView>(Rect(100, 400, 20, 20));
    TOVObjectView* b = addView<TOVSelectableView>(Rect(130, 400, 20, 20));
    TOVObjectView* c = addView<TOVSelectableView>(Rect(160, 400, 20, 20));
    editor->selectObjectViewsClearOthers({own(a), own(b)}, true);
    const int reports = controller.selectionReports;

    editor->setTargerObjectView(c);
    EXPECT_EQ(editor->targerObjectView(), c);
    EXPECT_EQ(c->state(), 2);
    EXPECT_EQ(a->state(), 0);
    EXPECT_EQ(b->state(), 0);
    EXPECT_TRUE(editor->selectedObjectViewSet().empty());
    EXPECT_EQ(controller.selectionReports, reports);

    // The same target again changes nothing, not even the selection made since.
    editor->selectAnObjectViewClearOthers(a, true);
    editor->setTargerObjectView(c);
    EXPECT_EQ(selection(), members({a}));
    EXPECT_EQ(c->state(), 2);

    // Clearing the selection leaves the target; another target takes its place.
    editor->clearSelection();
    EXPECT_EQ(editor->targerObjectView(), c);
    editor->setTargerObjectView(b);
    EXPECT_EQ(c->state(), 0);
    EXPECT_EQ(b->state(), 2);
    editor->setTargerObjectView(nullptr);
    EXPECT_EQ(editor->targerObjectView(), nullptr);
    EXPECT_EQ(b->state(), 0);
}

// The band in the middle of a drag over chords: a pale green rectangle with a darker edge over the
// page, the chords under it orange, the one outside black.
TEST_F(EditorSelectionTest, TheWindowShowsTheBandAndTheViewsItSelects) {
    const auto chords = addChords({{0, 0, 0}, {1, 0, 13}, {1, 480, 7}, {2, 0, 10}});
    TOVObjectView* a = chords[0];
    TOVObjectView* b = chords[1];
    TOVObjectView* c = chords[2];
    const Point from{b->frame().minX() - 6, b->frame().minY() - 8};
    const Point to{c->frame().maxX() + 6, c->frame().maxY() + 30};
    pressAndDrag({from, Point{from.x + 10, from.y + 10}, to});
    ASSERT_EQ(selection(), members({b, c}));

    auto screen = [&] {
        editor->setNeedsDisplay();
        settle();
        return host->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    };
    auto count = [&](const QImage& image, const Rect& r, const std::function<bool(QRgb)>& test) {
        const Point o = editor->convertPointToView(r.origin, nullptr);
        int n = 0;
        for (int y = static_cast<int>(o.y); y < static_cast<int>(o.y + r.height()); ++y) {
            for (int x = static_cast<int>(o.x); x < static_cast<int>(o.x + r.width()); ++x) {
                n += test(image.pixel(x, y)) ? 1 : 0;
            }
        }
        return n;
    };
    auto green = [](QRgb p) { return qGreen(p) > qRed(p) + 5 && qGreen(p) > qBlue(p) + 15; };
    auto orange = [](QRgb p) { return qRed(p) > 200 && qGreen(p) > 80 && qGreen(p) < 190 && qBlue(p) < 80; };
    auto dark = [](QRgb p) { return qRed(p) < 80 && qGreen(p) < 80 && qBlue(p) < 80; };

    const QImage during = screen();
    if (const QByteArray keep = qgetenv("TOVRIN_KEEP_RENDER"); !keep.isEmpty()) {
        during.save(QString::fromUtf8(keep));
        // And three times as large around the band, to see the chords under it.
        const Point o = editor->convertPointToView(Point{from.x - 60, from.y - 30}, nullptr);
        during.copy(static_cast<int>(o.x), static_cast<int>(o.y), 300, 110)
            .scaled(900, 330, Qt::KeepAspectRatio, Qt::FastTransformation)
            .save(QString::fromUtf8(keep).replace(".png", "-zoom.png"));
    }
    const Rect band = editor->multiSelectAreaView()->frame();
    EXPECT_GT(count(during, band, green), band.width() * band.height() / 2);
    EXPECT_GT(count(during, b->frame(), orange), 10);
    EXPECT_GT(count(during, c->frame(), orange), 10);
    EXPECT_EQ(count(during, a->frame(), orange), 0);
    EXPECT_GT(count(during, a->frame(), dark), 10);

    release(to);
    const QImage after = screen();
    EXPECT_EQ(count(after, band, green), 0);
    EXPECT_GT(count(after, b->frame(), orange), 10);
}

// Bar 2 holds four beamed eighths and a quarter: the band selects the eighths' note view and, inside it,
// the units it spans across, whatever their height.
TEST_F(EditorSelectionTest, InsideANoteViewTheBandSelectsTheUnitsItSpans) {
    Bar* bar = tovtest::findBar(document, 2);
    std::vector<Note*> eighths;
    for (std::uint64_t tick : {0, 120, 240, 360}) {
        eighths.push_back(
            bar->createNewSingleMeloFromLengthLevel(tick, 120, static_cast<std::int64_t>(tick / 60)));
    }
    Note* beamed = bar->makeBeamOn(eighths);
    Note* quarter = bar->createNewSingleMeloFromLengthLevel(480, 240, 0);
    context->processPendingChanges();
    TOVEditorBarView* barView = editor->barViewFromNumberInLower(2, false);
    barView->recreateAllSubViews();
    TOVNoteView* group = barView->noteViewFromData(beamed).get();
    TOVNoteView* single = barView->noteViewFromData(quarter).get();
    ASSERT_TRUE(group != nullptr && single != nullptr);
    ASSERT_EQ(group->unitCellArray().size(), 4u);
    // A unit cell's frame in the editor view.
    auto unit = [&](std::size_t i) {
        return group->convertRectToView(group->unitCellArray()[i]->frame(), editor.get());
    };
    const Rect area = group->frame();
    ASSERT_LT(area.maxX(), single->frame().minX());
    auto selectedUnits = [&] {
        std::vector<double> xs;
        for (TOVNoteUnitCell* cell : group->selectedUnitCells()) {
            xs.push_back(cell->frame().x());
        }
        return xs;
    };
    auto unitXs = [&](std::initializer_list<std::size_t> indices) {
        std::vector<double> xs;
        for (std::size_t i : indices) {
            xs.push_back(group->unitCellArray()[i]->frame().x());
        }
        return xs;
    };

    // From left of the group to between the second and the third unit, low on the staff: the first two
    // units, though the band passes below the heads of the higher ones.
    const Point from{area.minX() - 4, area.maxY() - 2};
    const double betweenSecondAndThird = (unit(1).maxX() + unit(2).minX()) / 2;
    ASSERT_LT(unit(1).maxX(), unit(2).minX());
    pressAndDrag({from, Point{betweenSecondAndThird, area.maxY() + 6}});
    EXPECT_EQ(selection(), members({group}));
    EXPECT_EQ(group->state(), 1);
    EXPECT_EQ(selectedUnits(), unitXs({0, 1}));
    EXPECT_FALSE(group->isWholeNoteSelected());

    // On across the whole group: every unit, and the quarter stays out.
    const Point acrossAll{area.maxX() + 1, area.maxY() + 6};
    input->move(inWindow(acrossAll), time += 20);
    settle();
    EXPECT_TRUE(group->isWholeNoteSelected());
    EXPECT_EQ(single->state(), 0);
    if (const QByteArray keep = qgetenv("TOVRIN_KEEP_RENDER"); !keep.isEmpty()) {
        input->move(inWindow(Point{betweenSecondAndThird, area.maxY() + 6}), time += 20);
        settle();
        editor->setNeedsDisplay();
        settle();
        const Point o = editor->convertPointToView(Point{area.minX() - 40, area.minY() - 30}, nullptr);
        host->grab()
            .toImage()
            .copy(static_cast<int>(o.x), static_cast<int>(o.y), 240, 110)
            .scaled(960, 440, Qt::KeepAspectRatio, Qt::FastTransformation)
            .save(QString::fromUtf8(keep).replace(".png", "-notes.png"));
        input->move(inWindow(acrossAll), time += 20);
        settle();
    }

    // Back to the first unit only, and out of the group: the cells follow and then the view is let go.
    input->move(inWindow(Point{(unit(0).maxX() + unit(1).minX()) / 2, area.maxY() + 6}), time += 20);
    settle();
    EXPECT_EQ(selectedUnits(), unitXs({0}));
    input->move(inWindow(Point{area.minX() - 1, area.maxY() + 6}), time += 20);
    settle();
    EXPECT_EQ(group->state(), 0);
    EXPECT_TRUE(group->selectedUnitCells().empty());
    release(Point{area.minX() - 1, area.maxY() + 6});
}

} // namespace
