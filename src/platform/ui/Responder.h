#pragma once

#include <functional>
#include <map>
#include <string>

namespace platform {

class MenuItem;

// Something that actions sent without a target travel to: views, windows, window controllers, documents,
// the document controller and the application delegate. Actions are named by stable identifiers
// ("saveDocument:", "undo:"); the first responder of the chain that responds to an action gets it, and
// that same responder validates the menu items that send it.
//
// A responder either registers handlers (addActionHandler) or overrides the three operations.
class Responder {
public:
    using ActionHandler = std::function<void(MenuItem* sender)>;

    Responder() = default;
    virtual ~Responder() = default;
    Responder(const Responder&) = delete;
    Responder& operator=(const Responder&) = delete;

    virtual bool respondsToAction(const std::string& action) const;
    // Performs an action this responder responds to; the sender may be null (a button, a test).
    virtual void performAction(const std::string& action, MenuItem* sender);
    // Called before the item shows in a menu and again before its key equivalent fires, on the responder
    // that would get its action; answers whether the item is enabled and may set its state and title.
    virtual bool validateMenuItem(MenuItem& item) { return true; }

protected:
    void addActionHandler(const std::string& action, ActionHandler handler);
    void removeActionHandler(const std::string& action);

private:
    std::map<std::string, ActionHandler> handlers_;
};

} // namespace platform
