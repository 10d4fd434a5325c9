#include "notation/TOVNoteGridCell.h"

#include "glyphs/TOVObjectViewOwner.h"
#include "model/TOVUtils.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/View.h"

using platform::Point;
using platform::Rect;

bool TOVNoteGridCell::hitTestInFrame(Point point) const {
    return frame_.x() <= point.x && point.x <= frame_.x() + frame_.width() && frame_.y() <= point.y &&
           point.y <= frame_.y() + frame_.height();
}

void TOVNoteGridCell::drawWithFrameInView(const Rect&, platform::GraphicsContext& ctx) const {
    platform::BezierPath line;
    if (active_) {
        ctx.setStrokeColor(TOVUtils::noteGridTargetColor());
        line.moveTo({frame_.x(), frame_.y()});
        line.lineTo({frame_.x(), frame_.y() + frame_.height()});
    } else {
        // Without its bar view the mark has nowhere to stand but the top of the column's space.
        const TOVObjectViewOwner* owner = barView();
        const double top = owner ? owner->posY5LinesTop() : 0.0;
        ctx.setStrokeColor(TOVUtils::noteGridNormalColor());
        line.moveTo({frame_.x(), top});
        line.lineTo({frame_.x(), top - gridHeight_});
    }
    line.setLineWidth(1.0);
    ctx.strokePath(line);
}

TOVObjectViewOwner* TOVNoteGridCell::barView() const {
    return barViewAlive_.expired() ? nullptr : barView_;
}

void TOVNoteGridCell::setBarView(TOVObjectViewOwner* barView) {
    barView_ = barView;
    platform::View* view = barView ? barView->ownerView() : nullptr;
    barViewAlive_ = view ? view->weak_from_this() : std::weak_ptr<platform::View>();
}
