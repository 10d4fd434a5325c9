#pragma once

#include <QObject>
#include <QPointer>

#include <map>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QToolBar;
class QWidget;

namespace platform {

class ToolbarItem;
class Window;

// The toolbar of a window: items in order, shown with images, labels or both. Button items send their
// action along the window's responder chain and are validated as menu items are (a toolbar item answers
// to the same validation as the menu item with its action and tag), each time the window is shown or
// becomes active, and when validateVisibleItems is called.
class Toolbar : public QObject {
    Q_OBJECT
public:
    enum class DisplayMode { Default, IconAndLabel, IconOnly, LabelOnly };

    Toolbar(std::string identifier, Window& window);
    ~Toolbar() override;

    const std::string& identifier() const { return identifier_; }
    QToolBar* toolBar() const { return toolBar_; }

    void addItem(std::shared_ptr<ToolbarItem> item);
    void insertItemAtIndex(std::shared_ptr<ToolbarItem> item, int index);
    void removeItemAtIndex(int index);
    const std::vector<std::shared_ptr<ToolbarItem>>& items() const { return items_; }
    ToolbarItem* itemWithIdentifier(const std::string& identifier) const;
    // The widget that shows the item in the bar (its view or its button), or null.
    QWidget* widgetForItem(const ToolbarItem* item) const;

    DisplayMode displayMode() const { return displayMode_; }
    void setDisplayMode(DisplayMode mode);
    bool isVisible() const;
    void setVisible(bool visible);

    void validateVisibleItems();

    // The identifier of the selected item, empty when no selectable item is selected. A click on a
    // selectable item selects it before its action is sent; setting selects without sending. An unknown
    // or unselectable identifier clears the selection.
    const std::string& selectedItemIdentifier() const { return selected_; }
    void setSelectedItemIdentifier(const std::string& identifier);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void rebuild();
    void showSelection();

    std::string identifier_;
    Window& window_;
    QToolBar* toolBar_;
    DisplayMode displayMode_ = DisplayMode::Default;
    std::vector<std::shared_ptr<ToolbarItem>> items_;
    std::map<const ToolbarItem*, QAction*> actions_;
    std::string selected_;
};

} // namespace platform
