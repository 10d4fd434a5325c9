#pragma once

// What the tools that read songs do before they read one: a Qt application without a display (fonts and
// drawing need one, reading does not care), and the program's own registrations, so that a song is read
// and drawn as the program reads and draws it: the chords of an old file measured with the view
// factories, texts finding their fonts among the machine's, chords set in the program's notation. The
// user's own preferences are not read: a tool's output depends on the file alone.
#include "app/TOVApplicationController.h"

#include <QApplication>
#include <QtGlobal>

#include <memory>

inline std::unique_ptr<QApplication> startToolApplication(int& argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    auto application = std::make_unique<QApplication>(argc, argv);
    TOVApplicationController::registerDefaultsAndServices();
    return application;
}
