#pragma once

#include "input/TOVChordViewDelegate.h"
#include "model/TOVChordElems.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

#include <QLabel>
#include <QPushButton>
class QWidget;
class TOVChord1stStepViewController;
class TOVChord2ndStepViewController;
class TOVChord3rdStepViewController;
#include "input/TOVChordPreviewView.h"

// The three-step page of the chord window: a root on a keyboard (step 0), a quality (step 1), a tension
// (step 2) and, after Slash, a bass on a second keyboard (step 3), with a preview of the chord as it
// grows. It writes nothing into the song: the chord window commits the chord it holds.
class TOVChord3StepsViewController : public QObject, public TOVChordViewDelegate {
    Q_OBJECT
public:
    TOVChord3StepsViewController();
    ~TOVChord3StepsViewController() override;

    QWidget* view() const { return view_; }
    // Not owned: the chord window.
    TOVChordViewDelegate* chordDelegate() const { return chordDelegate_; }
    void setChordDelegate(TOVChordViewDelegate* delegate) { chordDelegate_ = delegate; }

    TOVChord1stStepViewController* firstViewCtrler() const { return first_.get(); }
    TOVChord2ndStepViewController* secondViewCtrler() const { return second_.get(); }
    TOVChord3rdStepViewController* thirdViewCtrler() const { return third_.get(); }
    TOVChord1stStepViewController* baseViewCtrler() const { return base_.get(); }
    // The page shown.
    QObject* currentViewCtrler() const { return current_; }
    TOVChordPreviewView* previewView() const { return preview_; }
    QPushButton* nextButton() const { return nextButton_; }
    QPushButton* backButton() const { return backButton_; }
    QPushButton* clearButton() const { return clearButton_; }
    QPushButton* slashButton() const { return slashButton_; }
    QLabel* labelCurrentStep() const { return labelCurrentStep_; }

    // The chord read from the four pages; a slash chord when a bass is chosen or the bass step shows.
    TOVChordElems chord() const;
    // Loads the value into the four pages; the step shown stays.
    void setChord(const TOVChordElems& chord);

    int mode() const { return mode_; }
    void setMode(int mode);
    const QString& labelStr() const { return labelStr_; }
    bool enableNext() const { return enableNext_; }
    bool enableClear() const { return enableClear_; }
    bool enableBack() const { return enableBack_; }

    void next();
    void back();
    void clear();
    void slash();
    void updateButtons();
    void updatePreview();
    // Draws the Slash button's image: the glyph between chord and bass of the notation profile.
    void createSlashPath();
    // The quality and tension glyphs and the slash follow a new notation profile.
    void refreshAllItems();

    void selectionChanged(QObject* sender, std::ptrdiff_t index) override;
    void doubleClicked(QObject* sender) override;

private:
    QWidget* pageView(QObject* page) const;
    // What enables Next, Back and Clear in the step shown.
    bool canGoNext() const;
    bool canGoBack() const;
    bool canClear() const;

    std::unique_ptr<TOVChord1stStepViewController> first_;
    std::unique_ptr<TOVChord2ndStepViewController> second_;
    std::unique_ptr<TOVChord3rdStepViewController> third_;
    std::unique_ptr<TOVChord1stStepViewController> base_;
    QPointer<QWidget> view_;
    QPointer<QWidget> stepView_;
    QPointer<TOVChordPreviewView> preview_;
    QPointer<QPushButton> nextButton_;
    QPointer<QPushButton> backButton_;
    QPointer<QPushButton> clearButton_;
    QPointer<QPushButton> slashButton_;
    QPointer<QLabel> labelCurrentStep_;
    QObject* current_ = nullptr;
    TOVChordViewDelegate* chordDelegate_ = nullptr;
    int mode_ = 0;
    QString labelStr_;
    bool enableNext_ = false;
    bool enableClear_ = false;
    bool enableBack_ = false;
};
