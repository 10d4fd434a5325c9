#include "glyphs/TOVRotateHandleCell.h"

void TOVRotateHandleCell::drawWithFrameInView(const platform::Rect& frame,
                                              platform::GraphicsContext& ctx) const {
    drawFilled(frame, ctx, true);
}
