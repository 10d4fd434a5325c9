#include "app/ScaleUtilities.h"

#include "platform/ui/View.h"

namespace ScaleUtilities {

platform::Size scale(const platform::View& view) {
    return view.convertSizeToView(platform::Size{1.0, 1.0}, nullptr);
}

void resetScaling(platform::View& view) {
    const platform::Size s = view.convertSizeFromView(platform::Size{1.0, 1.0}, nullptr);
    view.scaleUnitSquareToSize(s);
    const platform::Rect frame = view.frame();
    view.setFrameSize(platform::Size{s.width * frame.size.width, s.height * frame.size.height});
}

void setScale(platform::View& view, platform::Size s) {
    resetScaling(view);
    view.scaleUnitSquareToSize(s);
    const platform::Rect frame = view.frame();
    view.setFrameSize(platform::Size{frame.size.width * s.width, frame.size.height * s.height});
    view.setNeedsDisplay();
}

} // namespace ScaleUtilities
