#include "app/TOVApplicationController.h"

#include "app/TOVAboutWindowController.h"
#include "app/TOVDocumentController.h"
#include "app/TOVEditorViewController.h"
#include "app/TOVMainMenu.h"
#include "app/TOVWindowController.h"
#include "document/TOVDocumentParser.h"
#include "glyphs/TOVChordViewFactory.h"
#include "glyphs/TOVObjectViewFactory.h"
#include "layout/TOVEditorView.h"
#include "model/Document.h"
#include "model/TOVChordMeasuring.h"
#include "model/TOVUtils.h"
#include "notation/TOVNoteViewFactory.h"
#include "platform/foundation/Color.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/Resources.h"
#include "platform/graphics/Font.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Application.h"
#include "platform/ui/Cursor.h"
#include "platform/ui/Document.h"
#include "platform/ui/DocumentController.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/Window.h"
#include "platform/ui/WindowController.h"
#include <QApplication>
#include <QDesktopServices>
#include <QEvent>
#include <QUrl>

#include <typeinfo>

using platform::Menu;
using platform::MenuItem;

namespace {

std::vector<TOVPlugInFontDefinition>& fontList() {
    static std::vector<TOVPlugInFontDefinition> fonts{TOVPlugInFontDefinition::builtInFont()};
    return fonts;
}

bool isChordNotationKey(const std::string& key) {
    return key == "notationChordMajor" || key == "notationChordMinor" || key == "notationChordDiminished" ||
           key == "notationChordAugment" || key == "notationChordOn" || key == "notationChordSharpFlat";
}

// Menu titles are compared as the program writes them.
bool titled(const Menu& menu, const char* title) {
    return menu.title() == title;
}

void setStates(Menu& menu, std::uint64_t current) {
    for (const auto& item : menu.items()) {
        if (!item->isSeparatorItem()) {
            item->setState(item->tag() >= 0 && static_cast<std::uint64_t>(item->tag()) == current
                               ? MenuItem::OnState
                               : MenuItem::OffState);
        }
    }
}

// Every document window's controller, when it is exactly a TOVWindowController.
std::vector<TOVWindowController*> documentWindowControllers() {
    std::vector<TOVWindowController*> controllers;
    platform::Application* application = platform::Application::shared();
    if (application == nullptr) {
        return controllers;
    }
    for (platform::Window* window : application->windows()) {
        platform::WindowController* controller = window->windowController();
        if (controller != nullptr && typeid(*controller) == typeid(TOVWindowController)) {
            controllers.push_back(static_cast<TOVWindowController*>(controller));
        }
    }
    return controllers;
}

// The window's chord views follow a new notation profile: the window controller's own refresh when it
// has one, else its editor's.
template <typename Controller>
void updateAllChordViewsOf(Controller& controller) {
    if constexpr (requires(Controller & c) { c.updateAllChordViews(); }) {
        controller.updateAllChordViews();
    } else if (auto* editor = controller.editorController()) {
        editor->updateAllChordViews();
    }
}

// So that the note commands of the menu reach the selected note.
template <typename Editor>
void makeNoteViewFirstResponderOf(Editor& editor) {
    if constexpr (requires(Editor & e) { e.makeNoteViewFirstResponder(); }) {
        editor.makeNoteViewFirstResponder();
    }
}

} // namespace

TOVApplicationController::TOVApplicationController() {
    registerDefaultsAndServices();
    mainMenu_ = TOVMainMenu::makeMainMenu(this);
    if (qApp != nullptr) {
        qApp->installEventFilter(this);
    }
    fontMenu_ = TOVMainMenu::fontMenuItem(*mainMenu_);
    addActionHandler("showPreferencesWindow:", [this](MenuItem*) { showPreferencesWindow(); });
    addActionHandler("showAboutWindow:", [this](MenuItem*) { showAboutWindow(); });
    addActionHandler("showHelpByBrowser:", [this](MenuItem*) { showHelpByBrowser(); });
    addActionHandler("terminate:", [this](MenuItem*) { terminate(); });
    addActionHandler("openRecentDocument:", [](MenuItem* sender) {
        platform::Application* application = platform::Application::shared();
        platform::DocumentController* documents =
            application != nullptr ? application->documentController() : nullptr;
        if (sender == nullptr || documents == nullptr) {
            return;
        }
        const auto& recent = documents->recentDocumentURLs();
        if (sender->tag() >= 0 && static_cast<std::size_t>(sender->tag()) < recent.size()) {
            const std::filesystem::path url = recent[static_cast<std::size_t>(sender->tag())];
            documents->openDocumentWithContentsOfURL(url, true);
        }
    });
}

namespace {
// Menus outlive their delegate in the window's menu bars; they must not call it afterwards.
void forgetDelegate(Menu& menu, const platform::MenuDelegate* delegate, const platform::Responder* target) {
    if (menu.delegate() == delegate) {
        menu.setDelegate(nullptr);
    }
    for (const auto& item : menu.items()) {
        if (item->submenu()) {
            forgetDelegate(*item->submenu(), delegate, target);
        }
        if (item->target() == target) {
            item->setTarget(nullptr);
        }
    }
}
} // namespace

TOVApplicationController::~TOVApplicationController() {
    forgetDelegate(*mainMenu_, this, this);
    if (qApp != nullptr) {
        qApp->removeEventFilter(this);
    }
    for (platform::UserDefaults::ObserverId id : observations_) {
        platform::UserDefaults::standard().removeObserver(id);
    }
    if (platform::Application* application = platform::Application::shared();
        application != nullptr && application->delegate() == this) {
        application->setDelegate(nullptr);
    }
}

// MARK: defaults and services

std::map<std::string, platform::DefaultsValue> TOVApplicationController::registeredDefaults() {
    using V = platform::DefaultsValue;
    return {
        {"actionNotesAreaDoubleClick", V(std::int64_t{0})},
        {"actionNotesAreaRightClick", V(std::int64_t{1})},
        {"actionChordsAreaDoubleClick", V(std::int64_t{1})},
        {"actionChordsAreaRightClick", V(std::int64_t{0})},
        {"pageBackgroundColor",
         V(platform::KeyedArchiver::archivedDataWithRootColor(platform::Color::white()))},
        {"displaySizeAuto", V(false)},
        {"displaySizeNumber", V(std::string("100%"))},
        {"divideInputNote", V(true)},
        {"notationBarline", V(std::int64_t{0})},
        {"notationChordMajor", V(std::int64_t{1})},
        {"notationChordMinor", V(std::int64_t{0})},
        {"notationChordDiminished", V(std::int64_t{0})},
        {"notationChordAugment", V(std::int64_t{0})},
        {"notationChordOn", V(std::int64_t{0})},
        {"notationChordSharpFlat", V(std::int64_t{0})},
    };
}

void TOVApplicationController::initialize() {
    platform::UserDefaults::standard().registerDefaults(registeredDefaults());
}

void TOVApplicationController::registerServices() {
    TOVUtils::Services services;
    services.objectViewFactory = [] { return TOVObjectViewFactory::singletonInstance(); };
    services.chordViewFactory = []() -> TOVChordMeasuring* {
        return TOVChordViewFactory::singletonInstance();
    };
    services.noteViewFactory = [] { return TOVNoteViewFactory::singletonInstance(); };
    // The preferences window is not built yet; its menu item stays disabled.
    services.showAboutWindow = [] { TOVAboutWindowController::singletonInstance()->showUp(); };
    services.makeCursor = [](const std::string& imageName,
                             platform::Point hotSpot) -> std::shared_ptr<platform::Cursor> {
        auto path = TOVUtils::pathForResourceOfType(imageName, "png");
        if (!path) {
            return nullptr;
        }
        return std::make_shared<platform::Cursor>(platform::Cursor::fromImageFile(*path, hotSpot));
    };
    TOVUtils::registerServices(std::move(services));
    // Texts of a song name their fonts by PostScript, full or family name: they are found among the
    // machine's fonts as they are drawn, so that a style given beside a plain family is kept.
    TOVDocumentParser::setFontLookup(
        {[](const QString& name, double size) -> std::optional<platform::TextFont> {
             const std::optional<platform::Font> font = platform::Font::named(name, size);
             if (!font) {
                 return std::nullopt;
             }
             return platform::TextFont{font->fontName(), size};
         },
         [](double size) {
             return platform::TextFont{platform::Font::userFont(size).fontName(), size};
         }});
}

void TOVApplicationController::registerDefaultsAndServices() {
    initialize();
    registerServices();
}

const std::vector<std::string>& TOVApplicationController::observedDefaultsKeys() {
    static const std::vector<std::string> keys{
        "pageBackgroundColor",     "notationBarline",      "notationChordMajor", "notationChordMinor",
        "notationChordDiminished", "notationChordAugment", "notationChordOn",    "notationChordSharpFlat"};
    return keys;
}

// MARK: fonts

const std::vector<TOVPlugInFontDefinition>& TOVApplicationController::plugInFonts() {
    return fontList();
}

void TOVApplicationController::extractPlugInFonts() {
    // Font bundles are not read yet: the list holds the built-in font, which each factory installs when
    // it is made.
    fontList() = {TOVPlugInFontDefinition::builtInFont()};
}

void TOVApplicationController::buildFontMenu() {
    if (fontMenu_ == nullptr || !fontMenu_->submenu()) {
        return;
    }
    Menu& menu = *fontMenu_->submenu();
    menu.removeAllItems();
    const auto& fonts = plugInFonts();
    for (std::size_t i = 0; i < fonts.size(); ++i) {
        menu.addItem(
            std::make_shared<MenuItem>(fonts[i].displayName, "changePlugInFont:", "", static_cast<int>(i)));
    }
}

// MARK: launch

void TOVApplicationController::applicationWillFinishLaunching() {
    TOVUtils::objectViewFactory();
    TOVUtils::noteViewFactory();
    TOVUtils::chordViewFactory();
    for (const std::string& key : observedDefaultsKeys()) {
        observations_.push_back(platform::UserDefaults::standard().addObserver(
            key, [this](const std::string& changed) { observeValueForKeyPath(changed); }));
    }
    extractPlugInFonts();
    buildFontMenu();
    openFilesToOpen();
}

void TOVApplicationController::openFilesToOpen() {
    platform::Application* application = platform::Application::shared();
    platform::DocumentController* documents =
        application != nullptr ? application->documentController() : nullptr;
    const std::vector<std::filesystem::path> files = std::move(filesToOpen_);
    filesToOpen_.clear();
    if (documents == nullptr) {
        return;
    }
    for (const std::filesystem::path& file : files) {
        std::error_code error;
        const std::filesystem::path absolute = std::filesystem::absolute(file, error);
        // A file that cannot be opened is reported in an alert; the others still open.
        documents->openDocumentWithContentsOfURL(error ? file : absolute, true);
    }
}

bool TOVApplicationController::applicationShouldOpenUntitledFile() {
    runStartUpPanel();
    return false;
}

bool TOVApplicationController::applicationShouldHandleReopen(bool hasVisibleWindows) {
    if (hasVisibleWindows) {
        return true;
    }
    runStartUpPanel();
    return false;
}

void TOVApplicationController::runStartUpPanel() {
    platform::Application* application = platform::Application::shared();
    platform::DocumentController* documents =
        application != nullptr ? application->documentController() : nullptr;
    if (documents == nullptr || !documents->documents().empty()) {
        return;
    }
    if (auto* controller = dynamic_cast<TOVDocumentController*>(documents)) {
        controller->runStartupPanel();
    }
}

// MARK: front document

TOVWindowController* TOVApplicationController::windowController() const {
    platform::Application* application = platform::Application::shared();
    platform::Window* main = application != nullptr ? application->mainWindow() : nullptr;
    platform::WindowController* controller = main != nullptr ? main->windowController() : nullptr;
    if (controller != nullptr && typeid(*controller) == typeid(TOVWindowController)) {
        return static_cast<TOVWindowController*>(controller);
    }
    return nullptr;
}

// MARK: preferences

void TOVApplicationController::observeValueForKeyPath(const std::string& key) {
    if (key == "pageBackgroundColor" || key == "notationBarline") {
        for (TOVWindowController* controller : documentWindowControllers()) {
            if (TOVEditorViewController* editor = controller->editorController()) {
                if (TOVEditorView* view = editor->editorView()) {
                    view->setNeedsDisplay();
                }
            }
        }
        return;
    }
    if (isChordNotationKey(key)) {
        if (TOVChordMeasuring* chords = TOVUtils::chordViewFactory()) {
            chords->setProfile(TOVUtils::currentChordNotationProfile());
        }
        for (TOVWindowController* controller : documentWindowControllers()) {
            updateAllChordViewsOf(*controller);
        }
    }
}

// MARK: menus

void TOVApplicationController::menuNeedsUpdate(Menu& menu) {
    if (titled(menu, "Layout") || titled(menu, "Edit") || titled(menu, "Change")) {
        enableEditingMenu(menu);
    } else if (titled(menu, "Open Recent")) {
        fillOpenRecentMenu(menu);
    }
}

void TOVApplicationController::enableEditingMenu(Menu& menu) {
    bool editing = false;
    if (TOVWindowController* controller = windowController()) {
        TOVEditorViewController* editor = controller->editorController();
        editing = editor != nullptr && editor->editBarsMode() == 0;
    }
    platform::Application* application = platform::Application::shared();
    platform::Window* window = application != nullptr ? application->mainWindow() : nullptr;
    for (const auto& item : menu.items()) {
        if (item->isSeparatorItem()) {
            continue;
        }
        if (!editing || item->hasSubmenu() || application == nullptr) {
            item->setEnabled(editing);
            continue;
        }
        // Within a menu that is on, each item is still asked of its responder, as in any other menu.
        platform::Responder* target =
            item->target() != nullptr ? item->target() : application->targetForAction(item->action(), window);
        item->setEnabled(target != nullptr && target->validateMenuItem(*item));
    }
}

void TOVApplicationController::fillOpenRecentMenu(Menu& menu) {
    menu.removeAllItems();
    platform::Application* application = platform::Application::shared();
    platform::DocumentController* documents =
        application != nullptr ? application->documentController() : nullptr;
    if (documents != nullptr) {
        const auto& recent = documents->recentDocumentURLs();
        for (std::size_t i = 0; i < recent.size(); ++i) {
            auto item = std::make_shared<MenuItem>(recent[i].filename().string(), "openRecentDocument:", "",
                                                   static_cast<int>(i));
            item->setTarget(this);
            menu.addItem(item);
        }
        if (!recent.empty()) {
            menu.addItem(MenuItem::separatorItem());
        }
    }
    menu.addItem(std::make_shared<MenuItem>("Clear Menu", "clearRecentDocuments:"));
}

void TOVApplicationController::menuWillOpen(Menu& menu) {
    TOVWindowController* controller = windowController();
    // The window controller's counts are its editor's; without a front document they are 0.
    TOVEditorViewController* editor = controller != nullptr ? controller->editorController() : nullptr;
    if (titled(menu, "A Page")) {
        setStates(menu, editor != nullptr ? editor->numberOfLinesInSelectedPage() : 0);
    } else if (titled(menu, "Partition")) {
        const std::uint64_t bars = editor != nullptr ? editor->numberOfBarsInSelectedLine() : 0;
        const std::uint64_t most = editor != nullptr ? editor->maxPossibleNumberOfBarsInSelectedLine() : 0;
        setStates(menu, bars);
        for (const auto& item : menu.items()) {
            if (!item->isSeparatorItem()) {
                item->setEnabled(item->tag() >= 0 && static_cast<std::uint64_t>(item->tag()) <= most);
            }
        }
    } else if (titled(menu, "Parts")) {
        setStates(menu, editor != nullptr ? editor->numberOfRowsInSelectedLine() : 0);
    } else if (titled(menu, "Bar Number")) {
        const Document* document = controller != nullptr ? controller->docData() : nullptr;
        setStates(menu, document != nullptr ? document->barNumberShow() : 0);
    } else if (titled(menu, "Transpose")) {
        if (controller != nullptr && controller->window() != nullptr) {
            controller->window()->makeFirstResponder(nullptr);
        }
    } else if (titled(menu, "Enharmonic") || titled(menu, "Accidental") || titled(menu, "Edit Bars")) {
        if (editor != nullptr) {
            makeNoteViewFirstResponderOf(*editor);
        }
    } else if (titled(menu, "Font")) {
        std::string name = "Default";
        if (controller != nullptr && controller->docData() != nullptr) {
            name = controller->docData()->plugInFontName().toStdString();
        }
        for (const auto& item : menu.items()) {
            item->setState(item->title() == name ? MenuItem::OnState : MenuItem::OffState);
        }
    }
}

// MARK: actions

void TOVApplicationController::showPreferencesWindow() {
    TOVUtils::showPreferencesWindow();
}

void TOVApplicationController::showAboutWindow() {
    TOVUtils::showAboutWindow();
}

const char* TOVApplicationController::supportPageAddress() {
    return "https://tovrin.org/support";
}

namespace {
TOVApplicationController::UrlOpener& urlOpener() {
    static TOVApplicationController::UrlOpener opener;
    return opener;
}
} // namespace

void TOVApplicationController::setUrlOpener(UrlOpener opener) {
    urlOpener() = std::move(opener);
}

void TOVApplicationController::showHelpByBrowser() {
    const QUrl address(QString::fromLatin1(supportPageAddress()));
    const bool opened = urlOpener() ? urlOpener()(address) : QDesktopServices::openUrl(address);
    if (!opened) {
        // Without a browser the command would otherwise do nothing at all.
        const std::string message = platform::localized("No web browser could be opened.");
        const std::string where = platform::localized("The Tovrin help pages are at %1.");
        platform::Alert::alertWithMessage(
            message, platform::localized("OK"), {}, {},
            QString::fromStdString(where).arg(QString::fromLatin1(supportPageAddress())).toStdString())
            ->runModal();
    }
}

bool TOVApplicationController::validateMenuItem(MenuItem& item) {
    // Preferences are not built yet.
    return item.action() != "showPreferencesWindow:";
}

void TOVApplicationController::terminate() {
    closeNextDocumentThenQuit();
}

void TOVApplicationController::closeNextDocumentThenQuit() {
    platform::Application* application = platform::Application::shared();
    platform::DocumentController* documents =
        application != nullptr ? application->documentController() : nullptr;
    if (documents == nullptr || documents->documents().empty()) {
        QCoreApplication::quit();
        return;
    }
    std::weak_ptr<platform::Document> next = documents->documents().front();
    documents->documents().front()->canCloseDocument([this, next](bool mayClose) {
        auto document = next.lock();
        if (!mayClose) {
            // The user kept this document: the application stays.
            return;
        }
        if (document) {
            document->close();
        }
        platform::Application::performDeferred([this] { closeNextDocumentThenQuit(); });
    });
}

// MARK: document windows

bool TOVApplicationController::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Show || !watched->isWidgetType()) {
        return QObject::eventFilter(watched, event);
    }
    auto* window = qobject_cast<platform::Window*>(watched);
    if (window == nullptr || window->kind() != platform::Window::Kind::Document) {
        return QObject::eventFilter(watched, event);
    }
    // Every document window carries the main menu.
    platform::Application* application = platform::Application::shared();
    if (window->applicationMenuBar() == nullptr && application != nullptr && application->mainMenu()) {
        window->setMenuModel(application->mainMenu());
    }
    return QObject::eventFilter(watched, event);
}
