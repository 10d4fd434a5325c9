#include "layout/TOVEditorLineView.h"

#include "glyphs/SVGUtils.h"
#include "glyphs/TOVBarLineView.h"
#include "glyphs/TOVObjectViewFactory.h"
#include "layout/TOVEditorBarView.h"
#include "layout/TOVEditorPageView.h"
#include "layout/TOVEditorView.h"
#include "layout/TOVLayoutController.h"
#include "model/Bar.h"
#include "model/Document.h"
#include "model/Line.h"
#include "model/Page.h"
#include "model/TOVSymbolTypes.h"
#include "model/TOVUtils.h"
#include "platform/graphics/GraphicsContext.h"

#include <algorithm>

using platform::Point;
using platform::Rect;

TOVEditorLineView::TOVEditorLineView(const Rect& frame, TOVLayoutController* delegate)
    : TOVLayoutView(frame, delegate) {
    createBezierPath5Lines();
}

TOVEditorLineView::~TOVEditorLineView() {
    removeAllBarViews();
}

void TOVEditorLineView::setLine(Line* line) {
    if (line == line_) {
        return;
    }
    line_ = line;
    recreateAllBarViews();
}

void TOVEditorLineView::recreateAllBarViews() {
    if (delegate() != nullptr) {
        delegate()->layoutViewWillUpdateSubviews(this);
    }
    removeAllBarViews();
    createAllBarViews();
    if (delegate() != nullptr) {
        delegate()->layoutViewDidlUpdateSubviews(this);
    }
}

void TOVEditorLineView::createAllBarViews() {
    if (line_ != nullptr) {
        double x = kFirstBarX;
        for (Bar* bar : line_->barArray()) {
            createNewBarViewXAt(bar, x);
            x += barViewArray_.back()->frame().width();
        }
        // A lower staff shows the barlines its upper staff draws across both.
        if (!line_->isLowerOfDoublePart()) {
            createNewBarLineViewMovable(nullptr, false);
            for (std::size_t i = 0; i < barViewArray_.size(); ++i) {
                createNewBarLineViewMovable(barViewArray_[i].get(), i + 1 < barViewArray_.size());
            }
        }
    }
    createBezierPath5Lines();
}

void TOVEditorLineView::createNewBarViewXAt(Bar* bar, double x) {
    const double width = laidOutWidthOf(bar);
    auto barView = std::make_shared<TOVEditorBarView>(Rect(x, 0, width, bounds().height()), delegate());
    barViewArray_.push_back(barView);
    addSubview(barView);
    barView->setBar(bar);
}

void TOVEditorLineView::createNewBarLineViewMovable(TOVEditorBarView* barView, bool movable) {
    const bool isDouble = line_ != nullptr && line_->lower() != nullptr;
    const double height = isDouble ? frame().height() * 2 : frame().height();
    auto view = TOVBarLineView::withFrame(Rect(0, 0, 0, height));
    view->setDoublePart(isDouble);
    view->setBarOffsetY((frame().height() - kStaffOuterHeight) * 0.5);
    double x = xPosForFirstBarlineView();
    if (barView != nullptr) {
        view->setBarViewBelongTo(barView);
        x = barView->frame().maxX();
    }
    view->setFrameOrigin(Point{x - view->bounds().width() * 0.5, 0.0});
    view->setDelegate(delegate());
    view->setBarLineViewDelegate(this);
    view->setCanMoveXpos(movable);
    barLineViewArray_.push_back(view);
    if (TOVEditorView* editor = hostEditorView()) {
        editor->addSubviewRelativeOriginFromAboveAll(view, this, true);
    }
    view->updateView();
}

void TOVEditorLineView::removeAllBarViews() {
    const BarViewArray views = barViewArray_;
    for (const auto& view : views) {
        view->removeFromSuperview();
    }
    barViewArray_.clear();
    const BarLineViewArray barLines = barLineViewArray_;
    for (const auto& view : barLines) {
        view->removeFromSuperview();
    }
    barLineViewArray_.clear();
    if (multiLineBraceView_) {
        multiLineBraceView_->removeFromSuperview();
    }
}

void TOVEditorLineView::recreateAllSubViews() {
    if (isLowerPart()) {
        if (TOVEditorLineView* upper = alternativeLineView()) {
            upper->recreateAllSubViews();
        }
        return;
    }
    recreateAllBarViews();
    if (TOVEditorLineView* lower = alternativeLineView()) {
        lower->recreateAllBarViews();
    }
    if (line_ != nullptr && line_->lower() != nullptr) {
        createBraceView();
    } else {
        removeBraceView();
    }
}

void TOVEditorLineView::updateAllSubviews() {
    if (isLowerPart()) {
        if (TOVEditorLineView* upper = alternativeLineView()) {
            upper->updateAllSubviews();
        }
        return;
    }
    lineUpBarViews();
    for (const auto& view : barViewArray_) {
        view->updateAllSubviews();
    }
    if (TOVEditorLineView* lower = alternativeLineView()) {
        lower->lineUpBarViews();
        for (const auto& view : lower->barViewArray_) {
            view->updateAllSubviews();
        }
    }
}

void TOVEditorLineView::removeFromSuperview() {
    removeAllBarViews();
    TOVLayoutView::removeFromSuperview();
}

void TOVEditorLineView::createBraceView() {
    removeBraceView();
    TOVEditorPageView* pageView = hostPageView();
    TOVObjectViewFactory* factory = TOVUtils::objectViewFactory();
    if (pageView == nullptr || factory == nullptr || line_ == nullptr) {
        return;
    }
    const double target = pageView->lineHeight() + kStaffOuterHeight;
    std::string fontID;
    if (line_->page() != nullptr && line_->page()->document() != nullptr) {
        fontID = line_->page()->document()->plugInFontID().toStdString();
    }
    auto brace = factory->symbolObjectViewWithSymbolTypeFontID(TOVBarlineBrace, fontID);
    if (!brace || !brace->bezierPath() || brace->bezierPath()->bounds().height() <= 0) {
        return;
    }
    platform::BezierPath outline = *brace->bezierPath();
    const double scale = target / outline.bounds().height();
    SVGUtils::scaleBezierPathXByYBy(&outline, scale, scale);
    const platform::Size size = outline.bounds().size;
    brace->setBezierPath(outline);
    Point origin{0, 0};
    if (TOVEditorBarView* first = firstBarView()) {
        origin = Point{first->frame().x() - (size.width + kBraceGap),
                       first->frame().y() + (pageView->lineHeight() - kStaffOuterHeight) * 0.5};
    }
    brace->setFrame(Rect(origin, size));
    multiLineBraceView_ = brace;
    if (TOVEditorView* editor = hostEditorView()) {
        editor->addSubviewRelativeOriginFromAboveAll(brace, this, true);
    }
}

void TOVEditorLineView::removeBraceView() {
    if (multiLineBraceView_) {
        multiLineBraceView_->removeFromSuperview();
        multiLineBraceView_ = nullptr;
    }
}

void TOVEditorLineView::createBezierPath5Lines() {
    platform::BezierPath path;
    path.setLineWidth(kStaffLineThickness);
    double total = 0;
    for (const auto& view : barViewArray_) {
        total += view->frame().width();
    }
    double y = offsetTo5Lines();
    for (int i = 0; i < 5; ++i) {
        path.appendRect(Rect(kFirstBarX, y, total, kStaffLineThickness));
        y += kStaffLineDistance;
    }
    bezierPath5Lines_ = path;
}

void TOVEditorLineView::drawRect(const Rect&, platform::GraphicsContext& ctx) {
    ctx.setFillColor(platform::Color::black());
    ctx.fillPath(bezierPath5Lines_);
}

double TOVEditorLineView::barWidthOf(const TOVEditorBarView* barView) const {
    return laidOutWidthOf(barView->bar());
}

double TOVEditorLineView::laidOutWidthOf(const Bar* bar) const {
    if (bar == nullptr || !(bar->width() > 0) || !ownWidthsFitThePage()) {
        return defaultBarWidth();
    }
    return bar->width();
}

// Widths from a damaged or foreign file may add up to more than the page holds; such a line is laid out in
// default shares (the stored widths stay as they are until the user sets new ones). Stored widths pass
// through single precision, hence the allowance.
bool TOVEditorLineView::ownWidthsFitThePage() const {
    if (line_ == nullptr) {
        return true;
    }
    constexpr double kAllowance = 2.0;
    double total = 0;
    for (const Bar* bar : line_->barArray()) {
        total += bar->width() > 0 ? bar->width() : defaultBarWidth();
    }
    return total <= bounds().width() - kOuterMargins + kAllowance;
}

void TOVEditorLineView::lineUpBarViews() {
    double x = kFirstBarX;
    for (const auto& view : barViewArray_) {
        const double width = barWidthOf(view.get());
        const Rect placed(x, view->frame().y(), width, view->frame().height());
        if (placed != view->frame()) {
            view->setFrame(placed);
        }
        x += width;
    }
    TOVEditorLineView* upper = isLowerPart() ? alternativeLineView() : this;
    if (upper != nullptr) {
        upper->lineUpBarLineViews();
    }
    setNeedsDisplay();
}

void TOVEditorLineView::lineUpBarLineViews() {
    for (const auto& view : barLineViewArray_) {
        const auto* barView = dynamic_cast<TOVEditorBarView*>(view->barViewBelongTo());
        const double edge = barView != nullptr ? barView->frame().maxX() : xPosForFirstBarlineView();
        // Line views stand at x 0 of pages that stand at x 0: a line x is an editor x.
        const double x = edge - view->bounds().width() * 0.5;
        if (x != view->frame().x()) {
            view->setFrameOrigin(Point{x, view->frame().y()});
        }
        view->updateView();
    }
}

void TOVEditorLineView::normalizeBarViews() {
    for (std::size_t i = 0; i + 1 < barViewArray_.size(); ++i) {
        Bar* bar = barViewArray_[i]->bar();
        Bar* next = barViewArray_[i + 1]->bar();
        if (bar == nullptr || next == nullptr) {
            continue;
        }
        // The widths as laid out: a stored 0 is the default share, not a bar without room.
        const double width = barWidthOf(barViewArray_[i].get());
        const double nextWidth = barWidthOf(barViewArray_[i + 1].get());
        const double minimum = minBarWidthOfBarView(barViewArray_[i].get());
        if (minimum <= width) {
            continue;
        }
        double delta = minimum - width;
        if (nextWidth - delta <= 0) {
            // Never leave the next bar without a width: it gives up no more than its own excess over the
            // minimum bar width.
            delta = std::max(0.0, nextWidth - kMinBarWidth);
        }
        if (delta <= 0) {
            continue;
        }
        bar->setWidth(width + delta);
        next->setWidth(nextWidth - delta);
    }
}

void TOVEditorLineView::normalizeBarWidth() {
    if (line_ == nullptr || line_->isUndoRedoing()) {
        return;
    }
    if (isLowerPart()) {
        if (TOVEditorLineView* upper = alternativeLineView()) {
            upper->normalizeBarWidth();
        }
        return;
    }
    normalizeBarViews();
    if (TOVEditorLineView* lower = alternativeLineView()) {
        lower->lineUpBarViews();
        lower->normalizeBarViews();
    }
}

TOVEditorView* TOVEditorLineView::hostEditorView() const {
    if (TOVEditorView* editor = editorView()) {
        return editor;
    }
    for (platform::View* view = superview(); view != nullptr; view = view->superview()) {
        if (auto* editor = dynamic_cast<TOVEditorView*>(view)) {
            return editor;
        }
    }
    return nullptr;
}

TOVEditorPageView* TOVEditorLineView::hostPageView() const {
    if (delegate() != nullptr) {
        return delegate()->layoutViewInquirePageView(const_cast<TOVEditorLineView*>(this));
    }
    return dynamic_cast<TOVEditorPageView*>(superview());
}

// ---- Geometry -------------------------------------------------------------------------------------------

double TOVEditorLineView::offsetTo5Lines() const {
    return (bounds().height() - kStaffHeight) * 0.5;
}

double TOVEditorLineView::defaultBarWidth() const {
    // A line without a partition lays its bars out as one share each rather than dividing by zero.
    const std::uint64_t partition = line_ != nullptr ? std::max<std::uint64_t>(line_->partition(), 1) : 1;
    return (bounds().width() - kOuterMargins) / static_cast<double>(partition);
}

double TOVEditorLineView::minBarWidthOfBarView(const TOVEditorBarView* barView) const {
    if (barView != nullptr && barView->bar() != nullptr && barView->bar()->num() == 0) {
        return barView->rectangleClefKeyTimeArea().maxX() + kMinBarWidth;
    }
    return kMinBarWidth;
}

double TOVEditorLineView::xPosForFirstBarlineView() const {
    if (line_ == nullptr || line_->barArray().empty()) {
        return 0.0;
    }
    if (line_->barArray().front()->num() == 0) {
        if (TOVEditorBarView* first = firstBarView()) {
            return kFirstBarX + first->rectangleClefKeyTimeArea().maxX();
        }
    }
    return kFirstBarX;
}

// ---- Lookups --------------------------------------------------------------------------------------------

TOVEditorBarView* TOVEditorLineView::barViewOf(std::uint64_t index) const {
    return index < barViewArray_.size() ? barViewArray_[index].get() : nullptr;
}

TOVEditorBarView* TOVEditorLineView::barViewFromNumber(std::uint64_t number) const {
    for (const auto& view : barViewArray_) {
        if (view->bar() != nullptr && view->bar()->num() == number) {
            return view.get();
        }
    }
    return nullptr;
}

std::uint64_t TOVEditorLineView::numberOfValidBars() const {
    return line_ != nullptr ? line_->bars().size() : 0;
}

TOVEditorBarView* TOVEditorLineView::firstBarView() const {
    return barViewArray_.empty() ? nullptr : barViewArray_.front().get();
}

TOVEditorBarView* TOVEditorLineView::lastBarView() const {
    return barViewArray_.empty() ? nullptr : barViewArray_.back().get();
}

TOVEditorBarView* TOVEditorLineView::previousBarViewOf(const TOVEditorBarView* barView) const {
    for (std::size_t i = 1; i < barViewArray_.size(); ++i) {
        if (barViewArray_[i].get() == barView) {
            return barViewArray_[i - 1].get();
        }
    }
    return nullptr;
}

TOVEditorBarView* TOVEditorLineView::nextBarViewOf(const TOVEditorBarView* barView) const {
    for (std::size_t i = 0; i + 1 < barViewArray_.size(); ++i) {
        if (barViewArray_[i].get() == barView) {
            return barViewArray_[i + 1].get();
        }
    }
    return nullptr;
}

TOVBarLineView* TOVEditorLineView::rightBarLineViewOfBarView(const TOVEditorBarView* barView) const {
    for (const auto& view : barLineViewArray_) {
        if (barView != nullptr && view->barViewBelongTo() == barView) {
            return view.get();
        }
    }
    return nullptr;
}

TOVBarLineView* TOVEditorLineView::leftBarLineViewOfBarView(const TOVEditorBarView* barView) const {
    if (barView != nullptr && barView == firstBarView()) {
        return firstBarLineView();
    }
    TOVEditorBarView* previous = previousBarViewOf(barView);
    return previous != nullptr ? rightBarLineViewOfBarView(previous) : nullptr;
}

TOVBarLineView* TOVEditorLineView::firstBarLineView() const {
    return barLineViewArray_.empty() ? nullptr : barLineViewArray_.front().get();
}

bool TOVEditorLineView::isLowerPart() const {
    return line_ != nullptr && line_->isLowerOfDoublePart();
}

TOVEditorLineView* TOVEditorLineView::alternativeLineView() const {
    if (delegate() == nullptr) {
        return nullptr;
    }
    TOVEditorPageView* pageView = delegate()->layoutViewInquirePageView(const_cast<TOVEditorLineView*>(this));
    return pageView != nullptr ? pageView->alternativeLineViewOf(this) : nullptr;
}

TOVEditorLineView* TOVEditorLineView::nextLineView() const {
    return neighbourLineView(true);
}

TOVEditorLineView* TOVEditorLineView::previousLineView() const {
    return neighbourLineView(false);
}

TOVEditorLineView* TOVEditorLineView::neighbourLineView(bool next) const {
    if (delegate() == nullptr) {
        return nullptr;
    }
    TOVEditorPageView* pageView = delegate()->layoutViewInquirePageView(const_cast<TOVEditorLineView*>(this));
    if (pageView == nullptr) {
        return nullptr;
    }
    bool stop = false;
    TOVEditorLineView* onPage =
        next ? pageView->nextLineViewOfStop(this, stop) : pageView->previousLineViewOfStop(this, stop);
    if (onPage != nullptr || stop) {
        return onPage;
    }
    if (next) {
        TOVEditorPageView* nextPage = pageView->nextPageView();
        return nextPage != nullptr ? nextPage->firstLineViewOfLower(isLowerPart()) : nullptr;
    }
    TOVEditorPageView* previousPage = pageView->previousPageView();
    return previousPage != nullptr ? previousPage->lastLineViewOfLower(isLowerPart()) : nullptr;
}

// ---- As the barlines' delegate --------------------------------------------------------------------------

void TOVEditorLineView::barLineViewRequireMoveX(TOVBarLineView* view, double dx) {
    auto* left = dynamic_cast<TOVEditorBarView*>(view->barViewBelongTo());
    TOVEditorBarView* right = left != nullptr ? nextBarViewOf(left) : nullptr;
    if (right == nullptr) {
        return;
    }
    TOVEditorBarView* lowerLeft = left->alternativeBarViewInDoubleLine();
    TOVEditorBarView* lowerRight = right->alternativeBarViewInDoubleLine();
    const bool withPartners =
        line_ != nullptr && line_->lower() != nullptr && lowerLeft != nullptr && lowerRight != nullptr;
    // Neither staff's bars may become narrower than their minimum.
    double maxRight = right->bounds().width() - minBarWidthOfBarView(right);
    double maxLeft = left->bounds().width() - minBarWidthOfBarView(left);
    if (withPartners) {
        if (TOVEditorLineView* lower = alternativeLineView()) {
            maxRight =
                std::min(maxRight, lowerRight->bounds().width() - lower->minBarWidthOfBarView(lowerRight));
            maxLeft = std::min(maxLeft, lowerLeft->bounds().width() - lower->minBarWidthOfBarView(lowerLeft));
        }
    }
    double d = dx;
    if (dx >= maxRight) {
        d = maxRight;
    } else if (dx <= -maxLeft) {
        d = -maxLeft;
    }
    if (d == 0) {
        return;
    }
    view->setFrameOrigin(Point{view->frame().x() + d, view->frame().y()});
    auto move = [d](TOVEditorBarView* leftView, TOVEditorBarView* rightView) {
        Rect rightFrame = rightView->frame();
        rightFrame.origin.x += d;
        rightFrame.size.width -= d;
        Rect leftFrame = leftView->frame();
        leftFrame.size.width += d;
        rightView->updateViewFrameTemporallyBy(rightFrame);
        leftView->updateViewFrameTemporallyBy(leftFrame);
    };
    move(left, right);
    if (withPartners) {
        move(lowerLeft, lowerRight);
    }
}

void TOVEditorLineView::barLineViewDidMoveX(TOVBarLineView* view, double) {
    auto* left = dynamic_cast<TOVEditorBarView*>(view->barViewBelongTo());
    TOVEditorBarView* right = left != nullptr ? nextBarViewOf(left) : nullptr;
    if (right == nullptr) {
        return;
    }
    // The partner bars of a double line take their new widths with these bars (the model writes pairs);
    // their stored positions must move by the same factors, taken before the widths change.
    struct Partner {
        TOVEditorBarView* view;
        double scaleX, scaleY;
    };
    std::vector<Partner> partners;
    for (TOVEditorBarView* barView : {right, left}) {
        TOVEditorBarView* partner = barView->alternativeBarViewInDoubleLine();
        const Bar* bar = barView->bar();
        if (partner == nullptr || bar == nullptr || partner == barView) {
            continue;
        }
        const double scaleX = bar->width() == 0 ? 1.0 : barView->frame().width() / bar->width();
        const double scaleY = bar->height() == 0 ? 1.0 : barView->frame().height() / bar->height();
        partners.push_back(Partner{partner, scaleX, scaleY});
    }
    for (TOVEditorBarView* barView : {right, left}) {
        barView->setFrameSize(barView->frame().size);
        barView->updateDataFrameAsCurrentViewFrame();
    }
    for (const Partner& partner : partners) {
        if (partner.scaleX != 1.0 || partner.scaleY != 1.0) {
            partner.view->moveSymbolsDataOriginInScaleXby(partner.scaleX, partner.scaleY);
        }
    }
    if (!partners.empty()) {
        if (TOVEditorLineView* lower = alternativeLineView()) {
            lower->lineUpBarViews();
        }
        for (const Partner& partner : partners) {
            partner.view->updateAllSubviews();
        }
    }
}

void TOVEditorLineView::barLineViewSymbolPaletteDragEnteredDraggingInfo(TOVBarLineView* view,
                                                                        std::int32_t item,
                                                                        const platform::DraggingInfo& info) {
    if (delegate() != nullptr) {
        delegate()->layoutViewSymbolPaletteDragEnteredDraggingInfo(view, item, info);
    }
}

void TOVEditorLineView::barLineViewSymbolPaletteDragExitedDraggingInfo(TOVBarLineView* view,
                                                                       std::int32_t item,
                                                                       const platform::DraggingInfo& info) {
    if (delegate() != nullptr) {
        delegate()->layoutViewSymbolPaletteDragExitedDraggingInfo(view, item, info);
    }
}

void TOVEditorLineView::barLineViewSymbolPaletteDragPerformedDraggingInfo(
    TOVBarLineView* view, std::int32_t item, const platform::DraggingInfo& info) {
    if (delegate() != nullptr) {
        delegate()->layoutViewSymbolPaletteDragPerformedDraggingInfo(view, item, info);
    }
    if ((item & TOVSymbolCategoryMask) != TOVSymbolCategoryBarline) {
        return;
    }
    if (auto* barView = dynamic_cast<TOVEditorBarView*>(view->barViewBelongTo())) {
        if (barView->bar() != nullptr) {
            barView->bar()->setBarLineType(item);
        }
    } else if (line_ != nullptr) {
        line_->setFirstBarLineType(item);
    }
    updateAllSubviews();
}

int TOVEditorLineView::barLineViewInquireBarlineType(TOVBarLineView* view) {
    if (auto* barView = dynamic_cast<TOVEditorBarView*>(view->barViewBelongTo())) {
        return barView->bar() != nullptr ? barView->bar()->barLineType() : 0;
    }
    return line_ != nullptr ? line_->firstBarLineType() : 0;
}
