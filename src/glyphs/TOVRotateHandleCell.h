#pragma once

#include "glyphs/TOVResizeHandleCell.h"

// The handle that turns a rotatable view; drawn red.
class TOVRotateHandleCell : public TOVResizeHandleCell {
public:
    using TOVResizeHandleCell::TOVResizeHandleCell;
    void drawWithFrameInView(const platform::Rect& frame, platform::GraphicsContext& ctx) const override;
};
