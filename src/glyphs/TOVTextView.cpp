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
    if (boundObject_ && writeValue_) {
        // A copy: writing reports the change, and an observer may give the field another text.
        const platform::AttributedString typed = textField_->attributedStringValue();
        if (!readValue_ || readValue_() != typed) {
            writingValue_ = true;
            writeValue_(typed);
            writingValue_ = false;
        }
    }
    setNeedsDisplay();
}

void TOVTextView::showBoundValue() {
    if (!boundObject_ || !readValue_ || writingValue_) {
        return;
    }
    textField_->setAttributedStringValue(
        readValue_().value_or(textWithoutSymbolText_.value_or(platform::AttributedString())));
}

void TOVTextView::bindValue(platform::ManagedObject* object, std::string_view key, ValueReader read,
                            ValueWriter write) {
    unbindValue();
    if (!object) {
        return;
    }
    boundObject_ = object;
    readValue_ = std::move(read);
    writeValue_ = std::move(write);
    valueObservation_ = object->addObserver(key, [this](const platform::Change&) {
        showBoundValue();
        resize();
    });
    showBoundValue();
}

void TOVTextView::bindValueToSymbolText(SymbolText* symbol) {
    if (!symbol) {
        unbindValue();
        return;
    }
    bindValue(
        symbol, "text", [symbol] { return symbol->text(); },
        [symbol](const platform::AttributedString& text) { symbol->setText(text); });
}

void TOVTextView::unbindValue() {
    if (boundObject_ && valueObservation_) {
        boundObject_->removeObserver(valueObservation_);
    }
    valueObservation_ = {};
    boundObject_ = nullptr;
    readValue_ = {};
    writeValue_ = {};
}
