#include "platform/ui/ToolbarItem.h"

namespace platform {

ToolbarItem::~ToolbarItem() {
    // A view never placed in a toolbar has no parent to let it go.
    if (view_ != nullptr && view_->parent() == nullptr) {
        delete view_.data();
    }
}

} // namespace platform
