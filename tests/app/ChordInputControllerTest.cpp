#include "EditorControllerFixture.h"

#include "app/TOVEditorViewControllerDelegate.h"
#include "glyphs/TOVChordObjectView.h"
#include "model/Bar.h"
#include "model/Chord.h"
#include "model/ChordHistory.h"
#include "model/Note.h"
#include "model/NoteUnit.h"
#include "model/TOVChordUtils.h"
#include "model/TOVSymbolTypes.h"
#include "notation/TOVNoteToneCell.h"
#include "notation/TOVNoteUnitCell.h"
#include "notation/TOVNoteView.h"
#include "platform/foundation/MemoryDefaultsStore.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/graphics/RecordingGraphicsContext.h"
#include "platform/ui/ViewHost.h"
#include "platform/ui/WindowEvents.h"

#include <QScrollArea>
#include <QScrollBar>

#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using apptest::singleLines;
using platform::Point;
using platform::Rect;
using tovtest::findBar;

constexpr TOVChordElems chordOf(int root, int quality = 12, int tension = 70, int bass = 17) {
    return TOVChordElems::fromCodes(root, quality, tension, bass);
}
const TOVChordElems kC = chordOf(0);
const TOVChordElems kG = chordOf(10);
const TOVChordElems kF = chordOf(7);
const TOVChordElems kFOverG = chordOf(7, 12, 70, 10);

// The window's side as the controller sees it: the context, whether the chord window runs, and the chord
// window requests it received.
class ChordWindowStandIn : public TOVEditorViewControllerDelegate {
public:
    explicit ChordWindowStandIn(platform::ManagedObjectContext& context) : context_(context) {}

    void editorRequireShowChordWindowWithMode(TOVEditorViewController*, int mode) override {
        requests.push_back(mode);
    }
    bool editorInquireIsChordWindowActive(TOVEditorViewController*, platform::View*) override {
        return running;
    }
    platform::ManagedObjectContext* managedObjectContext() override { return &context_; }
    platform::UndoManager* undoManager() override { return &context_.undoManager(); }

    bool running = false;
    std::vector<int> requests;

private:
    platform::ManagedObjectContext& context_;
};

class ChordInputControllerTest : public apptest::EditorControllerFixture {
protected:
    void SetUp() override {
        previousDefaults_ = platform::UserDefaults::replaceStandard(
            std::make_unique<platform::UserDefaults>(std::make_unique<platform::MemoryDefaultsStore>()));
        EditorControllerFixture::SetUp();
        controller->setDelegate(&window);
    }
    void TearDown() override {
        controller->setDelegate(nullptr);
        EditorControllerFixture::TearDown();
        platform::UserDefaults::replaceStandard(std::move(previousDefaults_));
    }

    Chord* addChord(std::uint64_t num, std::uint64_t timing, TOVChordElems elems) {
        Chord* chord = findBar(document, num)->createNewChordWithElemsTiming(elems, timing);
        context->processPendingChanges();
        barView(num)->recreateAllSubViews();
        return chord;
    }
    // The cursor of the selected bar, as "bar:timing".
    std::string cursor() {
        TOVEditorBarView* selected = editor().selectedBar();
        if (selected == nullptr) {
            return "none";
        }
        return std::to_string(selected->bar()->num()) + ":" + std::to_string(selected->timingChordInput());
    }
    void placeCursor(std::uint64_t num, std::uint64_t timing) {
        editor().setSelectedBar(barView(num));
        barView(num)->setTimingChordInput(timing);
    }
    // The chords of a bar as "timing=root/quality/tension/bass" in timing order.
    std::string chordsOf(std::uint64_t num) {
        std::ostringstream out;
        for (const Chord* chord : findBar(document, num)->chordArray()) {
            const TOVChordElems e = chord->chordElems();
            out << chord->timing() << "=" << e.elemStep1 << "/" << e.elemStep2 << "/" << e.elemStep3 << "/"
                << e.elemStepBase << (e.slash ? "s" : "") << " ";
        }
        return out.str();
    }
    std::vector<TOVChordElems> history() {
        std::vector<TOVChordElems> values;
        for (const ChordHistory* entry : controller->chordHistoryArray()) {
            values.push_back(entry->chordElems());
        }
        return values;
    }
    // Runs the edit as the chord window's commit does: inside a group of its own, with undo recording.
    bool recordsAStep(const std::function<void()>& edit) {
        const std::uint64_t before = undo().changeCount();
        step(edit);
        return undo().changeCount() != before;
    }

    ChordWindowStandIn window{*context};

private:
    std::unique_ptr<platform::UserDefaults> previousDefaults_;
};

// ---- Stepping forward ----------------------------------------------------------------------------------

TEST_F(ChordInputControllerTest, TheCursorStepsThroughTheSongByStepAndRhythm) {
    struct Case {
        const char* name;
        std::function<void(Document*)> song;
        std::uint64_t startBar, step;
        bool follow;
        int calls;
        std::string visited;
    };
    const auto slashesAt0_360_480 = [](Document* doc) {
        Bar* bar = findBar(doc, 0);
        bar->createNewSingleSlashFromLength(0, 360);
        bar->createNewSingleSlashFromLength(360, 120);
        bar->createNewSingleSlashFromLength(480, 480);
    };
    const auto timeOf = [](std::uint64_t num, int type) {
        return [num, type](Document* doc) { findBar(doc, num)->setTimeType(type); };
    };
    const Case cases[] = {
        {"following the slashes", slashesAt0_360_480, 0, 240, true, 5, "0:240 0:360 0:480 0:720 1:0"},
        {"by the beat alone", slashesAt0_360_480, 0, 240, false, 4, "0:240 0:480 0:720 1:0"},
        {"a whole bar at a time", {}, 0, 960, false, 3, "1:0 2:0 3:0"},
        // Across the end of a line into the first bar of the next.
        {"two beats over a line end", {}, 3, 480, false, 3, "3:480 4:0 4:480"},
        {"6/8 by its beat of an eighth", timeOf(0, TOVSymbolTime6_8), 0, 120, false, 6,
         "0:120 0:240 0:360 0:480 0:600 1:0"},
        {"6/8 by two beats", timeOf(0, TOVSymbolTime6_8), 0, 240, false, 3, "0:240 0:480 1:0"},
        // A step of 0 (a bar whose beat is 0) goes nowhere, not even into the next bar.
        {"a step of 0", {}, 0, 0, false, 2, "no no"},
        {"at the end of the last bar", {}, 7, 480, false, 3, "7:480 no no"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bind(singleLines(2));
        if (c.song) {
            c.song(document);
            context->processPendingChanges();
            controller->updateBarsInheritedStates();
            editor().createAllSubviews(TOVBarId{0, false});
        }
        editor().setSelectedBar(barView(c.startBar));
        controller->chordWindowWillStart();
        ASSERT_EQ(cursor(), std::to_string(c.startBar) + ":0");
        std::string visited;
        for (int i = 0; i < c.calls; ++i) {
            const std::string before = cursor();
            const bool moved = controller->progressChordTiming(c.step, c.follow);
            EXPECT_EQ(moved, cursor() != before) << "answer and move disagree at " << before;
            visited += (visited.empty() ? "" : " ") + (moved ? cursor() : std::string("no"));
        }
        EXPECT_EQ(visited, c.visited);
        controller->setDocData(nullptr);
    }
}

TEST_F(ChordInputControllerTest, StepsSelectTheChordWhereTheyArriveAndClearTheSelectionElsewhere) {
    bind(singleLines(1));
    addChord(0, 480, kG);
    Chord* next = addChord(1, 0, kF);
    placeCursor(0, 0);
    ASSERT_TRUE(controller->progressChordTiming(480, false));
    EXPECT_EQ(controller->selectedChord(), kG);
    ASSERT_TRUE(controller->progressChordTiming(480, false));
    EXPECT_EQ(cursor(), "1:0");
    ASSERT_EQ(editor().selectedObjectViewSet().size(), 1u);
    EXPECT_EQ((*editor().selectedObjectViewSet().begin())->symbol(), next);
    ASSERT_TRUE(controller->progressChordTiming(480, false));
    EXPECT_TRUE(editor().selectedObjectViewSet().empty());
    EXPECT_EQ(controller->selectedChord(), TOVChordUtils::zeroChord());
}

TEST_F(ChordInputControllerTest, ChordInputStartsAtTheSelectedChordOfTheSelectedBarOnly) {
    bind(singleLines(1));
    Chord* chord = addChord(1, 720, kG);
    // A chord of another bar selected, then a bar clicked: that bar starts at 0, not at the chord's 720.
    const auto chordView = barView(1)->chordViewFromData(chord);
    ASSERT_TRUE(editor().selectAnObjectViewClearOthers(chordView.get(), true));
    controller->chordWindowWillStart();
    EXPECT_EQ(cursor(), "1:720");
    editor().setSelectedBar(barView(2));
    controller->chordWindowWillStart();
    EXPECT_EQ(cursor(), "2:0");
    EXPECT_TRUE(editor().selectedObjectViewSet().empty());
}

// ---- Writing a chord at the cursor --------------------------------------------------------------------

TEST_F(ChordInputControllerTest, WritingAtTheCursorByTheChordMadeAndTheChordSelected) {
    struct Case {
        const char* name;
        std::uint64_t cursorAt;
        TOVChordElems made;
        std::string chords;
        bool undoStep;
    };
    // Bar 1 holds C at 0 and G at 480.
    const Case cases[] = {
        {"the selected chord again", 480, kG, "0=0/12/70/17 480=10/12/70/17 ", false},
        {"the empty chord where a chord stands", 480, TOVChordUtils::zeroChord(), "0=0/12/70/17 ", true},
        {"the empty chord where none stands", 240, TOVChordUtils::zeroChord(),
         "0=0/12/70/17 480=10/12/70/17 ", false},
        {"a new chord where one stands", 480, kF, "0=0/12/70/17 480=7/12/70/17 ", true},
        {"a new chord where none stands", 240, kFOverG, "0=0/12/70/17 240=7/12/70/10s 480=10/12/70/17 ",
         true},
        // Neither root nor bass: nothing to show, nothing is written.
        {"a quality without root and bass", 240, chordOf(17, 2, 70, 17), "0=0/12/70/17 480=10/12/70/17 ",
         false},
        {"a slash flag without a bass", 240, TOVChordElems{7, 12, 70, 17, true},
         "0=0/12/70/17 240=7/12/70/17 480=10/12/70/17 ", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bind(singleLines(1));
        addChord(1, 0, kC);
        addChord(1, 480, kG);
        placeCursor(1, c.cursorAt);
        EXPECT_EQ(recordsAStep([&] { controller->insertChordAtCursor(c.made); }), c.undoStep);
        EXPECT_EQ(chordsOf(1), c.chords);
        // Every chord shows once, and only chords of the bar show.
        EXPECT_EQ(barView(1)->chordViewArray().size(), findBar(document, 1)->chordArray().size());
        // Undone, the bar is as before.
        if (c.undoStep) {
            undoStep();
            EXPECT_EQ(chordsOf(1), "0=0/12/70/17 480=10/12/70/17 ");
        }
        controller->setDocData(nullptr);
    }
}

TEST_F(ChordInputControllerTest, AtTheEndOfTheSongTheChordJustWrittenStaysSelected) {
    bind(singleLines(1));
    placeCursor(3, 720);
    controller->insertChordAtCursor(kG);
    EXPECT_FALSE(controller->progressChordTiming(480, false));
    EXPECT_EQ(cursor(), "3:720");
    EXPECT_EQ(controller->selectedChord(), kG);
    // So the empty chord written there next takes it away again.
    controller->insertChordAtCursor(TOVChordUtils::zeroChord());
    EXPECT_EQ(chordsOf(3), "");
}

// ---- Stepping back -----------------------------------------------------------------------------------

TEST_F(ChordInputControllerTest, PreviousGoesToTheLastChordBeforeTheCursorAlsoInEarlierBars) {
    struct Case {
        const char* name;
        std::vector<std::pair<std::uint64_t, std::uint64_t>> chords; // bar, timing
        std::uint64_t bar, at;
        bool moved;
        std::string cursor;
    };
    const Case cases[] = {
        {"an earlier chord of the bar", {{5, 0}, {5, 480}}, 5, 720, true, "5:480"},
        {"the first chord of the bar", {{5, 0}, {5, 480}}, 5, 480, true, "5:0"},
        {"a chord at the cursor does not count", {{5, 240}}, 5, 240, false, "5:240"},
        // Bars 4 and 3 hold nothing; bar 2 is the nearest with chords, on the line before.
        {"the last chord of the nearest earlier bar", {{1, 0}, {2, 240}, {2, 720}}, 5, 0, true, "2:720"},
        {"no chord before at all", {{5, 480}, {6, 0}}, 5, 240, false, "5:240"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bind(singleLines(2));
        for (const auto& [num, timing] : c.chords) {
            addChord(num, timing, kC);
        }
        // The bars walked over keep their cursor.
        barView(4)->setTimingChordInput(240);
        placeCursor(c.bar, c.at);
        EXPECT_EQ(controller->gobackChordIndex(), c.moved);
        EXPECT_EQ(cursor(), c.cursor);
        EXPECT_EQ(barView(4)->timingChordInput(), 240u);
        const auto& selection = editor().selectedObjectViewSet();
        if (c.moved) {
            ASSERT_EQ(selection.size(), 1u);
            const auto* chord = dynamic_cast<const Chord*>((*selection.begin())->symbol());
            ASSERT_NE(chord, nullptr);
            EXPECT_EQ(std::to_string(chord->bar()->num()) + ":" + std::to_string(chord->timing()), c.cursor);
        }
        controller->setDocData(nullptr);
    }
}

TEST_F(ChordInputControllerTest, PreviousIntoAnEarlierPageScrollsItsBarIntoView) {
    // Two pages: the chord stands in bar 0 of the first, the cursor in the last bar of the second.
    bind(singleLines(12, 6));
    showWithViewport(640, 300);
    addChord(0, 480, kC);
    const std::uint64_t last = 47;
    ASSERT_NE(barView(last), nullptr);
    editor().setSelectedBar(barView(last));
    controller->chordWindowWillStart();
    QScrollBar* vertical = controller->scrollView()->verticalScrollBar();
    auto visible = [&](std::uint64_t num) {
        const Rect r = barView(num)->convertRectToView(barView(num)->bounds(), nullptr);
        const int top = vertical->value();
        const int height = controller->scrollView()->viewport()->height();
        return r.y() >= top - 1 && r.maxY() <= top + height + 1;
    };
    ASSERT_TRUE(visible(last));
    ASSERT_FALSE(visible(0));
    ASSERT_TRUE(controller->gobackChordIndex());
    EXPECT_EQ(cursor(), "0:480");
    EXPECT_TRUE(visible(0));
}

// ---- History --------------------------------------------------------------------------------------------

TEST_F(ChordInputControllerTest, TheHistoryKeepsEachValueOnceInTheOrderOfFirstUse) {
    bind(singleLines(1));
    EXPECT_TRUE(controller->chordHistoryArray().empty());
    struct Case {
        const char* name;
        TOVChordElems added;
        std::vector<TOVChordElems> after;
    };
    const Case cases[] = {
        {"a first chord", kC, {kC}},
        {"a second chord", kG, {kC, kG}},
        {"a known chord keeps its place", kC, {kC, kG}},
        {"a bass makes another chord", kFOverG, {kC, kG, kFOverG}},
        {"the same chord without its bass", kF, {kC, kG, kFOverG, kF}},
        // The entry reads its slash flag from its bass: a flag that disagrees is the same entry.
        {"a bass without its slash flag", TOVChordElems{7, 12, 70, 10, false}, {kC, kG, kFOverG, kF}},
        {"a slash flag without a bass", TOVChordElems{0, 12, 70, 17, true}, {kC, kG, kFOverG, kF}},
        {"the empty chord, once",
         TOVChordUtils::zeroChord(),
         {kC, kG, kFOverG, kF, TOVChordUtils::zeroChord()}},
        {"the empty chord again",
         TOVChordUtils::zeroChord(),
         {kC, kG, kFOverG, kF, TOVChordUtils::zeroChord()}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        controller->addChordHistory(c.added);
        EXPECT_EQ(history(), c.after);
    }
    std::vector<std::uint64_t> indexes;
    for (const ChordHistory* entry : controller->chordHistoryArray()) {
        indexes.push_back(entry->index());
    }
    EXPECT_EQ(indexes, (std::vector<std::uint64_t>{1, 2, 3, 4, 5}));
}

// ---- Moving the selected bar -------------------------------------------------------------------------

TEST_F(ChordInputControllerTest, BarNavigationAcrossLinesWithoutTouchingSelectionOrCursor) {
    bind(singleLines(2));
    Chord* chord = addChord(3, 240, kC);
    placeCursor(3, 240);
    ASSERT_EQ(controller->selectedChord(), kC);
    ASSERT_TRUE(controller->canGoNextBar());
    controller->goNextBar();
    EXPECT_EQ(editor().selectedBar(), barView(4));
    EXPECT_EQ(barView(3)->timingChordInput(), 240u);
    ASSERT_EQ(editor().selectedObjectViewSet().size(), 1u);
    EXPECT_EQ((*editor().selectedObjectViewSet().begin())->symbol(), chord);
    controller->goPrevBar();
    controller->goPrevBar();
    EXPECT_EQ(editor().selectedBar(), barView(2));

    editor().setSelectedBar(barView(0));
    EXPECT_FALSE(controller->canGoPrevBar());
    controller->goPrevBar();
    EXPECT_EQ(editor().selectedBar(), barView(0));
    editor().setSelectedBar(barView(7));
    EXPECT_FALSE(controller->canGoNextBar());
    controller->goNextBar();
    EXPECT_EQ(editor().selectedBar(), barView(7));

    // The rhythm matrix starts with nothing selected.
    controller->matrixWindowWillStart();
    EXPECT_TRUE(editor().selectedObjectViewSet().empty());

    // Without a selected bar every test answers no and nothing moves.
    editor().setSelectedBar(nullptr);
    EXPECT_FALSE(controller->canGoNextBar());
    EXPECT_FALSE(controller->canGoPrevBar());
    EXPECT_FALSE(controller->progressChordTiming(240, false));
    EXPECT_FALSE(controller->gobackChordIndex());
    controller->insertChordAtCursor(kG);
    controller->chordWindowWillStart();
    EXPECT_EQ(editor().selectedBar(), nullptr);
}

// ---- The cursor mark -----------------------------------------------------------------------------------

TEST_F(ChordInputControllerTest, TheSelectedBarMarksAnEmptyCursorOnlyWhileTheChordWindowRuns) {
    bind(singleLines(1));
    addChord(1, 0, kC);
    editor().setSelectedBar(barView(1));
    auto orangeBoxes = [&](TOVEditorBarView* barView) {
        platform::RecordingGraphicsContext ctx(true);
        barView->drawRect(barView->bounds(), ctx);
        std::vector<Rect> boxes;
        for (const auto& call : ctx.callsOfKind(platform::DrawingCall::Kind::StrokePath)) {
            if (call.color == platform::Color::orange()) {
                boxes.push_back(call.path.bounds());
            }
        }
        return boxes;
    };
    window.running = true;
    controller->chordWindowWillStart();
    // On the chord at 0 no mark; one step on, where nothing stands, the mark.
    EXPECT_TRUE(orangeBoxes(barView(1)).empty());
    ASSERT_TRUE(controller->progressChordTiming(480, false));
    auto boxes = orangeBoxes(barView(1));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NEAR(boxes[0].x(), barView(1)->xPosOfChordInGridMode(480), 1e-9);
    // Other bars never show it.
    EXPECT_TRUE(orangeBoxes(barView(2)).empty());

    window.running = false;
    controller->chordWindowDidClose();
    EXPECT_TRUE(barView(1)->needsDisplay());
    EXPECT_TRUE(orangeBoxes(barView(1)).empty());
}

// ---- Click actions -------------------------------------------------------------------------------------

TEST_F(ChordInputControllerTest, ClicksInTheChordRowAndOnChordsOpenTheChordWindowByTheUserDefaults) {
    bind(singleLines(1));
    Chord* chord = addChord(1, 480, kC);
    showWithViewport(700, 500);
    platform::ViewHost* host = controller->host();
    uitest::WindowEvents input(*controller->scrollView());
    auto at = [&](const platform::View& view, Point inView) {
        const Point p = view.convertPointToView(inView, nullptr);
        return host->mapTo(controller->scrollView(), QPointF(p.x, p.y));
    };
    TOVEditorBarView* bar = barView(1);
    // The chord row over the staff at beat 2, clear of the chord; and the chord itself.
    const QPointF row = at(*bar, Point{bar->xPosOfChordInGridMode(240) + 2, bar->posY5LinesTop() - 4});
    const auto chordView = bar->chordViewFromData(chord);
    const QPointF onChord =
        at(*chordView, Point{chordView->bounds().width() / 2, chordView->bounds().height() / 2});
    // Below the staff: the notes area, whose actions are not the chord window's.
    const QPointF notes = at(*bar, Point{bar->bounds().width() / 2, bar->bounds().height() - 5});

    enum Click { Right, Double };
    ulong time = 1000;
    auto click = [&](QPointF where, Click kind) {
        time += 5000;
        if (kind == Right) {
            input.click(where, time, Qt::RightButton);
        } else {
            input.click(where, time);
            input.click(where, time + 20);
        }
        QApplication::processEvents();
        QApplication::processEvents();
    };
    struct Case {
        int rightDefault, doubleDefault;
        Click click;
        int barsMode;
        std::optional<int> opened;
    };
    const Case cases[] = {
        {0, 1, Right, 0, 0},
        {1, 1, Right, 0, 1},
        {2, 1, Right, 0, std::nullopt},
        {0, 0, Double, 0, 0},
        {0, 1, Double, 0, 1},
        {0, 2, Double, 0, std::nullopt},
        {0, 1, Right, 1, std::nullopt},
        {0, 1, Double, 3, std::nullopt},
    };
    for (const Case& c : cases) {
        for (const auto& [where, name] : {std::pair{row, "chord row"}, std::pair{onChord, "chord"}}) {
            SCOPED_TRACE(::testing::Message()
                         << name << " " << (c.click == Right ? "right" : "double") << " click, defaults "
                         << c.rightDefault << "/" << c.doubleDefault << ", bar-range mode " << c.barsMode);
            platform::UserDefaults::standard().setInteger("actionChordsAreaRightClick", c.rightDefault);
            platform::UserDefaults::standard().setInteger("actionChordsAreaDoubleClick", c.doubleDefault);
            editor().setSelectedBar(barView(0));
            editor().clearSelection();
            controller->setEditBarsMode(c.barsMode);
            window.requests.clear();
            click(where, c.click);
            if (c.opened) {
                EXPECT_EQ(window.requests, std::vector<int>{*c.opened});
                // The window opens on the bar, or the chord, clicked.
                EXPECT_EQ(editor().selectedBar(), bar);
                EXPECT_EQ(controller->selectedChord(),
                          std::string(name) == "chord" ? kC : TOVChordUtils::zeroChord());
            } else {
                EXPECT_TRUE(window.requests.empty());
            }
            controller->setEditBarsMode(0);
        }
    }
    // The notes area never opens the chord window.
    platform::UserDefaults::standard().setInteger("actionChordsAreaRightClick", 0);
    window.requests.clear();
    click(notes, Right);
    click(notes, Double);
    EXPECT_TRUE(window.requests.empty());
}

// ---- Delete --------------------------------------------------------------------------------------------

TEST_F(ChordInputControllerTest, DeleteTakesTheSelectionWhenItMayGo) {
    enum Pick { Chord_, WholePair, SecondUnitOfPair, UpperToneOfFirstUnit, OneTupletMember };
    struct Case {
        const char* name;
        std::vector<Pick> picks;
        bool enabled;
        std::string chordsAfter;
        std::string rhythmAfter;
    };
    // Bar 1: C at 0; two beamed eighths, the first with two tones; a triplet of eighths at 480.
    const std::string untouched = "[2,1] [1,1,1]";
    const Case cases[] = {
        {"nothing selected", {}, false, "0=0/12/70/17 ", untouched},
        {"a chord", {Chord_}, true, "", untouched},
        {"a whole note", {WholePair}, true, "0=0/12/70/17 ", "[1,1,1]"},
        {"one unit of a beamed note", {SecondUnitOfPair}, true, "0=0/12/70/17 ", "[2] [1,1,1]"},
        {"one tone of a unit", {UpperToneOfFirstUnit}, true, "0=0/12/70/17 ", "[1,1] [1,1,1]"},
        {"one member of a tuplet", {OneTupletMember}, false, "0=0/12/70/17 ", untouched},
        {"a chord and one member of a tuplet", {Chord_, OneTupletMember}, true, "", untouched},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bind(singleLines(1));
        Chord* chord = addChord(1, 0, kC);
        Bar* bar = findBar(document, 1);
        Note* first = bar->createNewSingleMeloFromLengthLevel(0, 120, 0);
        Note* second = bar->createNewSingleMeloFromLengthLevel(120, 120, 2);
        context->processPendingChanges();
        Note* pair = bar->makeBeamOn({first, second});
        ASSERT_NE(pair, nullptr);
        pair->unitArray().front()->createNewToneWithLevel(4);
        Note* triplet = bar->createNewTripletFromLengthUnitsLevelKind(480, {80, 80, 80}, 2, 0);
        ASSERT_NE(triplet, nullptr);
        context->processPendingChanges();
        barView(1)->recreateAllSubViews();
        // The notes of the bar, each as the number of tones of each unit.
        const auto rhythm = [bar] {
            std::string text;
            for (const Note* note : bar->noteArray()) {
                text += text.empty() ? "[" : " [";
                std::string units;
                for (const NoteUnit* unit : note->unitArray()) {
                    units += (units.empty() ? "" : ",") + std::to_string(unit->toneArray().size());
                }
                text += units + "]";
            }
            return text;
        };
        ASSERT_EQ(rhythm(), untouched);

        editor().clearSelection();
        TOVNoteView* pairView = barView(1)->noteViewFromData(pair).get();
        TOVNoteView* tripletView = barView(1)->noteViewFromData(triplet).get();
        for (const Pick pick : c.picks) {
            // A note view takes part in the selection, then only the cell picked is selected in it.
            const auto selectCellOf = [&](TOVNoteView* view, TOVNoteCellBase* cell) {
                ASSERT_TRUE(editor().selectAnObjectViewClearOthers(view, false));
                view->unselectAllCells();
                view->selectCell(cell);
                ASSERT_FALSE(view->isWholeNoteSelected());
            };
            switch (pick) {
            case Chord_:
                ASSERT_TRUE(editor().selectAnObjectViewClearOthers(barView(1)->chordViewFromData(chord).get(),
                                                                   false));
                break;
            case WholePair:
                ASSERT_TRUE(editor().selectAnObjectViewClearOthers(pairView, false));
                pairView->selectWholeNote();
                break;
            case SecondUnitOfPair:
                selectCellOf(pairView, pairView->unitCellArray()[1].get());
                break;
            case UpperToneOfFirstUnit:
                selectCellOf(pairView, pairView->unitCellArray()[0]->toneCellArray()[1].get());
                break;
            case OneTupletMember:
                selectCellOf(tripletView, tripletView->unitCellArray()[1].get());
                break;
            }
        }
        EXPECT_EQ(controller->canEnableDeleteMenu(), c.enabled);
        EXPECT_EQ(recordsAStep([&] { controller->performDeleteOperation(); }), c.enabled);
        EXPECT_EQ(chordsOf(1), c.chordsAfter);
        EXPECT_EQ(rhythm(), c.rhythmAfter);
        EXPECT_EQ(barView(1)->chordViewArray().size(), bar->chordArray().size());
        EXPECT_EQ(barView(1)->noteViewArray().size(), bar->noteArray().size());
        controller->setDocData(nullptr);
    }
}

} // namespace
