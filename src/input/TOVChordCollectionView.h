#pragma once

#include "platform/ui/CellGrid.h"

class TOVChordViewDelegate;

// A grid of chord cells that tells its delegate of every set of its selection (the empty one too) and
// of single and double clicks, after the click has chosen its cell. It never takes the keyboard focus,
// so Return and Escape always reach the chord window's buttons.
class TOVChordCollectionView : public platform::CellGrid {
    Q_OBJECT
public:
    explicit TOVChordCollectionView(QWidget* parent = nullptr);

    // Not owned.
    TOVChordViewDelegate* chordDelegate() const { return chordDelegate_; }
    void setChordDelegate(TOVChordViewDelegate* delegate) { chordDelegate_ = delegate; }

private:
    TOVChordViewDelegate* chordDelegate_ = nullptr;
};
