#include "app/TOVApplicationController.h"
#include "app/TOVDocumentController.h"
#include "layout/TOVEditorPageView.h"
#include "model/TOVUtils.h"
#include "platform/foundation/Resources.h"
#include "platform/foundation/SettingsDefaultsStore.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/Application.h"
#include "platform/ui/ApplicationMenuBar.h"
#include "platform/ui/Menu.h"
#include "platform/ui/Window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QUrl>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

namespace {

// The built-in font's glyphs are the program's own resources; without them nothing can be drawn.
bool resourcesAreInstalled() {
    return TOVUtils::pathForResourceOfType("ArticulationSlur", "svg").has_value() &&
           TOVUtils::pathForResourceOfType("cursorRotate", "png").has_value();
}

// The files named on the command line (Qt has taken its own options out already).
std::vector<std::filesystem::path> filesFromArguments() {
    std::vector<std::filesystem::path> files;
    const QStringList arguments = QCoreApplication::arguments();
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument.isEmpty()) {
            continue;
        }
        // A desktop entry hands files as URLs when it is given %U; take local ones as paths.
        if (argument.startsWith(QStringLiteral("file://"))) {
            files.emplace_back(QUrl(argument).toLocalFile().toStdString());
        } else {
            files.emplace_back(argument.toStdString());
        }
    }
    return files;
}

// Opens the main menu's menu of that title under its title in the menu bar of the front document window.
void openMenuOfMainWindow(const std::string& title) {
    platform::Application* application = platform::Application::shared();
    if (application == nullptr || !application->mainMenu()) {
        return;
    }
    platform::Window* window = application->mainWindow();
    for (platform::Window* each : application->windows()) {
        if (window == nullptr && each->isVisible() && each->applicationMenuBar() != nullptr) {
            window = each;
        }
    }
    platform::Menu* menu = application->mainMenu()->submenuWithTitle(title);
    if (window == nullptr || window->applicationMenuBar() == nullptr || menu == nullptr) {
        return;
    }
    // As a click on the bar does where no window manager hands out the focus.
    window->activateWindow();
    QCoreApplication::processEvents();
    QMenuBar* bar = window->applicationMenuBar()->menuBar();
    if (QMenu* shown = window->applicationMenuBar()->qMenuFor(menu)) {
        shown->popup(bar->mapToGlobal(bar->actionGeometry(shown->menuAction()).bottomLeft()));
    }
}

// For tests of the installed program: TOVRIN_SNAPSHOT names a PNG file; once launched, the program draws
// its screen into it and quits. TOVRIN_SNAPSHOT_MENU names a menu of the bar to open first.
void scheduleSnapshot() {
    const char* target = std::getenv("TOVRIN_SNAPSHOT");
    if (target == nullptr || *target == '\0') {
        return;
    }
    const QString path = QString::fromLocal8Bit(target);
    if (const char* menu = std::getenv("TOVRIN_SNAPSHOT_MENU"); menu != nullptr && *menu != '\0') {
        const std::string title(menu);
        QTimer::singleShot(2000, qApp, [title] { openMenuOfMainWindow(title); });
    }
    QTimer::singleShot(3000, qApp, [path] {
        QScreen* screen = QGuiApplication::primaryScreen();
        const QPixmap picture = screen != nullptr ? screen->grabWindow(0) : QPixmap();
        const bool saved = !picture.isNull() && picture.save(path, "PNG");
        QCoreApplication::exit(saved ? 0 : 2);
    });
}

// For timing how long a song takes to open: with TOVRIN_QUIT_AFTER_FIRST_PAGE set, the program quits as
// soon as the paint pass that drew the first page sheet on screen is over, and tells on stderr how long
// that took from its start.
QElapsedTimer& sinceStart() {
    static QElapsedTimer timer;
    return timer;
}

void scheduleQuitAfterFirstPage() {
    const char* wanted = std::getenv("TOVRIN_QUIT_AFTER_FIRST_PAGE");
    if (wanted == nullptr || *wanted == '\0') {
        return;
    }
    TOVEditorPageView::drawnOnScreenHook = [] {
        TOVEditorPageView::drawnOnScreenHook = nullptr;
        // Queued: the rest of the paint pass (the page's lines and bars) is drawn first.
        QMetaObject::invokeMethod(
            qApp,
            [] {
                std::fprintf(stderr, "tovrin: first page drawn after %lld ms\n",
                             static_cast<long long>(sinceStart().elapsed()));
                QCoreApplication::exit(0);
            },
            Qt::QueuedConnection);
    };
}

} // namespace

int main(int argc, char* argv[]) {
    sinceStart().start();
    QApplication qtApplication(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tovrin"));
    QApplication::setOrganizationName(QStringLiteral("Tovrin"));
    QApplication::setApplicationVersion(QString::fromLatin1(
        platform::versionString.data(), static_cast<qsizetype>(platform::versionString.size())));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.tovrin.Tovrin"));
    // The application decides itself when it ends: closing the last document shows the start-up panel.
    QApplication::setQuitOnLastWindowClosed(false);

    scheduleSnapshot();
    scheduleQuitAfterFirstPage();
    if (!resourcesAreInstalled()) {
        const std::string message =
            platform::localized("Tovrin cannot find its glyphs and images. Please install it again.");
        std::fprintf(stderr, "tovrin: %s\n", message.c_str());
        QMessageBox::critical(nullptr, QStringLiteral("Tovrin"), QString::fromStdString(message));
        return 1;
    }

    // Preferences persist in the user's settings file.
    platform::UserDefaults::replaceStandard(
        std::make_unique<platform::UserDefaults>(std::make_unique<platform::SettingsDefaultsStore>()));

    platform::Application application;
    TOVApplicationController controller;
    TOVDocumentController documents;
    application.setDelegate(&controller);
    application.setDocumentController(&documents);
    application.setMainMenu(controller.mainMenu());
    controller.setFilesToOpenAtLaunch(filesFromArguments());
    return application.run();
}
