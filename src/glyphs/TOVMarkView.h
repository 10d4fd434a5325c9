#pragma once

#include "glyphs/TOVTextHostView.h"

#include <QString>

#include <memory>

// A rehearsal mark: a framed text that the user edits in place; it shows and edits the formatted text of
// its symbol. The frame stands 4.0 left and right of the text and 1.0 above and below it.
class TOVMarkView : public TOVTextHostView {
public:
    static constexpr double kFontSize = 14.0;
    static constexpr double kFrameLineWidth = 1.5;

    // A view without text (copies get theirs from the view they copy).
    explicit TOVMarkView(const platform::Rect& frame = platform::Rect());
    // A mark showing the text in "Lucida Grande" 14, sized to the text.
    explicit TOVMarkView(const QString& string);

    // A mark whose symbol has no text shows the text the view was made with, its kind's default.
    void setSymbol(Symbol* symbol) override;
    void textViewSizeDidChange(TOVTextView* textView) override;
    void drawRect(const platform::Rect& dirty, platform::GraphicsContext& ctx) override;

protected:
    std::shared_ptr<TOVObjectView> newInstanceWithFrame(const platform::Rect& frame) const override;
};
