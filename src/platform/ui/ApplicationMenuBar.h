#pragma once

#include <QKeySequence>
#include <QObject>

#include <cstdint>
#include <map>
#include <memory>

class QAction;
class QMenu;
class QMenuBar;

namespace platform {

class Menu;
class MenuItem;
class Window;

// The menu bar of one window, built from the shared menu model: each item of the root menu is a menu of
// the bar. Before a menu shows, its delegate's menuNeedsUpdate and menuWillOpen run and every item is
// validated for this window; before a key equivalent fires, the menus that hold it run menuNeedsUpdate
// and the item is validated again. A triggered item sends its action along this window's chain.
class ApplicationMenuBar : public QObject {
    Q_OBJECT
public:
    ApplicationMenuBar(std::shared_ptr<Menu> model, Window& window);
    ~ApplicationMenuBar() override;

    QMenuBar* menuBar() const { return menuBar_; }
    const std::shared_ptr<Menu>& model() const { return model_; }
    // The Qt parts of a model menu or item, or null.
    QMenu* qMenuFor(const Menu* menu);
    QAction* qActionFor(const MenuItem* item);

    // Builds the Qt menus anew when the model changed since they were built.
    void rebuildIfNeeded();
    // Runs the menu's hooks and validates its items for the window.
    void updateMenu(Menu& menu, bool willOpen);
    // Validates the items with this key equivalent; answers whether one of them is enabled.
    bool validateKeyEquivalent(const QKeySequence& keys);

private:
    void build();
    void fillMenu(QMenu* qMenu, const std::shared_ptr<Menu>& menu);
    void copyItemToAction(const MenuItem& item, QAction* action);
    void validateItem(MenuItem& item);

    std::shared_ptr<Menu> model_;
    Window& window_;
    QMenuBar* menuBar_;
    std::uint64_t builtRevision_ = 0;
    std::map<const Menu*, std::pair<std::shared_ptr<Menu>, QMenu*>> menus_;
    std::map<const MenuItem*, std::pair<std::shared_ptr<MenuItem>, QAction*>> items_;
};

} // namespace platform
