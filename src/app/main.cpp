#include "platform/foundation/SettingsDefaultsStore.h"
#include "platform/foundation/UserDefaults.h"

#include <QApplication>
#include <QMainWindow>

#include <memory>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tovrin"));
    QApplication::setOrganizationName(QStringLiteral("Tovrin"));

    // Preferences persist in the user's settings file; until now the shared defaults lived in memory.
    platform::UserDefaults::replaceStandard(
        std::make_unique<platform::UserDefaults>(std::make_unique<platform::SettingsDefaultsStore>()));

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Tovrin"));
    window.resize(900, 700);
    window.show();
    return QApplication::exec();
}
