#pragma once

#include "platform/foundation/Color.h"

class TOVObjectView;

// What the drawing-tool views share: where the editor puts them and the colour of their figure.
namespace TOVToolViewPlacement {

// Turns the view's frame to the symbol's angle when they differ.
void rotateToSymbolAngle(TOVObjectView& view);
// Moves the view to the origin its delegate answers for it, when that differs; nothing without one.
void moveToOriginFromDelegate(TOVObjectView& view);
// The selected colour in state 1, the normal colour in every other state.
platform::Color figureColorForState(int state);

} // namespace TOVToolViewPlacement
