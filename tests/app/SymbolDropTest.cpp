// Symbols dropped from the symbols palette onto bars, tones and the page, through the views' drop entry
// and the editor view controller: what each family stores and selects, what it replaces, Fine ending the
// song, and the question asked after the drop as an undo step of its own.
#include "AnsweringDelegate.h"
#include "EditorControllerFixture.h"

#include "app/TOVEditorViewControllerDelegate.h"
#include "glyphs/TOVObjectView.h"
#include "glyphs/TOVTextHostView.h"
#include "glyphs/TOVTextView.h"
#include "layout/TOVPaletteTypes.h"
#include "model/Bar.h"
#include "model/Note.h"
#include "model/NoteTone.h"
#include "model/NoteUnit.h"
#include "model/Symbol.h"
#include "model/SymbolAccidental.h"
#include "model/SymbolInNote.h"
#include "model/SymbolRepeat.h"
#include "model/SymbolTempo.h"
#include "model/TOVSymbolTypes.h"
#include "notation/TOVNoteToneCell.h"
#include "notation/TOVNoteView.h"
#include "platform/ui/DraggingInfo.h"

#include <QCoreApplication>

#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using apptest::AnsweringDelegate;
using apptest::EditorControllerFixture;
using apptest::singleLines;
using platform::Point;
using platform::Rect;
using tovtest::findBar;

// The drag a symbols-palette cell starts, written as the palette writes it, the pointer given in window
// coordinates.
platform::DraggingInfo symbolDrag(const std::string& type, int item, Point inWindow) {
    platform::DraggingInfo info = TOVPaletteTypes::dragOfItem(type, item);
    info.setDraggingLocation(inWindow);
    return info;
}

std::vector<Symbol*> symbolsOfType(const Bar* bar, int type) {
    std::vector<Symbol*> found;
    for (Symbol* symbol : bar->symbols()) {
        if (symbol->type() == type) {
            found.push_back(symbol);
        }
    }
    return found;
}

class SymbolDropTest : public EditorControllerFixture {
protected:
    void SetUp() override {
        EditorControllerFixture::SetUp();
        controller->setDelegate(&delegate);
    }

    // Drops the item on the bar view at the point of the bar view, as one undo step.
    void dropOnBar(std::uint64_t num, int item, Point inBar = {30, 10}) {
        TOVEditorBarView* view = barView(num);
        ASSERT_NE(view, nullptr);
        const auto info =
            symbolDrag(TOVPaletteTypes::SymbolForBarView, item, view->convertPointToView(inBar, nullptr));
        step([&] { view->performDragOperation(info); });
    }
    void dropOnTone(NoteTone* tone, int item) {
        TOVNoteToneCell* cell = toneCell(tone);
        ASSERT_NE(cell, nullptr);
        const auto info = symbolDrag(TOVPaletteTypes::SymbolForNoteView, item, {});
        step([&] { controller->layoutViewRequireInsertSymbolObjectDraggingInfo(cell, item, info); });
    }
    // Lets the questions queued by the drop run, undo grouped by event as in the application.
    void runQueued() {
        tovtest::UndoEnabled enabled(*context);
        undo().setGroupsByEvent(true);
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::processEvents();
        }
        EXPECT_EQ(undo().groupingLevel(), 0);
        undo().setGroupsByEvent(false);
    }
    // The one selected view, or null.
    TOVObjectView* selectedAlone() {
        const auto& set = editor().selectedObjectViewSet();
        return set.size() == 1 ? set.front().get() : nullptr;
    }
    TOVNoteToneCell* toneCell(NoteTone* tone) {
        TOVEditorBarView* view = barView(tone->note()->bar()->num());
        auto noteView = view != nullptr ? view->noteViewFromData(tone->note()) : nullptr;
        return noteView ? noteView->toneCellOfData(tone) : nullptr;
    }
    NoteTone* writeTone(std::uint64_t num) {
        Note* note = findBar(document, num)->createNewSingleMeloFromLengthLevel(0, 480, 4);
        context->processPendingChanges();
        barView(num)->recreateAllSubViews();
        return note->firstUnit()->toneArray().front();
    }

    AnsweringDelegate delegate;
};

TEST_F(SymbolDropTest, EachFamilyStoresItsFrameSelectsItsViewAndAsksItsQuestion) {
    bind(singleLines(2));
    struct Case {
        const char* name;
        int item;
        Point drop;
        // The stored origin; the bar view's width and staff top given.
        std::function<Point(double w, double top)> origin;
        const char* question; // "" for none
    };
    const auto at = [](double x, double y) { return [x, y](double, double) { return Point{x, y}; }; };
    const std::vector<Case> cases = {
        {"mark", TOVSymbolMarkA, {30, 10}, at(0, -15.0), ""},
        {"dynamics", TOVSymbolDynamicsF, {33, 57}, at(33, 57), ""},
        {"crescendo", TOVSymbolCrescendo, {33, 57}, at(0, 57), ""},
        {"decrescendo", TOVSymbolDecrescendo, {41, 12}, at(0, 12), ""},
        {"octave", TOVSymbolOctave8va, {33, 57}, at(0, 0), ""},
        {"tempo", TOVSymbolRit, {25, 5}, at(25, 5), ""},
        {"speed", TOVSymbolTempoSpeed, {33, 57}, at(0, -20.0), "speed 0"},
        {"D.C.",
         TOVSymbolDaCapo,
         {33, 57},
         [](double w, double top) {
             return Point{w - 25.0, top + 24.8};
         },
         "passes 00000000"},
        {"D.S.",
         TOVSymbolDalSegno,
         {3, 7},
         [](double w, double top) {
             return Point{w - 25.0, top + 24.8};
         },
         "passes 00000000"},
        {"To Coda", TOVSymbolToCoda, {33, 57}, at(-20.0, 0), "passes 00000000"},
        {"Coda", TOVSymbolCoda, {33, 57}, at(-5.0, 0), "passes 00000000"},
        {"Segno", TOVSymbolSegno, {33, 57}, at(-5.0, 0), "passes 00000000"},
        {"repeat", TOVSymbolRepeatTimes, {44, 6}, at(44, 6), "times 2"},
        {"simile", TOVSymbolSimile, {44, 6}, at(44, 6), ""},
    };
    std::uint64_t num = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // A fresh bar for each, cycling through the song.
        num = (num + 1) % 8;
        TOVEditorBarView* view = barView(num);
        const double w = view->bounds().width();
        const double top = view->posY5LinesTop();
        delegate.asked.clear();
        dropOnBar(num, c.item, c.drop);
        const auto stored = symbolsOfType(findBar(document, num), c.item);
        ASSERT_EQ(stored.size(), 1u);
        const Point expected = c.origin(w, top);
        EXPECT_NEAR(stored[0]->frame().origin.x, expected.x, 1e-9);
        EXPECT_NEAR(stored[0]->frame().origin.y, expected.y, 1e-9);
        ASSERT_NE(selectedAlone(), nullptr);
        EXPECT_EQ(selectedAlone()->symbol(), stored[0]);
        // The question waits for the drop to have returned.
        EXPECT_TRUE(delegate.asked.empty());
        runQueued();
        EXPECT_EQ(delegate.asked,
                  c.question[0] != '\0' ? std::vector<std::string>{c.question} : std::vector<std::string>{});
        controller->editorView()->clearSelection();
        for (Symbol* symbol : findBar(document, num)->symbols()) {
            findBar(document, num)->removeSymbol(symbol);
        }
        view->recreateAllSubViews();
    }
}

TEST_F(SymbolDropTest, PushStandsAtTheRightEdgeAndRepeatPreviousWhereTheBarPutsIt) {
    bind(singleLines(2));
    dropOnBar(1, TOVSymbolPush8, {5, 5});
    const auto push = symbolsOfType(findBar(document, 1), TOVSymbolPush8);
    ASSERT_EQ(push.size(), 1u);
    ASSERT_NE(selectedAlone(), nullptr);
    EXPECT_GT(selectedAlone()->frame().width(), 0.0);
    EXPECT_NEAR(push[0]->frame().origin.x + selectedAlone()->frame().width(), barView(1)->frame().width(),
                1e-9);
    EXPECT_EQ(push[0]->frame().origin.y, 0.0);

    for (int item : {TOVSymbolRepeatPrevBar1, TOVSymbolRepeatPrevBar2}) {
        SCOPED_TRACE(item);
        dropOnBar(2, item, {5, 5});
        const auto stored = symbolsOfType(findBar(document, 2), item);
        ASSERT_EQ(stored.size(), 1u);
        EXPECT_EQ(stored[0]->frame().origin, barView(2)->positionRepeatPrevBar(item));
        EXPECT_NE(stored[0]->frame().origin, (Point{5, 5}));
    }
    runQueued();
    EXPECT_TRUE(delegate.asked.empty());
}

TEST_F(SymbolDropTest, VoltaSharesItsBarAndAsksForItsText) {
    bind(singleLines(2));
    TOVEditorBarView* view = barView(1);
    Rect frame = view->frame();
    frame.size.width = 130.0;
    view->setFrame(frame);
    delegate.volta = QString("1.");
    dropOnBar(1, TOVSymbolVoltaBegin);
    const auto start = symbolsOfType(findBar(document, 1), TOVSymbolVoltaBegin);
    const auto end = symbolsOfType(findBar(document, 1), TOVSymbolVoltaEnd);
    ASSERT_EQ(start.size(), 1u);
    ASSERT_EQ(end.size(), 1u);
    EXPECT_EQ(start[0]->frame(), Rect(-2.0, 0, 57.0, 22.0));
    EXPECT_EQ(end[0]->frame(), Rect(75.0, 0, 57.0, 22.0));
    ASSERT_NE(selectedAlone(), nullptr);
    EXPECT_EQ(selectedAlone()->symbol(), start[0]);
    runQueued();
    EXPECT_EQ(delegate.asked, std::vector<std::string>{"volta ''"});
    EXPECT_EQ(static_cast<SymbolRepeat*>(start[0])->repeatIDString(), "1.");
}

TEST_F(SymbolDropTest, BisReachesIntoTheNextBarOnlyOnTheSameLine) {
    bind(singleLines(2));
    struct Case {
        std::uint64_t bar;
        bool spans;
    };
    // Bar 1 is inside the first line, bar 3 ends it, bar 7 ends the song.
    for (const Case& c : {Case{1, true}, Case{3, false}, Case{7, false}}) {
        SCOPED_TRACE(c.bar);
        dropOnBar(c.bar, TOVSymbolBisBegin);
        const auto start = symbolsOfType(findBar(document, c.bar), TOVSymbolBisBegin);
        const auto end = symbolsOfType(findBar(document, c.bar), TOVSymbolBisEnd);
        ASSERT_EQ(start.size(), 1u);
        ASSERT_EQ(end.size(), 1u);
        TOVEditorBarView* view = barView(c.bar);
        const double w = view->frame().width();
        if (c.spans) {
            TOVEditorBarView* next = barView(c.bar + 1);
            const Point nextStart = view->convertPointFromView(Point{-2.0, 0}, next);
            EXPECT_EQ(start[0]->frame(), Rect(-2.0, 0, w - 20.0, 22.0));
            EXPECT_NEAR(end[0]->frame().origin.x, nextStart.x + 24.0, 1e-9);
            EXPECT_NEAR(end[0]->frame().width(), next->frame().width() - 20.0, 1e-9);
            EXPECT_GT(end[0]->frame().origin.x, w);
        } else {
            const double h = (w + 4.0 - 20.0) * 0.5;
            EXPECT_EQ(start[0]->frame(), Rect(-2.0, 0, h, 22.0));
            EXPECT_EQ(end[0]->frame(), Rect(h + 18.0, 0, h, 22.0));
        }
        EXPECT_EQ(static_cast<SymbolRepeat*>(end[0])->repeatIDString(), "");
    }
    runQueued();
    EXPECT_TRUE(delegate.asked.empty());
}

TEST_F(SymbolDropTest, LongRestSetsTheBarAtOnceAndAsksForItsLength) {
    bind(singleLines(2));
    delegate.longRest = 8;
    dropOnBar(2, TOVSymbolLongRest);
    Bar* bar = findBar(document, 2);
    EXPECT_EQ(bar->longRest(), 1u);
    EXPECT_TRUE(bar->symbols().empty());
    EXPECT_NE(barView(2)->longRestView(), nullptr);
    runQueued();
    EXPECT_EQ(delegate.asked, std::vector<std::string>{"long rest 1"});
    EXPECT_EQ(bar->longRest(), 8u);
}

TEST_F(SymbolDropTest, ReplacingTakesTheOldSignOutAndKeepsTheOthers) {
    bind(singleLines(2));
    // Mark on mark: one mark, the new one, selected.
    dropOnBar(1, TOVSymbolMarkA);
    dropOnBar(1, TOVSymbolMarkB);
    EXPECT_TRUE(symbolsOfType(findBar(document, 1), TOVSymbolMarkA).empty());
    ASSERT_EQ(symbolsOfType(findBar(document, 1), TOVSymbolMarkB).size(), 1u);
    ASSERT_NE(selectedAlone(), nullptr);
    EXPECT_EQ(selectedAlone()->symbol(), symbolsOfType(findBar(document, 1), TOVSymbolMarkB)[0]);
    EXPECT_EQ(barView(1)->reharsalMarkView()->symbol(), selectedAlone()->symbol());

    // Octave on octave: replaced.
    dropOnBar(2, TOVSymbolOctave8va);
    dropOnBar(2, TOVSymbolOctave15ma);
    EXPECT_TRUE(symbolsOfType(findBar(document, 2), TOVSymbolOctave8va).empty());
    EXPECT_EQ(symbolsOfType(findBar(document, 2), TOVSymbolOctave15ma).size(), 1u);

    // Dynamics stand side by side.
    dropOnBar(3, TOVSymbolDynamicsF, {10, 50});
    dropOnBar(3, TOVSymbolDynamicsP, {40, 50});
    dropOnBar(3, TOVSymbolDynamicsF, {70, 50});
    EXPECT_EQ(findBar(document, 3)->symbols().size(), 3u);

    // A volta on a bis: the old start and end pieces both go, with their views.
    dropOnBar(5, TOVSymbolBisBegin);
    dropOnBar(5, TOVSymbolVoltaBegin);
    Bar* five = findBar(document, 5);
    EXPECT_TRUE(symbolsOfType(five, TOVSymbolBisBegin).empty());
    EXPECT_TRUE(symbolsOfType(five, TOVSymbolBisEnd).empty());
    EXPECT_EQ(symbolsOfType(five, TOVSymbolVoltaBegin).size(), 1u);
    EXPECT_EQ(symbolsOfType(five, TOVSymbolVoltaEnd).size(), 1u);
    EXPECT_EQ(barView(5)->symbolViewArray().size(), 2u);
    // And a volta on a volta.
    dropOnBar(5, TOVSymbolVoltaBegin);
    EXPECT_EQ(five->symbols().size(), 2u);
    EXPECT_EQ(barView(5)->symbolViewArray().size(), 2u);
}

TEST_F(SymbolDropTest, TonesTakeArticulationsAtTheirPlacesAndReplaceOnlyTheSameKind) {
    bind(singleLines(1));
    NoteTone* tone = writeTone(1);
    ASSERT_NE(toneCell(tone), nullptr);
    struct Case {
        int item;
        platform::Size size;
    };
    for (const Case& c :
         {Case{TOVSymbolTenuto, {0, 0}}, Case{TOVSymbolStaccato, {0, 0}}, Case{TOVSymbolSlur, {60.0, 8.0}}}) {
        SCOPED_TRACE(c.item);
        dropOnTone(tone, c.item);
        SymbolInNote* made = nullptr;
        for (SymbolInNote* a : tone->articulations()) {
            if (a->type() == c.item) {
                made = a;
            }
        }
        ASSERT_NE(made, nullptr);
        EXPECT_EQ(made->frame().origin, toneCell(tone)->defaultPosOfArticulationView(c.item));
        if (c.size.width != 0) {
            EXPECT_EQ(made->frame().size, c.size);
        }
        ASSERT_NE(selectedAlone(), nullptr);
        EXPECT_EQ(selectedAlone()->symbol(), made);
    }
    const auto staccato = [&] {
        std::vector<SymbolInNote*> found;
        for (SymbolInNote* a : tone->articulations()) {
            if (a->type() == TOVSymbolStaccato) {
                found.push_back(a);
            }
        }
        return found;
    };
    SymbolInNote* first = staccato().at(0);
    dropOnTone(tone, TOVSymbolStaccato);
    ASSERT_EQ(staccato().size(), 1u);
    EXPECT_NE(staccato()[0], first);
    EXPECT_EQ(tone->articulations().size(), 3u);

    dropOnTone(tone, TOVSymbolSharp);
    dropOnTone(tone, TOVSymbolFlat);
    ASSERT_NE(tone->accidental(), nullptr);
    EXPECT_EQ(tone->accidental()->type(), TOVSymbolFlat);
    EXPECT_EQ(tone->accidental()->frame().origin, toneCell(tone)->defaultPosOfAccidentalView(TOVSymbolFlat));
}

TEST_F(SymbolDropTest, FreeTextOnThePageIsSelectedAloneEditedAndBringsTheWindowForward) {
    bind(singleLines(1));
    TOVEditorView& page = editor();
    const Point inEditor{120, 300};
    const auto info = symbolDrag(TOVPaletteTypes::SymbolForBarView, TOVToolFreeText,
                                 page.convertPointToView(inEditor, nullptr));
    step([&] { page.performDragOperation(info); });
    std::vector<Symbol*> tools = document->symbols();
    ASSERT_EQ(tools.size(), 1u);
    EXPECT_EQ(tools[0]->type(), TOVToolFreeText);
    EXPECT_EQ(tools[0]->frame().origin, inEditor);
    TOVObjectView* view = selectedAlone();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->symbol(), tools[0]);
    auto* host = dynamic_cast<TOVTextHostView*>(view);
    ASSERT_NE(host, nullptr);
    ASSERT_NE(host->textView(), nullptr);
    EXPECT_TRUE(host->textView()->editing());
    EXPECT_EQ(delegate.windowActive, 1);
}

TEST_F(SymbolDropTest, FineEndsTheSongAtItsBarInOneUndoStep) {
    bind(singleLines(9));
    ASSERT_EQ(document->allBarsInWalkOrder().size(), 36u);
    dropOnBar(4, TOVSymbolFine);
    EXPECT_EQ(document->allBarsInWalkOrder().size(), 5u);
    Bar* fifth = findBar(document, 4);
    EXPECT_EQ(fifth->barLineType(), TOVBarlineGreatDouble);
    int fines = 0;
    for (Bar* bar : document->allBarsInWalkOrder()) {
        fines += static_cast<int>(symbolsOfType(bar, TOVSymbolFine).size());
    }
    EXPECT_EQ(fines, 1);
    ASSERT_EQ(symbolsOfType(fifth, TOVSymbolFine).size(), 1u);
    EXPECT_EQ(symbolsOfType(fifth, TOVSymbolFine)[0]->frame().origin.x, barView(4)->bounds().width() - 20.0);
    EXPECT_EQ(barView(5), nullptr);

    undoStep();
    EXPECT_EQ(document->allBarsInWalkOrder().size(), 36u);
    EXPECT_TRUE(symbolsOfType(findBar(document, 4), TOVSymbolFine).empty());
    EXPECT_NE(barView(35), nullptr);

    dropOnBar(35, TOVSymbolFine);
    EXPECT_EQ(document->allBarsInWalkOrder().size(), 36u);
    EXPECT_EQ(findBar(document, 35)->barLineType(), TOVBarlineGreatDouble);
    EXPECT_EQ(symbolsOfType(findBar(document, 35), TOVSymbolFine).size(), 1u);
}

// Fine dropped on bar 5 of 36, in a double line: the upper bar gets the great double barline, the song
// holds one Fine, where it was dropped (no second one on the twin), the later bars and their twins go, and
// one undo brings them all back.
TEST_F(SymbolDropTest, FineInADoubleLineEndsTheSongWithOneFine) {
    const tovtest::LineSpec single{4, 4, false};
    const tovtest::LineSpec twoRows{4, 4, true};
    for (const bool lower : {true, false}) {
        SCOPED_TRACE(lower ? "on the lower twin" : "on the upper bar");
        bind({tovtest::PageSpec{10, {single, twoRows, single, single, single, single, single}},
              tovtest::PageSpec{10, {single, single}}});
        ASSERT_EQ(document->maxBarNumber(), 35u);
        ASSERT_NE(findBar(document, 7, true), nullptr);
        const auto fines = [&] {
            std::vector<std::string> found;
            for (std::uint64_t num = 0; num <= document->maxBarNumber(); ++num) {
                for (const bool twin : {false, true}) {
                    const Bar* bar = findBar(document, num, twin);
                    for (std::size_t i = 0; bar != nullptr && i < symbolsOfType(bar, TOVSymbolFine).size();
                         ++i) {
                        found.push_back(std::to_string(num) + (twin ? " lower" : " upper"));
                    }
                }
            }
            return found;
        };
        TOVEditorBarView* view = barView(4, lower);
        ASSERT_NE(view, nullptr);
        const auto info = symbolDrag(TOVPaletteTypes::SymbolForBarView, TOVSymbolFine,
                                     view->convertPointToView({30, 10}, nullptr));
        step([&] { view->performDragOperation(info); });

        EXPECT_EQ(document->maxBarNumber(), 4u);
        EXPECT_EQ(findBar(document, 4)->barLineType(), TOVBarlineGreatDouble);
        EXPECT_EQ(fines(), std::vector<std::string>{lower ? "4 lower" : "4 upper"});
        for (const bool twin : {false, true}) {
            EXPECT_EQ(findBar(document, 5, twin), nullptr);
            EXPECT_EQ(barView(5, twin), nullptr);
        }
        EXPECT_NE(barView(4, true), nullptr);

        undoStep();
        EXPECT_EQ(document->maxBarNumber(), 35u);
        EXPECT_TRUE(fines().empty());
        EXPECT_EQ(findBar(document, 4)->barLineType(), TOVBarlineSingle);
        for (std::uint64_t num = 5; num <= 7; ++num) {
            EXPECT_NE(findBar(document, num, true), nullptr) << num;
            EXPECT_NE(barView(num, true), nullptr) << num;
        }
        EXPECT_NE(barView(35), nullptr);
    }
}

TEST_F(SymbolDropTest, EachAnswerIsAnUndoStepOfItsOwnAndCancelKeepsTheStartValues) {
    bind(singleLines(2));
    struct Case {
        const char* name;
        int item;
        std::function<void(AnsweringDelegate&)> answer;
        // What the sign (or bar) shows: after the drop, and after the answer.
        std::function<std::string(Bar*)> shown;
        std::string start, answered;
    };
    const auto first = [](Bar* bar, int type) -> SymbolRepeat* {
        const auto found = symbolsOfType(bar, type);
        return found.empty() ? nullptr : static_cast<SymbolRepeat*>(found[0]);
    };
    const std::vector<Case> cases = {
        {"volta", TOVSymbolVoltaBegin, [](AnsweringDelegate& d) { d.volta = QString("2."); },
         [&](Bar* bar) {
             SymbolRepeat* s = first(bar, TOVSymbolVoltaBegin);
             return s ? "'" + s->repeatIDString().toStdString() + "'" : std::string("none");
         },
         "''", "'2.'"},
        {"repeat", TOVSymbolRepeatTimes, [](AnsweringDelegate& d) { d.times = 3; },
         [&](Bar* bar) {
             SymbolRepeat* s = first(bar, TOVSymbolRepeatTimes);
             return s ? std::to_string(s->repeatIDNumber()) : std::string("none");
         },
         "2", "3"},
        {"D.S.", TOVSymbolDalSegno,
         [](AnsweringDelegate& d) {
             TOVRepeatNumberStates states;
             states[1] = 1;
             d.passes = states;
         },
         [&](Bar* bar) {
             SymbolRepeat* s = first(bar, TOVSymbolDalSegno);
             return s ? s->repeatIDString().toStdString() + "|" + std::to_string(s->repeatNumberStates()[1])
                      : std::string("none");
         },
         "|0", "2|1"},
        {"speed", TOVSymbolTempoSpeed, [](AnsweringDelegate& d) { d.speed = 120; },
         [](Bar* bar) {
             const auto found = symbolsOfType(bar, TOVSymbolTempoSpeed);
             return found.empty() ? std::string("none")
                                  : std::to_string(static_cast<SymbolTempo*>(found[0])->speed());
         },
         "0", "120"},
        {"long rest", TOVSymbolLongRest, [](AnsweringDelegate& d) { d.longRest = 4; },
         [](Bar* bar) { return std::to_string(bar->longRest()); }, "1", "4"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bar* bar = findBar(document, 2);
        const std::string before = c.shown(bar);
        // Answered: undo once takes the answer back, twice the sign.
        delegate = AnsweringDelegate{};
        c.answer(delegate);
        dropOnBar(2, c.item);
        EXPECT_EQ(c.shown(bar), c.start);
        runQueued();
        ASSERT_EQ(delegate.asked.size(), 1u);
        EXPECT_EQ(c.shown(bar), c.answered);
        undoStep();
        EXPECT_EQ(c.shown(bar), c.start);
        undoStep();
        EXPECT_EQ(c.shown(bar), before);
        EXPECT_FALSE(undo().canUndo());

        // Cancelled: the start values stay, and nothing was written (one undo takes the sign).
        delegate = AnsweringDelegate{};
        dropOnBar(2, c.item);
        runQueued();
        ASSERT_EQ(delegate.asked.size(), 1u);
        EXPECT_EQ(c.shown(bar), c.start);
        undoStep();
        EXPECT_EQ(c.shown(bar), before);
        EXPECT_FALSE(undo().canUndo());
    }
}

TEST_F(SymbolDropTest, AQuestionWhoseSignOrWindowIsGoneIsNotAsked) {
    bind(singleLines(2));
    // The sign deleted before its question runs.
    dropOnBar(1, TOVSymbolTempoSpeed);
    const auto speed = symbolsOfType(findBar(document, 1), TOVSymbolTempoSpeed);
    ASSERT_EQ(speed.size(), 1u);
    controller->editorView()->clearSelection();
    step([&] { findBar(document, 1)->removeSymbol(speed[0]); });
    context->processPendingChanges();
    const std::uint64_t count = undo().changeCount();
    runQueued();
    EXPECT_TRUE(delegate.asked.empty());
    EXPECT_EQ(undo().changeCount(), count);

    // The bar of a long rest deleted with it.
    dropOnBar(7, TOVSymbolLongRest);
    step([&] { controller->deleteBarsFromTo(barView(6), barView(7)); });
    runQueued();
    EXPECT_TRUE(delegate.asked.empty());

    // The window (and its controller) closed.
    dropOnBar(2, TOVSymbolRepeatTimes);
    controller.reset();
    runQueued();
    EXPECT_TRUE(delegate.asked.empty());
}

} // namespace
