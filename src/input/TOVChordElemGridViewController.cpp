#include "input/TOVChordElemGridViewController.h"

#include "glyphs/TOVChordViewFactory.h"
#include "input/TOVChordGlyphs.h"
#include "model/TOVChordElems.h"

#include <QVBoxLayout>

#include <array>
#include <utility>

TOVChordElemGridViewController::TOVChordElemGridViewController(const char* name, int none, int columns,
                                                               platform::Size cell)
    : none_(none) {
    view_ = new QWidget;
    view_->setObjectName(QString::fromLatin1(name));
    auto* column = new QVBoxLayout(view_);
    column->setContentsMargins(0, 0, 0, 0);
    collectionView_ = new TOVChordCollectionView(view_);
    collectionView_->setObjectName(QStringLiteral("grid"));
    collectionView_->setCellSize(cell);
    collectionView_->setMaxColumns(columns);
    // The grid is as large as its cells.
    collectionView_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    collectionView_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    collectionView_->setCellDrawer(
        [this](std::size_t index, platform::GraphicsContext& context, platform::Size) {
            if (index < items_.size()) {
                TOVChordGlyphs::fill(context, items_[index].bezierPath);
            }
        });
    column->addWidget(collectionView_, 0, Qt::AlignHCenter);
}

TOVChordElemGridViewController::~TOVChordElemGridViewController() {
    if (collectionView_ != nullptr) {
        collectionView_->setChordDelegate(nullptr);
    }
    delete view_;
}

void TOVChordElemGridViewController::setChordDelegate(TOVChordViewDelegate* delegate) {
    chordDelegate_ = delegate;
    collectionView_->setChordDelegate(delegate);
}

int TOVChordElemGridViewController::elemType() const {
    const std::optional<std::size_t> index = collectionView_->firstSelectedIndex();
    if (!index || *index >= items_.size()) {
        return none_;
    }
    return items_[*index].elemType;
}

void TOVChordElemGridViewController::setElemType(int value) {
    if (value == none_ || value < 0 || static_cast<std::size_t>(value) >= items_.size()) {
        collectionView_->setSelectionIndexes({});
    } else {
        collectionView_->setSelectionIndexes({static_cast<std::size_t>(value)});
    }
}

void TOVChordElemGridViewController::clearSelection() {
    collectionView_->setSelectionIndexes({});
}

void TOVChordElemGridViewController::refreshAllItems() {
    clearSelection();
    createItems();
}

void TOVChordElemGridViewController::createItems() {
    std::vector<Item> items = itemTable();
    for (Item& item : items) {
        if (item.elemType != none_) {
            item.bezierPath = glyphOfValue(item.elemType);
        }
    }
    items_ = std::move(items);
    collectionView_->setItemCount(items_.size());
    collectionView_->setFixedSize(collectionView_->sizeHint());
    collectionView_->reloadData();
}

namespace {

std::optional<platform::BezierPath> scaledInCell(std::optional<platform::BezierPath> path, double scale,
                                                 platform::Size cell) {
    if (path) {
        TOVChordGlyphs::scaleAndCentre(*path, scale, cell);
    }
    return path;
}

// Wide enough for the widest quality ("m7(-5)") at the glyphs' fixed scale of 2.
constexpr platform::Size QualityCell{120, 56};
constexpr platform::Size TensionCell{96, 40};

} // namespace

// --- Qualities ---

TOVChord2ndStepViewController::TOVChord2ndStepViewController()
    : TOVChordElemGridViewController("TOVChord2ndStepViewController", TOVChordPlainTriad, 3, QualityCell) {
    collectionView()->setSelectionIndexes({});
    createItems();
}

std::vector<TOVChordElemGridViewController::Item> TOVChord2ndStepViewController::itemTable() const {
    constexpr std::array<const char*, 12> labels = {"6",  "m",  "m7-5", "7", "m6",  "dim",
                                                    "△7", "m7", "dim7", "",  "m△7", ""};
    std::vector<Item> items;
    for (std::size_t position = 0; position < labels.size(); ++position) {
        const bool blank = position == 9 || position == 11;
        items.push_back(Item{
            QString::fromUtf8(labels[position]), blank ? TOVChordPlainTriad : int(position), {}, {}, {}});
    }
    return items;
}

std::optional<platform::BezierPath> TOVChord2ndStepViewController::glyphOfValue(int value) const {
    const TOVChordViewFactory* factory = TOVChordGlyphs::factory();
    if (factory == nullptr) {
        return std::nullopt;
    }
    return scaledInCell(factory->bezierPathForStep2FontID(value, TOVChordGlyphs::FontID), 2.0, QualityCell);
}

// --- Tensions ---

namespace {

struct TensionCellEntry {
    int position;
    const char* label;
    const char* fontSize;
    const char* bold;
    double glyphScale;
};

constexpr std::array<TensionCellEntry, 38> Tensions = {{
    {0, "sus4", "17", "1", 2.0},      {1, "+5", "17", "1", 2.0},           {2, "6", "17", "1", 2.0},
    {3, "9", "17", "1", 2.0},         {4, "11", "17", "1", 2.0},           {5, "13", "17", "1", 2.0},
    {6, "omit3", "17", "1", 2.0},     {7, "add9", "13", "0", 1.3},         {8, "-5", "13", "0", 1.3},
    {9, "6/9", "13", "0", 1.4},       {10, "-9", "13", "0", 1.4},          {11, "+11", "13", "0", 1.5},
    {12, "-13", "13", "0", 1.5},      {13, "omit5", "13", "0", 1.5},       {14, "2", "13", "0", 1.3},
    {15, "+5(9)", "13", "0", 1.5},    {16, "6/9(+11)", "13", "0", 1.3},    {17, "+9", "13", "0", 1.4},
    {18, "11(13)", "13", "0", 1.5},   {20, "+", "13", "0", 1.3},           {21, "sus4(9)", "13", "0", 1.3},
    {22, "-5(9)", "13", "0", 1.5},    {24, "9(11)", "13", "0", 1.5},       {25, "11(-13)", "13", "0", 1.5},
    {28, "sus4(-9)", "13", "0", 1.3}, {29, "+5(-9)", "13", "0", 1.5},      {31, "9(+11)", "13", "0", 1.5},
    {32, "+11(13)", "13", "0", 1.5},  {35, "sus4(-9)add3", "9", "0", 1.3}, {36, "-5(-9)", "13", "0", 1.5},
    {38, "9(13)", "13", "0", 1.5},    {39, "+11(-13)", "13", "0", 1.5},    {43, "+5(+9)", "13", "0", 1.5},
    {45, "9(-13)", "13", "0", 1.5},   {50, "-5(+9)", "13", "0", 1.5},      {52, "-9(13)", "13", "0", 1.5},
    {59, "-9(-13)", "13", "0", 1.5},  {66, "+9(-13)", "13", "0", 1.5},
}};

constexpr int TensionCellCount = 70;
// The glyph scale of a blank position and of any value past the tensions.
constexpr double DefaultTensionScale = 1.3;

} // namespace

TOVChord3rdStepViewController::TOVChord3rdStepViewController()
    : TOVChordElemGridViewController("TOVChord3rdStepViewController", TOVChordNoTension, 7, TensionCell) {
    collectionView()->setSelectionIndexes({});
    createItems();
}

double TOVChord3rdStepViewController::glyphScale(int tension) {
    for (const TensionCellEntry& entry : Tensions) {
        if (entry.position == tension) {
            return entry.glyphScale;
        }
    }
    return DefaultTensionScale;
}

std::vector<TOVChordElemGridViewController::Item> TOVChord3rdStepViewController::itemTable() const {
    std::vector<Item> items(TensionCellCount);
    for (int position = 0; position < TensionCellCount; ++position) {
        const bool small = position == 42 || position == 49 || position == 56 || position == 63;
        items[static_cast<std::size_t>(position)] = Item{QString(),
                                                         TOVChordNoTension,
                                                         small ? QStringLiteral("9") : QStringLiteral("13"),
                                                         QStringLiteral("0"),
                                                         {}};
    }
    for (const TensionCellEntry& entry : Tensions) {
        items[static_cast<std::size_t>(entry.position)] = Item{QString::fromUtf8(entry.label),
                                                               entry.position,
                                                               QString::fromLatin1(entry.fontSize),
                                                               QString::fromLatin1(entry.bold),
                                                               {}};
    }
    return items;
}

std::optional<platform::BezierPath> TOVChord3rdStepViewController::glyphOfValue(int value) const {
    const TOVChordViewFactory* factory = TOVChordGlyphs::factory();
    if (factory == nullptr) {
        return std::nullopt;
    }
    return scaledInCell(factory->bezierPathForStep3FontID(value, TOVChordGlyphs::FontID), glyphScale(value),
                        TensionCell);
}
