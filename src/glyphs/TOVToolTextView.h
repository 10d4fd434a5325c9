#pragma once

#include "glyphs/TOVTextHostView.h"

#include <QString>

#include <memory>

// The free-text drawing tool: a text on the page that the user moves and edits in place; the view is as
// large as its text and shows and edits the formatted text of its symbol.
class TOVToolTextView : public TOVTextHostView {
public:
    static constexpr double kFontSize = 10.0;

    // A view without text (copies get theirs from the view they copy).
    explicit TOVToolTextView(const platform::Rect& frame = platform::Rect());
    // A view showing the text in "Lucida Grande" 10, sized to it.
    explicit TOVToolTextView(const QString& string);

    // Placed from the symbol, sized to the text, then moved where the editor places the tool.
    void updateView() override;
    void textViewSizeDidChange(TOVTextView* textView) override;

protected:
    std::shared_ptr<TOVObjectView> newInstanceWithFrame(const platform::Rect& frame) const override;
};
