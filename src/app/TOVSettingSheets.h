#pragma once

#include "app/TOVSheetController.h"
#include "model/TOVRepeatNumberStates.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QString>
#include <QToolButton>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>

// A pair of arrow buttons that step a number up and down within its limits (the text field beside it
// shows the number).
class TOVStepper {
public:
    TOVStepper(QWidget* parent, std::int64_t minimum, std::int64_t maximum);

    QWidget* widget() const { return widget_; }
    QToolButton* upButton() const { return up_; }
    QToolButton* downButton() const { return down_; }
    std::int64_t value() const { return value_; }
    // Kept within the limits.
    void setValue(std::int64_t value);
    // Called after a click changed the value.
    void setAction(std::function<void()> action) { action_ = std::move(action); }

private:
    void step(std::int64_t by);

    QPointer<QWidget> widget_;
    QPointer<QToolButton> up_;
    QPointer<QToolButton> down_;
    std::int64_t minimum_;
    std::int64_t maximum_;
    std::int64_t value_;
    std::function<void()> action_;
};

// The common frame of the value sheets: a prompt, the controls a subclass puts in, Cancel and an accept
// button. Escape and the window's close button cancel.
class TOVValueSheet : public TOVSheetController {
public:
    QPushButton* acceptButton() const { return acceptButton_; }
    QPushButton* cancelButton() const { return cancelButton_; }

protected:
    TOVValueSheet(const char* objectName, const char* title, const char* prompt);
    // The row of controls of the subclass.
    QWidget* controlArea() const { return controlArea_; }

private:
    QPointer<QWidget> controlArea_;
    QPointer<QPushButton> acceptButton_;
    QPointer<QPushButton> cancelButton_;
};

// How many times a repeat is played, chosen from a pop-up whose items are tagged with their number.
class TOVRepeatSettingWindowController : public TOVValueSheet {
public:
    TOVRepeatSettingWindowController();
    QComboBox* popUpButton() const { return popUpButton_; }
    // The "-" item (tag 0) is there exactly while the request began with 0 (the selected signs differ).
    void setTimes(std::uint64_t times);
    // The tag of the selected item.
    std::uint64_t times() const;

private:
    QPointer<QComboBox> popUpButton_;
};

// The text of a volta.
class TOVVoltaSettingWindowController : public TOVValueSheet {
public:
    TOVVoltaSettingWindowController();
    QLineEdit* textField() const { return textField_; }

private:
    QPointer<QLineEdit> textField_;
};

// A number typed or stepped within 1 to 999; the accept button is on only for a number within them.
class TOVNumberSettingSheet : public TOVValueSheet {
public:
    static constexpr std::int64_t kMinNumber = 1;
    static constexpr std::int64_t kMaxNumber = 999;

    QLineEdit* textField() const { return textField_; }
    TOVStepper& stepper() { return stepper_; }
    std::int64_t number() const { return number_; }
    // Stores the number and writes it into the field.
    void setNumber(std::int64_t number);
    bool isWithinLimits() const { return hasValue_ && number_ >= kMinNumber && number_ <= kMaxNumber; }

protected:
    TOVNumberSettingSheet(const char* objectName, const char* title, const char* prompt);

private:
    void controlTextDidChange();
    void updateAccept();

    QPointer<QLineEdit> textField_;
    TOVStepper stepper_;
    std::int64_t number_ = 0;
    bool hasValue_ = true;
};

// The speed of a tempo sign. Typing rewrites the field with the number read from it, so that anything
// but digits becomes "0" at once.
class TOVSpeedSettingWindowController : public TOVNumberSettingSheet {
public:
    TOVSpeedSettingWindowController();
    std::int64_t speed() const { return number(); }
    void setSpeed(std::int64_t speed) { setNumber(speed); }
};

// The number of bars of a long rest.
class TOVLongRestSettingWindowController : public TOVNumberSettingSheet {
public:
    TOVLongRestSettingWindowController();
    QPushButton* buttonAccept() const { return acceptButton(); }
    std::int64_t numberOfBars() const { return number(); }
    void setNumberOfBars(std::int64_t bars) { setNumber(bars); }
};

// The passes of a navigation sign: eight check boxes, a box mixed for a pass on in some of the selected
// signs only, until it is clicked.
class TOVDaCapoSettingWindowController : public TOVValueSheet {
public:
    TOVDaCapoSettingWindowController();
    QCheckBox* checkbox(int pass) const { return checkboxes_.at(static_cast<std::size_t>(pass - 1)); }
    void setRepeatNumberStates(const TOVRepeatNumberStates& states);
    TOVRepeatNumberStates repeatNumberStates() const;

private:
    std::array<QPointer<QCheckBox>, 8> checkboxes_;
};
