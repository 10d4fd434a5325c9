#include "input/TOVChordWindowController.h"

#include "input/TOVChord1StepViewController.h"
#include "input/TOVChord3StepsViewController.h"
#include "input/TOVChordDiatonicViewController.h"
#include "input/TOVChordHistoryViewController.h"
#include "input/TOVChordInputEditor.h"
#include "model/Bar.h"
#include "model/TOVChordUtils.h"
#include "model/TOVNoteUtils.h"
#include "platform/foundation/Resources.h"
#include "platform/foundation/UndoManager.h"
#include "platform/ui/Application.h"
#include "platform/ui/Window.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <array>
#include <utility>

namespace {

QString tr(const char* english) {
    return QString::fromStdString(platform::localized(english));
}

// The tab items: the one-step page first.
constexpr int OneStepTab = 0;
constexpr int ThreeStepTab = 1;

} // namespace

TOVChordWindowController::TOVChordWindowController()
    : platform::WindowController(std::make_unique<platform::Window>(platform::Window::Kind::Panel)),
      page1Step_(std::make_unique<TOVChord1StepViewController>()),
      page3Steps_(std::make_unique<TOVChord3StepsViewController>()) {
    page1Step_->setChordDelegate(this);
    page3Steps_->setChordDelegate(this);

    platform::Window* panel = window();
    panel->setObjectName(QStringLiteral("TOVChordWindowController"));
    panel->setWindowTitle(tr("Chord Input"));
    auto* content = new QWidget;
    auto* column = new QVBoxLayout(content);
    tabView_ = new QTabWidget(content);
    tabView_->setObjectName(QStringLiteral("tabView"));
    tabView_->setFocusPolicy(Qt::NoFocus);
    tabView_->tabBar()->setFocusPolicy(Qt::NoFocus);
    column->addWidget(tabView_);

    // Set-up of the loaded window: the pages go into their tabs.
    tabView_->insertTab(OneStepTab, page1Step_->view(), tr("One Step"));
    tabView_->insertTab(ThreeStepTab, page3Steps_->view(), tr("Three Steps"));
    selectTabOfMode(modeAtLaunch_);

    auto* controls = new QHBoxLayout;
    auto* unitBox = new QGroupBox(tr("Next moves by"), content);
    auto* units = new QHBoxLayout(unitBox);
    progressUnit_ = new QButtonGroup(content);
    const std::array<std::pair<int, const char*>, 5> unitCells = {{{QuarterBeat, "1/4 Beat"},
                                                                   {HalfBeat, "1/2 Beat"},
                                                                   {OneBeat, "1 Beat"},
                                                                   {TwoBeats, "2 Beats"},
                                                                   {WholeBar, "1 Bar"}}};
    for (const auto& [tag, title] : unitCells) {
        auto* cell = new QRadioButton(tr(title), unitBox);
        cell->setObjectName(QStringLiteral("unit%1").arg(tag));
        cell->setFocusPolicy(Qt::NoFocus);
        progressUnit_->addButton(cell, tag);
        units->addWidget(cell);
    }
    // Chosen only here, so that the user's choice stays from one run to the next.
    progressUnit_->button(TwoBeats)->setChecked(true);
    controls->addWidget(unitBox);
    perRhythm_ = new QCheckBox(tr("Follow the rhythm"), content);
    perRhythm_->setObjectName(QStringLiteral("perRhythm"));
    perRhythm_->setFocusPolicy(Qt::NoFocus);
    controls->addWidget(perRhythm_);
    controls->addStretch(1);

    const auto makeButton = [content](const char* title, const char* name) {
        auto* button = new QPushButton(tr(title), content);
        button->setObjectName(QString::fromLatin1(name));
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoDefault(false);
        return button;
    };
    previousButton_ = makeButton("Previous", "previousButton");
    nextButton_ = makeButton("Next", "nextButton");
    closeButton_ = makeButton("Close", "closeButton");
    nextButton_->setDefault(true);
    controls->addWidget(previousButton_);
    controls->addWidget(nextButton_);
    controls->addWidget(closeButton_);
    column->addLayout(controls);
    panel->setCentralWidget(content);

    QObject::connect(nextButton_, &QPushButton::clicked, [this] { nextChord(); });
    QObject::connect(previousButton_, &QPushButton::clicked, [this] { previousChord(); });
    QObject::connect(closeButton_, &QPushButton::clicked, [this] { close(); });
    // Return (and Enter) is Next, the default button; Escape closes the panel. No other key acts.
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* shortcut = new QShortcut(QKeySequence(key), panel);
        shortcut->setContext(Qt::WindowShortcut);
        QObject::connect(shortcut, &QShortcut::activated, [this] { nextChord(); });
    }
    panel->setClosesOnEscape(true);
    panel->setWillCloseHandler([this] { windowWillClose(); });
    panel->adjustSize();
}

TOVChordWindowController::~TOVChordWindowController() {
    if (window() != nullptr) {
        window()->setWillCloseHandler(nullptr);
    }
    page1Step_->setChordDelegate(nullptr);
    page3Steps_->setChordDelegate(nullptr);
    page1Step_.reset();
    page3Steps_.reset();
}

void TOVChordWindowController::selectTabOfMode(int mode) {
    if (mode == ThreeStepMode) {
        tabView_->setCurrentIndex(ThreeStepTab);
    } else if (mode == OneStepMode) {
        tabView_->setCurrentIndex(OneStepTab);
    }
}

void TOVChordWindowController::showCustomDialog(TOVChordInputEditor* editor, int mode) {
    if (mode != LastMode) {
        modeAtLaunch_ = mode;
    }
    showCustomDialog(editor);
}

void TOVChordWindowController::showCustomDialog(TOVChordInputEditor* editor) {
    platform::Application* application = platform::Application::shared();
    if (editor == nullptr || running_ || application == nullptr) {
        return;
    }
    editor_ = editor;
    editor->chordWindowWillStart();
    page1Step_->setHistory(editor->chordHistoryArray());
    selectTabOfMode(modeAtLaunch_);
    updateDiatonicKey();
    page1Step_->clear();
    page3Steps_->clear();
    page1Step_->historyViewController()->scrollToNewest();
    running_ = true;
    setChord(editor->selectedChord());
    application->runModalForWindow(window());
    running_ = false;
}

void TOVChordWindowController::refreshAllItems() {
    page1Step_->refreshAllItems();
    page3Steps_->refreshAllItems();
}

TOVChordElems TOVChordWindowController::chord() const {
    switch (tabView_->currentIndex()) {
    case OneStepTab: {
        const TOVChordElems chosen = page1Step_->chord();
        // Nothing chosen on the page: the chord standing there, so that committing changes nothing.
        if (chosen == TOVChordUtils::zeroChord() && editor_ != nullptr) {
            return editor_->selectedChord();
        }
        return chosen;
    }
    case ThreeStepTab:
        return page3Steps_->chord();
    default:
        return TOVChordUtils::zeroChord();
    }
}

void TOVChordWindowController::setChord(const TOVChordElems& chord) {
    page3Steps_->setChord(chord);
}

void TOVChordWindowController::commit() {
    if (editor_ == nullptr) {
        return;
    }
    const TOVChordElems selected = editor_->selectedChord();
    TOVChordElems made = chord();
    if (made == selected) {
        return;
    }
    // A quality or tension without a root or bass is no chord; the empty chord deletes the selected one.
    if (!TOVChordUtils::validateChord(made) && made != TOVChordUtils::zeroChord()) {
        return;
    }
    if (made.elemStepBase == TOVChordNoStep) {
        made.slash = false;
    }
    // One undo step per commit: the group of the last commit closes and this commit's opens. It stays
    // open until the next commit, or until the window's caller closes every group after the run.
    if (platform::UndoManager* undo = editor_->undoManager()) {
        if (undo->groupingLevel() > 0) {
            undo->endUndoGrouping();
        }
        undo->beginUndoGrouping();
    }
    editor_->insertChordAtCursor(made);
    addHistory(made);
}

void TOVChordWindowController::addHistory(const TOVChordElems& chord) {
    if (editor_ == nullptr) {
        return;
    }
    editor_->addChordHistory(chord);
    page1Step_->setHistory(editor_->chordHistoryArray());
    page1Step_->clear();
    page1Step_->historyViewController()->scrollToNewest();
}

std::uint64_t TOVChordWindowController::stepOfUnit(int tag, const Bar* bar) {
    if (bar == nullptr) {
        return 0;
    }
    const std::uint64_t beat = bar->length1Beat();
    switch (tag) {
    case OneBeat:
        return beat;
    case TwoBeats:
        return 2 * beat;
    case WholeBar:
        return bar->totalRhythmLength();
    case HalfBeat:
        return beat / 2;
    case QuarterBeat:
        return beat / 4;
    default:
        return 0;
    }
}

void TOVChordWindowController::nextChord() {
    if (editor_ == nullptr) {
        return;
    }
    commit();
    const std::uint64_t step = stepOfUnit(progressUnit_->checkedId(), editor_->currentBar());
    // A step of 0 (a bar without beats) commits and stays.
    if (step > 0) {
        editor_->progressChordTiming(step, perRhythm_->isChecked());
    }
    page3Steps_->clear();
    setChord(editor_->selectedChord());
    updateDiatonicKey();
}

void TOVChordWindowController::previousChord() {
    if (editor_ == nullptr) {
        return;
    }
    editor_->gobackChordIndex();
    page3Steps_->clear();
    setChord(editor_->selectedChord());
    updateDiatonicKey();
}

void TOVChordWindowController::close() {
    window()->performClose();
}

void TOVChordWindowController::windowWillClose() {
    if (platform::Application* application = platform::Application::shared();
        application != nullptr && running_) {
        application->stopModal();
    }
    if (editor_ != nullptr) {
        editor_->chordWindowDidClose();
    }
    editor_ = nullptr;
}

void TOVChordWindowController::updateDiatonicKey() {
    const Bar* bar = editor_ != nullptr ? editor_->currentBar() : nullptr;
    const int key = TOVNoteUtils::keyTypeFromKeySignatureSymbolType(bar != nullptr ? bar->keyMode() : 0);
    if (key != diatonicKey_) {
        page1Step_->diatonicViewController()->setCurrentKey(key);
        diatonicKey_ = key;
    }
}

void TOVChordWindowController::doubleClicked(QObject*) {
    nextChord();
}
