// Symbol drops: each family's sign, frame and view, what it replaces, and its follow-up question.
#include "app/TOVEditorViewController.h"

#include "app/TOVEditorViewControllerDelegate.h"
#include "glyphs/TOVObjectView.h"
#include "glyphs/TOVObjectViewFactory.h"
#include "glyphs/TOVTextHostView.h"
#include "glyphs/TOVTextView.h"
#include "layout/TOVEditorBarView.h"
#include "layout/TOVEditorView.h"
#include "model/Bar.h"
#include "model/Document.h"
#include "model/NoteTone.h"
#include "model/Symbol.h"
#include "model/SymbolRepeat.h"
#include "model/SymbolTempo.h"
#include "model/SymbolText.h"
#include "model/TOVSymbolTypes.h"
#include "model/TOVUtils.h"
#include "notation/TOVNoteToneCell.h"
#include "platform/data/ManagedObjectContext.h"
#include "platform/foundation/MainLoop.h"
#include "platform/ui/DraggingInfo.h"

#include <QTimer>

#include <memory>

namespace {

using platform::Point;
using platform::Rect;

// Where the repeat and navigation signs stand: to the right of the bar, just below the staff.
constexpr double kBelowStaff = 23.8 + 1.0;
// The brackets of voltas and bis: their height and the gap their end piece leaves.
constexpr double kBracketHeight = 22.0;
constexpr double kBracketGap = 20.0;
constexpr double kBracketInset = -2.0;

bool isRepeatPrevBars(int type) {
    return type == TOVSymbolRepeatPrevBar1 || type == TOVSymbolRepeatPrevBar2 ||
           type == TOVSymbolRepeatPrevBar4;
}

// Both pieces of a bracket sharing one bar: each takes half of it, less the gap between them.
std::pair<Rect, Rect> bracketHalves(double barWidth) {
    const double half = (barWidth + 4.0 - kBracketGap) * 0.5;
    const Rect start(kBracketInset, 0, half, kBracketHeight);
    return {start, Rect(start.width() + kBracketGap + kBracketInset, 0, half, kBracketHeight)};
}

} // namespace

// ---- Forwarding of the views' insert requests ------------------------------------------------------------

void TOVEditorViewController::layoutViewRequireInsertSymbolObjectDraggingInfo(
    platform::View* view, std::int32_t item, const platform::DraggingInfo& info) {
    if (docData_ == nullptr || view == nullptr) {
        return;
    }
    if ((item & TOVSymbolCategoryMask) == TOVSymbolCategoryDrawingTool) {
        if (view == editorView_.get()) {
            insertDrawingTool(item, view->convertPointFromView(info.draggingLocation(), nullptr));
        }
        return;
    }
    if (auto* barView = dynamic_cast<TOVEditorBarView*>(view)) {
        insertBarSymbol(barView, item, barView->convertPointFromView(info.draggingLocation(), nullptr));
    }
}

void TOVEditorViewController::layoutViewRequireInsertSymbolObjectDraggingInfo(TOVNoteToneCell* toneCell,
                                                                              std::int32_t item,
                                                                              const platform::DraggingInfo&) {
    if (docData_ != nullptr && toneCell != nullptr) {
        insertToneSymbol(toneCell, item);
    }
}

// ---- The families ---------------------------------------------------------------------------------------

void TOVEditorViewController::removeReplacedSymbolView(TOVEditorBarView* barView,
                                                       const std::shared_ptr<TOVObjectView>& view) {
    if (barView == nullptr || !view) {
        return;
    }
    view->makeSelfTargetOff();
    editorView_->clearSelection();
    Symbol* symbol = view->symbol();
    barView->removeObjectView(view.get());
    if (Bar* bar = barView->bar(); bar != nullptr && symbol != nullptr) {
        bar->removeSymbol(symbol);
    }
}

void TOVEditorViewController::insertBarSymbol(TOVEditorBarView* barView, int type, Point drop) {
    Bar* bar = barView->bar();
    if (bar == nullptr) {
        return;
    }
    switch (type & TOVSymbolCategoryMask) {
    case TOVSymbolCategoryRehearsal:
        removeReplacedSymbolView(barView, barView->reharsalMarkView());
        if (SymbolText* mark = bar->createNewSymbolTextWithTypeFrame(type, Rect(0, -15.0, 0, 0))) {
            barView->createMarkViewOfDataSelect(type, mark, true);
        }
        break;
    case TOVSymbolCategoryRepeat:
        insertRepeatSymbol(barView, type, drop);
        break;
    case TOVSymbolCategoryDynamics: {
        const bool hairpin = type == TOVSymbolCrescendo || type == TOVSymbolDecrescendo;
        if (Symbol* symbol =
                bar->createNewSymbolWithTypeFrame(type, Rect(hairpin ? 0.0 : drop.x, drop.y, 0, 0))) {
            barView->createDynamicsViewOfDataSelect(type, symbol, true);
        }
        break;
    }
    case TOVSymbolCategoryOctave:
        removeReplacedSymbolView(barView, barView->octaveView());
        if (Symbol* symbol = bar->createNewSymbolWithTypeFrame(type, Rect(0, 0, 0, 0))) {
            barView->createOctaveViewOfDataSelect(type, symbol, true);
        }
        break;
    case TOVSymbolCategoryTempo: {
        const bool speed = type == TOVSymbolTempoSpeed;
        const Rect frame = speed ? Rect(0, -20.0, 0, 0) : Rect(drop.x, drop.y, 0, 0);
        if (SymbolTempo* tempo = bar->createNewSymbolTempoWithTypeFrame(type, frame)) {
            barView->createTempoViewOfDataSelect(type, tempo, true);
            if (speed) {
                queueFollowUp(tempo, [](TOVEditorViewController& editor, platform::ManagedObject* object) {
                    editor.askSpeed(static_cast<SymbolTempo*>(object));
                });
            }
        }
        break;
    }
    case TOVSymbolCategoryPush: {
        TOVObjectViewFactory* factory = TOVUtils::objectViewFactory();
        const auto sample =
            factory != nullptr
                ? factory->symbolObjectViewWithSymbolTypeFontID(type, docData_->plugInFontID().toStdString())
                : nullptr;
        const double width = sample ? sample->frame().width() : 0.0;
        if (Symbol* symbol =
                bar->createNewSymbolWithTypeFrame(type, Rect(barView->frame().width() - width, 0, 0, 0))) {
            barView->createPushViewOfDataSelect(type, symbol, true);
        }
        break;
    }
    default:
        break;
    }
}

void TOVEditorViewController::insertRepeatSymbol(TOVEditorBarView* barView, int type, Point drop) {
    Bar* bar = barView->bar();
    const double top = barView->posY5LinesTop();
    const auto make = [&](int code, const Rect& frame) -> SymbolRepeat* {
        SymbolRepeat* symbol = bar->createNewSymbolRepeatWithTypeFrame(code, frame);
        if (symbol != nullptr) {
            barView->createRepeatViewOfDataSelect(code, symbol, true);
        }
        return symbol;
    };
    const auto askPasses = [this](SymbolRepeat* symbol) {
        queueFollowUp(symbol, [](TOVEditorViewController& editor, platform::ManagedObject* object) {
            editor.askDaCapoPasses(static_cast<SymbolRepeat*>(object));
        });
    };
    switch (type) {
    case TOVSymbolDaCapo:
    case TOVSymbolDalSegno:
        askPasses(make(type, Rect(barView->bounds().width() - 25.0, top + kBelowStaff, 0, 0)));
        return;
    case TOVSymbolToCoda:
        askPasses(make(type, Rect(-20.0, 0, 0, 0)));
        return;
    case TOVSymbolCoda:
    case TOVSymbolSegno:
        askPasses(make(type, Rect(-5.0, 0, 0, 0)));
        return;
    case TOVSymbolFine:
        if (make(type, Rect(barView->bounds().width() - 20.0, top + kBelowStaff, 0, 0)) != nullptr) {
            terminateDocumentAtBarView(barView);
        }
        return;
    case TOVSymbolVoltaBegin:
    case TOVSymbolBisBegin:
        insertBracket(barView, type);
        return;
    case TOVSymbolRepeatTimes:
        if (SymbolRepeat* symbol = make(type, Rect(drop.x, drop.y, 0, 0))) {
            // The sign shows the question's start value until the answer comes, and keeps it on Cancel.
            symbol->setRepeatIDNumber(2);
            queueFollowUp(symbol, [](TOVEditorViewController& editor, platform::ManagedObject* object) {
                editor.askRepeatTimes(static_cast<SymbolRepeat*>(object));
            });
        }
        return;
    case TOVSymbolLongRest:
        bar->setLongRest(1);
        barView->createLongRestViewAndSelect(true);
        queueFollowUp(bar, [](TOVEditorViewController& editor, platform::ManagedObject* object) {
            editor.askLongRest(static_cast<Bar*>(object));
        });
        return;
    default:
        if (isRepeatPrevBars(type)) {
            make(type, Rect(barView->positionRepeatPrevBar(type), platform::Size{0, 0}));
        } else {
            make(type, Rect(drop.x, drop.y, 0, 0));
        }
        return;
    }
}

void TOVEditorViewController::insertBracket(TOVEditorBarView* barView, int type) {
    Bar* bar = barView->bar();
    // A new bracket replaces the old one whole: its end piece goes with its start piece.
    const int oldStart = barView->voltaOrBisView() ? barView->voltaOrBisView()->symbolType() : 0;
    removeReplacedSymbolView(barView, barView->voltaOrBisView());
    if (oldStart != 0) {
        const int oldEnd = oldStart == TOVSymbolVoltaBegin ? TOVSymbolVoltaEnd : TOVSymbolBisEnd;
        for (const auto& view : std::vector(barView->symbolViewArray())) {
            if (view->symbolType() == oldEnd) {
                removeReplacedSymbolView(barView, view);
            }
        }
    }
    const bool volta = type == TOVSymbolVoltaBegin;
    const int endType = volta ? TOVSymbolVoltaEnd : TOVSymbolBisEnd;
    SymbolRepeat* start = bar->createNewSymbolRepeatWithTypeFrame(type, Rect(0, 0, 0, 0));
    SymbolRepeat* end = bar->createNewSymbolRepeatWithTypeFrame(endType, Rect(0, 0, 0, 0));
    if (start == nullptr || end == nullptr) {
        return;
    }
    TOVEditorBarView* next = barView->nextBarView();
    // A bis reaches over into the next bar only on the same line; elsewhere it shares its own bar.
    if (!volta && next != nullptr && next->superview() == barView->superview()) {
        start->setFrame(Rect(kBracketInset, 0, barView->frame().width() - kBracketGap, kBracketHeight));
        const Point inWindow = next->convertPointToView(Point{kBracketInset, 0}, nullptr);
        const Point p = barView->convertPointFromView(inWindow, nullptr);
        end->setFrame(Rect(p.x + 24.0, p.y, next->frame().width() - kBracketGap, kBracketHeight));
    } else {
        const auto [startFrame, endFrame] = bracketHalves(barView->frame().width());
        start->setFrame(startFrame);
        end->setFrame(endFrame);
    }
    if (volta) {
        start->setRepeatIDString(QString(""));
    } else {
        end->setRepeatIDString(QString(""));
    }
    barView->createRepeatViewOfDataSelect(endType, end, true);
    barView->createRepeatViewOfDataSelect(type, start, true);
    if (volta) {
        queueFollowUp(start, [](TOVEditorViewController& editor, platform::ManagedObject* object) {
            editor.askVoltaText(static_cast<SymbolRepeat*>(object));
        });
    }
}

void TOVEditorViewController::insertToneSymbol(TOVNoteToneCell* toneCell, int type) {
    NoteTone* tone = toneCell->tone();
    if (tone == nullptr) {
        return;
    }
    switch (type & TOVSymbolCategoryMask) {
    case TOVSymbolCategoryArticulation: {
        if (TOVObjectView* old = toneCell->symbolViewOfType(type)) {
            old->makeSelfTargetOff();
            editorView_->clearSelection();
            toneCell->deleteObjectViewAndData(old);
        }
        const platform::Size size = type == TOVSymbolSlur ? platform::Size{60.0, 8.0} : platform::Size{0, 0};
        if (SymbolInNote* symbol = tone->createNewArticulationWithTypeFrame(
                type, Rect(toneCell->defaultPosOfArticulationView(type), size))) {
            toneCell->createArticulationViewOfDataSelect(type, symbol, true);
        }
        break;
    }
    case TOVSymbolCategoryAccidental: {
        if (const std::shared_ptr<TOVObjectView> old = toneCell->accidentalView()) {
            old->makeSelfTargetOff();
            editorView_->clearSelection();
            toneCell->deleteObjectViewAndData(old.get());
        }
        if (SymbolAccidental* symbol = tone->createNewAccidentalWithTypeFrame(
                type, Rect(toneCell->defaultPosOfAccidentalView(type), platform::Size{0, 0}))) {
            toneCell->createAccidentalViewOfDataSelect(type, symbol, true);
        }
        break;
    }
    default:
        break;
    }
}

void TOVEditorViewController::insertDrawingTool(int type, Point drop) {
    const Rect frame(drop.x, drop.y, 0, 0);
    Symbol* symbol = nullptr;
    if (type == TOVToolFreeText) {
        symbol = docData_->createNewSymbolTextWithTypeFrame(type, frame);
    } else if (type == TOVToolArrow || type == TOVToolWave || type == TOVToolLine) {
        symbol = docData_->createNewSymbolToolsWithTypeFrame(type, frame);
    }
    if (symbol == nullptr) {
        return;
    }
    editorView_->restoreSymbolViewFor(symbol);
    const std::shared_ptr<TOVObjectView> view = editorView_->objectViewFromData(symbol);
    if (!view) {
        return;
    }
    if (type == TOVToolFreeText) {
        objectViewShouldBeSelectedAndClearOthers(view.get(), true);
        if (auto* host = dynamic_cast<TOVTextHostView*>(view.get());
            host != nullptr && host->textView() != nullptr) {
            host->textView()->startEdit();
        }
        objectViewFrameDidChange(view.get());
        if (delegate_ != nullptr) {
            delegate_->editorRequireWindowActive(this, view.get());
        }
    } else {
        objectViewFrameDidChange(view.get());
        objectViewShouldBeSelectedAndClearOthers(view.get(), true);
    }
}

// ---- Follow-up questions --------------------------------------------------------------------------------

void TOVEditorViewController::queueFollowUp(platform::ManagedObject* object, FollowUp followUp) {
    if (object == nullptr) {
        return;
    }
    // The object is found again by its number: by the time the question runs it may have been deleted and
    // its memory reclaimed, and the controller may be gone with its window.
    platform::MainLoop::defer(
        [self = std::weak_ptr<TOVEditorViewController* const>(self_), entity = object->entity().name(),
         objectID = object->objectID(),
         followUp = std::move(followUp)] { runFollowUp(self, entity, objectID, followUp); });
}

void TOVEditorViewController::runFollowUp(const std::weak_ptr<TOVEditorViewController* const>& self,
                                          const std::string& entity, std::uint64_t objectID,
                                          const FollowUp& followUp) {
    const std::shared_ptr<TOVEditorViewController* const> alive = self.lock();
    if (!alive) {
        return;
    }
    TOVEditorViewController& editor = **alive;
    // The answer is a change of its own: while the drop's undo step is still open (the drop came inside the
    // drag's own event loop), the question waits for it to close.
    platform::UndoManager* undo = editor.undoMgr_ != nullptr ? editor.undoMgr_ : editor.undoManager();
    if (undo != nullptr && undo->groupsByEvent() && undo->groupingLevel() > 0) {
        QTimer::singleShot(
            0, [self, entity, objectID, followUp] { runFollowUp(self, entity, objectID, followUp); });
        return;
    }
    platform::ManagedObjectContext* context =
        editor.docData_ != nullptr ? editor.docData_->managedObjectContext() : nullptr;
    if (context == nullptr) {
        return;
    }
    for (platform::ManagedObject* object : context->fetchObjects(entity)) {
        if (object->objectID() == objectID) {
            if (editor.isInDocument(dynamic_cast<TOVManagedObject*>(object))) {
                followUp(editor, object);
            }
            return;
        }
    }
}

void TOVEditorViewController::askVoltaText(SymbolRepeat* symbol) {
    const QString start = QString("");
    const QString answer =
        delegate_ != nullptr ? delegate_->editorRequireNewVoltaOptionString(this, start) : start;
    const QString text = answer.isNull() ? QString("") : answer;
    if (text != symbol->repeatIDString()) {
        symbol->setRepeatIDString(text);
        symbol->updateView();
    }
}

void TOVEditorViewController::askRepeatTimes(SymbolRepeat* symbol) {
    constexpr std::uint64_t kStart = 2;
    const std::uint64_t answer =
        delegate_ != nullptr ? delegate_->editorRequireNewRepeatTimesNumber(this, kStart) : kStart;
    // 0 is the sheet's "-": no change.
    if (answer != 0 && static_cast<std::int64_t>(answer) != symbol->repeatIDNumber()) {
        symbol->setRepeatIDNumber(static_cast<std::int64_t>(answer));
        symbol->updateView();
    }
}

void TOVEditorViewController::askDaCapoPasses(SymbolRepeat* symbol) {
    const TOVRepeatNumberStates start{};
    const TOVRepeatNumberStates answer =
        delegate_ != nullptr ? delegate_->editorRequireNewDaCapoOptionIDNumber(this, start) : start;
    if (answer != start) {
        symbol->setRepeatNumberStates(answer);
        symbol->updateView();
    }
}

void TOVEditorViewController::askLongRest(Bar* bar) {
    constexpr std::int64_t kStart = 1;
    const std::int64_t answer =
        delegate_ != nullptr ? delegate_->editorRequireNewLongRestNumber(this, kStart) : kStart;
    if (answer >= 1 && static_cast<std::uint64_t>(answer) != bar->longRest()) {
        bar->setLongRest(static_cast<std::uint64_t>(answer));
        if (TOVEditorBarView* barView = barViewFromBar(bar)) {
            barView->updateLongRestView();
        }
        editorView_->setNeedsDisplay();
    }
}

void TOVEditorViewController::askSpeed(SymbolTempo* symbol) {
    constexpr std::int64_t kStart = 0;
    const std::int64_t answer =
        delegate_ != nullptr ? delegate_->editorRequireNewSpeedNumber(this, kStart) : kStart;
    if (answer >= 1 && static_cast<std::uint64_t>(answer) != symbol->speed()) {
        symbol->setSpeed(static_cast<std::uint64_t>(answer));
        symbol->updateView();
    }
}
