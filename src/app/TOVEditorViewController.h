#pragma once

#include "input/TOVChordInputEditor.h"
#include "layout/TOVBarId.h"
#include "layout/TOVLayoutController.h"
#include "model/TOVCoreDataControllerRefresher.h"
#include "platform/foundation/Geometry.h"
#include "platform/foundation/UndoManager.h"

#include <QPointer>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class Bar;
class Chord;
class ChordHistory;
class Document;
class Line;
class Page;
class SymbolRepeat;
class SymbolTempo;
class QScrollArea;
class QWidget;
class TOVCoreDataController;
class TOVEditModeGrayView;
class TOVEditorBackView;
class TOVEditorBarView;
class TOVEditorLineView;
class TOVEditorPageView;
class TOVEditorView;
class TOVEditorViewControllerDelegate;
class TOVLayoutView;
class TOVManagedObject;
class TOVNoteView;
class TOVSelectableView;
class Note;
class NoteTone;
class NoteUnit;

namespace platform {
class ManagedObject;
class ManagedObjectContext;
class ViewHost;
} // namespace platform

// The editing controller of one document window. It owns the editor's view tree (a scroll area showing a
// host whose root is the grey back view with the editor view on it), the bar-range overlay and the undo
// refresh buffer; it answers every layout and object view of the tree, carries out the editing operations
// on the model and keeps the views in step with it. After an undo or redo it rebuilds, through the buffer,
// exactly the views whose model changed.
//
// The window controller makes one per window, embeds `view()` and is its delegate; the document is handed
// over with setDocData and the document's undo manager with registerUndoObservation.
class TOVEditorViewController : public TOVLayoutController,
                                public TOVCoreDataControllerRefresher,
                                public TOVChordInputEditor {
public:
    // What the controller is doing; while it is not Idle, the document-wide recomputation of inherited
    // clef, key and time states waits for the end of the operation.
    enum ControllerState { Idle = 0, Loading = 1, Refreshing = 2, BarRangeEdit = 3 };
    // Bar-range modes.
    enum EditBarsMode { Normal = 0, Copy = 1, Paste = 2, Cut = 3, Delete = 4 };
    // The kinds of sign whose value the symbol properties edit (an object view's editPropertiyType).
    enum EditPropertyType {
        NoProperty = 0,
        DaCapoProperty = 1,
        RepeatTimesProperty = 2,
        VoltaProperty = 3,
        LongRestProperty = 4,
        TempoSpeedProperty = 5
    };

    TOVEditorViewController();
    ~TOVEditorViewController() override;
    TOVEditorViewController(const TOVEditorViewController&) = delete;
    TOVEditorViewController& operator=(const TOVEditorViewController&) = delete;

    // ===== Set-up and document (TOVEditorViewController.cpp) =====

    // --- The widget the window embeds (the scroll area); the controller deletes it unless its parent
    // widget has done so first. ---
    QWidget* view() const;
    QScrollArea* scrollView() const;
    platform::ViewHost* host() const;
    TOVEditorView* editorView() const { return editorView_.get(); }
    TOVEditorBackView* backView() const { return backView_.get(); }
    TOVEditModeGrayView* editModeGrayView() const { return editModeGrayView_.get(); }

    TOVEditorViewControllerDelegate* delegate() const { return delegate_; }
    void setDelegate(TOVEditorViewControllerDelegate* delegate) { delegate_ = delegate; }

    // --- Undo ---
    // Follows the will/did undo and redo notifications of the manager (null stops following). The
    // manager must outlive the controller or be unregistered first.
    void registerUndoObservation(platform::UndoManager* undoManager);
    platform::UndoManager* undoMgr() const { return undoMgr_; }
    // The delegate's context and its undo manager; null without them.
    platform::ManagedObjectContext* moc() const;
    platform::UndoManager* undoManager() const override;
    void willUndo();
    void didUndo();
    void willRedo();
    void didRedo();
    TOVBarId focusedBarId() const { return focusedBarId_; }
    void setFocusedBarId(TOVBarId barId) { focusedBarId_ = barId; }
    TOVCoreDataController* coreDataController() const { return coreDataController_.get(); }

    // --- Document and display ---
    Document* docData() const { return docData_; }
    // Binds the document (the same one again changes nothing): hands it the refresh buffer, brings its
    // inherited states up to date and has the editor view build every view. Null unbinds.
    void setDocData(Document* document);
    platform::Size scale() const { return scale_; }
    // The zoom; the same value again changes nothing.
    void setScale(platform::Size scale);
    bool showGrid() const { return showGrid_; }
    void setShowGrid(bool showGrid);
    int editBarsMode() const { return editBarsMode_; }
    void setEditBarsMode(int mode);
    TOVEditorBarView* editBarsStart() const;
    void setEditBarsStart(TOVEditorBarView* barView);
    TOVEditorBarView* editBarsEnd() const;
    void setEditBarsEnd(TOVEditorBarView* barView);
    int controllerState() const { return controllerState_; }
    void setControllerState(int state) { controllerState_ = state; }
    // Centres the editor view in a back view at least as large as the visible area; the editor view is as
    // high as its column of pages at the present zoom.
    void adjustViewFrame();
    void truncateDataByTimeSignatureForAllBars();

    // --- Selection and counts (of the selected bar's line and page) ---
    Bar* currentBar() const override;
    // Counted from 1; 1 without a selected bar.
    std::uint64_t currentBarNumber() const;
    void selectBar(TOVBarId barId);
    std::uint64_t numberOfLinesInSelectedPage() const;
    void setNumberOfLinesInSelectedPage(std::uint64_t number);
    std::uint64_t numberOfBarsInSelectedLine() const;
    void setNumberOfBarsInSelectedLine(std::uint64_t number);
    std::uint64_t maxPossibleNumberOfBarsInSelectedLine() const;
    std::uint64_t numberOfRowsInSelectedLine() const;
    void setNumberOfRowsInSelectedLine(std::uint64_t rows);
    // Called after the selected bar changed (the window controller refreshes what shows its number).
    int addCurrentBarNumberObserver(std::function<void()> observer);
    void removeCurrentBarNumberObserver(int id);

    // ===== Lookups and refreshes (TOVEditorViewControllerRefresh.cpp) =====

    // --- Lookups: the views of model objects, found in the tree; null when there is none ---
    // The bar view of the object's bar, or the editor view for an object without a bar.
    TOVLayoutView* layoutViewOfObject(TOVManagedObject* object) const;
    TOVEditorBarView* barViewFromBar(const Bar* bar) const;
    TOVEditorPageView* pageViewFromPage(const Page* page) const;
    TOVEditorLineView* lineViewFromLine(const Line* line) const;

    // --- Refreshes ---
    // What the rebuilds did since the last reset: how many page, line and bar views were rebuilt (a bar
    // view rebuilt as part of its line or page counts too), object views refreshed one by one, whole
    // rebuilds, and the model objects whose views an undo or redo rebuilt or refreshed, in that order.
    struct RebuildCounts {
        std::uint64_t pageViews = 0;
        std::uint64_t lineViews = 0;
        std::uint64_t barViews = 0;
        std::uint64_t objectViews = 0;
        std::uint64_t refreshAll = 0;
        std::vector<const TOVManagedObject*> rebuiltObjects;
    };
    const RebuildCounts& rebuildCounts() const { return rebuildCounts_; }
    void resetRebuildCounts() { rebuildCounts_ = {}; }

    void updateBarsInheritedStates();
    void updateClefKeyTimeViews();
    void refreshAll();
    void updateAllChordViews();
    // Ends the song at the bar: great double barline, a fine sign, the bars behind it deleted.
    void terminateDocumentAtBarView(TOVEditorBarView* barView);
    // The bars from..to deleted in the model, bracketed as a bar-range edit; the inherited states are
    // brought up to date afterwards. The views are not rebuilt.
    void deleteBarsFromTo(TOVEditorBarView* from, TOVEditorBarView* to);

    // --- The undo refresh buffer's side ---
    void coreDataControllerDrainBuffer(TOVCoreDataController& buffer) override;
    void objectShouldUpdateView(TOVManagedObject* object) override;

    // ===== Layout-controller answers: TOVLayoutController (TOVEditorViewControllerLayoutAnswers.cpp) =====

    void layoutViewMousDidClick(platform::View* view, const platform::Event& event) override;
    void layoutViewMousDidRightClick(platform::View* view, const platform::Event& event) override;
    void layoutViewMousDidDoubleClick(platform::View* view, const platform::Event& event) override;
    void layoutViewMousDragDidUpdate(platform::View* view, const platform::Event& event) override;
    void layoutViewMousDragDidFinish(platform::View* view, const platform::Event& event) override;
    void layoutViewNumberOfPageDidChange(platform::View* view);
    void layoutViewSymbolPaletteDragEnteredDraggingInfo(platform::View* view, std::int32_t item,
                                                        const platform::DraggingInfo& info) override;
    void layoutViewSymbolPaletteDragExitedDraggingInfo(platform::View* view, std::int32_t item,
                                                       const platform::DraggingInfo& info) override;
    void layoutViewSymbolPaletteDragPerformedDraggingInfo(platform::View* view, std::int32_t item,
                                                          const platform::DraggingInfo& info) override;
    void layoutViewNotePaletteDragEnteredDraggingInfo(platform::View* view, std::int32_t item,
                                                      const platform::DraggingInfo& info) override;
    void layoutViewNotePaletteDragExitedDraggingInfo(platform::View* view, std::int32_t item,
                                                     const platform::DraggingInfo& info) override;
    void layoutViewNotePaletteDragPerformedDraggingInfo(platform::View* view, std::int32_t item,
                                                        const platform::DraggingInfo& info) override;
    void layoutViewRequireInsertMeloAtLengthLevel(platform::View* view, std::uint64_t at,
                                                  std::uint64_t length, std::int64_t level) override;
    void layoutViewRequireInsertRestAtLength(platform::View* view, std::uint64_t at,
                                             std::uint64_t length) override;
    void layoutViewRequireInsertTripletAtLengthLevel(platform::View* view, std::uint64_t at,
                                                     std::uint64_t length, std::int64_t level) override;
    void layoutViewRequireInsertSextupletAtLengthLevel(platform::View* view, std::uint64_t at,
                                                       std::uint64_t length, std::int64_t level) override;
    void layoutViewRequireInsertBeatSlashAt(platform::View* view, std::uint64_t at) override;
    TOVEditorLineView* layoutViewInquireLineView(platform::View* view) override;
    TOVEditorPageView* layoutViewInquirePageView(platform::View* view) override;
    bool layoutViewInquireShowGrid(platform::View* view) override;
    platform::Size layoutViewInquireScale(platform::View* view) override;
    TOVEditorView* layoutViewInquireEditorView(platform::View* view) override;
    int layoutViewInquireEditorMode(platform::View* view);
    int layoutViewInquireBarDrawMode(platform::View* view) override;
    bool layoutViewInquireIsChordInputActive(platform::View* view) override;
    bool layoutViewInquireDrawBarNumber(platform::View* view);
    void layoutViewWillUpdateSubviews(platform::View* view) override;
    void layoutViewDidlUpdateSubviews(platform::View* view) override;
    void layoutViewDidUpdateClefArea(platform::View* view, platform::ManagedObject* object) override;
    void layoutViewSelectedObjectViewSetDidChange(platform::View* view, const ObjectViewSet& set) override;
    void layoutViewRequireClearSelection(platform::View* view) override;

    // ===== Object-controller answers: TOVObjectController (TOVEditorViewControllerObjectAnswers.cpp) =====

    int objectViewInquireEditBarMode(TOVObjectView* view) override;
    bool objectViewShouldBeSelectedAndClearOthers(TOVObjectView* view, bool clearOthers) override;
    void objectViewShouldBeUnselected(TOVObjectView* view) override;
    void objectViewShouldBeTarget(TOVObjectView* view) override;
    void objectViewUnderMovingWithDiffXDiffY(TOVObjectView* view, double dx, double dy) override;
    platform::Point objectViewInquireNearestGridFromPos(TOVObjectView* view, platform::Point pos) override;
    void objectViewCompleteChangingFrame(TOVObjectView* view) override;
    void objectViewFrameDidChange(TOVObjectView* view) override;
    void objectViewUnderResizingFixedWithDiffScaleMoveXMoveY(TOVObjectView* view, double diffScale,
                                                             bool moveX, bool moveY) override;
    void objectViewUnderResizingFreeWithDiffXDiffYMoveXMoveY(TOVObjectView* view, double dx, double dy,
                                                             bool moveX, bool moveY) override;
    void objectViewUnderRotatingWithDiffAngleDiffWidth(TOVObjectView* view, double diffAngle,
                                                       double diffWidth) override;
    void chordViewDidDoubleClick(TOVObjectView* view) override;
    void chordViewDidRightClick(TOVObjectView* view) override;
    platform::Point toolsViewInquireOrigin(TOVObjectView* view) override;
    void greatDoubleBarLineDidInserted(TOVObjectView* view) override;
    void noteViewDidUpdateSelectedCells(TOVSelectableView* noteView) override;
    // The arrow keys: every selected movable view moved by one step and its frame committed, as after a
    // drag. The step shrinks as the zoom grows: 2.0 at 100 %, 1.0 at 200 %, 0.5 at 400 %, 0.25 at 800 %.
    double diffMovingByArrowKey() const;
    void moveObjectsSlightlyLeft();
    void moveObjectsSlightlyRight();
    void moveObjectsSlightlyUp();
    void moveObjectsSlightlyDown();

    // ===== Symbol drops (TOVEditorViewControllerSymbolDrop.cpp) =====

    // A symbols-palette item dropped on a bar view (bar symbols), on the editor view (drawing tools) or on
    // a tone (articulations and accidentals): the symbol it makes, replacing the one in the same place, its
    // view made and selected; then, for a sign that needs a value, one question asked once the drop has
    // returned, its answer a change of its own. Clefs, keys, times and barlines are stored by their views.
    void layoutViewRequireInsertSymbolObjectDraggingInfo(platform::View* view, std::int32_t item,
                                                         const platform::DraggingInfo& info) override;
    void layoutViewRequireInsertSymbolObjectDraggingInfo(TOVNoteToneCell* toneCell, std::int32_t item,
                                                         const platform::DraggingInfo& info) override;

    // ===== Symbol properties (TOVEditorViewControllerSymbolProperties.cpp) =====

    // The selected views of the kind.
    ObjectViewSet selectedObjectViewsOfEditPropertyType(int kind) const;
    // The one kind of sign in the selection (other objects aside); 0 for none or for two kinds.
    int editPropertyTypeForCurrentSelection() const;
    bool canEnableSymbolPropertiesMenu() const;
    // The "Symbol Properties" command: the sheet of the selection's kind.
    void performSymbolPropertiesOperation();
    // Each shows the value the selected signs of its kind share (a mixed value when they differ), and
    // writes the answer into each sign whose value differs from it; a mixed or cancelled answer writes
    // nothing (for the passes: a pass left mixed keeps each sign's own state). Nothing without a sign of
    // any kind selected.
    void performSymbolPropertiesOperationOfTypeDaCapo();
    void performSymbolPropertiesOperationOfTypeRepeatTimes();
    void performSymbolPropertiesOperationOfTypeVolta();
    void performSymbolPropertiesOperationOfTypeLongRest();
    void performSymbolPropertiesOperationOfTypeTempoSpeed();
    // A double click on a sign: the operation of its kind.
    void repeatDaCapoViewDidDoulbleClick(TOVObjectView* view) override;
    void repeatTimesViewDidDoulbleClick(TOVObjectView* view) override;
    void repeatVoltaViewDidDoulbleClick(TOVObjectView* view) override;
    void longRestViewDidDoulbleClick(TOVObjectView* view) override;
    void tempoSpeedViewDidDoulbleClick(TOVTempoSpeedView* view) override;

    // ===== Chord and matrix input: TOVChordInputEditor (TOVEditorViewControllerChordInput.cpp) =====

    // --- The input windows start and close ---
    void chordWindowWillStart() override;
    void chordWindowDidClose() override;
    // The selection cleared, the selected bar redrawn and scrolled into view.
    void matrixWindowWillStart();
    void matrixWindowDidClose();

    // --- The chord cursor of the selected bar ---
    TOVChordElems selectedChord() const override;
    void insertChordAtCursor(const TOVChordElems& chord) override;
    // A step of 0 moves nowhere and answers false. At the end of the song the cursor stays and the chord
    // standing there is selected again.
    bool progressChordTiming(std::uint64_t step, bool shouldFollowRhythm) override;
    bool gobackChordIndex() override;

    // --- Moving the selected bar (no selection or cursor changes); false and nothing without one ---
    bool canGoNextBar() const;
    void goNextBar();
    bool canGoPrevBar() const;
    void goPrevBar();

    // --- The document's chord history ---
    std::vector<ChordHistory*> chordHistoryArray() const override;
    // A value is compared as the entry made of it would read back (its slash flag following its bass).
    void addChordHistory(const TOVChordElems& chord) override;

    // ===== Deleting (TOVEditorViewControllerDelete.cpp) =====

    // Whether the selection holds something that Delete takes: any view but a note view, or a note view
    // whose selected part may go (not some units of a tuplet).
    bool canEnableDeleteMenu() const;
    // The Delete command and keys: the selected notes, units and tones, then every other selected view
    // with its data. Nothing when canEnableDeleteMenu answers false.
    void performDeleteOperation();
    // Each removes the object and rebuilds the note views of its bar; nothing for a note that no note view
    // of a bar view shows.
    void deleteNote(Note* note);
    void deleteNoteUnit(NoteUnit* unit);
    void deleteNoteTone(NoteTone* tone);

    // ===== Hints (TOVEditorViewControllerHints.cpp) =====

    // --- Navigation hints ---
    void showNavigationMessageForNormalMode();
    void showNavigationMessageForNormalModeForBar();
    void showNavigationMessageForEditBarsMode();
    void showNavigationMessageForDraggingSymbolActiveView(int symbolType, platform::View* activeView);
    void showNavigationMessageForDraggingNoteActiveView(int item, platform::View* activeView);

    // --- Note commands ---
    // The selected note views (other selected objects left out) and their notes, by the note's timing.
    std::vector<TOVNoteView*> selectedNoteViewArray() const;
    std::vector<Note*> selectedNoteArray() const;
    // Whether the Beam command applies: one beamed note, one tuplet whose selected units can be beamed or
    // divided, or several notes that the first one's bar can join under one beam.
    bool canEnableBeamMenu() const;

private:
    // Layout-controller answers
    // A click action of the chords area by the user defaults: 0 and 1 select the chord view clicked, else
    // the bar view clicked, and ask the window for the chord input window on that page; any other value
    // (and any value in a bar-range mode) does nothing.
    void performChordsAreaAction(int action, TOVEditorBarView* barView, TOVObjectView* chordView);

    // Set-up and document
    void stopObservingUndo();
    void applyScaleToEditorView();
    void selectedBarDidChange();
    void viewportSizeDidChange();
    void restoreFocusedBar();

    // Chord and matrix input
    // The bar view becomes the selected bar and is scrolled into view; nothing for null.
    void selectAndShowBar(TOVEditorBarView* barView);

    // Deleting
    // The note view of the note, exactly a note view in exactly a bar view, and that bar view; null when
    // the note is not shown so.
    TOVNoteView* shownNoteView(Note* note, TOVEditorBarView** barView) const;
    // Removes a part of a note that a note view shows, as the remove call does, with the note view
    // unselected and the tie into the note redrawn first and the bar's note views rebuilt after.
    void removeFromShownNote(Note* note, const std::function<void(Note*)>& remove);

    // Object-controller answers
    void moveObjectsSlightly(double dx, double dy);

    // Symbol drops
    // A question asked about a model object after the drop; it runs only while the controller lives and
    // the object is still in its document.
    using FollowUp = std::function<void(TOVEditorViewController&, platform::ManagedObject*)>;
    void insertBarSymbol(TOVEditorBarView* barView, int type, platform::Point drop);
    void insertRepeatSymbol(TOVEditorBarView* barView, int type, platform::Point drop);
    void insertBracket(TOVEditorBarView* barView, int type);
    void insertToneSymbol(TOVNoteToneCell* toneCell, int type);
    void insertDrawingTool(int type, platform::Point drop);
    void removeReplacedSymbolView(TOVEditorBarView* barView, const std::shared_ptr<TOVObjectView>& view);
    void queueFollowUp(platform::ManagedObject* object, FollowUp followUp);
    static void runFollowUp(const std::weak_ptr<TOVEditorViewController* const>& self,
                            const std::string& entity, std::uint64_t objectID, const FollowUp& followUp);
    // Each asks its question starting from the value the drop gave the sign and writes only an answer that
    // differs from it, so that a cancelled question changes nothing.
    void askVoltaText(SymbolRepeat* symbol);
    void askRepeatTimes(SymbolRepeat* symbol);
    void askDaCapoPasses(SymbolRepeat* symbol);
    void askLongRest(Bar* bar);
    void askSpeed(SymbolTempo* symbol);

    // Lookups and refreshes
    // Whether the object still belongs to the bound document's graph: not deleted and, for a bar, line,
    // page or an object in a bar, still linked up to the document.
    bool isInDocument(const TOVManagedObject* object) const;

    platform::Size scale_{1.0, 1.0};
    bool showGrid_ = false;
    int editBarsMode_ = Normal;
    Document* docData_ = nullptr;
    int controllerState_ = Idle;
    TOVEditorViewControllerDelegate* delegate_ = nullptr;
    std::shared_ptr<TOVEditorView> editorView_;
    std::shared_ptr<TOVEditorBackView> backView_;
    QPointer<QScrollArea> scrollView_;
    QPointer<platform::ViewHost> host_;
    std::shared_ptr<TOVEditModeGrayView> editModeGrayView_;
    std::weak_ptr<platform::View> editBarsStart_;
    std::weak_ptr<platform::View> editBarsEnd_;
    platform::UndoManager* undoMgr_ = nullptr;
    std::vector<platform::UndoManager::ObserverId> undoObservers_;
    std::shared_ptr<TOVCoreDataController> coreDataController_;
    TOVBarId focusedBarId_{-1, false};
    int selectedBarObserver_ = 0;
    std::vector<std::pair<int, std::function<void()>>> currentBarNumberObservers_;
    int nextObserverId_ = 1;
    RebuildCounts rebuildCounts_;
    // What deferred calls hold to find the controller again; it goes with the controller.
    std::shared_ptr<TOVEditorViewController* const> self_ =
        std::make_shared<TOVEditorViewController* const>(this);
};
