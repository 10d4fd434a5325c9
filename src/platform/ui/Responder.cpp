#include "platform/ui/Responder.h"

namespace platform {

bool Responder::respondsToAction(const std::string& action) const {
    return handlers_.find(action) != handlers_.end();
}

void Responder::performAction(const std::string& action, MenuItem* sender) {
    const auto found = handlers_.find(action);
    if (found != handlers_.end() && found->second) {
        // A copy: the handler may replace itself.
        const ActionHandler handler = found->second;
        handler(sender);
    }
}

void Responder::addActionHandler(const std::string& action, ActionHandler handler) {
    handlers_[action] = std::move(handler);
}

void Responder::removeActionHandler(const std::string& action) {
    handlers_.erase(action);
}

} // namespace platform
