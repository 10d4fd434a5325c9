#include "glyphs/TOVMarkView.h"

#include "model/SymbolText.h"
#include "model/TOVUtils.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/GraphicsContext.h"

using platform::Rect;
using platform::Size;

namespace {
// Room around the text inside the frame.
constexpr double kPaddingWidth = 8.0;
constexpr double kPaddingHeight = 2.0;
constexpr platform::Point kTextOrigin{4.0, 0.2};
} // namespace

TOVMarkView::TOVMarkView(const Rect& frame) : TOVMovableView(frame) {}

TOVMarkView::TOVMarkView(const QString& string) : TOVMovableView(Rect()) {
    setTextView(std::make_shared<TOVTextView>());
    const platform::Font font = platform::Font::namedOrUserFont(QStringLiteral("Lucida Grande"), kFontSize);
    platform::TextAttributes attributes;
    attributes.font = platform::TextFont{font.fontName(), kFontSize};
    textView_->textField()->setAttributedStringValue(platform::AttributedString(string, attributes));
    textView_->resize();
    setFrameSize(textView_->frame().size);
    setDefaultViewSize(textView_->frame().size);
}

TOVMarkView::~TOVMarkView() {
    if (textView_) {
        textView_->unbindValue();
        textView_->setTextViewDelegate(nullptr);
    }
}

void TOVMarkView::setTextView(std::shared_ptr<TOVTextView> textView) {
    if (textView_ == textView) {
        return;
    }
    if (textView_) {
        textView_->setTextViewDelegate(nullptr);
        textView_->removeFromSuperview();
    }
    textView_ = std::move(textView);
    if (textView_) {
        textView_->setTextViewDelegate(this);
        addSubview(textView_);
    }
}

std::shared_ptr<TOVObjectView> TOVMarkView::newInstanceWithFrame(const Rect& frame) const {
    return std::make_shared<TOVMarkView>(frame);
}

void TOVMarkView::copyFieldsInto(TOVObjectView& copy) const {
    TOVMovableView::copyFieldsInto(copy);
    if (textView_) {
        static_cast<TOVMarkView&>(copy).setTextView(
            std::static_pointer_cast<TOVTextView>(textView_->clone()));
    }
}

void TOVMarkView::textViewSizeDidChange(TOVTextView* textView) {
    const Size size = textView->frame().size;
    setFrameSize(Size{size.width + kPaddingWidth, size.height + kPaddingHeight});
    textView->setFrameOrigin(kTextOrigin);
}

void TOVMarkView::setSymbol(Symbol* symbol) {
    TOVMovableView::setSymbol(symbol);
    if (textView_) {
        textView_->bindValueToSymbolText(dynamic_cast<SymbolText*>(symbol));
    }
    updateView();
}

void TOVMarkView::updateView() {
    TOVMovableView::updateView();
    if (textView_) {
        textView_->resize();
    }
    setNeedsDisplay();
}

void TOVMarkView::drawRect(const Rect& dirty, platform::GraphicsContext& ctx) {
    TOVMovableView::drawRect(dirty, ctx);
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

platform::AttributedString TOVMarkView::attributedStringValue() const {
    return textView_ ? textView_->textField()->attributedStringValue() : platform::AttributedString();
}
