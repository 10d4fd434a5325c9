#include "AppWindowFixture.h"

#include "app/TOVEditorViewController.h"
#include "app/TOVMainMenu.h"
#include "app/TOVSettingSheets.h"
#include "app/TOVSongSettingViewController.h"
#include "app/TOVWindowController.h"
#include "glyphs/TOVChordObjectView.h"
#include "glyphs/TOVChordViewFactory.h"
#include "input/TOVChord1stStepViewController.h"
#include "input/TOVChord3StepsViewController.h"
#include "input/TOVChordWindowController.h"
#include "layout/TOVEditorBarView.h"
#include "layout/TOVEditorView.h"
#include "model/Bar.h"
#include "model/Chord.h"
#include "model/Document.h"
#include "model/Line.h"
#include "model/Note.h"
#include "model/Symbol.h"
#include "model/SymbolRepeat.h"
#include "model/SymbolTempo.h"
#include "model/TOVSymbolTypes.h"
#include "notation/TOVNoteUnitCell.h"
#include "notation/TOVNoteView.h"
#include "notation/TOVNoteViewFactory.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/ViewHost.h"
#include "platform/ui/Window.h"
#include "platform/ui/WindowEvents.h"
#include "support/LayoutBuilder.h"

#include <QImage>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <qpa/qwindowsysteminterface.h>

#include <functional>
#include <memory>

#include <string>
#include <vector>

namespace {

using apptest::settle;
using platform::Menu;
using platform::MenuItem;
using platform::Point;

// A document window over a new song of single lines, shown and active, with the main menu model for
// the items it validates.
class WindowCommandsTest : public apptest::AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        TOVUtils::Services services;
        services.objectViewFactory = [] { return TOVObjectViewFactory::singletonInstance(); };
        services.chordViewFactory = [] { return TOVChordViewFactory::singletonInstance(); };
        services.noteViewFactory = [] { return TOVNoteViewFactory::singletonInstance(); };
        TOVUtils::registerServices(services);
        controller = std::make_unique<TOVWindowController>("TOVDocument");
        controller->setManagedObjectContext(context.get());
        context->insertNewObject<Document>("Document");
        TOVSongSettingViewController form;
        controller->createSongSettingFrom(&form);
        controller->createInitialPage();
        platform::Window* window = controller->window();
        app.setMainMenu(mainMenu);
        window->setMenuModel(mainMenu);
        window->resize(760, 700);
        controller->updateEditorView();
        controller->showWindow();
        window->activateWindow();
        (void)QTest::qWaitForWindowActive(window);
        settle();
    }
    void TearDown() override {
        controller.reset();
        AppFixture::TearDown();
    }

    TOVEditorViewController& editor() { return *controller->editorController(); }
    TOVEditorBarView* barView(std::uint64_t num) {
        return editor().editorView()->barViewFromNumberInLower(num, false);
    }
    MenuItem& item(const std::vector<std::string>& menus, const std::string& title) {
        Menu* menu = mainMenu->submenuWithTitle(menus.front());
        for (std::size_t i = 1; i < menus.size() && menu != nullptr; ++i) {
            menu = menu->submenuWithTitle(menus[i]);
        }
        EXPECT_NE(menu, nullptr) << menus.back();
        MenuItem* found = menu != nullptr ? menu->itemWithTitle(title) : nullptr;
        EXPECT_NE(found, nullptr) << title;
        return found != nullptr ? *found : fallback;
    }
    Chord* addChord(std::uint64_t num, std::uint64_t timing) {
        Chord* chord = barView(num)->bar()->createNewChordWithElemsTiming(
            TOVChordElems::fromCodes(0, 12, 70, 17), timing);
        context->processPendingChanges();
        barView(num)->recreateAllSubViews();
        return chord;
    }
    // A point of a view in the document window's coordinates.
    QPoint inWindow(const platform::View& view, Point p) {
        const Point inHost = view.convertPointToView(p, nullptr);
        return editor().host()->mapTo(controller->window(),
                                      QPoint(static_cast<int>(inHost.x), static_cast<int>(inHost.y)));
    }

    TOVChordWindowController& chordWindow() { return *controller->chordWindowController(); }
    // Starts the chord window with the trigger and, once its modal run turns, runs the steps inside it; a
    // run the steps leave open is closed after a while, so that a fault cannot hang the test.
    void runChordWindow(const std::function<void()>& trigger, const std::function<void()>& inside) {
        insideRan = false;
        // Looks for the run every few milliseconds: the trigger's own events may come first.
        QTimer poll;
        poll.setInterval(5);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (!insideRan && chordWindow().running()) {
                insideRan = true;
                poll.stop();
                inside();
            }
        });
        poll.start();
        QTimer::singleShot(20000, [&] {
            if (chordWindow().running()) {
                ADD_FAILURE() << "the chord window was left open";
                chordWindow().close();
            }
        });
        trigger();
        settle();
        EXPECT_TRUE(insideRan) << "the chord window did not run";
        EXPECT_FALSE(chordWindow().running());
    }
    // The document's undo as the application has it: registration on, groups by event.
    platform::UndoManager& liveUndo() {
        platform::UndoManager& undo = context->undoManager();
        // As the document hands it to its editor.
        editor().registerUndoObservation(&undo);
        if (!undo.isUndoRegistrationEnabled()) {
            undo.enableUndoRegistration();
        }
        undo.setGroupsByEvent(true);
        return undo;
    }
    // Orange pixels of the document window in the chord row of the bar (the cursor mark).
    int orangeInChordRow(TOVEditorBarView* bar) {
        const QImage image = controller->window()->grab().toImage();
        const double ratio = image.devicePixelRatio();
        const QPoint from = inWindow(*bar, Point{0, 0});
        const QPoint to = inWindow(*bar, Point{bar->bounds().width(), bar->posY5LinesTop()});
        int orange = 0;
        for (int y = static_cast<int>(from.y() * ratio); y < static_cast<int>(to.y() * ratio); ++y) {
            for (int x = static_cast<int>(from.x() * ratio); x < static_cast<int>(to.x() * ratio); ++x) {
                const QRgb pixel = image.pixel(x, y);
                orange += qRed(pixel) > 200 && qGreen(pixel) > 80 && qGreen(pixel) < 180 && qBlue(pixel) < 80
                              ? 1
                              : 0;
            }
        }
        return orange;
    }

    bool insideRan = false;
    std::shared_ptr<Menu> mainMenu = TOVMainMenu::makeMainMenu(nullptr);
    std::unique_ptr<TOVWindowController> controller;
    MenuItem fallback;
};

TEST_F(WindowCommandsTest, MenuItemsAreEnabledAndCheckedByTheirRowsInOrder) {
    struct Case {
        std::vector<std::string> menus;
        std::string title;
        bool normal, barRange; // enabled in normal editing, in a bar-range mode
        int state = -2;        // the check mark set, -2 when none is set
    };
    const Case cases[] = {
        // Nothing is selected: Delete has nothing to take.
        {{"Edit"}, "Delete", false, false},
        {{"Edit"}, "Symbol Properties", false, false},
        {{"Change"}, "Beam", false, false, MenuItem::OffState},
        {{"Change"}, "Convert Note <--> Rest", false, false},
        {{"Change"}, "Flip", false, false},
        {{"Change"}, "Unite", false, false, MenuItem::OffState},
        {{"Change", "Transpose"}, "0", false, false, MenuItem::OnState},
        {{"Change", "Accidental"}, "Up", false, false},
        {{"Change", "Enharmonic"}, "Down", false, false},
        {{"Change", "Note Head"}, "Normal", false, false},
        {{"Change", "Note Head"}, "X", false, false},
        {{"View"}, "Grid", true, true, MenuItem::OffState},
        {{"Edit Bars"}, "Paste Bars", false, false},
        {{"Edit Bars"}, "Normal", true, true},
        // Every other item: only outside the bar-range modes.
        {{"View"}, "Chord Input…", true, false},
        {{"Edit Bars"}, "Copy Bars", true, false},
        {{"Layout"}, "Song Settings…", true, false},
        {{"Change", "Transpose"}, "+2", true, false},
        // Their check marks are the application's, set when their menu opens: validation sets none.
        {{"Layout", "Parts"}, "Single Line", true, false},
        {{"Layout", "Parts"}, "Double Line", true, false},
        {{"Layout", "Bar Number"}, "None", true, false},
        {{"Layout", "Bar Number"}, "At Each Bar", true, false},
        {{"View"}, "Symbols Palette", true, false},
    };
    for (const int mode : {TOVEditorViewController::Normal, TOVEditorViewController::Cut}) {
        editor().setEditBarsMode(mode);
        for (const Case& c : cases) {
            SCOPED_TRACE(c.title + " in bar-range mode " + std::to_string(mode));
            MenuItem& shown = item(c.menus, c.title);
            shown.setState(-2);
            shown.setEnabled(true);
            const bool enabled = controller->validateMenuItem(shown);
            EXPECT_EQ(enabled, mode == 0 ? c.normal : c.barRange);
            EXPECT_EQ(shown.state(), c.state);
        }
        // "0" is also set disabled itself.
        EXPECT_FALSE(item({"Change", "Transpose"}, "0").isEnabled());
    }
    editor().setEditBarsMode(TOVEditorViewController::Normal);

    // The grid's mark follows the editor, in a bar-range mode too; a selected chord enables Delete.
    MenuItem& grid = item({"View"}, "Grid");
    for (const bool shown : {true, false}) {
        editor().setShowGrid(shown);
        for (const int mode : {TOVEditorViewController::Normal, TOVEditorViewController::Paste}) {
            editor().setEditBarsMode(mode);
            EXPECT_TRUE(controller->validateMenuItem(grid));
            EXPECT_EQ(grid.state(), shown ? MenuItem::OnState : MenuItem::OffState) << mode;
        }
    }
    editor().setEditBarsMode(TOVEditorViewController::Normal);
    Chord* chord = addChord(1, 0);
    ASSERT_TRUE(editor().editorView()->selectAnObjectViewClearOthers(
        barView(1)->chordViewFromData(chord).get(), true));
    EXPECT_TRUE(controller->validateMenuItem(item({"Edit"}, "Delete")));

    // A selected repeat sign enables Symbol Properties, only in normal editing.
    SymbolRepeat* times =
        barView(2)->bar()->createNewSymbolRepeatWithTypeFrame(TOVSymbolRepeatTimes, {10, 0, 0, 0});
    const auto timesView = barView(2)->createRepeatViewOfDataSelect(TOVSymbolRepeatTimes, times, true);
    ASSERT_NE(timesView, nullptr);
    EXPECT_TRUE(controller->validateMenuItem(item({"Edit"}, "Symbol Properties")));
    editor().setEditBarsMode(TOVEditorViewController::Copy);
    EXPECT_FALSE(controller->validateMenuItem(item({"Edit"}, "Symbol Properties")));
    editor().setEditBarsMode(TOVEditorViewController::Normal);
}

TEST_F(WindowCommandsTest, GridPartsAndBarNumberCommands) {
    platform::Window* window = controller->window();
    // Grid: each command turns it over, and the mark follows.
    MenuItem& grid = item({"View"}, "Grid");
    ASSERT_TRUE(app.sendAction("toggleShowGrid:", &grid, window));
    EXPECT_TRUE(editor().showGrid());
    EXPECT_TRUE(controller->validateMenuItem(grid));
    EXPECT_EQ(grid.state(), MenuItem::OnState);
    app.sendAction("toggleShowGrid:", &grid, window);
    EXPECT_FALSE(editor().showGrid());

    // Parts: two rows at once; back to one only on Continue.
    editor().editorView()->setSelectedBar(barView(1));
    Line* line = barView(1)->bar()->line();
    std::vector<std::string> asked;
    int answer = platform::Alert::AlternateReturn;
    platform::Alert::setAnswerHook([&](const platform::Alert& alert) -> std::optional<int> {
        asked.push_back(alert.messageText() + " | " + alert.informativeText());
        return answer;
    });
    app.sendAction("numberOfRowsDidChange:", &item({"Layout", "Parts"}, "Double Line"), window);
    settle();
    EXPECT_TRUE(asked.empty());
    ASSERT_EQ(editor().numberOfRowsInSelectedLine(), 2u);
    app.sendAction("numberOfRowsDidChange:", &item({"Layout", "Parts"}, "Double Line"), window);
    app.sendAction("numberOfRowsDidChange:", &item({"Layout", "Parts"}, "Single Line"), window);
    settle();
    EXPECT_EQ(asked, std::vector<std::string>{"Delete lower part | Lower part will be deleted."});
    EXPECT_EQ(editor().numberOfRowsInSelectedLine(), 2u);
    answer = platform::Alert::DefaultReturn;
    app.sendAction("numberOfRowsDidChange:", &item({"Layout", "Parts"}, "Single Line"), window);
    settle();
    platform::Alert::setAnswerHook({});
    EXPECT_EQ(asked.size(), 2u);
    EXPECT_EQ(editor().numberOfRowsInSelectedLine(), 1u);
    EXPECT_FALSE(line->isDeleted());

    // Bar numbers: the tag of the item chosen.
    app.sendAction("barNumberShowTypeDidChange:", &item({"Layout", "Bar Number"}, "At Each Bar"), window);
    EXPECT_EQ(controller->docData()->barNumberShow(), 2u);
    app.sendAction("barNumberShowTypeDidChange:", &item({"Layout", "Bar Number"}, "None"), window);
    EXPECT_EQ(controller->docData()->barNumberShow(), 0u);
}

TEST_F(WindowCommandsTest, ArrowKeysOnTheWindowNudgeTheSelectedSignOncePerPress) {
    Bar* bar = barView(1)->bar();
    Symbol* dynamics = bar->createNewSymbolWithTypeFrame(TOVSymbolDynamicsF, {20, 60, 0, 0});
    barView(1)->createDynamicsViewOfDataSelect(TOVSymbolDynamicsF, dynamics, false);
    settle();
    // A real click selects the sign; the keys then go to the window.
    const auto view = barView(1)->objectViewFromData(dynamics);
    ASSERT_NE(view, nullptr);
    uitest::WindowEvents input(*controller->window());
    input.click(inWindow(*view, Point{view->bounds().width() / 2, view->bounds().height() / 2}), 1000);
    settle();
    ASSERT_EQ(editor().editorView()->selectedObjectViewSet().size(), 1u);
    const platform::Point before = dynamics->frame().origin;
    QWindow* window = controller->window()->windowHandle();
    const double step = editor().diffMovingByArrowKey();
    QTest::keyClick(window, Qt::Key_Right);
    settle();
    QTest::keyClick(window, Qt::Key_Up);
    settle();
    EXPECT_NEAR(dynamics->frame().origin.x, before.x + step, 1e-9);
    EXPECT_NEAR(dynamics->frame().origin.y, before.y - step, 1e-9);
}

TEST_F(WindowCommandsTest, ADoubleClickOnASignAndCtrlIOpenTheSheetOfItsKind) {
    // Cancels the first value sheet that shows (within two seconds) and tells which it was; it stops
    // looking once the test lets go of the answer.
    const std::vector<TOVSheetController*> sheets = {
        controller->daCapoSettingWindowController(), controller->repeatSettingWindowController(),
        controller->voltaSettingWindowController(), controller->longRestSettingWindowController(),
        controller->speedSettingWindowController()};
    const auto cancelFirstSheet = [sheets] {
        auto seen = std::make_shared<std::string>();
        auto* timer = new QTimer;
        timer->setInterval(5);
        QObject::connect(timer, &QTimer::timeout, [timer, sheets, seen, ticks = 0]() mutable {
            // Once the test has let go, its sheets may be gone with its window: touch nothing.
            if (seen.use_count() == 1) {
                timer->stop();
                timer->deleteLater();
                return;
            }
            for (TOVSheetController* sheet : sheets) {
                if (sheet->window()->isVisible()) {
                    *seen = sheet->window()->objectName().toStdString();
                    QTest::keyClick(sheet->window(), Qt::Key_Escape);
                    ticks = 400;
                }
            }
            if (++ticks > 400) {
                timer->stop();
                timer->deleteLater();
            }
        });
        timer->start();
        return seen;
    };
    struct Case {
        int type;
        const char* sheet;
    };
    // Signs without a value of their own open nothing (an empty name).
    const Case cases[] = {
        {TOVSymbolDaCapo, "TOVDaCapoSettingWindowController"},
        {TOVSymbolDalSegno, "TOVDaCapoSettingWindowController"},
        {TOVSymbolToCoda, "TOVDaCapoSettingWindowController"},
        {TOVSymbolCoda, "TOVDaCapoSettingWindowController"},
        {TOVSymbolSegno, "TOVDaCapoSettingWindowController"},
        {TOVSymbolRepeatTimes, "TOVRepeatSettingWindowController"},
        {TOVSymbolVoltaBegin, "TOVVoltaSettingWindowController"},
        {TOVSymbolBisEnd, "TOVVoltaSettingWindowController"},
        {TOVSymbolLongRest, "TOVLongRestSettingWindowController"},
        {TOVSymbolTempoSpeed, "TOVSpeedSettingWindowController"},
        {TOVSymbolFine, ""},
        {TOVSymbolVoltaEnd, ""},
        {TOVSymbolBisBegin, ""},
        {TOVSymbolSimile, ""},
    };
    ulong time = 1000;
    std::uint64_t num = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        TOVEditorBarView* view = barView(++num);
        ASSERT_NE(view, nullptr);
        Bar* bar = view->bar();
        std::shared_ptr<TOVObjectView> sign;
        if (c.type == TOVSymbolLongRest) {
            bar->setLongRest(3);
            view->createLongRestViewAndSelect(false);
            sign = std::dynamic_pointer_cast<TOVObjectView>(view->longRestView());
        } else if (c.type == TOVSymbolTempoSpeed) {
            SymbolTempo* tempo = bar->createNewSymbolTempoWithTypeFrame(c.type, {10, -20, 0, 0});
            view->createTempoViewOfDataSelect(c.type, tempo, false);
            sign = view->objectViewFromData(tempo);
        } else {
            const bool bracket = c.type == TOVSymbolVoltaBegin || c.type == TOVSymbolVoltaEnd ||
                                 c.type == TOVSymbolBisBegin || c.type == TOVSymbolBisEnd;
            SymbolRepeat* repeat = bar->createNewSymbolRepeatWithTypeFrame(
                c.type, bracket ? platform::Rect(-2, 0, 50, 22) : platform::Rect(10, 0, 0, 0));
            sign = view->createRepeatViewOfDataSelect(c.type, repeat, false);
        }
        ASSERT_NE(sign, nullptr);
        settle();
        const QPoint at = inWindow(*sign, Point{sign->bounds().width() / 2, sign->bounds().height() / 2});
        auto seen = cancelFirstSheet();
        uitest::WindowEvents input(*controller->window());
        input.click(at, time += 5000);
        input.click(at, time += 100);
        settle();
        EXPECT_EQ(*seen, c.sheet);
        ASSERT_EQ(editor().editorView()->selectedObjectViewSet().size(), 1u);
        EXPECT_EQ(editor().editorView()->selectedObjectViewSet().front(), sign);

        // Ctrl+I on the window, the sign still selected: the same sheet, or nothing with the command off.
        ASSERT_TRUE(QTest::qWaitForWindowActive(controller->window()));
        EXPECT_EQ(editor().canEnableSymbolPropertiesMenu(), *c.sheet != '\0');
        seen = cancelFirstSheet();
        QTest::keyClick(controller->window()->windowHandle(), Qt::Key_I, Qt::ControlModifier);
        settle();
        EXPECT_EQ(*seen, c.sheet);
    }
}

TEST_F(WindowCommandsTest, DeleteAndBackspaceAndTheDeleteCommandActOnlyWhenDeleteIsEnabled) {
    Chord* first = addChord(1, 0);
    Chord* second = addChord(1, 480);
    Bar* bar = barView(1)->bar();
    Note* triplet = bar->createNewTripletFromLengthUnitsLevelKind(0, {80, 80, 80}, 2, 0);
    context->processPendingChanges();
    barView(1)->recreateAllSubViews();
    QWindow* window = controller->window()->windowHandle();
    ulong time = 1000;
    // A real click on a chord selects it; the key goes to the window.
    auto clickChord = [&](Chord* chord) {
        const auto view = barView(1)->chordViewFromData(chord);
        ASSERT_NE(view, nullptr);
        uitest::WindowEvents input(*controller->window());
        input.click(inWindow(*view, Point{view->bounds().width() / 2, view->bounds().height() / 2}),
                    time += 5000);
        settle();
        ASSERT_EQ(editor().editorView()->selectedObjectViewSet().size(), 1u);
    };
    clickChord(first);
    QTest::keyClick(window, Qt::Key_Delete);
    settle();
    EXPECT_EQ(bar->chordArray(), std::vector<Chord*>{second});
    clickChord(second);
    QTest::keyClick(window, Qt::Key_Backspace);
    settle();
    EXPECT_TRUE(bar->chordArray().empty());

    // One member of a tuplet selected: nothing may go, by key or by command.
    TOVNoteView* view = barView(1)->noteViewFromData(triplet).get();
    ASSERT_TRUE(editor().editorView()->selectAnObjectViewClearOthers(view, true));
    view->unselectAllCells();
    view->selectCell(view->unitCellArray()[0].get());
    ASSERT_FALSE(editor().canEnableDeleteMenu());
    for (const int key : {Qt::Key_Delete, Qt::Key_Backspace}) {
        QTest::keyClick(window, static_cast<Qt::Key>(key));
        settle();
    }
    MenuItem& deleteItem = item({"Edit"}, "Delete");
    app.sendAction("delete:", &deleteItem, controller->window());
    ASSERT_EQ(bar->noteArray().size(), 1u);
    EXPECT_EQ(triplet->unitArray().size(), 3u);
    // The whole tuplet may go: the command takes it.
    view->selectWholeNote();
    ASSERT_TRUE(editor().canEnableDeleteMenu());
    ASSERT_TRUE(app.sendAction("delete:", &deleteItem, controller->window()));
    EXPECT_TRUE(bar->noteArray().empty());
}

TEST_F(WindowCommandsTest, CtrlKOpensTheChordWindowOnTheSelectedBarAndItsMarkGoesWithIt) {
    editor().editorView()->setSelectedBar(barView(2));
    settle();
    QWindow* window = controller->window()->windowHandle();
    ASSERT_EQ(orangeInChordRow(barView(2)), 0);
    int orangeWhileRunning = 0;
    bool markAsked = false;
    runChordWindow([&] { QTest::keyClick(window, Qt::Key_K, Qt::ControlModifier); },
                   [&] {
                       markAsked = editor().layoutViewInquireIsChordInputActive(barView(2));
                       EXPECT_TRUE(chordWindow().window()->isVisible());
                       EXPECT_EQ(chordWindow().editorViewController(), &editor());
                       orangeWhileRunning = orangeInChordRow(barView(2));
                       QTest::keyClick(chordWindow().window()->windowHandle(), Qt::Key_Escape);
                   });
    EXPECT_TRUE(markAsked);
    EXPECT_GT(orangeWhileRunning, 10) << "no cursor mark in the selected bar while the window ran";
    settle();
    EXPECT_FALSE(editor().layoutViewInquireIsChordInputActive(barView(2)));
    EXPECT_EQ(orangeInChordRow(barView(2)), 0);

    // In a bar-range mode the command is off and the key opens nothing.
    editor().setEditBarsMode(TOVEditorViewController::Copy);
    insideRan = false;
    QTimer::singleShot(0, [&] {
        insideRan = chordWindow().running();
        if (insideRan) {
            chordWindow().close();
        }
    });
    QTest::keyClick(window, Qt::Key_K, Qt::ControlModifier);
    controller->showChordWindowWithMode(0);
    settle();
    EXPECT_FALSE(insideRan);
}

TEST_F(WindowCommandsTest, EachChordWrittenInARunIsOneUndoStepAndStepsAloneRecordNothing) {
    platform::UndoManager& undo = liveUndo();
    Bar* bar = barView(1)->bar();
    const TOVChordElems c = TOVChordElems::fromCodes(0, 12, 70, 17);
    const TOVChordElems g = TOVChordElems::fromCodes(10, 12, 70, 17);
    auto chords = [&] {
        std::string text;
        for (const Chord* chord : bar->chordArray()) {
            text += std::to_string(chord->timing()) + "=" + std::to_string(chord->elemStep1()) + " ";
        }
        return text;
    };

    // Only stepping: nothing to undo, no group left.
    editor().editorView()->setSelectedBar(barView(1));
    const std::uint64_t before = undo.changeCount();
    runChordWindow([&] { controller->showChordWindowWithMode(TOVChordWindowController::ThreeStepMode); },
                   [&] {
                       for (int i = 0; i < 3; ++i) {
                           chordWindow().nextChord();
                       }
                       chordWindow().previousChord();
                       chordWindow().previousChord();
                       chordWindow().close();
                   });
    EXPECT_EQ(undo.changeCount(), before);
    EXPECT_FALSE(undo.canUndo());
    EXPECT_EQ(undo.groupingLevel(), 0);
    EXPECT_TRUE(undo.groupsByEvent());

    // Two chords: two steps; the last commit's group is closed after the run.
    editor().editorView()->setSelectedBar(barView(1));
    editor().editorView()->clearSelection();
    runChordWindow([&] { controller->showChordWindowWithMode(TOVChordWindowController::ThreeStepMode); },
                   [&] {
                       chordWindow().setChord(c);
                       chordWindow().nextChord();
                       chordWindow().setChord(g);
                       chordWindow().nextChord();
                       EXPECT_GT(undo.groupingLevel(), 0);
                       chordWindow().close();
                   });
    EXPECT_EQ(chords(), "0=0 480=10 ");
    EXPECT_EQ(undo.groupingLevel(), 0);
    EXPECT_TRUE(undo.groupsByEvent());
    undo.undo();
    settle();
    EXPECT_EQ(chords(), "0=0 ");
    EXPECT_EQ(barView(1)->chordViewArray().size(), 1u);
    undo.undo();
    settle();
    EXPECT_EQ(chords(), "");
    EXPECT_FALSE(undo.canUndo());
}

// The panel closed from its title bar, as the window system asks: the run ends as with Close, the chord
// written stays, the one only being made goes, and the document's undo is back to grouping by event with
// no group left open.
TEST_F(WindowCommandsTest, ClosingTheChordWindowByItsTitleBarEndsTheRunAndKeepsWhatWasWritten) {
    platform::UndoManager& undo = liveUndo();
    Bar* bar = barView(1)->bar();
    editor().editorView()->setSelectedBar(barView(1));
    ulong time = 10000;
    const auto clickKey = [&](int value) {
        QWidget* key = chordWindow().viewCtrler3Step()->firstViewCtrler()->keyView(value);
        uitest::WindowEvents(*key).click(key->rect().center(), time += 5000);
    };
    runChordWindow([&] { controller->showChordWindowWithMode(TOVChordWindowController::ThreeStepMode); },
                   [&] {
                       QWindow* panel = chordWindow().window()->windowHandle();
                       clickKey(0);
                       QTest::keyClick(panel, Qt::Key_Return);
                       clickKey(7); // made, not written
                       EXPECT_GT(undo.groupingLevel(), 0) << "the last commit's group is still open";
                       QWindowSystemInterface::handleCloseEvent<QWindowSystemInterface::SynchronousDelivery>(
                           panel);
                       EXPECT_FALSE(chordWindow().window()->isVisible());
                       EXPECT_EQ(chordWindow().editorViewController(), nullptr);
                   });
    ASSERT_EQ(bar->chordArray().size(), 1u);
    EXPECT_EQ(bar->chordArray().front()->timing(), 0u);
    EXPECT_EQ(bar->chordArray().front()->elemStep1(), 0);
    EXPECT_EQ(undo.groupingLevel(), 0);
    EXPECT_TRUE(undo.groupsByEvent());
    EXPECT_FALSE(editor().layoutViewInquireIsChordInputActive(barView(1)));
    undo.undo();
    settle();
    EXPECT_TRUE(bar->chordArray().empty());
    EXPECT_FALSE(undo.canUndo());
}

} // namespace
