#pragma once

namespace platform {

class Menu;

// Hooks of a menu: menuNeedsUpdate before the menu shows and before it is searched for a key equivalent,
// menuWillOpen only before it shows, menuDidClose after it closed.
class MenuDelegate {
public:
    virtual ~MenuDelegate() = default;
    virtual void menuNeedsUpdate(Menu& menu) {}
    virtual void menuWillOpen(Menu& menu) {}
    virtual void menuDidClose(Menu& menu) {}
};

} // namespace platform
