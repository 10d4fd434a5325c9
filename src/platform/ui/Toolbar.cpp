#include "platform/ui/Toolbar.h"

#include "platform/ui/Application.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/ToolbarItem.h"
#include "platform/ui/Window.h"

#include <QAction>
#include <QEvent>
#include <QToolBar>

#include <algorithm>

namespace platform {

Toolbar::Toolbar(std::string identifier, Window& window)
    : QObject(&window), identifier_(std::move(identifier)), window_(window), toolBar_(new QToolBar(&window)) {
    toolBar_->setObjectName(QString::fromStdString(identifier_));
    toolBar_->setMovable(false);
    toolBar_->setFloatable(false);
    window.addToolBar(Qt::TopToolBarArea, toolBar_);
    window.installEventFilter(this);
}

Toolbar::~Toolbar() {
    window_.removeEventFilter(this);
}

void Toolbar::addItem(std::shared_ptr<ToolbarItem> item) {
    insertItemAtIndex(std::move(item), static_cast<int>(items_.size()));
}

void Toolbar::insertItemAtIndex(std::shared_ptr<ToolbarItem> item, int index) {
    if (!item) {
        return;
    }
    index = std::clamp(index, 0, static_cast<int>(items_.size()));
    items_.insert(items_.begin() + index, std::move(item));
    rebuild();
}

void Toolbar::removeItemAtIndex(int index) {
    if (index < 0 || index >= static_cast<int>(items_.size())) {
        return;
    }
    std::shared_ptr<ToolbarItem> item = items_[static_cast<std::size_t>(index)];
    items_.erase(items_.begin() + index);
    if (itemWithIdentifier(selected_) == nullptr) {
        selected_.clear();
    }
    // A view goes with its item, not with the bar.
    if (QWidget* view = item->view()) {
        view->hide();
        view->setParent(nullptr);
    }
    rebuild();
}

ToolbarItem* Toolbar::itemWithIdentifier(const std::string& identifier) const {
    for (const auto& item : items_) {
        if (item->itemIdentifier() == identifier) {
            return item.get();
        }
    }
    return nullptr;
}

QWidget* Toolbar::widgetForItem(const ToolbarItem* item) const {
    const auto found = actions_.find(item);
    return found != actions_.end() ? toolBar_->widgetForAction(found->second) : nullptr;
}

void Toolbar::setDisplayMode(DisplayMode mode) {
    displayMode_ = mode;
    switch (mode) {
    case DisplayMode::Default:
    case DisplayMode::IconAndLabel:
        toolBar_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        break;
    case DisplayMode::IconOnly:
        toolBar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
        break;
    case DisplayMode::LabelOnly:
        toolBar_->setToolButtonStyle(Qt::ToolButtonTextOnly);
        break;
    }
}

bool Toolbar::isVisible() const {
    return !toolBar_->isHidden();
}

void Toolbar::setVisible(bool visible) {
    toolBar_->setVisible(visible);
    if (visible) {
        validateVisibleItems();
    }
}

void Toolbar::rebuild() {
    // Views stay alive while the bar is rebuilt.
    for (const auto& item : items_) {
        if (QWidget* view = item->view()) {
            view->setParent(nullptr);
        }
    }
    toolBar_->clear();
    actions_.clear();
    for (const auto& item : items_) {
        QAction* action = nullptr;
        if (QWidget* view = item->view()) {
            action = toolBar_->addWidget(view);
            // The bar takes the view's hidden state (set when the previous build released it) as the
            // new action's visibility; the item is meant to show.
            action->setVisible(true);
            view->show();
        } else {
            action = toolBar_->addAction(item->image(), QString::fromStdString(item->label()));
            action->setToolTip(QString::fromStdString(item->toolTip()));
            action->setCheckable(item->isSelectable());
            ToolbarItem* raw = item.get();
            connect(action, &QAction::triggered, this, [this, raw] {
                const auto held = std::find_if(items_.begin(), items_.end(),
                                               [raw](const auto& each) { return each.get() == raw; });
                if (held == items_.end()) {
                    return;
                }
                const std::shared_ptr<ToolbarItem> keep = *held;
                if (keep->isSelectable()) {
                    selected_ = keep->itemIdentifier();
                }
                // A click on the selected item leaves it selected.
                showSelection();
                if (keep->action().empty()) {
                    return;
                }
                MenuItem sender(keep->label(), keep->action(), {}, keep->tag());
                sender.setTarget(keep->target());
                sender.setToolbarItem(keep.get());
                if (Application* application = Application::shared()) {
                    application->sendAction(keep->action(), &sender, &window_);
                }
            });
        }
        actions_[item.get()] = action;
    }
    setDisplayMode(displayMode_);
    showSelection();
    validateVisibleItems();
}

void Toolbar::setSelectedItemIdentifier(const std::string& identifier) {
    const ToolbarItem* item = itemWithIdentifier(identifier);
    selected_ = item != nullptr && item->isSelectable() ? identifier : std::string();
    showSelection();
}

void Toolbar::showSelection() {
    for (const auto& [item, action] : actions_) {
        if (action->isCheckable()) {
            action->setChecked(item->itemIdentifier() == selected_);
        }
    }
}

void Toolbar::validateVisibleItems() {
    Application* application = Application::shared();
    for (const auto& item : items_) {
        if (item->view() != nullptr || item->action().empty()) {
            continue;
        }
        if (application != nullptr) {
            MenuItem probe(item->label(), item->action(), {}, item->tag());
            probe.setTarget(item->target());
            item->setEnabled(application->validateMenuItem(probe, &window_));
        }
        actions_[item.get()]->setEnabled(item->isEnabled());
    }
}

bool Toolbar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &window_ && (event->type() == QEvent::Show || event->type() == QEvent::WindowActivate)) {
        validateVisibleItems();
    }
    return QObject::eventFilter(watched, event);
}

} // namespace platform
