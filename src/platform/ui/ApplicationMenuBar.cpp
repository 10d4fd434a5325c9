#include "platform/ui/ApplicationMenuBar.h"

#include "platform/ui/Application.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MenuDelegate.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/Window.h"

#include <QMenu>
#include <QMenuBar>

namespace platform {

ApplicationMenuBar::ApplicationMenuBar(std::shared_ptr<Menu> model, Window& window)
    : QObject(&window), model_(std::move(model)), window_(window), menuBar_(new QMenuBar(&window)) {
    // The bar is part of the window on every platform, so each window has its own.
    menuBar_->setNativeMenuBar(false);
    window.setMenuBar(menuBar_);
    build();
}

ApplicationMenuBar::~ApplicationMenuBar() = default;

QMenu* ApplicationMenuBar::qMenuFor(const Menu* menu) {
    rebuildIfNeeded();
    const auto found = menus_.find(menu);
    return found != menus_.end() ? found->second.second : nullptr;
}

QAction* ApplicationMenuBar::qActionFor(const MenuItem* item) {
    rebuildIfNeeded();
    const auto found = items_.find(item);
    return found != items_.end() ? found->second.second : nullptr;
}

void ApplicationMenuBar::rebuildIfNeeded() {
    if (builtRevision_ != Menu::revision()) {
        build();
    }
}

void ApplicationMenuBar::build() {
    menuBar_->clear();
    for (auto& entry : menus_) {
        entry.second.second->deleteLater();
    }
    menus_.clear();
    items_.clear();
    for (const auto& item : model_->items()) {
        if (!item->submenu()) {
            continue;
        }
        auto* qMenu = new QMenu(QString::fromStdString(item->title()), menuBar_);
        menuBar_->addMenu(qMenu);
        fillMenu(qMenu, item->submenu());
    }
    builtRevision_ = Menu::revision();
}

void ApplicationMenuBar::fillMenu(QMenu* qMenu, const std::shared_ptr<Menu>& menu) {
    menus_[menu.get()] = {menu, qMenu};
    Menu* raw = menu.get();
    connect(qMenu, &QMenu::aboutToShow, this, [this, raw] {
        rebuildIfNeeded();
        if (menus_.count(raw) != 0) {
            updateMenu(*raw, true);
        }
    });
    connect(qMenu, &QMenu::aboutToHide, this, [this, raw] {
        if (menus_.count(raw) != 0 && raw->delegate() != nullptr) {
            raw->delegate()->menuDidClose(*raw);
        }
    });
    for (const auto& item : menu->items()) {
        if (item->isSeparatorItem()) {
            qMenu->addSeparator();
            continue;
        }
        QAction* action = nullptr;
        if (item->submenu()) {
            auto* sub = new QMenu(QString::fromStdString(item->title()), qMenu);
            fillMenu(sub, item->submenu());
            action = qMenu->addMenu(sub);
        } else {
            action = qMenu->addAction(QString::fromStdString(item->title()));
            action->setShortcut(item->keySequence());
            action->setShortcutContext(Qt::WindowShortcut);
            MenuItem* rawItem = item.get();
            connect(action, &QAction::triggered, this, [this, rawItem] {
                if (items_.count(rawItem) == 0) {
                    return;
                }
                // Hold the item: the action may change the menus.
                const std::shared_ptr<MenuItem> held = items_[rawItem].first;
                if (Application* application = Application::shared()) {
                    application->sendAction(held->action(), held.get(), &window_);
                }
            });
        }
        items_[item.get()] = {item, action};
        copyItemToAction(*item, action);
    }
}

void ApplicationMenuBar::copyItemToAction(const MenuItem& item, QAction* action) {
    action->setText(QString::fromStdString(item.title()));
    action->setEnabled(item.isEnabled());
    const bool checked = item.state() != MenuItem::OffState;
    action->setCheckable(checked || action->isCheckable());
    action->setChecked(checked);
}

void ApplicationMenuBar::validateItem(MenuItem& item) {
    if (Application* application = Application::shared()) {
        application->validateMenuItem(item, &window_);
    }
    const auto found = items_.find(&item);
    if (found != items_.end()) {
        copyItemToAction(item, found->second.second);
    }
}

void ApplicationMenuBar::updateMenu(Menu& menu, bool willOpen) {
    if (MenuDelegate* delegate = menu.delegate()) {
        delegate->menuNeedsUpdate(menu);
        if (willOpen) {
            delegate->menuWillOpen(menu);
        }
    }
    rebuildIfNeeded();
    if (menus_.count(&menu) == 0) {
        return;
    }
    // The hooks may have changed the items, so walk a copy.
    const std::vector<std::shared_ptr<MenuItem>> items = menu.items();
    for (const auto& item : items) {
        if (!item->isSeparatorItem()) {
            validateItem(*item);
        }
    }
}

bool ApplicationMenuBar::validateKeyEquivalent(const QKeySequence& keys) {
    rebuildIfNeeded();
    bool enabled = false;
    std::vector<std::shared_ptr<MenuItem>> matches;
    for (const auto& entry : items_) {
        if (!entry.second.first->keySequence().isEmpty() && entry.second.first->keySequence() == keys) {
            matches.push_back(entry.second.first);
        }
    }
    for (const auto& item : matches) {
        if (Menu* menu = item->menu(); menu != nullptr && menu->delegate() != nullptr) {
            menu->delegate()->menuNeedsUpdate(*menu);
        }
        rebuildIfNeeded();
        if (items_.count(item.get()) != 0) {
            validateItem(*item);
            enabled = enabled || item->isEnabled();
        }
    }
    return enabled;
}

} // namespace platform
