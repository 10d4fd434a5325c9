#pragma once

#include "glyphs/TOVObjectView.h"

// The view of a bar's barline. The glyph library keeps its prototypes made straight from their glyph
// files; a view made from a frame (every copy of a prototype) takes a width of 20.0 when the frame has
// none and accepts barlines dragged from the symbol palette.
class TOVBarLineView : public TOVObjectView {
public:
    static constexpr const char* kPaletteDragType = "TOVSymbolPaletteForBarlineViewData";
    static constexpr double kDefaultWidth = 20.0;

    // A view as its own initialiser makes it (the prototypes use TOVObjectView::makeWithFrameSVGFile).
    static std::shared_ptr<TOVBarLineView> withFrame(const platform::Rect& frame);

    using TOVObjectView::TOVObjectView;

protected:
    std::shared_ptr<TOVObjectView> newInstanceWithFrame(const platform::Rect& frame) const override;
};
