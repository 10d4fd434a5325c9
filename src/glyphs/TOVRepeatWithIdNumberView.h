#pragma once

#include "glyphs/TOVResizableFixedView.h"

#include <memory>

// D.C., D.S., To Coda, Coda and Segno: the sign's glyph followed by the circled numbers of the passes it
// applies to, rebuilt from the symbol whenever the view is updated. A double click asks for the pass
// numbers.
class TOVRepeatWithIdNumberView : public TOVResizableFixedView {
public:
    using TOVResizableFixedView::TOVResizableFixedView;

    void mouseDown(const platform::Event& event) override;
    int editPropertiyType() const override { return 1; }
    // The glyph with the numbers of the passes that are on; the natural size (and the symbol's) becomes
    // that outline's size, so that a scale stays relative to the glyph with its numbers.
    void createPathDynamically() override;
    void updateView() override;

protected:
    std::shared_ptr<TOVObjectView> newInstanceWithFrame(const platform::Rect& frame) const override;
};
