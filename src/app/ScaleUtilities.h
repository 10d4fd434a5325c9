#pragma once

#include "platform/foundation/Geometry.h"

namespace platform {
class View;
}

// The zoom of a view: how large its unit square is in window coordinates, and setting that anew. Used by
// the document window to zoom the editor view.
namespace ScaleUtilities {

// The size that the unit size (1, 1) of the view has in window coordinates.
platform::Size scale(const platform::View& view);
// Undoes every earlier scaling of the view: scales its unit square back to the window's and shrinks or
// grows its frame by the same factors. Does not ask for redisplay.
void resetScaling(platform::View& view);
// resetScaling, then scales the unit square by s and the frame size by s; marks the view for redisplay.
void setScale(platform::View& view, platform::Size s);

} // namespace ScaleUtilities
