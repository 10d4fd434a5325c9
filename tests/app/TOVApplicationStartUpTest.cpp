#include "DocumentAppFixture.h"

#include "app/TOVApplicationController.h"
#include "app/TOVStartUpWindowController.h"
#include "document/TOVDocumentParser.h"
#include "platform/foundation/XmlDocument.h"
#include "platform/graphics/Font.h"
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

// Texts read from a song find their fonts among the machine's once the application has started: a style
// and weight given beside a plain family, and a font named by its PostScript name, keep their face.
TEST_F(TOVApplicationStartUpTest, SongTextsFindTheirStyledFacesAmongTheMachinesFonts) {
    const platform::XmlDocument xml = *platform::XmlDocument::parse(
        "<formatted-texts>"
        "<formatted-text font-family=\"DejaVu Serif\" font-style=\"Italic\" font-weight=\"Normal\">"
        "<arbitrary-text>a</arbitrary-text></formatted-text>"
        "<formatted-text font-family=\"DejaVuSerif-Italic\" font-style=\"Italic\" font-weight=\"Normal\">"
        "<arbitrary-text>b</arbitrary-text></formatted-text>"
        "<formatted-text font-family=\"DejaVu Sans\" font-style=\"Normal\" font-weight=\"Bold\">"
        "<arbitrary-text>c</arbitrary-text></formatted-text>"
        "<formatted-text font-family=\"No Such Family\" font-style=\"Italic\" font-weight=\"Normal\">"
        "<arbitrary-text>d</arbitrary-text></formatted-text>"
        "</formatted-texts>");
    const platform::AttributedString text =
        TOVDocumentParser::deserializeAttributedStringDefaultFontSize(xml.rootElement(), 20);
    ASSERT_EQ(text.string(), "abcd");
    const char* const expected[] = {"DejaVuSerif-Italic", "DejaVuSerif-Italic", "DejaVuSans-Bold",
                                    "DejaVuSans"};
    for (qsizetype i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        // Letter by letter: neighbours in the same face share one run.
        const platform::TextAttributes attributes = text.attributesAtIndex(i);
        ASSERT_TRUE(attributes.font);
        EXPECT_EQ(attributes.font->postScriptName.toStdString(), expected[i]);
        // The face drawn is the one named.
        const platform::Font drawn = platform::Font::namedOrUserFont(attributes.font->postScriptName, 20);
        EXPECT_EQ(drawn.fontName().toStdString(), expected[i]);
    }
}

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
