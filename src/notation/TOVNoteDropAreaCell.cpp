#include "notation/TOVNoteDropAreaCell.h"

#include "glyphs/TOVObjectViewOwner.h"
#include "model/TOVUtils.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/View.h"

using platform::Point;
using platform::Rect;

bool TOVNoteDropAreaCell::hitTestInFrame(Point point) const {
    return frame_.x() <= point.x && point.x <= frame_.x() + frame_.width();
}

void TOVNoteDropAreaCell::drawWithFrameInView(const Rect& frame, platform::GraphicsContext& ctx) const {
    ctx.setFillColor(TOVUtils::noteDropAreaFillColor());
    ctx.fillRect(frame);
    if (active_) {
        ctx.setFillColor(TOVUtils::noteDropAreaFrameColor());
        ctx.frameRect(frame, 1.0);
    }
}

TOVObjectViewOwner* TOVNoteDropAreaCell::barView() const {
    return barViewAlive_.expired() ? nullptr : barView_;
}

void TOVNoteDropAreaCell::setBarView(TOVObjectViewOwner* barView) {
    barView_ = barView;
    platform::View* view = barView ? barView->ownerView() : nullptr;
    barViewAlive_ = view ? view->weak_from_this() : std::weak_ptr<platform::View>();
}
