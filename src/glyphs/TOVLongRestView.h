#pragma once

#include "glyphs/TOVSelectableView.h"
#include "model/TOVSymbolTypes.h"

#include <memory>

// A rest of several bars, drawn in its bar: a thick bar across the notes area between the second and the
// fourth staff line, with a thin stroke at each end and the bar count in large digits in the middle. It
// shows the bar's long-rest count, not a symbol. A double click asks for the count.
//
// The view is placed when it is updated, which its bar view does whenever its layout changes; drawing
// never moves it, since changing a view's geometry while the window paints is not safe.
class TOVLongRestView : public TOVSelectableView {
public:
    static constexpr int kSymbolType = TOVSymbolLongRest;

    using TOVSelectableView::TOVSelectableView;

    void mouseDown(const platform::Event& event) override;
    int editPropertiyType() const override { return 4; }
    // The view never holds a symbol.
    void setSymbol(Symbol*) override {}
    int symbolType() const override { return kSymbolType; }
    // Spans the notes area of the owning bar view from its second to its fourth staff line; the frame is
    // set only when that place differs from it.
    void adjustSelfOrigin() override;
    void updateView() override;
    void drawRect(const platform::Rect& dirty, platform::GraphicsContext& ctx) override;

protected:
    std::shared_ptr<TOVObjectView> newInstanceWithFrame(const platform::Rect& frame) const override;
};
