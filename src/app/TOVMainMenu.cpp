#include "app/TOVMainMenu.h"

#include "platform/ui/Menu.h"
#include "platform/ui/MenuItem.h"

#include <array>
#include <string_view>

using platform::Menu;
using platform::MenuItem;

namespace {

constexpr std::array<std::string_view, 13> kDelegatedTitles = {
    "Layout",    "Edit",       "Change",     "A Page", "Partition", "Parts",      "Bar Number",
    "Transpose", "Enharmonic", "Accidental", "Font",   "Edit Bars", "Open Recent"};

// Titles stay in English: the window controller's validation and the application delegate's rules
// recognise items and menus by their titles.
std::string tr(std::string_view text) {
    return std::string(text);
}

std::shared_ptr<MenuItem> item(std::string_view title, std::string action, std::string keys = {},
                               int tag = 0) {
    return std::make_shared<MenuItem>(tr(title), std::move(action), std::move(keys), tag);
}

std::shared_ptr<Menu> submenu(Menu& parent, std::string_view title) {
    return parent.addSubmenu(tr(title));
}

void addFileMenu(Menu& root) {
    auto file = submenu(root, "File");
    file->addItem(item("New", "newDocument:", "Cmd+N"));
    file->addItem(item("Open…", "openDocument:", "Cmd+O"));
    submenu(*file, "Open Recent");
    file->addItem(MenuItem::separatorItem());
    file->addItem(item("Close", "performClose:", "Cmd+W"));
    file->addItem(item("Save", "saveDocument:", "Cmd+S"));
    file->addItem(item("Save As…", "saveDocumentAs:", "Cmd+Shift+S"));
    file->addItem(MenuItem::separatorItem());
    file->addItem(item("Print…", "printDocument:", "Cmd+P"));
    file->addItem(MenuItem::separatorItem());
    file->addItem(item("Quit", "terminate:", "Cmd+Q"));
}

void addEditMenu(Menu& root) {
    auto edit = submenu(root, "Edit");
    // The delegate enables the items as a whole (no front document, a bar-range mode), then asks each
    // item's responder.
    edit->setAutoenablesItems(false);
    edit->addItem(item("Undo", "undo:", "Cmd+Z"));
    edit->addItem(item("Redo", "redo:", "Cmd+Shift+Z"));
    edit->addItem(MenuItem::separatorItem());
    edit->addItem(item("Delete", "delete:"));
    edit->addItem(item("Symbol Properties", "editSymbolProperties:", "Cmd+I"));
    edit->addItem(MenuItem::separatorItem());
    edit->addItem(item("Preferences…", "showPreferencesWindow:", "Cmd+,"));
}

void addEditBarsMenu(Menu& root) {
    auto bars = submenu(root, "Edit Bars");
    bars->addItem(item("Normal", "editBarsModeDidChange:", "Escape", 0));
    bars->addItem(MenuItem::separatorItem());
    bars->addItem(item("Copy Bars", "editBarsModeDidChange:", {}, 1));
    bars->addItem(item("Paste Bars", "editBarsModeDidChange:", {}, 2));
    bars->addItem(item("Cut Bars", "editBarsModeDidChange:", {}, 3));
    bars->addItem(item("Delete Bars", "editBarsModeDidChange:", {}, 4));
    bars->addItem(MenuItem::separatorItem());
    bars->addItem(item("Insert Bars…", "requireCreateNewBars:"));
}

void addLayoutMenu(Menu& root) {
    auto layout = submenu(root, "Layout");
    layout->setAutoenablesItems(false);
    layout->addItem(item("Song Settings…", "editSongProperties:"));
    layout->addItem(MenuItem::separatorItem());

    // The rules of these four menus check the item of the current value and, for "Partition", disable
    // the counts that the line cannot take; validation must not undo that.
    auto page = submenu(*layout, "A Page");
    page->setAutoenablesItems(false);
    for (int lines = 4; lines <= 12; ++lines) {
        page->addItem(item(std::to_string(lines) + " " + tr("Lines"),
                           "numberOfLinesInSelectedPageDidChange:", {}, lines));
    }
    auto partition = submenu(*layout, "Partition");
    partition->setAutoenablesItems(false);
    for (int bars = 1; bars <= 8; ++bars) {
        partition->addItem(item(std::to_string(bars) + " " + tr(bars == 1 ? "Bar" : "Bars"),
                                "numberOfBarsInSelectedLineDidChange:", {}, bars));
    }
    auto parts = submenu(*layout, "Parts");
    parts->setAutoenablesItems(false);
    parts->addItem(item("Single Line", "numberOfRowsDidChange:", {}, 1));
    parts->addItem(item("Double Line", "numberOfRowsDidChange:", {}, 2));
    auto barNumber = submenu(*layout, "Bar Number");
    barNumber->setAutoenablesItems(false);
    barNumber->addItem(item("None", "barNumberShowTypeDidChange:", {}, 0));
    barNumber->addItem(item("At Each Line", "barNumberShowTypeDidChange:", {}, 1));
    barNumber->addItem(item("At Each Bar", "barNumberShowTypeDidChange:", {}, 2));
    layout->addItem(MenuItem::separatorItem());
    // Filled at launch with one item per installed font.
    submenu(*layout, "Font");
}

void addChangeMenu(Menu& root) {
    auto change = submenu(root, "Change");
    change->setAutoenablesItems(false);
    change->addItem(item("Beam", "toggleBeam:", "Cmd+B"));
    change->addItem(item("Unite", "toggleUnite:", "Cmd+U"));
    change->addItem(item("Convert Note <--> Rest", "convertNoteRest:", "Cmd+R"));
    change->addItem(item("Flip", "doFlip:", "Cmd+F"));
    change->addItem(MenuItem::separatorItem());
    auto accidental = submenu(*change, "Accidental");
    accidental->addItem(item("Up", "accidentalUp:", "Cmd+Up"));
    accidental->addItem(item("Down", "accidentalDown:", "Cmd+Down"));
    auto enharmonic = submenu(*change, "Enharmonic");
    enharmonic->addItem(item("Up", "enharmonicUp:", "Cmd+Shift+Up"));
    enharmonic->addItem(item("Down", "enharmonicDown:", "Cmd+Shift+Down"));
    auto noteHead = submenu(*change, "Note Head");
    noteHead->addItem(item("Normal", "noteHeadNormal:"));
    noteHead->addItem(item("X", "noteHeadX:"));
    noteHead->addItem(item("None", "noteHeadNone:"));
    change->addItem(MenuItem::separatorItem());
    auto transpose = submenu(*change, "Transpose");
    transpose->addItem(item("Octave Up", "transpose:", {}, 12));
    for (int semitones = 6; semitones >= -6; --semitones) {
        const std::string title = semitones > 0 ? "+" + std::to_string(semitones) : std::to_string(semitones);
        transpose->addItem(item(title, "transpose:", {}, semitones));
    }
    transpose->addItem(item("Octave Down", "transpose:", {}, -12));
}

void addViewMenu(Menu& root) {
    auto view = submenu(root, "View");
    view->addItem(item("Grid", "toggleShowGrid:", "Cmd+G"));
    view->addItem(MenuItem::separatorItem());
    view->addItem(item("Chord Input…", "showChordWindow:", "Cmd+K"));
    view->addItem(item("Rhythm Matrix…", "showMatrixWindow:", "Cmd+M"));
    view->addItem(MenuItem::separatorItem());
    view->addItem(item("Notes Palette", "showNotesPalette:", "Cmd+1"));
    view->addItem(item("Symbols Palette", "showSymbolPalette:", "Cmd+2"));
}

void addHelpMenu(Menu& root) {
    auto help = submenu(root, "Help");
    help->addItem(item("Tovrin Help", "showHelpByBrowser:", "F1"));
    help->addItem(item("About Tovrin", "showAboutWindow:"));
}

void setDelegates(Menu& menu, platform::MenuDelegate* delegate) {
    for (const auto& entry : menu.items()) {
        if (const auto& sub = entry->submenu()) {
            if (TOVMainMenu::isDelegatedMenuTitle(sub->title())) {
                sub->setDelegate(delegate);
            }
            setDelegates(*sub, delegate);
        }
    }
}

} // namespace

std::shared_ptr<Menu> TOVMainMenu::makeMainMenu(platform::MenuDelegate* delegate) {
    auto root = std::make_shared<Menu>("Main");
    addFileMenu(*root);
    addEditMenu(*root);
    addEditBarsMenu(*root);
    addLayoutMenu(*root);
    addChangeMenu(*root);
    addViewMenu(*root);
    addHelpMenu(*root);
    setDelegates(*root, delegate);
    return root;
}

platform::MenuItem* TOVMainMenu::fontMenuItem(Menu& mainMenu) {
    Menu* layout = mainMenu.submenuWithTitle(tr("Layout"));
    return layout != nullptr ? layout->itemWithTitle(tr("Font")) : nullptr;
}

bool TOVMainMenu::isDelegatedMenuTitle(const std::string& title) {
    for (std::string_view known : kDelegatedTitles) {
        if (title == known) {
            return true;
        }
    }
    return false;
}
