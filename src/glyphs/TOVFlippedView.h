#pragma once

#include "platform/ui/View.h"

// The root of every view of the score. Every platform view is already flipped (y grows downward); the
// class names the root of the score's own hierarchy.
class TOVFlippedView : public platform::View {
public:
    using platform::View::View;
};
