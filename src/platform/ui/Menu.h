#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

class MenuDelegate;
class MenuItem;

// A menu of the model: a title, items in order (an item may hold a submenu) and a delegate. The menu bar
// of each window is built from one such model (ApplicationMenuBar); changes to the model reach every bar.
class Menu {
public:
    explicit Menu(std::string title = {});
    ~Menu();
    Menu(const Menu&) = delete;
    Menu& operator=(const Menu&) = delete;

    const std::string& title() const { return title_; }
    void setTitle(std::string title);

    const std::vector<std::shared_ptr<MenuItem>>& items() const { return items_; }
    int numberOfItems() const { return static_cast<int>(items_.size()); }
    void addItem(std::shared_ptr<MenuItem> item);
    void insertItemAtIndex(std::shared_ptr<MenuItem> item, int index);
    void removeItem(const MenuItem* item);
    void removeAllItems();
    // Adds an item with a new submenu of the same title and answers the submenu.
    std::shared_ptr<Menu> addSubmenu(const std::string& title);
    MenuItem* itemWithTitle(const std::string& title) const;
    MenuItem* itemWithTag(int tag) const;
    // The first menu of the tree (this one included) with the title, or null.
    Menu* submenuWithTitle(const std::string& title);
    int indexOfItem(const MenuItem* item) const;

    // Whether validation sets the enabled state of the items (the default); otherwise they keep theirs.
    bool autoenablesItems() const { return autoenables_; }
    void setAutoenablesItems(bool autoenables) { autoenables_ = autoenables; }

    MenuDelegate* delegate() const { return delegate_; }
    void setDelegate(MenuDelegate* delegate) { delegate_ = delegate; }

    // A number that grows with every change of the structure of any menu, so that built bars know when
    // to build again.
    static std::uint64_t revision();
    static void touch();

private:
    std::string title_;
    std::vector<std::shared_ptr<MenuItem>> items_;
    bool autoenables_ = true;
    MenuDelegate* delegate_ = nullptr;
};

} // namespace platform
