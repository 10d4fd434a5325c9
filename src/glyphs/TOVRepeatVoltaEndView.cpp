#include "glyphs/TOVRepeatVoltaEndView.h"

#include "glyphs/TOVRepeatVoltaView.h"
#include "platform/graphics/GraphicsContext.h"

std::shared_ptr<TOVObjectView>
TOVRepeatVoltaEndView::newInstanceWithFrame(const platform::Rect& frame) const {
    return std::make_shared<TOVRepeatVoltaEndView>(frame);
}

void TOVRepeatVoltaEndView::drawRect(const platform::Rect& dirty, platform::GraphicsContext& ctx) {
    TOVResizableFreeView::drawRect(dirty, ctx);
    const double l = TOVRepeatVoltaView::kBracketInset;
    const double r = bounds().width() - TOVRepeatVoltaView::kBracketInset;
    const double bottom = bounds().height() - TOVRepeatVoltaView::kBracketInset;
    // The line stands where it stands on the opening bracket, at half the height of a text.
    const double m = TOVRepeatVoltaView::bracketFont().sizeOfString(QStringLiteral("A")).height / 2;
    ctx.setStrokeColor(TOVRepeatVoltaView::bracketColor(state()));
    TOVRepeatVoltaView::strokeBracketLine(ctx, {{l, m}, {r, m}, {r, bottom}});
}
