#include "DocumentAppFixture.h"

#include "app/TOVWindowController.h"
#include "app/TOVZDocument.h"
#include "platform/ui/Window.h"
#include "support/ImageInk.h"
#include "support/TempDir.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <qpa/qwindowsysteminterface.h>

#include <memory>

#include <cstdlib>

namespace {

using docapp::DocumentAppFixture;

class StartUpPanelTest : public DocumentAppFixture {
protected:
    TOVStartUpWindowController& panel() { return *controller->startUpWindowController(); }

    void clickRow(int row, Qt::KeyboardModifiers modifiers = {}) {
        QTableWidget* table = panel().tableView();
        const QRect rect = table->visualRect(table->model()->index(row, 0));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, modifiers, rect.center());
    }

    // What the window system sends when the user clicks the title bar's close button.
    static void closeButton(QWidget* window) {
        QWindowSystemInterface::handleCloseEvent<QWindowSystemInterface::SynchronousDelivery>(
            window->windowHandle());
    }

    // Ends a run that does not end by itself with code 99; goes with the test, so that it never ends the
    // run of a later one.
    static std::unique_ptr<QTimer> runWatchdog() {
        auto timer = std::make_unique<QTimer>();
        timer->setSingleShot(true);
        QObject::connect(timer.get(), &QTimer::timeout, [] { QCoreApplication::exit(99); });
        timer->start(3000);
        return timer;
    }

    struct State {
        bool openRecentEnabled;
        QString fullPath;
    };
    State state() {
        return {panel().buttonOpenRecentUsedFile()->isEnabled(), panel().fullPathLabel()->text()};
    }
};

TEST_F(StartUpPanelTest, AnEmptyRecentListLeavesOpenRecentDisabledAndNoPath) {
    controller->runStartupPanel();
    ASSERT_TRUE(panel().window()->isVisible());
    EXPECT_EQ(panel().tableView()->rowCount(), 0);
    EXPECT_FALSE(panel().buttonOpenRecentUsedFile()->isEnabled());
    EXPECT_TRUE(panel().buttonNewFile()->isEnabled());
    EXPECT_TRUE(panel().buttonOpenAnotherFile()->isEnabled());
    EXPECT_TRUE(panel().fullPathLabel()->text().isEmpty());
    EXPECT_FALSE(panel().selectedURLString());
    EXPECT_NE(panel().versionLabel()->text().indexOf(panel().strVersionNumber()), -1);
    EXPECT_EQ(panel().copyrightLabel()->text(), panel().strCopyright());
}

TEST_F(StartUpPanelTest, OpenRecentAndThePathFollowASingleSelectedRow) {
    const std::vector<std::filesystem::path> files = {"/songs/a/First.tovz", "/songs/b/Second.tovz",
                                                      "/songs/c/Third.tovr"};
    for (const auto& file : files) {
        controller->noteNewRecentDocumentURL(file);
    }
    controller->runStartupPanel();
    QTableWidget* table = panel().tableView();
    ASSERT_EQ(table->rowCount(), 3);
    // Newest first, as the document controller keeps them.
    EXPECT_EQ(table->item(0, 0)->text(), "Third.tovr");
    EXPECT_EQ(table->item(2, 0)->text(), "First.tovz");

    struct Step {
        int row;
        Qt::KeyboardModifiers modifiers;
        bool enabled;
        QString path;
    };
    const Step steps[] = {
        {1, {}, true, "/songs/b/Second.tovz"},
        {2, Qt::ControlModifier, false, ""},                    // two rows
        {2, Qt::ControlModifier, true, "/songs/b/Second.tovz"}, // back to one
        {0, {}, true, "/songs/c/Third.tovr"},
        {0, Qt::ControlModifier, false, ""}, // none
    };
    for (const Step& step : steps) {
        clickRow(step.row, step.modifiers);
        const State now = state();
        EXPECT_EQ(now.openRecentEnabled, step.enabled) << "row " << step.row;
        EXPECT_EQ(now.fullPath, step.path) << "row " << step.row;
        EXPECT_EQ(panel().selectedURLString().value_or(""), step.path);
    }
}

TEST_F(StartUpPanelTest, ARowBeyondTheCurrentRecentListOpensNothing) {
    controller->noteNewRecentDocumentURL("/songs/Gone.tovz");
    controller->runStartupPanel();
    controller->clearRecentDocuments();
    clickRow(0);
    EXPECT_TRUE(panel().fullPathLabel()->text().isEmpty());
    QTest::mouseClick(panel().buttonOpenRecentUsedFile(), Qt::LeftButton);
    EXPECT_TRUE(alertMessages.empty());
    EXPECT_TRUE(controller->documents().empty());
}

// With no document open, an open that ends without a document brings the panel back: on this platform
// nothing else would be left to bring the program back to the screen.
TEST_F(StartUpPanelTest, OpenHidesThePanelBeforeTheOpenPanelAndItReturnsWhenCancelled) {
    controller->runStartupPanel();
    ASSERT_TRUE(panel().window()->isVisible());
    openAnswer = std::nullopt;
    QTest::mouseClick(panel().buttonOpenAnotherFile(), Qt::LeftButton);
    EXPECT_EQ(openPanelRuns, 1);
    EXPECT_FALSE(startUpPanelVisibleAtOpenPanel);
    docapp::settle();
    EXPECT_TRUE(panel().window()->isVisible());
    EXPECT_TRUE(controller->documents().empty());
}

TEST_F(StartUpPanelTest, ARecentDocumentThatCannotBeOpenedIsReportedAndThePanelReturns) {
    TempDir dir;
    controller->noteNewRecentDocumentURL(dir / "Gone.tovz");
    controller->runStartupPanel();
    clickRow(0);
    QTest::mouseClick(panel().buttonOpenRecentUsedFile(), Qt::LeftButton);
    docapp::settle();
    EXPECT_EQ(alertMessages.size(), 1u);
    EXPECT_TRUE(controller->documents().empty());
    EXPECT_TRUE(panel().window()->isVisible());
}

TEST_F(StartUpPanelTest, OpenRecentOpensTheSelectedDocumentAndHidesThePanel) {
    TempDir dir;
    const std::filesystem::path file = dir / "Tune.tovz";
    docapp::writeBytes(file, docapp::newSongFile());
    controller->noteNewRecentDocumentURL(file);
    controller->noteNewRecentDocumentURL(dir / "Other.tovz");
    controller->runStartupPanel();
    clickRow(1);
    QTest::mouseClick(panel().buttonOpenRecentUsedFile(), Qt::LeftButton);
    docapp::settle();
    ASSERT_EQ(controller->documents().size(), 1u);
    EXPECT_EQ(controller->documents().front()->fileURL(), file);
    EXPECT_FALSE(panel().window()->isVisible());
}

TEST_F(StartUpPanelTest, NewHidesThePanelBeforeTheNewSongIsAskedFor) {
    controller->runStartupPanel();
    saveAnswer = std::nullopt;
    QTest::mouseClick(panel().buttonNewFile(), Qt::LeftButton);
    EXPECT_FALSE(panel().window()->isVisible());
    docapp::settle();
    ASSERT_FALSE(savePanelRuns.empty());
    EXPECT_FALSE(savePanelRuns.front().startUpPanelVisible);
}

TEST_F(StartUpPanelTest, ThePanelReturnsWhenTheLastDocumentCloses) {
    TempDir dir;
    const std::filesystem::path first = dir / "One.tovz";
    const std::filesystem::path second = dir / "Two.tovz";
    docapp::writeBytes(first, docapp::newSongFile());
    docapp::writeBytes(second, docapp::newSongFile());
    controller->runStartupPanel();
    platform::Document* one = controller->openDocumentWithContentsOfURL(first, false);
    platform::Document* two = controller->openDocumentWithContentsOfURL(second, false);
    ASSERT_TRUE(one && two);
    EXPECT_FALSE(panel().window()->isVisible());
    one->close();
    EXPECT_FALSE(panel().window()->isVisible());
    // Closing the last document's window closes the document.
    auto* last = dynamic_cast<TOVZDocument*>(two);
    ASSERT_NE(last, nullptr);
    last->windowController()->window()->close();
    docapp::settle();
    EXPECT_TRUE(controller->documents().empty());
    EXPECT_TRUE(panel().window()->isVisible());
}

TEST_F(StartUpPanelTest, ClosingThePanelWithNoDocumentOpenEndsTheRun) {
    // The panel itself ends the run, not Qt's rule for the last window.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    controller->runStartupPanel();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(panel().window()));
    QTimer::singleShot(0, [this] { closeButton(panel().window()); });
    // Should the run not end, the watchdog ends it with another code.
    const auto watchdog = runWatchdog();
    EXPECT_EQ(QCoreApplication::exec(), 0);
    QGuiApplication::setQuitOnLastWindowClosed(true);
}

// The panel has no menu bar of its own; Ctrl+Q pressed in it quits all the same.
TEST_F(StartUpPanelTest, QuitFromThePanelEndsTheRun) {
    QGuiApplication::setQuitOnLastWindowClosed(false);
    controller->runStartupPanel();
    QWindow* window = panel().window()->windowHandle();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    QTimer::singleShot(0, [window] { QTest::keyClick(window, Qt::Key_Q, Qt::ControlModifier); });
    const auto watchdog = runWatchdog();
    EXPECT_EQ(QCoreApplication::exec(), 0);
    QGuiApplication::setQuitOnLastWindowClosed(true);
}

TEST_F(StartUpPanelTest, ClosingThePanelWhileADocumentIsOpenKeepsTheRun) {
    QGuiApplication::setQuitOnLastWindowClosed(false);
    TempDir dir;
    docapp::writeBytes(dir / "Open.tovz", docapp::newSongFile());
    ASSERT_NE(controller->openDocumentWithContentsOfURL(dir / "Open.tovz", false), nullptr);
    panel().showUp();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(panel().window()));
    QTimer::singleShot(0, [this] { closeButton(panel().window()); });
    QTimer::singleShot(300, [] { QCoreApplication::exit(7); });
    EXPECT_EQ(QCoreApplication::exec(), 7);
    EXPECT_FALSE(panel().window()->isVisible());
    QGuiApplication::setQuitOnLastWindowClosed(true);
}

TEST_F(StartUpPanelTest, HidingThePanelDoesNotEndTheRun) {
    controller->runStartupPanel();
    QTimer::singleShot(0, [this] { panel().hide(); });
    QTimer::singleShot(300, [] { QCoreApplication::exit(7); });
    EXPECT_EQ(QCoreApplication::exec(), 7);
}

TEST_F(StartUpPanelTest, ThePanelDrawsTheRecentListTheButtonsAndTheSelectedPath) {
    controller->noteNewRecentDocumentURL("/home/me/songs/Autumn Leaves.tovz");
    controller->noteNewRecentDocumentURL("/home/me/songs/old/Blue Bossa.tovr");
    controller->runStartupPanel();
    clickRow(1);
    const QImage image = panel().window()->grab().toImage();
    if (const char* out = std::getenv("TOVRIN_APP_OUT")) {
        image.save(QString::fromLocal8Bit(out) + QStringLiteral("/startup-panel.png"));
    }
    const auto inkOf = [&](QWidget* widget) {
        return tovtest::inkIn(image, QRect(widget->mapTo(panel().window(), QPoint(0, 0)), widget->size()),
                              128);
    };
    // The file names are drawn in the table, the path of the selected one under it, and every button
    // has its title.
    EXPECT_GT(inkOf(panel().tableView()), 200);
    EXPECT_GT(inkOf(panel().fullPathLabel()), 50);
    for (QWidget* button : {static_cast<QWidget*>(panel().buttonNewFile()),
                            static_cast<QWidget*>(panel().buttonOpenAnotherFile()),
                            static_cast<QWidget*>(panel().buttonOpenRecentUsedFile())}) {
        EXPECT_GT(inkOf(button), 20);
    }
}

} // namespace
