#include "glyphs/TOVTextHostView.h"

#include "model/SymbolText.h"
#include "platform/graphics/Font.h"

TOVTextHostView::TOVTextHostView(const platform::Rect& frame) : TOVMovableView(frame) {}

TOVTextHostView::~TOVTextHostView() {
    if (textView_) {
        textView_->unbindValue();
        textView_->setTextViewDelegate(nullptr);
    }
}

void TOVTextHostView::makeTextView(const QString& string, double fontSize) {
    setTextView(std::make_shared<TOVTextView>());
    const platform::Font font = platform::Font::namedOrUserFont(QStringLiteral("Lucida Grande"), fontSize);
    platform::TextAttributes attributes;
    attributes.font = platform::TextFont{font.fontName(), fontSize};
    textView_->textField()->setAttributedStringValue(platform::AttributedString(string, attributes));
    textView_->resize();
    setFrameSize(textView_->frame().size);
    setDefaultViewSize(textView_->frame().size);
}

void TOVTextHostView::setTextView(std::shared_ptr<TOVTextView> textView) {
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

void TOVTextHostView::copyFieldsInto(TOVObjectView& copy) const {
    TOVMovableView::copyFieldsInto(copy);
    if (textView_) {
        static_cast<TOVTextHostView&>(copy).setTextView(
            std::static_pointer_cast<TOVTextView>(textView_->clone()));
    }
}

void TOVTextHostView::setSymbol(Symbol* symbol) {
    TOVMovableView::setSymbol(symbol);
    if (textView_) {
        textView_->bindValueToSymbolText(dynamic_cast<SymbolText*>(symbol));
    }
    updateView();
}

void TOVTextHostView::updateView() {
    TOVMovableView::updateView();
    if (textView_) {
        textView_->resize();
    }
    setNeedsDisplay();
}

platform::AttributedString TOVTextHostView::attributedStringValue() const {
    return textView_ ? textView_->textField()->attributedStringValue() : platform::AttributedString();
}
