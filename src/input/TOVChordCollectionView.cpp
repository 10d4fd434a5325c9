#include "input/TOVChordCollectionView.h"

#include "input/TOVChordViewDelegate.h"

TOVChordCollectionView::TOVChordCollectionView(QWidget* parent) : platform::CellGrid(parent) {
    setAcceptsFirstResponder(false);
    setSelectionHandler([this](const IndexSet& selection) {
        if (chordDelegate_ != nullptr) {
            chordDelegate_->selectionChanged(this, selection.empty()
                                                       ? TOVChordViewDelegate::NotFound
                                                       : static_cast<std::ptrdiff_t>(*selection.begin()));
        }
    });
    setClickHandler([this](int clickCount) {
        if (chordDelegate_ == nullptr) {
            return;
        }
        if (clickCount == 1) {
            chordDelegate_->singleClicked(this);
        } else if (clickCount == 2) {
            chordDelegate_->doubleClicked(this);
        }
    });
}
