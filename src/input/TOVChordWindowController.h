#pragma once

#include "input/TOVChordViewDelegate.h"
#include "model/TOVChordElems.h"
#include "platform/ui/WindowController.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>

#include <cstdint>
#include <memory>

class Bar;
class TOVChord1StepViewController;
class TOVChord3StepsViewController;
class TOVChordInputEditor;

// The chord input window of one document window: it writes chord symbols into the song of its editor,
// one chord at a time at the editor's chord input position, and steps that position through the song.
// It runs application-modally; each commit inside a run is one undo step. Return is Next, Escape closes.
class TOVChordWindowController : public platform::WindowController, public TOVChordViewDelegate {
public:
    // The cells of the step unit, by tag.
    enum ProgressUnit { OneBeat = 1, TwoBeats = 2, WholeBar = 3, HalfBeat = 12, QuarterBeat = 14 };
    // The pages, as modes of showCustomDialog.
    enum Mode { ThreeStepMode = 0, OneStepMode = 1, LastMode = 2 };

    TOVChordWindowController();
    ~TOVChordWindowController() override;

    // Stores the page to open with (0 the three-step page, 1 the one-step page; 2 keeps the last one),
    // then runs the window as showCustomDialog(editor) does.
    void showCustomDialog(TOVChordInputEditor* editor, int mode);
    // Runs the window modally for the editor; returns when the window has closed.
    void showCustomDialog(TOVChordInputEditor* editor);
    // Whether a modal run is going on.
    bool running() const { return running_; }
    // Rebuilds every chord glyph of both pages after a change of the chord notation.
    void refreshAllItems();

    // --- The run (each does nothing without an editor) ---
    TOVChordInputEditor* editorViewController() const { return editor_; }
    int modeAtLaunch() const { return modeAtLaunch_; }
    int diatonicKey() const { return diatonicKey_; }
    // The chord being made on the page shown.
    TOVChordElems chord() const;
    // Loads the value into the three-step page.
    void setChord(const TOVChordElems& chord);
    // Writes the chord being made at the chord input position, as one undo step.
    void commit();
    void addHistory(const TOVChordElems& chord);
    // Commits, then moves the chord input position on by the step unit.
    void nextChord();
    // Moves the chord input position back to the previous chord; what was not committed is dropped.
    void previousChord();
    void close();
    // The diatonic grid follows the key of the current bar when that key changed.
    void updateDiatonicKey();
    // The step of a step-unit tag in a bar; 0 for another tag or without a bar.
    static std::uint64_t stepOfUnit(int tag, const Bar* bar);

    void selectionChanged(QObject* sender, std::ptrdiff_t index) override {}
    void doubleClicked(QObject* sender) override;

    // --- The window's parts ---
    TOVChord1StepViewController* viewCtrler1Step() const { return page1Step_.get(); }
    TOVChord3StepsViewController* viewCtrler3Step() const { return page3Steps_.get(); }
    QTabWidget* tabView() const { return tabView_; }
    QButtonGroup* progressUnit() const { return progressUnit_; }
    QCheckBox* perRhythm() const { return perRhythm_; }
    QPushButton* nextButton() const { return nextButton_; }
    QPushButton* previousButton() const { return previousButton_; }
    QPushButton* closeButton() const { return closeButton_; }

private:
    // The tab of the mode: 0 the three-step tab, 1 the one-step tab, any other leaves it.
    void selectTabOfMode(int mode);
    // The closing of the window, however it closes: the run ends.
    void windowWillClose();

    std::unique_ptr<TOVChord1StepViewController> page1Step_;
    std::unique_ptr<TOVChord3StepsViewController> page3Steps_;
    QPointer<QTabWidget> tabView_;
    QPointer<QButtonGroup> progressUnit_;
    QPointer<QCheckBox> perRhythm_;
    QPointer<QPushButton> nextButton_;
    QPointer<QPushButton> previousButton_;
    QPointer<QPushButton> closeButton_;
    TOVChordInputEditor* editor_ = nullptr;
    bool running_ = false;
    int modeAtLaunch_ = OneStepMode;
    // 15: no key yet.
    int diatonicKey_ = 15;
};
