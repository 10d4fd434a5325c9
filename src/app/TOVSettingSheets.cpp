#include "app/TOVSettingSheets.h"

#include "platform/foundation/Resources.h"
#include "platform/ui/Window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QString tr(const char* english) {
    return QString::fromStdString(platform::localized(english));
}

// The counts a repeat sign has a glyph for.
constexpr std::uint64_t kFewestTimes = 2;
constexpr std::uint64_t kMostTimes = 12;

} // namespace

// ---- Stepper ----------------------------------------------------------------------------------------------

TOVStepper::TOVStepper(QWidget* parent, std::int64_t minimum, std::int64_t maximum)
    : widget_(new QWidget(parent)), minimum_(minimum), maximum_(maximum), value_(minimum) {
    auto* column = new QVBoxLayout(widget_);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    up_ = new QToolButton(widget_);
    up_->setArrowType(Qt::UpArrow);
    down_ = new QToolButton(widget_);
    down_->setArrowType(Qt::DownArrow);
    for (QToolButton* button : {up_.data(), down_.data()}) {
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setFixedSize(18, 12);
        column->addWidget(button);
    }
    QObject::connect(up_, &QToolButton::clicked, [this] { step(1); });
    QObject::connect(down_, &QToolButton::clicked, [this] { step(-1); });
}

void TOVStepper::setValue(std::int64_t value) {
    value_ = std::clamp(value, minimum_, maximum_);
}

void TOVStepper::step(std::int64_t by) {
    setValue(value_ + by);
    if (action_) {
        action_();
    }
}

// ---- Value sheet ------------------------------------------------------------------------------------------

TOVValueSheet::TOVValueSheet(const char* objectName, const char* title, const char* prompt)
    : TOVSheetController(std::make_unique<platform::Window>(platform::Window::Kind::Panel)) {
    platform::Window* sheet = window();
    sheet->setObjectName(QString::fromLatin1(objectName));
    sheet->setWindowTitle(tr(title));
    auto* content = new QWidget;
    auto* column = new QVBoxLayout(content);
    column->addWidget(new QLabel(tr(prompt), content));
    controlArea_ = new QWidget(content);
    column->addWidget(controlArea_);
    const ButtonRow row = addButtonRow(content, column);
    cancelButton_ = row.cancel;
    acceptButton_ = row.accept;
    sheet->setCentralWidget(content);
}

// ---- Repeat -----------------------------------------------------------------------------------------------

TOVRepeatSettingWindowController::TOVRepeatSettingWindowController()
    : TOVValueSheet("TOVRepeatSettingWindowController", "Repeat", "Number of times:") {
    auto* row = new QHBoxLayout(controlArea());
    row->setContentsMargins(0, 0, 0, 0);
    popUpButton_ = new QComboBox(controlArea());
    for (std::uint64_t times = kFewestTimes; times <= kMostTimes; ++times) {
        popUpButton_->addItem(QStringLiteral("×%1").arg(times), QVariant::fromValue<qulonglong>(times));
    }
    row->addWidget(popUpButton_);
    row->addStretch(1);
    window()->adjustSize();
}

void TOVRepeatSettingWindowController::setTimes(std::uint64_t times) {
    const bool hasDash = popUpButton_->count() > 0 && popUpButton_->itemText(0) == QStringLiteral("-");
    if (times != 0 && hasDash) {
        popUpButton_->removeItem(0);
    } else if (times == 0 && !hasDash) {
        popUpButton_->insertItem(0, QStringLiteral("-"), QVariant::fromValue<qulonglong>(0));
    }
    popUpButton_->setCurrentIndex(popUpButton_->findData(QVariant::fromValue<qulonglong>(times)));
}

std::uint64_t TOVRepeatSettingWindowController::times() const {
    return popUpButton_->currentIndex() < 0 ? 0 : popUpButton_->currentData().toULongLong();
}

// ---- Volta ------------------------------------------------------------------------------------------------

TOVVoltaSettingWindowController::TOVVoltaSettingWindowController()
    : TOVValueSheet("TOVVoltaSettingWindowController", "Volta", "Text:") {
    auto* row = new QHBoxLayout(controlArea());
    row->setContentsMargins(0, 0, 0, 0);
    textField_ = new QLineEdit(controlArea());
    textField_->setMinimumWidth(160);
    row->addWidget(textField_);
    // Return accepts, as the default button does.
    QObject::connect(textField_, &QLineEdit::returnPressed, [this] { accept(); });
    window()->adjustSize();
}

// ---- Numbers ----------------------------------------------------------------------------------------------

TOVNumberSettingSheet::TOVNumberSettingSheet(const char* objectName, const char* title, const char* prompt)
    : TOVValueSheet(objectName, title, prompt), stepper_(nullptr, kMinNumber, kMaxNumber) {
    auto* row = new QHBoxLayout(controlArea());
    row->setContentsMargins(0, 0, 0, 0);
    textField_ = new QLineEdit(controlArea());
    textField_->setMaximumWidth(80);
    row->addWidget(textField_);
    stepper_.widget()->setParent(controlArea());
    row->addWidget(stepper_.widget());
    row->addStretch(1);
    QObject::connect(textField_, &QLineEdit::textEdited, [this] { controlTextDidChange(); });
    QObject::connect(textField_, &QLineEdit::returnPressed, [this] {
        if (isWithinLimits()) {
            accept();
        }
    });
    stepper_.setAction([this] { setNumber(stepper_.value()); });
    window()->adjustSize();
}

void TOVNumberSettingSheet::setNumber(std::int64_t number) {
    number_ = number;
    hasValue_ = true;
    stepper_.setValue(number);
    textField_->setText(QString::number(number));
    updateAccept();
}

void TOVNumberSettingSheet::controlTextDidChange() {
    const QString text = textField_->text().trimmed();
    if (text.isEmpty()) {
        hasValue_ = false;
        updateAccept();
        return;
    }
    // The number at the start of the text, 0 when it starts with none; the field shows what was read.
    std::int64_t value = 0;
    int digits = 0;
    while (digits < text.size() && text[digits].isDigit() && digits < 9) {
        value = value * 10 + text[digits].digitValue();
        ++digits;
    }
    const int cursor = textField_->cursorPosition();
    setNumber(value);
    textField_->setCursorPosition(std::min(cursor, static_cast<int>(textField_->text().size())));
}

void TOVNumberSettingSheet::updateAccept() {
    acceptButton()->setEnabled(isWithinLimits());
}

TOVSpeedSettingWindowController::TOVSpeedSettingWindowController()
    : TOVNumberSettingSheet("TOVSpeedSettingWindowController", "Tempo", "Beats per minute:") {}

TOVLongRestSettingWindowController::TOVLongRestSettingWindowController()
    : TOVNumberSettingSheet("TOVLongRestSettingWindowController", "Long Rest", "Number of bars:") {
    setNumberOfBars(1);
}

// ---- D.C. passes ------------------------------------------------------------------------------------------

TOVDaCapoSettingWindowController::TOVDaCapoSettingWindowController()
    : TOVValueSheet("TOVDaCapoSettingWindowController", "Passes", "Play on pass:") {
    auto* row = new QHBoxLayout(controlArea());
    row->setContentsMargins(0, 0, 0, 0);
    for (int pass = 1; pass <= 8; ++pass) {
        auto* box = new QCheckBox(QString::number(pass), controlArea());
        checkboxes_[static_cast<std::size_t>(pass - 1)] = box;
        row->addWidget(box);
        // Once clicked, a box only turns on and off for the rest of the run.
        QObject::connect(box, &QCheckBox::clicked, [box] {
            if (box->isTristate()) {
                box->setTristate(false);
                if (box->checkState() == Qt::PartiallyChecked) {
                    box->setCheckState(Qt::Checked);
                }
            }
        });
    }
    window()->adjustSize();
}

void TOVDaCapoSettingWindowController::setRepeatNumberStates(const TOVRepeatNumberStates& states) {
    for (int i = 0; i < 8; ++i) {
        QCheckBox* box = checkboxes_[static_cast<std::size_t>(i)];
        box->setTristate(states[i] == -1);
        box->setCheckState(states[i] == -1  ? Qt::PartiallyChecked
                           : states[i] == 1 ? Qt::Checked
                                            : Qt::Unchecked);
    }
}

TOVRepeatNumberStates TOVDaCapoSettingWindowController::repeatNumberStates() const {
    TOVRepeatNumberStates states;
    for (int i = 0; i < 8; ++i) {
        const Qt::CheckState state = checkboxes_[static_cast<std::size_t>(i)]->checkState();
        states[i] = state == Qt::PartiallyChecked ? -1 : state == Qt::Checked ? 1 : 0;
    }
    return states;
}
