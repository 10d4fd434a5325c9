#pragma once

#include "glyphs/TOVResizeHandleCell.h"
#include "glyphs/TOVSelectableView.h"
#include "platform/graphics/BezierPath.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class Note;
class NoteTone;
class NoteUnit;
class TOVManagedObject;
class TOVNoteCellBase;
class TOVNoteToneCell;
class TOVNoteUnitCell;
class TOVNoteViewDelegate;

// The view of one Note: a single note, rest or slash, a beamed group, or a triplet or sextuplet group. It
// owns one unit cell per unit (each owning the tone, slash or rest cells of its unit), the flag and beam
// outlines it computes itself, and the two stem-end handles of a group. The bar view that holds it answers
// its staff questions as its note-view delegate; it never observes the model: whoever changes the note
// calls updateView (or updateTie) again.
//
// The selection lives in the cells' own flags; the view's state is 1 while anything of it is selected, and
// a rebuild selects again, by model object, whatever still exists.
class TOVNoteView : public TOVSelectableView {
public:
    using UnitCellArray = std::vector<std::unique_ptr<TOVNoteUnitCell>>;
    using HandleCellArray = std::vector<std::unique_ptr<TOVResizeHandleCell>>;

    // The least stem length at either end of a group.
    static constexpr double kLeastPoleHeight = 6.0;
    // The pasteboard types the view takes from the palettes.
    static constexpr const char* kSymbolPaletteDragType = "TOVSymbolPaletteForNoteViewData";
    static constexpr const char* kNotePaletteDragType = "TOVNotePaletteForNoteViewData";

    // Builds no cells: the creator sets the note-view delegate, then calls updateView.
    explicit TOVNoteView(const platform::Rect& frame = platform::Rect(), Note* note = nullptr);
    ~TOVNoteView() override;

    // Drops the delegate and the cells (with the views hanging on the tones), then leaves the superview.
    void removeFromSuperview() override;

    // --- Binding ---
    Note* note() const { return note_; }
    // Only stores: the view is rebuilt by updateView.
    void setNote(Note* note) { note_ = note; }
    // The bar that answers the view's staff questions; not owned.
    TOVNoteViewDelegate* noteViewDelegate() const { return noteViewDelegate_; }
    void setNoteViewDelegate(TOVNoteViewDelegate* delegate) { noteViewDelegate_ = delegate; }

    // Stems point down when YES: the note's flip, the other way round in a flip preview.
    virtual bool isNoteFlip() const;
    bool flipPreviewMode() const { return flipPreviewMode_; }
    void setFlipPreviewMode(bool mode) { flipPreviewMode_ = mode; }

    // --- Cells ---
    const UnitCellArray& unitCellArray() const { return unitCellArray_; }
    const std::optional<platform::BezierPath>& flagPath() const { return flagPath_; }
    void setFlagPath(std::optional<platform::BezierPath> path) { flagPath_ = std::move(path); }
    const std::optional<platform::BezierPath>& beamPath() const { return beamPath_; }
    void setBeamPath(std::optional<platform::BezierPath> path) { beamPath_ = std::move(path); }
    // Every unit cell lets go of the views hanging on its tones; no cells and no paths are left.
    void clearOldCells();

    // --- Rebuild ---
    // From the model: handles, cells, stem lengths, layout, ties and the views on the tones.
    void updateView() override;
    // The same, keeping the handles and the stem lengths the view holds (a stem end being dragged).
    void updateViewTemporally();
    virtual void updateTie();
    void updateSymbolViews();
    // Every accidental of the note back to its default place beside its head; writes the model.
    void resetAccidentalPosition();

    // --- Lookup ---
    // The tone cell of this view that shows that very tone; null when there is none.
    virtual TOVNoteToneCell* toneCellOfData(const NoteTone* tone) const;
    TOVNoteUnitCell* unitCellOfData(const NoteUnit* unit) const;
    // The first unit cell whose x range holds x (edges included); null beyond the view's width.
    TOVNoteUnitCell* unitFromXPos(double x) const;
    // The note view whose note begins where this one ends (ends where this one begins), also across a
    // bar; null when there is none or the host does not say.
    virtual TOVNoteView* nextContinuousNoteView() const;
    virtual TOVNoteView* previousContinuousNoteView() const;
    platform::View* barView() const;
    // The highest and the lowest level among the tones of the note and slash units; 0 without any.
    std::int64_t topLevelTone() const;
    std::int64_t bottomLevelTone() const;
    // The unit cell standing highest.
    TOVNoteUnitCell* topUnit() const;

    // --- Selection ---
    // State 0 first drops the cell selection.
    void setState(int state) override;
    // A unit cell with everything in it, a tone or slash cell alone; a rest cell is selected through its
    // unit cell only.
    void selectCell(TOVNoteCellBase* cell);
    void unselectCell(TOVNoteCellBase* cell);
    void unselectAllCells();
    void selectWholeNote();
    // Also for a view without cells.
    bool isWholeNoteSelected() const;
    // Unit by unit: the unit cell when it is selected, then its selected tone cells.
    std::vector<TOVNoteCellBase*> selectedCells() const;
    std::vector<TOVNoteUnitCell*> selectedUnitCells() const;
    std::vector<TOVNoteToneCell*> selectedToneCells() const;
    std::vector<TOVNoteUnitCell*> unitCellsOfWhichOrWhoseToneIsSelected() const;
    // What deleting the selection takes: a selected unit whole, else its selected tones.
    std::vector<TOVNoteCellBase*> cellsCanBeDeleted() const;
    // The unit cells that the rectangle overlaps horizontally, strictly; y is not looked at.
    void updateSelectedCellsOnRegion(const platform::Rect& rect);
    // The cells of those units and tones; other objects are passed over.
    void selectCellsFromData(const std::vector<TOVManagedObject*>& objects);

    // --- Palette drags ---
    bool dropTarget() const { return dropTarget_; }
    // A change is told to the host and redrawn.
    void setDropTarget(bool dropTarget);
    TOVNoteToneCell* dropTargetToneCell() const { return dropTargetToneCell_; }
    // A different cell: the cell selection goes, the old cell stops and the new one starts being the target.
    void setDropTargetToneCell(TOVNoteToneCell* cell);
    bool canAcceptDraggingUpdateEvent() const { return canAcceptDraggingUpdateEvent_; }
    void setCanAcceptDraggingUpdateEvent(bool value) { canAcceptDraggingUpdateEvent_ = value; }

    // --- Stem lengths and their handles ---
    double heightLeft() const { return heightLeft_; }
    double heightRight() const { return heightRight_; }
    // At least kLeastPoleHeight; nothing while the note has no units.
    void setHeightLeft(double height);
    void setHeightRight(double height);
    const HandleCellArray& handleCellArray() const { return handleCellArray_; }
    // Two handles, types 0 and 1 at (0, 0), for a note of two or more units; none otherwise.
    void createHandleCells();
    // The handles to the stem ends of the first and the last unit.
    void updatePositionOfHandleCells();

    // --- Mouse state ---
    TOVResizeHandleCell* resizingHandle() const { return resizingHandle_; }
    void setResizingHandle(TOVResizeHandleCell* handle) { resizingHandle_ = handle; }
    TOVNoteToneCell* draggingToneCell() const { return draggingToneCell_; }
    void setDraggingToneCell(TOVNoteToneCell* cell) { draggingToneCell_ = cell; }
    platform::Point toneClickPos() const { return toneClickPos_; }
    void setToneClickPos(platform::Point point) { toneClickPos_ = point; }
    bool isDraggingTone() const { return isDraggingTone_; }
    void setIsDraggingTone(bool value) { isDraggingTone_ = value; }
    bool isFlipping() const { return isFlipping_; }
    void setIsFlipping(bool value) { isFlipping_ = value; }
    platform::Point flipStartPos() const { return flipStartPos_; }
    void setFlipStartPos(platform::Point point) { flipStartPos_ = point; }
    platform::Rect flipHandleRect() const { return flipHandleRect_; }
    void setFlipHandleRect(const platform::Rect& rect) { flipHandleRect_ = rect; }

    // --- Mouse ---
    // A press selects the note or one of its cells through the object controller and may arm one of three
    // drags: a tone up or down, a stem end of a group, or the stems to the other side. The view measures
    // and reports; the note-view delegate shows the previews and changes the model, except the stem
    // lengths, which the release writes to the note.
    void mouseDown(const platform::Event& event) override;
    void mouseDragged(const platform::Event& event) override;
    void mouseUp(const platform::Event& event) override;
    // The up-down cursor over the stem-end handles, only while the view is selected.
    void resetCursorRects() override;

    // --- Layout: x of the units, stems, flags, beams, tuplets and the frame (TOVNoteViewLayout.cpp) ---
    // The x of the unit's cell from the first unit's.
    double xPosForUnit(const NoteUnit* unit) const;
    bool isPoleNecessary(const NoteUnit* unit) const;
    bool isFlagNecessary(const NoteUnit* unit) const;
    // The beam levels of a unit of that length.
    unsigned numberOfFlagsFromLength(std::uint64_t length) const;
    bool needBeam() const;
    bool needBlacket() const;
    void addPole();
    void normalizeSubOrigin();
    platform::BezierPath createBeamPath(const std::vector<TOVNoteUnitCell*>& cells) const;
    void addFlag();
    // Fits the frame around cells and outlines, reaching the middle staff line, in the superview.
    void updateFrame();

    // --- Drops and commands (TOVNoteViewDrops.cpp, TOVNoteViewCommands.cpp) ---
    // The tie and the accidentals of the notes palette and the articulations of the symbols palette are
    // taken onto the tone under the pointer; every other item goes on to the bar view beneath.
    platform::DragOperation draggingEntered(const platform::DraggingInfo& info) override;
    // Ignored (no operation) between a drop and the next entry.
    platform::DragOperation draggingUpdated(const platform::DraggingInfo& info) override;
    void draggingExited(const platform::DraggingInfo& info) override;
    bool performDragOperation(const platform::DraggingInfo& info) override;
    platform::DragOperation draggingUpdatedFromSymbolPalette(const platform::DraggingInfo& info);
    platform::DragOperation draggingUpdatedFromNotePalette(const platform::DraggingInfo& info);
    bool performDragOperationFromSymbolPalette(const platform::DraggingInfo& info);
    bool performDragOperationFromNotePalette(const platform::DraggingInfo& info);
    // No tone is the target any more, nothing is marked for replacement, the editor forgets its target.
    void clearDraggingFromPalette();

    // Menu validation for the note-editing commands, and the commands that change only this note.
    bool canEnableDeleteMenu() const;
    bool canEnableConvertNoteRestMenu() const;
    // Two neighbouring tuplet members of the same kind and pitches may become one of double length.
    bool canMakeUnite() const;
    bool canDivideUnite() const;
    bool canEnableUniteMenu() const;
    bool shouldCheckBeamMenu() const;
    bool canDivideBeamForTuplet() const;
    bool canMakeBeamForTuplet() const;
    bool canEnableBeamMenuForTuplet() const;
    // Divides the beams of the selected tuplet members when they have any, else beams them.
    void doBeamForTuplet();
    bool canEnableAccidentalUpMenu() const;
    bool canEnableAccidentalDownMenu() const;
    // With one selected tone: its own accidental one step up or down, back at its default place.
    void accidentalUp();
    void accidentalDown();
    bool canEnableEnharmonicUpMenu() const;
    bool canEnableEnharmonicDownMenu() const;
    void enharmonicUp();
    void enharmonicDown();
    bool canEnableFlipMenu() const;
    // Turns the note's stems the other way; ties into and out of the note follow.
    virtual void doFlip();
    bool canEnableNoteHeadNormalMenu() const;
    bool canEnableNoteHeadXMenu() const;
    bool canEnableNoteHeadNoneMenu() const;
    void noteHeadNormal();
    void noteHeadX();
    void noteHeadNone();
    // 0 normal, 1 X, 2 none, on every selected tone; only while the view is selected.
    void changeNoteHeadOfSelectedCellsWith(int head);

    void drawRect(const platform::Rect& dirty, platform::GraphicsContext& ctx) override;

private:
    // The rebuild shared by updateView and updateViewTemporally.
    void rebuildCells(bool copyHeights);

    Note* note_ = nullptr;
    TOVNoteViewDelegate* noteViewDelegate_ = nullptr;
    UnitCellArray unitCellArray_;
    std::optional<platform::BezierPath> flagPath_;
    std::optional<platform::BezierPath> beamPath_;
    double heightLeft_ = 0;
    double heightRight_ = 0;
    HandleCellArray handleCellArray_;
    TOVResizeHandleCell* resizingHandle_ = nullptr;
    TOVNoteToneCell* draggingToneCell_ = nullptr;
    platform::Point toneClickPos_;
    bool isDraggingTone_ = false;
    bool isFlipping_ = false;
    platform::Point flipStartPos_;
    platform::Rect flipHandleRect_;
    bool flipPreviewMode_ = false;
    bool dropTarget_ = false;
    TOVNoteToneCell* dropTargetToneCell_ = nullptr;
    bool canAcceptDraggingUpdateEvent_ = false;
};
