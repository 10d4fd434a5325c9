#pragma once

#include "platform/foundation/AttributedString.h"
#include "platform/ui/View.h"

#include <QString>

#include <memory>

namespace platform {

class InPlaceTextEditor;
class TextField;

// What a text field tells its delegate while it is edited.
class TextFieldDelegate {
public:
    virtual ~TextFieldDelegate() = default;
    // After each change the user made to the text; the field already holds the new text.
    virtual void controlTextDidChange(TextField& field) {}
    // Once, when editing has ended (Return, Escape, the focus went elsewhere); the field holds the final
    // text and is no longer being edited.
    virtual void controlTextDidEndEditing(TextField& field) {}
};

// A formatted text that the view draws itself from its top-left corner. While it is edited, an in-place
// editor lies over the field's bounds and shows the text instead; it follows the field when the field
// changes its size.
class TextField : public View {
public:
    // The size of runs without a font.
    static constexpr double kDefaultFontSize = 12.0;

    explicit TextField(const Rect& frame = Rect());
    ~TextField() override;

    const AttributedString& attributedStringValue() const { return value_; }
    // Also replaces the text being edited.
    void setAttributedStringValue(const AttributedString& value);
    const QString& stringValue() const { return value_.string(); }

    bool isEditable() const { return editable_; }
    void setEditable(bool editable) { editable_ = editable; }
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled) { enabled_ = enabled; }

    TextFieldDelegate* delegate() const { return delegate_; }
    void setDelegate(TextFieldDelegate* delegate) { delegate_ = delegate; }

    // Starts editing in place when the field is editable, enabled and shown by a host; true when it is
    // being edited afterwards.
    bool beginEditing();
    // Ends editing as the user would, with its report; nothing when the field is not being edited.
    void endEditing();
    bool isBeingEdited() const;
    // The editor while the field is being edited, else null.
    InPlaceTextEditor* currentEditor() const;

    bool acceptsFirstResponder() const override { return editable_ && enabled_; }
    void setFrameSize(Size size) override;
    void drawRect(const Rect& dirty, GraphicsContext& ctx) override;

private:
    void editorChanged(const AttributedString& text);
    void editorEnded(const AttributedString& text);

    AttributedString value_;
    bool editable_ = false;
    bool enabled_ = true;
    TextFieldDelegate* delegate_ = nullptr;
    std::unique_ptr<InPlaceTextEditor> editor_;
};

} // namespace platform
