#pragma once

#include "glyphs/TOVResizableFreeView.h"

#include <memory>

// The bracket that closes a volta: a line across and a hook down on the right, without text.
class TOVRepeatVoltaEndView : public TOVResizableFreeView {
public:
    using TOVResizableFreeView::TOVResizableFreeView;

    void drawRect(const platform::Rect& dirty, platform::GraphicsContext& ctx) override;

protected:
    std::shared_ptr<TOVObjectView> newInstanceWithFrame(const platform::Rect& frame) const override;
};
