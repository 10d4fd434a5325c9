#pragma once

#include "glyphs/TOVObjectViewToneCell.h"
#include "model/TOVSymbolTypes.h"
#include "notation/TOVNoteCellBase.h"
#include "platform/graphics/BezierPath.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {
class View;
}
class NoteTone;
class NoteUnit;
class SymbolAccidental;
class SymbolInNote;
class Tie;
class TOVNoteTieView;
class TOVNoteUnitCell;
class TOVObjectView;

// The cell of one tone: its head and rhythm dots, and the views that hang on the tone (accidental,
// articulations and slur, the tie to the tone it is tied to, and the continuation tie that opens a line
// for a tone tied from the line before). Those views live beside the note view in its superview; the
// frames stored for accidentals and articulations are relative to the tone: their origin is the left edge
// of the cell at the height of the head's centre.
class TOVNoteToneCell : public TOVNoteCellBase, public TOVObjectViewToneCell {
public:
    // A cell of the class for the tone, built at once; the rest cell takes no tone.
    template <typename T>
    static std::unique_ptr<T> initWithNoteToneInViewInUnit(NoteTone* tone, TOVNoteView* view,
                                                           TOVNoteUnitCell* unitCell) {
        auto cell = std::make_unique<T>(tone, view, unitCell);
        cell->updateCell();
        return cell;
    }
    TOVNoteToneCell(NoteTone* tone, TOVNoteView* view, TOVNoteUnitCell* unitCell);
    ~TOVNoteToneCell() override;

    // Head and dots, built with the cell's origin at (0, 0).
    virtual void updateCell();
    void normalizeSubOrigin();
    virtual void updateFrame();
    void moveSubCellsXByYBy(double dx, double dy) override;
    TOVNoteCellBase* hitCellFromPos(platform::Point point) override;
    TOVManagedObject* coreData() const override;
    void drawWithNormalColor(const platform::Color& color, platform::GraphicsContext& ctx) override;
    // Moves the dots clear of a head set on the other side of the stem (double YES) or back beside the
    // cell's own head.
    void updateCirclePositionForDoubleWidth(bool doubleWidth);

    // The attached views.
    void updateSymbolViews() override;
    void clearOldCells() override;
    void updateTie() override;
    void createAccidentalViewOfDataSelect(int type, SymbolAccidental* data, bool select);
    void createArticulationViewOfDataSelect(int type, SymbolInNote* data, bool select);
    platform::Point defaultPosOfAccidentalView(int type) const;
    platform::Point defaultPosOfArticulationView(int type) const;
    // Removes the view and what it shows from the model.
    void deleteObjectViewAndData(TOVObjectView* view);
    TOVObjectView* symbolViewOfType(int type) const;
    TOVObjectView* tenutoView() const { return articulationViewOfType(TOVSymbolTenuto); }
    TOVObjectView* staccatoView() const { return articulationViewOfType(TOVSymbolStaccato); }
    TOVObjectView* fermataView() const { return articulationViewOfType(TOVSymbolFermata); }
    TOVObjectView* accentoView() const { return articulationViewOfType(TOVSymbolAccento); }
    TOVObjectView* marcatoView() const { return articulationViewOfType(TOVSymbolMarcato); }
    TOVObjectView* arpeggioView() const { return articulationViewOfType(TOVSymbolArpeggio); }
    TOVObjectView* slurView() const { return articulationViewOfType(TOVSymbolSlur); }

    // Mirrors the stored frames of tenuto and staccato about the head's centre line, ahead of the note's
    // flip (the argument is not read).
    void doFilp(bool flip);
    // Moves the tone by delta levels; fermata, accent and marcato keep their place above the staff; the
    // tone's ties go.
    void moveToneLevel(std::int64_t delta);

    // Ties.
    TOVNoteToneCell* toneRightCellOfTie(const Tie* tie) const;
    // Whether the tie from the tone curves upwards: in a chord the upper tied tones up, the lower down.
    bool shouldFlipTieOfTone(const NoteTone* tone) const;
    platform::Point leftPointForTieFlip(bool flip) const;
    platform::Point rightPointForTieFlip(bool flip) const;
    // A tie's height for its width: a quarter of it, held within 2.0 and one staff space.
    static double tieHeightForWidth(double width);

    // Between the tone's data coordinates, the note view's and the note view's superview's.
    platform::Point convertPointToNoteView(platform::Point p) const;
    platform::Point convertPointFromNoteView(platform::Point p) const;
    platform::Point convertPointToSuperView(platform::Point p) const override;
    platform::Point convertPointFromSuperView(platform::Point p) const override;

    // Staff questions put to the note view's delegate; 0 (null) without one.
    double fiveLinesPitch() const;
    double posY5LinesTop() const;
    platform::View* barView() const;

    NoteTone* tone() const { return tone_; }
    void setTone(NoteTone* tone) { tone_ = tone; }
    TOVNoteUnitCell* unitCell() const { return unitCell_; }
    void setUnitCell(TOVNoteUnitCell* cell) { unitCell_ = cell; }
    const std::optional<platform::BezierPath>& tonePath() const { return tonePath_; }
    void setTonePath(std::optional<platform::BezierPath> path) { tonePath_ = std::move(path); }
    const std::optional<platform::BezierPath>& circlePath() const { return circlePath_; }
    void setCirclePath(std::optional<platform::BezierPath> path) { circlePath_ = std::move(path); }
    const std::shared_ptr<TOVNoteTieView>& tieView() const { return tieView_; }
    const std::shared_ptr<TOVNoteTieView>& tieViewExtra() const { return tieViewExtra_; }
    const std::shared_ptr<TOVObjectView>& accidentalView() const { return accidentalView_; }
    const std::vector<std::shared_ptr<TOVObjectView>>& symbolViewArray() const { return symbolViewArray_; }
    TOVObjectView* replaceTargetView() const { return replaceTargetView_.get(); }
    void setReplaceTargetView(std::shared_ptr<TOVObjectView> view) { replaceTargetView_ = std::move(view); }

protected:
    // The bounds of a path, the zero rectangle for none.
    static platform::Rect boundsOf(const std::optional<platform::BezierPath>& path);
    // The colour of the cell's own state: selected, drop target, or the colour given.
    platform::Color colorForState(const platform::Color& normal) const;
    // The document's glyph font of the unit's note.
    static std::string fontIDOfUnit(const NoteUnit* unit);

private:
    TOVObjectView* articulationViewOfType(int type) const;
    // Gives a new attached view its owners and puts it beside the note view at its stored origin.
    void attachSymbolView(TOVObjectView& view, bool select);
    void removeTieView();
    void removeTieViewExtra();
    void updateTieViewExtra();
    std::shared_ptr<TOVNoteTieView> newTieView();

    NoteTone* tone_ = nullptr;
    TOVNoteUnitCell* unitCell_ = nullptr;
    std::optional<platform::BezierPath> tonePath_;
    std::optional<platform::BezierPath> circlePath_;
    std::shared_ptr<TOVNoteTieView> tieView_;
    std::shared_ptr<TOVNoteTieView> tieViewExtra_;
    std::shared_ptr<TOVObjectView> accidentalView_;
    std::vector<std::shared_ptr<TOVObjectView>> symbolViewArray_;
    std::shared_ptr<TOVObjectView> replaceTargetView_;
};
