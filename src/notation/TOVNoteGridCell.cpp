#include "notation/TOVNoteGridCell.h"

#include "model/TOVUtils.h"
#include "notation/TOVNoteViewDelegate.h"
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
        // The top line lies two staff spaces above the middle one.
        TOVNoteViewDelegate* owner = barView();
        const double top = owner ? owner->noteViewInquirePosYLevel0(nullptr) -
                                       2.0 * owner->noteViewInquire5LinesPitch(nullptr)
                                 : 0.0;
        ctx.setStrokeColor(TOVUtils::noteGridNormalColor());
        line.moveTo({frame_.x(), top});
        line.lineTo({frame_.x(), top - gridHeight_});
    }
    line.setLineWidth(1.0);
    ctx.strokePath(line);
}

TOVNoteViewDelegate* TOVNoteGridCell::barView() const {
    return barViewAlive_.expired() ? nullptr : barView_;
}

void TOVNoteGridCell::setBarView(TOVNoteViewDelegate* barView) {
    barView_ = barView;
    // The delegate is a view as well: its lifetime is watched through that side.
    auto* view = dynamic_cast<platform::View*>(barView);
    barViewAlive_ = view ? view->weak_from_this() : std::weak_ptr<platform::View>();
}
