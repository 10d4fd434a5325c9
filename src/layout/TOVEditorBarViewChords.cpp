// The bar view's chord symbols and the chord-input cursor.
#include "layout/TOVEditorBarView.h"

#include "glyphs/TOVChordObjectView.h"
#include "layout/TOVEditorLineView.h"
#include "layout/TOVEditorView.h"
#include "model/Bar.h"
#include "model/Chord.h"
#include "model/Note.h"
#include "model/NoteUnit.h"
#include "model/TOVSymbolTypes.h"
#include "notation/TOVNoteToneCell.h"
#include "notation/TOVNoteUnitCell.h"
#include "notation/TOVNoteView.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/GraphicsContext.h"

#include <algorithm>
#include <memory>

using platform::Point;
using platform::Rect;

namespace {

// The box that marks an empty cursor position: its foot on the chord base line.
constexpr double kCursorBoxWidth = 6.0;
constexpr double kCursorBoxHeight = 10.0;
// The least gap between the notes that reach into the chord row and the chords raised above them.
constexpr double kChordClearOfNotes = 1.5;
// A rhythm slash, the unit kind the cursor stops at when it follows the rhythm.
constexpr int kUnitKindSlash = 2;

// The editor view that hosts the chord views: the controller's, or without a controller (a song laid out
// only to be printed) the editor view the bar view stands in.
TOVEditorView* hostEditor(const TOVEditorBarView& barView) {
    if (TOVEditorView* editor = barView.editorView()) {
        return editor;
    }
    for (platform::View* view = barView.superview(); view != nullptr; view = view->superview()) {
        if (auto* editor = dynamic_cast<TOVEditorView*>(view)) {
            return editor;
        }
    }
    return nullptr;
}

std::shared_ptr<TOVChordObjectView> asChordView(const std::shared_ptr<TOVObjectView>& view) {
    return std::dynamic_pointer_cast<TOVChordObjectView>(view);
}

} // namespace

// ---- Chord views ----------------------------------------------------------------------------------------

std::shared_ptr<TOVChordObjectView> TOVEditorBarView::createChordViewOf(Chord* chord, bool select) {
    if (chord == nullptr) {
        return nullptr;
    }
    // The new chord takes the place of every other chord standing at its timing: they leave the document.
    const ObjectViewArray views = chordViewArray_;
    for (const auto& each : views) {
        const auto view = asChordView(each);
        if (!view || view->timing() != chord->timing() || view->symbol() == chord) {
            continue;
        }
        // The view goes first, so that it never shows a deleted chord.
        auto* replaced = dynamic_cast<Chord*>(view->symbol());
        removeChordView(view.get());
        if (replaced != nullptr && bar_ != nullptr) {
            bar_->removeChord(replaced);
        }
    }
    const auto view = makeChordView(chord);
    if (select) {
        view->makeSelfSelectedAndClearOthers(true);
    }
    return view;
}

std::shared_ptr<TOVChordObjectView> TOVEditorBarView::restoreChordViewFor(Chord* chord) {
    if (chord == nullptr) {
        return nullptr;
    }
    return makeChordView(chord);
}

std::shared_ptr<TOVChordObjectView> TOVEditorBarView::makeChordView(Chord* chord) {
    // A chord shows once.
    if (auto existing = chordViewFromData(chord)) {
        existing->updateView();
        return existing;
    }
    auto view = TOVChordObjectView::withChord(chord);
    const Point origin{xPosOfChordInGridMode(chord->timing()),
                       chordBaseLineOffset() - view->bounds().height() + view->offsetY()};
    view->setFrameOrigin(origin);
    // A chord never shown before takes its place on the grid; a placed one keeps where it was put.
    const Rect stored = chord->frame();
    if (stored.width() == 0 && stored.height() == 0) {
        chord->setFrame(Rect(origin, view->defaultViewSize()));
    }
    chord->setInitialSize(view->defaultViewSize());
    view->setSymbol(chord);
    view->setBarViewBelongTo(this);
    if (TOVEditorView* editor = hostEditor(*this)) {
        editor->addChordViewBarViewBelongTo(view, this);
    }
    chordViewArray_.push_back(view);
    // The line's chords may have to stand higher, or lower, now that this one stands in their row.
    updateChordRaiseOfLine();
    return view;
}

// ---- Chords raised clear of the notes -------------------------------------------------------------------

std::optional<double> TOVEditorBarView::topOfNoteInk() const {
    std::optional<double> top;
    auto take = [&](double y) { top = top ? std::min(*top, y) : y; };
    for (const auto& noteView : noteViewArray_) {
        for (const auto& unit : noteView->unitCellArray()) {
            for (const auto& tone : unit->toneCellArray()) {
                // A head's cell holds it and its dots; ledger lines never reach above the head.
                take(noteView->convertPointToView(Point{0, tone->frame().y()}, this).y);
                const auto& accidental = tone->accidentalView();
                if (accidental != nullptr && accidental->superview() != nullptr) {
                    take(convertPointFromView(accidental->frame().origin, accidental->superview()).y);
                }
            }
        }
    }
    return top;
}

std::optional<double> TOVEditorBarView::bottomOfStoredChords() const {
    std::optional<double> bottom;
    for (const auto& view : chordViewArray_) {
        if (view->symbol() != nullptr) {
            const double y = view->symbol()->frame().y() + view->frame().height();
            bottom = bottom ? std::max(*bottom, y) : y;
        }
    }
    return bottom;
}

void TOVEditorBarView::updateChordRaiseOfLine() {
    std::vector<TOVEditorBarView*> row;
    if (TOVEditorLineView* line = lineView()) {
        for (const auto& each : line->barViewArray()) {
            row.push_back(each.get());
        }
    }
    // A bar view being built may not stand in its line's list yet.
    if (std::find(row.begin(), row.end(), this) == row.end()) {
        row.push_back(this);
    }
    // In the line's coordinates: its bar views stand side by side in it.
    std::optional<double> top;
    std::optional<double> bottom;
    for (TOVEditorBarView* barView : row) {
        const double y = barView->frame().y();
        if (const auto t = barView->topOfNoteInk()) {
            top = top ? std::min(*top, y + *t) : y + *t;
        }
        if (const auto b = barView->bottomOfStoredChords()) {
            bottom = bottom ? std::max(*bottom, y + *b) : y + *b;
        }
    }
    const double raise = top && bottom ? std::max(0.0, *bottom + kChordClearOfNotes - *top) : 0.0;
    for (TOVEditorBarView* barView : row) {
        if (barView->chordRaise_ == raise) {
            continue;
        }
        barView->chordRaise_ = raise;
        for (const auto& view : barView->chordViewArray_) {
            view->updateView();
        }
    }
}

std::shared_ptr<TOVChordObjectView> TOVEditorBarView::chordViewFromData(const Chord* chord) const {
    for (const auto& view : chordViewArray_) {
        if (chord != nullptr && view->symbol() == chord) {
            return asChordView(view);
        }
    }
    return nullptr;
}

void TOVEditorBarView::updateChordViewFor(Chord* chord) {
    if (const auto view = chordViewFromData(chord)) {
        view->updateView();
    }
}

std::shared_ptr<TOVChordObjectView> TOVEditorBarView::chordViewFromTiming(std::uint64_t timing) const {
    for (const auto& each : chordViewArray_) {
        if (auto view = asChordView(each); view && view->timing() == timing) {
            return view;
        }
    }
    return nullptr;
}

void TOVEditorBarView::removeChordView(TOVObjectView* view) {
    if (view == nullptr) {
        return;
    }
    // Kept alive until it has left both the tree and the list.
    std::shared_ptr<TOVObjectView> keep;
    for (const auto& each : chordViewArray_) {
        if (each.get() == view) {
            keep = each;
        }
    }
    if (TOVEditorView* editor = hostEditor(*this)) {
        editor->removeChordViewBarViewBelongTo(view, this);
    } else {
        view->removeFromSuperview();
    }
    std::erase_if(chordViewArray_, [view](const auto& each) { return each.get() == view; });
}

void TOVEditorBarView::removeAllChordViews() {
    const ObjectViewArray views = chordViewArray_;
    for (const auto& view : views) {
        removeChordView(view.get());
    }
    chordViewArray_.clear();
}

// ---- The chord-input cursor -----------------------------------------------------------------------------

void TOVEditorBarView::setTimingChordInput(std::uint64_t timing) {
    timingChordInput_ = timing;
    if (const auto view = chordViewFromTiming(timing)) {
        view->makeSelfSelectedAndClearOthers(true);
    } else if (delegate() != nullptr) {
        delegate()->layoutViewRequireClearSelection(this);
    }
}

std::uint64_t TOVEditorBarView::nextChordTiming(std::uint64_t step, bool shouldFollowRhythm) const {
    // Without a step there is no next position (and nothing to divide by).
    if (step == 0) {
        return 0;
    }
    const std::uint64_t cursor = timingChordInput_;
    const std::uint64_t next = (cursor + step) - ((cursor + step) % step);
    const std::uint64_t length = totalRhythmLength();
    const std::uint64_t withinBar = next < length ? next : 0;
    if (!shouldFollowRhythm || bar_ == nullptr) {
        return withinBar;
    }
    // The cursor stops at every rhythm slash that starts before the next step.
    for (const Note* note : bar_->noteArray()) {
        if (note->timing() >= next) {
            return next;
        }
        for (const NoteUnit* unit : note->unitArray()) {
            if (unit->kind() == kUnitKindSlash && unit->timing() > cursor) {
                return std::min(unit->timing(), next);
            }
        }
    }
    return withinBar;
}

bool TOVEditorBarView::canProgressChordTiming(std::uint64_t step, bool shouldFollowRhythm) const {
    return timingChordInput_ < nextChordTiming(step, shouldFollowRhythm);
}

void TOVEditorBarView::progressChordTiming(std::uint64_t step, bool shouldFollowRhythm) {
    setTimingChordInput(nextChordTiming(step, shouldFollowRhythm));
}

std::uint64_t TOVEditorBarView::lastValidChordTimingBefore(std::uint64_t timing) const {
    if (bar_ == nullptr) {
        return timing;
    }
    const std::vector<Chord*> chords = bar_->chordArray();
    for (auto it = chords.rbegin(); it != chords.rend(); ++it) {
        if ((*it)->timing() < timing) {
            return (*it)->timing();
        }
    }
    return timing;
}

bool TOVEditorBarView::canGobackChordTiming() const {
    return lastValidChordTimingBefore(timingChordInput_) < timingChordInput_;
}

void TOVEditorBarView::gobackChordTiming() {
    const std::uint64_t previous = lastValidChordTimingBefore(timingChordInput_);
    if (previous < timingChordInput_) {
        setTimingChordInput(previous);
    }
}

bool TOVEditorBarView::goLastValidChordTiming() {
    const std::uint64_t length = totalRhythmLength();
    const std::uint64_t last = lastValidChordTimingBefore(length);
    if (last < length) {
        setTimingChordInput(last);
        return true;
    }
    return false;
}

void TOVEditorBarView::initChordTiming() {
    std::uint64_t start = 0;
    if (TOVEditorView* editor = editorView()) {
        const auto& selection = editor->selectedObjectViewSet();
        // Only a chord of this bar: the timing of another bar's chord may lie past this bar's end.
        if (selection.size() == 1 && (*selection.begin())->barViewBelongTo() == this) {
            const auto* chord = dynamic_cast<const Chord*>((*selection.begin())->symbol());
            if (chord != nullptr && chord->type() == TOVSymbolChord) {
                start = chord->timing();
            }
        }
    }
    setTimingChordInput(start);
}

void TOVEditorBarView::highlightChordArea(platform::GraphicsContext& ctx) const {
    // A chord at the cursor shows as selected instead.
    if (chordViewFromTiming(timingChordInput_)) {
        return;
    }
    const Rect box(xPosOfChordInGridMode(timingChordInput_), chordBaseLineOffset() - kCursorBoxHeight,
                   kCursorBoxWidth, kCursorBoxHeight);
    platform::BezierPath path = platform::BezierPath::withRect(box);
    path.setLineWidth(1.0);
    ctx.setStrokeColor(platform::Color::orange());
    ctx.strokePath(path);
}
