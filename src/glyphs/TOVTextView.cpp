#include "glyphs/TOVTextView.h"

#include "model/SymbolText.h"
#include "platform/graphics/GraphicsContext.h"

using platform::Rect;

TOVTextView::TOVTextView(const Rect& frame) : TOVObjectView(frame) {
    textField_ = std::make_shared<TOVTextField>();
    textField_->setDelegate(this);
    addSubview(textField_);
}

TOVTextView::~TOVTextView() {
    unbindValue();
    textField_->setDelegate(nullptr);
}

std::shared_ptr<TOVObjectView> TOVTextView::newInstanceWithFrame(const Rect& frame) const {
    return std::make_shared<TOVTextView>(frame);
}

void TOVTextView::copyFieldsInto(TOVObjectView& copy) const {
    TOVObjectView::copyFieldsInto(copy);
    auto& textCopy = static_cast<TOVTextView&>(copy);
    textCopy.textField_->setAttributedStringValue(textField_->attributedStringValue());
    textCopy.resize();
}

void TOVTextView::setEditing(bool editing) {
    if (editing == editing_) {
        return;
    }
    editing_ = editing;
    if (editing) {
        textField_->startEdit();
        resize();
        setNeedsDisplay();
    } else {
        textField_->endEdit();
        resize();
    }
}

void TOVTextView::resize() {
    textField_->resize();
    setFrameSize(textField_->bounds().size);
    if (textViewDelegate_) {
        textViewDelegate_->textViewSizeDidChange(this);
    }
}

void TOVTextView::mouseDown(const platform::Event& event) {
    if (event.clickCount() == 2) {
        setEditing(true);
        return;
    }
    if (platform::View* holder = superview()) {
        holder->mouseDown(event);
    }
}

void TOVTextView::drawRect(const Rect& dirty, platform::GraphicsContext& ctx) {
    TOVObjectView::drawRect(dirty, ctx);
    if (editing_) {
        ctx.setColor(platform::Color{0, 0, 0, 1});
        ctx.frameRect(bounds(), 1.0);
    }
}

void TOVTextView::controlTextDidChange(platform::TextField&) {
    resize();
}

void TOVTextView::controlTextDidEndEditing(platform::TextField&) {
    resize();
    setEditing(false);
    if (boundSymbol_) {
        const platform::AttributedString& typed = textField_->attributedStringValue();
        if (boundSymbol_->text() != typed) {
            writingToSymbol_ = true;
            boundSymbol_->setText(typed);
            writingToSymbol_ = false;
        }
    }
    setNeedsDisplay();
}

void TOVTextView::showSymbolText() {
    if (!boundSymbol_ || writingToSymbol_) {
        return;
    }
    textField_->setAttributedStringValue(
        boundSymbol_->text().value_or(textWithoutSymbolText_.value_or(platform::AttributedString())));
}

void TOVTextView::bindValueToSymbolText(SymbolText* symbol) {
    unbindValue();
    if (!symbol) {
        return;
    }
    boundSymbol_ = symbol;
    textObservation_ = symbol->addObserver("text", [this](const platform::Change&) {
        showSymbolText();
        resize();
    });
    showSymbolText();
}

void TOVTextView::unbindValue() {
    if (boundSymbol_ && textObservation_) {
        boundSymbol_->removeObserver(textObservation_);
    }
    textObservation_ = {};
    boundSymbol_ = nullptr;
}
