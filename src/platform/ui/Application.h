#pragma once

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform {

class ApplicationDelegate;
class DocumentController;
class Menu;
class MenuItem;
class Responder;
class Window;

// The application around QApplication (which must exist first): launch hooks, the main window, modal
// runs, deferred blocks, the menu model and the routing of actions. One at a time; main thread only.
//
// Main window. The last active document window is the main window; panels never become main. Closing it
// leaves no main window until another document window becomes active.
//
// Actions. An action without a target goes along the responder chain of the window it comes from (the key
// window when none is named): the first responder view and its superviews, the window, its window
// controller and its document; when the window is not the main window, the same for the main window; then
// the document controller and the application delegate. The first responder that responds gets it.
class Application : public QObject {
    Q_OBJECT
public:
    // Answers of a modal run that ended without a code of the caller's.
    static constexpr int ModalResponseStop = -1000;
    static constexpr int ModalResponseAbort = -1001;

    Application();
    ~Application() override;
    static Application* shared();

    // Not owning.
    ApplicationDelegate* delegate() const { return delegate_; }
    void setDelegate(ApplicationDelegate* delegate) { delegate_ = delegate; }
    DocumentController* documentController() const { return documentController_; }
    void setDocumentController(DocumentController* controller) { documentController_ = controller; }

    // --- Launch ---
    // Will-finish hook, an untitled document when the delegate wants one and none is open, did-finish hook.
    void finishLaunching();
    // finishLaunching, then the main event loop; answers its exit code.
    int run();
    // The user brought the application back (it became active again): without visible windows, and when
    // the delegate lets the application handle it, an untitled document opens as at launch.
    void reopen();
    bool hasVisibleWindows() const;

    // --- Windows ---
    Window* mainWindow() const { return mainWindow_; }
    Window* keyWindow() const;
    const std::vector<Window*>& windows() const;

    // --- Modal runs ---
    // Shows the window application-modally (only it takes input; every window still repaints) and runs a
    // nested event loop until stopModal. Answers the code given to stopModalWithCode, ModalResponseStop for
    // stopModal, ModalResponseAbort when the window closed without stopping the run. The undo manager's
    // event group stays open throughout.
    int runModalForWindow(Window* window);
    // Shows `sheet` over `parent` (a window-modal sheet's place) and runs it modally as above.
    int runModalSheetForWindow(Window* sheet, Window* parent);
    // Ends the innermost run once the event being handled has returned.
    void stopModal() { stopModalWithCode(ModalResponseStop); }
    void stopModalWithCode(int code);
    // The window of the innermost run, or null.
    Window* modalWindow() const;

    // --- Deferred work ---
    // Runs the call on the main loop after the current event (in a modal loop too).
    static void performDeferred(std::function<void()> call);

    // --- Menus and actions ---
    // The model of every document window's menu bar.
    const std::shared_ptr<Menu>& mainMenu() const { return mainMenu_; }
    void setMainMenu(std::shared_ptr<Menu> menu) { mainMenu_ = std::move(menu); }

    std::vector<Responder*> responderChain(Window* window) const;
    Responder* targetForAction(const std::string& action, Window* window) const;
    // Sends the action to its target (or along the chain); false when no one took it.
    bool sendAction(const std::string& action, MenuItem* sender = nullptr, Window* window = nullptr);
    // Sets the item's enabled state (when its menu enables items automatically) by asking the responder
    // that would get its action; an item without a target that no one answers is disabled. Answers it.
    bool validateMenuItem(MenuItem& item, Window* window);
    // Sends the item's action as a click on it does: validates it first and sends only when enabled.
    bool performMenuItem(MenuItem& item, Window* window);

    // --- Called by windows ---
    static void registerWindow(Window* window);
    static void unregisterWindow(Window* window);
    void windowDidBecomeKey(Window* window);
    void windowDidClose(Window* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct ModalRun;
    Window* windowForAction(Window* window) const;
    void appendWindowChain(Window* window, std::vector<Responder*>& chain) const;

    ApplicationDelegate* delegate_ = nullptr;
    DocumentController* documentController_ = nullptr;
    QPointer<Window> mainWindow_;
    bool launched_ = false;
    std::vector<ModalRun*> modalRuns_;
    std::shared_ptr<Menu> mainMenu_;
};

} // namespace platform
