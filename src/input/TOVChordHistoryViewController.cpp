#include "input/TOVChordHistoryViewController.h"

#include "input/TOVChordGlyphs.h"
#include "model/ChordHistory.h"
#include "model/TOVChordUtils.h"
#include "platform/foundation/Resources.h"

#include <QLabel>
#include <QScrollBar>
#include <QVBoxLayout>

TOVChordHistoryViewController::TOVChordHistoryViewController() {
    view_ = new QWidget;
    view_->setObjectName(QStringLiteral("TOVChordHistoryViewController"));
    auto* column = new QVBoxLayout(view_);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(new QLabel(QString::fromStdString(platform::localized("Recently Used")), view_));
    collectionView_ = new TOVChordCollectionView(view_);
    collectionView_->setObjectName(QStringLiteral("historyGrid"));
    collectionView_->setCellSize({CellWidth, CellHeight});
    collectionView_->setMaxColumns(Columns);
    collectionView_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    collectionView_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const int scrollBar = collectionView_->verticalScrollBar()->sizeHint().width();
    collectionView_->setFixedSize(static_cast<int>(Columns * CellWidth) + scrollBar,
                                  static_cast<int>(VisibleRows * CellHeight));
    collectionView_->setCellDrawer(
        [this](std::size_t index, platform::GraphicsContext& context, platform::Size) {
            if (index < items_.size()) {
                TOVChordGlyphs::fill(context, items_[index].bezierPath);
            }
        });
    column->addWidget(collectionView_);
    collectionView_->setSelectionIndexes({});
}

TOVChordHistoryViewController::~TOVChordHistoryViewController() {
    if (collectionView_ != nullptr) {
        collectionView_->setChordDelegate(nullptr);
    }
    delete view_;
}

void TOVChordHistoryViewController::setHistory(std::vector<ChordHistory*> history) {
    history_ = std::move(history);
    makeItems();
}

void TOVChordHistoryViewController::makeItems() {
    items_.clear();
    for (const ChordHistory* entry : history_) {
        // A history chord is a slash chord exactly when it has a bass; the entry stores no flag.
        items_.push_back(
            Item{entry != nullptr ? entry->chordElems() : TOVChordUtils::zeroChord(), std::nullopt});
    }
    makePaths();
    collectionView_->setItemCount(items_.size());
    collectionView_->reloadData();
}

void TOVChordHistoryViewController::makePaths() {
    std::vector<TOVChordElems> chords;
    for (const Item& item : items_) {
        chords.push_back(item.chord);
    }
    std::vector<std::optional<platform::BezierPath>> paths =
        TOVChordGlyphs::cellPathsOfChords(chords, {CellWidth, CellHeight});
    for (std::size_t i = 0; i < items_.size(); ++i) {
        items_[i].bezierPath = std::move(paths[i]);
    }
}

void TOVChordHistoryViewController::clearSelection() {
    collectionView_->setSelectionIndexes({});
}

void TOVChordHistoryViewController::refreshAllItems() {
    clearSelection();
    makePaths();
    collectionView_->reloadData();
}

void TOVChordHistoryViewController::scrollToNewest() {
    if (!items_.empty()) {
        collectionView_->scrollToItem(items_.size() - 1);
    }
}

TOVChordElems TOVChordHistoryViewController::chord() const {
    const std::optional<std::size_t> index = collectionView_->firstSelectedIndex();
    if (!index || *index >= items_.size()) {
        return TOVChordUtils::zeroChord();
    }
    return items_[*index].chord;
}
