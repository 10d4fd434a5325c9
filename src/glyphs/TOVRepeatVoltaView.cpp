#include "glyphs/TOVRepeatVoltaView.h"

#include "glyphs/TOVObjectController.h"
#include "model/SymbolRepeat.h"
#include "model/TOVUtils.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/Event.h"

using platform::Point;

std::shared_ptr<TOVObjectView> TOVRepeatVoltaView::newInstanceWithFrame(const platform::Rect& frame) const {
    return std::make_shared<TOVRepeatVoltaView>(frame);
}

platform::Font TOVRepeatVoltaView::bracketFont() {
    return platform::Font::namedOrUserFont("Lucida Grande", 13.0);
}

platform::Color TOVRepeatVoltaView::bracketColor(int state) {
    switch (state) {
    case 1:
        return TOVUtils::objectSelectedColor();
    case 2:
        return TOVUtils::objectTargetColor();
    default:
        return TOVUtils::objectNormalColor();
    }
}

QString TOVRepeatVoltaView::bracketText(const Symbol* symbol) {
    const auto* repeat = dynamic_cast<const SymbolRepeat*>(symbol);
    return repeat ? repeat->repeatIDString() : QString();
}

void TOVRepeatVoltaView::strokeBracketLine(platform::GraphicsContext& ctx,
                                           std::initializer_list<Point> points) {
    platform::BezierPath line;
    bool first = true;
    for (const Point& p : points) {
        if (first) {
            line.moveTo(p);
            first = false;
        } else {
            line.lineTo(p);
        }
    }
    line.setLineWidth(1.0);
    line.setLineCapStyle(platform::LineCap::Round);
    ctx.strokePath(line);
}

void TOVRepeatVoltaView::mouseDown(const platform::Event& event) {
    if (event.clickCount() == 2 && delegate()) {
        delegate()->repeatVoltaViewDidDoulbleClick(this);
        return;
    }
    TOVResizableFreeView::mouseDown(event);
}

void TOVRepeatVoltaView::drawRect(const platform::Rect& dirty, platform::GraphicsContext& ctx) {
    TOVResizableFreeView::drawRect(dirty, ctx);
    const double w = bounds().width();
    const double h = bounds().height();
    const double l = kBracketInset;
    const double r = w - kBracketInset;
    const double bottom = h - kBracketInset;
    const platform::Font font = bracketFont();
    const platform::Color color = bracketColor(state());
    const QString text = bracketText(symbol());
    const double m = font.sizeOfString(text.isEmpty() ? QStringLiteral("A") : text).height / 2;
    ctx.setStrokeColor(color);
    if (text.isEmpty()) {
        strokeBracketLine(ctx, {{l, bottom}, {l, m}, {r, m}});
        return;
    }
    // The line breaks around the text, which starts at 32.0 and leaves 4.0 on either side.
    const double textX = 32.0;
    const double tw = font.widthOfString(text);
    strokeBracketLine(ctx, {{l, bottom}, {l, m}, {textX - 4.0, m}});
    strokeBracketLine(ctx, {{textX + tw + 4.0, m}, {r, m}});
    ctx.drawText(text, font, {textX, 0}, color);
}
