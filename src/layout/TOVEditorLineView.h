#pragma once

#include "layout/TOVLayoutView.h"

#include <cstdint>
#include <memory>
#include <vector>

class Bar;
class Line;
class TOVEditorBarView;

// The view of one staff Line inside its page view: the line's bar views side by side from x 40, each as
// wide as its bar (or the default share of 520 / partition when the bar has no width of its own).
class TOVEditorLineView : public TOVLayoutView {
public:
    using BarViewArray = std::vector<std::shared_ptr<TOVEditorBarView>>;

    // x of the first bar view.
    static constexpr double kFirstBarX = 40.0;
    // What the line's width less this is shared by bars of the default width.
    static constexpr double kOuterMargins = 75.0;

    explicit TOVEditorLineView(const platform::Rect& frame = platform::Rect(),
                               TOVLayoutController* delegate = nullptr);
    ~TOVEditorLineView() override;

    Line* line() const { return line_; }
    // A different line is stored and its bar views built anew.
    void setLine(Line* line);
    const BarViewArray& barViewArray() const { return barViewArray_; }

    // removeAllBarViews and createAllBarViews between the controller's will- and did-update reports.
    void recreateAllBarViews();
    void createAllBarViews();
    void createNewBarViewXAt(Bar* bar, double x);
    void removeAllBarViews();
    // A lower line has its upper line do it for both staves.
    void recreateAllSubViews() override;
    void removeFromSuperview() override;
    // The brace of a double line; built with the staff's barlines.
    virtual void createBraceView() {}
    virtual void removeBraceView() {}

    double defaultBarWidth() const;

    TOVEditorBarView* barViewOf(std::uint64_t index) const;
    TOVEditorBarView* barViewFromNumber(std::uint64_t number) const;
    // The bars of the Line (the model's count).
    std::uint64_t numberOfValidBars() const;
    TOVEditorBarView* firstBarView() const;
    TOVEditorBarView* lastBarView() const;
    TOVEditorBarView* previousBarViewOf(const TOVEditorBarView* barView) const;
    TOVEditorBarView* nextBarViewOf(const TOVEditorBarView* barView) const;
    // The Line is the lower staff of a double line.
    bool isLowerPart() const;
    // The line view of the other staff, found through the enclosing page view.
    TOVEditorLineView* alternativeLineView() const;
    // The line view of the same staff (upper or lower) after / before this one, across pages.
    TOVEditorLineView* nextLineView() const;
    TOVEditorLineView* previousLineView() const;

private:
    Line* line_ = nullptr;
    BarViewArray barViewArray_;
};
