#include "DocumentAppFixture.h"

#include "app/TOVMainMenu.h"
#include "app/TOVPersistentDocument.h"
#include "app/TOVWindowController.h"
#include "document/TOVDocumentParser.h"
#include "glyphs/TOVChordViewFactory.h"
#include "glyphs/TOVObjectViewFactory.h"
#include "model/TOVUtils.h"
#include "notation/TOVNoteViewFactory.h"
#include "platform/foundation/Gzip.h"
#include "platform/foundation/MemoryDefaultsStore.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/Menu.h"
#include "platform/ui/Window.h"
#include "support/SongBuilder.h"

#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <fstream>
#include <iterator>

namespace docapp {

Bytes newSongFile() {
    tovtest::TestSong song(false);
    std::optional<Bytes> data = TOVDocumentParser().tovzDataFromDocument(song.document);
    EXPECT_TRUE(data);
    return data.value_or(Bytes{});
}

namespace {
void replaceAttribute(std::string& xml, const std::string& name, const std::optional<std::string>& value) {
    const std::string key = " " + name + "=\"";
    const std::size_t start = xml.find(key);
    ASSERT_NE(start, std::string::npos) << name;
    const std::size_t end = xml.find('"', start + key.size());
    if (value) {
        xml.replace(start + key.size(), end - start - key.size(), *value);
    } else {
        xml.erase(start, end + 1 - start);
    }
}
} // namespace

Bytes songFileWith(const std::string& version, const std::optional<std::string>& fontID,
                   const std::optional<std::string>& fontName) {
    const Bytes plain = *platform::gzipInflate(newSongFile(), 1 << 24);
    std::string xml(plain.begin(), plain.end());
    replaceAttribute(xml, "data-struct-version", version);
    replaceAttribute(xml, "custom-font-id", fontID);
    replaceAttribute(xml, "custom-font-name", fontName);
    return *platform::gzipDeflate(std::span(reinterpret_cast<const std::uint8_t*>(xml.data()), xml.size()));
}

void writeBytes(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes readBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::filesystem::path legacySongFixture() {
    return std::filesystem::path(TOVRIN_TEST_RESOURCES).parent_path() / "fuzz" / "corpus" / "legacy_store" /
           "song.tovr";
}

void settle() {
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
}

void DocumentAppFixture::SetUp() {
    application = std::make_unique<platform::Application>();
    controller = std::make_unique<TOVDocumentController>();
    application->setDocumentController(controller.get());
    controller->clearRecentDocuments();
    platform::Alert::setAnswerHook([this](const platform::Alert& alert) -> std::optional<int> {
        alertMessages.push_back(alert.messageText());
        return platform::Alert::DefaultReturn;
    });
    platform::SavePanel::setTestAnswer([this](platform::SavePanel& panel) {
        const TOVStartUpWindowController* startUp = controller->startUpWindowController();
        SavePanelRun run{panel.allowedFileTypes,
                         panel.nameFieldStringValue,
                         panel.prompt,
                         panel.message,
                         startUp->window()->isVisible(),
                         panel.accessoryView() != nullptr,
                         {}};
        if (QWidget* accessory = panel.accessoryView()) {
            if (auto* field = accessory->findChild<QLineEdit*>(QStringLiteral("songNameTextField"))) {
                run.songName = field->text().toStdString();
                run.songFormShown = field->isVisibleTo(accessory);
                field->selectAll();
                QTest::keyClicks(field, songNameToType);
            }
        }
        savePanelRuns.push_back(run);
        return saveAnswer;
    });
    platform::OpenPanel::setTestAnswer([this](const platform::OpenPanel&) {
        ++openPanelRuns;
        startUpPanelVisibleAtOpenPanel = controller->startUpWindowController()->window()->isVisible();
        return openAnswer;
    });
}

void DocumentAppFixture::TearDown() {
    for (const auto& document : std::vector(controller->documents())) {
        document->close();
    }
    settle();
    platform::Alert::setAnswerHook({});
    platform::SavePanel::setTestAnswer({});
    platform::OpenPanel::setTestAnswer({});
    application->setDocumentController(nullptr);
    controller.reset();
    TOVStartUpWindowController::releaseSingletonInstance();
    application.reset();
    settle();
}

void SongWindowAppFixture::SetUp() {
    previousDefaults_ = platform::UserDefaults::replaceStandard(
        std::make_unique<platform::UserDefaults>(std::make_unique<platform::MemoryDefaultsStore>()));
    DocumentAppFixture::SetUp();
    TOVUtils::Services services;
    services.objectViewFactory = [] { return TOVObjectViewFactory::singletonInstance(); };
    services.chordViewFactory = [] { return TOVChordViewFactory::singletonInstance(); };
    services.noteViewFactory = [] { return TOVNoteViewFactory::singletonInstance(); };
    TOVUtils::registerServices(services);
    menu = TOVMainMenu::makeMainMenu(nullptr);
    application->setMainMenu(menu);
}

TOVPersistentDocument* SongWindowAppFixture::openNewSongWindow() {
    const std::filesystem::path path = dir / "Song.tovz";
    writeBytes(path, newSongFile());
    auto* song = dynamic_cast<TOVPersistentDocument*>(controller->openDocumentWithContentsOfURL(path, false));
    if (song == nullptr) {
        ADD_FAILURE() << "the new song did not open";
        return nullptr;
    }
    settle();
    TOVWindowController* windowController = song->windowController();
    platform::Window* window = windowController->window();
    window->setMenuModel(menu);
    window->move(20, 20);
    windowController->showWindow();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window)) {
        ADD_FAILURE() << "the song's window did not become active";
        return nullptr;
    }
    return song;
}

void SongWindowAppFixture::TearDown() {
    DocumentAppFixture::TearDown();
    TOVUtils::registerServices({});
    platform::UserDefaults::replaceStandard(std::move(previousDefaults_));
}

} // namespace docapp
