#pragma once

#include "glyphs/TOVResizableFreeView.h"
#include "platform/foundation/Color.h"
#include "platform/graphics/Font.h"

#include <QString>

#include <initializer_list>
#include <memory>

namespace platform {
class GraphicsContext;
}

// The bracket over the bars of a volta: a hook down on the left, a line across at half the height of its
// text, and the text (the symbol's identifier, "1." for example) near its start. Both sizes change freely;
// a double click asks for the text. The other bracket views draw with the helpers here.
class TOVRepeatVoltaView : public TOVResizableFreeView {
public:
    // The ends of every bracket lie this far inside the frame, and its hooks end this far above the
    // bottom.
    static constexpr double kBracketInset = 2.0;

    using TOVResizableFreeView::TOVResizableFreeView;

    void mouseDown(const platform::Event& event) override;
    int editPropertiyType() const override { return 3; }
    void drawRect(const platform::Rect& dirty, platform::GraphicsContext& ctx) override;

    // The text style of every bracket, "Lucida Grande" at 13 points.
    static platform::Font bracketFont();
    // The colour of the view's state: selected, drop target or normal.
    static platform::Color bracketColor(int state);
    // The symbol's identifier; empty without a repeat symbol.
    static QString bracketText(const Symbol* symbol);
    // Strokes the points as one line, 1.0 wide with round caps.
    static void strokeBracketLine(platform::GraphicsContext& ctx,
                                  std::initializer_list<platform::Point> points);

protected:
    std::shared_ptr<TOVObjectView> newInstanceWithFrame(const platform::Rect& frame) const override;
};
