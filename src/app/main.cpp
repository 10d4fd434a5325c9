#include "glyphs/TOVChordViewFactory.h"
#include "glyphs/TOVObjectViewFactory.h"
#include "model/TOVUtils.h"
#include "notation/TOVNoteViewFactory.h"
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

    // The model reaches the view factories only through these services.
    TOVUtils::Services services;
    services.objectViewFactory = [] { return TOVObjectViewFactory::singletonInstance(); };
    services.chordViewFactory = [] { return TOVChordViewFactory::singletonInstance(); };
    services.noteViewFactory = [] { return TOVNoteViewFactory::singletonInstance(); };
    TOVUtils::registerServices(services);

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Tovrin"));
    window.resize(900, 700);
    window.show();
    return QApplication::exec();
}
