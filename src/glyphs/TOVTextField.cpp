#include "glyphs/TOVTextField.h"

#include "platform/graphics/Font.h"
#include "platform/ui/FontPanel.h"
#include "platform/ui/InPlaceTextEditor.h"
#include "platform/ui/ViewHost.h"

using platform::Size;

TOVTextField::TOVTextField(const platform::Rect& frame) : platform::TextField(frame) {
    setEditable(false);
}

void TOVTextField::startEdit() {
    setEditable(true);
    setEnabled(true);
    if (!beginEditing()) {
        return;
    }
    platform::FontPanel& panel = platform::FontPanel::shared();
    panel.setEditor(currentEditor());
    panel.orderFront();
    if (platform::ViewHost* window = host()) {
        window->makeFirstResponder(this);
    }
}

void TOVTextField::endEdit() {
    setEditable(false);
    setEnabled(false);
    platform::InPlaceTextEditor* editor = currentEditor();
    platform::FontPanel& panel = platform::FontPanel::shared();
    if (editor != nullptr && panel.editor() == editor) {
        panel.setEditor(nullptr);
    }
    endEditing();
    panel.close();
    if (platform::ViewHost* window = host(); window != nullptr && window->firstResponder() == this) {
        window->makeFirstResponder(nullptr);
    }
    setNeedsDisplay();
}

void TOVTextField::resize() {
    const platform::AttributedString& text = attributedStringValue();
    if (text.isEmpty()) {
        setFrameSize(Size{0.0, frame().height()});
        return;
    }
    const platform::TextAttributes first = text.attributesAtIndex(0);
    const platform::Font font =
        first.font ? platform::Font::namedOrUserFont(first.font->postScriptName, first.font->pointSize)
                   : platform::Font::userFont(kDefaultFontSize);
    const Size measured = font.sizeOfString(text.string());
    setFrameSize(Size{measured.width + kWidthMargin, measured.height});
}
