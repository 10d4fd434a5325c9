// Symbol properties of the selected signs: the common kind of a selection, the value the sheet is shown
// (mixed values kept), and what the answer writes into each sign.
#include "AnsweringDelegate.h"
#include "EditorControllerFixture.h"

#include "glyphs/TOVObjectView.h"
#include "model/Bar.h"
#include "model/Note.h"
#include "model/SymbolRepeat.h"
#include "model/SymbolTempo.h"
#include "model/TOVSymbolTypes.h"
#include "notation/TOVNoteView.h"

#include <optional>
#include <string>
#include <vector>

namespace {

using apptest::AnsweringDelegate;
using apptest::EditorControllerFixture;
using apptest::singleLines;
using platform::Rect;
using tovtest::findBar;

class SymbolPropertiesTest : public EditorControllerFixture {
protected:
    void SetUp() override {
        EditorControllerFixture::SetUp();
        controller->setDelegate(&delegate);
        bind(singleLines(2));
    }
    // A sign of the type on the bar with its view, not selected.
    std::shared_ptr<TOVObjectView> sign(std::uint64_t num, int type) {
        Bar* bar = findBar(document, num);
        if (type == TOVSymbolTempoSpeed) {
            SymbolTempo* tempo = bar->createNewSymbolTempoWithTypeFrame(type, Rect(0, -20, 0, 0));
            barView(num)->createTempoViewOfDataSelect(type, tempo, false);
            return barView(num)->objectViewFromData(tempo);
        }
        SymbolRepeat* repeat = bar->createNewSymbolRepeatWithTypeFrame(type, Rect(10, 0, 0, 0));
        return barView(num)->createRepeatViewOfDataSelect(type, repeat, false);
    }
    std::shared_ptr<TOVObjectView> longRest(std::uint64_t num, std::uint64_t bars) {
        findBar(document, num)->setLongRest(bars);
        barView(num)->createLongRestViewAndSelect(false);
        return std::dynamic_pointer_cast<TOVObjectView>(barView(num)->longRestView());
    }
    static SymbolRepeat* repeat(const std::shared_ptr<TOVObjectView>& view) {
        return dynamic_cast<SymbolRepeat*>(view->symbol());
    }
    void select(const std::vector<std::shared_ptr<TOVObjectView>>& views) {
        ASSERT_TRUE(editor().selectObjectViewsClearOthers(views, true));
    }
    // The command as one undo step; answers whether it registered anything.
    bool perform() {
        const std::uint64_t before = undo().changeCount();
        step([&] { controller->performSymbolPropertiesOperation(); });
        return undo().changeCount() != before;
    }
    static TOVRepeatNumberStates passes(std::initializer_list<int> states) {
        TOVRepeatNumberStates result;
        int i = 0;
        for (int s : states) {
            result[i++] = s;
        }
        return result;
    }

    AnsweringDelegate delegate;
};

TEST_F(SymbolPropertiesTest, TheCommonKindIsTheOneKindOfSignSelected) {
    const auto volta = sign(1, TOVSymbolVoltaBegin);
    const auto tempo = sign(2, TOVSymbolTempoSpeed);
    const auto times = sign(3, TOVSymbolRepeatTimes);
    Note* note = findBar(document, 3)->createNewSingleMeloFromLengthLevel(0, 480, 2);
    context->processPendingChanges();
    barView(3)->recreateAllSubViews();
    const auto timesAgain = barView(3)->objectViewFromData(times->symbol());
    const auto noteView = barView(3)->noteViewFromData(note);
    ASSERT_NE(noteView, nullptr);
    struct Case {
        const char* name;
        std::vector<std::shared_ptr<TOVObjectView>> selection;
        int kind;
    };
    const std::vector<Case> cases = {
        {"volta and tempo", {volta, tempo}, TOVEditorViewController::NoProperty},
        {"repeat and note", {timesAgain, noteView}, TOVEditorViewController::RepeatTimesProperty},
        {"note alone", {noteView}, TOVEditorViewController::NoProperty},
        {"tempo", {tempo}, TOVEditorViewController::TempoSpeedProperty},
        {"nothing", {}, TOVEditorViewController::NoProperty},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        editor().clearSelection();
        if (!c.selection.empty()) {
            select(c.selection);
        }
        EXPECT_EQ(controller->editPropertyTypeForCurrentSelection(), c.kind);
        EXPECT_EQ(controller->canEnableSymbolPropertiesMenu(), c.kind != 0);
        delegate.asked.clear();
        EXPECT_EQ(perform(), false);
        EXPECT_EQ(delegate.asked.empty(), c.kind == 0);
    }
}

TEST_F(SymbolPropertiesTest, TheSheetShowsTheCommonValueAndTheAnswerGoesIntoEachSign) {
    const auto dsA = sign(1, TOVSymbolDalSegno);
    const auto dsB = sign(2, TOVSymbolDalSegno);
    repeat(dsA)->setRepeatNumberStates(passes({1, 0}));
    repeat(dsB)->setRepeatNumberStates(passes({1, 1}));
    select({dsA, dsB});
    // Pass 2 turned on in both; pass 1 stays on.
    delegate.passes = passes({1, 1});
    EXPECT_TRUE(perform());
    EXPECT_EQ(delegate.asked, std::vector<std::string>{"passes 1-1000000"});
    EXPECT_EQ(repeat(dsA)->repeatNumberStates(), passes({1, 1}));
    EXPECT_EQ(repeat(dsB)->repeatNumberStates(), passes({1, 1}));
    // A pass left mixed keeps each sign's own; pass 3 on everywhere.
    repeat(dsA)->setRepeatNumberStates(passes({0, 1}));
    delegate = AnsweringDelegate{};
    delegate.passes = passes({-1, 1, 1});
    EXPECT_TRUE(perform());
    EXPECT_EQ(repeat(dsA)->repeatNumberStates(), passes({0, 1, 1}));
    EXPECT_EQ(repeat(dsB)->repeatNumberStates(), passes({1, 1, 1}));

    // Two voltas with different texts: no text shown; cancelled, neither changes; answered, both do.
    const auto voltaA = sign(4, TOVSymbolVoltaBegin);
    const auto voltaB = sign(5, TOVSymbolVoltaBegin);
    repeat(voltaA)->setRepeatIDString("1.");
    repeat(voltaB)->setRepeatIDString("2.");
    select({voltaA, voltaB});
    delegate = AnsweringDelegate{};
    EXPECT_FALSE(perform());
    EXPECT_EQ(delegate.asked, std::vector<std::string>{"volta null"});
    EXPECT_EQ(repeat(voltaA)->repeatIDString(), "1.");
    delegate.volta = QString("1.-2.");
    EXPECT_TRUE(perform());
    EXPECT_EQ(repeat(voltaA)->repeatIDString(), "1.-2.");
    EXPECT_EQ(repeat(voltaB)->repeatIDString(), "1.-2.");

    // A repeat: its count shown; an answer of 0 ("-") writes nothing.
    const auto times = sign(6, TOVSymbolRepeatTimes);
    repeat(times)->setRepeatIDNumber(3);
    select({times});
    delegate = AnsweringDelegate{};
    delegate.times = 0;
    EXPECT_FALSE(perform());
    EXPECT_EQ(delegate.asked, std::vector<std::string>{"times 3"});
    EXPECT_EQ(repeat(times)->repeatIDNumber(), 3);
    delegate.times = 5;
    EXPECT_TRUE(perform());
    EXPECT_EQ(repeat(times)->repeatIDNumber(), 5);

    // A volta and a tempo mark together: nothing asked, nothing written.
    const auto tempo = sign(7, TOVSymbolTempoSpeed);
    select({voltaA, tempo});
    delegate = AnsweringDelegate{};
    EXPECT_FALSE(perform());
    EXPECT_TRUE(delegate.asked.empty());
}

// Two navigation signs selected: each pass shows as on, off or mixed; a pass the answer leaves mixed keeps
// each sign's own, and only a sign whose passes really change is written (one undo step takes it back).
TEST_F(SymbolPropertiesTest, MixedPassesOfTwoDaCapoSigns) {
    struct Case {
        const char* name;
        int secondType;
        TOVRepeatNumberStates first, second;
        const char* shown;
        std::optional<TOVRepeatNumberStates> answer; // none: cancelled, the shown states come back
        TOVRepeatNumberStates firstAfter, secondAfter;
        bool written;
    };
    const Case cases[] = {
        {"pass 2 mixed, turned on", TOVSymbolDaCapo, passes({1, 0}), passes({1, 1}), "passes 1-1000000",
         passes({1, 1}), passes({1, 1}), passes({1, 1}), true},
        {"pass 2 mixed, turned off", TOVSymbolDaCapo, passes({1, 0}), passes({1, 1}), "passes 1-1000000",
         passes({1, 0}), passes({1, 0}), passes({1, 0}), true},
        {"cancelled", TOVSymbolDaCapo, passes({1, 0}), passes({1, 1}), "passes 1-1000000", std::nullopt,
         passes({1, 0}), passes({1, 1}), false},
        {"pass 1 left mixed, pass 3 on", TOVSymbolDaCapo, passes({0, 1}), passes({1, 1}), "passes -11000000",
         passes({-1, 1, 1}), passes({0, 1, 1}), passes({1, 1, 1}), true},
        {"all mixed, left mixed", TOVSymbolDaCapo, passes({1, 0, 1}), passes({0, 1, 0}), "passes -1-1-100000",
         passes({-1, -1, -1}), passes({1, 0, 1}), passes({0, 1, 0}), false},
        {"the same passes accepted as shown", TOVSymbolDaCapo, passes({0, 1}), passes({0, 1}),
         "passes 01000000", passes({0, 1}), passes({0, 1}), passes({0, 1}), false},
        {"a D.C. and a coda", TOVSymbolCoda, passes({0, 0, 0, 1}), passes({0, 0, 0, 0}), "passes 000-10000",
         passes({0, 1, 0, 0}), passes({0, 1}), passes({0, 1}), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto a = sign(1, TOVSymbolDaCapo);
        const auto b = sign(2, c.secondType);
        repeat(a)->setRepeatNumberStates(c.first);
        repeat(b)->setRepeatNumberStates(c.second);
        select({a, b});
        ASSERT_EQ(controller->editPropertyTypeForCurrentSelection(), TOVEditorViewController::DaCapoProperty);
        delegate = AnsweringDelegate{};
        delegate.passes = c.answer;
        EXPECT_EQ(perform(), c.written);
        EXPECT_EQ(delegate.asked, std::vector<std::string>{c.shown});
        EXPECT_EQ(repeat(a)->repeatNumberStates(), c.firstAfter);
        EXPECT_EQ(repeat(b)->repeatNumberStates(), c.secondAfter);
        if (c.written) {
            undoStep();
            EXPECT_EQ(repeat(a)->repeatNumberStates(), c.first);
            EXPECT_EQ(repeat(b)->repeatNumberStates(), c.second);
        }
    }
}

TEST_F(SymbolPropertiesTest, LongRestsShowTheirCommonLengthAndOnlyDifferingBarsAreWritten) {
    const auto a = longRest(1, 2);
    const auto b = longRest(2, 4);
    const auto c = longRest(5, 4);
    ASSERT_TRUE(a && b && c);
    select({a, b, c});
    delegate.longRest = 4;
    EXPECT_TRUE(perform());
    EXPECT_EQ(delegate.asked, std::vector<std::string>{"long rest -1"});
    for (std::uint64_t num : {1, 2, 5}) {
        EXPECT_EQ(findBar(document, num)->longRest(), 4u) << num;
    }
    // One undo brings back bar 1's value; the others were never written.
    undoStep();
    EXPECT_EQ(findBar(document, 1)->longRest(), 2u);
    EXPECT_EQ(findBar(document, 2)->longRest(), 4u);

    // A common value is shown as it is; cancelling writes nothing.
    select({b, c});
    delegate = AnsweringDelegate{};
    EXPECT_FALSE(perform());
    EXPECT_EQ(delegate.asked, std::vector<std::string>{"long rest 4"});
}

TEST_F(SymbolPropertiesTest, SpeedsOfSeveralTempoMarks) {
    const auto a = sign(1, TOVSymbolTempoSpeed);
    const auto b = sign(2, TOVSymbolTempoSpeed);
    static_cast<SymbolTempo*>(a->symbol())->setSpeed(90);
    static_cast<SymbolTempo*>(b->symbol())->setSpeed(120);
    select({a, b});
    delegate.speed = 100;
    EXPECT_TRUE(perform());
    EXPECT_EQ(delegate.asked, std::vector<std::string>{"speed -1"});
    EXPECT_EQ(static_cast<SymbolTempo*>(a->symbol())->speed(), 100u);
    EXPECT_EQ(static_cast<SymbolTempo*>(b->symbol())->speed(), 100u);
    delegate = AnsweringDelegate{};
    EXPECT_FALSE(perform());
    EXPECT_EQ(delegate.asked, std::vector<std::string>{"speed 100"});
}

} // namespace
