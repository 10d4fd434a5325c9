#include "DocumentAppFixture.h"

#include "app/TOVApplicationController.h"
#include "app/TOVStartUpWindowController.h"
#include "platform/ui/Alert.h"
#include "platform/ui/ApplicationMenuBar.h"
#include "platform/ui/Document.h"
#include "support/TempDir.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {

// The application as main() puts it together: the song document controller and the delegate.
class TOVApplicationStartUpTest : public docapp::DocumentAppFixture {
protected:
    void SetUp() override {
        DocumentAppFixture::SetUp();
        delegate = std::make_unique<TOVApplicationController>();
        application->setDelegate(delegate.get());
        application->setMainMenu(delegate->mainMenu());
    }
    void TearDown() override {
        delegate.reset();
        DocumentAppFixture::TearDown();
    }

    bool panelVisible() { return controller->startUpWindowController()->window()->isVisible(); }
    std::filesystem::path writeSong(const std::string& name) {
        const std::filesystem::path path = dir.path() / name;
        docapp::writeBytes(path, docapp::newSongFile());
        return path;
    }

    TempDir dir;
    std::unique_ptr<TOVApplicationController> delegate;
};

TEST_F(TOVApplicationStartUpTest, LaunchWithoutFilesShowsTheStartUpPanelInsteadOfAnUntitledDocument) {
    application->finishLaunching();
    docapp::settle();
    EXPECT_TRUE(controller->documents().empty());
    EXPECT_TRUE(panelVisible());
}

// Files named on the command line open at launch, each in its window with the main menu; one that cannot
// be read is reported and the others still open; then no start-up panel shows.
TEST_F(TOVApplicationStartUpTest, FilesNamedOnTheCommandLineOpenAtLaunch) {
    const auto song = writeSong("First Song.tovz");
    delegate->setFilesToOpenAtLaunch({dir.path() / "missing.tovz", song});
    application->finishLaunching();
    docapp::settle();
    ASSERT_EQ(controller->documents().size(), 1u);
    EXPECT_EQ(controller->documents().front()->fileURL(), song);
    EXPECT_EQ(alertMessages.size(), 1u);
    EXPECT_FALSE(panelVisible());
    platform::Window* window = controller->documents().front()->windowForSheet();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    ASSERT_NE(window->applicationMenuBar(), nullptr);
    EXPECT_EQ(window->applicationMenuBar()->model(), delegate->mainMenu());
}

// Quit asks to save each edited song; choosing Cancel keeps the song open and the application running.
TEST_F(TOVApplicationStartUpTest, QuitStopsAtAnEditedSongThatTheUserKeeps) {
    delegate->setFilesToOpenAtLaunch({writeSong("Kept.tovz")});
    application->finishLaunching();
    docapp::settle();
    ASSERT_EQ(controller->documents().size(), 1u);
    platform::Document* song = controller->documents().front().get();
    song->undoManager().beginUndoGrouping();
    song->undoManager().registerUndo([] {});
    song->undoManager().endUndoGrouping();
    ASSERT_TRUE(song->isDocumentEdited());
    std::vector<std::string> asked;
    platform::Alert::setAnswerHook([&asked](const platform::Alert& alert) -> std::optional<int> {
        asked.push_back(alert.messageText());
        return platform::Alert::AlternateReturn; // Cancel
    });

    ASSERT_TRUE(application->sendAction("terminate:", nullptr, song->windowForSheet()));
    docapp::settle();
    EXPECT_EQ(asked.size(), 1u);
    ASSERT_EQ(controller->documents().size(), 1u);
    EXPECT_TRUE(controller->documents().front()->windowForSheet()->isVisible());
}

} // namespace
