#pragma once

#include "glyphs/TOVObjectViewOwner.h"
#include "layout/TOVEditorView.h"
#include "layout/TOVLayoutController.h"
#include "layout/TOVLayoutView.h"

class Bar;

// The view of one Bar inside its line view. Its object views live in the editor view, placed from origins
// given in the bar view's coordinates. The editor view marks it as the selected bar or the bar under a
// palette drag.
class TOVEditorBarView : public TOVLayoutView, public TOVObjectViewOwner {
public:
    explicit TOVEditorBarView(const platform::Rect& frame = platform::Rect(),
                              TOVLayoutController* delegate = nullptr);
    ~TOVEditorBarView() override;

    // --- As the owner of its object views ---
    TOVLayoutController* delegate() const override { return TOVLayoutView::delegate(); }
    platform::View* ownerView() override { return this; }
    TOVEditorView* editorView() const override { return TOVLayoutView::editorView(); }
    bool isEditorBarView() const override { return true; }

    Bar* bar() const { return bar_; }
    void setBar(Bar* bar);

    bool selected() const { return selected_; }
    void setSelected(bool selected) { selected_ = selected; }
    bool dropTarget() const { return dropTarget_; }
    // A change drops the object selection first and redraws the bar view.
    void setDropTarget(bool dropTarget);

private:
    Bar* bar_ = nullptr;
    bool selected_ = false;
    bool dropTarget_ = false;
};
