#include "app/TOVStartUpWindowController.h"

#include "platform/ui/Window.h"

TOVStartUpWindowController* TOVStartUpWindowController::singletonInstance() { return nullptr; }
void TOVStartUpWindowController::releaseSingletonInstance() {}
TOVStartUpWindowController::TOVStartUpWindowController() {}
TOVStartUpWindowController::~TOVStartUpWindowController() = default;
void TOVStartUpWindowController::showUp() {}
void TOVStartUpWindowController::hide() {}
void TOVStartUpWindowController::createNew() {}
void TOVStartUpWindowController::openAnotherFile() {}
void TOVStartUpWindowController::openRecentUsedFile() {}
void TOVStartUpWindowController::tableViewAction() {}
void TOVStartUpWindowController::updateButton() {}
void TOVStartUpWindowController::updateFullPathLabel() {}
void TOVStartUpWindowController::buildWindow() {}
void TOVStartUpWindowController::reloadTable() {}
std::optional<int> TOVStartUpWindowController::singleSelectedRow() const { return std::nullopt; }
void TOVStartUpWindowController::windowDidClose() {}
