#include "input/TOVSymbolsPaletteWindowController.h"

#include "layout/TOVPaletteTypes.h"
#include "model/TOVSymbolTypes.h"
#include "platform/foundation/Resources.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/Toolbar.h"
#include "platform/ui/ToolbarItem.h"
#include "platform/ui/Window.h"

#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <initializer_list>
#include <mutex>

namespace {

constexpr const char* kHint = "Drag it on the bar.";
constexpr int kColumns = 7;
constexpr int kRows = 4;

struct Row {
    const char* label;
    const char* icon;
};

struct CodedRow {
    const char* label;
    const char* icon;
    std::int32_t code;
};

// Items whose codes follow their order: the n-th carries the base code plus n - 1.
TOVPaletteItems inCodeOrder(std::int32_t base, const std::string& type, std::initializer_list<Row> rows) {
    TOVPaletteItems items;
    std::int32_t code = base;
    for (const Row& row : rows) {
        items.push_back(TOVPaletteItem::make(row.icon, row.label, kHint, code++, type));
    }
    return items;
}

TOVPaletteItems withCodes(const std::string& type, std::initializer_list<CodedRow> rows) {
    TOVPaletteItems items;
    for (const CodedRow& row : rows) {
        items.push_back(TOVPaletteItem::make(row.icon, row.label, kHint, row.code, type));
    }
    return items;
}

// The toolbar items by tag: identifier (also the label) and the cell whose icon the button shows.
struct CategoryButton {
    const char* name;
    std::size_t cell;
};
constexpr std::array<CategoryButton, TOVSymbolsPaletteWindowController::CategoryCount> kCategoryButtons = {{
    {"Clef", 0},
    {"Key", 1},
    {"Time", 3},
    {"Rehearsal", 7},
    {"Barline", 6},
    {"Repeat", 6},
    {"Dynamics", 3},
    {"Octave", 0},
    {"Tempo", 6},
    {"Push", 0},
    {"Articulation", 2},
    {"Tools", 1},
}};
constexpr int kButtonIconSize = 28;

// A toolbar image: the icon's drawing without its margins, as large as the button shows it.
QIcon buttonImage(const platform::Image& icon) {
    const QImage& image = icon.qImage();
    const QRect ink = inkBounds(image);
    if (ink.isEmpty()) {
        return QIcon();
    }
    const int side = std::max({ink.width(), ink.height(), kButtonIconSize});
    QImage square(side, side, QImage::Format_ARGB32_Premultiplied);
    square.fill(Qt::transparent);
    QPainter painter(&square);
    painter.drawImage(QPoint((side - ink.width()) / 2, (side - ink.height()) / 2), image.copy(ink));
    painter.end();
    return QIcon(QPixmap::fromImage(square));
}

} // namespace

TOVSymbolsPaletteWindowController* TOVSymbolsPaletteWindowController::singletonInstance() {
    static std::mutex lock;
    static TOVSymbolsPaletteWindowController* instance = nullptr;
    std::lock_guard<std::mutex> guard(lock);
    if (instance == nullptr) {
        instance = new TOVSymbolsPaletteWindowController();
    }
    return instance;
}

TOVSymbolsPaletteWindowController::TOVSymbolsPaletteWindowController()
    : WindowController(std::make_unique<platform::Window>(platform::Window::Kind::Palette)) {
    createPaletteItems();
    addActionHandler("toolbarItemSelected:",
                     [this](platform::MenuItem* sender) { toolbarItemSelected(sender); });

    platform::Window* palette = window();
    palette->setObjectName(QStringLiteral("TOVSymbolsPaletteWindowController"));
    palette->setWindowTitle(QString::fromStdString(platform::localized("Symbols Palette")));
    auto* content = new QWidget;
    auto* column = new QVBoxLayout(content);
    collectionView_ = new TOVPaletteCollectionView(content);
    collectionView_->setObjectName(QStringLiteral("collectionView"));
    collectionView_->setMaxColumns(kColumns);
    collectionView_->setSelectionHandler(
        [this](const platform::CellGrid::IndexSet& selection) { selectionDidChange(selection); });
    // Room for the largest category.
    collectionView_->setFixedSize(static_cast<int>(kColumns * TOVPaletteCollectionView::kCellSize.width),
                                  static_cast<int>(kRows * TOVPaletteCollectionView::kCellSize.height));
    column->addWidget(collectionView_, 0, Qt::AlignHCenter);
    labelField_ = new QLabel(content);
    labelField_->setObjectName(QStringLiteral("strLabel"));
    QFont bold = labelField_->font();
    bold.setBold(true);
    labelField_->setFont(bold);
    hintField_ = new QLabel(content);
    hintField_->setObjectName(QStringLiteral("strHint"));
    hintField_->setWordWrap(true);
    column->addWidget(labelField_);
    column->addWidget(hintField_);
    column->addStretch(1);
    palette->setCentralWidget(content);

    toolbar_ = new platform::Toolbar("TOVSymbolsPaletteToolbar", *palette);
    toolbar_->setDisplayMode(platform::Toolbar::DisplayMode::IconOnly);
    for (std::size_t tag = 0; tag < CategoryCount; ++tag) {
        const CategoryButton& button = kCategoryButtons[tag];
        auto item = std::make_shared<platform::ToolbarItem>(button.name);
        item->setLabel(platform::localized(button.name));
        item->setToolTip(item->label());
        item->setTag(static_cast<int>(tag));
        item->setAction("toolbarItemSelected:");
        item->setTarget(this);
        item->setSelectable(true);
        item->setImage(buttonImage(paletteItemsArray_[tag][button.cell].icon));
        toolbar_->addItem(std::move(item));
    }
    toolbar_->toolBar()->setIconSize(QSize(kButtonIconSize, kButtonIconSize));
    // Every category's button shows, none in an overflow menu.
    palette->setMinimumWidth(toolbar_->toolBar()->sizeHint().width());

    // The window is loaded: the clefs, with the first selected, until the user chooses.
    if (toolbar_->selectedItemIdentifier().empty()) {
        toolbar_->setSelectedItemIdentifier("Clef");
        changeCategory(Clefs);
    }
    palette->resize(palette->sizeHint());
    palette->hide();
}

TOVSymbolsPaletteWindowController::~TOVSymbolsPaletteWindowController() {
    collectionView_->setSelectionHandler({});
}

void TOVSymbolsPaletteWindowController::showUp() {
    platform::Window* palette = window();
    palette->show();
    palette->raise();
}

void TOVSymbolsPaletteWindowController::toolbarItemSelected(platform::MenuItem* sender) {
    if (sender == nullptr || sender->toolbarItem() == nullptr || sender->tag() < 0) {
        return;
    }
    changeCategory(static_cast<std::size_t>(sender->tag()));
}

void TOVSymbolsPaletteWindowController::changeCategory(std::size_t tag) {
    if (tag >= paletteItemsArray_.size()) {
        return;
    }
    category_ = tag;
    collectionView_->setItems(&paletteItemsArray_[tag]);
    collectionView_->scrollToItem(0);
    // New content selects its first item, as the label and hint then say.
    collectionView_->setSelectionIndexes({0});
}

void TOVSymbolsPaletteWindowController::selectionDidChange(const platform::CellGrid::IndexSet& selection) {
    const TOVPaletteItems& items = paletteItems();
    if (!selection.empty() && *selection.begin() < items.size()) {
        strLabel_ = items[*selection.begin()].label;
        strHint_ = items[*selection.begin()].hint;
    } else {
        strLabel_.clear();
        strHint_.clear();
    }
    labelField_->setText(QString::fromStdString(strLabel_));
    hintField_->setText(QString::fromStdString(strHint_));
}

std::optional<platform::DraggingInfo> TOVSymbolsPaletteWindowController::collectionViewWriteItemsAtIndexes(
    const platform::CellGrid::IndexSet& indexes) const {
    return writeItemsAtIndexes(paletteItems(), indexes);
}

void TOVSymbolsPaletteWindowController::createPaletteItems() {
    paletteItemsArray_ = {
        createItemsForClefs(),         createItemsForKeySignatures(), createItemsForTimeSignatures(),
        createItemsForReharsalMarks(), createItemsForBarlines(),      createItemsForRepeeats(),
        createItemsForDynamics(),      createItemsForOctave(),        createItemsForTempo(),
        createItemsForPush(),          createItemsForArticulation(),  createItemsForDrawingTools()};
}

TOVPaletteItems TOVSymbolsPaletteWindowController::createItemsForClefs() {
    return inCodeOrder(TOVSymbolClefG, TOVPaletteTypes::SymbolForBarView,
                       {{"G Clef", "clefToon"}, {"F Clef", "clefHeon"}});
}

TOVPaletteItems TOVSymbolsPaletteWindowController::createItemsForKeySignatures() {
    // The sharp keys, then the flat keys; no item for a key without accidentals.
    return inCodeOrder(TOVSymbolKeySharp1, TOVPaletteTypes::SymbolForBarView,
                       {{"G major / E minor", "keySharpX1"},
                        {"D major / B minor", "keySharpX2"},
                        {"A major / F# minor", "keySharpX3"},
                        {"E major / C# minor", "keySharpX4"},
                        {"B major / G# minor", "keySharpX5"},
                        {"F# major / D# minor", "keySharpX6"},
                        {"C# major / A# minor", "keySharpX7"},
                        {"F major / D minor", "keyFlatX1"},
                        {"Bb major / G minor", "keyFlatX2"},
                        {"Eb major / C minor", "keyFlatX3"},
                        {"Ab major / F minor", "keyFlatX4"},
                        {"Db major / Bb minor", "keyFlatX5"},
                        {"Gb major / Eb minor", "keyFlatX6"},
                        {"Cb major / Ab minor", "keyFlatX7"}});
}

TOVPaletteItems TOVSymbolsPaletteWindowController::createItemsForTimeSignatures() {
    // Common time stands beside 4-4 time, not at the end where its code is.
    return withCodes(TOVPaletteTypes::SymbolForBarView, {{"1-4 time", "time1_4", TOVSymbolTime1_4},
                                                         {"2-4 time", "time2_4", TOVSymbolTime2_4},
                                                         {"3-4 time", "time3_4", TOVSymbolTime3_4},
                                                         {"4-4 time", "time4_4", TOVSymbolTime4_4},
                                                         {"C time", "time_c", TOVSymbolTimeCommon},
                                                         {"5-4 time", "time5_4", TOVSymbolTime5_4},
                                                         {"6-4 time", "time6_4", TOVSymbolTime6_4},
                                                         {"7-4 time", "time7_4", TOVSymbolTime7_4},
                                                         {"3-8 time", "time3_8", TOVSymbolTime3_8},
                                                         {"5-8 time", "time5_8", TOVSymbolTime5_8},
                                                         {"6-8 time", "time6_8", TOVSymbolTime6_8},
                                                         {"7-8 time", "time7_8", TOVSymbolTime7_8},
                                                         {"9-8 time", "time9_8", TOVSymbolTime9_8},
                                                         {"12-8 time", "time12_8", TOVSymbolTime12_8}});
}

TOVPaletteItems TOVSymbolsPaletteWindowController::createItemsForReharsalMarks() {
    return inCodeOrder(TOVSymbolMarkIntro, TOVPaletteTypes::SymbolForBarView,
                       {{"Rehearsal Mark - Intro", "rehearsalIntro"},
                        {"Rehearsal Mark - Inter", "rehearsalInter"},
                        {"Rehearsal Mark - Vamp", "rehearsalVamp"},
                        {"Rehearsal Mark - Solo", "rehearsalSolo"},
                        {"Rehearsal Mark - End", "rehearsalEnd"},
                        {"Rehearsal Mark - Verse", "rehearsalVerse"},
                        {"Rehearsal Mark - Chorus", "rehearsalChorus"},
                        {"Rehearsal Mark - A", "rehearsalA"},
                        {"Rehearsal Mark - B", "rehearsalB"},
                        {"Rehearsal Mark - C", "rehearsalC"},
                        {"Rehearsal Mark - D", "rehearsalD"},
                        {"Rehearsal Mark - E", "rehearsalE"},
                        {"Rehearsal Mark - F", "rehearsalF"},
                        {"Rehearsal Mark - G", "rehearsalG"},
                        {"Rehearsal Mark - H", "rehearsalH"},
                        {"Rehearsal Mark - I", "rehearsalI"},
                        {"Rehearsal Mark - J", "rehearsalJ"},
                        {"Rehearsal Mark - 1", "rehearsal1"},
                        {"Rehearsal Mark - 2", "rehearsal2"},
                        {"Rehearsal Mark - 3", "rehearsal3"},
                        {"Rehearsal Mark - 4", "rehearsal4"},
                        {"Rehearsal Mark - 5", "rehearsal5"},
                        {"Rehearsal Mark - 6", "rehearsal6"},
                        {"Rehearsal Mark - 7", "rehearsal7"},
                        {"Rehearsal Mark - 8", "rehearsal8"}});
}

TOVPaletteItems TOVSymbolsPaletteWindowController::createItemsForBarlines() {
    return inCodeOrder(TOVBarlineSingle, TOVPaletteTypes::SymbolForBarlineView,
                       {{"Single Bar", "barlinesSingle"},
                        {"Dotted Bar", "barlinesDotted"},
                        {"Grate Double Bar", "barlinesGrateDouble"},
                        {"Double Bar", "barlinesDouble"},
                        {"Repeat Mark - Left", "barlinesRepeatLeft"},
                        {"Repeat Mark - Right", "barlinesRepeatRight"},
                        {"Repeat Mark - Both", "barlinesRepeatBoth"},
                        {"Non-visible Barline", "barlinesTransparent"}});
}

TOVPaletteItems TOVSymbolsPaletteWindowController::createItemsForRepeeats() {
    // Volta and bis offer their openings only: their closings are placed with them.
    return withCodes(TOVPaletteTypes::SymbolForBarView,
                     {{"Da Capo", "repeatDaCapo", TOVSymbolDaCapo},
                      {"Dal Segno", "repeatDalSegno", TOVSymbolDalSegno},
                      {"Bis", "repeatBis", TOVSymbolBisBegin},
                      {"Fine", "repeatFine", TOVSymbolFine},
                      {"To Coda", "repeatToCoda", TOVSymbolToCoda},
                      {"Coda", "repeatCoda", TOVSymbolCoda},
                      {"Segno", "repeatSegno", TOVSymbolSegno},
                      {"Volta", "repeatVoltaSingle", TOVSymbolVoltaBegin},
                      {"Straight", "repeatStraight", TOVSymbolStraight},
                      {"Repeat", "repeatRepeat2", TOVSymbolRepeatTimes},
                      {"Simile", "repeatSimile", TOVSymbolSimile},
                      {"Tacet", "repeatTacet", TOVSymbolTacet},
                      {"Long rest", "repeatLongRests", TOVSymbolLongRest},
                      {"Repeat previous bar", "repeatPrevBar", TOVSymbolRepeatPrevBar1},
                      {"Repeat previous 2 bars", "repeatPrev2Bar", TOVSymbolRepeatPrevBar2},
                      {"Repeat previous 4 bars", "repeatPrev4Bar", TOVSymbolRepeatPrevBar4}});
}

TOVPaletteItems TOVSymbolsPaletteWindowController::createItemsForDynamics() {
    return inCodeOrder(TOVSymbolDynamicsFFF, TOVPaletteTypes::SymbolForBarView,
                       {{"Fortississimo", "dynamicsFFF"},
                        {"Fortissimo", "dynamicsFF"},
                        {"Forte", "dynamicsF"},
                        {"Mezzo forte", "dynamicsMF"},
                        {"Pianississimo", "dynamicsPPP"},
                        {"Pianissimo", "dynamicsPP"},
                        {"Piano", "dynamicsP"},
                        {"Mezzo piano", "dynamicsMP"},
                        {"Fortepiano", "dynamicsFP"},
                        {"Sforzando", "dynamicsSF"},
                        {"Sforzando", "dynamicsSFZ"},
                        {"Forzando", "dynamicsFZ"},
                        {"Crescendo", "dynamicsCrescendo"},
                        {"Decrescendo", "dynamicsDecrescendo"}});
}

TOVPaletteItems TOVSymbolsPaletteWindowController::createItemsForOctave() {
    return inCodeOrder(TOVSymbolOctave8va, TOVPaletteTypes::SymbolForBarView,
                       {{"8va", "octave8va"},
                        {"8va bassa", "octave8vaBassa"},
                        {"15ma", "octave15ma"},
                        {"15ma bassa", "octave15maBassa"}});
}

TOVPaletteItems TOVSymbolsPaletteWindowController::createItemsForTempo() {
    return inCodeOrder(TOVSymbolRit, TOVPaletteTypes::SymbolForBarView,
                       {{"Rit", "tempoRit"},
                        {"Poco rit", "tempoPocoRit"},
                        {"Accel", "tempoAccel"},
                        {"Poco accel", "tempoPocoAccel"},
                        {"A tempo", "tempoATempo"},
                        {"Rubato", "tempoRubato"},
                        {"Speed", "tempoSpeed"},
                        {"Shuffle 8th", "shuffle8"},
                        {"Shuffle 16th", "shuffle16"}});
}

TOVPaletteItems TOVSymbolsPaletteWindowController::createItemsForPush() {
    return inCodeOrder(TOVSymbolPush8, TOVPaletteTypes::SymbolForBarView,
                       {{"Push 8th", "push8"}, {"Push 16th", "push16"}});
}

TOVPaletteItems TOVSymbolsPaletteWindowController::createItemsForArticulation() {
    return inCodeOrder(TOVSymbolTenuto, TOVPaletteTypes::SymbolForNoteView,
                       {{"Tenuto", "ArticulationTenuto"},
                        {"Staccato", "ArticulationStaccato"},
                        {"Fermata", "ArticulationFermata"},
                        {"Accento", "ArticulationAccento"},
                        {"Marcato", "ArticulationMarcato"},
                        {"Arpeggio", "ArticulationS"},
                        {"Slur", "ArticulationSlur"}});
}

TOVPaletteItems TOVSymbolsPaletteWindowController::createItemsForDrawingTools() {
    return inCodeOrder(TOVToolFreeText, TOVPaletteTypes::SymbolForNoteView,
                       {{"Free text", "drawingToolsText"},
                        {"Arrow", "drawingToolsArrow"},
                        {"Wave", "drawingToolsWave"},
                        {"Line", "drawingToolsLine"}});
}
