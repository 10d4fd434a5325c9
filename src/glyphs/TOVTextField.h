#pragma once

#include "platform/ui/TextField.h"

// The text field of a text view: shown, not editable, until the text view starts editing it; while it
// is edited it holds the keyboard focus and the font panel applies to its text.
class TOVTextField : public platform::TextField {
public:
    // What an empty field adds to its measured text, so that the cursor fits after the last character.
    static constexpr double kWidthMargin = 5.0;

    explicit TOVTextField(const platform::Rect& frame = platform::Rect());

    // Editable and enabled, edited in place with the font panel in front, and the window's first
    // responder.
    void startEdit();
    // Not editable nor enabled; editing ends, the font panel goes and the field gives up the keyboard.
    void endEdit();
    // Sizes the field to its text, measured in the attributes of its first character: the text's width
    // + 5.0 by its height; an empty text keeps the height at width 0.
    void resize();

    // Like the other views of the score, a click into an inactive window reaches the text at once.
    bool acceptsFirstMouse(const platform::Event&) override { return true; }
};
