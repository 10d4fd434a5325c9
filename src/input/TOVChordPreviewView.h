#pragma once

#include "model/TOVChordElems.h"
#include "platform/graphics/BezierPath.h"

#include <QWidget>

#include <optional>

// Shows one chord value as the song shows it: typeset by the chord view factory with the built-in glyphs
// and the current notation profile, fitted inside the margin (never magnified more than five times) and
// centred. It never takes the keyboard focus.
class TOVChordPreviewView : public QWidget {
    Q_OBJECT
public:
    static constexpr double MaxScale = 5.0;

    explicit TOVChordPreviewView(QWidget* parent = nullptr);

    const TOVChordElems& chord() const { return chord_; }
    // A value equal to the shown one does nothing; any other is typeset and shown.
    void setChord(const TOVChordElems& chord);
    double marginWithObjectView() const { return margin_; }
    // An equal value does nothing; any other typesets the chord again.
    void setMarginWithObjectView(double margin);
    // Typesets the shown chord again (its glyphs change with the notation profile) and redraws.
    void refresh();
    void createPath();
    const std::optional<platform::BezierPath>& bezierPath() const { return bezierPath_; }
    // How many times a chord was typeset.
    int typesetCount() const { return typesetCount_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Fits the typeset chord to the view's present size.
    void fitPath();

    // All five fields 0: nothing is drawn until another chord is set.
    TOVChordElems chord_{0, 0, 0, 0, false};
    double margin_ = 0;
    std::optional<platform::BezierPath> typesetPath_;
    std::optional<platform::BezierPath> bezierPath_;
    int typesetCount_ = 0;
};
