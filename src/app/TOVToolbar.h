#pragma once

#include "platform/ui/Toolbar.h"

class TOVToolbar;

// Told when the toolbar's display mode changes.
class TOVToolbarDelegate {
public:
    virtual ~TOVToolbarDelegate() = default;
    virtual void toolbarDidChangeDisplayMode(TOVToolbar* toolbar, platform::Toolbar::DisplayMode mode) = 0;
};

// The document window's toolbar: tells its delegate after each change of the display mode.
class TOVToolbar : public platform::Toolbar {
    Q_OBJECT
public:
    using platform::Toolbar::Toolbar;

    // Lets the toolbar change its mode first, then tells the delegate (when there is one).
    void setDisplayMode(DisplayMode mode);

    // Not owned.
    TOVToolbarDelegate* toolbarDelegate() const { return toolbarDelegate_; }
    void setToolbarDelegate(TOVToolbarDelegate* delegate) { toolbarDelegate_ = delegate; }

private:
    TOVToolbarDelegate* toolbarDelegate_ = nullptr;
};
