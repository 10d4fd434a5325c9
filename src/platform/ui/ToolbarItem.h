#pragma once

#include <QIcon>
#include <QPointer>
#include <QWidget>

#include <string>

namespace platform {

class Responder;

// An item of a toolbar: a button with an image and a label that sends an action (validated like a menu
// item before the toolbar is shown and after every event that may change the answer), or a view of
// the program's own.
class ToolbarItem {
public:
    explicit ToolbarItem(std::string identifier) : identifier_(std::move(identifier)) {}
    ~ToolbarItem();
    ToolbarItem(const ToolbarItem&) = delete;
    ToolbarItem& operator=(const ToolbarItem&) = delete;

    const std::string& itemIdentifier() const { return identifier_; }
    const std::string& label() const { return label_; }
    void setLabel(std::string label) { label_ = std::move(label); }
    const std::string& toolTip() const { return toolTip_; }
    void setToolTip(std::string toolTip) { toolTip_ = std::move(toolTip); }
    const QIcon& image() const { return image_; }
    void setImage(QIcon image) { image_ = std::move(image); }
    const std::string& action() const { return action_; }
    void setAction(std::string action) { action_ = std::move(action); }
    int tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }
    Responder* target() const { return target_; }
    void setTarget(Responder* target) { target_ = target; }
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled) { enabled_ = enabled; }
    // A selectable item stays shown as selected after its click, until another selectable item of the
    // bar is chosen: the bar has at most one selected item.
    bool isSelectable() const { return selectable_; }
    void setSelectable(bool selectable) { selectable_ = selectable; }

    // A view of the program's own in place of the button; the toolbar takes it over.
    QWidget* view() const { return view_; }
    void setView(QWidget* view) { view_ = view; }

private:
    std::string identifier_;
    std::string label_;
    std::string toolTip_;
    QIcon image_;
    std::string action_;
    int tag_ = 0;
    Responder* target_ = nullptr;
    bool enabled_ = true;
    bool selectable_ = false;
    QPointer<QWidget> view_;
};

} // namespace platform
