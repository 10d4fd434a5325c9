#pragma once

#include "glyphs/TOVSelectableView.h"
#include "model/TOVSymbolTypes.h"

#include <memory>
#include <string>

// The clef a bar sets at its start: a selectable glyph that shows the bar's clef type, not a symbol, and
// stands at the height of its kind against the bar's staff.
class TOVClefView : public TOVSelectableView {
public:
    static constexpr int kGClef = TOVSymbolClefG;
    static constexpr int kFClef = TOVSymbolClefF;

    using TOVSelectableView::TOVSelectableView;

    // The glyph of the SVG file at the symbol scale, at the frame's origin, showing the type.
    static std::shared_ptr<TOVClefView> withFrameSVGFileClefType(const platform::Rect& frame,
                                                                 const std::string& svgFile, int clefType);

    // The view never holds a symbol.
    void setSymbol(Symbol*) override {}
    int symbolType() const override { return clefType_; }
    // Sets the y of the glyph's top from the owning bar view's top staff line; a place above the bar
    // view's top is not taken.
    void adjustSelfOrigin() override;

    int clefType() const { return clefType_; }
    void setClefType(int type) { clefType_ = type; }

protected:
    std::shared_ptr<TOVObjectView> newInstanceWithFrame(const platform::Rect& frame) const override;
    void copyFieldsInto(TOVObjectView& copy) const override;

private:
    int clefType_ = 0;
};
