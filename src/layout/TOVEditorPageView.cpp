#include "layout/TOVEditorPageView.h"

#include "layout/TOVEditorBarView.h"
#include "layout/TOVEditorLineView.h"
#include "layout/TOVEditorSongView.h"
#include "layout/TOVEditorView.h"
#include "layout/TOVLayoutController.h"
#include "model/Bar.h"
#include "model/Document.h"
#include "model/Line.h"
#include "model/Page.h"
#include "model/Song.h"
#include "model/TOVUtils.h"
#include "platform/graphics/GraphicsContext.h"

#include <algorithm>

using platform::Point;
using platform::Rect;

TOVEditorPageView::TOVEditorPageView(const Rect& frame, TOVLayoutController* delegate)
    : TOVLayoutView(frame, delegate) {}

TOVEditorPageView::~TOVEditorPageView() {
    if (songView_) {
        songView_->setDelegate(nullptr);
    }
}

// --- Building ---

void TOVEditorPageView::setPage(Page* page) {
    if (page == page_) {
        return;
    }
    page_ = page;
    recreateAllSubViews();
}

void TOVEditorPageView::recreateAllSubViews() {
    removeAllLineViws();
    if (page_ == nullptr) {
        return;
    }
    double y = kMarginY;
    for (Line* line : page_->lineArray()) {
        createNewLineViewYAt(line, y);
        y += lineViewArray_.back()->frame().height();
        if (Line* lower = line->lower()) {
            createNewLineViewYAt(lower, y);
            y += lineViewArray_.back()->frame().height();
        }
    }
    // The new line views would cover the header's slot: the header stays on top, so that its texts
    // and double clicks still reach it.
    if (songView_) {
        addSubview(songView_);
    }
}

void TOVEditorPageView::updateAllLineViews() {
    if (delegate() != nullptr) {
        delegate()->layoutViewWillUpdateSubviews(this);
    }
    recreateAllSubViews();
    if (delegate() != nullptr) {
        delegate()->layoutViewDidlUpdateSubviews(this);
    }
}

void TOVEditorPageView::createNewLineViewYAt(Line* line, double y) {
    auto lineView =
        std::make_shared<TOVEditorLineView>(Rect(0, y, bounds().width(), lineHeight()), delegate());
    lineViewArray_.push_back(lineView);
    addSubview(lineView);
    lineView->setLine(line);
    if (line->lower() != nullptr) {
        lineView->createBraceView();
    } else {
        lineView->removeBraceView();
    }
}

void TOVEditorPageView::createNewLineView(Line* line) {
    createNewLineViewYAt(line, kMarginY + static_cast<double>(indexOfLine(line)) * lineHeight());
}

void TOVEditorPageView::removeLineView(Line* line) {
    TOVEditorLineView* lineView = lineViewFromLine(line);
    if (lineView == nullptr) {
        return;
    }
    const auto keep = std::static_pointer_cast<TOVEditorLineView>(lineView->shared_from_this());
    lineView->removeFromSuperview();
    std::erase(lineViewArray_, keep);
}

void TOVEditorPageView::removeAllLineViws() {
    const LineViewArray views = lineViewArray_;
    for (const auto& view : views) {
        view->removeFromSuperview();
        std::erase(lineViewArray_, view);
    }
}

void TOVEditorPageView::setSong(Song* song) {
    if (song == song_) {
        return;
    }
    song_ = song;
    if (songView_) {
        const auto old = std::move(songView_);
        old->setDelegate(nullptr);
        old->removeFromSuperview();
    }
    if (song_ == nullptr) {
        return;
    }
    songView_ = std::make_shared<TOVEditorSongView>(
        Rect(kSongViewX, kMarginY, frame().width() - kSongViewRightMargin - kSongViewX, lineHeight()),
        delegate());
    songView_->setSong(song_);
    addSubview(songView_);
}

void TOVEditorPageView::removeFromSuperview() {
    removeAllLineViws();
    TOVLayoutView::removeFromSuperview();
}

// --- Lookups ---

double TOVEditorPageView::lineHeight() const {
    // Whole numbers, as stored files were laid out with them; a page without slots has no line height.
    if (page_ == nullptr || page_->aPage() == 0) {
        return 0;
    }
    return static_cast<double>(kLinesHeight / page_->aPage());
}

std::uint64_t TOVEditorPageView::indexOfLine(const Line* line) const {
    if (page_ == nullptr) {
        return 0;
    }
    std::uint64_t index = 0;
    for (Line* each : page_->lineArray()) {
        if (each == line) {
            return index;
        }
        ++index;
        if (Line* lower = each->lower()) {
            if (lower == line) {
                return index;
            }
            ++index;
        }
    }
    return index;
}

std::uint64_t TOVEditorPageView::numberOfValidLines() const {
    return page_ != nullptr ? page_->lines().size() : 0;
}

std::uint64_t TOVEditorPageView::numberOfBars() const {
    if (page_ == nullptr) {
        return 0;
    }
    std::uint64_t count = 0;
    for (Line* line : page_->lines()) {
        count += line->bars().size();
        if (Line* lower = line->lower()) {
            count += lower->bars().size();
        }
    }
    return count;
}

TOVEditorLineView* TOVEditorPageView::lineViewFromLine(const Line* line) const {
    for (const auto& view : lineViewArray_) {
        if (view->line() == line) {
            return view.get();
        }
    }
    return nullptr;
}

TOVEditorLineView* TOVEditorPageView::alternativeLineViewOf(const TOVEditorLineView* lineView) const {
    if (lineView == nullptr || lineView->line() == nullptr) {
        return nullptr;
    }
    Line* partner = lineView->line()->altarnativePart();
    return partner != nullptr ? lineViewFromLine(partner) : nullptr;
}

std::int64_t TOVEditorPageView::indexOfLineView(const TOVEditorLineView* lineView) const {
    for (std::size_t i = 0; i < lineViewArray_.size(); ++i) {
        if (lineViewArray_[i].get() == lineView) {
            return static_cast<std::int64_t>(i);
        }
    }
    return -1;
}

TOVEditorLineView* TOVEditorPageView::nextSerialLineViewOf(const TOVEditorLineView* lineView) const {
    const std::int64_t i = indexOfLineView(lineView);
    if (i < 0 || static_cast<std::size_t>(i) + 1 >= lineViewArray_.size()) {
        return nullptr;
    }
    return lineViewArray_[static_cast<std::size_t>(i) + 1].get();
}

TOVEditorLineView* TOVEditorPageView::previousSerialLineViewOf(const TOVEditorLineView* lineView) const {
    const std::int64_t i = indexOfLineView(lineView);
    if (i <= 0) {
        return nullptr;
    }
    return lineViewArray_[static_cast<std::size_t>(i) - 1].get();
}

TOVEditorLineView* TOVEditorPageView::nextLineViewOfStop(const TOVEditorLineView* lineView,
                                                         bool& stop) const {
    stop = false;
    if (lineView == nullptr) {
        return nullptr;
    }
    TOVEditorLineView* n1 = nextSerialLineViewOf(lineView);
    if (lineView->isLowerPart()) {
        TOVEditorLineView* n2 = n1 != nullptr ? nextSerialLineViewOf(n1) : nullptr;
        if (n2 == nullptr) {
            return nullptr;
        }
        if (n2->isLowerPart()) {
            return n2;
        }
        stop = true;
        return nullptr;
    }
    if (n1 != nullptr && n1->isLowerPart()) {
        return nextSerialLineViewOf(n1);
    }
    return n1;
}

TOVEditorLineView* TOVEditorPageView::previousLineViewOfStop(const TOVEditorLineView* lineView,
                                                             bool& stop) const {
    stop = false;
    if (lineView == nullptr) {
        return nullptr;
    }
    TOVEditorLineView* p1 = previousSerialLineViewOf(lineView);
    if (lineView->isLowerPart()) {
        TOVEditorLineView* p2 = p1 != nullptr ? previousSerialLineViewOf(p1) : nullptr;
        if (p2 == nullptr) {
            return nullptr;
        }
        if (p2->isLowerPart()) {
            return p2;
        }
        stop = true;
        return nullptr;
    }
    if (p1 != nullptr && p1->isLowerPart()) {
        return previousSerialLineViewOf(p1);
    }
    return p1;
}

TOVEditorLineView* TOVEditorPageView::firstLineViewOfLower(bool lower) const {
    // The first page's first slot holds the song header.
    const std::size_t first = page_ != nullptr && page_->num() == 0 ? 1 : 0;
    if (lineViewArray_.size() <= first) {
        return nullptr;
    }
    TOVEditorLineView* lineView = lineViewArray_[first].get();
    return lower ? lineView->alternativeLineView() : lineView;
}

TOVEditorLineView* TOVEditorPageView::lastLineViewOfLower(bool lower) const {
    if (lineViewArray_.empty()) {
        return nullptr;
    }
    TOVEditorLineView* lineView = lineViewArray_.back().get();
    if (lower) {
        return lineView->isLowerPart() ? lineView : nullptr;
    }
    return lineView->isLowerPart() ? lineView->alternativeLineView() : lineView;
}

TOVEditorBarView* TOVEditorPageView::firstBarViewOfLower(bool lower) const {
    TOVEditorLineView* lineView = firstLineViewOfLower(lower);
    return lineView != nullptr ? lineView->firstBarView() : nullptr;
}

TOVEditorBarView* TOVEditorPageView::lastBarViewOfLower(bool lower) const {
    TOVEditorLineView* lineView = lastLineViewOfLower(lower);
    return lineView != nullptr ? lineView->lastBarView() : nullptr;
}

TOVEditorBarView* TOVEditorPageView::barViewFromNumberInLower(std::uint64_t number, bool lower) const {
    for (const auto& lineView : lineViewArray_) {
        if (lineView->numberOfValidBars() == 0) {
            continue;
        }
        TOVEditorBarView* first = lineView->firstBarView();
        TOVEditorBarView* last = lineView->lastBarView();
        if (first == nullptr || last == nullptr || first->bar() == nullptr || last->bar() == nullptr) {
            continue;
        }
        if (first->bar()->num() <= number && last->bar()->num() >= number) {
            TOVEditorLineView* holder = lower ? lineView->alternativeLineView() : lineView.get();
            return holder != nullptr ? holder->barViewFromNumber(number) : nullptr;
        }
    }
    return nullptr;
}

TOVEditorPageView* TOVEditorPageView::nextPageView() const {
    TOVEditorView* editor = editorView();
    return editor != nullptr ? editor->nextPageViewOf(this) : nullptr;
}

TOVEditorPageView* TOVEditorPageView::previousPageView() const {
    TOVEditorView* editor = editorView();
    return editor != nullptr ? editor->previousPageViewOf(this) : nullptr;
}

// --- Drawing ---

void TOVEditorPageView::drawRect(const Rect& dirty, platform::GraphicsContext& ctx) {
    const Rect sheet = bounds();
    if (ctx.isDrawingToScreen()) {
        ctx.setFillColor(TOVUtils::pageBackgroundColor());
        ctx.fillRect(sheet);
        if (delegate() != nullptr && delegate()->layoutViewInquireShowGrid(this)) {
            drawGrid(dirty, ctx);
        }
    } else {
        ctx.setFillColor(platform::Color::white());
        ctx.fillRect(sheet);
    }
    drawFooter(ctx);
    if (drawnOnScreenHook != nullptr && ctx.isDrawingToScreen()) {
        drawnOnScreenHook();
    }
}

namespace {

platform::BezierPath gridLine(Point from, Point to, bool dashed) {
    platform::BezierPath path;
    path.moveTo(from);
    path.lineTo(to);
    path.setLineWidth(0.1);
    if (dashed) {
        path.setLineDash({0.5, 0.5}, 0);
    }
    return path;
}

// The positions of the dashed lines at a zoom: every 2.5 between the solid lines from 4x, the odd
// multiples of 5 from 2x. Each position is offered to `draw` until one reaches the limit.
template <typename Draw>
void walkDashedPositions(double zoom, double limit, Draw draw) {
    double step = 0;
    if (zoom >= 4.0) {
        step = 2.5;
    } else if (zoom >= 2.0) {
        step = 5.0;
    } else {
        return;
    }
    for (long i = 0;; ++i) {
        const double position = step * static_cast<double>(i);
        const bool between = step == 2.5 ? i % 4 != 0 : i % 2 != 0;
        if (between) {
            draw(position);
        }
        if (position >= limit) {
            break;
        }
    }
}

} // namespace

void TOVEditorPageView::drawGrid(const Rect& dirty, platform::GraphicsContext& ctx) {
    const double width = bounds().width();
    const double height = bounds().height();
    ctx.saveGraphicsState();
    ctx.setStrokeColor(platform::Color::gray());
    // The solid lines cover the whole sheet whatever is being redrawn.
    for (double x = kGridPitch; x < width; x += kGridPitch) {
        ctx.strokePath(gridLine({x, 1}, {x, height - 1}, false));
    }
    for (double y = kGridPitch; y < height; y += kGridPitch) {
        ctx.strokePath(gridLine({1, y}, {width - 1, y}, false));
    }
    // The finer dashed lines only where the sheet is redrawn.
    const double zoom = delegate()->layoutViewInquireScale(this).width;
    walkDashedPositions(zoom, width, [&](double x) {
        if (x >= dirty.minX() && x <= dirty.maxX()) {
            ctx.strokePath(gridLine({x, 1}, {x, height - 1}, true));
        }
    });
    walkDashedPositions(zoom, height, [&](double y) {
        if (y >= dirty.minY() && y <= dirty.maxY()) {
            ctx.strokePath(gridLine({1, y}, {width - 1, y}, true));
        }
    });
    ctx.restoreGraphicsState();
}

QString TOVEditorPageView::footerText() const {
    if (page_ == nullptr) {
        return QString();
    }
    Document* document = page_->document();
    QString name;
    std::size_t pages = 0;
    if (document != nullptr) {
        pages = document->pages().size();
        if (Song* song = document->song()) {
            if (const auto text = song->name()) {
                name = text->string();
            }
        }
    }
    return QStringLiteral("%1  %2 / %3").arg(name).arg(page_->num() + 1).arg(pages);
}

void TOVEditorPageView::drawFooter(platform::GraphicsContext& ctx) {
    if (page_ == nullptr) {
        return;
    }
    const QString text = footerText();
    const platform::Font font =
        platform::Font::namedOrUserFont(QStringLiteral("Lucida Grande"), kFooterFontSize);
    const platform::Size size = font.sizeOfString(text);
    const Rect sheet = bounds();
    ctx.drawText(text, font,
                 Point{(sheet.width() - size.width) / 2, sheet.height() - size.height - kFooterBottom});
}
