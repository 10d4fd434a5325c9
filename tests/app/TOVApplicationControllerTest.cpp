#include "app/TOVApplicationController.h"
#include "app/TOVAboutWindowController.h"
#include "app/TOVEditorViewController.h"
#include "app/TOVMainMenu.h"
#include "app/TOVStartUpWindowController.h"
#include "app/TOVWindowController.h"
#include "glyphs/TOVChordViewFactory.h"
#include "glyphs/TOVObjectViewFactory.h"
#include "layout/TOVEditorView.h"
#include "model/Document.h"
#include "model/TOVUtils.h"
#include "notation/TOVNoteViewFactory.h"
#include "platform/data/ManagedObjectContext.h"
#include "platform/foundation/Color.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/MemoryDefaultsStore.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Application.h"
#include "platform/ui/ApplicationMenuBar.h"
#include "platform/ui/Cursor.h"
#include "platform/ui/DocumentController.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/Window.h"
#include "support/LayoutBuilder.h"
#include "support/SongBuilder.h"

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

using platform::Menu;
using platform::MenuItem;
using platform::UserDefaults;

namespace {

void settle() {
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

// Each test has user defaults of its own, in memory; the application and its delegate are made as
// main() makes them.
class TOVApplicationControllerTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous = UserDefaults::replaceStandard(
            std::make_unique<UserDefaults>(std::make_unique<platform::MemoryDefaultsStore>()));
    }
    void TearDown() override {
        windows.clear();
        controller.reset();
        settle();
        TOVUtils::registerServices({});
        UserDefaults::replaceStandard(std::move(previous));
    }

    void makeController() {
        controller = std::make_unique<TOVApplicationController>();
        app.setDelegate(controller.get());
        app.setDocumentController(&documents);
        app.setMainMenu(controller->mainMenu());
    }

    Menu& menu(const std::string& title) {
        Menu* found = controller->mainMenu()->submenuWithTitle(title);
        EXPECT_NE(found, nullptr) << title;
        return *found;
    }
    QAction* action(platform::Window* window, const std::string& menuTitle, int tag) {
        MenuItem* item = menu(menuTitle).itemWithTag(tag);
        EXPECT_NE(item, nullptr) << menuTitle << " " << tag;
        return window->applicationMenuBar()->qActionFor(item);
    }
    QAction* action(platform::Window* window, const std::string& menuTitle, const std::string& title) {
        MenuItem* item = menu(menuTitle).itemWithTitle(title);
        EXPECT_NE(item, nullptr) << menuTitle << " " << title;
        return window->applicationMenuBar()->qActionFor(item);
    }
    // Opens the menu as a click on its title does, so that its rules and validation run, and closes it.
    void openMenu(platform::Window* window, const std::string& title) {
        ASSERT_NE(window->applicationMenuBar(), nullptr);
        QMenu* shown = window->applicationMenuBar()->qMenuFor(&menu(title));
        ASSERT_NE(shown, nullptr) << title;
        shown->popup(window->mapToGlobal(QPoint(10, 10)));
        settle();
        shown->hide();
        settle();
    }
    // The tags of the checked items of a menu, after opening it.
    std::vector<int> checkedTags(platform::Window* window, const std::string& title) {
        openMenu(window, title);
        std::vector<int> tags;
        for (const auto& item : menu(title).items()) {
            QAction* shown = window->applicationMenuBar()->qActionFor(item.get());
            if (!item->isSeparatorItem() && shown != nullptr && shown->isChecked()) {
                tags.push_back(item->tag());
            }
        }
        return tags;
    }
    std::vector<int> enabledTags(platform::Window* window, const std::string& title) {
        openMenu(window, title);
        std::vector<int> tags;
        for (const auto& item : menu(title).items()) {
            QAction* shown = window->applicationMenuBar()->qActionFor(item.get());
            if (!item->isSeparatorItem() && shown != nullptr && shown->isEnabled()) {
                tags.push_back(item->tag());
            }
        }
        return tags;
    }
    std::vector<std::string> enabledTitles(platform::Window* window, const std::string& title) {
        openMenu(window, title);
        std::vector<std::string> titles;
        for (const auto& item : menu(title).items()) {
            QAction* shown = window->applicationMenuBar()->qActionFor(item.get());
            if (!item->isSeparatorItem() && shown != nullptr && shown->isEnabled()) {
                titles.push_back(item->title());
            }
        }
        return titles;
    }
    bool anyEnabled(platform::Window* window, const std::string& title) {
        return !enabledTitles(window, title).empty();
    }

    // A document window: the song laid out as given, shown and active, so that it is the main window.
    struct SongWindow {
        std::unique_ptr<platform::ManagedObjectContext> context = tovtest::makeSongContext();
        Document* document = nullptr;
        TOVWindowController controller;
        platform::Window* window = nullptr;
    };
    SongWindow& openSong(const std::vector<tovtest::PageSpec>& pages) {
        auto song = std::make_unique<SongWindow>();
        song->document = tovtest::makeLayout(*song->context, pages);
        song->controller.setManagedObjectContext(song->context.get());
        song->window = song->controller.window();
        song->controller.setDocumentContent(song->document);
        song->window->show();
        song->window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(song->window));
        settle();
        windows.push_back(std::move(song));
        return *windows.back();
    }

    std::unique_ptr<UserDefaults> previous;
    platform::Application app;
    platform::DocumentController documents;
    std::unique_ptr<TOVApplicationController> controller;
    std::vector<std::unique_ptr<SongWindow>> windows;
};

// MARK: defaults

TEST_F(TOVApplicationControllerTest, RegistersEveryDefaultAndAStoredValueWins) {
    auto& defaults = UserDefaults::standard();
    // The user's own values, stored before the application starts.
    defaults.setString("displaySizeNumber", "150%");
    defaults.setBool("divideInputNote", false);
    defaults.setInteger("notationChordMinor", 1);
    makeController();

    struct Case {
        const char* key;
        std::int64_t integer;
    } registered[] = {
        {"actionNotesAreaDoubleClick", 0},
        {"actionNotesAreaRightClick", 1},
        {"actionChordsAreaDoubleClick", 1},
        {"actionChordsAreaRightClick", 0},
        {"notationBarline", 0},
        {"notationChordMajor", 1},
        {"notationChordDiminished", 0},
        {"notationChordAugment", 0},
        {"notationChordOn", 0},
        {"notationChordSharpFlat", 0},
    };
    for (const Case& c : registered) {
        ASSERT_TRUE(defaults.objectForKey(c.key).has_value()) << c.key;
        EXPECT_EQ(defaults.integerForKey(c.key), c.integer) << c.key;
    }
    ASSERT_TRUE(defaults.objectForKey("displaySizeAuto").has_value());
    EXPECT_FALSE(defaults.boolForKey("displaySizeAuto"));
    EXPECT_EQ(defaults.dataForKey("pageBackgroundColor"),
              platform::KeyedArchiver::archivedDataWithRootColor(platform::Color::white()));

    // Stored values win over the registration.
    EXPECT_EQ(defaults.stringForKey("displaySizeNumber"), "150%");
    EXPECT_FALSE(TOVUtils::divideInputNote());
    EXPECT_EQ(TOVUtils::currentChordNotationProfile().minor, 1);
    // Without a stored value, the registered one shows.
    defaults.removeObjectForKey("displaySizeNumber");
    EXPECT_EQ(defaults.stringForKey("displaySizeNumber"), "100%");
    defaults.removeObjectForKey("divideInputNote");
    EXPECT_TRUE(TOVUtils::divideInputNote());
    EXPECT_EQ(TOVUtils::actionTypeDoubleClickChordsArea(), 1);
    EXPECT_EQ(TOVUtils::actionTypeRightClickNotesArea(), 1);
}

// MARK: services and launch

TEST_F(TOVApplicationControllerTest, RegistersTheServicesOfTheLayersAboveTheModel) {
    TOVUtils::registerServices({});
    ASSERT_EQ(TOVUtils::noteViewFactory(), nullptr);
    makeController();
    EXPECT_EQ(TOVUtils::objectViewFactory(), TOVObjectViewFactory::singletonInstance());
    EXPECT_EQ(TOVUtils::chordViewFactory(), TOVChordViewFactory::singletonInstance());
    EXPECT_EQ(TOVUtils::noteViewFactory(), TOVNoteViewFactory::singletonInstance());
    // Cursors come from the program's images.
    const auto cursor = TOVUtils::cursorForResizeHandle(0);
    ASSERT_NE(cursor, nullptr);
    EXPECT_EQ(cursor->shape(), platform::Cursor::Shape::Image);
    EXPECT_EQ(std::filesystem::path(cursor->imagePath()).filename(), "cursorRightDown.png");
    // The about box is a window of its own with the version.
    TOVUtils::showAboutWindow();
    settle();
    EXPECT_TRUE(TOVAboutWindowController::singletonInstance()->window()->isVisible());
    EXPECT_EQ(TOVAboutWindowController::singletonInstance()->strVersionNumber(), "2.0 R");
    TOVAboutWindowController::singletonInstance()->window()->close();
}

TEST_F(TOVApplicationControllerTest, AboutOpensWholeOnScreenWithTheStartUpPanelsVersionLine) {
    makeController();
    TOVUtils::showAboutWindow();
    settle();
    platform::Window* about = TOVAboutWindowController::singletonInstance()->window();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(about));
    const QRect screen = about->screen()->availableGeometry();
    EXPECT_TRUE(screen.contains(about->frameGeometry()))
        << about->frameGeometry().x() << "," << about->frameGeometry().y();
    const auto* version = about->findChild<QLabel*>(QStringLiteral("version"));
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version->text(), TOVStartUpWindowController::singletonInstance()->versionLabel()->text());
    EXPECT_NE(version->text().indexOf(QStringLiteral("2.0 R")), -1);
    about->close();
    TOVStartUpWindowController::releaseSingletonInstance();
}

TEST_F(TOVApplicationControllerTest, HelpWithoutABrowserSaysSo) {
    makeController();
    std::vector<std::string> shown;
    platform::Alert::setAnswerHook([&](const platform::Alert& alert) -> std::optional<int> {
        shown.push_back(alert.messageText() + " " + alert.informativeText());
        return platform::Alert::DefaultReturn;
    });
    std::vector<QUrl> asked;
    for (bool browser : {true, false}) {
        TOVApplicationController::setUrlOpener([&asked, browser](const QUrl& url) {
            asked.push_back(url);
            return browser;
        });
        EXPECT_TRUE(app.sendAction("showHelpByBrowser:"));
        settle();
    }
    TOVApplicationController::setUrlOpener({});
    platform::Alert::setAnswerHook({});
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked.front(), QUrl(QString::fromLatin1(TOVApplicationController::supportPageAddress())));
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown.front().find("No web browser"), std::string::npos);
    EXPECT_NE(shown.front().find(TOVApplicationController::supportPageAddress()), std::string::npos);
}

TEST_F(TOVApplicationControllerTest, LaunchBuildsTheFontMenuFromTheFontListAndOpensNoUntitledDocument) {
    makeController();
    app.finishLaunching();
    ASSERT_NE(controller->fontMenu(), nullptr);
    const Menu& fonts = *controller->fontMenu()->submenu();
    ASSERT_EQ(fonts.numberOfItems(), 1);
    EXPECT_EQ(fonts.items()[0]->title(), "Default");
    EXPECT_EQ(fonts.items()[0]->tag(), 0);
    EXPECT_EQ(fonts.items()[0]->action(), "changePlugInFont:");
    EXPECT_EQ(TOVApplicationController::plugInFonts().front(), TOVPlugInFontDefinition::builtInFont());
    EXPECT_TRUE(documents.documents().empty());
    EXPECT_FALSE(controller->applicationShouldHandleReopen(false));
    EXPECT_TRUE(controller->applicationShouldHandleReopen(true));
}

// A chord notation preference reaches the chord factory at once; the observation ends with the delegate.
TEST_F(TOVApplicationControllerTest, ChordNotationPreferencesReachTheChordFactoryWhileTheDelegateLives) {
    makeController();
    app.finishLaunching();
    TOVChordViewFactory* chords = TOVChordViewFactory::singletonInstance();
    UserDefaults::standard().setInteger("notationChordOn", 1);
    EXPECT_EQ(chords->profile().on, 1);
    UserDefaults::standard().setInteger("notationChordSharpFlat", 1);
    EXPECT_EQ(chords->profile(), TOVUtils::currentChordNotationProfile());

    controller.reset();
    UserDefaults::standard().setInteger("notationChordOn", 0);
    EXPECT_EQ(chords->profile().on, 1);
    chords->setProfile(TOVChordNotationProfile{});
}

// MARK: menus

TEST_F(TOVApplicationControllerTest, EditBarsIsAMenuOfItsOwnWithEscapeOnNormal) {
    makeController();
    std::vector<std::string> titles;
    for (const auto& item : controller->mainMenu()->items()) {
        titles.push_back(item->title());
    }
    EXPECT_EQ(titles,
              (std::vector<std::string>{"File", "Edit", "Edit Bars", "Layout", "Change", "View", "Help"}));
    const Menu& bars = menu("Edit Bars");
    struct Case {
        const char* title;
        int tag;
    } modes[] = {{"Normal", 0}, {"Copy Bars", 1}, {"Paste Bars", 2}, {"Cut Bars", 3}, {"Delete Bars", 4}};
    for (const Case& c : modes) {
        const MenuItem* item = bars.itemWithTitle(c.title);
        ASSERT_NE(item, nullptr) << c.title;
        EXPECT_EQ(item->tag(), c.tag);
        EXPECT_EQ(item->action(), "editBarsModeDidChange:");
    }
    EXPECT_EQ(bars.itemWithTitle("Normal")->keySequence(), QKeySequence(Qt::Key_Escape));
    // None of the menus that the bar-range modes disable holds it.
    for (const char* disabled : {"Layout", "Edit", "Change"}) {
        EXPECT_EQ(menu(disabled).submenuWithTitle("Edit Bars"), nullptr) << disabled;
    }
    for (const char* numeric : {"A Page", "Partition", "Parts", "Bar Number"}) {
        EXPECT_FALSE(menu(numeric).autoenablesItems()) << numeric;
    }
}

// Without a document window in front: "Layout", "Edit" and "Change" are off, the numeric menus check the
// item of tag 0 when there is one, "Partition" allows no count, and "Default" is the font.
TEST_F(TOVApplicationControllerTest, MenuStatesWithoutAFrontDocument) {
    makeController();
    app.finishLaunching();
    platform::Window window;
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    settle();
    ASSERT_NE(window.applicationMenuBar(), nullptr) << "a document window gets the main menu";
    ASSERT_EQ(app.mainWindow(), &window);
    EXPECT_EQ(controller->windowController(), nullptr);

    for (const char* title : {"Layout", "Edit", "Change"}) {
        EXPECT_FALSE(anyEnabled(&window, title)) << title;
    }
    EXPECT_EQ(checkedTags(&window, "A Page"), std::vector<int>{});
    EXPECT_EQ(checkedTags(&window, "Partition"), std::vector<int>{});
    EXPECT_EQ(enabledTags(&window, "Partition"), std::vector<int>{});
    EXPECT_EQ(checkedTags(&window, "Parts"), std::vector<int>{});
    EXPECT_EQ(checkedTags(&window, "Bar Number"), std::vector<int>{0});
    EXPECT_EQ(checkedTags(&window, "Font"), std::vector<int>{0});
    // Items of the other menus follow their responders: New reaches the document controller.
    openMenu(&window, "File");
    EXPECT_TRUE(action(&window, "File", "New")->isEnabled());
}

// With a song in front, the counts come from its selected line and page, and a bar-range mode turns
// "Layout", "Edit" and "Change" off until normal editing is back.
TEST_F(TOVApplicationControllerTest, MenuStatesFollowTheFrontDocument) {
    makeController();
    app.finishLaunching();
    // After the song header's bar-less line, the first line holds 4 bars (bar 0 is selected); the single
    // line after it 3 more; then a double line stops the walk: the first line may take at most 7 bars.
    SongWindow& song = openSong({{.aPage = 10,
                                  .lines = {{.partition = 0, .bars = 0},
                                            {.partition = 4, .bars = 4},
                                            {.partition = 3, .bars = 3},
                                            {.partition = 4, .bars = 4, .isDouble = true}}}});
    ASSERT_EQ(controller->windowController(), &song.controller);
    ASSERT_NE(song.window->applicationMenuBar(), nullptr);
    TOVEditorViewController* editor = song.controller.editorController();
    ASSERT_NE(editor, nullptr);

    EXPECT_EQ(checkedTags(song.window, "A Page"), std::vector<int>{10});
    EXPECT_EQ(checkedTags(song.window, "Partition"), std::vector<int>{4});
    EXPECT_EQ(enabledTags(song.window, "Partition"), (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(checkedTags(song.window, "Parts"), std::vector<int>{1});
    song.document->setBarNumberShow(2);
    EXPECT_EQ(checkedTags(song.window, "Bar Number"), std::vector<int>{2});
    song.document->setBarNumberShow(1);
    EXPECT_EQ(checkedTags(song.window, "Bar Number"), std::vector<int>{1});
    // The selected line made double and single again.
    editor->setNumberOfRowsInSelectedLine(2);
    EXPECT_EQ(checkedTags(song.window, "Parts"), std::vector<int>{2});
    editor->setNumberOfRowsInSelectedLine(1);
    EXPECT_EQ(checkedTags(song.window, "Parts"), std::vector<int>{1});

    // The Font menu checks the item titled like the document's font, and none for an unknown font.
    song.document->setPlugInFontName("Default");
    EXPECT_EQ(checkedTags(song.window, "Font"), std::vector<int>{0});
    song.document->setPlugInFontName("Jazz");
    EXPECT_EQ(checkedTags(song.window, "Font"), std::vector<int>{});

    struct Case {
        int mode;
        bool editing;
    } modes[] = {{TOVEditorViewController::Copy, false},
                 {TOVEditorViewController::Paste, false},
                 {TOVEditorViewController::Cut, false},
                 {TOVEditorViewController::Delete, false},
                 {TOVEditorViewController::Normal, true}};
    // The submenus of "Layout" and "Change" are open to normal editing only; the other items follow
    // their responders as well.
    const std::vector<std::string> submenus{"A Page",     "Partition",  "Parts",     "Bar Number", "Font",
                                            "Accidental", "Enharmonic", "Note Head", "Transpose"};
    for (const Case& c : modes) {
        editor->setEditBarsMode(c.mode);
        std::vector<std::string> open;
        for (const char* title : {"Layout", "Change"}) {
            for (const std::string& name : enabledTitles(song.window, title)) {
                open.push_back(name);
            }
        }
        if (c.editing) {
            for (const std::string& name : submenus) {
                EXPECT_NE(std::find(open.begin(), open.end(), name), open.end()) << name;
            }
        } else {
            EXPECT_EQ(open, std::vector<std::string>{}) << "mode " << c.mode;
        }
        if (!c.editing) {
            EXPECT_TRUE(enabledTitles(song.window, "Edit").empty()) << "mode " << c.mode;
        }
        // The way back to normal editing is never hidden by the mode.
        QMenu* bars = song.window->applicationMenuBar()->qMenuFor(&menu("Edit Bars"));
        EXPECT_TRUE(bars->menuAction()->isEnabled()) << "mode " << c.mode;
    }

    // Escape is the key of "Normal": it ends a bar-range mode through the menu.
    editor->setEditBarsMode(TOVEditorViewController::Cut);
    QTest::keyClick(song.window->windowHandle(), Qt::Key_Escape);
    settle();
    EXPECT_EQ(editor->editBarsMode(), TOVEditorViewController::Normal);
    EXPECT_TRUE(song.window->isVisible());
}

// The counts of "A Page" and "Partition" are commands: choosing an item sets that count.
TEST_F(TOVApplicationControllerTest, ChoosingACountInTheLayoutMenusChangesTheSong) {
    makeController();
    app.finishLaunching();
    SongWindow& song = openSong(
        {{.aPage = 10,
          .lines = {{.partition = 0, .bars = 0}, {.partition = 4, .bars = 4}, {.partition = 4, .bars = 4}}}});
    TOVEditorViewController* editor = song.controller.editorController();
    ASSERT_NE(editor, nullptr);
    const auto choose = [&](const std::string& title, int tag) {
        openMenu(song.window, title);
        for (const auto& item : menu(title).items()) {
            if (!item->isSeparatorItem() && item->tag() == tag) {
                QAction* shown = song.window->applicationMenuBar()->qActionFor(item.get());
                ASSERT_NE(shown, nullptr);
                ASSERT_TRUE(shown->isEnabled()) << title << " " << tag;
                shown->trigger();
                settle();
                return;
            }
        }
        ADD_FAILURE() << "no item " << tag << " in " << title;
    };
    choose("Partition", 2);
    EXPECT_EQ(editor->numberOfBarsInSelectedLine(), 2u);
    EXPECT_EQ(checkedTags(song.window, "Partition"), std::vector<int>{2});
    choose("A Page", 8);
    EXPECT_EQ(editor->numberOfLinesInSelectedPage(), 8u);
    EXPECT_EQ(checkedTags(song.window, "A Page"), std::vector<int>{8});
}

} // namespace
