#include "platform/ui/TextField.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/TextRun.h"
#include "platform/ui/InPlaceTextEditor.h"

namespace platform {

TextField::TextField(const Rect& frame) : View(frame) {}

TextField::~TextField() {
    if (editor_) {
        // Going away is no end of editing that anyone is told about.
        editor_->setTextChangedHandler({});
        editor_->setEditingEndedHandler({});
    }
}

void TextField::setAttributedStringValue(const AttributedString& value) {
    value_ = value;
    if (editor_ && editor_->isEditing() && editor_->attributedText() != value) {
        editor_->setAttributedText(value);
    }
    setNeedsDisplay();
}

bool TextField::isBeingEdited() const {
    return editor_ && editor_->isEditing();
}

InPlaceTextEditor* TextField::currentEditor() const {
    return isBeingEdited() ? editor_.get() : nullptr;
}

bool TextField::beginEditing() {
    if (isBeingEdited()) {
        return true;
    }
    if (!editable_ || !enabled_ || host() == nullptr) {
        return false;
    }
    editor_ = std::make_unique<InPlaceTextEditor>(*this, bounds(), value_);
    if (!editor_->isEditing()) {
        editor_.reset();
        return false;
    }
    editor_->setTextChangedHandler([this](const AttributedString& text) { editorChanged(text); });
    editor_->setEditingEndedHandler([this](const AttributedString& text) { editorEnded(text); });
    setNeedsDisplay();
    return true;
}

void TextField::endEditing() {
    if (isBeingEdited()) {
        editor_->endEditing();
    }
}

void TextField::editorChanged(const AttributedString& text) {
    value_ = text;
    if (delegate_) {
        delegate_->controlTextDidChange(*this);
    }
}

void TextField::editorEnded(const AttributedString& text) {
    value_ = text;
    // The editor may be destroyed from within its own report.
    editor_.reset();
    setNeedsDisplay();
    if (delegate_) {
        delegate_->controlTextDidEndEditing(*this);
    }
}

void TextField::setFrameSize(Size size) {
    View::setFrameSize(size);
    if (isBeingEdited()) {
        editor_->setRectInView(bounds());
    }
}

void TextField::drawRect(const Rect&, GraphicsContext& ctx) {
    // While edited, the editor shows the text.
    if (isBeingEdited() || value_.isEmpty()) {
        return;
    }
    ctx.drawTextRuns(textRunsFromAttributedString(value_, kDefaultFontSize), Point{0, 0});
}

} // namespace platform
