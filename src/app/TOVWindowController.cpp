#include "app/TOVWindowController.h"

#include "app/TOVEditorViewController.h"
#include "app/TOVNavigationWindowController.h"
#include "app/TOVSettingSheets.h"
#include "app/TOVSonSettingWindowController.h"
#include "app/TOVSongSettingViewController.h"
#include "app/TOVWindowControllerDelegate.h"
#include "app/TOVWindowKeys.h"

#include "input/TOVChordWindowController.h"
#include "input/TOVSymbolsPaletteWindowController.h"

#include "layout/TOVEditorView.h"
#include "model/Document.h"
#include "model/Line.h"
#include "model/Page.h"
#include "model/Song.h"
#include "model/TOVNewSongLayout.h"
#include "platform/data/ManagedObjectContext.h"
#include "platform/foundation/Resources.h"
#include "platform/foundation/UndoManager.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/Alert.h"
#include "platform/ui/ChildPanel.h"
#include "platform/ui/Event.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/ToolbarItem.h"
#include "platform/ui/ViewHost.h"
#include "platform/ui/Window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QToolBar>

#include <cmath>
#include <cstdint>
#include <cstdio>

namespace {

constexpr const char* kDisplaySizeAuto = "displaySizeAuto";
constexpr const char* kDisplaySizeNumber = "displaySizeNumber";
constexpr const char* kDocumentWindowSize = "documentWindowSize";

// An A4 page at 100%, with the editor's margins, in pixels.
constexpr int kA4PageWidthAt100 = 615;
constexpr int kDefaultWindowHeight = 760;

// The width, in points, that the editor shows at 100%: an A4 page and its margins.
constexpr float kAutoZoomWidth = 615.0f;

QString tr(const char* english) {
    return QString::fromStdString(platform::localized(english));
}

// The number at the start of a text, as a number field reads it ("150%" reads 150); 0 without one.
double leadingNumber(const QString& text) {
    const QString trimmed = text.trimmed();
    qsizetype end = 0;
    bool digits = false;
    bool point = false;
    if (end < trimmed.size() && (trimmed[end] == u'+' || trimmed[end] == u'-')) {
        ++end;
    }
    for (; end < trimmed.size(); ++end) {
        const QChar c = trimmed[end];
        if (c.isDigit() && c.unicode() < 128) {
            digits = true;
        } else if (c == u'.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (!digits) {
        return 0.0;
    }
    bool ok = false;
    const double value = trimmed.left(end).toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0.0;
}

QString percentText(std::int64_t value) {
    return QStringLiteral("%1%").arg(value);
}

// Calls back after every resize of the watched widget.
class ResizeWatcher : public QObject {
public:
    ResizeWatcher(QObject* parent, std::function<void()> resized)
        : QObject(parent), resized_(std::move(resized)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Resize) {
            resized_();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> resized_;
};

} // namespace

TOVWindowController::TOVWindowController(const std::string& windowNibName)
    : windowNibName_(windowNibName), editorController_(std::make_shared<TOVEditorViewController>()),
      navigationWindowController_(std::make_unique<TOVNavigationWindowController>()) {
    editorController_->setDelegate(this);
    // The window's commands reach it along the responder chain from the menus.
    addActionHandler("editSongProperties:", [this](platform::MenuItem*) { editSongProperties(); });
    addActionHandler("editBarsModeDidChange:", [this](platform::MenuItem* sender) {
        if (sender != nullptr) {
            editBarsModeDidChange(sender->tag());
        }
    });
    addActionHandler("delete:", [this](platform::MenuItem*) { deleteSelection(); });
    addActionHandler("showChordWindow:", [this](platform::MenuItem*) { showChordWindow(); });
    addActionHandler("showSymbolPalette:", [](platform::MenuItem*) {
        TOVSymbolsPaletteWindowController::singletonInstance()->showUp();
    });
    addActionHandler("editSymbolProperties:", [this](platform::MenuItem*) { editSymbolProperties(); });
    addActionHandler("toggleShowGrid:", [this](platform::MenuItem*) {
        editorController_->setShowGrid(!editorController_->showGrid());
    });
    addActionHandler("numberOfRowsDidChange:", [this](platform::MenuItem* sender) {
        if (sender != nullptr) {
            numberOfRowsDidChange(sender->tag());
        }
    });
    addActionHandler("barNumberShowTypeDidChange:", [this](platform::MenuItem* sender) {
        if (sender != nullptr && docData() != nullptr && sender->tag() >= 0) {
            docData()->setBarNumberShow(static_cast<std::uint64_t>(sender->tag()));
        }
    });
    // The counts of the "A Page" and "Partition" menus: the item's tag is the count.
    addActionHandler("numberOfLinesInSelectedPageDidChange:", [this](platform::MenuItem* sender) {
        if (sender != nullptr && sender->tag() > 0) {
            editorController_->setNumberOfLinesInSelectedPage(static_cast<std::uint64_t>(sender->tag()));
        }
    });
    addActionHandler("numberOfBarsInSelectedLineDidChange:", [this](platform::MenuItem* sender) {
        if (sender != nullptr && sender->tag() > 0) {
            editorController_->setNumberOfBarsInSelectedLine(static_cast<std::uint64_t>(sender->tag()));
        }
    });
    // The panel exists from the start and stays hidden until the window places it.
    navigationWindowController_->window()->hide();
}

TOVWindowController::~TOVWindowController() {
    delete resizeWatcher_.data();
    if (platform::Window* window = platform::WindowController::window()) {
        window->makeFirstResponder(nullptr);
    }
    if (platform::ViewHost* host = editorController_->host()) {
        host->setUnhandledKeyHandler({});
    }
    editorController_->setDelegate(nullptr);
    if (toolbar_ != nullptr) {
        toolbar_->setToolbarDelegate(nullptr);
    }
}

platform::Window* TOVWindowController::window() {
    loadWindow();
    return platform::WindowController::window();
}

void TOVWindowController::loadWindow() {
    if (windowLoaded_) {
        return;
    }
    windowLoaded_ = true;
    buildWindow();
    windowDidLoad();
}

void TOVWindowController::buildWindow() {
    auto window = std::make_unique<platform::Window>(platform::Window::Kind::Document);
    window->setObjectName(QString::fromStdString(windowNibName_));

    toolbar_ = new TOVToolbar("TOVDocumentToolbar", *window);

    editBarModeSelector_ = new QComboBox;
    editBarModeSelector_->setObjectName(QStringLiteral("editBarModeSelector"));
    // The toolbar's controls are for the mouse: the keyboard stays with the score, or the arrow keys meant
    // for it would switch the bar-range mode.
    editBarModeSelector_->setFocusPolicy(Qt::NoFocus);
    const char* modes[] = {"Normal", "Copy Bars", "Paste Bars", "Cut Bars", "Delete Bars"};
    for (int tag = 0; tag < 5; ++tag) {
        editBarModeSelector_->addItem(tr(modes[tag]), tag);
    }
    auto editItem = std::make_shared<platform::ToolbarItem>("EditBarMode");
    editItem->setLabel(platform::localized("Edit Bars"));
    editItem->setView(editBarModeSelector_);
    toolbar_->addItem(editItem);

    auto* zoom = new QWidget;
    auto* zoomRow = new QHBoxLayout(zoom);
    zoomRow->setContentsMargins(0, 0, 0, 0);
    displaySizeSelector_ = new QComboBox(zoom);
    displaySizeSelector_->setObjectName(QStringLiteral("displaySizeSelector"));
    displaySizeSelector_->setEditable(true);
    displaySizeSelector_->setInsertPolicy(QComboBox::NoInsert);
    // A typed size is taken as typed: completing "12" from the list would make it 125%.
    displaySizeSelector_->setCompleter(nullptr);
    for (const char* size : {"100%", "50%", "75%", "125%", "150%", "200%", "300%", "400%"}) {
        displaySizeSelector_->addItem(QString::fromLatin1(size));
    }
    displaySizeSelector_->setMinimumContentsLength(6);
    displaySizeAutoSwitch_ = new QCheckBox(tr("Fit Width"), zoom);
    displaySizeAutoSwitch_->setObjectName(QStringLiteral("displaySizeAutoSwitch"));
    displaySizeAutoSwitch_->setFocusPolicy(Qt::NoFocus);
    zoomRow->addWidget(displaySizeSelector_);
    zoomRow->addWidget(displaySizeAutoSwitch_);
    auto zoomItem = std::make_shared<platform::ToolbarItem>("DisplaySize");
    zoomItem->setLabel(platform::localized("Zoom"));
    zoomItem->setView(zoom);
    toolbar_->addItem(zoomItem);

    auto* area = new QWidget;
    area->setObjectName(QStringLiteral("navigationArea"));
    // Wide and high enough for a title over the longest hint, which wraps to two lines.
    area->setFixedSize(460, 50);
    toolbarItemNavigationArea_ = std::make_shared<platform::ToolbarItem>("NavigationArea");
    toolbarItemNavigationArea_->setView(area);
    toolbar_->addItem(toolbarItemNavigationArea_);

    // A chosen zoom (from the list or typed and confirmed with Return) and the automatic switch apply it.
    QObject::connect(displaySizeSelector_, &QComboBox::activated, [this](int) { displaySizeDidChange(); });
    QObject::connect(displaySizeSelector_->lineEdit(), &QLineEdit::returnPressed,
                     [this] { displaySizeDidChange(); });
    QObject::connect(editBarModeSelector_, &QComboBox::activated, [this](int index) {
        editBarsModeDidChange(editBarModeSelector_->itemData(index).toInt());
    });
    QObject::connect(displaySizeAutoSwitch_, &QCheckBox::clicked, [this](bool checked) {
        isDisplaySizeAuto_ = checked;
        displaySizeDidChange();
    });

    auto* content = new QWidget;
    content->setObjectName(QStringLiteral("contentView"));
    auto* contentLayout = new QVBoxLayout(content);
    contentLayout->setContentsMargins(0, 0, 0, 0);
    window->setCentralWidget(content);
    if (QWidget* editor = editorController_->view()) {
        contentLayout->addWidget(editor);
    }

    window->resize(initialWindowSize(*window));
    // The size the user gives a document window is the size of the next one.
    auto* sizeWatcher = new ResizeWatcher(window.get(), [window = window.get()] {
        if (window->isVisible()) {
            platform::UserDefaults::standard().setString(kDocumentWindowSize,
                                                         std::to_string(window->width()) + "x" +
                                                             std::to_string(window->height()));
        }
    });
    window->installEventFilter(sizeWatcher);
    setWindow(std::move(window));
}

QSize TOVWindowController::initialWindowSize(const QWidget& window) const {
    // Room for the whole toolbar (the hint panel goes with its item when the bar overflows) and for an A4
    // page at 100% beside the scroll bar.
    int width = kA4PageWidthAt100 + window.style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 2;
    if (toolbar_ != nullptr && toolbar_->toolBar() != nullptr) {
        width = std::max(width, toolbar_->toolBar()->sizeHint().width());
    }
    QSize size(width, kDefaultWindowHeight);
    if (const std::optional<std::string> remembered =
            platform::UserDefaults::standard().stringForKey(kDocumentWindowSize)) {
        int w = 0;
        int h = 0;
        if (std::sscanf(remembered->c_str(), "%dx%d", &w, &h) == 2 && w > 0 && h > 0) {
            size = QSize(w, h);
        }
    }
    // Never larger than the screen it opens on.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        size = size.boundedTo(screen->availableGeometry().size());
    }
    return size;
}

void TOVWindowController::windowDidLoad() {
    platform::Window* window = platform::WindowController::window();
    if (window == nullptr) {
        return;
    }
    // The editor leaves the arrow and delete keys to the window.
    if (platform::ViewHost* host = editorController_->host()) {
        host->setUnhandledKeyHandler([this](const platform::Event& event) { keyDown(event); });
    }
    // The zoom follows the width of the editor's visible area, and the panel the window.
    if (QScrollArea* scroll = editorController_->scrollView()) {
        auto* watcher = new ResizeWatcher(scroll->viewport(), [this] { windowDidResize(); });
        scroll->viewport()->installEventFilter(watcher);
        resizeWatcher_ = watcher;
    }
    displaySizeSelector_->setCurrentIndex(0);
    toolbar_->setToolbarDelegate(this);
    adjustNavigationWindowFrame();

    songSettingWindowController_ = std::make_unique<TOVSonSettingWindowController>();
    chordWindowController_ = std::make_unique<TOVChordWindowController>();
    repeatSheet_ = std::make_unique<TOVRepeatSettingWindowController>();
    voltaSheet_ = std::make_unique<TOVVoltaSettingWindowController>();
    speedSheet_ = std::make_unique<TOVSpeedSettingWindowController>();
    longRestSheet_ = std::make_unique<TOVLongRestSettingWindowController>();
    daCapoSheet_ = std::make_unique<TOVDaCapoSettingWindowController>();

    platform::UserDefaults& defaults = platform::UserDefaults::standard();
    isDisplaySizeAuto_ = defaults.boolForKey(kDisplaySizeAuto);
    displaySizeAutoSwitch_->setChecked(isDisplaySizeAuto_);
    if (!isDisplaySizeAuto_) {
        displaySizeSelector_->setEditText(
            QString::fromStdString(defaults.stringForKey(kDisplaySizeNumber).value_or(std::string())));
    }
    updateDisplaySize();

    // The document object controller fetches the root object once the window is there.
    if (content_ == nullptr && context_ != nullptr) {
        setDocumentContent(docData());
    }
    // The score has the keyboard when the window first shows, not a control of the toolbar.
    makeEditorFirstResponder();
}

// --- The document ---

platform::UndoManager* TOVWindowController::undoManager() const {
    return context_ != nullptr ? &context_->undoManager() : nullptr;
}

platform::UndoManager* TOVWindowController::undoManager() {
    return static_cast<const TOVWindowController*>(this)->undoManager();
}

void TOVWindowController::setDocumentContent(Document* document) {
    if (document == content_) {
        return;
    }
    content_ = document;
    if (document == nullptr) {
        return;
    }
    if (delegate_ != nullptr) {
        delegate_->windowControllerDidParseDocument(this, document);
    }
    editorController_->setDocData(document);
    if (delegate_ != nullptr) {
        delegate_->windowControllerDidLoadDocument(this, document);
    }
}

Document* TOVWindowController::docData() const {
    if (content_ != nullptr) {
        return content_;
    }
    if (context_ == nullptr) {
        return nullptr;
    }
    for (platform::ManagedObject* object : context_->fetchObjects("Document")) {
        if (auto* document = dynamic_cast<Document*>(object)) {
            return document;
        }
    }
    return nullptr;
}

QString TOVWindowController::songName() const {
    const Document* document = docData();
    const Song* song = document != nullptr ? document->song() : nullptr;
    if (song == nullptr) {
        return QStringLiteral("");
    }
    const auto name = song->name();
    return name ? name->string() : QStringLiteral("");
}

// --- Zoom ---

double TOVWindowController::displaySize() const {
    return displaySizeSelector_ != nullptr ? leadingNumber(displaySizeSelector_->currentText()) : 0.0;
}

void TOVWindowController::setDisplaySize(double size) {
    if (displaySizeSelector_ != nullptr) {
        displaySizeSelector_->setEditText(percentText(static_cast<std::int64_t>(size)));
    }
}

void TOVWindowController::updateDisplaySize() {
    if (displaySizeSelector_ == nullptr) {
        return;
    }
    float s = 0.0f;
    if (isDisplaySizeAuto_) {
        s = static_cast<float>(editorContentWidth()) / kAutoZoomWidth;
        displaySizeSelector_->setEditText(percentText(static_cast<std::int64_t>(100.0f * s)));
    } else {
        s = static_cast<float>(displaySize() / 100.0);
    }
    if (s == 0.0f) {
        return;
    }
    if (s < 0.25f) {
        displaySizeSelector_->setEditText(QStringLiteral("25%"));
        s = 0.25f;
    } else if (s > 16.0f) {
        displaySizeSelector_->setEditText(QStringLiteral("1600%"));
        s = 16.0f;
    }
    applyEditorScale(s);
    if (!displaySizeSelector_->currentText().endsWith(u'%')) {
        displaySizeSelector_->setEditText(displaySizeSelector_->currentText() + QStringLiteral("%"));
    }
}

void TOVWindowController::displaySizeDidChange() {
    updateDisplaySize();
    platform::UserDefaults& defaults = platform::UserDefaults::standard();
    defaults.setBool(kDisplaySizeAuto, isDisplaySizeAuto_);
    if (displaySizeSelector_ != nullptr) {
        defaults.setString(kDisplaySizeNumber, displaySizeSelector_->currentText().toStdString());
    }
    makeEditorFirstResponder();
}

TOVEditorView* TOVWindowController::printableView() {
    clearEditorSelection();
    isDisplaySizeAuto_ = false;
    if (displaySizeAutoSwitch_ != nullptr) {
        displaySizeAutoSwitch_->setChecked(false);
    }
    if (displaySizeSelector_ != nullptr) {
        displaySizeSelector_->setEditText(QStringLiteral("100%"));
    }
    displaySizeDidChange();
    return editorView();
}

// --- Navigation panel ---

void TOVWindowController::adjustNavigationWindowFrame() {
    platform::ChildPanel* panel = navigationWindowController_->window();
    QWidget* area = toolbar_ != nullptr ? toolbar_->widgetForItem(toolbarItemNavigationArea_.get()) : nullptr;
    if (panel == nullptr || area == nullptr) {
        return;
    }
    // The panel covers its toolbar item, a little narrower and lower than the item, and follows the
    // window from then on.
    constexpr int kInsetTop = 2;
    constexpr int kInsetBottom = 2;
    panel->resize(std::max(0, area->width() - 5), std::max(0, area->height() - kInsetTop - kInsetBottom));
    panel->attachToWidget(area, QPoint(0, -area->height() + kInsetTop));
    // A toolbar too narrow for the item moves it out of sight; the panel goes with it.
    const bool shown =
        toolbar_->displayMode() != platform::Toolbar::DisplayMode::LabelOnly && area->isVisible();
    panel->setVisible(shown);
}

void TOVWindowController::windowDidResize() {
    if (isDisplaySizeAuto_) {
        updateDisplaySize();
    }
    adjustNavigationWindowFrame();
}

void TOVWindowController::toolbarDidChangeDisplayMode(TOVToolbar*, platform::Toolbar::DisplayMode mode) {
    platform::ChildPanel* panel = navigationWindowController_->window();
    if (mode == platform::Toolbar::DisplayMode::LabelOnly) {
        panel->hide();
    } else {
        adjustNavigationWindowFrame();
    }
}

void TOVWindowController::editorRequireShowNavigationMessageTitlePriority(TOVEditorViewController*,
                                                                          const QString& message,
                                                                          const QString& title,
                                                                          int priority) {
    navigationWindowController_->showMessageTitlePriority(message, title, priority);
    // The editor tells the user of each change of its bar-range mode, also of those it makes on its own
    // (back to normal after a paste); the mode pop-up follows it here.
    if (editBarModeSelector_ != nullptr) {
        const int index = editBarModeSelector_->findData(editorController_->editBarsMode());
        if (index >= 0 && index != editBarModeSelector_->currentIndex()) {
            editBarModeSelector_->setCurrentIndex(index);
        }
    }
}

// --- New document ---

void TOVWindowController::createSongSettingFrom(TOVSongSettingViewController* viewController) {
    Document* document = docData();
    if (document == nullptr) {
        return;
    }
    Song* song = document->createNewSong();
    if (viewController != nullptr) {
        viewController->commitPropertiesIn(song);
    }
}

void TOVWindowController::createInitialPage() {
    TOVNewSongLayout::createInitialPageIn(docData());
}

void TOVWindowController::updateEditorView() {
    if (TOVEditorView* editor = editorView()) {
        editor->createAllSubviews(TOVBarId{0, false});
    }
}

void TOVWindowController::updateAllChordViews() {
    editorController_->updateAllChordViews();
    if (chordWindowController_ != nullptr) {
        chordWindowController_->refreshAllItems();
    }
}

// --- Commands of the window ---

void TOVWindowController::editSongProperties() {
    Document* document = docData();
    if (songSettingWindowController_ == nullptr || document == nullptr) {
        return;
    }
    songSettingWindowController_->setSong(document->song());
    songSettingWindowController_->runModalOnWindow(window());
}

void TOVWindowController::editBarsModeDidChange(int tag) {
    editorController_->setEditBarsMode(tag);
}

bool TOVWindowController::validateMenuItem(platform::MenuItem& item) {
    const TOVEditorViewController& editor = *editorController_;
    const std::string& title = item.title();
    const std::string menu = item.menu() != nullptr ? item.menu()->title() : std::string();
    const auto check = [&item](bool on) {
        item.setState(on ? platform::MenuItem::OnState : platform::MenuItem::OffState);
    };
    // The note, symbol and bar commands whose tests are not there yet stay off; so do their check marks.
    if (title == "Delete") {
        return editor.canEnableDeleteMenu();
    }
    if (title == "Symbol Properties") {
        return editor.editBarsMode() == TOVEditorViewController::Normal &&
               editor.canEnableSymbolPropertiesMenu();
    }
    if (title == "Beam") {
        check(false);
        return editor.canEnableBeamMenu();
    }
    if (title == "Convert Note <--> Rest" || title == "Flip") {
        return false;
    }
    if (title == "Unite") {
        check(false);
        return false;
    }
    if (title == "0") {
        item.setEnabled(false);
        check(true);
        return false;
    }
    if (menu == "Accidental" || menu == "Enharmonic" || menu == "Note Head") {
        return false;
    }
    if (title == "Grid") {
        check(editor.showGrid());
        return true;
    }
    if (title == "Paste Bars") {
        return false;
    }
    if (title == "Normal") {
        return true;
    }
    return editor.editBarsMode() == TOVEditorViewController::Normal;
}

void TOVWindowController::editSymbolProperties() {
    if (editorController_->editBarsMode() == TOVEditorViewController::Normal) {
        editorController_->performSymbolPropertiesOperation();
    }
}

void TOVWindowController::numberOfRowsDidChange(int rows) {
    if (rows < 1 || rows > 2 ||
        static_cast<std::uint64_t>(rows) == editorController_->numberOfRowsInSelectedLine()) {
        return;
    }
    if (rows == 2) {
        editorController_->setNumberOfRowsInSelectedLine(2);
        return;
    }
    // Going back to one row deletes the lower part: only when the user says so.
    const auto alert = platform::Alert::alertWithMessage(
        platform::localized("Delete lower part"), platform::localized("Continue"),
        platform::localized("Cancel"), {}, platform::localized("Lower part will be deleted."));
    const std::weak_ptr<TOVEditorViewController> editor = editorController_;
    alert->beginSheetModalForWindow(window(), [editor](int code) {
        if (const auto alive = editor.lock(); alive && code == platform::Alert::DefaultReturn) {
            alive->setNumberOfRowsInSelectedLine(1);
        }
    });
}

void TOVWindowController::deleteSelection() {
    if (editorController_->canEnableDeleteMenu()) {
        editorController_->performDeleteOperation();
    }
}

void TOVWindowController::showChordWindow() {
    showChordWindowWithMode(2);
}

void TOVWindowController::showChordWindowWithMode(int mode) {
    // Like every other command, only in normal editing (the menu offers it only there).
    if (chordWindowController_ == nullptr || chordWindowController_->running() ||
        editorController_->editBarsMode() != TOVEditorViewController::Normal) {
        return;
    }
    platform::UndoManager* undo = undoManager();
    if (undo != nullptr) {
        undo->setGroupsByEvent(false);
    }
    chordWindowController_->showCustomDialog(editorController_.get(), mode);
    if (undo != nullptr) {
        for (int level = undo->groupingLevel(); level > 0; --level) {
            undo->endUndoGrouping();
        }
        undo->setGroupsByEvent(true);
    }
}

void TOVWindowController::editorRequireShowChordWindowWithMode(TOVEditorViewController*, int mode) {
    showChordWindowWithMode(mode);
}

bool TOVWindowController::editorInquireIsChordWindowActive(TOVEditorViewController*, platform::View*) {
    return chordWindowController_ != nullptr && chordWindowController_->running();
}

void TOVWindowController::editorRequireShowSongSettingWindow(TOVEditorViewController*, platform::View*) {
    editSongProperties();
}

void TOVWindowController::editorRequireWindowActive(TOVEditorViewController*, platform::View*) {
    showWindow();
}

// --- The value sheets ---

std::uint64_t TOVWindowController::editorRequireNewRepeatTimesNumber(TOVEditorViewController*,
                                                                     std::uint64_t times) {
    if (repeatSheet_ == nullptr) {
        return times;
    }
    repeatSheet_->setTimes(times);
    return repeatSheet_->runModalOnWindow(window()) ? repeatSheet_->times() : times;
}

QString TOVWindowController::editorRequireNewVoltaOptionString(TOVEditorViewController*,
                                                               const QString& option) {
    if (voltaSheet_ == nullptr) {
        return option;
    }
    voltaSheet_->textField()->setText(option.isNull() ? QStringLiteral("") : option);
    voltaSheet_->textField()->selectAll();
    voltaSheet_->textField()->setFocus();
    if (!voltaSheet_->runModalOnWindow(window())) {
        return option;
    }
    // An accepted untouched field answers "", never null.
    const QString text = voltaSheet_->textField()->text();
    return text.isNull() ? QStringLiteral("") : text;
}

std::int64_t TOVWindowController::editorRequireNewSpeedNumber(TOVEditorViewController*, std::int64_t speed) {
    if (speedSheet_ == nullptr) {
        return speed;
    }
    speedSheet_->setSpeed(speed == -1 ? 0 : speed);
    speedSheet_->textField()->selectAll();
    speedSheet_->textField()->setFocus();
    return speedSheet_->runModalOnWindow(window()) ? speedSheet_->speed() : speed;
}

std::int64_t TOVWindowController::editorRequireNewLongRestNumber(TOVEditorViewController*,
                                                                 std::int64_t bars) {
    if (longRestSheet_ == nullptr) {
        return bars;
    }
    longRestSheet_->setNumberOfBars(bars == -1 ? 0 : bars);
    longRestSheet_->textField()->selectAll();
    longRestSheet_->textField()->setFocus();
    return longRestSheet_->runModalOnWindow(window()) ? longRestSheet_->numberOfBars() : bars;
}

TOVRepeatNumberStates
TOVWindowController::editorRequireNewDaCapoOptionIDNumber(TOVEditorViewController*,
                                                          const TOVRepeatNumberStates& states) {
    if (daCapoSheet_ == nullptr) {
        return states;
    }
    daCapoSheet_->setRepeatNumberStates(states);
    return daCapoSheet_->runModalOnWindow(window()) ? daCapoSheet_->repeatNumberStates() : states;
}

// --- Keys ---

void TOVWindowController::keyDown(const platform::Event& event) {
    // The views pass on releases as well as presses; a key acts once, when it goes down.
    if (event.type() != platform::Event::Type::KeyDown) {
        return;
    }
    TOVWindowKeys::performKey(*editorController_, event.keyCode());
}

// --- The editor's side ---

double TOVWindowController::editorContentWidth() const {
    const QScrollArea* scroll = editorController_->scrollView();
    return scroll != nullptr && scroll->viewport() != nullptr ? scroll->viewport()->width() : 0.0;
}

void TOVWindowController::applyEditorScale(float s) {
    editorController_->setScale(platform::Size{s, s});
}

void TOVWindowController::makeEditorFirstResponder() {
    if (platform::Window* window = platform::WindowController::window()) {
        window->makeFirstResponder(editorView());
    }
}

void TOVWindowController::clearEditorSelection() {
    if (TOVEditorView* editor = editorView()) {
        editor->clearSelection();
    }
}

TOVEditorView* TOVWindowController::editorView() const {
    return editorController_->editorView();
}
