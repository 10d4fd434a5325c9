#pragma once

#include "app/TOVPlugInFontDefinition.h"
#include "platform/foundation/DefaultsStore.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/ApplicationDelegate.h"
#include "platform/ui/MenuDelegate.h"

#include <QUrl>

#include <functional>

#include <QObject>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

class TOVWindowController;

namespace platform {
class Menu;
class MenuItem;
class Window;
} // namespace platform

// The application delegate: it registers the user defaults and the services that the lower layers reach
// through TOVUtils, makes the view factories, follows the preferences that change how open documents look,
// builds the Font menu, never opens an untitled document (the start-up panel shows instead) and keeps the
// state of several menus in step with the front document window while they open. It holds no document
// state of its own: everything that depends on the front document is read from its window controller.
// Every document window gets the main menu when it first shows.
class TOVApplicationController : public QObject,
                                 public platform::ApplicationDelegate,
                                 public platform::MenuDelegate {
    Q_OBJECT
public:
    // Registers the defaults and the services, and builds the main menu.
    TOVApplicationController();
    ~TOVApplicationController() override;

    // The registered values of the user defaults, and their registration (a value the user has stored
    // always wins). Safe to call again: the same values are registered.
    static std::map<std::string, platform::DefaultsValue> registeredDefaults();
    static void initialize();
    // Hands the view factories, windows and cursors of the layers above the model to TOVUtils, and the
    // machine's fonts to the reader of formatted texts.
    static void registerServices();
    // Both registrations: what the program does at start-up, and what the tools that read and draw songs
    // do before they read one, so that they read and draw as the program does.
    static void registerDefaultsAndServices();
    // The keys whose changes reach open documents, in the order they are observed.
    static const std::vector<std::string>& observedDefaultsKeys();

    // The installed notation fonts; entry 0 is always "Default".
    static const std::vector<TOVPlugInFontDefinition>& plugInFonts();
    // Rebuilds the font list (the built-in font only, until font bundles are read) and installs each
    // font into the three view factories.
    void extractPlugInFonts();

    // Shows the start-up panel when no document is open.
    static void runStartUpPanel();
    // The window controller of the front document: the main window's controller when it is exactly a
    // TOVWindowController, else null.
    TOVWindowController* windowController() const;

    const std::shared_ptr<platform::Menu>& mainMenu() const { return mainMenu_; }
    platform::MenuItem* fontMenu() const { return fontMenu_; }

    // Files named on the command line, opened at launch instead of showing the start-up panel.
    void setFilesToOpenAtLaunch(std::vector<std::filesystem::path> files) { filesToOpen_ = std::move(files); }

    // --- Application delegate ---
    void applicationWillFinishLaunching() override;
    bool applicationShouldOpenUntitledFile() override;
    bool applicationShouldHandleReopen(bool hasVisibleWindows) override;

    // --- Menu delegate ---
    void menuNeedsUpdate(platform::Menu& menu) override;
    void menuWillOpen(platform::Menu& menu) override;
    void menuDidClose(platform::Menu& menu) override {}

    // A change of an observed user default.
    void observeValueForKeyPath(const std::string& key);

    // --- Actions ---
    void showPreferencesWindow();
    void showAboutWindow();
    void showHelpByBrowser();
    // Closes every document (each asks to save when edited), then quits; a cancelled question stops it.
    void terminate();
    bool validateMenuItem(platform::MenuItem& item) override;

    // The address of the product's support pages.
    static const char* supportPageAddress();
    // Opens a web address in the user's browser; answers whether a browser took it. The platform's
    // desktop services unless replaced (a test, a run without a desktop).
    using UrlOpener = std::function<bool(const QUrl&)>;
    static void setUrlOpener(UrlOpener opener);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildFontMenu();
    void enableEditingMenu(platform::Menu& menu);
    void fillOpenRecentMenu(platform::Menu& menu);
    void openFilesToOpen();
    void closeNextDocumentThenQuit();

    std::shared_ptr<platform::Menu> mainMenu_;
    platform::MenuItem* fontMenu_ = nullptr;
    std::vector<platform::UserDefaults::ObserverId> observations_;
    std::vector<std::filesystem::path> filesToOpen_;
};
