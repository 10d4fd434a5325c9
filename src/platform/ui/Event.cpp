#include "platform/ui/Event.h"

#include <utility>

namespace platform {

Event Event::mouseEvent(Type type, Point locationInWindow, unsigned modifierFlags, int clickCount,
                        double timestamp) {
    Event e;
    e.type_ = type;
    e.location_ = locationInWindow;
    e.modifiers_ = modifierFlags;
    e.clickCount_ = clickCount;
    e.timestamp_ = timestamp;
    return e;
}

Event Event::keyEvent(Type type, int keyCode, std::string characters, unsigned modifierFlags, bool isARepeat,
                      double timestamp) {
    Event e;
    e.type_ = type;
    e.keyCode_ = keyCode;
    e.characters_ = std::move(characters);
    e.modifiers_ = modifierFlags;
    e.isARepeat_ = isARepeat;
    e.timestamp_ = timestamp;
    return e;
}

} // namespace platform
