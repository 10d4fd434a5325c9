#include "platform/ui/WindowController.h"

#include "platform/ui/Document.h"
#include "platform/ui/Window.h"

namespace platform {

WindowController::WindowController(std::unique_ptr<Window> window) {
    setWindow(std::move(window));
}

WindowController::~WindowController() {
    if (window_) {
        window_->setWindowController(nullptr);
        window_->setShouldCloseHandler({});
        window_->setWillCloseHandler({});
    }
}

void WindowController::setWindow(std::unique_ptr<Window> window) {
    if (window_) {
        window_->setWindowController(nullptr);
    }
    window_ = std::move(window);
    if (window_) {
        window_->setWindowController(this);
    }
}

void WindowController::setDocument(Document* document) {
    document_ = document;
    synchronizeWindowTitleWithDocumentName();
}

void WindowController::showWindow() {
    if (!window_) {
        return;
    }
    window_->show();
    window_->raise();
    window_->activateWindow();
}

void WindowController::close() {
    if (!window_) {
        return;
    }
    window_->setShouldCloseHandler({});
    window_->close();
}

void WindowController::synchronizeWindowTitleWithDocumentName() {
    if (!window_ || document_ == nullptr) {
        return;
    }
    // "[*]" is where Qt shows the edited mark.
    window_->setWindowTitle(
        QString::fromStdString(windowTitleForDocumentDisplayName(document_->displayName())) +
        QStringLiteral("[*]"));
    window_->setWindowModified(document_->isDocumentEdited());
}

} // namespace platform
