#pragma once

#include "glyphs/TOVObjectView.h"
#include "glyphs/TOVTextField.h"
#include "platform/data/Observation.h"

#include <memory>
#include <optional>

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

    // Binds the field's value to the symbol's text: the field shows it (nothing when none is stored) and
    // follows its changes, and the text the user typed goes into the symbol when editing ends. A null
    // symbol only unbinds.
    void bindValueToSymbolText(SymbolText* symbol);
    void unbindValue();
    SymbolText* boundSymbol() const { return boundSymbol_; }
    // What the field shows while the bound symbol has no text of its own (nothing unless set).
    void setTextWithoutSymbolText(std::optional<platform::AttributedString> text) {
        textWithoutSymbolText_ = std::move(text);
    }

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
    void showSymbolText();

    bool editing_ = false;
    std::optional<platform::AttributedString> textWithoutSymbolText_;
    std::shared_ptr<TOVTextField> textField_;
    TOVTextViewDelegate* textViewDelegate_ = nullptr;
    SymbolText* boundSymbol_ = nullptr;
    platform::ObservationToken textObservation_;
    bool writingToSymbol_ = false;
};
