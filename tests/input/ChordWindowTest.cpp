#include "ChordInputFixture.h"

#include "input/TOVChord1StepViewController.h"
#include "input/TOVChord1stStepViewController.h"
#include "input/TOVChord3StepsViewController.h"
#include "input/TOVChordDiatonicViewController.h"
#include "input/TOVChordElemGridViewController.h"
#include "input/TOVChordHistoryViewController.h"
#include "model/TOVSymbolTypes.h"

#include <QTabBar>

using inputtest::ChordWindowFixture;

namespace {

constexpr TOVChordElems C7{0, 3, 70, 17, false};
constexpr TOVChordElems CMajor{0, 12, 70, 17, false};
constexpr TOVChordElems G7{10, 3, 70, 17, false};
constexpr TOVChordElems Dm{3, 1, 70, 17, false};
constexpr TOVChordElems Empty{};

class ChordWindowTest : public ChordWindowFixture {
public:
    TOVChord3StepsViewController& builder() { return *controller().viewCtrler3Step(); }
    TOVChordCollectionView* diatonicGrid() {
        return controller().viewCtrler1Step()->diatonicViewController()->collectionView();
    }
    TOVChordCollectionView* historyGrid() {
        return controller().viewCtrler1Step()->historyViewController()->collectionView();
    }
    void clickCell(TOVChordCollectionView* grid, std::size_t index) {
        click(grid->viewport(), grid->viewportCenterOfItem(index));
    }
    void clickKey(int value) { click(builder().firstViewCtrler()->keyView(value)); }
    using ChordWindowFixture::click;
    using ChordWindowFixture::controller;
    using ChordWindowFixture::doubleClick;
};

struct CommitCase {
    const char* name;
    int mode;
    std::optional<TOVChordElems> standing; // the chord at the chord input position
    std::function<void(ChordWindowTest&)> make;
    std::vector<TOVChordElems> inserted;
    std::size_t historyEntries;
};

} // namespace

// What Next (Return) commits, by the chord being made and the chord standing at the position; Next moves
// on in every case. Each commit is one undo step.
TEST_F(ChordWindowTest, NextCommitsTheChordBeingMadeOnlyWhenItChangesSomething) {
    const std::vector<CommitCase> cases = {
        {"the chord loaded into the builder, unchanged: nothing", 0, C7, [](ChordWindowTest&) {}, {}, 0},
        {"nothing chosen on the one-step page: nothing", 1, C7, [](ChordWindowTest&) {}, {}, 0},
        {"nothing chosen and no chord standing: nothing", 1, std::nullopt, [](ChordWindowTest&) {}, {}, 0},
        {"the builder cleared over a chord: the chord is deleted",
         0,
         C7,
         [](ChordWindowTest& t) { t.click(t.builder().clearButton()); },
         {Empty},
         1},
        {"a quality without root and bass: nothing",
         0,
         std::nullopt,
         [](ChordWindowTest& t) {
             t.controller().setChord({17, 7, 70, 17, false});
         },
         {},
         0},
        {"the slash step without a bass: committed without its slash",
         0,
         std::nullopt,
         [](ChordWindowTest& t) {
             t.clickKey(0);
             t.click(t.builder().slashButton());
             EXPECT_TRUE(t.controller().chord().slash);
         },
         {CMajor},
         1},
        {"a diatonic cell over another chord: that chord",
         1,
         C7,
         [](ChordWindowTest& t) { t.clickCell(t.diatonicGrid(), 4); },
         {G7},
         1},
        {"root, slash and bass: a slash chord",
         0,
         std::nullopt,
         [](ChordWindowTest& t) {
             t.clickKey(7);
             t.click(t.builder().slashButton());
             t.click(t.builder().baseViewCtrler()->keyView(10));
         },
         {{7, 12, 70, 10, true}},
         1},
    };
    for (const CommitCase& c : cases) {
        SCOPED_TRACE(c.name);
        renew();
        if (c.standing) {
            editor().chords[{0, 0}] = *c.standing;
        }
        runWindow(c.mode, [&] {
            c.make(*this);
            key(Qt::Key_Return);
        });
        EXPECT_EQ(editor().inserted, c.inserted);
        EXPECT_EQ(editor().undoSteps(), static_cast<int>(c.inserted.size()));
        EXPECT_EQ(editor().chordHistoryArray().size(), c.historyEntries);
        ASSERT_EQ(editor().steps.size(), 1u);
        EXPECT_EQ(editor().steps[0], (std::pair<std::uint64_t, bool>(480, false)));
        EXPECT_EQ(editor().started, 1);
        EXPECT_EQ(editor().closed, 1);
        EXPECT_EQ(controller().editorViewController(), nullptr);
    }
}

TEST_F(ChordWindowTest, EachCommitIsOneUndoStepAndStepsAloneRegisterNothing) {
    runWindow(1, [&] {
        key(Qt::Key_Return);
        click(controller().previousButton());
        click(controller().nextButton());
    });
    EXPECT_FALSE(editor().undo().canUndo());
    EXPECT_EQ(editor().steps.size(), 2u);
    EXPECT_EQ(editor().gobacks, 1);

    editor().position = {0, 0};
    runWindow(1, [&] {
        clickCell(diatonicGrid(), 0); // C
        key(Qt::Key_Return);
        clickCell(diatonicGrid(), 1); // Dm
        key(Qt::Key_Return);
        key(Qt::Key_Return); // nothing chosen: nothing
    });
    platform::UndoManager& undo = editor().undo();
    EXPECT_EQ(undo.groupingLevel(), 0);
    EXPECT_TRUE(undo.groupsByEvent());
    EXPECT_EQ(editor().chords.size(), 2u);
    EXPECT_EQ(editor().undoSteps(), 2);
    undo.undo();
    // Only the last chord goes, with its history entry.
    EXPECT_EQ(editor().chords,
              (std::map<inputtest::FakeChordEditor::Position, TOVChordElems>{{{0, 0}, CMajor}}));
    EXPECT_EQ(editor().chordHistoryArray().size(), 1u);
    undo.undo();
    EXPECT_TRUE(editor().chords.empty());
}

TEST_F(ChordWindowTest, ReturnIsNextEscapeClosesAndNoOtherKeyActs) {
    runWindow(1, [&] {
        clickCell(diatonicGrid(), 1);
        for (const Qt::Key other :
             {Qt::Key_Space, Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Tab, Qt::Key_A, Qt::Key_Left}) {
            key(other);
        }
        EXPECT_TRUE(editor().inserted.empty());
        EXPECT_TRUE(editor().steps.empty());
        key(Qt::Key_Return);
        EXPECT_EQ(editor().inserted, std::vector<TOVChordElems>{Dm});
        EXPECT_EQ(editor().steps.size(), 1u);
        key(Qt::Key_Escape);
        EXPECT_FALSE(controller().window()->isVisible());
    });
    EXPECT_EQ(editor().closed, 1);
}

TEST_F(ChordWindowTest, DoubleClicksCommitAndMoveOn) {
    runWindow(1, [&] {
        doubleClick(diatonicGrid()->viewport(), diatonicGrid()->viewportCenterOfItem(3));
        controller().tabView()->setCurrentIndex(1);
        clickKey(10);
        click(builder().nextButton());
        click(builder().nextButton());
        // The builder sits on the tension step now: a double click on a tension commits.
        TOVChordCollectionView* tensions = builder().thirdViewCtrler()->collectionView();
        doubleClick(tensions->viewport(), tensions->viewportCenterOfItem(3));
        EXPECT_EQ(builder().mode(), 0);
        EXPECT_EQ(builder().chord(), Empty) << "the builder starts over, empty, even over a chord";
    });
    EXPECT_EQ(editor().inserted,
              (std::vector<TOVChordElems>{{7, 12, 70, 17, false}, {10, 12, 3, 17, false}}));
    EXPECT_EQ(editor().steps.size(), 2u);
}

// The window keeps the last page asked for, the step unit and the follow-rhythm box between runs; a tab
// chosen by hand is not kept.
TEST_F(ChordWindowTest, RemembersTheRequestedPageTheStepUnitAndTheRhythmBox) {
    runWindow(2, [&] { EXPECT_EQ(controller().tabView()->currentIndex(), 0) << "one-step page at first"; });
    runWindow(0, [&] {
        EXPECT_EQ(controller().tabView()->currentIndex(), 1);
        QTabBar* tabs = controller().tabView()->tabBar();
        click(tabs, tabs->tabRect(0).center());
        EXPECT_EQ(controller().tabView()->currentIndex(), 0);
        click(controller().progressUnit()->button(TOVChordWindowController::OneBeat));
        click(controller().perRhythm());
        key(Qt::Key_Return);
    });
    runWindow(2, [&] {
        EXPECT_EQ(controller().tabView()->currentIndex(), 1);
        key(Qt::Key_Return);
    });
    EXPECT_EQ(editor().steps, (std::vector<std::pair<std::uint64_t, bool>>{{240, true}, {240, true}}));
}

TEST_F(ChordWindowTest, StepUnitsFollowTheBarsTime) {
    struct StepCase {
        int time;
        std::uint64_t beat, twoBeats, bar, halfBeat, quarterBeat;
    };
    Bar* bar = editor().bars[0];
    for (const StepCase& c : {StepCase{TOVSymbolTime4_4, 240, 480, 960, 120, 60},
                              StepCase{TOVSymbolTime6_8, 120, 240, 720, 60, 30}}) {
        SCOPED_TRACE(c.time);
        setUp([&] { bar->setTimeType(c.time); });
        using W = TOVChordWindowController;
        EXPECT_EQ(W::stepOfUnit(W::OneBeat, bar), c.beat);
        EXPECT_EQ(W::stepOfUnit(W::TwoBeats, bar), c.twoBeats);
        EXPECT_EQ(W::stepOfUnit(W::WholeBar, bar), c.bar);
        EXPECT_EQ(W::stepOfUnit(W::HalfBeat, bar), c.halfBeat);
        EXPECT_EQ(W::stepOfUnit(W::QuarterBeat, bar), c.quarterBeat);
        EXPECT_EQ(W::stepOfUnit(7, bar), 0u);
    }
    EXPECT_EQ(TOVChordWindowController::stepOfUnit(TOVChordWindowController::OneBeat, nullptr), 0u);
}

TEST_F(ChordWindowTest, AStepOfZeroCommitsAndDoesNotMove) {
    // No time of the table: no beats.
    setUp([&] { editor().bars[0]->setTimeType(TOVSymbolCategoryTimeSignature | TOVSymbolIndexMask); });
    ASSERT_EQ(editor().bars[0]->length1Beat(), 0u);
    runWindow(1, [&] {
        clickCell(diatonicGrid(), 0);
        key(Qt::Key_Return);
    });
    EXPECT_EQ(editor().inserted, std::vector<TOVChordElems>{CMajor});
    EXPECT_TRUE(editor().steps.empty());
}

// Next where a step would leave the last bar: the chord is written, the position stays and holds it, and
// the window runs on for the next chord there.
TEST_F(ChordWindowTest, NextAtTheEndOfTheLastBarCommitsStaysAndTheWindowRunsOn) {
    const Bar* last = editor().bars.back();
    const inputtest::FakeChordEditor::Position end{editor().bars.size() - 1,
                                                   last->totalRhythmLength() - last->length1Beat()};
    editor().position = end;
    runWindow(1, [&] {
        clickCell(diatonicGrid(), 0); // C
        key(Qt::Key_Return);
        EXPECT_EQ(editor().position, end);
        EXPECT_TRUE(controller().window()->isVisible());
        EXPECT_EQ(editor().closed, 0);
        EXPECT_EQ(builder().chord(), CMajor) << "the builder holds the chord just written";
        clickCell(diatonicGrid(), 4); // G7
        key(Qt::Key_Return);
        EXPECT_EQ(editor().position, end);
        key(Qt::Key_Escape);
    });
    EXPECT_EQ(editor().steps.size(), 2u);
    EXPECT_EQ(editor().inserted, (std::vector<TOVChordElems>{CMajor, G7}));
    EXPECT_EQ(editor().chords, (std::map<inputtest::FakeChordEditor::Position, TOVChordElems>{{end, G7}}));
    EXPECT_EQ(editor().undoSteps(), 2);
    EXPECT_EQ(editor().closed, 1);
}

TEST_F(ChordWindowTest, TheDiatonicGridFollowsTheKeyOfTheBarButKeepsAKeyPickedByHand) {
    setUp([&] {
        editor().bars[1]->setKeyType(TOVSymbolKeySharp1);
        editor().bars[2]->setKeyType(TOVSymbolKeySharp1);
    });
    TOVChordDiatonicViewController* diatonic = controller().viewCtrler1Step()->diatonicViewController();
    runWindow(1, [&] {
        EXPECT_EQ(diatonic->currentKey(), 0);
        click(controller().progressUnit()->button(TOVChordWindowController::WholeBar));
        key(Qt::Key_Return);
        EXPECT_EQ(editor().position.first, 1u);
        EXPECT_EQ(diatonic->currentKey(), 9) << "G major";
        EXPECT_EQ(diatonic->chord(), Empty);
        diatonic->setCurrentKey(6); // the popup's choice: F
        key(Qt::Key_Return);
        EXPECT_EQ(editor().position.first, 2u);
        EXPECT_EQ(diatonic->currentKey(), 6) << "the bar's key did not change: the hand-picked key stays";
        click(controller().previousButton());
    });
    EXPECT_EQ(editor().gobacks, 1);
}

TEST_F(ChordWindowTest, TheHistoryGridShowsItsNewestCellAfterEachCommit) {
    const QString grabs = qEnvironmentVariable("TOVRIN_GRAB_DIR");
    runWindow(1, [&] {
        click(controller().progressUnit()->button(TOVChordWindowController::OneBeat));
        for (std::size_t row = 0; row < 20; ++row) {
            clickCell(diatonicGrid(), row);
            key(Qt::Key_Return);
            const std::size_t newest = editor().chordHistoryArray().size() - 1;
            EXPECT_EQ(newest, row);
            EXPECT_TRUE(
                historyGrid()->viewport()->rect().contains(historyGrid()->viewportCenterOfItem(newest)))
                << row;
        }
        if (!grabs.isEmpty()) {
            controller().window()->grab().save(grabs + QStringLiteral("/chord-window-history.png"));
        }
        // A chord from the history is taken in one click, and the diatonic grid lets go of its choice.
        clickCell(diatonicGrid(), 5);
        clickCell(historyGrid(), 19);
        EXPECT_EQ(historyGrid()->selectionIndexes(), platform::CellGrid::IndexSet{19});
        EXPECT_TRUE(diatonicGrid()->selectionIndexes().empty());
        EXPECT_EQ(controller().chord(), TOVChordUtils::diatonicChordOfIndexForKey(19, 0));
    });
}

namespace {

// Dark pixels inside a cell of a grid as drawn, its frame left out.
int inkInCell(TOVChordCollectionView* grid, std::size_t index) {
    const QImage image = grid->viewport()->grab().toImage();
    const QPoint centre = grid->viewportCenterOfItem(index);
    const QSize cell(static_cast<int>(grid->cellSize().width), static_cast<int>(grid->cellSize().height));
    const QRect inside(centre.x() - cell.width() / 2 + 3, centre.y() - cell.height() / 2 + 3,
                       cell.width() - 6, cell.height() - 6);
    int ink = 0;
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            ink += qGray(image.pixel(x * image.width() / grid->viewport()->width(),
                                     y * image.height() / grid->viewport()->height())) < 128
                       ? 1
                       : 0;
        }
    }
    return ink;
}

} // namespace

// Both pages as drawn: every diatonic cell and every tension shows its glyph, blank cells nothing. With
// TOVRIN_GRAB_DIR set, the two pages are written there as images to look at.
TEST_F(ChordWindowTest, BothPagesDrawTheirChordsAndBlankCellsStayEmpty) {
    const QString grabs = qEnvironmentVariable("TOVRIN_GRAB_DIR");
    runWindow(1, [&] {
        for (std::size_t row = 0; row < 35; ++row) {
            EXPECT_GT(inkInCell(diatonicGrid(), row), 20) << row;
        }
        clickCell(diatonicGrid(), 18);
        key(Qt::Key_Return);
        clickCell(diatonicGrid(), 6);
        if (!grabs.isEmpty()) {
            controller().window()->grab().save(grabs + QStringLiteral("/chord-window-one-step.png"));
        }
        click(controller().tabView()->tabBar(), controller().tabView()->tabBar()->tabRect(1).center());
        clickKey(15);
        click(builder().slashButton());
        click(builder().baseViewCtrler()->keyView(12));
        if (!grabs.isEmpty()) {
            controller().window()->grab().save(grabs + QStringLiteral("/chord-window-three-steps.png"));
        }
        EXPECT_GT(inkInCell(historyGrid(), 0), 20);
        click(builder().clearButton());
        clickKey(0);
        click(builder().nextButton());
        click(builder().nextButton());
        TOVChordCollectionView* tensions = builder().thirdViewCtrler()->collectionView();
        for (std::size_t i = 0; i < 70; ++i) {
            const bool blank = builder().thirdViewCtrler()->items()[i].elemType == 70;
            if (tensions->viewport()->rect().contains(tensions->viewportCenterOfItem(i))) {
                EXPECT_EQ(inkInCell(tensions, i) > 0, !blank)
                    << i << " at " << tensions->viewportCenterOfItem(i).x() << ","
                    << tensions->viewportCenterOfItem(i).y();
            }
        }
        if (!grabs.isEmpty()) {
            controller().window()->grab().save(grabs + QStringLiteral("/chord-window-tensions.png"));
        }
    });
}
