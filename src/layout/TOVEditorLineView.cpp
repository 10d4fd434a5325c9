#include "layout/TOVEditorLineView.h"

#include "layout/TOVEditorBarView.h"
#include "layout/TOVEditorPageView.h"
#include "layout/TOVLayoutController.h"
#include "model/Bar.h"
#include "model/Line.h"

#include <algorithm>

TOVEditorLineView::TOVEditorLineView(const platform::Rect& frame, TOVLayoutController* delegate)
    : TOVLayoutView(frame, delegate) {}

TOVEditorLineView::~TOVEditorLineView() = default;

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
    if (line_ == nullptr) {
        return;
    }
    double x = kFirstBarX;
    for (Bar* bar : line_->barArray()) {
        createNewBarViewXAt(bar, x);
        x += barViewArray_.back()->frame().width();
    }
}

void TOVEditorLineView::createNewBarViewXAt(Bar* bar, double x) {
    const double width = bar->width() > 0 ? bar->width() : defaultBarWidth();
    auto barView =
        std::make_shared<TOVEditorBarView>(platform::Rect(x, 0, width, bounds().height()), delegate());
    barViewArray_.push_back(barView);
    addSubview(barView);
    barView->setBar(bar);
}

void TOVEditorLineView::removeAllBarViews() {
    const BarViewArray views = barViewArray_;
    for (const auto& view : views) {
        view->removeFromSuperview();
    }
    barViewArray_.clear();
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

void TOVEditorLineView::removeFromSuperview() {
    removeAllBarViews();
    TOVLayoutView::removeFromSuperview();
}

double TOVEditorLineView::defaultBarWidth() const {
    // A line without a partition lays its bars out as one share each rather than dividing by zero.
    const std::uint64_t partition = line_ != nullptr ? std::max<std::uint64_t>(line_->partition(), 1) : 1;
    return (bounds().width() - kOuterMargins) / static_cast<double>(partition);
}

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
    if (delegate() == nullptr) {
        return nullptr;
    }
    TOVEditorPageView* pageView = delegate()->layoutViewInquirePageView(const_cast<TOVEditorLineView*>(this));
    if (pageView == nullptr) {
        return nullptr;
    }
    bool stop = false;
    if (TOVEditorLineView* next = pageView->nextLineViewOfStop(this, stop)) {
        return next;
    }
    if (stop) {
        return nullptr;
    }
    TOVEditorPageView* nextPage = pageView->nextPageView();
    return nextPage != nullptr ? nextPage->firstLineViewOfLower(isLowerPart()) : nullptr;
}

TOVEditorLineView* TOVEditorLineView::previousLineView() const {
    if (delegate() == nullptr) {
        return nullptr;
    }
    TOVEditorPageView* pageView = delegate()->layoutViewInquirePageView(const_cast<TOVEditorLineView*>(this));
    if (pageView == nullptr) {
        return nullptr;
    }
    bool stop = false;
    if (TOVEditorLineView* previous = pageView->previousLineViewOfStop(this, stop)) {
        return previous;
    }
    if (stop) {
        return nullptr;
    }
    TOVEditorPageView* previousPage = pageView->previousPageView();
    return previousPage != nullptr ? previousPage->lastLineViewOfLower(isLowerPart()) : nullptr;
}
