#include "notation/TOVNotePreview.h"

#include "glyphs/SVGUtils.h"
#include "model/TOVStaffMetrics.h"
#include "model/TOVUtils.h"
#include "platform/graphics/GraphicsContext.h"

#include <cmath>

using platform::BezierPath;
using platform::Rect;

namespace {

// Staff geometry the ledger lines follow: a staff space, half of it, a line's thickness.
constexpr double kLineThickness = 0.2;
// The first level beyond the staff that needs a ledger line (the lines are at -4 .. 4).
constexpr std::int64_t kFirstLedgerLevel = 6;

} // namespace

std::shared_ptr<TOVNotePreview> TOVNotePreview::withFrameSVGFile(const Rect& frame,
                                                                 const std::string& svgFile) {
    auto preview = makeWithFrameSVGFile<TOVNotePreview>(frame, svgFile);
    const double outlineWidth = preview->bezierPath() ? preview->bezierPath()->bounds().width() : 0.0;
    const double width = outlineWidth + 2 * kOffsetX;
    if (preview->frame().width() != width) {
        preview->setFrameSize({width, preview->frame().height()});
        SVGUtils::moveBezierPathXByYBy(preview->bezierPath() ? &*preview->bezierPath() : nullptr, kOffsetX,
                                       0);
    }
    return preview;
}

std::shared_ptr<TOVObjectView> TOVNotePreview::newInstanceWithFrame(const Rect& frame) const {
    return std::make_shared<TOVNotePreview>(frame);
}

void TOVNotePreview::copyFieldsInto(TOVObjectView& copy) const {
    TOVObjectView::copyFieldsInto(copy);
    auto& preview = static_cast<TOVNotePreview&>(copy);
    preview.level_ = level_;
    preview.bezierPathSupplementalLines_ = bezierPathSupplementalLines_;
    preview.x_ = x_;
}

void TOVNotePreview::updateView() {
    if (auto& outline = bezierPath()) {
        const Rect bounds = outline->bounds();
        outline->translate(0, -bounds.y());
        if (level_ < 0) {
            outline->translate(0, frame().height() - bounds.height());
        }
    }
    createSupplementalLine();
    setNeedsDisplay();
}

void TOVNotePreview::createSupplementalLine() {
    std::int64_t count = 0;
    double firstY = 0;
    if (level_ >= kFirstLedgerLevel) {
        count = (level_ - kFirstLedgerLevel) / 2 + 1;
        // A head on a line has its ledger line through its centre, half a space below the frame's top; a
        // head in a space has the nearest line half a space lower.
        firstY = level_ % 2 == 0 ? TOVLevelPitch : TOVStaffSpace;
    } else if (level_ <= -kFirstLedgerLevel) {
        count = (-kFirstLedgerLevel - level_) / 2 + 1;
        // The frame starts at the middle line: the first line below the staff is three spaces down.
        firstY = 3 * TOVStaffSpace;
    }
    if (count == 0) {
        bezierPathSupplementalLines_.reset();
        return;
    }
    BezierPath lines;
    for (std::int64_t i = 0; i < count; ++i) {
        lines.appendRect(
            Rect(0, firstY + static_cast<double>(i) * TOVStaffSpace, frame().width(), kLineThickness));
    }
    bezierPathSupplementalLines_ = std::move(lines);
}

void TOVNotePreview::drawRect(const Rect&, platform::GraphicsContext& ctx) {
    if (bezierPathSupplementalLines_) {
        ctx.setFillColor(platform::Color::black());
        ctx.fillPath(*bezierPathSupplementalLines_);
    }
    ctx.setColor(TOVUtils::notePreviewColor());
    drawBezierPath(ctx);
}
