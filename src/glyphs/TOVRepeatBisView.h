#pragma once

#include "glyphs/TOVResizableFreeView.h"

#include <memory>

// The bracket over bars played twice: a hook down on the left and a line across, broken around the word
// "bis" in its middle.
class TOVRepeatBisView : public TOVResizableFreeView {
public:
    using TOVResizableFreeView::TOVResizableFreeView;

    void drawRect(const platform::Rect& dirty, platform::GraphicsContext& ctx) override;
    // The x of a text of the width centred between the bracket ends of a view of the width.
    static double centredTextX(double viewWidth, double textWidth);

protected:
    std::shared_ptr<TOVObjectView> newInstanceWithFrame(const platform::Rect& frame) const override;
};
