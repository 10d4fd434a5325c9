#pragma once

#include "glyphs/TOVMovableView.h"
#include "glyphs/TOVTextView.h"

#include <QString>

#include <memory>

// A view the user moves that holds a text edited in place: it shows and edits the formatted text of its
// symbol, and copies get a text view of their own.
class TOVTextHostView : public TOVMovableView, public TOVTextViewDelegate {
public:
    ~TOVTextHostView() override;

    // Also binds the text to the symbol's text.
    void setSymbol(Symbol* symbol) override;
    // Sizes the text view to its text.
    void updateView() override;

    platform::AttributedString attributedStringValue() const;
    TOVTextView* textView() const { return textView_.get(); }
    void setTextView(std::shared_ptr<TOVTextView> textView);

protected:
    explicit TOVTextHostView(const platform::Rect& frame);
    // Gives the view a text view showing the text in "Lucida Grande" of the size, and the text's size.
    void makeTextView(const QString& string, double fontSize);
    void copyFieldsInto(TOVObjectView& copy) const override;

private:
    std::shared_ptr<TOVTextView> textView_;
};
