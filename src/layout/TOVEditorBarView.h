#pragma once

#include "glyphs/TOVObjectViewOwner.h"
#include "layout/TOVEditorView.h"
#include "layout/TOVLayoutController.h"
#include "layout/TOVLayoutView.h"
#include "platform/ui/DraggingInfo.h"

#include <cstdint>
#include <memory>

class Bar;
class NoteUnit;
class TOVEditorLineView;
class TOVObjectView;

// The view of one Bar inside its line view and the geometric authority of that bar: where its staff, its
// clef/key/time area and its notes area lie, how tone levels map to y and ticks to x. Its object views live
// in the editor view, placed from origins given in the bar view's coordinates (y down). The bar view itself
// draws only its frame decorations: the selected bar, the bar under a palette drag and a bar-range
// highlight, on screen only.
class TOVEditorBarView : public TOVLayoutView, public TOVObjectViewOwner {
public:
    // The staff: four spaces of a fixed height, centred vertically in the bar view.
    static constexpr double kStaffSpace = 5.9;
    static constexpr double kStaffHeight = 4 * kStaffSpace;
    static constexpr double kLevelStep = kStaffSpace / 2;

    explicit TOVEditorBarView(const platform::Rect& frame = platform::Rect(),
                              TOVLayoutController* delegate = nullptr);
    ~TOVEditorBarView() override;

    // --- As the owner of its object views ---
    TOVLayoutController* delegate() const override { return TOVLayoutView::delegate(); }
    platform::View* ownerView() override { return this; }
    TOVEditorView* editorView() const override { return TOVLayoutView::editorView(); }
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

    // --- Barline margins: the room a barline of the type takes in the bar on its left and on its right ---
    static double marginLeftOfBarline(int type);
    static double marginRightOfBarline(int type);

    // --- Geometry, in the bar view's own coordinates ---
    double posY5LinesTop() const override;
    double posY5LinesBottom() const;
    // The middle staff line, tone level 0; even levels lie on lines, odd ones in spaces, positive above.
    double posYLevel0() const;
    double posYFromToneLevel(std::int64_t level) const;
    // Truncated toward zero.
    std::int64_t toneLevelFromPosY(double y) const;
    platform::Rect rectangleClefKeyTimeAreaInThisLine() const;
    // The area above, widened to its partner's in the first bar of a double line so both staves start
    // their notes at the same x.
    platform::Rect rectangleClefKeyTimeArea() const;
    platform::Rect rectangleNotesArea() const override;
    std::uint64_t totalRhythmLength() const;
    // Points per tick; 0 for a bar without a length.
    double xPitchPerLength() const;
    double posXFromNoteX(std::uint64_t tick) const;
    // Where a rhythm unit stands when the notes keep to the tick grid: its timing on the bar's tick scale;
    // the notes area's start for no unit.
    double xPosForUnitInGridMode(const NoteUnit* unit) const;
    // The band above the top staff line across the whole bar, edges included (event in window coordinates).
    bool hitTestChordArea(const platform::Event& event) const;

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

protected:
    // What each palette's drags do in the bar; these refuse them.
    virtual platform::DragOperation draggingEnteredFromSymbolPalette(const platform::DraggingInfo&) {
        return platform::DragOperationNone;
    }
    virtual platform::DragOperation draggingUpdatedFromSymbolPalette(const platform::DraggingInfo&) {
        return platform::DragOperationNone;
    }
    virtual void draggingExitedFromSymbolPalette(const platform::DraggingInfo&) {}
    virtual bool performDragOperationFromSymbolPalette(const platform::DraggingInfo&) { return false; }
    virtual platform::DragOperation draggingEnteredFromNotePalette(const platform::DraggingInfo&) {
        return platform::DragOperationNone;
    }
    virtual platform::DragOperation draggingUpdatedFromNotePalette(const platform::DraggingInfo&) {
        return platform::DragOperationNone;
    }
    virtual void draggingExitedFromNotePalette(const platform::DraggingInfo&) {}
    virtual bool performDragOperationFromNotePalette(const platform::DraggingInfo&) { return false; }

private:
    void updateClefKeyTimeViews();
    void updateLongRestView();
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
