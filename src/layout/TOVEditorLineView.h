#pragma once

#include "glyphs/TOVBarLineViewDelegate.h"
#include "layout/TOVLayoutView.h"
#include "model/TOVStaffMetrics.h"
#include "platform/graphics/BezierPath.h"

#include <cstdint>
#include <memory>
#include <vector>

class Bar;
class Line;
class TOVBarLineView;
class TOVEditorBarView;
class TOVEditorPageView;
class TOVEditorView;
class TOVObjectView;

// The view of one staff Line inside its page view: the line's bar views side by side from x 40, each as
// wide as its bar (or the default share of 520 / partition when the bar has no width of its own), the five
// staff lines under them, and for a single or upper line the barline views between the bars (spanning both
// staves of a double line) and the brace of a double line. Barline and brace views live in the editor view.
// As the barlines' delegate it re-divides the widths of two bars when their barline is dragged.
class TOVEditorLineView : public TOVLayoutView, public TOVBarLineViewDelegate {
public:
    using BarViewArray = std::vector<std::shared_ptr<TOVEditorBarView>>;
    using BarLineViewArray = std::vector<std::shared_ptr<TOVBarLineView>>;

    // x of the first bar view and of the staff lines' left end.
    static constexpr double kFirstBarX = 40.0;
    // What the line's width less this is shared by bars of the default width.
    static constexpr double kOuterMargins = 75.0;
    static constexpr double kMinBarWidth = 40.0;
    static constexpr double kStaffHeight = 23.6;
    static constexpr double kStaffLineDistance = TOVStaffSpace;
    static constexpr double kStaffLineThickness = 0.2;
    // The staff with the fifth line's thickness: barline offsets and the brace.
    static constexpr double kStaffOuterHeight = 23.8;
    static constexpr double kBraceGap = 2.0;

    explicit TOVEditorLineView(const platform::Rect& frame = platform::Rect(),
                               TOVLayoutController* delegate = nullptr);
    ~TOVEditorLineView() override;

    Line* line() const { return line_; }
    // A different line is stored and its bar views built anew.
    void setLine(Line* line);
    const BarViewArray& barViewArray() const { return barViewArray_; }
    const BarLineViewArray& barLineViewArray() const { return barLineViewArray_; }
    const platform::BezierPath& bezierPath5Lines() const { return bezierPath5Lines_; }
    const std::shared_ptr<TOVObjectView>& multiLineBraceView() const { return multiLineBraceView_; }

    // removeAllBarViews and createAllBarViews between the controller's will- and did-update reports.
    void recreateAllBarViews();
    void createAllBarViews();
    void createNewBarViewXAt(Bar* bar, double x);
    // The barline after the bar view, or the line's first barline for none.
    void createNewBarLineViewMovable(TOVEditorBarView* barView, bool movable);
    void removeAllBarViews();
    // A lower line has its upper line do it for both staves.
    void recreateAllSubViews() override;
    void updateAllSubviews() override;
    void removeFromSuperview() override;
    // The brace of a double line; built with the staff's barlines.
    void createBraceView();
    void removeBraceView();
    void createBezierPath5Lines();
    // Re-place the existing views from the model's widths.
    void lineUpBarViews();
    void lineUpBarLineViews();
    // Widens every bar but the last to its minimum width at the expense of the bar after it.
    void normalizeBarWidth();

    void drawRect(const platform::Rect& dirty, platform::GraphicsContext& ctx) override;

    // --- Geometry ---
    double offsetTo5Lines() const;
    double defaultBarWidth() const;
    // 40; the song's first bar also needs room for its clef, key and time before its first barline.
    double minBarWidthOfBarView(const TOVEditorBarView* barView) const;
    double xPosForFirstBarlineView() const;

    // --- Lookups ---
    TOVEditorBarView* barViewOf(std::uint64_t index) const;
    TOVEditorBarView* barViewFromNumber(std::uint64_t number) const;
    // The bars of the Line (the model's count).
    std::uint64_t numberOfValidBars() const;
    TOVEditorBarView* firstBarView() const;
    TOVEditorBarView* lastBarView() const;
    TOVEditorBarView* previousBarViewOf(const TOVEditorBarView* barView) const;
    TOVEditorBarView* nextBarViewOf(const TOVEditorBarView* barView) const;
    TOVBarLineView* rightBarLineViewOfBarView(const TOVEditorBarView* barView) const;
    TOVBarLineView* leftBarLineViewOfBarView(const TOVEditorBarView* barView) const;
    TOVBarLineView* firstBarLineView() const;
    // The Line is the lower staff of a double line.
    bool isLowerPart() const;
    // The line view of the other staff, found through the enclosing page view.
    TOVEditorLineView* alternativeLineView() const;
    // The line view of the same staff (upper or lower) after / before this one, across pages.
    TOVEditorLineView* nextLineView() const;
    TOVEditorLineView* previousLineView() const;

    // --- As the barlines' delegate ---
    void barLineViewRequireMoveX(TOVBarLineView* view, double dx) override;
    void barLineViewDidMoveX(TOVBarLineView* view, double distance) override;
    void barLineViewSymbolPaletteDragEnteredDraggingInfo(TOVBarLineView* view, std::int32_t item,
                                                         const platform::DraggingInfo& info) override;
    void barLineViewSymbolPaletteDragExitedDraggingInfo(TOVBarLineView* view, std::int32_t item,
                                                        const platform::DraggingInfo& info) override;
    void barLineViewSymbolPaletteDragPerformedDraggingInfo(TOVBarLineView* view, std::int32_t item,
                                                           const platform::DraggingInfo& info) override;
    int barLineViewInquireBarlineType(TOVBarLineView* view) override;

private:
    TOVEditorLineView* neighbourLineView(bool next) const;
    // The editor view and page view that hold this line: the controller's answers, or without a controller
    // (a view tree drawn on its own) the enclosing views.
    TOVEditorView* hostEditorView() const;
    TOVEditorPageView* hostPageView() const;
    void normalizeBarViews();
    double barWidthOf(const TOVEditorBarView* barView) const;
    // The width a bar is laid out at: its own width, or its default share when it has none or when the
    // line's own widths would run past the page.
    double laidOutWidthOf(const Bar* bar) const;
    bool ownWidthsFitThePage() const;

    Line* line_ = nullptr;
    BarViewArray barViewArray_;
    BarLineViewArray barLineViewArray_;
    platform::BezierPath bezierPath5Lines_;
    std::shared_ptr<TOVObjectView> multiLineBraceView_;
};
