#include "app/TOVToolbar.h"

void TOVToolbar::setDisplayMode(DisplayMode mode) {
    platform::Toolbar::setDisplayMode(mode);
    if (toolbarDelegate_ != nullptr) {
        toolbarDelegate_->toolbarDidChangeDisplayMode(this, mode);
    }
}
