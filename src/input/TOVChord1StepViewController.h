#pragma once

#include "input/TOVChordViewDelegate.h"
#include "model/TOVChordElems.h"

#include <QObject>
#include <QPointer>

#include <memory>
#include <vector>

class ChordHistory;
class QWidget;
class TOVChordDiatonicViewController;
class TOVChordHistoryViewController;

// The one-step page of the chord window: the diatonic chords of a key above the chord history, each a
// finished chord in one click. At most one of the two grids has a selection after a click.
class TOVChord1StepViewController : public QObject, public TOVChordViewDelegate {
    Q_OBJECT
public:
    TOVChord1StepViewController();
    ~TOVChord1StepViewController() override;

    QWidget* view() const { return view_; }
    TOVChordDiatonicViewController* diatonicViewController() const { return diatonic_.get(); }
    TOVChordHistoryViewController* historyViewController() const { return history_.get(); }

    // Not owned: the chord window.
    TOVChordViewDelegate* chordDelegate() const { return chordDelegate_; }
    void setChordDelegate(TOVChordViewDelegate* delegate) { chordDelegate_ = delegate; }

    // The diatonic grid's chord when valid, else the history grid's when valid, else the empty chord.
    TOVChordElems chord() const;
    const std::vector<ChordHistory*>& history() const;
    void setHistory(std::vector<ChordHistory*> history);
    // Empties both grids' selections, the diatonic grid's first.
    void clear();
    void refreshAllItems();

    void singleClicked(QObject* sender) override;
    void doubleClicked(QObject* sender) override;
    void selectionChanged(QObject* sender, std::ptrdiff_t index) override {}

private:
    QPointer<QWidget> view_;
    std::unique_ptr<TOVChordDiatonicViewController> diatonic_;
    std::unique_ptr<TOVChordHistoryViewController> history_;
    TOVChordViewDelegate* chordDelegate_ = nullptr;
};
