#pragma once

#include "glyphs/TOVObjectViewOwner.h"
#include "layout/TOVBarGeometry.h"
#include "layout/TOVEditorView.h"
#include "layout/TOVLayoutController.h"
#include "layout/TOVLayoutView.h"
#include "layout/TOVNotePaletteDropAids.h"
#include "model/TOVUnitTypes.h"
#include "notation/TOVNoteBlockCell.h"
#include "notation/TOVNoteDropAreaCell.h"
#include "notation/TOVNoteGridCell.h"
#include "notation/TOVNoteViewDelegate.h"
#include "platform/ui/DraggingInfo.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class Bar;
class Chord;
class Note;
class NoteUnit;
class TOVChordObjectView;
class TOVEditorLineView;
class TOVNotePreview;
class TOVNoteUnitCell;
class TOVNoteView;
class TOVObjectView;
class SymbolRepeat;
class SymbolTempo;
class SymbolText;

// The view of one Bar inside its line view and the geometric authority of that bar: where its staff, its
// clef/key/time area and its notes area lie, how tone levels map to y and ticks to x. Its object views live
// in the editor view, placed from origins given in the bar view's coordinates (y down). The bar view itself
// draws only its frame decorations: the selected bar, the bar under a palette drag and a bar-range
// highlight, on screen only.
class TOVEditorBarView : public TOVLayoutView, public TOVObjectViewOwner, public TOVNoteViewDelegate {
public:
    // The staff: four spaces of a fixed height, centred vertically in the bar view.
    static constexpr double kStaffSpace = TOVBarGeometry::kStaffSpace;
    static constexpr double kStaffHeight = TOVBarGeometry::kStaffHeight;
    static constexpr double kLevelStep = TOVBarGeometry::kLevelStep;

    explicit TOVEditorBarView(const platform::Rect& frame = platform::Rect(),
                              TOVLayoutController* delegate = nullptr);
    ~TOVEditorBarView() override;

    // --- As the owner of its object views ---
    TOVLayoutController* delegate() const override { return TOVLayoutView::delegate(); }
    platform::View* ownerView() override { return this; }
    TOVEditorView* editorView() const override { return hostEditorView(); }
    bool isEditorBarView() const override { return true; }

    Bar* bar() const override { return bar_; }
    // A different bar is stored, its size written from the frame and its object views built anew.
    void setBar(Bar* bar);

    bool selected() const { return selected_; }
    void setSelected(bool selected) { selected_ = selected; }
    bool dropTarget() const { return dropTarget_; }
    // A change drops the object selection first and redraws the bar view.
    void setDropTarget(bool dropTarget);

    // --- The object views standing at the start of the bar ---
    using ViewPtr = std::shared_ptr<TOVObjectView>;
    const ViewPtr& clefView() const { return clefView_; }
    void setClefView(ViewPtr view) { clefView_ = std::move(view); }
    const ViewPtr& keySignatureView() const { return keySignatureView_; }
    void setKeySignatureView(ViewPtr view) { keySignatureView_ = std::move(view); }
    const ViewPtr& timeView() const { return timeView_; }
    void setTimeView(ViewPtr view) { timeView_ = std::move(view); }
    const ViewPtr& longRestView() const { return longRestView_; }
    void setLongRestView(ViewPtr view) { longRestView_ = std::move(view); }
    const ObjectViewArray& chordViewArray() const { return chordViewArray_; }
    ObjectViewArray& chordViewArray() { return chordViewArray_; }
    const ObjectViewArray& chords() const { return chordViewArray_; }

    // --- Geometry, in the bar view's own coordinates: each question forwards to the bar's geometry ---
    // The geometry of the bar as it stands: its size, its bar, the views at its start and, in the first bar
    // of a double line, the partner's clef/key/time area.
    TOVBarGeometry geometry() const;
    // The same without the partner.
    TOVBarGeometry geometryInThisLine() const;
    // Only the size: all the staff and its levels need.
    TOVBarGeometry staffGeometry() const;

    // The room a barline of the type takes in the bar on its left and on its right.
    static double marginLeftOfBarline(int type) { return TOVBarGeometry::marginLeftOfBarline(type); }
    static double marginRightOfBarline(int type) { return TOVBarGeometry::marginRightOfBarline(type); }

    double posY5LinesTop() const override { return staffGeometry().posY5LinesTop(); }
    double posY5LinesBottom() const { return staffGeometry().posY5LinesBottom(); }
    // The middle staff line, tone level 0; even levels lie on lines, odd ones in spaces, positive above.
    double posYLevel0() const { return staffGeometry().posYLevel0(); }
    double posYFromToneLevel(std::int64_t level) const { return staffGeometry().posYFromToneLevel(level); }
    // Truncated toward zero.
    std::int64_t toneLevelFromPosY(double y) const { return staffGeometry().toneLevelFromPosY(y); }
    platform::Rect rectangleClefKeyTimeAreaInThisLine() const {
        return geometryInThisLine().rectangleClefKeyTimeAreaInThisLine();
    }
    // The area above, widened to its partner's in the first bar of a double line so both staves start
    // their notes at the same x.
    platform::Rect rectangleClefKeyTimeArea() const { return geometry().rectangleClefKeyTimeArea(); }
    platform::Rect rectangleNotesArea() const override { return geometry().rectangleNotesArea(); }
    std::uint64_t totalRhythmLength() const;
    // Points per tick; 0 for a bar without a length.
    double xPitchPerLength() const { return geometry().xPitchPerLength(); }
    double posXFromNoteX(std::uint64_t tick) const { return geometry().posXFromNoteX(tick); }
    // Where a rhythm unit stands when the notes keep to the tick grid: its timing on the bar's tick scale;
    // the notes area's start for no unit.
    double xPosForUnitInGridMode(const NoteUnit* unit) const;
    // The band above the top staff line across the whole bar, edges included (event in window coordinates).
    bool hitTestChordArea(const platform::Event& event) const;

    // ==== Chord views and the chord-input cursor (TOVEditorBarViewChords.cpp) =============================
    // One chord view per chord, placed on a grid linear in time above the staff. The cursor is the timing at
    // which the chord input window enters the next chord; moving it selects the chord standing there.

    // The line the chord symbols stand on.
    double chordBaseLineOffset() const { return staffGeometry().chordBaseLineOffset(); }
    // The x of a timing: linear in time across the notes area, whatever the spacing of the notes.
    double xPosOfChordInGridMode(std::uint64_t timing) const {
        return geometry().xPosOfChordInGridMode(timing);
    }
    // The view of a chord entered at the cursor: it replaces the chords standing at its timing, which leave
    // the document with their views. Selected alone when asked.
    std::shared_ptr<TOVChordObjectView> createChordViewOf(Chord* chord, bool select);
    // The view of a stored chord; the model is left as it is, also when another chord shares its timing.
    std::shared_ptr<TOVChordObjectView> restoreChordViewFor(Chord* chord);
    std::shared_ptr<TOVChordObjectView> chordViewFromData(const Chord* chord) const;
    void updateChordViewFor(Chord* chord);
    // The first chord view at the timing; null when none stands there.
    std::shared_ptr<TOVChordObjectView> chordViewFromTiming(std::uint64_t timing) const;
    // Takes the view out of the editor view and of chordViewArray; its chord stays.
    void removeChordView(TOVObjectView* view);

    std::uint64_t timingChordInput() const { return timingChordInput_; }
    // Moves the cursor; the chord view standing there becomes the only selection, and without one the
    // controller clears the selection.
    void setTimingChordInput(std::uint64_t timing);
    // The next cursor position: the next multiple of the step, or with follow the first rhythm slash
    // before it; 0 when the bar has no further position (and for a step of 0).
    std::uint64_t nextChordTiming(std::uint64_t step, bool shouldFollowRhythm) const;
    bool canProgressChordTiming(std::uint64_t step, bool shouldFollowRhythm) const;
    void progressChordTiming(std::uint64_t step, bool shouldFollowRhythm);
    // The timing of the latest chord strictly before the timing, or the timing itself when there is none.
    std::uint64_t lastValidChordTimingBefore(std::uint64_t timing) const;
    bool canGobackChordTiming() const;
    void gobackChordTiming();
    // Puts the cursor on the bar's last chord; false, the cursor staying, in a bar without chords.
    bool goLastValidChordTiming();
    // The cursor at the single selected chord, else at 0.
    void initChordTiming();
    // The small box that marks the cursor where no chord stands (on screen, while chord input runs).
    void highlightChordArea(platform::GraphicsContext& ctx) const;

    // Where the heads, ledger lines or accidentals of a line reach into its chord row, the chords of the
    // line are drawn raised clear of them, all by the same height; their stored places do not change. The
    // raise of this bar view's line, in points (0 when nothing reaches the row).
    double chordRaise() const override { return chordRaise_; }
    // Works the raise out again from the note and chord views of the line (one row of a double line) and
    // re-places the chord views of every bar view whose raise changes.
    void updateChordRaiseOfLine();

private:
    std::shared_ptr<TOVChordObjectView> makeChordView(Chord* chord);
    void removeAllChordViews();
    // The highest point the bar's heads and accidentals reach, and the lowest point its chords reach at
    // their stored places, in this view's coordinates (none without such views).
    std::optional<double> topOfNoteInk() const;
    std::optional<double> bottomOfStoredChords() const;

    double chordRaise_ = 0;

    std::uint64_t timingChordInput_ = 0;

public:
    // ==== End of chord views and the chord-input cursor ====================================================

    // ==== Note views (the "Note views" section of TOVEditorBarView.cpp) ===================================
    // One note view per Note of the bar, in creation order. Like every object view a note view stands in the
    // editor view, placed from an origin in the bar view's coordinates; the bar view is its note-view
    // delegate. Rebuilding a bar's note views also redraws the ties that reach into them from the bar
    // before.
    using NoteViewArray = std::vector<std::shared_ptr<TOVNoteView>>;
    const NoteViewArray& noteViewArray() const { return noteViewArray_; }

    // The selection is cleared, then every note view is made anew.
    void recreateAllNoteViews();
    void removeAllNoteViews();
    // The note blocks, a view per note in the bar's order, then the ties of the bar before.
    void createAllNoteViews();
    // Selected alone when asked.
    std::shared_ptr<TOVNoteView> createNoteViewOfSelect(Note* note, bool select);
    // A view for a stored note; the note before it is laid out again, its beams and ties may reach it.
    void restoreNoteViewFor(Note* note);
    void updateNoteViewFor(Note* note);
    void removeNoteViewFor(Note* note);
    // Exactly the views of those notes become the selection, each wholly selected.
    void selectMultiNoteViewFromData(const std::vector<Note*>& notes);
    void updateTies();
    std::shared_ptr<TOVNoteView> noteViewFromData(const Note* note) const;
    // The view of the note covering the tick where this one ends (the tick before it begins), in the next
    // (previous) bar view, also across a line, when it ends at the bar's end (begins at 0); null when none.
    TOVNoteView* nextContinuousNoteViewOf(const TOVNoteView* noteView) const;
    TOVNoteView* previousContinuousNoteViewOf(const TOVNoteView* noteView) const;
    // Takes the view out of the editor view and of noteViewArray, its note staying; the note before it
    // redraws its tie.
    void removeNoteView(TOVNoteView* view);
    // The view of the object refreshes; for a note view the ties that reach it from either side follow.
    void objectShouldUpdateView(Symbol* object) override;

    // The runs of notes without gaps that share out the bar's room in proportion (rebuilt from the model).
    const std::vector<TOVNoteBlockCell>& noteBlockCellArray() const { return noteBlockCellArray_; }
    void updateNoteBlocks();

    // What every note view needs of its host: the staff and the notes area.
    platform::Rect noteViewInquireRectangleNotesArea(TOVNoteView* noteView) override;
    double noteViewInquirePosYLevel0(TOVNoteView* noteView) override;
    double noteViewInquire5LinesPitch(TOVNoteView* noteView) override;
    platform::View* noteViewInquireBarView(TOVNoteView* noteView) override;

private:
    NoteViewArray noteViewArray_;
    std::vector<TOVNoteBlockCell> noteBlockCellArray_;

public:
    // The drop aids a notes-palette drag shows over the bar, drawn on screen after the frame decorations:
    // the rhythm grid's columns, the empty stretches that take a note, and the stretch for a harmony tone.
    // They are kept by the bar view's drop aids, to which these forward.
    TOVNotePaletteDropAids& notePaletteDropAids() { return notePaletteDropAids_; }
    std::vector<TOVNoteGridCell>& gridCellArray() { return notePaletteDropAids_.gridCellArray(); }
    std::vector<TOVNoteDropAreaCell>& noteDropAreaCellArray() {
        return notePaletteDropAids_.noteDropAreaCellArray();
    }
    std::optional<TOVNoteDropAreaCell>& harmonyDropAreaCell() {
        return notePaletteDropAids_.harmonyDropAreaCell();
    }

private:
    TOVNotePaletteDropAids notePaletteDropAids_{*this};

public:
    // ==== End of note views ===============================================================================

    // --- Neighbours; null without a delegate or when there is none ---
    TOVEditorLineView* lineView() const;
    // Across the end (start) of the line into the next (previous) line.
    TOVEditorBarView* nextBarView() const;
    TOVEditorBarView* previousBarView() const;
    TOVEditorBarView* alternativeBarViewInDoubleLine() const;
    // The bar view of the upper staff: the partner in a lower line, else this one.
    TOVEditorBarView* upperBarView();

    // --- Object-view lookups ---
    std::shared_ptr<TOVObjectView> objectViewFromData(Symbol* object) override;
    std::shared_ptr<TOVObjectView> reharsalMarkView() const;
    std::shared_ptr<TOVObjectView> voltaOrBisView() const;
    std::shared_ptr<TOVObjectView> octaveView() const;
    std::shared_ptr<TOVObjectView> fineView() const;

    // --- View lists ---
    void recreateAllSubViews() override;
    void updateAllSubviews() override;
    void removeAllSubviews();
    void removeFromSuperview() override;

    // --- Frames ---
    // The frame, then every object view follows.
    void setFrame(const platform::Rect& frame) override;
    // The frame only.
    void setFrameOnlyMyself(const platform::Rect& frame);
    // Writes the frame's size into the bar, rescaling the stored positions of what stands in it.
    void updateDataFrameAsCurrentViewFrame();
    // Stored positions inside the old extent move with the bar; the bar view already has its new frame.
    void moveSymbolsDataOriginInScaleXby(double scaleX, double scaleY);
    // A provisional frame during a barline drag: the object views follow, the model is left alone.
    void updateViewFrameTemporallyBy(const platform::Rect& frame);

    // --- Events ---
    void mouseDown(const platform::Event& event) override;
    void rightMouseDown(const platform::Event& event) override;
    void drawRect(const platform::Rect& dirty, platform::GraphicsContext& ctx) override;

    // --- Palette drags, handed on by the pasteboard type: the symbols palette's first ---
    static constexpr const char* kSymbolPaletteDragType = "TOVSymbolPaletteForBarViewData";
    static constexpr const char* kNotePaletteDragType = "TOVNotePaletteForBarViewData";
    platform::DragOperation draggingEntered(const platform::DraggingInfo& info) override;
    platform::DragOperation draggingUpdated(const platform::DraggingInfo& info) override;
    void draggingExited(const platform::DraggingInfo& info) override;
    bool performDragOperation(const platform::DraggingInfo& info) override;

    // ==== Notes-palette drags (TOVEditorBarViewNotePalette.cpp) ============================================
    // While a rhythm value hovers over the bar, the bar view shows where it would land: in an empty bar a
    // grid of one column per 30 ticks, in a bar with notes its empty stretches; the column or stretch that
    // would take the value is active, and notes, tuplets and harmony tones show a note head at the
    // pointer's staff level. A harmony tone goes onto the tone unit under the pointer, which the bar view
    // does itself; every other drop is asked of the controller. The aids last as long as the drag stays
    // over the bar view.
    static constexpr std::uint32_t kNotePaletteHarmonyTone = TOVNoteItemHarmonyTone;
    static constexpr std::uint32_t kNotePaletteBeatSlash = TOVNoteItemBeatSlash;

    // The notated length of a palette item: the low 16 bits of its code.
    static std::uint64_t noteLengthFromNoteType(std::int32_t type);

    TOVNoteGridCell* activeGridCell() const { return notePaletteDropAids_.activeGridCell(); }
    // The old cell goes inactive, the new one active.
    void setActiveGridCell(TOVNoteGridCell* cell) { notePaletteDropAids_.setActiveGridCell(cell); }
    TOVNoteDropAreaCell* activeNoteDropAreaCell() const {
        return notePaletteDropAids_.activeNoteDropAreaCell();
    }
    void setActiveNoteDropAreaCell(TOVNoteDropAreaCell* cell) {
        notePaletteDropAids_.setActiveNoteDropAreaCell(cell);
    }
    // The active cell of the kind is let go before the array is replaced.
    void setGridCellArray(std::vector<TOVNoteGridCell> cells);
    void setNoteDropAreaCellArray(std::vector<TOVNoteDropAreaCell> cells);
    // The unit a hovering harmony tone would join, and the stretch marking it; null while there is none.
    TOVNoteUnitCell* harmonyDropTargetUnitCell() const {
        return notePaletteDropAids_.harmonyDropTargetUnitCell();
    }
    void setHarmonyDropTargetUnitCell(TOVNoteUnitCell* cell) {
        notePaletteDropAids_.setHarmonyDropTargetUnitCell(cell);
    }
    void setHarmonyDropAreaCell(std::optional<TOVNoteDropAreaCell> cell);

    // One column per 30 ticks across the notes area, with marks of a height by their place in the beat.
    void createGridCells() { notePaletteDropAids_.createGridCells(); }
    // One stretch per gap between the bar's notes, and one after the last; none in a full bar.
    void createNoteDropAreaCells() { notePaletteDropAids_.createNoteDropAreaCells(); }
    // Every aid goes: the preview, the grid, the stretches, the harmony target; the bar is no longer the
    // drag's target.
    void clearDraggingFromNotePalette();

protected:
    virtual platform::DragOperation draggingEnteredFromNotePalette(const platform::DraggingInfo& info);
    virtual platform::DragOperation draggingUpdatedFromNotePalette(const platform::DraggingInfo& info);
    virtual void draggingExitedFromNotePalette(const platform::DraggingInfo& info);
    virtual bool performDragOperationFromNotePalette(const platform::DraggingInfo& info);

private:
    platform::DragOperation draggingUpdatedWithHarmonyTone(const platform::DraggingInfo& info);
    // Whether the item fits at the column's or the stretch's tick.
    bool canInputItemAtGridCell(std::uint32_t item, const TOVNoteGridCell& cell) const;
    bool canInputItemAtDropArea(std::uint32_t item, const TOVNoteDropAreaCell& cell) const;
    // A fresh preview in the editor view above everything, belonging to this bar view.
    void showNewNotePreview();

protected:
    // ==== End of notes-palette drags =======================================================================

    // ==== As the delegate of its note views (TOVEditorBarViewNotes.cpp) ====================================
    // The bar view answers its note views' staff questions, gives each rhythm unit its x from the bar's
    // note blocks (runs of notes without a gap, spaced in proportion to their values), finds the note views
    // before and after a note, also in the neighbouring bars, and shows the previews of a tone drag and of
    // a stem flip. The model is changed only when such a drag is released.
public:
    void noteViewWillBeDropTargetOn(TOVNoteView* noteView, bool on) override;
    void noteViewWillStartDragToneAt(TOVNoteView* noteView, TOVNoteToneCell* toneCell,
                                     platform::Point point) override;
    void noteViewDidUpdateDragToneAt(TOVNoteView* noteView, TOVNoteToneCell* toneCell,
                                     platform::Point point) override;
    void noteViewDidFinishDragToneAt(TOVNoteView* noteView, TOVNoteToneCell* toneCell,
                                     platform::Point point) override;
    void noteViewWillStartFlippingAt(TOVNoteView* noteView, platform::Point point) override;
    void noteViewDidUpdateFlippingAt(TOVNoteView* noteView, platform::Point point) override;
    void noteViewDidFinishFlippingAt(TOVNoteView* noteView, platform::Point point) override;
    TOVNoteView* noteViewInquirePreviousNoteView(TOVNoteView* noteView) override;
    TOVNoteView* noteViewInquireNextNoteView(TOVNoteView* noteView) override;
    bool noteViewToneCellRequireInsertSymbolObjectDraggingInfo(TOVNoteView* noteView,
                                                               TOVNoteToneCell* toneCell, std::int32_t type,
                                                               const platform::DraggingInfo& info) override;
    void noteViewSymbolPaletteDragEnteredDraggingInfo(TOVNoteView* noteView, std::int32_t item,
                                                      const platform::DraggingInfo& info) override;
    void noteViewSymbolPaletteDragExitedDraggingInfo(TOVNoteView* noteView, std::int32_t item,
                                                     const platform::DraggingInfo& info) override;
    void noteViewSymbolPaletteDragPerformedDraggingInfo(TOVNoteView* noteView, std::int32_t item,
                                                        const platform::DraggingInfo& info) override;
    void noteViewNotePaletteDragEnteredDraggingInfo(TOVNoteView* noteView, std::int32_t item,
                                                    const platform::DraggingInfo& info) override;
    void noteViewNotePaletteDragExitedDraggingInfo(TOVNoteView* noteView, std::int32_t item,
                                                   const platform::DraggingInfo& info) override;
    void noteViewNotePaletteDragPerformedDraggingInfo(TOVNoteView* noteView, std::int32_t item,
                                                      const platform::DraggingInfo& info) override;
    std::optional<double> noteViewInquirexPosForUnit(TOVNoteView* noteView, const NoteUnit* unit) override;

    // The unit's x in the bar view from the first block that holds it; 0 when none does.
    double xPosForUnit(const NoteUnit* unit) const;

    // The note head that follows a dragged tone; null while none is dragged.
    const std::shared_ptr<TOVNotePreview>& notePreview() const { return notePreview_; }
    // Replacing the preview takes the old one out of the editor view.
    void setNotePreview(std::shared_ptr<TOVNotePreview> preview);
    // Puts the preview at the staff level of the point (bar view coordinates), the frame reaching from the
    // head to the middle line; over a palette drag's grid or stretch the head stands at the active one.
    void updateNotePreviewAt(platform::Point point);
    // The same note with its stems turned, shown while a flip drag has gone far enough; null otherwise.
    const std::shared_ptr<TOVNoteView>& noteFlipPreview() const { return noteFlipPreview_; }

private:
    void removeNoteFlipPreview();

    std::shared_ptr<TOVNotePreview> notePreview_;
    std::shared_ptr<TOVNoteView> noteFlipPreview_;

public:
    // ==== End of the note views' delegate =================================================================

    // ==== Clef, key, time and long-rest views, symbol views and symbol-palette drops ====
    // (TOVEditorBarViewSymbols.cpp)
public:
    // Each makes the view of the bar's own attribute, replacing the one there; nothing while the
    // attribute is 0. With select the new view ends up the only selected one.
    void createClefViewAndSelect(bool select);
    void createKeySignatureViewAndSelect(bool select);
    void createTimeViewAndSelect(bool select);
    void createLongRestViewAndSelect(bool select);
    void updateLongRestView();
    // The views of the bar's symbols, by category. select comes with a user's insertion: it completes a
    // new symbol (size, text) and selects its view alone; without it the model is not written.
    void createMarkViewOfDataSelect(int type, SymbolText* data, bool select);
    std::shared_ptr<TOVObjectView> createRepeatViewOfDataSelect(int type, SymbolRepeat* data, bool select);
    void createDynamicsViewOfDataSelect(int type, Symbol* data, bool select);
    void createOctaveViewOfDataSelect(int type, Symbol* data, bool select);
    void createTempoViewOfDataSelect(int type, SymbolTempo* data, bool select);
    void createPushViewOfDataSelect(int type, Symbol* data, bool select);
    void restoreSymbolViewFor(Symbol* object) override;
    // Places the clef, the key and the time signature one after the other at the start of the bar.
    void updateClefKeyTimeViews();
    // The same, then what stands behind the group follows it.
    void adjustPositionOfClefKeyTimeViews();
    // Where a sign repeating the previous bar(s) of the type is made, in bar view coordinates.
    platform::Point positionRepeatPrevBar(int type);

    void removeObjectView(TOVObjectView* view) override;
    void removeObjectViewAndData(TOVObjectView* view) override;
    void removeClefViewAdjustOtherViews(TOVObjectView* view, bool adjust);
    void removeKeySignatureViewAdjustOtherViews(TOVObjectView* view, bool adjust);
    void removeTimeSignatureViewAdjustOtherViews(TOVObjectView* view, bool adjust);
    void removeLongRestView(TOVObjectView* view);
    void removeSymbolView(TOVObjectView* view);
    // Every object view of the bar; the bar's clef, key, time and long rest stay as they are.
    void removeAllSymbolViews();

protected:
    virtual platform::DragOperation draggingEnteredFromSymbolPalette(const platform::DraggingInfo& info);
    virtual platform::DragOperation draggingUpdatedFromSymbolPalette(const platform::DraggingInfo& info);
    virtual void draggingExitedFromSymbolPalette(const platform::DraggingInfo& info);
    virtual bool performDragOperationFromSymbolPalette(const platform::DraggingInfo& info);

private:
    // The glyph font of the bar's document; empty (the built-in glyphs) outside a document.
    std::string plugInFontID() const;
    // The editor view of the controller, else the one the bar view stands in (a tree drawn without a
    // controller).
    TOVEditorView* hostEditorView() const;
    // Replaces the slot's view with a new one of the type.
    void createSlotView(ViewPtr& slot, int type, bool select);
    void removeSlotView(ViewPtr& slot, TOVObjectView* view);
    // A chord view out of the editor view and of chordViewArray, its chord staying: what removing one of
    // the bar's object views and removing them all do with chord views.
    void takeOutChordView(TOVObjectView* view);
    // The steps every symbol view shares; null when no view shows the type.
    std::shared_ptr<TOVObjectView> createSymbolView(int type, Symbol* data, bool select, bool defaultSize);
    // ==== End of clef, key, time, long-rest and symbol views ====

private:
    void updateToolViews();

    Bar* bar_ = nullptr;
    bool selected_ = false;
    bool dropTarget_ = false;
    ViewPtr clefView_;
    ViewPtr keySignatureView_;
    ViewPtr timeView_;
    ViewPtr longRestView_;
    ObjectViewArray chordViewArray_;
};
