#include "glyphs/TOVRepeatBisEndView.h"

#include "glyphs/TOVObjectController.h"
#include "glyphs/TOVRepeatBisView.h"
#include "glyphs/TOVRepeatVoltaView.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/Event.h"

std::shared_ptr<TOVObjectView> TOVRepeatBisEndView::newInstanceWithFrame(const platform::Rect& frame) const {
    return std::make_shared<TOVRepeatBisEndView>(frame);
}

void TOVRepeatBisEndView::mouseDown(const platform::Event& event) {
    if (event.clickCount() == 2 && delegate()) {
        delegate()->repeatVoltaViewDidDoulbleClick(this);
        return;
    }
    TOVResizableFreeView::mouseDown(event);
}

void TOVRepeatBisEndView::drawRect(const platform::Rect& dirty, platform::GraphicsContext& ctx) {
    TOVResizableFreeView::drawRect(dirty, ctx);
    const double w = bounds().width();
    const double l = TOVRepeatVoltaView::kBracketInset;
    const double r = w - TOVRepeatVoltaView::kBracketInset;
    const double bottom = bounds().height() - TOVRepeatVoltaView::kBracketInset;
    const platform::Font font = TOVRepeatVoltaView::bracketFont();
    const platform::Color color = TOVRepeatVoltaView::bracketColor(state());
    const QString text = TOVRepeatVoltaView::bracketText(symbol());
    const double m = font.sizeOfString(text.isEmpty() ? QStringLiteral("A") : text).height / 2;
    ctx.setStrokeColor(color);
    if (text.isEmpty()) {
        TOVRepeatVoltaView::strokeBracketLine(ctx, {{l, m}, {r, m}, {r, bottom}});
        return;
    }
    const double tw = font.widthOfString(text);
    const double x0 = TOVRepeatBisView::centredTextX(w, tw);
    TOVRepeatVoltaView::strokeBracketLine(ctx, {{l, m}, {x0 - 4.0, m}});
    TOVRepeatVoltaView::strokeBracketLine(ctx, {{x0 + tw + 4.0, m}, {r, m}, {r, bottom}});
    ctx.drawText(text, font, {x0, 0}, color);
}
