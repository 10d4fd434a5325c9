#pragma once

#include "glyphs/TOVObjectView.h"

// An object view that a click selects through its delegate; Shift or Command extends the selection, and
// on a selected view reduces it.
class TOVSelectableView : public TOVObjectView {
public:
    using TOVObjectView::TOVObjectView;

    void mouseDown(const platform::Event& event) override;
    // The setting sheet the view opens: 0 none (the kinds are listed with the views that have one).
    virtual int editPropertiyType() const { return 0; }

protected:
    std::shared_ptr<TOVObjectView> newInstanceWithFrame(const platform::Rect& frame) const override;
};
