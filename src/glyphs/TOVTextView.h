#pragma once

#include "glyphs/TOVObjectView.h"
#include "glyphs/TOVTextField.h"
#include "platform/data/Observation.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

class SymbolText;
class TOVTextView;

// Told by a text view after it has sized itself to its text.
class TOVTextViewDelegate {
public:
    virtual ~TOVTextViewDelegate() = default;
    virtual void textViewSizeDidChange(TOVTextView* textView) = 0;
};

// A small object view holding one text field and sized to its text. A double click edits the text in
// place; every change and the end of editing size the view anew, and the delegate follows each new size.
class TOVTextView : public TOVObjectView, public platform::TextFieldDelegate {
public:
    explicit TOVTextView(const platform::Rect& frame = platform::Rect());
    ~TOVTextView() override;

    bool editing() const { return editing_; }
    void setEditing(bool editing);
    void startEdit() { setEditing(true); }

    // The field sizes itself to its text, the view takes the field's size and tells its delegate.
    void resize();

    TOVTextField* textField() const { return textField_.get(); }
    TOVTextViewDelegate* textViewDelegate() const { return textViewDelegate_; }
    void setTextViewDelegate(TOVTextViewDelegate* delegate) { textViewDelegate_ = delegate; }

    using ValueReader = std::function<std::optional<platform::AttributedString>()>;
    using ValueWriter = std::function<void(const platform::AttributedString&)>;

    // Binds the field's value to a formatted-text attribute of a model object: the field shows what
    // `read` answers (or the text set for that case, else nothing) and follows the changes of the key, and
    // the text the user typed goes to `write` when editing ends and it differs from what is stored. A null
    // object only unbinds.
    void bindValue(platform::ManagedObject* object, std::string_view key, ValueReader read,
                   ValueWriter write);
    // The same for the text of a symbol.
    void bindValueToSymbolText(SymbolText* symbol);
    void unbindValue();
    // What the field shows while the bound object has no text of its own (nothing unless set).
    void setTextWithoutSymbolText(std::optional<platform::AttributedString> text) {
        textWithoutSymbolText_ = std::move(text);
    }
    platform::ManagedObject* boundObject() const { return boundObject_; }
    // Shows the bound value now, as when its key changed; nothing without a binding or while the text
    // view writes it.
    void showBoundValue();

    // A double click edits; any other click goes on to the view that holds the text view.
    void mouseDown(const platform::Event& event) override;
    // The inherited drawing, and while editing a black frame along the bounds.
    void drawRect(const platform::Rect& dirty, platform::GraphicsContext& ctx) override;

    void controlTextDidChange(platform::TextField& field) override;
    void controlTextDidEndEditing(platform::TextField& field) override;

protected:
    std::shared_ptr<TOVObjectView> newInstanceWithFrame(const platform::Rect& frame) const override;
    // The copy's field holds a copy of the text, and the copy is sized to it.
    void copyFieldsInto(TOVObjectView& copy) const override;

private:
    bool editing_ = false;
    std::optional<platform::AttributedString> textWithoutSymbolText_;
    std::shared_ptr<TOVTextField> textField_;
    TOVTextViewDelegate* textViewDelegate_ = nullptr;
    platform::ManagedObject* boundObject_ = nullptr;
    ValueReader readValue_;
    ValueWriter writeValue_;
    platform::ObservationToken valueObservation_;
    bool writingValue_ = false;
};
