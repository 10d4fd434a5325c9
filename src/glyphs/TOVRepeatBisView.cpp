#include "glyphs/TOVRepeatBisView.h"

#include "glyphs/TOVRepeatVoltaView.h"
#include "platform/graphics/GraphicsContext.h"

std::shared_ptr<TOVObjectView> TOVRepeatBisView::newInstanceWithFrame(const platform::Rect& frame) const {
    return std::make_shared<TOVRepeatBisView>(frame);
}

double TOVRepeatBisView::centredTextX(double viewWidth, double textWidth) {
    const double inset = TOVRepeatVoltaView::kBracketInset;
    return inset + ((viewWidth - inset) - inset - textWidth) / 2;
}

void TOVRepeatBisView::drawRect(const platform::Rect& dirty, platform::GraphicsContext& ctx) {
    TOVResizableFreeView::drawRect(dirty, ctx);
    const double w = bounds().width();
    const double l = TOVRepeatVoltaView::kBracketInset;
    const double r = w - TOVRepeatVoltaView::kBracketInset;
    const double bottom = bounds().height() - TOVRepeatVoltaView::kBracketInset;
    const platform::Font font = TOVRepeatVoltaView::bracketFont();
    const platform::Color color = TOVRepeatVoltaView::bracketColor(state());
    const QString text = QStringLiteral("bis");
    const platform::Size size = font.sizeOfString(text);
    const double m = size.height / 2;
    const double x0 = centredTextX(w, size.width);
    ctx.setStrokeColor(color);
    TOVRepeatVoltaView::strokeBracketLine(ctx, {{l, bottom}, {l, m}, {x0 - 4.0, m}});
    TOVRepeatVoltaView::strokeBracketLine(ctx, {{x0 + size.width + 4.0, m}, {r, m}});
    ctx.drawText(text, font, {x0, 0}, color);
}
