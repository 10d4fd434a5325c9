// Hints: the message panel's line for the selection, bar-range clicks and palette drags; selected notes.
#include "app/TOVEditorViewController.h"

#include "app/TOVEditorViewControllerDelegate.h"
#include "app/TOVExactView.h"
#include "glyphs/TOVBarLineView.h"
#include "glyphs/TOVObjectView.h"
#include "layout/TOVEditorBarView.h"
#include "layout/TOVEditorView.h"
#include "model/Bar.h"
#include "model/Note.h"
#include "model/TOVSymbolTypes.h"
#include "model/TOVUnitTypes.h"
#include "notation/TOVNoteView.h"
#include "platform/foundation/Resources.h"

#include <QString>

#include <algorithm>
#include <initializer_list>

namespace {

constexpr int kInformation = 0;
constexpr int kWarning = 1;

QString text(const char* english) {
    return QString::fromStdString(platform::localized(english));
}

// A title format with "%ld" placeholders filled in order. The translated format is filled by plain
// substitution, never handed to a printf-like function, so that a translation cannot read past the
// numbers given.
QString format(const char* english, std::initializer_list<std::uint64_t> numbers) {
    QString result = text(english);
    const QString placeholder = QStringLiteral("%ld");
    qsizetype from = 0;
    for (const std::uint64_t number : numbers) {
        const qsizetype at = result.indexOf(placeholder, from);
        if (at < 0) {
            break;
        }
        const QString value = QString::number(number);
        result.replace(at, placeholder.size(), value);
        from = at + value.size();
    }
    return result;
}

struct SymbolHint {
    int type;
    const char* message;
    const char* title;
};

constexpr const char* kEditIndex = "Double click to edit the index.";

constexpr SymbolHint kSymbolHints[] = {
    {TOVSymbolDaCapo, kEditIndex, "Da Capo symbol"},
    {TOVSymbolDalSegno, kEditIndex, "Dal Segno symbol"},
    {TOVSymbolToCoda, kEditIndex, "To Coda symbol"},
    {TOVSymbolCoda, kEditIndex, "Coda symbol"},
    {TOVSymbolSegno, kEditIndex, "Segno symbol"},
    {TOVSymbolVoltaBegin, kEditIndex, "Volta (start) symbol"},
    {TOVSymbolBisEnd, kEditIndex, "Bis (end) symbol"},
    {TOVSymbolRepeatTimes, "Double click to edit the number of times to repeat.", "Repeat symbol"},
    {TOVSymbolLongRest, "Double click to edit the number of times to rest.", "Long rest symbol"},
    {TOVSymbolTempoSpeed, "Double click to edit the speed number.", "Tempo speed symbol"},
    {TOVToolFreeText, "Double click to edit the text and the style.", "Free text"},
};

constexpr const char* kBeamText = "To beam notes, Menu > \"Change\" --> \"Beam\".";
constexpr const char* kUniteText = "To comibine notes, Menu > \"Change\" --> \"Unite\".";
constexpr const char* kBeamAndUniteText =
    "To beam notes, Menu > \"Change\" --> \"Beam\".\nTo comibine notes, Menu > \"Change\" --> \"Unite\"";

constexpr const char* kDropOnBar = "Drop it on a bar to create a new symbol.";
constexpr const char* kDropOnBarReplacing =
    "Drop it on a bar to create a new symbol. \nThe previously created symbol will be replaced by new one.";
constexpr const char* kConflict = "Can not create the symbol on that bar because there is already another "
                                  "symbol or a note which conflicts.";
constexpr const char* kDropOnBarline = "Drop it on a existing barline object to replace with it.";
constexpr const char* kNoGreatDoubleAtLineStart = "Can not drop a great double line on the top of a line.";
constexpr const char* kDropOnNote = "Drop it on a existing note to create a new symbol.";
constexpr const char* kDropOnNoteReplacing = "Drop it on a existing note to create a new symbol. \nThe "
                                             "previously created symbol will be replaced by new "
                                             "one.";
constexpr const char* kDropAnywhere = "Drop it on any position to create a new symbol.";
constexpr const char* kDraggingSymbol = "Dragging a symbol";

} // namespace

std::vector<TOVNoteView*> TOVEditorViewController::selectedNoteViewArray() const {
    std::vector<TOVNoteView*> noteViews;
    for (const auto& view : editorView_->selectedObjectViewSet()) {
        if (auto* noteView = dynamic_cast<TOVNoteView*>(view.get());
            noteView != nullptr && noteView->note()) {
            noteViews.push_back(noteView);
        }
    }
    std::stable_sort(noteViews.begin(), noteViews.end(), [](const TOVNoteView* a, const TOVNoteView* b) {
        return a->note()->timing() < b->note()->timing();
    });
    return noteViews;
}

std::vector<Note*> TOVEditorViewController::selectedNoteArray() const {
    std::vector<Note*> notes;
    for (TOVNoteView* noteView : selectedNoteViewArray()) {
        notes.push_back(noteView->note());
    }
    return notes;
}

bool TOVEditorViewController::canEnableBeamMenu() const {
    const std::vector<TOVNoteView*> noteViews = selectedNoteViewArray();
    if (noteViews.size() == 1) {
        const Note* note = noteViews.front()->note();
        if (note->isBeam()) {
            return true;
        }
        return note->isTuplet() && noteViews.front()->canEnableBeamMenuForTuplet();
    }
    if (noteViews.size() >= 2) {
        const std::vector<Note*> notes = selectedNoteArray();
        const Bar* bar = notes.front()->bar();
        return bar != nullptr && bar->canMakeBeamFromNotes(notes);
    }
    return false;
}

void TOVEditorViewController::showNavigationMessageForNormalMode() {
    if (delegate_ == nullptr || editBarsMode_ != Normal) {
        return;
    }
    const auto& selection = editorView_->selectedObjectViewSet();
    if (selection.size() == 1 && selection.front() != nullptr) {
        const int type = selection.front()->symbolType();
        if (type >= TOVSymbolCategoryRehearsal && type <= TOVSymbolCategoryRehearsal + 0x1A) {
            delegate_->editorRequireShowNavigationMessageTitlePriority(
                this, text("Double click to edit the text and the style."), text("Rehearsal mark"),
                kInformation);
            return;
        }
        for (const SymbolHint& hint : kSymbolHints) {
            if (hint.type == type) {
                delegate_->editorRequireShowNavigationMessageTitlePriority(this, text(hint.message),
                                                                           text(hint.title), kInformation);
                return;
            }
        }
    }
    showNavigationMessageForNormalModeForBar();
}

void TOVEditorViewController::showNavigationMessageForNormalModeForBar() {
    if (delegate_ == nullptr) {
        return;
    }
    const QString title = format("Bar %ld selected", {currentBarNumber()});
    const std::vector<TOVNoteView*> noteViews = selectedNoteViewArray();
    QString message;
    if (noteViews.size() == 1) {
        const bool beam = noteViews.front()->canMakeBeamForTuplet();
        const bool unite = noteViews.front()->canMakeUnite();
        if (beam && unite) {
            message = text(kBeamAndUniteText);
        } else if (beam) {
            if (!canEnableBeamMenu()) {
                // Nothing to say here: the panel keeps what it shows.
                return;
            }
            message = text(kBeamText);
        } else if (unite) {
            message = text(kUniteText);
        }
    } else if (canEnableBeamMenu()) {
        message = text(kBeamText);
    }
    delegate_->editorRequireShowNavigationMessageTitlePriority(this, message, title, kInformation);
}

void TOVEditorViewController::showNavigationMessageForEditBarsMode() {
    const TOVEditorBarView* start = editBarsStart();
    const TOVEditorBarView* end = editBarsEnd();
    const std::uint64_t startNumber =
        (start != nullptr && start->bar() != nullptr) ? start->bar()->num() + 1 : 0;
    const std::uint64_t endNumber = (end != nullptr && end->bar() != nullptr) ? end->bar()->num() + 1 : 0;
    const bool hasStart = startNumber != 0;
    const bool hasEnd = endNumber != 0;

    // The range operations share their texts but for the operation's name.
    struct RangeTexts {
        const char* firstClick;
        const char* lastClick;
        const char* noStart;
        const char* startOnly;
        const char* startAndEnd;
    };
    static constexpr RangeTexts kCopy{
        "Click the first bar which the Copy operation will start from. \nOr press ESC to cancel.",
        "Click the last bar which the Copy operation will end at. \nOr press ESC to cancel.",
        "Copy bars from ? to ?", "Copy bars from %ld to ?", "Copy bars from %ld to %ld"};
    static constexpr RangeTexts kCut{
        "Click the first bar which the Cut operation will start from. \nOr press ESC to cancel.",
        "Click the last bar which the Cut operation will end at. \nOr press ESC to cancel.",
        "Cut bars from ? to ?", "Cut bars from %ld to ?", "Cut bars from %ld to %ld"};
    static constexpr RangeTexts kDelete{
        "Click the first bar which the Delete operation will start from. \nOr press ESC to cancel.",
        "Click the last bar which the Delete operation will end at. \nOr press ESC to cancel.",
        "Delete bars from ? to ?", "Delete bars from %ld to ?", "Delete bars from %ld to %ld"};

    const RangeTexts* range = nullptr;
    switch (editBarsMode_) {
    case Normal:
        showNavigationMessageForNormalMode();
        break;
    case Copy:
        range = &kCopy;
        break;
    case Cut:
        range = &kCut;
        break;
    case Delete:
        range = &kDelete;
        break;
    case Paste:
        if (delegate_ != nullptr) {
            delegate_->editorRequireShowNavigationMessageTitlePriority(
                this,
                text("Click the bar which the Paste operation will perform on. \nOr press ESC to cancel."),
                hasStart ? format("Paste bars on the bar %ld", {startNumber})
                         : text("Paste bars on the bar ?"),
                kInformation);
        }
        break;
    default:
        break;
    }
    if (range != nullptr && delegate_ != nullptr) {
        QString title;
        if (!hasStart) {
            title = text(range->noStart);
        } else if (!hasEnd) {
            title = format(range->startOnly, {startNumber});
        } else {
            title = format(range->startAndEnd, {startNumber, endNumber});
        }
        delegate_->editorRequireShowNavigationMessageTitlePriority(
            this, text(hasStart ? range->lastClick : range->firstClick), title, kInformation);
    }
    // The chosen range is drawn by the editor view.
    editorView_->setNeedsDisplay();
}

void TOVEditorViewController::showNavigationMessageForDraggingSymbolActiveView(int symbolType,
                                                                               platform::View* activeView) {
    if (delegate_ == nullptr) {
        return;
    }
    const bool targetSet = editorView_->targerObjectView() != nullptr;
    auto* barView = exactly<TOVEditorBarView>(activeView);
    const bool conflict =
        barView != nullptr && barView->bar() != nullptr && !barView->bar()->canInsertSymbol(symbolType);
    const auto show = [this](const char* message, const char* title, int priority) {
        delegate_->editorRequireShowNavigationMessageTitlePriority(this, text(message), text(title),
                                                                   priority);
    };
    const auto dropOnBar = [&] {
        show(targetSet ? kDropOnBarReplacing : kDropOnBar, kDraggingSymbol, kInformation);
    };
    const auto dropOnFreeBar = [&] {
        if (conflict) {
            show(kConflict, kDraggingSymbol, kWarning);
        } else {
            show(kDropOnBar, kDraggingSymbol, kInformation);
        }
    };

    switch (symbolType & TOVSymbolCategoryMask) {
    case TOVSymbolCategoryClef:
    case TOVSymbolCategoryKeySignature:
    case TOVSymbolCategoryTimeSignature:
    case TOVSymbolCategoryRehearsal:
        dropOnBar();
        break;
    case TOVSymbolCategoryBarline: {
        auto* barLineView = exactly<TOVBarLineView>(activeView);
        if (barLineView != nullptr && symbolType == TOVBarlineGreatDouble &&
            !barLineView->acceptGreatDoubleBar()) {
            show(kNoGreatDoubleAtLineStart, "Dragging a barline symbol", kWarning);
        } else {
            show(kDropOnBarline, "Dragging a barline symbol", kInformation);
        }
        break;
    }
    case TOVSymbolCategoryRepeat:
        if (symbolType == TOVSymbolVoltaBegin || symbolType == TOVSymbolBisBegin) {
            dropOnBar();
        } else if (symbolType >= TOVSymbolLongRest && symbolType <= TOVSymbolRepeatPrevBar4) {
            dropOnFreeBar();
        } else {
            show(kDropOnBar, kDraggingSymbol, kInformation);
        }
        break;
    case TOVSymbolCategoryDynamics:
    case TOVSymbolCategoryTempo:
    case TOVSymbolCategoryPush:
        dropOnFreeBar();
        break;
    case TOVSymbolCategoryOctave:
        if (conflict) {
            show(kConflict, kDraggingSymbol, kWarning);
        } else if (barView != nullptr && targetSet) {
            show(kDropOnBarReplacing, kDraggingSymbol, kInformation);
        } else {
            show(kDropOnBar, kDraggingSymbol, kInformation);
        }
        break;
    case TOVSymbolCategoryArticulation:
        show(targetSet ? kDropOnNoteReplacing : kDropOnNote, kDraggingSymbol, kInformation);
        break;
    case TOVSymbolCategoryDrawingTool:
        show(kDropAnywhere, kDraggingSymbol, kInformation);
        break;
    default:
        break;
    }
}

void TOVEditorViewController::showNavigationMessageForDraggingNoteActiveView(int item, platform::View*) {
    if (delegate_ == nullptr) {
        return;
    }
    const auto show = [this](const char* message, const char* title) {
        delegate_->editorRequireShowNavigationMessageTitlePriority(this, text(message), text(title),
                                                                   kInformation);
    };
    constexpr int kTie = TOVNoteItemTie;
    constexpr int kHarmonyTone = TOVNoteItemHarmonyTone;
    constexpr int kBeatSlash = TOVNoteItemBeatSlash;
    switch (item & TOVUnitGroupMask) {
    case TOVUnitGroupNote:
        show("Drop it on a bar to create a new note.", "Dragging a note");
        break;
    case TOVUnitGroupRest:
        show("Drop it on a bar to create a new rest.", "Dragging a rest");
        break;
    case TOVUnitGroupTriplet:
        show("Drop it on a bar to create a new triplet.", "Dragging a triplet");
        break;
    case TOVUnitGroupSextuplet:
        show("Drop it on a bar to create a new sextuplet.", "Dragging a sextuplet");
        break;
    case TOVUnitGroupNoteSymbol:
        if (item == kTie) {
            show("Drop it on a left side of existing note to connect 2 continuous tones.", kDraggingSymbol);
        } else if (item == kHarmonyTone) {
            show("Drop it on an existing note to add a harmony tone.", "Dragging a tone");
        } else if (item == kBeatSlash) {
            show("Drag and drop it on a bar to create a new rhythm slash.", "Dragging a slash");
        } else if (editorView_->targerObjectView() != nullptr) {
            show(
                "Drop it on an existing note to create a new symbol. \nThe previously created symbol will be "
                "replaced by new one.",
                kDraggingSymbol);
        } else {
            show("Drop it on an existing note to create a new symbol.", kDraggingSymbol);
        }
        break;
    default:
        break;
    }
}
