#include "platform/ui/Window.h"

#include "platform/ui/Application.h"
#include "platform/ui/ApplicationMenuBar.h"
#include "platform/ui/View.h"
#include "platform/ui/ViewHost.h"

#include <QCloseEvent>
#include <QKeyEvent>

namespace platform {

Window::Window(Kind kind, QWidget* parent)
    : QMainWindow(parent), kind_(kind), closesOnEscape_(kind == Kind::Panel) {
    Application::registerWindow(this);
}

Window::~Window() {
    Application::unregisterWindow(this);
}

bool Window::isMainWindow() const {
    const Application* application = Application::shared();
    return application != nullptr && application->mainWindow() == this;
}

bool Window::isKeyWindow() const {
    return isActiveWindow();
}

void Window::performClose() {
    close();
}

ViewHost* Window::focusedViewHost() const {
    QWidget* focus = focusWidget();
    for (QWidget* widget = focus; widget != nullptr && widget != this; widget = widget->parentWidget()) {
        if (auto* host = qobject_cast<ViewHost*>(widget)) {
            return host;
        }
    }
    return nullptr;
}

View* Window::firstResponderView() const {
    const ViewHost* host = focusedViewHost();
    return host != nullptr ? host->firstResponder() : nullptr;
}

bool Window::makeFirstResponder(View* view) {
    if (view == nullptr) {
        ViewHost* host = focusedViewHost();
        return host == nullptr || host->makeFirstResponder(nullptr);
    }
    ViewHost* host = view->host();
    if (host == nullptr || host->window() != this) {
        return false;
    }
    host->setFocus(Qt::OtherFocusReason);
    return host->makeFirstResponder(view);
}

void Window::setMenuModel(std::shared_ptr<Menu> model) {
    delete menuBar_;
    menuBar_ = nullptr;
    if (model) {
        menuBar_ = new ApplicationMenuBar(std::move(model), *this);
    } else {
        setMenuBar(nullptr);
    }
}

bool Window::respondsToAction(const std::string& action) const {
    return action == "performClose:" || Responder::respondsToAction(action);
}

void Window::performAction(const std::string& action, MenuItem* sender) {
    if (action == "performClose:") {
        performClose();
        return;
    }
    Responder::performAction(action, sender);
}

void Window::closeEvent(QCloseEvent* event) {
    if (shouldClose_ && !shouldClose_()) {
        event->ignore();
        return;
    }
    event->accept();
    if (closedSinceShown_) {
        return;
    }
    closedSinceShown_ = true;
    // A copy: the handler may replace itself or let the controller go.
    const std::function<void()> willClose = willClose_;
    if (willClose) {
        willClose();
    }
    if (Application* application = Application::shared()) {
        application->windowDidClose(this);
    }
}

void Window::showEvent(QShowEvent* event) {
    closedSinceShown_ = false;
    QMainWindow::showEvent(event);
}

void Window::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier &&
        (closesOnEscape_ ||
         (Application::shared() != nullptr && Application::shared()->modalWindow() == this))) {
        event->accept();
        close();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void Window::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        if (Application* application = Application::shared()) {
            application->windowDidBecomeKey(this);
        }
    }
    QMainWindow::changeEvent(event);
}

} // namespace platform
