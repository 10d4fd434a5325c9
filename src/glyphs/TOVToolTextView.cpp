#include "glyphs/TOVToolTextView.h"

#include "glyphs/TOVObjectController.h"
#include "model/SymbolText.h"
#include "platform/graphics/Font.h"

using platform::Rect;

TOVToolTextView::TOVToolTextView(const Rect& frame) : TOVMovableView(frame) {}

TOVToolTextView::TOVToolTextView(const QString& string) : TOVMovableView(Rect()) {
    setTextView(std::make_shared<TOVTextView>());
    const platform::Font font = platform::Font::namedOrUserFont(QStringLiteral("Lucida Grande"), kFontSize);
    platform::TextAttributes attributes;
    attributes.font = platform::TextFont{font.fontName(), kFontSize};
    textView_->textField()->setAttributedStringValue(platform::AttributedString(string, attributes));
    textView_->resize();
    setFrameSize(textView_->frame().size);
    setDefaultViewSize(textView_->frame().size);
}

TOVToolTextView::~TOVToolTextView() {
    if (textView_) {
        textView_->unbindValue();
        textView_->setTextViewDelegate(nullptr);
    }
}

void TOVToolTextView::setTextView(std::shared_ptr<TOVTextView> textView) {
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

std::shared_ptr<TOVObjectView> TOVToolTextView::newInstanceWithFrame(const Rect& frame) const {
    return std::make_shared<TOVToolTextView>(frame);
}

void TOVToolTextView::copyFieldsInto(TOVObjectView& copy) const {
    TOVMovableView::copyFieldsInto(copy);
    if (textView_) {
        static_cast<TOVToolTextView&>(copy).setTextView(
            std::static_pointer_cast<TOVTextView>(textView_->clone()));
    }
}

void TOVToolTextView::setSymbol(Symbol* symbol) {
    TOVMovableView::setSymbol(symbol);
    if (textView_) {
        textView_->bindValueToSymbolText(dynamic_cast<SymbolText*>(symbol));
    }
    updateView();
}

void TOVToolTextView::updateView() {
    TOVMovableView::updateView();
    if (textView_) {
        textView_->resize();
    }
    if (TOVObjectController* controller = delegate()) {
        const platform::Point origin = controller->toolsViewInquireOrigin(this);
        if (origin != frame().origin) {
            setFrameOrigin(origin);
        }
    }
    setNeedsDisplay();
}

void TOVToolTextView::textViewSizeDidChange(TOVTextView* textView) {
    setFrameSize(textView->frame().size);
}

platform::AttributedString TOVToolTextView::attributedStringValue() const {
    return textView_ ? textView_->textField()->attributedStringValue() : platform::AttributedString();
}
