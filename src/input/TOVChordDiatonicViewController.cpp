#include "input/TOVChordDiatonicViewController.h"

#include "input/TOVChordGlyphs.h"
#include "model/TOVChordUtils.h"
#include "platform/foundation/Resources.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <array>

namespace {

// The names of the rows in C major.
constexpr std::array<const char*, TOVChordUtils::kDiatonicChordCount> RowLabels = {
    "C",   "Dm",  "Em",   "F",    "G7",  "Am",  "Bm7-5", "Cadd9", "Dm7", "Em7", "Fadd9", "G7sus4",
    "Am7", "Bm7", "C△7",  "D7",   "E7",  "F△7", "F/G",   "A7",    "B7",  "C/E", "Dm7-5", "E7+5",
    "F/A", "G/B", "A7+5", "B7+5", "C/G", "C/D", "D/E",   "G/F",   "Gm7", "G/A", "A/B"};

// The popup's titles by key type.
constexpr std::array<const char*, 14> KeyTitles = {"C",  "C♯", "D♭", "D",  "E♭", "E",  "F",
                                                   "F♯", "G♭", "G",  "A♭", "A",  "B♭", "B"};

} // namespace

TOVChordDiatonicViewController::TOVChordDiatonicViewController() {
    view_ = new QWidget;
    view_->setObjectName(QStringLiteral("TOVChordDiatonicViewController"));
    auto* column = new QVBoxLayout(view_);
    column->setContentsMargins(0, 0, 0, 0);
    auto* header = new QHBoxLayout;
    header->addWidget(new QLabel(QString::fromStdString(platform::localized("Diatonic Chords")), view_));
    header->addStretch(1);
    header->addWidget(new QLabel(QString::fromStdString(platform::localized("Key:")), view_));
    keyChangeButton_ = new QComboBox(view_);
    keyChangeButton_->setFocusPolicy(Qt::NoFocus);
    for (std::size_t key = 0; key < KeyTitles.size(); ++key) {
        keyChangeButton_->addItem(QString::fromUtf8(KeyTitles[key]), static_cast<int>(key));
    }
    header->addWidget(keyChangeButton_);
    column->addLayout(header);
    collectionView_ = new TOVChordCollectionView(view_);
    collectionView_->setObjectName(QStringLiteral("diatonicGrid"));
    collectionView_->setCellSize({CellWidth, CellHeight});
    collectionView_->setMaxColumns(Columns);
    // The 35 cells always show whole.
    collectionView_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    collectionView_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    collectionView_->setFixedSize(
        static_cast<int>(Columns * CellWidth),
        static_cast<int>(TOVChordUtils::kDiatonicChordCount / Columns * CellHeight));
    collectionView_->setCellDrawer(
        [this](std::size_t index, platform::GraphicsContext& context, platform::Size) {
            if (index < diatonicChords_.size()) {
                TOVChordGlyphs::fill(context, diatonicChords_[index].bezierPath);
            }
        });
    column->addWidget(collectionView_);
    QObject::connect(keyChangeButton_, &QComboBox::activated, this, [this] { keyChanged(); });

    collectionView_->setSelectionIndexes({});
    updateCodeList();
}

TOVChordDiatonicViewController::~TOVChordDiatonicViewController() {
    if (collectionView_ != nullptr) {
        collectionView_->setChordDelegate(nullptr);
    }
    delete view_;
}

int TOVChordDiatonicViewController::currentKey() const {
    return keyChangeButton_->currentData().toInt();
}

void TOVChordDiatonicViewController::setCurrentKey(int keyType) {
    const int key = keyType > 13 ? 13 : keyType;
    const int item = keyChangeButton_->findData(key);
    if (item >= 0) {
        keyChangeButton_->setCurrentIndex(item);
    }
    keyChanged();
}

void TOVChordDiatonicViewController::keyChanged() {
    updateCodeList();
}

void TOVChordDiatonicViewController::updateCodeList() {
    setDiatonicChords(createChordsC());
    clearSelection();
}

std::vector<TOVChordDiatonicViewController::Item> TOVChordDiatonicViewController::createChordsC() const {
    std::vector<Item> items;
    const int key = currentKey();
    for (std::size_t row = 0; row < RowLabels.size(); ++row) {
        items.push_back(
            Item{QString::fromUtf8(RowLabels[row]), static_cast<int>(row), key, {}, std::nullopt});
    }
    return items;
}

void TOVChordDiatonicViewController::setDiatonicChords(std::vector<Item> items) {
    // Each cell is made from its item: the row carried into the item's key, typeset and fitted.
    std::vector<TOVChordElems> chords;
    for (Item& item : items) {
        item.chord =
            TOVChordUtils::diatonicChordOfIndexForKey(static_cast<std::uint64_t>(item.index), item.key);
        chords.push_back(item.chord);
    }
    std::vector<std::optional<platform::BezierPath>> paths =
        TOVChordGlyphs::cellPathsOfChords(chords, {CellWidth, CellHeight});
    for (std::size_t i = 0; i < items.size(); ++i) {
        items[i].bezierPath = std::move(paths[i]);
    }
    diatonicChords_ = std::move(items);
    collectionView_->setItemCount(diatonicChords_.size());
    collectionView_->reloadData();
}

void TOVChordDiatonicViewController::clearSelection() {
    collectionView_->setSelectionIndexes({});
}

void TOVChordDiatonicViewController::refreshAllItems() {
    clearSelection();
    std::vector<Item> items = diatonicChords_;
    setDiatonicChords(std::move(items));
}

TOVChordElems TOVChordDiatonicViewController::chord() const {
    const std::optional<std::size_t> index = collectionView_->firstSelectedIndex();
    if (!index) {
        return TOVChordUtils::zeroChord();
    }
    return TOVChordUtils::diatonicChordOfIndexForKey(*index, currentKey());
}
