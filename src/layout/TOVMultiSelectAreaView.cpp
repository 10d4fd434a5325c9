#include "layout/TOVMultiSelectAreaView.h"

#include "model/TOVUtils.h"
#include "platform/graphics/GraphicsContext.h"

#include <algorithm>
#include <cmath>

TOVMultiSelectAreaView::TOVMultiSelectAreaView(platform::Point startPos)
    : platform::View(platform::Rect()), startPos_(startPos) {}

void TOVMultiSelectAreaView::updateFrameToPos(platform::Point point) {
    setFrame(platform::Rect(std::min(startPos_.x, point.x), std::min(startPos_.y, point.y),
                            std::abs(point.x - startPos_.x), std::abs(point.y - startPos_.y)));
}

void TOVMultiSelectAreaView::drawRect(const platform::Rect&, platform::GraphicsContext& ctx) {
    ctx.setFillColor(TOVUtils::multiSelectAreaFillColor());
    ctx.fillRect(bounds());
    // The edge lies inside the band, so the band covers exactly the area that it selects from.
    ctx.setFillColor(TOVUtils::multiSelectAreaFrameColor());
    ctx.frameRect(bounds(), 1.0);
}
