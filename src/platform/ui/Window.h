#pragma once

#include "platform/ui/Responder.h"

#include <QMainWindow>

#include <functional>
#include <memory>

namespace platform {

class ApplicationMenuBar;
class Menu;
class View;
class ViewHost;
class WindowController;

// A top-level window: a document window, a panel (preferences, input windows, sheets), which never
// becomes the main window, or a palette, a panel that never becomes the key window either: showing it
// or clicking into it leaves the keyboard with the window that had it, so that keys and shortcuts go on
// reaching the document after a drag out of the palette. Every way the window closes (its close button,
// close(), performClose:, Escape where it closes the window, the end of a modal run by closing) goes through
// the one close event: the should-close handler may refuse, and the will-close handler then runs once.
class Window : public QMainWindow, public Responder {
    Q_OBJECT
public:
    enum class Kind { Document, Panel, Palette };

    explicit Window(Kind kind = Kind::Document, QWidget* parent = nullptr);
    ~Window() override;

    Kind kind() const { return kind_; }
    bool canBecomeMain() const { return kind_ == Kind::Document; }
    bool isMainWindow() const;
    bool isKeyWindow() const;

    // Not owning; the controller owns the window.
    WindowController* windowController() const { return windowController_; }
    void setWindowController(WindowController* controller) { windowController_ = controller; }

    // Asked before the window closes; false keeps it open (it may close it later, after a sheet).
    void setShouldCloseHandler(std::function<bool()> handler) { shouldClose_ = std::move(handler); }
    // Runs once each time the window closes, however it closes.
    void setWillCloseHandler(std::function<void()> handler) { willClose_ = std::move(handler); }
    // Escape closes the window (the default for panels).
    bool closesOnEscape() const { return closesOnEscape_; }
    void setClosesOnEscape(bool closes) { closesOnEscape_ = closes; }
    // Closes the window as its close button does.
    void performClose();

    // The view that first gets keys and actions: the first responder of the view host that has (or last
    // had) the keyboard focus in the window, or null.
    View* firstResponderView() const;
    ViewHost* focusedViewHost() const;
    // Makes a view of one of the window's hosts the first responder (and gives its host the focus); null
    // makes the window itself the first responder, so that actions start at the window. False when the
    // view is not in the window or a responder refuses.
    bool makeFirstResponder(View* view);

    // Gives the window a menu bar built from the model.
    void setMenuModel(std::shared_ptr<Menu> model);
    ApplicationMenuBar* applicationMenuBar() const { return menuBar_; }

    // Answers performClose:.
    bool respondsToAction(const std::string& action) const override;
    void performAction(const std::string& action, MenuItem* sender) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    Kind kind_;
    WindowController* windowController_ = nullptr;
    std::function<bool()> shouldClose_;
    std::function<void()> willClose_;
    bool closesOnEscape_;
    bool closedSinceShown_ = false;
    ApplicationMenuBar* menuBar_ = nullptr;
};

} // namespace platform
