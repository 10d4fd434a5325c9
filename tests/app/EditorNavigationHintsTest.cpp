#include "EditorControllerFixture.h"

#include "app/TOVEditorViewControllerDelegate.h"
#include "glyphs/TOVBarLineView.h"
#include "glyphs/TOVObjectView.h"
#include "model/Bar.h"
#include "model/Note.h"
#include "model/NoteTone.h"
#include "model/NoteUnit.h"
#include "notation/TOVNoteToneCell.h"
#include "notation/TOVNoteUnitCell.h"
#include "notation/TOVNoteView.h"
#include "platform/ui/ViewHost.h"
#include "platform/ui/WindowEvents.h"

#include "model/TOVSymbolTypes.h"
#include "model/TOVUnitTypes.h"
#include "platform/foundation/Resources.h"

#include <QString>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using platform::Rect;

struct Hint {
    QString message;
    QString title;
    int priority = -1;
};

// What the controller hands to its window: every hint, in order.
class HintRecorder : public TOVEditorViewControllerDelegate {
public:
    void editorRequireShowNavigationMessageTitlePriority(TOVEditorViewController*, const QString& message,
                                                         const QString& title, int priority) override {
        hints.push_back({message, title, priority});
    }
    Hint last() const { return hints.empty() ? Hint{} : hints.back(); }
    std::vector<Hint> hints;
};

// An object view that stands for a symbol of the given type.
class TypedView : public TOVObjectView {
public:
    explicit TypedView(int type) : TOVObjectView(Rect(0, 0, 20, 20)), type_(type) {}
    int symbolType() const override { return type_; }

private:
    int type_;
};

const QString kBeam = QStringLiteral("To beam notes, Menu > \"Change\" --> \"Beam\".");
const QString kUnite = QStringLiteral("To comibine notes, Menu > \"Change\" --> \"Unite\".");
const QString kBeamAndUnite = QStringLiteral(
    "To beam notes, Menu > \"Change\" --> \"Beam\".\nTo comibine notes, Menu > \"Change\" --> \"Unite\"");
const QString kA = QStringLiteral("Drop it on a bar to create a new symbol.");
const QString kAPlus = QStringLiteral(
    "Drop it on a bar to create a new symbol. \nThe previously created symbol will be replaced by new one.");
const QString kC = QStringLiteral("Can not create the symbol on that bar because there is already another "
                                  "symbol or a note which conflicts.");
const QString kB = QStringLiteral("Drop it on a existing barline object to replace with it.");
const QString kG = QStringLiteral("Can not drop a great double line on the top of a line.");
const QString kN = QStringLiteral("Drop it on a existing note to create a new symbol.");
const QString kNPlus = QStringLiteral("Drop it on a existing note to create a new symbol. \nThe previously "
                                      "created symbol will be replaced by new one.");
const QString kF = QStringLiteral("Drop it on any position to create a new symbol.");
const QString kSymbol = QStringLiteral("Dragging a symbol");
const QString kBarline = QStringLiteral("Dragging a barline symbol");

class NavigationHintsTest : public apptest::EditorControllerFixture {
protected:
    void SetUp() override {
        EditorControllerFixture::SetUp();
        controller->setDelegate(&recorder);
        bind(apptest::singleLines(2));
    }

    Bar* bar(std::uint64_t num) { return barView(num)->bar(); }
    TypedView* addTypedView(int type) {
        auto view = std::make_shared<TypedView>(type);
        view->setDelegate(controller.get());
        editor().addSymbolViewBarViewBelongTo(view, nullptr);
        return view.get();
    }
    // The bar's note views, rebuilt from its notes.
    std::vector<std::shared_ptr<TOVNoteView>> noteViewsOf(std::uint64_t num) {
        context->processPendingChanges();
        barView(num)->recreateAllNoteViews();
        std::vector<std::shared_ptr<TOVNoteView>> views;
        for (const auto& view : barView(num)->noteViewArray()) {
            views.push_back(std::dynamic_pointer_cast<TOVNoteView>(view));
        }
        return views;
    }
    // An unbeamed quarter triplet of level-0 tones at the start of the bar.
    Note* triplet(std::uint64_t num, bool beamed) {
        Note* note = bar(num)->createNewTripletFromLengthUnitsLevelKind(0, {80, 80, 80}, 0, 0);
        context->processPendingChanges();
        if (!beamed) {
            note->makeBeamTupletOff(note->unitArray());
        }
        context->processPendingChanges();
        return note;
    }
    void selectUnits(TOVNoteView& view, std::initializer_list<std::size_t> units) {
        ASSERT_TRUE(editor().selectAnObjectViewClearOthers(&view, true));
        view.unselectAllCells();
        for (std::size_t i : units) {
            view.selectCell(view.unitCellArray()[i].get());
        }
        ASSERT_EQ(view.selectedUnitCells().size(), units.size());
    }

    HintRecorder recorder;
};

// --- The bar-range modes ---

TEST_F(NavigationHintsTest, EachRangeModeAsksForItsNextClickAndNamesTheRangeCountedFromOne) {
    struct Case {
        int mode;
        int clicks; // 0 none, 1 start, 2 start and end
        const char* message;
        const char* title;
    };
    showWithViewport(700, 500);
    const Case cases[] = {
        {1, 0, "Click the first bar which the Copy operation will start from. \nOr press ESC to cancel.",
         "Copy bars from ? to ?"},
        {1, 1, "Click the last bar which the Copy operation will end at. \nOr press ESC to cancel.",
         "Copy bars from 3 to ?"},
        {1, 2, "Click the last bar which the Copy operation will end at. \nOr press ESC to cancel.",
         "Copy bars from 3 to 6"},
        {2, 0, "Click the bar which the Paste operation will perform on. \nOr press ESC to cancel.",
         "Paste bars on the bar ?"},
        {2, 1, "Click the bar which the Paste operation will perform on. \nOr press ESC to cancel.",
         "Paste bars on the bar 3"},
        {3, 0, "Click the first bar which the Cut operation will start from. \nOr press ESC to cancel.",
         "Cut bars from ? to ?"},
        {3, 1, "Click the last bar which the Cut operation will end at. \nOr press ESC to cancel.",
         "Cut bars from 3 to ?"},
        {3, 2, "Click the last bar which the Cut operation will end at. \nOr press ESC to cancel.",
         "Cut bars from 3 to 6"},
        {4, 0, "Click the first bar which the Delete operation will start from. \nOr press ESC to cancel.",
         "Delete bars from ? to ?"},
        {4, 1, "Click the last bar which the Delete operation will end at. \nOr press ESC to cancel.",
         "Delete bars from 3 to ?"},
        {4, 2, "Click the last bar which the Delete operation will end at. \nOr press ESC to cancel.",
         "Delete bars from 3 to 6"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        controller->setEditBarsMode(TOVEditorViewController::Normal);
        recorder.hints.clear();
        // Entering the mode shows its first-click hint at once.
        controller->setEditBarsMode(c.mode);
        ASSERT_EQ(recorder.hints.size(), 1u);
        if (c.clicks >= 1) {
            controller->setEditBarsStart(barView(2));
        }
        if (c.clicks >= 2) {
            controller->setEditBarsEnd(barView(5));
        }
        controller->host()->repaint();
        ASSERT_FALSE(editor().needsDisplay());
        controller->showNavigationMessageForEditBarsMode();
        EXPECT_EQ(recorder.last().message, QString::fromUtf8(c.message));
        EXPECT_EQ(recorder.last().title, QString::fromUtf8(c.title));
        EXPECT_EQ(recorder.last().priority, 0);
        // The chosen range is drawn anew.
        EXPECT_TRUE(editor().needsDisplay());
    }
}

TEST_F(NavigationHintsTest, LeavingARangeModeShowsTheNormalHintAndNothingIsShownInARangeMode) {
    controller->setEditBarsMode(TOVEditorViewController::Copy);
    recorder.hints.clear();
    controller->showNavigationMessageForNormalMode();
    EXPECT_TRUE(recorder.hints.empty());
    editor().setSelectedBar(barView(4));
    controller->setEditBarsMode(TOVEditorViewController::Normal);
    ASSERT_FALSE(recorder.hints.empty());
    EXPECT_EQ(recorder.last().title, QStringLiteral("Bar 5 selected"));
    EXPECT_EQ(recorder.last().message, QString());
}

TEST_F(NavigationHintsTest, WithoutADelegateNothingIsShown) {
    controller->setDelegate(nullptr);
    recorder.hints.clear();
    controller->setEditBarsMode(TOVEditorViewController::Cut);
    controller->showNavigationMessageForDraggingSymbolActiveView(TOVSymbolClefG, barView(0));
    controller->showNavigationMessageForDraggingNoteActiveView(TOVUnitGroupNote, barView(0));
    controller->setEditBarsMode(TOVEditorViewController::Normal);
    EXPECT_TRUE(recorder.hints.empty());
}

// --- The selected symbol ---

TEST_F(NavigationHintsTest, ASingleSelectedSymbolTellsWhatADoubleClickEdits) {
    struct Case {
        int type;
        const char* message; // null: the bar hint
        const char* title;
    };
    const char* index = "Double click to edit the index.";
    const Case cases[] = {
        {TOVSymbolMarkIntro, "Double click to edit the text and the style.", "Rehearsal mark"},
        {TOVSymbolCategoryRehearsal + 0x1A, "Double click to edit the text and the style.", "Rehearsal mark"},
        {TOVSymbolCategoryRehearsal + 0x1B, nullptr, nullptr},
        {TOVSymbolDaCapo, index, "Da Capo symbol"},
        {TOVSymbolDalSegno, index, "Dal Segno symbol"},
        {TOVSymbolToCoda, index, "To Coda symbol"},
        {TOVSymbolCoda, index, "Coda symbol"},
        {TOVSymbolSegno, index, "Segno symbol"},
        {TOVSymbolFine, nullptr, nullptr},
        {TOVSymbolVoltaBegin, index, "Volta (start) symbol"},
        {TOVSymbolVoltaEnd, nullptr, nullptr},
        {TOVSymbolBisBegin, nullptr, nullptr},
        {TOVSymbolBisEnd, index, "Bis (end) symbol"},
        {TOVSymbolRepeatTimes, "Double click to edit the number of times to repeat.", "Repeat symbol"},
        {TOVSymbolLongRest, "Double click to edit the number of times to rest.", "Long rest symbol"},
        {TOVSymbolTempoSpeed, "Double click to edit the speed number.", "Tempo speed symbol"},
        {TOVToolFreeText, "Double click to edit the text and the style.", "Free text"},
        {TOVBarlineGreatDouble, nullptr, nullptr},
    };
    editor().setSelectedBar(barView(1));
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.type);
        TypedView* view = addTypedView(c.type);
        recorder.hints.clear();
        // Selecting reports the new selection, which shows the hint.
        ASSERT_TRUE(editor().selectAnObjectViewClearOthers(view, true));
        ASSERT_FALSE(recorder.hints.empty());
        const Hint hint = recorder.last();
        if (c.message != nullptr) {
            EXPECT_EQ(hint.message, QString::fromUtf8(c.message));
            EXPECT_EQ(hint.title, QString::fromUtf8(c.title));
        } else {
            EXPECT_EQ(hint.title, QStringLiteral("Bar 2 selected"));
        }
        EXPECT_EQ(hint.priority, 0);
        editor().clearSelection();
    }
}

TEST_F(NavigationHintsTest, ADaCapoSymbolTogetherWithAnotherSymbolShowsTheBarHint) {
    editor().setSelectedBar(barView(1));
    TypedView* daCapo = addTypedView(TOVSymbolDaCapo);
    TypedView* segno = addTypedView(TOVSymbolSegno);
    ASSERT_TRUE(editor().selectAnObjectViewClearOthers(daCapo, true));
    EXPECT_EQ(recorder.last().title, QStringLiteral("Da Capo symbol"));
    ASSERT_TRUE(editor().selectAnObjectViewClearOthers(segno, false));
    ASSERT_EQ(editor().selectedObjectViewSet().size(), 2u);
    EXPECT_EQ(recorder.last().title, QStringLiteral("Bar 2 selected"));
    EXPECT_EQ(recorder.last().message, QString());
}

// --- The bar hint with selected notes ---

TEST_F(NavigationHintsTest, BarHintNamesTheNoteCommandsThatApply) {
    struct Case {
        const char* name;
        std::function<void()> select;
        QString message;
    };
    const Case cases[] = {
        {"nothing selected", [&] { editor().setSelectedBar(barView(2)); }, QString()},
        {"tuplet, two neighbours of one pitch: beam and unite",
         [&] {
             triplet(2, false);
             selectUnits(*noteViewsOf(2).front(), {0, 1});
         },
         kBeamAndUnite},
        {"tuplet, two neighbours of different pitches: beam only",
         [&] {
             Note* note = triplet(2, false);
             note->unitArray()[1]->toneArray().front()->setLevel(2);
             selectUnits(*noteViewsOf(2).front(), {0, 1});
         },
         kBeam},
        {"beamed tuplet, two neighbours of one pitch: unite only",
         [&] {
             Note* note = triplet(2, false);
             note->makeBeamTupletOn(note->unitArray());
             context->processPendingChanges();
             selectUnits(*noteViewsOf(2).front(), {0, 1});
         },
         kUnite},
        {"tuplet, first and last: neither",
         [&] {
             triplet(2, false);
             selectUnits(*noteViewsOf(2).front(), {0, 2});
         },
         QString()},
        {"one beamed note alone: neither, although Beam would divide it",
         [&] {
             Note* first = bar(2)->createNewSingleMeloFromLengthLevel(0, 120, 0);
             Note* second = bar(2)->createNewSingleMeloFromLengthLevel(120, 120, 0);
             bar(2)->makeBeamOn({first, second});
             auto views = noteViewsOf(2);
             ASSERT_EQ(views.size(), 1u);
             ASSERT_TRUE(editor().selectAnObjectViewClearOthers(views.front().get(), true));
         },
         QString()},
        {"two eighths that can be beamed",
         [&] {
             bar(2)->createNewSingleMeloFromLengthLevel(0, 120, 0);
             bar(2)->createNewSingleMeloFromLengthLevel(120, 120, 0);
             auto views = noteViewsOf(2);
             ASSERT_EQ(views.size(), 2u);
             ASSERT_TRUE(editor().selectAnObjectViewClearOthers(views[1].get(), true));
             ASSERT_TRUE(editor().selectAnObjectViewClearOthers(views[0].get(), false));
         },
         kBeam},
        {"two quarters, which are never beamed",
         [&] {
             bar(2)->createNewSingleMeloFromLengthLevel(0, 240, 0);
             bar(2)->createNewSingleMeloFromLengthLevel(240, 240, 0);
             auto views = noteViewsOf(2);
             ASSERT_EQ(views.size(), 2u);
             ASSERT_TRUE(editor().selectAnObjectViewClearOthers(views[0].get(), true));
             ASSERT_TRUE(editor().selectAnObjectViewClearOthers(views[1].get(), false));
         },
         QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        editor().clearSelection();
        for (Note* old : bar(2)->noteArray()) {
            bar(2)->removeNote(old);
        }
        context->processPendingChanges();
        barView(2)->recreateAllNoteViews();
        c.select();
        recorder.hints.clear();
        controller->showNavigationMessageForNormalMode();
        ASSERT_EQ(recorder.hints.size(), 1u);
        EXPECT_EQ(recorder.last().title, QStringLiteral("Bar 3 selected"));
        EXPECT_EQ(recorder.last().message, c.message);
        EXPECT_EQ(recorder.last().priority, 0);
    }
}

// --- Palette drags ---

TEST_F(NavigationHintsTest, SymbolDragHintsByFamilyTargetAndConflict) {
    // Bar 1 holds a note: no long rest there. Bar 3 is a long rest: no dynamics, octave or push there.
    bar(1)->createNewSingleMeloFromLengthLevel(0, 240, 0);
    bar(3)->setLongRest(2);
    context->processPendingChanges();
    TOVObjectView* target = addTypedView(TOVSymbolOctave8vaBassa);
    auto* lineView = controller->layoutViewInquireLineView(barView(0));
    ASSERT_NE(lineView, nullptr);
    TOVBarLineView* lineStart = lineView->firstBarLineView();
    ASSERT_NE(lineStart, nullptr);
    ASSERT_FALSE(lineStart->acceptGreatDoubleBar());
    TOVBarLineView* inner = nullptr;
    for (const auto& view : lineView->barLineViewArray()) {
        if (view.get() != lineStart) {
            inner = view.get();
        }
    }
    ASSERT_NE(inner, nullptr);

    struct Case {
        int type;
        platform::View* over;
        bool targetSet;
        QString message;
        QString title;
        int priority;
    };
    platform::View* free = barView(0);
    platform::View* noted = barView(1);
    platform::View* resting = barView(3);
    platform::View* outside = &editor();
    const Case cases[] = {
        {TOVSymbolClefG, free, false, kA, kSymbol, 0},
        {TOVSymbolKeySharp1, free, true, kAPlus, kSymbol, 0},
        {TOVSymbolTime1_4, free, false, kA, kSymbol, 0},
        {TOVSymbolMarkVamp, free, true, kAPlus, kSymbol, 0},
        {TOVBarlineGreatDouble, lineStart, false, kG, kBarline, 1},
        {TOVBarlineGreatDouble, inner, false, kB, kBarline, 0},
        {TOVBarlineDotted, lineStart, false, kB, kBarline, 0},
        {TOVBarlineGreatDouble, free, false, kB, kBarline, 0},
        {TOVSymbolVoltaBegin, free, true, kAPlus, kSymbol, 0},
        {TOVSymbolBisBegin, free, false, kA, kSymbol, 0},
        {TOVSymbolLongRest, noted, false, kC, kSymbol, 1},
        {TOVSymbolLongRest, free, false, kA, kSymbol, 0},
        {TOVSymbolLongRest, outside, false, kA, kSymbol, 0},
        {TOVSymbolRepeatPrevBar1, resting, false, kA, kSymbol, 0},
        {TOVSymbolDaCapo, noted, true, kA, kSymbol, 0},
        {TOVSymbolDynamicsFFF, resting, false, kC, kSymbol, 1},
        {TOVSymbolDynamicsFFF, free, true, kA, kSymbol, 0},
        {TOVSymbolPocoAccel, resting, false, kC, kSymbol, 1},
        {TOVSymbolPush8, free, false, kA, kSymbol, 0},
        {TOVSymbolOctave8va, resting, true, kC, kSymbol, 1},
        {TOVSymbolOctave8va, free, true, kAPlus, kSymbol, 0},
        {TOVSymbolOctave8va, outside, true, kA, kSymbol, 0},
        {TOVSymbolOctave8va, free, false, kA, kSymbol, 0},
        {TOVSymbolStaccato, free, true, kNPlus, kSymbol, 0},
        {TOVSymbolStaccato, free, false, kN, kSymbol, 0},
        {TOVToolLine, outside, false, kF, kSymbol, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.type << " target " << c.targetSet);
        editor().setTargerObjectView(c.targetSet ? target : nullptr);
        recorder.hints.clear();
        controller->showNavigationMessageForDraggingSymbolActiveView(c.type, c.over);
        ASSERT_EQ(recorder.hints.size(), 1u);
        EXPECT_EQ(recorder.last().message, c.message);
        EXPECT_EQ(recorder.last().title, c.title);
        EXPECT_EQ(recorder.last().priority, c.priority);
    }
    // Families without a hint leave the panel alone.
    for (int type : {0x000, TOVSymbolChord, 0x1000}) {
        recorder.hints.clear();
        controller->showNavigationMessageForDraggingSymbolActiveView(type, free);
        EXPECT_TRUE(recorder.hints.empty()) << type;
    }
}

TEST_F(NavigationHintsTest, NoteDragHintsByItemGroup) {
    TOVObjectView* target = addTypedView(TOVSymbolStaccato);
    struct Case {
        int item;
        bool targetSet;
        const char* message; // null: no hint
        const char* title;
    };
    const Case cases[] = {
        {TOVUnitTypeOf(TOVUnitGroupNote, 3), false, "Drop it on a bar to create a new note.",
         "Dragging a note"},
        {TOVUnitTypeOf(TOVUnitGroupRest, 1), false, "Drop it on a bar to create a new rest.",
         "Dragging a rest"},
        {TOVUnitTypeOf(TOVUnitGroupTriplet, 2), false, "Drop it on a bar to create a new triplet.",
         "Dragging a triplet"},
        {TOVUnitGroupSextuplet, false, "Drop it on a bar to create a new sextuplet.", "Dragging a sextuplet"},
        {TOVNoteItemTie, true, "Drop it on a left side of existing note to connect 2 continuous tones.",
         "Dragging a symbol"},
        {TOVNoteItemHarmonyTone, false, "Drop it on an existing note to add a harmony tone.",
         "Dragging a tone"},
        {TOVNoteItemBeatSlash, false, "Drag and drop it on a bar to create a new rhythm slash.",
         "Dragging a slash"},
        {TOVNoteItemDoubleSharp, true,
         "Drop it on an existing note to create a new symbol. \nThe previously created symbol will be "
         "replaced by "
         "new one.",
         "Dragging a symbol"},
        {TOVNoteItemDoubleSharp, false, "Drop it on an existing note to create a new symbol.",
         "Dragging a symbol"},
        {0x40000, false, nullptr, nullptr},
        {0x80000, false, nullptr, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.item);
        editor().setTargerObjectView(c.targetSet ? target : nullptr);
        recorder.hints.clear();
        controller->showNavigationMessageForDraggingNoteActiveView(c.item, barView(0));
        if (c.message == nullptr) {
            EXPECT_TRUE(recorder.hints.empty());
            continue;
        }
        ASSERT_EQ(recorder.hints.size(), 1u);
        EXPECT_EQ(recorder.last().message, QString::fromUtf8(c.message));
        EXPECT_EQ(recorder.last().title, QString::fromUtf8(c.title));
        EXPECT_EQ(recorder.last().priority, 0);
    }
}

TEST_F(NavigationHintsTest, PaletteReportsShowTheDragHintAndLeavingShowsTheNormalHintAgain) {
    editor().setSelectedBar(barView(1));
    const platform::DraggingInfo info;
    controller->layoutViewSymbolPaletteDragEnteredDraggingInfo(barView(0), TOVSymbolClefG, info);
    EXPECT_EQ(recorder.last().message, kA);
    controller->layoutViewSymbolPaletteDragExitedDraggingInfo(&editor(), TOVSymbolClefG, info);
    EXPECT_EQ(recorder.last().title, QStringLiteral("Bar 2 selected"));
    controller->layoutViewNotePaletteDragEnteredDraggingInfo(barView(0), TOVUnitGroupRest, info);
    EXPECT_EQ(recorder.last().title, QStringLiteral("Dragging a rest"));
    controller->layoutViewNotePaletteDragPerformedDraggingInfo(barView(0), TOVUnitGroupRest, info);
    EXPECT_EQ(recorder.last().title, QStringLiteral("Bar 2 selected"));
}

// A click that changes only the cells of the selected note (Shift on a second tone) shows the hint anew.
TEST_F(NavigationHintsTest, ChangingTheSelectedCellsOfANoteShowsTheHintAgain) {
    Note* note = triplet(2, false);
    note->unitArray()[1]->toneArray().front()->setLevel(2);
    auto views = noteViewsOf(2);
    ASSERT_EQ(views.size(), 1u);
    TOVNoteView& view = *views.front();
    showWithViewport(900, 700);
    QWidget* window = controller->scrollView();
    uitest::WindowEvents input(*window);
    unsigned long time = 1000;
    const auto click = [&](std::size_t unit, Qt::KeyboardModifiers held) {
        const platform::Rect head = view.unitCellArray()[unit]->toneCellArray().front()->frame();
        const platform::Point inHost = view.convertPointToView({head.midX(), head.midY()}, nullptr);
        const QPointF at = controller->host()->mapTo(window, QPointF(inHost.x, inHost.y));
        input.press(at, Qt::LeftButton, time += 5000, held);
        input.release(at, Qt::LeftButton, time += 20, held);
        QApplication::processEvents();
    };
    click(0, {});
    ASSERT_EQ(editor().selectedObjectViewSet().size(), 1u);
    ASSERT_EQ(editor().selectedObjectViewSet().front().get(), &view);
    recorder.hints.clear();
    click(1, Qt::ShiftModifier);
    ASSERT_EQ(editor().selectedObjectViewSet().size(), 1u);
    ASSERT_EQ(recorder.hints.size(), 1u);
    EXPECT_EQ(recorder.last().title, QStringLiteral("Bar 3 selected"));
}

// The texts go through the translation lookup; a title's number fills the translated format.
TEST_F(NavigationHintsTest, HintsAreTranslatedAndMissingTranslationsShowTheEnglishText) {
    platform::setLocalizationLookup([](std::string_view text) -> std::optional<std::string> {
        if (text == "Copy bars from %ld to ?") {
            return std::string("Takte %ld bis ? kopieren");
        }
        return std::nullopt;
    });
    controller->setEditBarsMode(TOVEditorViewController::Copy);
    controller->setEditBarsStart(barView(6));
    controller->showNavigationMessageForEditBarsMode();
    platform::setLocalizationLookup({});
    EXPECT_EQ(recorder.last().title, QStringLiteral("Takte 7 bis ? kopieren"));
    EXPECT_EQ(
        recorder.last().message,
        QStringLiteral("Click the last bar which the Copy operation will end at. \nOr press ESC to cancel."));
}

} // namespace
