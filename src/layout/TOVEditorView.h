#pragma once

#include "glyphs/TOVObjectViewOwner.h"
#include "layout/TOVBarId.h"
#include "layout/TOVLayoutController.h"
#include "layout/TOVLayoutView.h"
#include "platform/data/Observation.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class Document;
class Page;
class Song;
class TOVEditorBarView;
class TOVEditorLineView;
class TOVEditorPageView;
class TOVMultiSelectAreaView;

// The document view of a window: one Document shown as a column of A4 pages, one page view per page that
// has line slots, each at y = page number × 852 (a 10-point gap between pages). Every object view of the
// song (symbols, chords, notes, barlines, braces, drawing tools) is a direct subview of the editor view,
// above the page tree, so that objects may cross bar, line and page borders in one coordinate space; bar
// and line views keep lists of their object views while the editor view only hosts them.
//
// It also keeps the selected bar, the bar under a palette drag and the object selection, owns the views of
// the document-level drawing tools, takes palette drops on the page background (drawing tools only) and
// tells printing how the song divides into pages.
//
// The bound document is observed ("song", "barNumberShow", "symbols"); bind null or destroy the editor
// view before the document's context goes.
class TOVEditorView : public TOVLayoutView, public TOVObjectViewOwner {
public:
    using PageViewArray = std::vector<std::shared_ptr<TOVEditorPageView>>;
    using ObjectViewSet = TOVLayoutController::ObjectViewSet;

    static constexpr double kPageWidth = 595.0;
    static constexpr double kPageHeight = 842.0;
    // From one page's top to the next one's.
    static constexpr double kPagePitch = 852.0;

    explicit TOVEditorView(const platform::Rect& frame = platform::Rect(),
                           TOVLayoutController* delegate = nullptr);
    ~TOVEditorView() override;

    // --- As the owner of the drawing-tool views ---
    TOVLayoutController* delegate() const override { return TOVLayoutView::delegate(); }
    platform::View* ownerView() override { return this; }
    TOVEditorView* editorView() const override { return TOVLayoutView::editorView(); }
    bool isEditorView() const override { return true; }

    // --- Binding and building ---
    Document* docData() const { return docData_; }
    // Binds a document: observes it, builds the drawing tools and the page tree and selects bar 0. The
    // document already bound changes nothing.
    void setDocData(Document* document);
    Song* song() const { return song_; }
    void setSong(Song* song) { song_ = song; }

    // Rebuilds the page tree and the drawing tools between the controller's will- and did-update reports,
    // then selects the bar.
    void createAllSubviews(TOVBarId barId);
    void createAllPageViews();
    void createNewPageView(Page* page);
    void removePageView(Page* page);
    void removeAllPageViws();
    void removeAllSubviews();
    void removeFromSuperview() override;
    const PageViewArray& pageViewArray() const { return pageViewArray_; }

    // The height of the column of pages: down to the bottom of the page view with the largest page number
    // (pages without a view keep their slot), 0 without page views. Unzoomed; the controller sizes the
    // editor view from it.
    double heightOfPageColumn() const;

    // --- Placement of object views ---
    // Takes the view's frame origin as a point of the reference view (editor coordinates without one),
    // moves it into editor coordinates and adds the view, above all others or appended.
    void addSubviewRelativeOriginFromAboveAll(const std::shared_ptr<platform::View>& view,
                                              const platform::View* reference, bool aboveAll);
    void addSymbolViewBarViewBelongTo(const std::shared_ptr<TOVObjectView>& view, TOVEditorBarView* barView);
    void addChordViewBarViewBelongTo(const std::shared_ptr<TOVObjectView>& view, TOVEditorBarView* barView);
    void addNoteViewBarViewBelongTo(const std::shared_ptr<TOVObjectView>& view, TOVEditorBarView* barView);
    // Unselects the view and takes it out of the tree; a document-level view (no bar view) also leaves
    // symbolViewArray.
    void removeSymbolViewBarViewBelongTo(TOVObjectView* view, TOVEditorBarView* barView);
    void removeChordViewBarViewBelongTo(TOVObjectView* view, TOVEditorBarView* barView);
    void removeNoteViewBarViewBelongTo(TOVObjectView* view, TOVEditorBarView* barView);
    // Re-stacks the subviews: page views, then line views, then bar views, then everything else, each
    // group keeping its order (by exact class: a subclass counts as everything else).
    void restackSubviews();
    static int stackingRank(const platform::View& view);

    // --- Pages and bars ---
    TOVEditorPageView* firstPageView() const;
    TOVEditorPageView* lastPageView() const;
    TOVEditorPageView* nextPageViewOf(const TOVEditorPageView* pageView) const;
    TOVEditorPageView* previousPageViewOf(const TOVEditorPageView* pageView) const;
    TOVEditorPageView* pageViewFromPage(const Page* page) const;
    // The slot of the song header: the first line view of the first page view.
    TOVEditorLineView* songSettingAreaLineView() const;
    // The bar view of the bar numbered n, in the lower staff when asked; pages without bar views are
    // passed over.
    TOVEditorBarView* barViewFromNumberInLower(std::uint64_t number, bool lower) const;

    TOVBarId selectedBarId() const;
    TOVEditorBarView* selectedBar() const { return selectedBar_.get(); }
    // A different bar view becomes the selected one (the old one unselected, both redrawn); every call,
    // also with the bar view already selected, is announced to the observers of "selectedBar".
    void setSelectedBar(TOVEditorBarView* barView);
    TOVEditorBarView* dropTargetBar() const { return dropTargetBar_.get(); }
    void setDropTargetBar(TOVEditorBarView* barView);
    // Selects the bar view of the id and scrolls to it; nothing when there is none.
    void selectBar(TOVBarId barId);
    void scrollToBarView(TOVEditorBarView* barView);

    // Observers of "selectedBar"; the id removes one.
    int addSelectedBarObserver(std::function<void()> observer);
    void removeSelectedBarObserver(int id);

    // --- Object selection ---
    // One selection per window: the selected views (state 1) and, apart from them, the one view a drag
    // in progress points at (state 2). Accidentals, articulations, slurs and ties on their own are only
    // ever selected alone; the rules below keep a selection that holds one of them free of anything else.
    const ObjectViewSet& selectedObjectViewSet() const { return selectedObjectViewSet_; }
    // Whether the view may join the present selection: always into an empty one, never beside a view
    // that is selected only alone, and never when it is itself such a view.
    bool canAppendSelection(const TOVObjectView* view) const;
    // Whether a rubber band may take the view: not the views that are selected only alone.
    bool canSelectByDragging(const TOVObjectView* view) const;
    // Accidental, articulation, slur and tie views, by their exact class.
    static bool isSelectedOnlyAlone(const TOVObjectView& view);
    // Selects the views (state 1), the others dropped first when asked, and tells the controller. Without
    // clearing, nothing changes and the answer is false when one of them may not join the selection.
    bool selectObjectViewsClearOthers(const ObjectViewSet& views, bool clearOthers);
    // The same for one view; a view of a bar view makes that bar the selected bar.
    bool selectAnObjectViewClearOthers(TOVObjectView* view, bool clearOthers);
    void unselectObjectViews(const ObjectViewSet& views);
    void unselectAnObjectView(TOVObjectView* view);
    // Every selected view back to state 0; the selected bar and the target stay.
    void clearSelection();

    TOVObjectView* targerObjectView() const { return targerObjectView_.get(); }
    // A different view becomes the target (state 2): the old target and every selected view go back to
    // state 0 and the selection is emptied, without telling the controller. Null leaves no target.
    void setTargerObjectView(TOVObjectView* view);

    // --- Rubber band ---
    // A single click on the page background starts it (dropping the selection unless Shift or Command is
    // held), dragging selects what it overlaps and, inside note views, the cells under it; the mouse-up
    // ends it. With Shift or Command the selection from before the click stays, and only what the band
    // itself took is dropped again when the band leaves it.
    void mouseDown(const platform::Event& event) override;
    void mouseDragged(const platform::Event& event) override;
    void mouseUp(const platform::Event& event) override;
    bool isDraggingToMultiSelect() const { return multiSelectAreaView_ != nullptr; }
    TOVMultiSelectAreaView* multiSelectAreaView() const { return multiSelectAreaView_.get(); }
    // Everything the present band has selected so far; none outside a band drag.
    const std::optional<ObjectViewSet>& tempSelectedObjectViews() const { return tempSelectedObjectViews_; }
    // The selection as it was at the band's mouse-down; none outside a band drag.
    const std::optional<ObjectViewSet>& selectedObjectViewSnapShot() const {
        return selectedObjectViewSnapShot_;
    }

    // --- Drawing tools ---
    void restoreSymbolViewFor(Symbol* object) override;
    void createTextToolViewWithDataSelect(Symbol* data, bool select);
    void createArrowToolsViewWithDataSelect(Symbol* data, bool select);
    void createWaveToolsViewWithDataSelect(Symbol* data, bool select);
    void createLineToolsViewWithDataSelect(Symbol* data, bool select);
    // Rebuilds the tool views from the document's symbols; outside undo and redo the controller then
    // hears of each tool's frame, so that it attaches the tool to the bar beneath.
    void createAllSymbolViews();
    void removeObjectView(TOVObjectView* view) override;
    void removeObjectViewAndData(TOVObjectView* view) override;

    // --- Palette drops on the page background: only drawing tools are taken ---
    platform::DragOperation draggingEntered(const platform::DraggingInfo& info) override;
    platform::DragOperation draggingUpdated(const platform::DraggingInfo& info) override;
    void draggingExited(const platform::DraggingInfo& info) override;
    bool performDragOperation(const platform::DraggingInfo& info) override;

    // --- Printing: one printed page per page view, each at the paper's origin ---
    bool knowsPageRange(long& firstPage, long& pageCount) override;
    platform::Rect rectForPage(long page) override;
    platform::Point locationOfPrintRect(const platform::Rect& rect) override;

    void drawRect(const platform::Rect& dirty, platform::GraphicsContext& ctx) override;

private:
    // A page view for the page, added on top of the subviews and filled; not yet re-stacked.
    void addPageView(Page* page);
    void createToolView(Symbol* data, bool select);
    void observeDocument(Document* document);
    void stopObservingDocument();
    void documentDidChange(const platform::Change& change);
    void announceSelectedBar();
    // Inside every note view the band took, the cells under the band (given in editor coordinates).
    void selectNoteCellsUnderBand(const ObjectViewSet& hits, const platform::Rect& area);

    Document* docData_ = nullptr;
    std::vector<platform::ObservationToken> documentObservations_;
    Song* song_ = nullptr;
    PageViewArray pageViewArray_;
    std::shared_ptr<TOVEditorBarView> selectedBar_;
    std::shared_ptr<TOVEditorBarView> dropTargetBar_;
    ObjectViewSet selectedObjectViewSet_;
    std::shared_ptr<TOVObjectView> targerObjectView_;
    std::shared_ptr<TOVMultiSelectAreaView> multiSelectAreaView_;
    std::optional<ObjectViewSet> tempSelectedObjectViews_;
    std::optional<ObjectViewSet> selectedObjectViewSnapShot_;
    std::vector<std::pair<int, std::function<void()>>> selectedBarObservers_;
    int nextObserverId_ = 1;
};
