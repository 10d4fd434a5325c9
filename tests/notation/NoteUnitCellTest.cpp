#include "notation/TOVNoteRestCell.h"
#include "notation/TOVNoteSlashCell.h"

#include "CellFixture.h"

#include "model/TOVStaffMetrics.h"
#include "platform/graphics/RecordingGraphicsContext.h"

#include <cmath>

using namespace notationtest;

namespace {

constexpr double kW = FakeGlyphs::kHeadWidth;

// The y of each thin rectangle (a ledger line) of the recorded black fills, top down as drawn.
std::vector<double> ledgerLinesOf(const platform::RecordingGraphicsContext& ctx,
                                  const platform::Rect& frame) {
    std::vector<double> ys;
    for (const auto& call : ctx.callsOfKind(platform::DrawingCall::Kind::FillPath)) {
        if (call.color != platform::Color::black()) {
            continue;
        }
        const auto& elements = call.path.elements();
        for (std::size_t i = 0; i + 4 < elements.size(); i += 5) {
            double minY = 1e9, maxY = -1e9, minX = 1e9, maxX = -1e9;
            for (std::size_t j = i; j < i + 4; ++j) {
                const platform::Point p = elements[j].points[0];
                minY = std::min(minY, p.y);
                maxY = std::max(maxY, p.y);
                minX = std::min(minX, p.x);
                maxX = std::max(maxX, p.x);
            }
            EXPECT_NEAR(maxY - minY, 0.2, 1e-9);
            EXPECT_NEAR(minX, frame.x(), 1e-9);
            EXPECT_NEAR(maxX, frame.maxX(), 1e-9);
            ys.push_back(minY);
        }
    }
    return ys;
}

double headCentreY(const TOVNoteToneCell& cell) {
    return cell.frame().y() + cell.offsetY();
}

class NoteUnitCellTest : public CellTest {};

// ---- Heads in columns
// --------------------------------------------------------------------------------------

TEST_F(NoteUnitCellTest, HeadColumnsForSeconds) {
    struct Case {
        const char* name;
        std::vector<std::int64_t> levels;
        bool stemDown;
        // Each level's head x from the unit cell's left edge: 1.0 the stem's normal side, kW the other
        // column when the stem is up; with the stem down the displaced heads take 1.0 and the others kW.
        std::map<std::int64_t, double> x;
        double width;
    };
    const Case cases[] = {
        {"second, stem up", {0, 1}, false, {{0, 1.0}, {1, kW}}, 2 * kW + 1},
        {"second, stem down", {0, 1}, true, {{1, kW}, {0, 1.0}}, 2 * kW + 1},
        {"cluster of three, stem up", {0, 1, 2}, false, {{0, 1.0}, {1, kW}, {2, 1.0}}, 2 * kW + 1},
        {"cluster of three, stem down", {0, 1, 2}, true, {{2, kW}, {1, 1.0}, {0, kW}}, 2 * kW + 1},
        {"unison beside a second", {0, 1, 1}, false, {{0, 1.0}, {1, kW}}, 2 * kW + 1},
        {"third: one column", {0, 2}, false, {{0, 1.0}, {2, 1.0}}, kW + 2},
        {"third: one column, stem down", {0, 2}, true, {{0, 1.0}, {2, 1.0}}, kW + 2},
        {"two seconds a fourth apart",
         {-1, 0, 3, 4},
         false,
         {{-1, 1.0}, {0, kW}, {3, 1.0}, {4, kW}},
         2 * kW + 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Note* note = melo(c.levels);
        note->setFlip(c.stemDown);
        auto view = noteViewOf(note, c.stemDown);
        const TOVNoteUnitCell& unit = *view->unitCells.front();
        ASSERT_EQ(unit.toneCellArray().size(), c.levels.size());
        for (const auto& cell : unit.toneCellArray()) {
            EXPECT_DOUBLE_EQ(cell->frame().x() - unit.frame().x(), c.x.at(cell->tone()->level()))
                << "level " << cell->tone()->level();
        }
        EXPECT_DOUBLE_EQ(unit.offsetX(), 1.0);
        EXPECT_DOUBLE_EQ(unit.frame().width(), c.width);
        // The middle line: every head's centre lies level x 2.95 above it.
        for (const auto& cell : unit.toneCellArray()) {
            EXPECT_NEAR(unit.frame().y() + unit.offsetY() - headCentreY(*cell),
                        cell->tone()->level() * TOVLevelPitch, 1e-9);
        }
        bar()->removeNote(note);
    }
}

TEST_F(NoteUnitCellTest, TopBottomAndEdgeCells) {
    Note* note = melo({0, 1, 5});
    auto up = noteViewOf(note, false);
    const TOVNoteUnitCell& unit = *up->unitCells.front();
    EXPECT_EQ(unit.topToneCell()->tone()->level(), 5);
    EXPECT_EQ(unit.bottomToneCell()->tone()->level(), 0);
    EXPECT_EQ(unit.edgeToneCell(), unit.bottomToneCell());
    EXPECT_EQ(unit.rightToneCell()->tone()->level(), 1);
    EXPECT_EQ(unit.leftToneCell()->tone()->level(), 5); // the first of the equal x in array order
    EXPECT_EQ(unit.toneCellFromLevel(1)->tone()->level(), 1);
    EXPECT_EQ(unit.toneCellFromLevel(2), nullptr);
    EXPECT_EQ(unit.firstLevel(), 5);
    auto down = noteViewOf(note, true);
    EXPECT_EQ(down->unitCells.front()->edgeToneCell(), down->unitCells.front()->topToneCell());
}

// ---- Dots
// --------------------------------------------------------------------------------------------------

TEST_F(NoteUnitCellTest, DotPositions) {
    struct Case {
        const char* name;
        std::vector<std::int64_t> levels;
        bool stemDown;
        std::uint64_t length;
        std::int64_t level; // the tone looked at
        double dotX;        // left edge of the first dot from the head's left edge
        double dotDY;       // dot centre minus head centre
        std::size_t dots;
    };
    const Case cases[] = {
        {"line: dot in the space above", {0}, false, 360, 0, kW + 2, -TOVLevelPitch, 1},
        {"space: dot beside the head", {1}, false, 360, 1, kW + 2, 0.0, 1},
        {"line under a filled space: dot below", {0, 1, 2}, false, 360, 0, 2 * kW + 1, TOVLevelPitch, 1},
        {"line under a free space: dot above", {0, 1, 2}, false, 360, 2, 2 * kW + 1, -TOVLevelPitch, 1},
        {"double dot", {-3}, false, 420, -3, kW + 2, 0.0, 2},
        {"second, stem up: left head's dot clears the right column",
         {0, 1},
         false,
         180,
         0,
         2 * kW + 1,
         TOVLevelPitch,
         1},
        {"second, stem up: right head's dot beside it", {0, 1}, false, 180, 1, kW + 2, 0.0, 1},
        {"second, stem down: left head's dot clears the right column",
         {0, 1},
         true,
         720,
         0,
         2 * kW + 1,
         TOVLevelPitch,
         1},
        {"no dots for a plain quarter", {0}, false, 240, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Note* note = melo(c.levels, c.length);
        note->setFlip(c.stemDown);
        auto view = noteViewOf(note, c.stemDown);
        const TOVNoteToneCell* cell = view->unitCells.front()->toneCellFromLevel(c.level);
        ASSERT_NE(cell, nullptr);
        const platform::Rect head = cell->tonePath()->bounds();
        if (c.dots == 0) {
            EXPECT_FALSE(cell->circlePath().has_value());
        } else {
            ASSERT_TRUE(cell->circlePath().has_value());
            const platform::Rect dots = cell->circlePath()->bounds();
            EXPECT_NEAR(dots.x() - head.x(), c.dotX, 1e-9);
            EXPECT_NEAR(dots.midY() - head.midY(), c.dotDY, 1e-9);
            EXPECT_NEAR(dots.width(), c.dots == 1 ? 2.0 : 6.0, 1e-9);
            // The cell's frame reaches over its dots.
            EXPECT_NEAR(cell->frame().maxX(), dots.maxX(), 1e-9);
        }
        bar()->removeNote(note);
    }
}

// ---- Ledger lines
// ------------------------------------------------------------------------------------------

TEST_F(NoteUnitCellTest, LedgerLinesForLevelsMinus8To8) {
    for (std::int64_t level = -8; level <= 8; ++level) {
        SCOPED_TRACE(level);
        Note* note = melo({level});
        auto view = noteViewOf(note);
        const TOVNoteUnitCell& unit = *view->unitCells.front();
        platform::RecordingGraphicsContext ctx;
        unit.drawSupplementalLine(ctx);
        std::vector<double> expected;
        const double centre = headCentreY(*unit.topToneCell());
        if (level >= 6) {
            for (std::int64_t i = 0; i < (level - 6) / 2 + 1; ++i) {
                expected.push_back(centre + (level % 2 ? TOVLevelPitch : 0.0) + TOVStaffSpace * i);
            }
        } else if (level <= -6) {
            for (std::int64_t i = 0; i < (-6 - level) / 2 + 1; ++i) {
                expected.push_back(centre - (level % 2 ? TOVLevelPitch : 0.0) - TOVStaffSpace * i);
            }
        }
        const auto ys = ledgerLinesOf(ctx, unit.frame());
        ASSERT_EQ(ys.size(), expected.size());
        for (std::size_t i = 0; i < ys.size(); ++i) {
            EXPECT_NEAR(ys[i], expected[i], 1e-9);
        }
        // The lines lie on staff lines: 6, 8, ... levels from the middle line.
        const double middle = unit.frame().y() + unit.offsetY();
        for (double y : ys) {
            const double steps = (middle - y) / TOVLevelPitch;
            EXPECT_NEAR(steps, std::round(steps), 1e-9);
            EXPECT_EQ(static_cast<long long>(std::round(steps)) % 2, 0);
            EXPECT_GE(std::abs(steps), 6 - 1e-9);
        }
        bar()->removeNote(note);
    }
}

TEST_F(NoteUnitCellTest, ChordReachingAboveAndBelowGetsLinesOnBothSides) {
    Note* note = melo({9, 0, -7});
    auto view = noteViewOf(note);
    const TOVNoteUnitCell& unit = *view->unitCells.front();
    platform::RecordingGraphicsContext ctx;
    unit.drawSupplementalLine(ctx);
    const double top = headCentreY(*unit.topToneCell());
    const double bottom = headCentreY(*unit.bottomToneCell());
    const auto ys = ledgerLinesOf(ctx, unit.frame());
    ASSERT_EQ(ys.size(), 3u);
    EXPECT_NEAR(ys[0], top + TOVLevelPitch, 1e-9);
    EXPECT_NEAR(ys[1], top + 8.85, 1e-9);
    EXPECT_NEAR(ys[2], bottom - TOVLevelPitch, 1e-9);
}

// ---- Stems
// -------------------------------------------------------------------------------------------------

TEST_F(NoteUnitCellTest, StemsRunFromTheHeadsCentreToTheirLength) {
    Note* note = melo({0, 4});
    auto up = noteViewOf(note, false);
    // As the note view does it: the stem comes before the cell is placed vertically.
    TOVNoteUnitCell unit(note->firstUnit(), up.get());
    unit.setPoleHeight(0.7); // whole points only: no stem
    EXPECT_FALSE(unit.polePath().has_value());
    unit.setPoleHeight(20.0);
    ASSERT_TRUE(unit.polePath().has_value());
    const platform::Rect pole = unit.polePath()->bounds();
    const TOVNoteToneCell& bottom = *unit.bottomToneCell();
    const TOVNoteToneCell& top = *unit.topToneCell();
    EXPECT_NEAR(pole.width(), 0.6, 1e-9);
    EXPECT_NEAR(pole.maxX(), bottom.frame().x() + kW - 0.3, 1e-9);
    EXPECT_NEAR(pole.maxY(), headCentreY(bottom), 1e-9);
    EXPECT_NEAR(pole.y(), top.frame().y() - 20.0, 1e-9);
    // The frame holds the stem: its top is the stem's end.
    EXPECT_NEAR(unit.frame().y(), pole.y(), 1e-9);
    EXPECT_EQ(unit.posPoleEdge(), (platform::Point{pole.maxX(), pole.y()}));
    EXPECT_TRUE(unit.needToDrawPolePath());

    unit.extendPoleLength(2.5);
    EXPECT_NEAR(unit.polePath()->bounds().y(), pole.y() - 2.5, 1e-9);
    EXPECT_NEAR(unit.frame().y(), pole.y() - 2.5, 1e-9);
    EXPECT_NEAR(headCentreY(bottom), pole.maxY(), 1e-9); // the heads stayed
    unit.setPoleHeight(20.0);                            // the same height again rebuilds nothing
    EXPECT_NEAR(unit.polePath()->bounds().y(), pole.y() - 2.5, 1e-9);

    auto down = noteViewOf(note, true);
    TOVNoteUnitCell flipped(note->firstUnit(), down.get());
    flipped.setPoleHeight(20.0);
    const platform::Rect dpole = flipped.polePath()->bounds();
    EXPECT_NEAR(dpole.x(), flipped.topToneCell()->frame().x() + 0.3, 1e-9);
    EXPECT_NEAR(dpole.y(), headCentreY(*flipped.topToneCell()), 1e-9);
    EXPECT_NEAR(dpole.maxY(), flipped.bottomToneCell()->frame().maxY() + 20.0, 1e-9);
    EXPECT_EQ(flipped.posPoleEdge(), (platform::Point{dpole.maxX(), dpole.maxY()}));
}

TEST_F(NoteUnitCellTest, StemsThatAreNotDrawn) {
    Note* r = rest(240);
    auto restView = noteViewOf(r);
    TOVNoteUnitCell restUnit(r->firstUnit(), restView.get());
    restUnit.setPoleHeight(12.0);
    EXPECT_TRUE(restUnit.polePath().has_value());
    EXPECT_FALSE(restUnit.needToDrawPolePath());
    EXPECT_NE(restUnit.posPoleEdge(), (platform::Point{0, 0}));

    Note* whole = bar()->createNewTripletFromLengthUnitsLevelKind(0, {640, 640, 640}, 0, 0);
    ASSERT_NE(whole, nullptr);
    auto tripletView = noteViewOf(whole);
    TOVNoteUnitCell member(whole->firstUnit(), tripletView.get());
    member.setPoleHeight(12.0);
    EXPECT_FALSE(member.needToDrawPolePath());
    platform::RecordingGraphicsContext ctx;
    member.drawWithNormalColor(platform::Color::black(), ctx);
    // Only the head is filled.
    EXPECT_EQ(ctx.callsOfKind(platform::DrawingCall::Kind::FillPath).size(), 1u);
}

// ---- Rests and slashes
// -------------------------------------------------------------------------------------

TEST_F(NoteUnitCellTest, RestOffsetTable) {
    struct Row {
        std::uint64_t length;
        double y;
    };
    const Row rows[] = {{30, 10.0}, {40, 5.0},   {60, 5.0},   {80, 5.0},  {90, 5.0},
                        {120, 5.0}, {160, 11.0}, {180, 5.0},  {210, 5.0}, {240, 11.0},
                        {320, 3.0}, {360, 11.0}, {420, 11.0}, {480, 3.0}, {640, 0.0},
                        {720, 3.0}, {840, 3.0},  {960, 6.0},  {0, 0.0},   {100, 0.0}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.length);
        EXPECT_DOUBLE_EQ(TOVNoteRestCell::yOffsetForLength(row.length), row.y);
    }
    const std::pair<std::uint64_t, double> dots[] = {{90, 1.0},  {180, 1.0}, {210, 1.0}, {360, 7.0},
                                                     {420, 7.0}, {720, 0.0}, {840, 0.0}, {240, 0.0}};
    for (const auto& [length, y] : dots) {
        SCOPED_TRACE(length);
        EXPECT_DOUBLE_EQ(TOVNoteRestCell::yOffsetOfCircleForLength(length), y);
    }
}

TEST_F(NoteUnitCellTest, RestCellsSitOnTheMiddleLineByTheirOffset) {
    Note* dotted = rest(360);
    auto view = noteViewOf(dotted);
    TOVNoteUnitCell& unit = *view->unitCells.front();
    const TOVNoteRestCell* cell = unit.restCell();
    ASSERT_NE(cell, nullptr);
    EXPECT_TRUE(unit.toneCellArray().empty());
    EXPECT_EQ(unit.firstLevel(), 0);
    // A quarter rest glyph (6 x 18) with its dot 2.0 right of it and 7.0 below its top.
    const platform::Rect glyph = cell->tonePath()->bounds();
    const platform::Rect dot = cell->circlePath()->bounds();
    EXPECT_NEAR(glyph.width(), 6.0, 1e-9);
    EXPECT_NEAR(dot.x() - glyph.x(), 8.0, 1e-9);
    EXPECT_NEAR(dot.y() - glyph.y(), 7.0, 1e-9);
    EXPECT_DOUBLE_EQ(cell->offsetY(), 11.0);
    EXPECT_NEAR(unit.frame().y() + unit.offsetY(), cell->frame().y() + 11.0, 1e-9);
    EXPECT_EQ(cell->coreData(), dotted->firstUnit());
    EXPECT_EQ(unit.hitCellFromPos({-100, -100}), &unit);

    // A triplet eighth rest: the eighth glyph, its own offset and no dot.
    Note* triplet = bar()->createNewTripletFromLengthUnitsLevelKind(480, {80, 80, 80}, 0, 1);
    ASSERT_NE(triplet, nullptr);
    auto tripletView = noteViewOf(triplet);
    const TOVNoteRestCell* member = tripletView->unitCells.front()->restCell();
    ASSERT_NE(member, nullptr);
    EXPECT_DOUBLE_EQ(member->offsetY(), 5.0);
    EXPECT_FALSE(member->circlePath().has_value());
    EXPECT_NEAR(member->tonePath()->bounds().height(), 10.0, 1e-9);
}

TEST_F(NoteUnitCellTest, SlashesSitBelowTheMiddleLineWhateverTheirLevel) {
    Note* note = slash(240);
    note->firstUnit()->tones().front()->setLevel(5);
    context.processPendingChanges();
    auto view = noteViewOf(note);
    const TOVNoteUnitCell& unit = *view->unitCells.front();
    ASSERT_EQ(unit.toneCellArray().size(), 1u);
    const TOVNoteToneCell& cell = *unit.toneCellArray().front();
    EXPECT_NE(dynamic_cast<const TOVNoteSlashCell*>(&cell), nullptr);
    EXPECT_NEAR(headCentreY(cell) - (unit.frame().y() + unit.offsetY()), TOVStaffSpace, 1e-9);
    EXPECT_NEAR(cell.tonePath()->bounds().width(), 8.0, 1e-9); // the slash head
}

// ---- Selection and hits
// ------------------------------------------------------------------------------------

TEST_F(NoteUnitCellTest, SelectionOfTonesOneByOne) {
    Note* note = melo({0, 4});
    auto view = noteViewOf(note);
    TOVNoteUnitCell& unit = *view->unitCells.front();
    TOVNoteToneCell* top = unit.topToneCell();
    TOVNoteToneCell* bottom = unit.bottomToneCell();
    unit.selectToneCell(bottom);
    unit.selectToneCell(top);
    unit.selectToneCell(bottom);
    EXPECT_EQ(unit.selectedCellArray(), (std::vector<TOVNoteToneCell*>{bottom, top}));
    EXPECT_TRUE(unit.areAllTonesSelected());
    unit.selectAllCells();
    EXPECT_TRUE(unit.selected());
    unit.unselectToneCell(top);
    EXPECT_FALSE(unit.selected());
    EXPECT_EQ(unit.selectedCellArray(), (std::vector<TOVNoteToneCell*>{bottom}));
    unit.setSelected(true);
    unit.unselectToneCell(top); // not selected: still clears the unit's own flag
    EXPECT_FALSE(unit.selected());
    unit.unselectAllCells();
    EXPECT_TRUE(unit.selectedCellArray().empty());
    EXPECT_FALSE(unit.areAllTonesSelected());

    const platform::Point inTop{top->frame().midX(), top->frame().midY()};
    EXPECT_EQ(unit.hitCellFromPos(inTop), top);
    EXPECT_EQ(unit.hitCellFromPos({1000, 1000}), &unit);

    // Cells carry their heads along when the unit moves.
    const platform::Rect before = top->tonePath()->bounds();
    unit.moveXByYBy(10, 3);
    EXPECT_EQ(top->tonePath()->bounds(), before.offsetBy(10, 3));
}

TEST_F(NoteUnitCellTest, SelectedStemAndHeadsTakeTheSelectionColour) {
    Note* note = melo({0});
    auto view = noteViewOf(note);
    TOVNoteUnitCell unit(note->firstUnit(), view.get());
    unit.setPoleHeight(15);
    unit.selectAllCells();
    platform::RecordingGraphicsContext ctx;
    unit.drawWithNormalColor(platform::Color::black(), ctx);
    const auto fills = ctx.callsOfKind(platform::DrawingCall::Kind::FillPath);
    ASSERT_EQ(fills.size(), 2u);
    EXPECT_EQ(fills[0].color, TOVUtils::noteCellSelectedColor());
    EXPECT_EQ(fills[1].color, TOVUtils::noteCellSelectedColor());
    unit.unselectAllCells();
    ctx.clear();
    unit.drawWithNormalColor(platform::Color::black(), ctx);
    for (const auto& call : ctx.callsOfKind(platform::DrawingCall::Kind::FillPath)) {
        EXPECT_EQ(call.color, platform::Color::black());
    }
}

} // namespace
