#include "platform/ui/Window.h"

#include "platform/ui/Application.h"
#include "platform/ui/ApplicationMenuBar.h"
#include "platform/ui/View.h"
#include "platform/ui/ViewHost.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QWindow>

namespace platform {

namespace {

bool isPalette(const QWindow* window) {
    return window != nullptr && window->flags().testFlag(Qt::WindowDoesNotAcceptFocus);
}

// A window system may still activate a palette (one that ignores the hint, or has no window manager):
// the activation then goes straight back to the window that had it.
void keepActivationOffPalettes() {
    static QPointer<QWindow> keyWindow;
    static bool watching = false;
    if (watching) {
        return;
    }
    watching = true;
    if (!isPalette(QGuiApplication::focusWindow())) {
        keyWindow = QGuiApplication::focusWindow();
    }
    QObject::connect(qGuiApp, &QGuiApplication::focusWindowChanged, qGuiApp, [](QWindow* now) {
        if (now == nullptr) {
            return;
        }
        if (!isPalette(now)) {
            keyWindow = now;
        } else if (keyWindow != nullptr && keyWindow->isVisible()) {
            keyWindow->requestActivate();
        }
    });
}

} // namespace

Window::Window(Kind kind, QWidget* parent)
    : QMainWindow(parent), kind_(kind), closesOnEscape_(kind == Kind::Panel) {
    if (kind == Kind::Palette) {
        // A utility window that the window system never activates, also not by a click.
        setWindowFlags(Qt::Tool | Qt::WindowDoesNotAcceptFocus);
        setAttribute(Qt::WA_ShowWithoutActivating);
        setFocusPolicy(Qt::NoFocus);
        keepActivationOffPalettes();
    }
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
    // A palette that the window system activated all the same hands the activation straight back.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && kind_ != Kind::Palette) {
        if (Application* application = Application::shared()) {
            application->windowDidBecomeKey(this);
        }
    }
    QMainWindow::changeEvent(event);
}

} // namespace platform
