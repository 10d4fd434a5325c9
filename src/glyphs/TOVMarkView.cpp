#include "glyphs/TOVMarkView.h"

#include "model/TOVUtils.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/GraphicsContext.h"

using platform::Rect;
using platform::Size;

namespace {
// Room around the text inside the frame.
constexpr double kPaddingWidth = 8.0;
constexpr double kPaddingHeight = 2.0;
constexpr platform::Point kTextOrigin{4.0, 0.2};
} // namespace

TOVMarkView::TOVMarkView(const Rect& frame) : TOVTextHostView(frame) {}

TOVMarkView::TOVMarkView(const QString& string) : TOVTextHostView(Rect()) {
    makeTextView(string, kFontSize);
}

std::shared_ptr<TOVObjectView> TOVMarkView::newInstanceWithFrame(const Rect& frame) const {
    return std::make_shared<TOVMarkView>(frame);
}

void TOVMarkView::setSymbol(Symbol* symbol) {
    if (TOVTextView* text = textView(); text != nullptr && text->boundObject() == nullptr) {
        text->setTextWithoutSymbolText(attributedStringValue());
    }
    TOVTextHostView::setSymbol(symbol);
}

void TOVMarkView::textViewSizeDidChange(TOVTextView* textView) {
    const Size size = textView->frame().size;
    setFrameSize(Size{size.width + kPaddingWidth, size.height + kPaddingHeight});
    textView->setFrameOrigin(kTextOrigin);
}

void TOVMarkView::drawRect(const Rect& dirty, platform::GraphicsContext& ctx) {
    TOVTextHostView::drawRect(dirty, ctx);
    if (state() != 0 && state() != 1) {
        return;
    }
    const Size size = bounds().size;
    const double inset = kFrameLineWidth / 2;
    platform::BezierPath frameLine =
        platform::BezierPath::withRect(Rect(inset, inset, size.width - 2 * inset, size.height - 2 * inset));
    frameLine.setLineWidth(kFrameLineWidth);
    ctx.setColor(state() == 1 ? TOVUtils::objectSelectedColor() : TOVUtils::objectNormalColor());
    ctx.strokePath(frameLine);
}
