#include "input/TOVChord1StepViewController.h"

#include "input/TOVChordDiatonicViewController.h"
#include "input/TOVChordHistoryViewController.h"
#include "model/TOVChordUtils.h"

#include <QVBoxLayout>

TOVChord1StepViewController::TOVChord1StepViewController()
    : diatonic_(std::make_unique<TOVChordDiatonicViewController>()),
      history_(std::make_unique<TOVChordHistoryViewController>()) {
    view_ = new QWidget;
    view_->setObjectName(QStringLiteral("TOVChord1StepViewController"));
    auto* column = new QVBoxLayout(view_);
    // The history grid is placed first, as it reports to the page before the diatonic grid does.
    history_->collectionView()->setChordDelegate(this);
    diatonic_->collectionView()->setChordDelegate(this);
    column->addWidget(diatonic_->view());
    column->addSpacing(8);
    column->addWidget(history_->view());
    column->addStretch(1);
}

TOVChord1StepViewController::~TOVChord1StepViewController() {
    history_.reset();
    diatonic_.reset();
    delete view_;
}

TOVChordElems TOVChord1StepViewController::chord() const {
    const TOVChordElems diatonic = diatonic_->chord();
    if (TOVChordUtils::validateChord(diatonic)) {
        return diatonic;
    }
    const TOVChordElems recent = history_->chord();
    if (TOVChordUtils::validateChord(recent)) {
        return recent;
    }
    return TOVChordUtils::zeroChord();
}

const std::vector<ChordHistory*>& TOVChord1StepViewController::history() const {
    return history_->history();
}

void TOVChord1StepViewController::setHistory(std::vector<ChordHistory*> history) {
    history_->setHistory(std::move(history));
}

void TOVChord1StepViewController::clear() {
    diatonic_->clearSelection();
    history_->clearSelection();
}

void TOVChord1StepViewController::refreshAllItems() {
    history_->refreshAllItems();
    diatonic_->refreshAllItems();
}

void TOVChord1StepViewController::singleClicked(QObject* sender) {
    if (sender == history_->collectionView()) {
        diatonic_->clearSelection();
    } else if (sender == diatonic_->collectionView()) {
        history_->clearSelection();
    }
}

void TOVChord1StepViewController::doubleClicked(QObject* sender) {
    if (chordDelegate_ != nullptr) {
        chordDelegate_->doubleClicked(sender);
    }
}
