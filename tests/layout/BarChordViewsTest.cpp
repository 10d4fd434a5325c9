#include "BoundEditorFixture.h"
#include "EditorInWindow.h"
#include "EditorViewLookups.h"
#include "FakeLayoutController.h"

#include "glyphs/GlyphServices.h"
#include "glyphs/TOVChordObjectView.h"
#include "layout/TOVEditorBarView.h"
#include "layout/TOVEditorView.h"
#include "model/Bar.h"
#include "model/Chord.h"
#include "model/Document.h"
#include "model/Symbol.h"
#include "model/TOVSymbolTypes.h"
#include "platform/data/ManagedObjectContext.h"
#include "platform/graphics/RecordingGraphicsContext.h"
#include "platform/ui/Application.h"
#include "platform/ui/PrintRunner.h"
#include "platform/ui/ViewHost.h"
#include "platform/ui/Window.h"
#include "platform/ui/WindowEvents.h"
#include "support/LayoutBuilder.h"
#include "support/SongBuilder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include <QCoreApplication>
#include <QImage>
#include <QTest>

using layouttest::FakeLayoutController;
using platform::DrawingCall;
using platform::Point;
using platform::Rect;
using tovtest::LineSpec;
using tovtest::PageSpec;

namespace {

// The controller as chord input sees it: the bar's draw mode and whether the chord window is open are
// set by the test; a request to clear the selection clears the editor view's and is counted.
class ChordInputController : public FakeLayoutController {
public:
    // The bar drawn in drawMode; every other bar is drawn plain.
    TOVEditorBarView* drawnBar = nullptr;
    int drawMode = 0;
    bool chordInputActive = false;
    int clearRequests = 0;
    // Whether the bar view took the last click it reported for one in its chord area.
    std::optional<bool> lastClickInChordArea;

    int layoutViewInquireBarDrawMode(platform::View* view) override {
        return view == drawnBar ? drawMode : 0;
    }
    void layoutViewMousDidClick(platform::View* view, const platform::Event& event) override {
        FakeLayoutController::layoutViewMousDidClick(view, event);
        if (auto* barView = dynamic_cast<TOVEditorBarView*>(view)) {
            lastClickInChordArea = barView->hitTestChordArea(event);
        }
    }
    bool layoutViewInquireIsChordInputActive(platform::View*) override { return chordInputActive; }
    void layoutViewRequireClearSelection(platform::View*) override {
        ++clearRequests;
        editor->clearSelection();
    }
};

constexpr TOVChordElems chordOf(int root, int quality = 12, int tension = 70, int bass = 17) {
    return TOVChordElems::fromCodes(root, quality, tension, bass);
}

// A song of one page: the header slot, then two lines of four bars in 4/4 (bars 0 to 7), with the real
// chord glyphs.
class BarChordViewsTest : public ::testing::Test {
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
    Chord* addChord(std::uint64_t num, std::uint64_t timing, TOVChordElems elems = chordOf(0)) {
        Chord* chord = tovtest::findBar(document, num)->createNewChordWithElemsTiming(elems, timing);
        context->processPendingChanges();
        return chord;
    }
    std::vector<TOVChordObjectView*> chordViewsInEditor() const {
        return layouttest::viewsInEditor<TOVChordObjectView>(*editor);
    }
    // The view's frame in the coordinates of the bar view.
    static Rect inBar(const TOVEditorBarView* barView, const platform::View& view) {
        return layouttest::frameInBar(barView, view);
    }
    const TOVLayoutController::ObjectViewSet& selection() const { return editor->selectedObjectViewSet(); }

    glyphtest::GlyphServices glyphs;
    std::unique_ptr<platform::ManagedObjectContext> context = tovtest::makeSongContext();
    ChordInputController controller;
    std::shared_ptr<TOVEditorView> editor = std::make_shared<TOVEditorView>(Rect(0, 0, 595, 2000));
    Document* document = nullptr;
};

TEST_F(BarChordViewsTest, ChordsStandOnTheTimeGridAboveTheStaff) {
    TOVEditorBarView* view = barView(1);
    ASSERT_EQ(view->totalRhythmLength(), 960u);
    Chord* first = addChord(1, 0, chordOf(0));
    Chord* second = addChord(1, 240, chordOf(3, 2, 70, 7)); // with a quality and a bass
    Chord* last = addChord(1, 720, chordOf(10));
    // One the user moved away from the grid keeps its place.
    Chord* moved = addChord(1, 480, chordOf(5));
    moved->setFrame(Rect(50, 3, 20, 10));
    view->recreateAllSubViews();

    const Rect notes = view->rectangleNotesArea();
    const double baseLine = view->chordBaseLineOffset();
    EXPECT_DOUBLE_EQ(baseLine, view->posY5LinesTop() - 8.0);
    for (Chord* chord : {first, second, last}) {
        SCOPED_TRACE(chord->timing());
        const auto chordView = view->chordViewFromData(chord);
        ASSERT_NE(chordView, nullptr);
        EXPECT_EQ(chordView->superview(), editor.get());
        EXPECT_EQ(chordView->barViewBelongTo(), view);
        EXPECT_EQ(chordView->symbol(), chord);
        const Rect placed = inBar(view, *chordView);
        ASSERT_GT(placed.height(), 0);
        const double x = notes.x() + static_cast<double>(chord->timing()) * notes.width() / 960.0;
        EXPECT_NEAR(view->xPosOfChordInGridMode(chord->timing()), x, 1e-9);
        EXPECT_NEAR(placed.x(), x, 1e-9);
        EXPECT_NEAR(placed.maxY(), baseLine + chordView->offsetY(), 1e-9);
        // Above the staff, inside the bar.
        EXPECT_LE(placed.maxY(), view->posY5LinesTop());
        EXPECT_GE(placed.y(), 0);
        // The place is written into the chord, with the glyph's size.
        EXPECT_NEAR(chord->frame().x(), placed.x(), 1e-9);
        EXPECT_NEAR(chord->frame().y(), placed.y(), 1e-9);
        EXPECT_EQ(chord->frame().size, chordView->defaultViewSize());
        EXPECT_EQ(chord->initialSize(), chordView->defaultViewSize());
    }
    const auto movedView = view->chordViewFromData(moved);
    ASSERT_NE(movedView, nullptr);
    EXPECT_EQ(inBar(view, *movedView).origin, (Point{50, 3}));
    EXPECT_EQ(moved->frame().origin, (Point{50, 3}));
    EXPECT_EQ(view->chordViewFromTiming(480), movedView);
    EXPECT_EQ(view->chordViewFromTiming(100), nullptr);
    // The views follow the chords' timing order, and chords answers them.
    ASSERT_EQ(view->chords().size(), 4u);
    EXPECT_EQ(view->chords()[2]->symbol(), moved);
}

TEST_F(BarChordViewsTest, RebuildingShowsEveryChordAndDeletesNone) {
    // Two chords share a timing, as a file or a paste may leave them.
    Chord* a = addChord(2, 240, chordOf(0));
    Chord* b = addChord(2, 240, chordOf(7));
    Chord* c = addChord(2, 480, chordOf(9, 0));
    TOVEditorBarView* view = barView(2);
    for (int build = 0; build < 2; ++build) {
        SCOPED_TRACE(build);
        view->recreateAllSubViews();
        const std::vector<Chord*> stored = view->bar()->chords();
        EXPECT_EQ(stored.size(), 3u);
        for (Chord* chord : {a, b, c}) {
            EXPECT_NE(std::find(stored.begin(), stored.end(), chord), stored.end());
            EXPECT_NE(view->chordViewFromData(chord), nullptr);
        }
        // The first build's views are gone from the editor view.
        EXPECT_EQ(view->chordViewArray().size(), 3u);
        EXPECT_EQ(chordViewsInEditor().size(), 3u);
    }
    // The bar view leaving takes its chord views with it; the chords stay.
    view->removeAllSubviews();
    EXPECT_TRUE(view->chordViewArray().empty());
    EXPECT_TRUE(chordViewsInEditor().empty());
    EXPECT_EQ(view->bar()->chords().size(), 3u);
}

TEST_F(BarChordViewsTest, AChordEnteredAtTheCursorReplacesTheChordsStandingThere) {
    Chord* kept = addChord(3, 0, chordOf(0));
    Chord* old = addChord(3, 480, chordOf(5));
    Chord* twin = addChord(3, 480, chordOf(7));
    TOVEditorBarView* view = barView(3);
    view->recreateAllSubViews();
    const Bar* bar = view->bar();
    ASSERT_EQ(bar->chords().size(), 3u);

    // The chord window's entry: the chord is made at the cursor, then its view.
    view->setTimingChordInput(480);
    Chord* entered = tovtest::findBar(document, 3)->createNewChordWithElemsTiming(chordOf(10), 480);
    const auto enteredView = view->createChordViewOf(entered, true);
    ASSERT_NE(enteredView, nullptr);
    const std::vector<Chord*> stored = bar->chords();
    EXPECT_EQ(stored.size(), 2u);
    EXPECT_NE(std::find(stored.begin(), stored.end(), kept), stored.end());
    EXPECT_NE(std::find(stored.begin(), stored.end(), entered), stored.end());
    EXPECT_EQ(std::find(stored.begin(), stored.end(), old), stored.end());
    EXPECT_EQ(std::find(stored.begin(), stored.end(), twin), stored.end());
    ASSERT_EQ(view->chordViewArray().size(), 2u);
    EXPECT_EQ(chordViewsInEditor().size(), 2u);
    EXPECT_EQ(view->chordViewFromTiming(480), enteredView);
    EXPECT_EQ(selection(), (TOVLayoutController::ObjectViewSet{enteredView}));
    EXPECT_EQ(enteredView->state(), 1);

    // Where nothing stands nothing is deleted, and unasked the new view is not selected.
    Chord* more = tovtest::findBar(document, 3)->createNewChordWithElemsTiming(chordOf(2), 720);
    const auto moreView = view->createChordViewOf(more, false);
    EXPECT_EQ(bar->chords().size(), 3u);
    EXPECT_EQ(moreView->state(), 0);
    EXPECT_EQ(selection(), (TOVLayoutController::ObjectViewSet{enteredView}));
}

TEST_F(BarChordViewsTest, NextCursorPositionByStepAndRhythm) {
    auto units = [&](std::uint64_t num, auto&& fill) {
        fill(tovtest::findBar(document, num));
        context->processPendingChanges();
    };
    // Bar 1 without notes; bar 2 with eighth slashes all through; bar 3 with an eighth tone, an eighth rest
    // and a tone, then a slash at 360; bar 4 with a slash in its last eighth; bar 5 with one at 600.
    units(2, [](Bar* bar) {
        for (std::uint64_t t = 0; t < 960; t += 120) {
            bar->createNewSingleSlashFromLength(t, 120);
        }
    });
    units(3, [](Bar* bar) {
        bar->createNewSingleMeloFromLengthLevel(0, 120, 0);
        bar->createNewSingleRestFromLength(120, 120);
        bar->createNewSingleMeloFromLengthLevel(240, 120, 2);
        bar->createNewSingleSlashFromLength(360, 120);
    });
    units(4, [](Bar* bar) { bar->createNewSingleSlashFromLength(840, 120); });
    units(5, [](Bar* bar) { bar->createNewSingleSlashFromLength(600, 120); });

    struct Case {
        std::uint64_t bar, cursor, step;
        bool follow;
        std::uint64_t next;
    };
    for (const Case& c :
         {// By step: the next multiple of the step, 0 at the end of the bar.
          Case{1, 0, 240, false, 240}, Case{1, 240, 240, false, 480}, Case{1, 480, 240, false, 720},
          Case{1, 720, 240, false, 0}, Case{1, 100, 240, false, 240}, Case{1, 0, 480, false, 480},
          Case{1, 480, 480, false, 0}, Case{1, 0, 240, true, 240},
          // A step of 0 has no next position.
          Case{1, 240, 0, false, 0}, Case{2, 240, 0, true, 0},
          // Following the rhythm: every slash before the next step stops the cursor.
          Case{2, 0, 240, true, 120}, Case{2, 120, 240, true, 240}, Case{2, 100, 240, true, 120},
          Case{2, 720, 240, true, 840}, Case{2, 840, 240, true, 0}, Case{2, 0, 240, false, 240},
          // Tones and rests do not stop it.
          Case{3, 0, 240, true, 240}, Case{3, 240, 240, true, 360}, Case{3, 360, 240, true, 480},
          // A slash in the last step is a position even where the step would leave the bar.
          Case{4, 720, 240, true, 840}, Case{4, 720, 240, false, 0}, Case{4, 0, 240, true, 240},
          // A slash after the next step does not pull the cursor past it.
          Case{5, 0, 240, true, 240}, Case{5, 480, 240, true, 600}, Case{5, 600, 240, true, 720}}) {
        SCOPED_TRACE(::testing::Message() << "bar " << c.bar << " from " << c.cursor << " by " << c.step
                                          << (c.follow ? " following" : ""));
        TOVEditorBarView* view = barView(c.bar);
        view->setTimingChordInput(c.cursor);
        EXPECT_EQ(view->nextChordTiming(c.step, c.follow), c.next);
        EXPECT_EQ(view->canProgressChordTiming(c.step, c.follow), c.cursor < c.next);
    }
}

TEST_F(BarChordViewsTest, TheCursorStepsThroughTheBarAndStopsAtItsEnd) {
    TOVEditorBarView* view = barView(1);
    view->setTimingChordInput(0);
    std::vector<std::uint64_t> visited;
    while (view->canProgressChordTiming(240, false)) {
        view->progressChordTiming(240, false);
        visited.push_back(view->timingChordInput());
        ASSERT_LT(visited.size(), 10u);
    }
    EXPECT_EQ(visited, (std::vector<std::uint64_t>{240, 480, 720}));
    EXPECT_EQ(view->timingChordInput(), 720u);
}

TEST_F(BarChordViewsTest, TheCursorSelectsTheChordUnderItAndGoesBackChordByChord) {
    Chord* a = addChord(1, 0, chordOf(0));
    Chord* b = addChord(1, 480, chordOf(7));
    TOVEditorBarView* view = barView(1);
    view->recreateAllSubViews();
    const auto viewA = view->chordViewFromData(a);
    const auto viewB = view->chordViewFromData(b);

    view->setTimingChordInput(480);
    EXPECT_EQ(selection(), (TOVLayoutController::ObjectViewSet{viewB}));
    EXPECT_EQ(controller.clearRequests, 0);
    EXPECT_EQ(editor->selectedBar(), view);
    view->setTimingChordInput(720);
    EXPECT_EQ(controller.clearRequests, 1);
    EXPECT_TRUE(selection().empty());

    EXPECT_EQ(view->lastValidChordTimingBefore(720), 480u);
    EXPECT_EQ(view->lastValidChordTimingBefore(480), 0u);
    EXPECT_EQ(view->lastValidChordTimingBefore(0), 0u);
    EXPECT_EQ(view->lastValidChordTimingBefore(960), 480u);
    ASSERT_TRUE(view->canGobackChordTiming());
    view->gobackChordTiming();
    EXPECT_EQ(view->timingChordInput(), 480u);
    EXPECT_EQ(selection(), (TOVLayoutController::ObjectViewSet{viewB}));
    view->gobackChordTiming();
    EXPECT_EQ(view->timingChordInput(), 0u);
    EXPECT_EQ(selection(), (TOVLayoutController::ObjectViewSet{viewA}));
    // At the first chord going back does nothing.
    EXPECT_FALSE(view->canGobackChordTiming());
    view->gobackChordTiming();
    EXPECT_EQ(view->timingChordInput(), 0u);

    // The last chord of the bar.
    view->setTimingChordInput(240);
    EXPECT_TRUE(view->goLastValidChordTiming());
    EXPECT_EQ(view->timingChordInput(), 480u);
    EXPECT_EQ(selection(), (TOVLayoutController::ObjectViewSet{viewB}));
    // A bar without chords keeps its cursor.
    TOVEditorBarView* empty = barView(2);
    empty->setTimingChordInput(240);
    EXPECT_FALSE(empty->goLastValidChordTiming());
    EXPECT_EQ(empty->timingChordInput(), 240u);
    EXPECT_FALSE(empty->canGobackChordTiming());
}

TEST_F(BarChordViewsTest, ChordInputStartsAtTheOneSelectedChordElseAtTheBarStart) {
    Chord* a = addChord(1, 480, chordOf(0));
    Chord* b = addChord(1, 720, chordOf(7));
    TOVEditorBarView* view = barView(1);
    view->recreateAllSubViews();
    const auto viewA = view->chordViewFromData(a);
    const auto viewB = view->chordViewFromData(b);
    // A symbol of the bar, selectable like any object view.
    Symbol* fine = view->bar()->createNewSymbolWithTypeFrame(TOVSymbolFine, Rect(10, 5, 10, 10));
    auto symbolView = std::make_shared<TOVObjectView>(Rect(10, 5, 10, 10));
    symbolView->setSymbol(fine);
    symbolView->setBarViewBelongTo(view);
    editor->addSymbolViewBarViewBelongTo(symbolView, view);

    struct Case {
        const char* name;
        std::vector<std::shared_ptr<TOVObjectView>> selected;
        std::uint64_t start;
    };
    for (const Case& c : {Case{"one chord", {viewA}, 480}, Case{"nothing", {}, 0},
                          Case{"a symbol", {symbolView}, 0}, Case{"two chords", {viewA, viewB}, 0}}) {
        SCOPED_TRACE(c.name);
        view->setTimingChordInput(240);
        editor->selectObjectViewsClearOthers(c.selected, true);
        view->initChordTiming();
        EXPECT_EQ(view->timingChordInput(), c.start);
        // The chord at the start, and only it, is selected.
        const auto atStart = view->chordViewFromTiming(c.start);
        EXPECT_EQ(selection(), atStart ? TOVLayoutController::ObjectViewSet{atStart}
                                       : TOVLayoutController::ObjectViewSet{});
    }
    symbolView->removeFromSuperview();
}

TEST_F(BarChordViewsTest, TheCursorBoxShowsOnScreenWhereNoChordStands) {
    addChord(1, 0, chordOf(0));
    TOVEditorBarView* view = barView(1);
    view->recreateAllSubViews();
    auto draw = [&](bool toScreen) {
        platform::RecordingGraphicsContext ctx(toScreen);
        view->drawRect(view->bounds(), ctx);
        return ctx.callsOfKind(DrawingCall::Kind::StrokePath);
    };
    controller.drawnBar = view;
    controller.drawMode = 1;
    controller.chordInputActive = true;
    view->setTimingChordInput(480);
    const auto strokes = draw(true);
    ASSERT_EQ(strokes.size(), 2u);
    // The selected bar's frame first, then the box, its foot on the chord base line at the cursor.
    EXPECT_EQ(strokes[0].color, TOVUtils::barViewSelectedFrameColor());
    EXPECT_EQ(strokes[1].color, platform::Color::orange());
    EXPECT_EQ(strokes[1].lineWidth, 1.0);
    const Rect box = strokes[1].path.bounds();
    EXPECT_NEAR(box.x(), view->xPosOfChordInGridMode(480), 1e-9);
    EXPECT_NEAR(box.maxY(), view->chordBaseLineOffset(), 1e-9);
    EXPECT_NEAR(box.width(), 6.0, 1e-9);
    EXPECT_NEAR(box.height(), 10.0, 1e-9);

    struct Case {
        const char* name;
        std::uint64_t cursor;
        int mode;
        bool active, toScreen;
        std::size_t strokes;
    };
    for (const Case& c : {Case{"on a chord", 0, 1, true, true, 1}, Case{"printing", 480, 1, true, false, 0},
                          Case{"chord input closed", 480, 1, false, true, 1},
                          Case{"bar not selected", 480, 0, true, true, 0}}) {
        SCOPED_TRACE(c.name);
        view->setTimingChordInput(c.cursor);
        controller.drawMode = c.mode;
        controller.chordInputActive = c.active;
        const auto calls = draw(c.toScreen);
        EXPECT_EQ(calls.size(), c.strokes);
        for (const auto& call : calls) {
            EXPECT_NE(call.color, platform::Color::orange());
        }
    }
}

TEST_F(BarChordViewsTest, ChordViewsFollowABarlineDragAndItsWriteBack) {
    Chord* chord = addChord(1, 480, chordOf(0));
    TOVEditorBarView* view = barView(1);
    view->recreateAllSubViews();
    const auto chordView = view->chordViewFromData(chord);
    const Rect stored = chord->frame();
    ASSERT_GT(stored.x(), 0);
    const Rect old = view->frame();
    const Rect wider(old.x(), old.y(), old.width() * 1.5, old.height());

    // While the barline is dragged the view moves with the bar, the chord stays.
    view->updateViewFrameTemporallyBy(wider);
    EXPECT_NEAR(inBar(view, *chordView).x(), stored.x() * 1.5, 1e-9);
    EXPECT_EQ(chord->frame(), stored);
    // At the end of the drag the bar's new width moves the chord, and its view stays there.
    view->updateDataFrameAsCurrentViewFrame();
    EXPECT_NEAR(chord->frame().x(), stored.x() * 1.5, 1e-9);
    EXPECT_NEAR(inBar(view, *chordView).x(), stored.x() * 1.5, 1e-9);
    // A re-layout by the line view keeps it there too.
    view->setFrame(view->frame());
    view->updateAllSubviews();
    EXPECT_NEAR(inBar(view, *chordView).x(), stored.x() * 1.5, 1e-9);
}

using layouttest::settle;

// The same song in a document window: the editor view fills the window's host, events come through the
// window system's path and the window paints itself.
class BarChordViewsWindowTest : public BarChordViewsTest {
protected:
    void SetUp() override {
        BarChordViewsTest::SetUp();
        editor->setFrame(Rect(0, 0, 595, editor->heightOfPageColumn()));
        input = layouttest::showInWindow(window, host, editor, 700, 500);
    }
    // A point of the bar view in the window.
    QPointF inWindow(const TOVEditorBarView* barView, Point p) const {
        const Point inHost = barView->convertPointToView(p, nullptr);
        return host->mapTo(&window, QPointF(inHost.x, inHost.y));
    }
    // Orange pixels in a rectangle of the bar view, on an image of the host at the given pixels per point.
    static int orangeIn(const QImage& image, const TOVEditorBarView* barView, const Rect& r, double scale) {
        const Point origin = barView->convertPointToView(r.origin, nullptr);
        int orange = 0;
        for (int y = static_cast<int>(origin.y * scale) - 1;
             y <= static_cast<int>((origin.y + r.height()) * scale) + 1; ++y) {
            for (int x = static_cast<int>(origin.x * scale) - 1;
                 x <= static_cast<int>((origin.x + r.width()) * scale) + 1; ++x) {
                const QRgb pixel = image.pixel(x, y);
                orange += qRed(pixel) > 200 && qGreen(pixel) > 80 && qGreen(pixel) < 180 && qBlue(pixel) < 80
                              ? 1
                              : 0;
            }
        }
        return orange;
    }

    platform::Application app;
    platform::Window window;
    platform::ViewHost* host = nullptr;
    std::unique_ptr<uitest::WindowEvents> input;
};

TEST_F(BarChordViewsWindowTest, AClickOnAChordSelectsItAndItsBar) {
    Chord* chord = addChord(1, 480, chordOf(3, 7));
    TOVEditorBarView* view = barView(1);
    view->recreateAllSubViews();
    const auto chordView = view->chordViewFromData(chord);
    ASSERT_NE(chordView, nullptr);
    ASSERT_NE(editor->selectedBar(), view);
    const Rect placed = inBar(view, *chordView);
    unsigned long time = 1000;
    input->click(inWindow(view, Point{placed.midX(), placed.midY()}), time);
    settle();
    EXPECT_EQ(selection(), (TOVLayoutController::ObjectViewSet{chordView}));
    EXPECT_EQ(chordView->state(), 1);
    EXPECT_EQ(editor->selectedBar(), view);

    // Beside the chord the click reaches the bar view: above the staff in its chord area, below it not.
    struct Case {
        double y;
        bool inChordArea;
    };
    for (const Case& c : {Case{view->posY5LinesTop() - 2, true}, Case{view->posY5LinesBottom() + 2, false}}) {
        SCOPED_TRACE(c.y);
        controller.lastClickInChordArea.reset();
        time += 5000;
        input->click(inWindow(view, Point{view->xPosOfChordInGridMode(120), c.y}), time);
        settle();
        ASSERT_TRUE(controller.lastClickInChordArea.has_value());
        EXPECT_EQ(*controller.lastClickInChordArea, c.inChordArea);
    }
}

TEST_F(BarChordViewsWindowTest, TheWindowPaintsTheCursorBoxWhereNoChordStandsButThePrintDoesNot) {
    addChord(1, 0, chordOf(0));
    TOVEditorBarView* view = barView(1);
    view->recreateAllSubViews();
    controller.drawnBar = view;
    controller.drawMode = 1;
    controller.chordInputActive = true;
    const Rect box(view->xPosOfChordInGridMode(480), view->chordBaseLineOffset() - 10, 6, 10);
    auto screen = [&] {
        view->setNeedsDisplay();
        settle();
        return host->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    };
    view->setTimingChordInput(480);
    EXPECT_GT(orangeIn(screen(), view, box, 1.0), 10);
    // On a chord the chord shows selected instead.
    view->setTimingChordInput(0);
    EXPECT_EQ(orangeIn(screen(), view, box, 1.0), 0);
    // The print of the page has no box.
    view->setTimingChordInput(480);
    EXPECT_GT(orangeIn(screen(), view, box, 1.0), 10);
    QImage printed;
    platform::PrintRunner runner(*editor);
    runner.printToImages(2.0, [&](long page, const QImage& image) {
        if (page == 1) {
            printed = image.convertToFormat(QImage::Format_ARGB32);
        }
        return true;
    });
    ASSERT_FALSE(printed.isNull());
    EXPECT_EQ(orangeIn(printed, view, box, 2.0), 0);
}

} // namespace
