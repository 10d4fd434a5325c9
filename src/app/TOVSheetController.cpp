#include "app/TOVSheetController.h"

#include "platform/ui/Application.h"
#include "platform/ui/Window.h"

TOVSheetController::TOVSheetController(std::unique_ptr<platform::Window> window)
    : platform::WindowController(std::move(window)) {}

TOVSheetController::~TOVSheetController() = default;

bool TOVSheetController::runModalOnWindow(platform::Window* window) {
    result_ = false;
    platform::Application* application = platform::Application::shared();
    platform::Window* sheet = this->window();
    if (application == nullptr || sheet == nullptr) {
        return false;
    }
    application->runModalSheetForWindow(sheet, window);
    if (sheet->isVisible()) {
        sheet->hide();
    }
    return result_;
}

void TOVSheetController::accept() {
    result_ = true;
    if (platform::Application* application = platform::Application::shared()) {
        application->stopModal();
    }
}

void TOVSheetController::cancel() {
    result_ = false;
    if (platform::Application* application = platform::Application::shared()) {
        application->stopModal();
    }
}
