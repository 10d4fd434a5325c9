#pragma once

#include "glyphs/TOVResizableFixedView.h"

#include <memory>

// The repeat-times sign: the glyph of its count (3 to 12 their own, any other count that of 2), chosen
// again whenever the view is updated. A double click asks for the count.
class TOVRepeatWithTimesView : public TOVResizableFixedView {
public:
    using TOVResizableFixedView::TOVResizableFixedView;

    void mouseDown(const platform::Event& event) override;
    int editPropertiyType() const override { return 2; }
    // The glyph of the symbol's count; the natural size (and the symbol's) becomes its size.
    void createPathDynamically() override;
    void updateView() override;

protected:
    std::shared_ptr<TOVObjectView> newInstanceWithFrame(const platform::Rect& frame) const override;
};
