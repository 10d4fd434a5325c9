#pragma once

#include <QKeySequence>

#include <memory>
#include <string>

namespace platform {

class Menu;
class Responder;
class ToolbarItem;

// One item of the menu model. The model is shared by the menu bars of every window; enabled state, check
// mark and title are set by validation just before the item shows or its key equivalent fires, for the
// window that asks.
class MenuItem {
public:
    enum State { OffState = 0, OnState = 1, MixedState = -1 };

    // The key equivalent is written as a key sequence where "Cmd" (or "Command") is the Command modifier,
    // which is the Ctrl key here, and "Ctrl" the Control modifier, the Meta key: "Cmd+Z", "Cmd+Shift+S".
    explicit MenuItem(std::string title = {}, std::string action = {}, std::string keyEquivalent = {},
                      int tag = 0);
    static std::shared_ptr<MenuItem> separatorItem();

    const std::string& title() const { return title_; }
    void setTitle(std::string title) { title_ = std::move(title); }
    const std::string& action() const { return action_; }
    void setAction(std::string action) { action_ = std::move(action); }
    const std::string& keyEquivalent() const { return keyEquivalent_; }
    void setKeyEquivalent(std::string keyEquivalent) { keyEquivalent_ = std::move(keyEquivalent); }
    // The key equivalent as Qt's key sequence (empty when there is none or it cannot be read).
    QKeySequence keySequence() const { return keySequenceFor(keyEquivalent_); }
    static QKeySequence keySequenceFor(const std::string& keyEquivalent);

    int tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }
    int state() const { return state_; }
    void setState(int state) { state_ = state; }
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled) { enabled_ = enabled; }
    bool isSeparatorItem() const { return separator_; }

    // An explicit target; null sends the action along the responder chain.
    Responder* target() const { return target_; }
    void setTarget(Responder* target) { target_ = target; }

    const std::shared_ptr<Menu>& submenu() const { return submenu_; }
    void setSubmenu(std::shared_ptr<Menu> submenu);
    bool hasSubmenu() const { return submenu_ != nullptr; }
    // The menu that holds the item, or null.
    Menu* menu() const { return menu_; }
    // The toolbar item for which this item stands as the sender of the toolbar item's action, or null.
    const ToolbarItem* toolbarItem() const { return toolbarItem_; }
    void setToolbarItem(const ToolbarItem* item) { toolbarItem_ = item; }

private:
    friend class Menu;

    std::string title_;
    std::string action_;
    std::string keyEquivalent_;
    int tag_ = 0;
    int state_ = OffState;
    bool enabled_ = true;
    bool separator_ = false;
    Responder* target_ = nullptr;
    std::shared_ptr<Menu> submenu_;
    Menu* menu_ = nullptr;
    const ToolbarItem* toolbarItem_ = nullptr;
};

} // namespace platform
