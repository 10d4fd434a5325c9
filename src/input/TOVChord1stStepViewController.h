#pragma once

#include "platform/graphics/BezierPath.h"
#include "platform/ui/ClickCounter.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <array>
#include <optional>

class TOVChord1stStepElemView;
class TOVChordViewDelegate;

// What a key of the keyboard tells its page.
class TOVChord1stStepElemViewDelegate {
public:
    virtual ~TOVChord1stStepElemViewDelegate() = default;
    virtual void elemViewSelected(TOVChord1stStepElemView* key) = 0;
    virtual void doubleClicked(TOVChord1stStepElemView* key) = 0;
};

// One key of the root and bass keyboard: its tag is its note's root code (0 to 16), drawn with the
// built-in glyph of that note. It never takes the keyboard focus.
class TOVChord1stStepElemView : public QWidget {
    Q_OBJECT
public:
    TOVChord1stStepElemView(int tag, QWidget* parent = nullptr);

    int tag() const { return tag_; }
    bool black() const { return black_; }
    void setBlack(bool black) { black_ = black; }
    // Setting it does not redraw by itself.
    bool selected() const { return selected_; }
    void setSelected(bool selected) { selected_ = selected; }
    TOVChord1stStepElemViewDelegate* delegateChord() const { return delegate_; }
    void setDelegateChord(TOVChord1stStepElemViewDelegate* delegate) { delegate_ = delegate; }
    const std::optional<platform::BezierPath>& bezierPath() const { return bezierPath_; }
    // Makes the key's glyph for its present size; the glyph then stays, whatever the notation profile.
    void createPath();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    int tag_;
    bool black_ = false;
    bool selected_ = false;
    TOVChord1stStepElemViewDelegate* delegate_ = nullptr;
    std::optional<platform::BezierPath> bezierPath_;
    platform::ClickCounter clicks_;
};

// The keyboard of the three-step builder on which the root (first step) or the bass (base step) is
// picked: seven white keys for the natural notes and ten black keys for the sharp and flat spellings of
// the other five.
class TOVChord1stStepViewController : public QObject, public TOVChord1stStepElemViewDelegate {
    Q_OBJECT
public:
    static constexpr int KeyCount = 17;
    static constexpr int None = 17;

    TOVChord1stStepViewController();
    ~TOVChord1stStepViewController() override;

    QWidget* view() const { return view_; }
    // Not owned: the builder.
    TOVChordViewDelegate* chordDelegate() const { return chordDelegate_; }
    void setChordDelegate(TOVChordViewDelegate* delegate) { chordDelegate_ = delegate; }

    // The key of a root code, or null.
    TOVChord1stStepElemView* keyView(int value) const;
    // The chosen key's value; 17 when none is chosen.
    int elemType() const;
    // Chooses the key of the value (none for any value outside 0 to 16) without telling the delegate.
    void setElemType(int value);
    void clearSelection();

    void elemViewSelected(TOVChord1stStepElemView* key) override;
    void doubleClicked(TOVChord1stStepElemView* key) override;

private:
    void choose(TOVChord1stStepElemView* key);

    QPointer<QWidget> view_;
    std::array<QPointer<TOVChord1stStepElemView>, KeyCount> keys_;
    QPointer<TOVChord1stStepElemView> selectedView_;
    TOVChordViewDelegate* chordDelegate_ = nullptr;
};
