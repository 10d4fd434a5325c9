#pragma once

#include "notation/TOVNoteCellBase.h"
#include "platform/graphics/BezierPath.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <unordered_set>
#include <vector>

class NoteTone;
class NoteUnit;
class TOVNoteRestCell;
class TOVNoteToneCell;

// The cell of one NoteUnit: the heads of its tones (in columns, a head of a second moved to the other side
// of the stem), or its rest; its stem and its ledger lines; and the tones selected one by one. The note
// view places the cell and asks for its stem; each normalisation fits the frame tightly around heads and
// stem, with 1.0 free on either side.
class TOVNoteUnitCell : public TOVNoteCellBase {
public:
    TOVNoteUnitCell(NoteUnit* unit, TOVNoteView* view);
    ~TOVNoteUnitCell() override;

    // Rebuilds the tone cells or the rest cell; the stem goes.
    void updateCell();
    void clearOldCells() override;

    double poleHeight() const { return poleHeight_; }
    // A different height rebuilds the stem at that many whole points.
    void setPoleHeight(double height);
    void addPoleWithLength(std::uint64_t length);
    // Lengthens the stem at its free end, the frame with it.
    void extendPoleLength(double length);
    double xPosPole() const;
    // The free end of the stem: where flags and beams hang.
    platform::Point posPoleEdge() const;
    bool needToDrawPolePath() const;

    void normalizeSubOriginForMeloSlash();
    void normalizeSubOriginForRest();
    // Whether the tone's head stands on the other side of the stem: the heads of a run of seconds take
    // turns, counted from the stem's base.
    bool isToneCellOppositePole(const NoteTone* tone) const;
    // The tones isToneCellOppositePole answers YES for, found in one walk over the sorted tones.
    std::unordered_set<const NoteTone*> oppositePoleTones() const;
    void drawSupplementalLine(platform::GraphicsContext& ctx) const;
    void drawWithNormalColor(const platform::Color& color, platform::GraphicsContext& ctx) override;
    void moveSubCellsXByYBy(double dx, double dy) override;
    // The tone cell under the point, else the unit cell itself (its own frame is not tested).
    TOVNoteCellBase* hitCellFromPos(platform::Point point) override;

    void selectToneCell(TOVNoteToneCell* cell);
    void unselectToneCell(TOVNoteToneCell* cell);
    void selectAllCells();
    void unselectAllCells();
    bool areAllTonesSelected() const;

    TOVNoteToneCell* topToneCell() const;
    TOVNoteToneCell* bottomToneCell() const;
    // The cell the stem starts from.
    TOVNoteToneCell* edgeToneCell() const;
    TOVNoteToneCell* leftToneCell() const;
    TOVNoteToneCell* rightToneCell() const;
    TOVNoteToneCell* toneCellFromLevel(std::int64_t level) const;
    TOVNoteToneCell* toneCellOfData(const NoteTone* tone) const;
    // The level of the highest tone; 0 without tones.
    std::int64_t firstLevel() const;

    void updateTie() override;
    void updateSymbolViews() override;
    TOVManagedObject* coreData() const override;

    NoteUnit* unit() const { return unit_; }
    void setUnit(NoteUnit* unit) { unit_ = unit; }
    const std::vector<std::unique_ptr<TOVNoteToneCell>>& toneCellArray() const { return toneCellArray_; }
    const std::vector<TOVNoteToneCell*>& selectedCellArray() const { return selectedCellArray_; }
    TOVNoteRestCell* restCell() const { return restCell_.get(); }
    const std::optional<platform::BezierPath>& polePath() const { return polePath_; }

private:
    bool isStemDown() const;
    int kind() const;

    NoteUnit* unit_ = nullptr;
    double poleHeight_ = 0;
    std::vector<std::unique_ptr<TOVNoteToneCell>> toneCellArray_;
    std::vector<TOVNoteToneCell*> selectedCellArray_;
    std::unique_ptr<TOVNoteRestCell> restCell_;
    std::optional<platform::BezierPath> polePath_;
};
