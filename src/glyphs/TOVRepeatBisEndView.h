#pragma once

#include "glyphs/TOVResizableFreeView.h"

#include <memory>

// The bracket that closes bars played twice (or more): a line across, broken around the symbol's text in
// its middle when it has one, and a hook down on the right. A double click asks for the text.
class TOVRepeatBisEndView : public TOVResizableFreeView {
public:
    using TOVResizableFreeView::TOVResizableFreeView;

    void mouseDown(const platform::Event& event) override;
    int editPropertiyType() const override { return 3; }
    void drawRect(const platform::Rect& dirty, platform::GraphicsContext& ctx) override;

protected:
    std::shared_ptr<TOVObjectView> newInstanceWithFrame(const platform::Rect& frame) const override;
};
