#include "platform/ui/Application.h"

#include "platform/foundation/MainLoop.h"
#include "platform/foundation/UndoManager.h"
#include "platform/ui/ApplicationDelegate.h"
#include "platform/ui/ApplicationMenuBar.h"
#include "platform/ui/Document.h"
#include "platform/ui/DocumentController.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"
#include "platform/ui/WindowController.h"

#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>

#include <algorithm>
#include <cassert>

namespace platform {

namespace {
Application* sharedApplication = nullptr;

std::vector<Window*>& allWindows() {
    static std::vector<Window*> windows;
    return windows;
}
} // namespace

struct Application::ModalRun {
    QPointer<Window> window;
    QEventLoop loop;
    int code = ModalResponseStop;
    bool stopped = false;
};

Application::Application() {
    assert(sharedApplication == nullptr && QApplication::instance() != nullptr);
    sharedApplication = this;
    qApp->installEventFilter(this);
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state == Qt::ApplicationActive && launched_ && modalRuns_.empty()) {
            reopen();
        }
    });
}

Application::~Application() {
    if (qApp != nullptr) {
        qApp->removeEventFilter(this);
    }
    if (sharedApplication == this) {
        sharedApplication = nullptr;
    }
}

Application* Application::shared() {
    return sharedApplication;
}

void Application::finishLaunching() {
    if (delegate_ != nullptr) {
        delegate_->applicationWillFinishLaunching();
    }
    if (documentController_ != nullptr && documentController_->documents().empty() &&
        (delegate_ == nullptr || delegate_->applicationShouldOpenUntitledFile())) {
        documentController_->newDocument();
    }
    launched_ = true;
    if (delegate_ != nullptr) {
        delegate_->applicationDidFinishLaunching();
    }
}

int Application::run() {
    finishLaunching();
    return QApplication::exec();
}

bool Application::hasVisibleWindows() const {
    return std::any_of(allWindows().begin(), allWindows().end(),
                       [](const Window* w) { return w->isVisible(); });
}

void Application::reopen() {
    const bool visible = hasVisibleWindows();
    if (delegate_ != nullptr && !delegate_->applicationShouldHandleReopen(visible)) {
        return;
    }
    if (!visible && documentController_ != nullptr && documentController_->documents().empty() &&
        (delegate_ == nullptr || delegate_->applicationShouldOpenUntitledFile())) {
        documentController_->newDocument();
    }
}

Window* Application::keyWindow() const {
    return qobject_cast<Window*>(QApplication::activeWindow());
}

const std::vector<Window*>& Application::windows() const {
    return allWindows();
}

void Application::registerWindow(Window* window) {
    allWindows().push_back(window);
}

void Application::unregisterWindow(Window* window) {
    auto& windows = allWindows();
    windows.erase(std::remove(windows.begin(), windows.end(), window), windows.end());
}

void Application::windowDidBecomeKey(Window* window) {
    if (window != nullptr && window->canBecomeMain()) {
        mainWindow_ = window;
    }
}

void Application::windowDidClose(Window* window) {
    if (mainWindow_ == window) {
        mainWindow_ = nullptr;
    }
    // A run whose window closed without stopping it would wait for a window that is gone.
    for (ModalRun* run : modalRuns_) {
        if (run->window == window && !run->stopped) {
            run->stopped = true;
            run->code = ModalResponseAbort;
            run->loop.exit();
        }
    }
}

int Application::runModalForWindow(Window* window) {
    if (window == nullptr) {
        return ModalResponseAbort;
    }
    ModalRun run;
    run.window = window;
    if (window->isVisible() && window->windowModality() != Qt::ApplicationModal) {
        window->hide();
    }
    window->setWindowModality(Qt::ApplicationModal);
    modalRuns_.push_back(&run);
    window->show();
    window->raise();
    window->activateWindow();
    {
        UndoManager::NestedEventLoopScope nested;
        if (!run.stopped) {
            run.loop.exec(QEventLoop::DialogExec);
        }
    }
    modalRuns_.erase(std::remove(modalRuns_.begin(), modalRuns_.end(), &run), modalRuns_.end());
    if (run.window != nullptr && !run.window->isVisible()) {
        run.window->setWindowModality(Qt::NonModal);
    }
    return run.code;
}

int Application::runModalSheetForWindow(Window* sheet, Window* parent) {
    if (sheet == nullptr) {
        return ModalResponseAbort;
    }
    if (parent == nullptr) {
        return runModalForWindow(sheet);
    }
    // The sheet hangs from its parent only while it runs: it belongs to its controller, and a parent
    // that went away would otherwise take it along.
    QWidget* const oldParent = sheet->parentWidget();
    const Qt::WindowFlags oldFlags = sheet->windowFlags();
    if (sheet->isVisible()) {
        sheet->hide();
    }
    sheet->setParent(parent, Qt::Sheet | Qt::Dialog);
    // The sheet drops from under the window's toolbar: panels that float over the toolbar, such as the
    // hint panel, would otherwise hide the sheet's question.
    const QRect area = parent->geometry();
    const int below = parent->centralWidget() != nullptr ? parent->centralWidget()->y() : 0;
    sheet->move(area.x() + (area.width() - sheet->width()) / 2, area.y() + below);
    const QPointer<Window> running = sheet;
    const QPointer<Window> owner = parent;
    const int code = runModalForWindow(sheet);
    if (running != nullptr) {
        running->hide();
        running->setParent(oldParent, oldFlags);
    }
    // The keys go back to the window the sheet hung from, as they went to it before the sheet: a sheet
    // put away after its run would otherwise keep the keyboard while hidden.
    if (owner != nullptr && owner->isVisible()) {
        owner->activateWindow();
    }
    return code;
}

void Application::stopModalWithCode(int code) {
    for (auto it = modalRuns_.rbegin(); it != modalRuns_.rend(); ++it) {
        if (!(*it)->stopped) {
            (*it)->stopped = true;
            (*it)->code = code;
            (*it)->loop.exit();
            return;
        }
    }
}

Window* Application::modalWindow() const {
    for (auto it = modalRuns_.rbegin(); it != modalRuns_.rend(); ++it) {
        if (!(*it)->stopped) {
            return (*it)->window;
        }
    }
    return nullptr;
}

void Application::performDeferred(std::function<void()> call) {
    MainLoop::defer(std::move(call));
}

Window* Application::windowForAction(Window* window) const {
    if (window != nullptr) {
        return window;
    }
    if (Window* key = keyWindow()) {
        return key;
    }
    return mainWindow_;
}

void Application::appendWindowChain(Window* window, std::vector<Responder*>& chain) const {
    for (View* view = window->firstResponderView(); view != nullptr; view = view->superview()) {
        chain.push_back(view);
    }
    chain.push_back(window);
    if (WindowController* controller = window->windowController()) {
        chain.push_back(controller);
        if (Document* document = controller->document()) {
            chain.push_back(document);
        }
    }
}

std::vector<Responder*> Application::responderChain(Window* window) const {
    std::vector<Responder*> chain;
    window = windowForAction(window);
    if (window != nullptr) {
        appendWindowChain(window, chain);
    }
    if (mainWindow_ != nullptr && mainWindow_ != window) {
        appendWindowChain(mainWindow_, chain);
    }
    if (documentController_ != nullptr) {
        chain.push_back(documentController_);
    }
    if (delegate_ != nullptr) {
        chain.push_back(delegate_);
    }
    return chain;
}

Responder* Application::targetForAction(const std::string& action, Window* window) const {
    if (action.empty()) {
        return nullptr;
    }
    for (Responder* responder : responderChain(window)) {
        if (responder->respondsToAction(action)) {
            return responder;
        }
    }
    return nullptr;
}

bool Application::sendAction(const std::string& action, MenuItem* sender, Window* window) {
    Responder* target =
        sender != nullptr && sender->target() != nullptr ? sender->target() : targetForAction(action, window);
    if (target == nullptr) {
        return false;
    }
    target->performAction(action, sender);
    return true;
}

bool Application::validateMenuItem(MenuItem& item, Window* window) {
    if (item.isSeparatorItem()) {
        return false;
    }
    const Menu* menu = item.menu();
    if (menu != nullptr && !menu->autoenablesItems()) {
        return item.isEnabled();
    }
    bool enabled = false;
    if (item.hasSubmenu()) {
        enabled = true;
    } else if (Responder* target =
                   item.target() != nullptr ? item.target() : targetForAction(item.action(), window)) {
        enabled = target->validateMenuItem(item);
    }
    item.setEnabled(enabled);
    return enabled;
}

bool Application::performMenuItem(MenuItem& item, Window* window) {
    if (!validateMenuItem(item, window)) {
        return false;
    }
    return sendAction(item.action(), &item, window);
}

bool Application::eventFilter(QObject* watched, QEvent* event) {
    // A key equivalent is validated before Qt looks for the shortcut, so a disabled item does not fire.
    if (event->type() == QEvent::ShortcutOverride && watched->isWidgetType()) {
        auto* window = qobject_cast<Window*>(static_cast<QWidget*>(watched)->window());
        if (window != nullptr && window->applicationMenuBar() != nullptr) {
            const auto* key = static_cast<QKeyEvent*>(event);
            window->applicationMenuBar()->validateKeyEquivalent(QKeySequence(key->keyCombination()));
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace platform
