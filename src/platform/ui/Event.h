#pragma once

#include "platform/foundation/Geometry.h"

#include <string>

namespace platform {

// Modifier keys as the views see them. On Linux "Command" is the Ctrl key (extend a selection with
// Ctrl-click) and "Control" is the Meta key; a view that treats a Control-click as a right click tests
// for ModifierControl on a left mouse-down.
enum ModifierFlag : unsigned {
    ModifierShift = 1u << 0,
    ModifierCommand = 1u << 1,
    ModifierControl = 1u << 2,
};

// One mouse or key event delivered to a view. Mouse locations are in host ("window") coordinates;
// a view converts them with convertPointFromView(location, nullptr).
class Event {
public:
    enum class Type {
        LeftMouseDown,
        LeftMouseDragged,
        LeftMouseUp,
        RightMouseDown,
        RightMouseDragged,
        RightMouseUp,
        // The pointer over tracking areas (View::addTrackingArea), without a click count.
        MouseMoved,
        MouseEntered,
        MouseExited,
        KeyDown,
        KeyUp,
    };

    static Event mouseEvent(Type type, Point locationInWindow, unsigned modifierFlags, int clickCount,
                            double timestamp);
    static Event keyEvent(Type type, int keyCode, std::string characters, unsigned modifierFlags,
                          bool isARepeat, double timestamp);

    Type type() const { return type_; }
    Point locationInWindow() const { return location_; }
    unsigned modifierFlags() const { return modifiers_; }
    bool shiftKey() const { return (modifiers_ & ModifierShift) != 0; }
    bool commandKey() const { return (modifiers_ & ModifierCommand) != 0; }
    bool controlKey() const { return (modifiers_ & ModifierControl) != 0; }
    // 1, 2, 3 ... for the presses of one multi-click; dragged and up events carry the count of their press.
    int clickCount() const { return clickCount_; }
    // Seconds, from an arbitrary start.
    double timestamp() const { return timestamp_; }
    // Key events: the Qt key code and the typed text (UTF-8).
    int keyCode() const { return keyCode_; }
    const std::string& characters() const { return characters_; }
    bool isARepeat() const { return isARepeat_; }

    bool isMouseEvent() const { return type_ != Type::KeyDown && type_ != Type::KeyUp; }

private:
    Type type_ = Type::LeftMouseDown;
    Point location_;
    unsigned modifiers_ = 0;
    int clickCount_ = 0;
    double timestamp_ = 0;
    int keyCode_ = 0;
    std::string characters_;
    bool isARepeat_ = false;
};

} // namespace platform
