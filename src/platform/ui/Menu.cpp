#include "platform/ui/Menu.h"

#include "platform/ui/MenuItem.h"

#include <algorithm>

namespace platform {

namespace {
std::uint64_t menuRevision = 1;
} // namespace

Menu::Menu(std::string title) : title_(std::move(title)) {}

Menu::~Menu() {
    for (const auto& item : items_) {
        item->menu_ = nullptr;
    }
}

void Menu::setTitle(std::string title) {
    title_ = std::move(title);
    touch();
}

void Menu::addItem(std::shared_ptr<MenuItem> item) {
    insertItemAtIndex(std::move(item), numberOfItems());
}

void Menu::insertItemAtIndex(std::shared_ptr<MenuItem> item, int index) {
    if (!item) {
        return;
    }
    if (item->menu_ != nullptr) {
        item->menu_->removeItem(item.get());
    }
    index = std::clamp(index, 0, numberOfItems());
    item->menu_ = this;
    items_.insert(items_.begin() + index, std::move(item));
    touch();
}

void Menu::removeItem(const MenuItem* item) {
    const auto found =
        std::find_if(items_.begin(), items_.end(), [item](const auto& each) { return each.get() == item; });
    if (found != items_.end()) {
        (*found)->menu_ = nullptr;
        items_.erase(found);
        touch();
    }
}

void Menu::removeAllItems() {
    for (const auto& item : items_) {
        item->menu_ = nullptr;
    }
    items_.clear();
    touch();
}

std::shared_ptr<Menu> Menu::addSubmenu(const std::string& title) {
    auto submenu = std::make_shared<Menu>(title);
    auto item = std::make_shared<MenuItem>(title);
    item->setSubmenu(submenu);
    addItem(item);
    return submenu;
}

MenuItem* Menu::itemWithTitle(const std::string& title) const {
    for (const auto& item : items_) {
        if (item->title() == title) {
            return item.get();
        }
    }
    return nullptr;
}

MenuItem* Menu::itemWithTag(int tag) const {
    for (const auto& item : items_) {
        if (!item->isSeparatorItem() && item->tag() == tag) {
            return item.get();
        }
    }
    return nullptr;
}

Menu* Menu::submenuWithTitle(const std::string& title) {
    if (title_ == title) {
        return this;
    }
    for (const auto& item : items_) {
        if (item->submenu()) {
            if (Menu* found = item->submenu()->submenuWithTitle(title)) {
                return found;
            }
        }
    }
    return nullptr;
}

int Menu::indexOfItem(const MenuItem* item) const {
    for (int i = 0; i < numberOfItems(); ++i) {
        if (items_[static_cast<std::size_t>(i)].get() == item) {
            return i;
        }
    }
    return -1;
}

std::uint64_t Menu::revision() {
    return menuRevision;
}

void Menu::touch() {
    ++menuRevision;
}

} // namespace platform
