#pragma once

#include "app/TOVDocumentController.h"
#include "app/TOVStartUpWindowController.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Application.h"
#include "platform/ui/Document.h"
#include "platform/ui/OpenPanel.h"
#include "platform/ui/SavePanel.h"
#include "platform/ui/Window.h"
#include "support/TempDir.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QString>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

class Document;
class TOVPersistentDocument;

namespace platform {
class Menu;
class UserDefaults;
} // namespace platform

namespace docapp {

using Bytes = std::vector<std::uint8_t>;

// The interchange file of a new single-row song with its default layout, as this program writes it.
Bytes newSongFile();
// The same with the data version and the plug-in font the file names replaced (none leaves them out).
Bytes songFileWith(const std::string& version, const std::optional<std::string>& fontID,
                   const std::optional<std::string>& fontName);
void writeBytes(const std::filesystem::path& path, const Bytes& bytes);
Bytes readBytes(const std::filesystem::path& path);
// The legacy store of a short song with three chords, from the importer's seed corpus.
std::filesystem::path legacySongFixture();

// Lets queued and deferred work run (deferred blocks, alerts waiting to show).
void settle();

// An application with the song document controller as its shared one, answers for every alert, open
// panel and save panel (recorded), and an empty recent-documents list. The start-up panel singleton is let
// go at the end, so that each test makes its own.
class DocumentAppFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The messages of the alerts answered so far.
    std::vector<std::string> alertMessages;
    // What the next save panel answers (no value: Cancel); each panel run is recorded.
    std::optional<std::filesystem::path> saveAnswer;
    struct SavePanelRun {
        std::vector<std::string> allowedFileTypes;
        std::string nameFieldStringValue;
        std::string prompt;
        std::string message;
        bool startUpPanelVisible = false;
        bool hadAccessory = false;
        // The song name the form showed; the hook types songNameToType over it.
        std::string songName;
        // Whether the form shows in the panel.
        bool songFormShown = false;
    };
    std::vector<SavePanelRun> savePanelRuns;
    QString songNameToType = QStringLiteral("Blue Tune");
    std::optional<std::vector<std::filesystem::path>> openAnswer;
    int openPanelRuns = 0;
    bool startUpPanelVisibleAtOpenPanel = true;

    std::unique_ptr<platform::Application> application;
    std::unique_ptr<TOVDocumentController> controller;
};

// A document application whose songs open in working windows: the shared view factories registered, the
// user defaults in memory (a test's settings stay in the test) and the main menu given to the application;
// a test gives the menu to each window it shows. `dir` is a fresh folder for the test's files.
class SongWindowAppFixture : public DocumentAppFixture {
protected:
    void SetUp() override;
    void TearDown() override;

    // Opens a new song from a file in `dir` and shows its window near the screen's top left, with the main
    // menu, as the active window; null (with a failure) when it cannot.
    TOVPersistentDocument* openNewSongWindow();

    std::shared_ptr<platform::Menu> menu;
    TempDir dir;

private:
    std::unique_ptr<platform::UserDefaults> previousDefaults_;
};

} // namespace docapp
