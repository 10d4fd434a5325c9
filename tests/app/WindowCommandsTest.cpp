#include "AppWindowFixture.h"

#include "app/TOVEditorViewController.h"
#include "app/TOVMainMenu.h"
#include "app/TOVSongSettingViewController.h"
#include "app/TOVWindowController.h"
#include "glyphs/TOVChordObjectView.h"
#include "glyphs/TOVChordViewFactory.h"
#include "layout/TOVEditorBarView.h"
#include "layout/TOVEditorView.h"
#include "model/Bar.h"
#include "model/Chord.h"
#include "model/Document.h"
#include "model/Note.h"
#include "notation/TOVNoteUnitCell.h"
#include "notation/TOVNoteView.h"
#include "notation/TOVNoteViewFactory.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/ViewHost.h"
#include "platform/ui/Window.h"
#include "platform/ui/WindowEvents.h"
#include "support/LayoutBuilder.h"

#include <QTest>
#include <QWindow>

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

    // The grid's mark follows the editor; a selected chord enables Delete.
    editor().setShowGrid(true);
    MenuItem& grid = item({"View"}, "Grid");
    EXPECT_TRUE(controller->validateMenuItem(grid));
    EXPECT_EQ(grid.state(), MenuItem::OnState);
    Chord* chord = addChord(1, 0);
    ASSERT_TRUE(editor().editorView()->selectAnObjectViewClearOthers(
        barView(1)->chordViewFromData(chord).get(), true));
    EXPECT_TRUE(controller->validateMenuItem(item({"Edit"}, "Delete")));
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

} // namespace
