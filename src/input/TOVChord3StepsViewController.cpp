#include "input/TOVChord3StepsViewController.h"

#include "glyphs/TOVChordViewFactory.h"
#include "input/TOVChord1stStepViewController.h"
#include "input/TOVChordElemGridViewController.h"
#include "input/TOVChordGlyphs.h"
#include "input/TOVChordPreviewView.h"
#include "platform/foundation/Resources.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/QPainterGraphicsContext.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include <array>

namespace {

QString localizedText(const char* english) {
    return QString::fromStdString(platform::localized(english));
}

constexpr std::array<const char*, 4> StepLabels = {"1st Step", "2nd Step", "3rd Step", "Base Chord"};
constexpr QSize StepViewSize(680, 404);
constexpr QSize SlashButtonSize(96, 72);
constexpr QSize PreviewSize(260, 110);

QPushButton* makeButton(const QString& title, const char* name, QWidget* parent) {
    auto* button = new QPushButton(title, parent);
    button->setObjectName(QString::fromLatin1(name));
    // Return and Escape belong to the chord window: no button of the page takes the keyboard.
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoDefault(false);
    return button;
}

} // namespace

TOVChord3StepsViewController::TOVChord3StepsViewController()
    : first_(std::make_unique<TOVChord1stStepViewController>()),
      second_(std::make_unique<TOVChord2ndStepViewController>()),
      third_(std::make_unique<TOVChord3rdStepViewController>()),
      base_(std::make_unique<TOVChord1stStepViewController>()) {
    first_->setChordDelegate(this);
    second_->setChordDelegate(this);
    third_->setChordDelegate(this);
    base_->setChordDelegate(this);

    view_ = new QWidget;
    view_->setObjectName(QStringLiteral("TOVChord3StepsViewController"));
    auto* row = new QHBoxLayout(view_);
    auto* left = new QVBoxLayout;
    labelCurrentStep_ = new QLabel(view_);
    labelCurrentStep_->setObjectName(QStringLiteral("labelCurrentStep"));
    QFont big = labelCurrentStep_->font();
    big.setBold(true);
    labelCurrentStep_->setFont(big);
    left->addWidget(labelCurrentStep_);
    stepView_ = new QWidget(view_);
    stepView_->setObjectName(QStringLiteral("stepView"));
    stepView_->setFixedSize(StepViewSize);
    left->addWidget(stepView_);
    left->addStretch(1);
    row->addLayout(left);

    auto* right = new QVBoxLayout;
    preview_ = new TOVChordPreviewView(view_);
    preview_->setObjectName(QStringLiteral("previewView"));
    preview_->setFixedSize(PreviewSize);
    right->addWidget(preview_);
    auto* steps = new QHBoxLayout;
    backButton_ = makeButton(localizedText("Back"), "backButton", view_);
    nextButton_ = makeButton(localizedText("Next Step"), "nextStepButton", view_);
    steps->addWidget(backButton_);
    steps->addWidget(nextButton_);
    right->addLayout(steps);
    clearButton_ = makeButton(localizedText("Clear"), "clearButton", view_);
    right->addWidget(clearButton_);
    slashButton_ = makeButton(QString(), "slashButton", view_);
    slashButton_->setFixedSize(SlashButtonSize);
    slashButton_->setIconSize(SlashButtonSize);
    slashButton_->setToolTip(localizedText("Slash: add a bass"));
    right->addWidget(slashButton_, 0, Qt::AlignHCenter);
    right->addStretch(1);
    row->addLayout(right);

    QObject::connect(nextButton_, &QPushButton::clicked, this, [this] { next(); });
    QObject::connect(backButton_, &QPushButton::clicked, this, [this] { back(); });
    QObject::connect(clearButton_, &QPushButton::clicked, this, [this] { clear(); });
    QObject::connect(slashButton_, &QPushButton::clicked, this, [this] { slash(); });

    setMode(0);
    preview_->setMarginWithObjectView(8.0);
    createSlashPath();
    updatePreview();
}

TOVChord3StepsViewController::~TOVChord3StepsViewController() {
    first_->setChordDelegate(nullptr);
    second_->setChordDelegate(nullptr);
    third_->setChordDelegate(nullptr);
    base_->setChordDelegate(nullptr);
    first_.reset();
    second_.reset();
    third_.reset();
    base_.reset();
    delete view_;
}

QWidget* TOVChord3StepsViewController::pageView(QObject* page) const {
    if (page == first_.get()) {
        return first_->view();
    }
    if (page == second_.get()) {
        return second_->view();
    }
    if (page == third_.get()) {
        return third_->view();
    }
    if (page == base_.get()) {
        return base_->view();
    }
    return nullptr;
}

TOVChordElems TOVChord3StepsViewController::chord() const {
    TOVChordElems chord;
    chord.elemStep1 = first_->elemType();
    chord.elemStep2 = second_->elemType();
    chord.elemStep3 = third_->elemType();
    chord.elemStepBase = base_->elemType();
    chord.slash = chord.elemStepBase != TOVChordNoStep || mode_ == 3;
    return chord;
}

void TOVChord3StepsViewController::setChord(const TOVChordElems& chord) {
    first_->setElemType(chord.elemStep1);
    second_->setElemType(chord.elemStep2);
    third_->setElemType(chord.elemStep3);
    base_->setElemType(chord.elemStepBase);
    preview_->setChord(this->chord());
    updateButtons();
}

void TOVChord3StepsViewController::setMode(int mode) {
    mode_ = mode;
    if (QWidget* shown = pageView(current_)) {
        shown->hide();
        shown->setParent(nullptr);
    }
    if (mode >= 0 && mode < static_cast<int>(StepLabels.size())) {
        labelStr_ = localizedText(StepLabels[static_cast<std::size_t>(mode)]);
        const std::array<QObject*, 4> pages = {first_.get(), second_.get(), third_.get(), base_.get()};
        current_ = pages[static_cast<std::size_t>(mode)];
    }
    if (QWidget* page = pageView(current_)) {
        page->setParent(stepView_);
        page->setGeometry(stepView_->rect());
        page->show();
    }
    labelCurrentStep_->setText(labelStr_);
    updateButtons();
}

bool TOVChord3StepsViewController::canGoNext() const {
    return mode_ == 1 || (mode_ == 0 && first_->elemType() != TOVChordNoStep);
}

bool TOVChord3StepsViewController::canGoBack() const {
    return mode_ == 1 || mode_ == 2;
}

bool TOVChord3StepsViewController::canClear() const {
    return mode_ != 0 || first_->elemType() != TOVChordNoStep || base_->elemType() != TOVChordNoStep;
}

void TOVChord3StepsViewController::next() {
    // Each button's action checks what enables the button, as a double click may call it too.
    if (!canGoNext()) {
        updatePreview();
        return;
    }
    if (mode_ == 0) {
        second_->clearSelection();
        third_->clearSelection();
        base_->clearSelection();
        setMode(1);
    } else if (mode_ == 1) {
        third_->clearSelection();
        base_->clearSelection();
        setMode(2);
    }
    updatePreview();
}

void TOVChord3StepsViewController::back() {
    if (!canGoBack()) {
        updatePreview();
        return;
    }
    if (mode_ == 1) {
        second_->clearSelection();
        third_->clearSelection();
        base_->clearSelection();
        setMode(0);
    } else if (mode_ == 2) {
        third_->clearSelection();
        base_->clearSelection();
        setMode(1);
    }
    updatePreview();
}

void TOVChord3StepsViewController::clear() {
    if (!canClear()) {
        updatePreview();
        return;
    }
    first_->clearSelection();
    second_->clearSelection();
    third_->clearSelection();
    base_->clearSelection();
    setMode(0);
    updatePreview();
}

void TOVChord3StepsViewController::slash() {
    setMode(3);
    updatePreview();
}

void TOVChord3StepsViewController::updateButtons() {
    if (mode_ >= 0 && mode_ <= 3) {
        enableBack_ = canGoBack();
        enableClear_ = canClear();
        enableNext_ = canGoNext();
    }
    backButton_->setEnabled(enableBack_);
    clearButton_->setEnabled(enableClear_);
    nextButton_->setEnabled(enableNext_);
}

void TOVChord3StepsViewController::updatePreview() {
    preview_->setChord(chord());
}

void TOVChord3StepsViewController::createSlashPath() {
    const TOVChordViewFactory* factory = TOVChordGlyphs::factory();
    std::optional<platform::BezierPath> path =
        factory != nullptr ? factory->bezierPathSlashForfontID(TOVChordGlyphs::FontID) : std::nullopt;
    const QSize size = slashButton_->size();
    platform::Image image(platform::Size{double(size.width()), double(size.height())});
    if (path) {
        // The glyph fills the button less 15 points on every side, centred.
        TOVChordGlyphs::fitAndCentre(*path, {double(size.width()), double(size.height())}, 15.0);
        platform::QPainterGraphicsContext context(image);
        TOVChordGlyphs::fill(context, path);
    }
    slashButton_->setIcon(QIcon(QPixmap::fromImage(image.qImage())));
}

void TOVChord3StepsViewController::refreshAllItems() {
    second_->refreshAllItems();
    third_->refreshAllItems();
    createSlashPath();
}

void TOVChord3StepsViewController::selectionChanged(QObject* sender, std::ptrdiff_t) {
    if (mode_ == 0 && sender == first_.get()) {
        // A new root: what was built on the old one goes.
        second_->clearSelection();
        third_->clearSelection();
        base_->clearSelection();
        updateButtons();
    }
    preview_->setChord(chord());
}

void TOVChord3StepsViewController::doubleClicked(QObject* sender) {
    if (mode_ == 2 || mode_ == 3) {
        if (chordDelegate_ != nullptr) {
            chordDelegate_->doubleClicked(sender);
        }
        clear();
    } else if (mode_ == 0 || mode_ == 1) {
        next();
        preview_->setChord(chord());
    }
}
