#include "ShellSkeleton.h"

#include "platform/foundation/MemoryDefaultsStore.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/Alert.h"
#include "platform/ui/ApplicationMenuBar.h"
#include "platform/ui/MenuDelegate.h"
#include "platform/ui/OpenPanel.h"
#include "platform/ui/PrintOperation.h"
#include "platform/ui/SavePanel.h"
#include "support/PdfPages.h"
#include "support/TempDir.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using namespace platform;
using shelltest::TextDocument;

namespace {

void settle() {
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

std::string readText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Runs the call as the handler of one event of the main loop, so undo groups by that event.
void inOneEvent(std::function<void()> call) {
    Application::performDeferred(std::move(call));
    settle();
}

// A view that takes Undo for itself and refuses it, as a view does whose own edits are not undoable.
class UndoRefusingView : public View {
public:
    UndoRefusingView() : View(Rect(0, 0, 50, 50)) {
        addActionHandler("undo:", [this](MenuItem*) { ++undos; });
    }
    bool acceptsFirstResponder() const override { return true; }
    bool validateMenuItem(MenuItem& item) override { return item.action() != "undo:"; }
    int undos = 0;
};

class ApplicationShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        controller.registerDocumentType(shelltest::textDocumentType());
        app.setDocumentController(&controller);
        app.setDelegate(&delegate);
        app.setMainMenu(shelltest::makeMainMenu());
    }
    void TearDown() override {
        Alert::setAnswerHook({});
        SavePanel::setTestAnswer({});
        OpenPanel::setTestAnswer({});
        PrintOperation::setPrintPanelAnswer({});
        const auto documents = controller.documents();
        for (const auto& document : documents) {
            document->close();
        }
        settle();
    }

    TextDocument* open(const std::filesystem::path& path) {
        auto* document = static_cast<TextDocument*>(controller.openDocumentWithContentsOfURL(path, true));
        if (document != nullptr) {
            (void)QTest::qWaitForWindowActive(document->window());
        }
        return document;
    }
    // A click on a button of a dialog, through the window system.
    static void click(QAbstractButton* button) {
        ASSERT_NE(button, nullptr);
        QTest::mouseClick(button->window()->windowHandle(), Qt::LeftButton, {},
                          button->mapTo(button->window(), button->rect().center()));
        settle();
    }
    static void keyClick(Window* window, Qt::Key key, Qt::KeyboardModifiers mods = {}) {
        QTest::keyClick(window->windowHandle(), key, mods);
        settle();
    }
    QAction* actionFor(Window* window, const std::string& menu, const std::string& title) {
        Menu* model = app.mainMenu()->submenuWithTitle(menu);
        return window->applicationMenuBar()->qActionFor(model->itemWithTitle(title));
    }
    // Shows the menu as a click on its title does, so its items are validated, and closes it again.
    void showMenu(Window* window, const std::string& title) {
        QMenu* menu = window->applicationMenuBar()->qMenuFor(app.mainMenu()->submenuWithTitle(title));
        menu->popup(window->mapToGlobal(QPoint(10, 10)));
        settle();
        menu->hide();
        settle();
    }

    // Each test starts without recent documents of an earlier one.
    bool forgotRecent = [] {
        UserDefaults::standard().setString("RecentDocumentPaths", "");
        return true;
    }();
    TempDir dir;
    Application app;
    DocumentController controller;
    shelltest::RecordingDelegate delegate;
};

TEST_F(ApplicationShellTest, OpensEditsThroughUndoAndSavesAtomically) {
    const auto path = dir.write("song.txz", "hello");
    TextDocument* document = open(path);
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(document->text, "hello");
    EXPECT_EQ(document->fileType(), "Text Document");
    EXPECT_FALSE(document->isDocumentEdited());
    EXPECT_EQ(controller.recentDocumentURLs().front(), path);
    EXPECT_EQ(app.mainWindow(), document->window());
    EXPECT_EQ(document->window()->windowTitle().toStdString(), "song[*]");

    inOneEvent([&] { document->append(" world"); });
    EXPECT_TRUE(document->isDocumentEdited());
    EXPECT_TRUE(document->window()->isWindowModified());

    // Undo back to the saved state is not an edit; redo is.
    keyClick(document->window(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(document->text, "hello");
    EXPECT_FALSE(document->isDocumentEdited());
    keyClick(document->window(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(document->text, "hello world");
    EXPECT_TRUE(document->isDocumentEdited());

    keyClick(document->window(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(readText(path), "hello world");
    EXPECT_FALSE(document->isDocumentEdited());
    EXPECT_FALSE(document->window()->isWindowModified());
    // Nothing is left beside the file.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST_F(ApplicationShellTest, OpenPanelOpensEachFileOnceAndFailuresOpenNothing) {
    const auto good = dir.write("a.txz", "a");
    const auto bad = dir.write("b.txz", "!broken");
    const auto foreign = dir.write("c.png", "x");
    std::vector<std::string> allowed;
    OpenPanel::setTestAnswer([&](const OpenPanel& panel) {
        allowed = panel.allowedFileTypes;
        return std::vector<std::filesystem::path>{good, good, bad, foreign};
    });
    std::vector<std::string> alerts;
    Alert::setAnswerHook([&](const Alert& alert) {
        alerts.push_back(alert.messageText());
        return std::optional<int>(Alert::DefaultReturn);
    });
    app.sendAction("openDocument:");
    settle();
    EXPECT_EQ(allowed, (std::vector<std::string>{"txz", "txr"}));
    ASSERT_EQ(controller.documents().size(), 1u);
    EXPECT_EQ(controller.documents().front()->fileURL(), good);
    EXPECT_EQ(alerts.size(), 2u);
    EXPECT_EQ(controller.recentDocumentURLs(), std::vector<std::filesystem::path>{good});
}

TEST_F(ApplicationShellTest, SaveOfReadOnlyTypeGoesToSaveAsAndLeavesTheOldFile) {
    const auto legacy = dir.write("old.txr", "legacy");
    TextDocument* document = open(legacy);
    ASSERT_NE(document, nullptr);
    inOneEvent([&] { document->append("+"); });
    std::string proposed;
    std::vector<std::string> allowed;
    SavePanel::setTestAnswer([&](SavePanel& panel) {
        proposed = panel.nameFieldStringValue;
        allowed = panel.allowedFileTypes;
        return std::optional<std::filesystem::path>(dir / "new");
    });
    keyClick(document->window(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(proposed, "old");
    EXPECT_EQ(allowed, std::vector<std::string>{"txz"});
    EXPECT_EQ(readText(legacy), "legacy");
    EXPECT_EQ(readText(dir / "new.txz"), "legacy+");
    EXPECT_EQ(document->fileURL(), dir / "new.txz");
    EXPECT_FALSE(document->isDocumentEdited());
}

TEST_F(ApplicationShellTest, FailedSaveKeepsTheOldFileAndTheEditedState) {
    const auto path = dir.write("song.txz", "hello");
    TextDocument* document = open(path);
    ASSERT_NE(document, nullptr);
    inOneEvent([&] { document->append("!"); });
    // A folder in the way of the temporary file's rename.
    std::filesystem::remove(path);
    std::filesystem::create_directory(path);
    std::filesystem::create_directory(path / "inside");
    int alerts = 0;
    Alert::setAnswerHook([&](const Alert&) {
        ++alerts;
        return std::optional<int>(Alert::DefaultReturn);
    });
    EXPECT_FALSE(document->saveDocument());
    settle();
    EXPECT_EQ(alerts, 1);
    EXPECT_TRUE(document->isDocumentEdited());
    EXPECT_TRUE(std::filesystem::is_directory(path / "inside"));
}

TEST_F(ApplicationShellTest, ClosingAnEditedDocumentAsksOnItsWindow) {
    const auto path = dir.write("song.txz", "hello");
    TextDocument* document = open(path);
    ASSERT_NE(document, nullptr);
    Window* window = document->window();
    inOneEvent([&] { document->append("!"); });

    ASSERT_TRUE(document->isDocumentEdited());
    // The close button: the sheet shows and the window stays.
    window->windowHandle()->close();
    settle();
    Alert* sheet = Alert::sheetOnWindow(window);
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->buttonTitles(), (std::vector<std::string>{"Save", "Cancel", "Don't Save"}));
    EXPECT_TRUE(window->isVisible());
    click(sheet->buttonWithTitle("Cancel"));
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(controller.documents().size(), 1u);

    // Close from the menu's key equivalent, then Don't Save: closed, the file as it was.
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    keyClick(window, Qt::Key_W, Qt::ControlModifier);
    sheet = Alert::sheetOnWindow(window);
    ASSERT_NE(sheet, nullptr);
    click(sheet->buttonWithTitle("Don't Save"));
    EXPECT_TRUE(controller.documents().empty());
    EXPECT_EQ(readText(path), "hello");
}

TEST_F(ApplicationShellTest, SaveAnswerSavesBeforeClosing) {
    const auto path = dir.write("song.txz", "hello");
    TextDocument* document = open(path);
    ASSERT_NE(document, nullptr);
    inOneEvent([&] { document->append("!"); });
    Alert::setAnswerHook([](const Alert&) { return std::optional<int>(Alert::DefaultReturn); });
    document->window()->performClose();
    settle();
    EXPECT_TRUE(controller.documents().empty());
    EXPECT_EQ(readText(path), "hello!");
}

TEST_F(ApplicationShellTest, MenusAreValidatedAlongTheResponderChain) {
    const auto path = dir.write("song.txz", "hello");
    TextDocument* document = open(path);
    ASSERT_NE(document, nullptr);
    Window* window = document->window();
    QAction* undo = actionFor(window, "Edit", "Undo");
    QAction* redo = actionFor(window, "Edit", "Redo");
    EXPECT_EQ(undo->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));

    showMenu(window, "Edit");
    EXPECT_FALSE(undo->isEnabled());
    inOneEvent([&] { document->append("!"); });
    showMenu(window, "Edit");
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_EQ(undo->text(), "Undo Typing");
    EXPECT_FALSE(redo->isEnabled());

    // A first responder view that refuses Undo disables it in the menu and for its key equivalent.
    auto refusing = std::make_shared<UndoRefusingView>();
    document->root->addSubview(refusing);
    ASSERT_TRUE(window->makeFirstResponder(refusing.get()));
    EXPECT_EQ(app.targetForAction("undo:", window), refusing.get());
    showMenu(window, "Edit");
    EXPECT_FALSE(undo->isEnabled());
    keyClick(window, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(document->text, "hello!");
    EXPECT_EQ(refusing->undos, 0);

    // Once it resigns, the key equivalent is validated anew and reaches the document.
    ASSERT_TRUE(window->makeFirstResponder(nullptr));
    EXPECT_EQ(window->firstResponderView(), nullptr);
    keyClick(window, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(document->text, "hello");
}

TEST_F(ApplicationShellTest, MenuHooksAndCheckMarks) {
    struct Delegate : MenuDelegate {
        std::vector<std::string> calls;
        void menuNeedsUpdate(Menu& menu) override { calls.push_back("update " + menu.title()); }
        void menuWillOpen(Menu& menu) override { calls.push_back("open " + menu.title()); }
    } hooks;
    struct Chooser : Responder {
        int chosen = 2;
        Chooser() {
            addActionHandler("choose:", [this](MenuItem* item) { chosen = item->tag(); });
        }
        bool validateMenuItem(MenuItem& item) override {
            item.setState(item.tag() == chosen ? MenuItem::OnState : MenuItem::OffState);
            return item.tag() <= 3;
        }
    } chooser;
    auto parts = app.mainMenu()->addSubmenu("Parts");
    parts->setDelegate(&hooks);
    for (int tag = 1; tag <= 4; ++tag) {
        parts->addItem(
            std::make_shared<MenuItem>(std::to_string(tag), "choose:", tag == 1 ? "Cmd+1" : "", tag));
    }
    Window window;
    window.setMenuModel(app.mainMenu());
    // An explicit target for the whole menu.
    for (const auto& item : parts->items()) {
        item->setTarget(&chooser);
    }
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    showMenu(&window, "Parts");
    EXPECT_EQ(hooks.calls, (std::vector<std::string>{"update Parts", "open Parts"}));
    const auto action = [&](int tag) {
        return window.applicationMenuBar()->qActionFor(parts->itemWithTag(tag));
    };
    EXPECT_TRUE(action(2)->isChecked());
    EXPECT_FALSE(action(1)->isChecked());
    EXPECT_FALSE(action(4)->isEnabled());

    // The key equivalent: the menu is updated (not opened), then the item fires.
    hooks.calls.clear();
    keyClick(&window, Qt::Key_1, Qt::ControlModifier);
    EXPECT_EQ(chooser.chosen, 1);
    ASSERT_FALSE(hooks.calls.empty());
    EXPECT_EQ(hooks.calls.front(), "update Parts");
    EXPECT_EQ(std::count(hooks.calls.begin(), hooks.calls.end(), "open Parts"), 0);
    showMenu(&window, "Parts");
    EXPECT_TRUE(action(1)->isChecked());
    EXPECT_FALSE(action(2)->isChecked());
}

TEST_F(ApplicationShellTest, KeyEquivalentsMapCommandToCtrl) {
    struct Case {
        const char* text;
        QKeySequence keys;
    } cases[] = {
        {"Cmd+Z", QKeySequence(Qt::CTRL | Qt::Key_Z)},
        {"Cmd+Shift+S", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)},
        {"Ctrl+A", QKeySequence(Qt::META | Qt::Key_A)},
        {"Cmd++", QKeySequence(Qt::CTRL | Qt::Key_Plus)},
        {"", QKeySequence()},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MenuItem::keySequenceFor(c.text), c.keys) << c.text;
    }
}

TEST_F(ApplicationShellTest, MainWindowIsTheLastActiveDocumentWindow) {
    TextDocument* first = open(dir.write("a.txz", "a"));
    TextDocument* second = open(dir.write("b.txz", "b"));
    ASSERT_TRUE(first && second);
    EXPECT_EQ(app.mainWindow(), second->window());
    Window panel(Window::Kind::Panel);
    panel.show();
    panel.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&panel));
    EXPECT_EQ(app.keyWindow(), &panel);
    EXPECT_EQ(app.mainWindow(), second->window());
    EXPECT_EQ(controller.currentDocument(), second);
    // Actions from the panel reach the main window's document.
    EXPECT_EQ(app.targetForAction("saveDocument:", &panel), second);

    first->window()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(first->window()));
    EXPECT_EQ(app.mainWindow(), first->window());
    first->close();
    settle();
    EXPECT_EQ(app.mainWindow(), nullptr);
}

TEST_F(ApplicationShellTest, LaunchAndReopen) {
    app.finishLaunching();
    EXPECT_EQ(delegate.calls, (std::vector<std::string>{"will", "untitled?", "did"}));
    EXPECT_TRUE(controller.documents().empty());

    delegate.calls.clear();
    delegate.openUntitled = true;
    app.reopen();
    EXPECT_EQ(delegate.calls, (std::vector<std::string>{"reopen none visible", "untitled?"}));
    ASSERT_EQ(controller.documents().size(), 1u);
    EXPECT_EQ(controller.documents().front()->displayName(), "Untitled");

    delegate.calls.clear();
    app.reopen();
    EXPECT_EQ(delegate.calls, (std::vector<std::string>{"reopen visible"}));
    EXPECT_EQ(controller.documents().size(), 1u);
}

// Every way a user closes a modal window reaches its one close handler, which ends the run.
TEST_F(ApplicationShellTest, ModalRunEndsThroughOneCloseHandlerHoweverClosed) {
    enum class Way { CloseButton, Escape, CancelButton, MenuClose };
    for (Way way : {Way::CloseButton, Way::Escape, Way::CancelButton, Way::MenuClose}) {
        Window owner;
        owner.setMenuModel(app.mainMenu());
        owner.show();
        Window modal(Window::Kind::Panel);
        modal.setMenuModel(app.mainMenu());
        auto* cancel = new QPushButton("Cancel");
        modal.setCentralWidget(cancel);
        QObject::connect(cancel, &QPushButton::clicked, &modal, [&] { modal.performClose(); });
        int closes = 0;
        modal.setWillCloseHandler([&] {
            ++closes;
            app.stopModalWithCode(7);
        });
        bool ownerGotKey = false;
        bool otherRepainted = false;
        Application::performDeferred([&] {
            ASSERT_TRUE(QTest::qWaitForWindowActive(&modal));
            EXPECT_EQ(app.modalWindow(), &modal);
            // Other windows take no input but still repaint.
            struct KeySpy : QObject {
                bool* seen;
                bool eventFilter(QObject*, QEvent* e) override {
                    if (e->type() == QEvent::KeyPress) {
                        *seen = true;
                    }
                    return false;
                }
            } spy;
            spy.seen = &ownerGotKey;
            owner.installEventFilter(&spy);
            QTest::keyClick(owner.windowHandle(), Qt::Key_A);
            owner.removeEventFilter(&spy);
            owner.update();
            otherRepainted = QTest::qWaitForWindowExposed(&owner);
            switch (way) {
            case Way::CloseButton:
                modal.windowHandle()->close();
                break;
            case Way::Escape:
                QTest::keyClick(modal.windowHandle(), Qt::Key_Escape);
                break;
            case Way::CancelButton:
                QTest::mouseClick(modal.windowHandle(), Qt::LeftButton, {},
                                  cancel->mapTo(&modal, cancel->rect().center()));
                break;
            case Way::MenuClose:
                QTest::keyClick(modal.windowHandle(), Qt::Key_W, Qt::ControlModifier);
                break;
            }
        });
        const int code = app.runModalForWindow(&modal);
        EXPECT_EQ(code, 7) << static_cast<int>(way);
        EXPECT_EQ(closes, 1) << static_cast<int>(way);
        EXPECT_FALSE(modal.isVisible());
        EXPECT_FALSE(ownerGotKey);
        EXPECT_TRUE(otherRepainted);
        EXPECT_EQ(app.modalWindow(), nullptr);
    }
}

TEST_F(ApplicationShellTest, ModalWindowClosedWithoutStoppingEndsTheRun) {
    Window modal(Window::Kind::Panel);
    Application::performDeferred([&] { modal.close(); });
    EXPECT_EQ(app.runModalForWindow(&modal), Application::ModalResponseAbort);
}

TEST_F(ApplicationShellTest, SheetRunAnswersTheCodeOfItsButton) {
    TextDocument* document = open(dir.write("a.txz", "a"));
    ASSERT_NE(document, nullptr);
    Window sheet(Window::Kind::Panel);
    auto* ok = new QPushButton("OK");
    sheet.setCentralWidget(ok);
    // The button only stops the run, as the value sheets' buttons do: the run puts the sheet away.
    QObject::connect(ok, &QPushButton::clicked, &sheet, [&] { app.stopModalWithCode(1); });
    QWidget* parentWhileRunning = nullptr;
    Application::performDeferred([&] {
        ASSERT_TRUE(QTest::qWaitForWindowActive(&sheet));
        parentWhileRunning = sheet.parentWidget();
        QTest::mouseClick(sheet.windowHandle(), Qt::LeftButton, {}, ok->mapTo(&sheet, ok->rect().center()));
    });
    EXPECT_EQ(app.runModalSheetForWindow(&sheet, document->window()), 1);
    EXPECT_EQ(parentWhileRunning, document->window());
    // Afterwards the sheet is its controller's alone again.
    EXPECT_EQ(sheet.parentWidget(), nullptr);
    EXPECT_FALSE(sheet.isVisible());
    // The keyboard is back with the window the sheet hung from, not with the hidden sheet.
    EXPECT_TRUE(QTest::qWaitForWindowActive(document->window(), 1000));
    EXPECT_EQ(QGuiApplication::focusWindow(), document->window()->windowHandle());
}

// What the input windows do: while they run, each commit closes the open group and opens a new one, and
// on closing every group closes and grouping by event resumes.
TEST_F(ApplicationShellTest, ChangeInsideModalRunDoesNotMergeWithTheOneBefore) {
    TextDocument* document = open(dir.write("a.txz", "a"));
    ASSERT_NE(document, nullptr);
    UndoManager& undo = document->undoManager();
    for (bool modalCommitsItsGroups : {true, false}) {
        undo.removeAllActions();
        document->text = "a";
        Window modal(Window::Kind::Panel);
        modal.setWillCloseHandler([&] { app.stopModal(); });
        inOneEvent([&] {
            document->append("b");
            if (modalCommitsItsGroups) {
                undo.setGroupsByEvent(false);
            }
            Application::performDeferred([&] {
                if (modalCommitsItsGroups) {
                    undo.endUndoGrouping();
                    undo.beginUndoGrouping();
                }
                document->append("c");
                Application::performDeferred([&] { modal.close(); });
            });
            app.runModalForWindow(&modal);
            if (modalCommitsItsGroups) {
                while (undo.groupingLevel() > 0) {
                    undo.endUndoGrouping();
                }
                undo.setGroupsByEvent(true);
            }
        });
        EXPECT_EQ(document->text, "abc");
        undo.undo();
        EXPECT_EQ(document->text, modalCommitsItsGroups ? "ab" : "a") << modalCommitsItsGroups;
    }
}

TEST_F(ApplicationShellTest, AlertsQueuePerWindowAndAnswerTheirCodes) {
    TextDocument* first = open(dir.write("a.txz", "a"));
    TextDocument* second = open(dir.write("b.txz", "b"));
    ASSERT_TRUE(first && second);
    std::vector<std::string> answers;
    const auto record = [&](const std::string& name) {
        return [&answers, name](int code) { answers.push_back(name + " " + std::to_string(code)); };
    };
    Alert::alertWithMessage("Transpose key +2.", "Transpose", "Cancel")
        ->beginSheetModalForWindow(first->window(), record("transpose"));
    Alert::alertWithMessage("Lower part will be deleted.", "Continue", "Cancel")
        ->beginSheetModalForWindow(first->window(), record("delete"));
    Alert::alertWithMessage("Other window.", "OK")
        ->beginSheetModalForWindow(second->window(), record("other"));
    settle();
    ASSERT_NE(Alert::sheetOnWindow(first->window()), nullptr);
    EXPECT_EQ(Alert::sheetOnWindow(first->window())->messageText(), "Transpose key +2.");
    EXPECT_EQ(Alert::waitingSheetCount(first->window()), 1);
    ASSERT_NE(Alert::sheetOnWindow(second->window()), nullptr);

    click(Alert::sheetOnWindow(first->window())->buttonWithTitle("Transpose"));
    ASSERT_NE(Alert::sheetOnWindow(first->window()), nullptr);
    EXPECT_EQ(Alert::sheetOnWindow(first->window())->messageText(), "Lower part will be deleted.");
    QMessageBox* box = Alert::sheetOnWindow(first->window())->messageBox();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(box));
    QTest::keyClick(box->windowHandle(), Qt::Key_Escape);
    settle();
    EXPECT_EQ(Alert::sheetOnWindow(first->window()), nullptr);
    EXPECT_EQ(answers, (std::vector<std::string>{"transpose 1", "delete 0"}));

    // The hook answers without showing, still one at a time and after the event that began them.
    std::vector<std::string> asked;
    Alert::setAnswerHook([&](const Alert& alert) {
        asked.push_back(alert.messageText());
        return std::optional<int>(alert.messageText() == "one" ? 1 : 0);
    });
    Alert::alertWithMessage("one", "OK", "Cancel")->beginSheetModalForWindow(first->window(), record("one"));
    Alert::alertWithMessage("two", "OK", "Cancel")->beginSheetModalForWindow(first->window(), record("two"));
    EXPECT_EQ(answers.size(), 2u);
    settle();
    EXPECT_EQ(asked, (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(answers.back(), "two 0");
    EXPECT_EQ(answers[2], "one 1");
}

TEST_F(ApplicationShellTest, ASheetBegunBeforeItsWindowShowsStandsOnTheWindowOnceItIsShown) {
    Window window;
    window.setGeometry(200, 150, 600, 400);
    std::vector<int> answers;
    Alert::alertWithMessage("An older version.", "OK")->beginSheetModalForWindow(&window, [&](int code) {
        answers.push_back(code);
    });
    settle();
    ASSERT_NE(Alert::sheetOnWindow(&window), nullptr);
    EXPECT_EQ(Alert::sheetOnWindow(&window)->messageBox(), nullptr);

    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    settle();
    QMessageBox* box = Alert::sheetOnWindow(&window)->messageBox();
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(box));
    // Bound to its window, so the window system keeps it over it, and placed over it.
    ASSERT_NE(box->windowHandle(), nullptr);
    EXPECT_EQ(box->windowHandle()->transientParent(), window.windowHandle());
    EXPECT_TRUE(window.frameGeometry().contains(box->frameGeometry().center()));
    QTest::keyClick(box->windowHandle(), Qt::Key_Return);
    settle();
    EXPECT_EQ(answers, std::vector<int>{Alert::DefaultReturn});
    EXPECT_EQ(Alert::sheetOnWindow(&window), nullptr);
}

TEST_F(ApplicationShellTest, PanelsStartInTheUsersDocumentsThenWhereTheLastFileWasChosen) {
    auto previous = UserDefaults::replaceStandard(
        std::make_unique<UserDefaults>(std::make_unique<MemoryDefaultsStore>()));
    ASSERT_TRUE(QDir::home().mkpath(QStringLiteral("Documents")));
    const std::filesystem::path documents = QDir::home().filePath(QStringLiteral("Documents")).toStdString();
    std::vector<std::filesystem::path> startedIn;
    OpenPanel::setTestAnswer([&](const OpenPanel& panel) {
        startedIn.push_back(panel.directory);
        return std::optional<std::vector<std::filesystem::path>>();
    });
    SavePanel::setTestAnswer([&](SavePanel& panel) {
        startedIn.push_back(panel.directory);
        return std::optional<std::filesystem::path>(dir / "Chosen.txz");
    });
    OpenPanel().runModal();
    SavePanel().runModal();
    OpenPanel().runModal();
    // A panel given a folder of its own starts there.
    OpenPanel own;
    own.directory = "/";
    own.runModal();
    UserDefaults::replaceStandard(std::move(previous));
    EXPECT_EQ(startedIn, (std::vector<std::filesystem::path>{documents, documents, dir.path(), "/"}));
}

TEST_F(ApplicationShellTest, PrintsThreePagesToPdfAndThroughThePrintDialog) {
    TextDocument* document = open(dir.write("a.txz", "a"));
    ASSERT_NE(document, nullptr);
    const QString direct = QString::fromStdString((dir / "direct.pdf").string());
    std::unique_ptr<PrintOperation> operation = document->printOperation();
    ASSERT_NE(operation, nullptr);
    operation->setPdfPath(direct);
    ASSERT_TRUE(operation->runOperation());
    EXPECT_EQ(operation->pagesPrinted(), 3);
    EXPECT_EQ(tovtest::pdfMediaBoxes(direct), std::vector<std::vector<double>>(3, {0, 0, 595, 842}));

    // Print… from the menu: the dialog's answer picks the output; cancelling prints nothing.
    const QString viaDialog = QString::fromStdString((dir / "dialog.pdf").string());
    bool accept = false;
    PrintOperation::setPrintPanelAnswer([&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(viaDialog);
        return accept;
    });
    keyClick(document->window(), Qt::Key_P, Qt::ControlModifier);
    EXPECT_FALSE(QFile::exists(viaDialog));
    accept = true;
    keyClick(document->window(), Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(tovtest::pdfMediaBoxes(viaDialog).size(), 3u);
}

TEST_F(ApplicationShellTest, DeferredBlocksRunAfterTheEventInModalLoopsToo) {
    std::vector<int> order;
    Window modal(Window::Kind::Panel);
    Application::performDeferred([&] {
        order.push_back(1);
        Application::performDeferred([&] {
            order.push_back(3);
            app.stopModal();
        });
        order.push_back(2);
    });
    EXPECT_EQ(app.runModalForWindow(&modal), Application::ModalResponseStop);
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
}

TEST_F(ApplicationShellTest, RecentDocumentsAreNewestFirstWithoutRepeats) {
    for (const char* name : {"a.txz", "b.txz", "a.txz"}) {
        controller.noteNewRecentDocumentURL(dir / name);
    }
    EXPECT_EQ(controller.recentDocumentURLs(),
              (std::vector<std::filesystem::path>{dir / "a.txz", dir / "b.txz"}));
    for (int i = 0; i < 15; ++i) {
        controller.noteNewRecentDocumentURL(dir / (std::to_string(i) + ".txz"));
    }
    EXPECT_EQ(controller.recentDocumentURLs().size(), 10u);
    // The next run finds them.
    DocumentController nextRun;
    EXPECT_EQ(nextRun.recentDocumentURLs(), controller.recentDocumentURLs());
    app.sendAction("clearRecentDocuments:");
    EXPECT_TRUE(DocumentController().recentDocumentURLs().empty());
    EXPECT_TRUE(controller.recentDocumentURLs().empty());
}

} // namespace

namespace {

// The platform's own save panel: the accessory shows in it, the proposed name is filled in, and a name
// typed without an extension gets the allowed one.
TEST_F(ApplicationShellTest, SavePanelShowsItsAccessoryAndAddsTheExtension) {
    SavePanel panel;
    panel.allowedFileTypes = {"txz"};
    panel.directory = dir.path();
    panel.nameFieldStringValue = "Proposed";
    panel.prompt = "Save";
    panel.setAccessoryView(new QLabel("Format options"));
    QString proposed;
    bool accessoryShown = false;
    Application::performDeferred([&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
        accessoryShown = panel.accessoryView()->isVisible() && panel.accessoryView()->window() == dialog;
        auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(name, nullptr);
        proposed = name->text();
        name->selectAll();
        QTest::keyClicks(name, "chosen");
        QTest::keyClick(dialog->windowHandle(), Qt::Key_Return);
    });
    const std::optional<std::filesystem::path> chosen = panel.runModal();
    EXPECT_EQ(proposed, "Proposed");
    EXPECT_TRUE(accessoryShown);
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(*chosen, dir / "chosen.txz");
    // The accessory stays the panel's after the dialog has gone.
    ASSERT_NE(panel.accessoryView(), nullptr);
    EXPECT_EQ(panel.accessoryView()->parent(), nullptr);
}

TEST_F(ApplicationShellTest, StopModalEndsTheInnermostRun) {
    Window outer(Window::Kind::Panel);
    Window inner(Window::Kind::Panel);
    std::vector<std::string> order;
    Application::performDeferred([&] {
        Application::performDeferred([&] {
            EXPECT_EQ(app.modalWindow(), &inner);
            app.stopModalWithCode(2);
        });
        order.push_back("inner " + std::to_string(app.runModalForWindow(&inner)));
        EXPECT_EQ(app.modalWindow(), &outer);
        app.stopModalWithCode(1);
    });
    order.push_back("outer " + std::to_string(app.runModalForWindow(&outer)));
    EXPECT_EQ(order, (std::vector<std::string>{"inner 2", "outer 1"}));
}

} // namespace

// Ctrl+S on a write-protected file asks on the window before anything is written: Cancel keeps the file
// and the edits, Overwrite replaces the file (which stays locked) and is not asked again for it, Save As
// leaves the locked file alone. The bits count, also for root, which could write the file anyway.
TEST_F(ApplicationShellTest, SavingAWriteProtectedFileAsksFirst) {
    const auto locked = dir.write("locked.txz", "hello");
    ::chmod(locked.c_str(), 0444);
    TextDocument* document = open(locked);
    ASSERT_NE(document, nullptr);
    Window* window = document->window();
    inOneEvent([&] { document->append("!"); });

    keyClick(window, Qt::Key_S, Qt::ControlModifier);
    Alert* sheet = Alert::sheetOnWindow(window);
    ASSERT_NE(sheet, nullptr);
    EXPECT_NE(sheet->messageText().find("write-protected"), std::string::npos);
    EXPECT_EQ(sheet->buttonTitles(), (std::vector<std::string>{"Save As…", "Cancel", "Overwrite"}));
    click(sheet->buttonWithTitle("Cancel"));
    EXPECT_EQ(Alert::sheetOnWindow(window), nullptr);
    EXPECT_EQ(readText(locked), "hello");
    EXPECT_TRUE(document->isDocumentEdited());

    // The key goes to the window once it is active again after the sheet.
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    keyClick(window, Qt::Key_S, Qt::ControlModifier);
    sheet = Alert::sheetOnWindow(window);
    ASSERT_NE(sheet, nullptr);
    click(sheet->buttonWithTitle("Overwrite"));
    EXPECT_EQ(readText(locked), "hello!");
    EXPECT_FALSE(document->isDocumentEdited());
    EXPECT_EQ(std::filesystem::status(locked).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                  std::filesystem::perms::others_read);

    inOneEvent([&] { document->append("?"); });
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    keyClick(window, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(Alert::sheetOnWindow(window), nullptr);
    EXPECT_EQ(readText(locked), "hello!?");

    // Another locked file: Save As writes elsewhere; closing with Save asks too, and closes once saved.
    const auto second = dir.write("second.txz", "two");
    ::chmod(second.c_str(), 0444);
    TextDocument* other = open(second);
    ASSERT_NE(other, nullptr);
    inOneEvent([&] { other->append("+"); });
    other->window()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(other->window()));
    SavePanel::setTestAnswer([&](SavePanel&) { return std::optional<std::filesystem::path>(dir / "copy"); });
    keyClick(other->window(), Qt::Key_S, Qt::ControlModifier);
    click(Alert::sheetOnWindow(other->window())->buttonWithTitle("Save As…"));
    EXPECT_EQ(readText(second), "two");
    EXPECT_EQ(readText(dir / "copy.txz"), "two+");
    EXPECT_EQ(other->fileURL(), dir / "copy.txz");

    inOneEvent([&] { document->append("#"); });
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    keyClick(window, Qt::Key_W, Qt::ControlModifier);
    sheet = Alert::sheetOnWindow(window);
    ASSERT_NE(sheet, nullptr);
    click(sheet->buttonWithTitle("Save"));
    // Agreed once for this file, so the save goes ahead and the window closes.
    EXPECT_EQ(readText(locked), "hello!?#");
    EXPECT_EQ(controller.documents().size(), 1u);
}
