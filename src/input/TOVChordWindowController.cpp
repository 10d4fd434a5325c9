#include "input/TOVChordWindowController.h"

#include "input/TOVChordInputEditor.h"
#include "platform/ui/Window.h"

TOVChordWindowController::TOVChordWindowController()
    : platform::WindowController(std::make_unique<platform::Window>(platform::Window::Kind::Panel)) {
    window()->setObjectName(QStringLiteral("TOVChordWindowController"));
}

TOVChordWindowController::~TOVChordWindowController() = default;

void TOVChordWindowController::showCustomDialog(TOVChordInputEditor* editor, int mode) {
    if (mode != 2) {
        modeAtLaunch_ = mode;
    }
    showCustomDialog(editor);
}

void TOVChordWindowController::showCustomDialog(TOVChordInputEditor* editor) {
    (void)editor;
}

void TOVChordWindowController::refreshAllItems() {}
