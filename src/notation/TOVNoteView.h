#pragma once

#include "glyphs/TOVSelectableView.h"

class NoteTone;
class TOVNoteToneCell;
class TOVNoteViewDelegate;

// The view of one Note: it holds the cells of its units and tones and draws them. This is what the cells
// ask of the view they belong to; the view's layout and mouse handling build on it.
class TOVNoteView : public TOVSelectableView {
public:
    using TOVSelectableView::TOVSelectableView;

    // Stems point down when YES.
    virtual bool isNoteFlip() const = 0;
    // The tone cell of this view that shows that very tone; null when there is none.
    virtual TOVNoteToneCell* toneCellOfData(const NoteTone* tone) const = 0;
    // The note view whose note begins where this one ends, also in the next bar; null when there is none.
    virtual TOVNoteView* nextContinuousNoteView() const = 0;

    // The view's ties drawn anew, when a neighbouring note changed.
    virtual void updateTie() {}
    // Where a drag on the flip handle started, in the view's coordinates.
    virtual platform::Point flipStartPos() const { return {}; }
    // A flip preview shows its note with the other stem direction and makes no ties or symbol views.
    virtual void setFlipPreviewMode(bool mode) {}
    // Turns the note's stems the other way.
    virtual void doFlip() {}

    // The bar that answers the view's staff questions; not owned.
    TOVNoteViewDelegate* noteViewDelegate() const { return noteViewDelegate_; }
    void setNoteViewDelegate(TOVNoteViewDelegate* delegate) { noteViewDelegate_ = delegate; }

private:
    TOVNoteViewDelegate* noteViewDelegate_ = nullptr;
};
