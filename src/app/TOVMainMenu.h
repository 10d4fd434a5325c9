#pragma once

#include <memory>
#include <string>

namespace platform {
class Menu;
class MenuDelegate;
class MenuItem;
} // namespace platform

// The menu model that every document window's menu bar is built from. Its menus and items carry the
// titles, tags and actions that the window controller's validation and the application delegate's menu
// rules read, so those are fixed here:
//
// - "A Page": line counts of the selected page (tags 4 to 12), action numberOfLinesInSelectedPageDidChange:
// - "Partition": bar counts of the selected line (tags 1 to 8), action numberOfBarsInSelectedLineDidChange:
// - "Parts": 1 single and 2 double line, action numberOfRowsDidChange:
// - "Bar Number": bar-number show types (0 none, 1 at each line, 2 at each bar), action
//   barNumberShowTypeDidChange:
// - "Transpose": semitones (+12 and -12 are the octaves; "0" marks the current key), action transpose:
// - "Edit Bars": the bar-range modes (0 Normal, 1 Copy, 2 Paste, 3 Cut, 4 Delete), action
//   editBarsModeDidChange:. It is a menu of the bar, not part of "Edit", so that the bar-range modes,
//   which disable "Layout", "Edit" and "Change", never hide the way back: its "Normal" item, on Escape.
// - "Font": empty; the application delegate appends one item per installed font at launch.
class TOVMainMenu {
public:
    TOVMainMenu() = delete;

    // The whole menu. The delegate becomes the delegate of the submenus whose state it keeps (by their
    // titles, see TOVApplicationController) and of "Open Recent".
    static std::shared_ptr<platform::Menu> makeMainMenu(platform::MenuDelegate* delegate);

    // The item of the bar's "Layout" menu that holds the "Font" submenu.
    static platform::MenuItem* fontMenuItem(platform::Menu& mainMenu);

    // The titles of the menus whose state the application delegate keeps.
    static bool isDelegatedMenuTitle(const std::string& title);
};
