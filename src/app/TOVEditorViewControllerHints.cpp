#include "app/TOVEditorViewController.h"

// The navigation hints the controller shows in the window's message panel.

void TOVEditorViewController::showNavigationMessageForNormalMode() {}

void TOVEditorViewController::showNavigationMessageForNormalModeForBar() {}

void TOVEditorViewController::showNavigationMessageForEditBarsMode() {}

void TOVEditorViewController::showNavigationMessageForDraggingSymbolActiveView(int, platform::View*) {}

void TOVEditorViewController::showNavigationMessageForDraggingNoteActiveView(int, platform::View*) {}
