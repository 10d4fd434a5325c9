// Where things stand in a bar, as a value built from facts alone: no view, no window, no song.

#include "layout/TOVBarGeometry.h"
#include "layout/TOVEditorBarView.h"
#include "model/TOVSymbolTypes.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

using platform::Point;
using platform::Rect;

namespace {

TEST(BarGeometry, StaffAndLevelsAtHeight60) {
    const TOVBarGeometry geometry{.size = {100, 60}};
    EXPECT_DOUBLE_EQ(geometry.posY5LinesTop(), 18.2);
    EXPECT_DOUBLE_EQ(geometry.posYLevel0(), 30.0);
    EXPECT_DOUBLE_EQ(geometry.posY5LinesBottom(), 41.8);
    EXPECT_DOUBLE_EQ(geometry.chordBaseLineOffset(), 10.2);
    struct Case {
        std::int64_t level;
        double y;
    };
    for (const Case& c : {Case{0, 30.0}, Case{1, 27.05}, Case{-2, 35.9}, Case{4, 18.2}, Case{-4, 41.8}}) {
        EXPECT_NEAR(geometry.posYFromToneLevel(c.level), c.y, 1e-9) << c.level;
    }
    // Truncation toward zero on both sides of the middle line.
    struct Back {
        double y;
        std::int64_t level;
    };
    for (const Back& c : {Back{29.0, 0}, Back{27.0, 1}, Back{33.0, -1}, Back{31.0, 0}, Back{24.0, 2}}) {
        EXPECT_EQ(geometry.toneLevelFromPosY(c.y), c.level) << c.y;
    }
}

TEST(BarGeometry, BarlineMargins) {
    struct Case {
        int type;
        double left, right;
    };
    for (const Case& c : {Case{TOVBarlineSingle, 2, 2}, Case{TOVBarlineDotted, 2, 2},
                          Case{TOVBarlineGreatDouble, 4, 4}, Case{TOVBarlineDouble, 4, 4},
                          Case{TOVBarlineRepeatForward, 2, 9}, Case{TOVBarlineRepeatBackward, 9, 2},
                          Case{TOVBarlineRepeatBoth, 9, 9}, Case{TOVBarlineTransparent, 2, 2},
                          Case{TOVBarlineSingle - 1, 0, 0}, Case{TOVBarlineBrace, 0, 0}, Case{0, 0, 0}}) {
        EXPECT_EQ(TOVBarGeometry::marginLeftOfBarline(c.type), c.left) << c.type;
        EXPECT_EQ(TOVBarGeometry::marginRightOfBarline(c.type), c.right) << c.type;
        // The bar view answers the same under its own names.
        EXPECT_EQ(TOVEditorBarView::marginLeftOfBarline(c.type), c.left) << c.type;
        EXPECT_EQ(TOVEditorBarView::marginRightOfBarline(c.type), c.right) << c.type;
    }
}

TEST(BarGeometry, AreasFromTheBarlinesAndTheViewsAtTheStart) {
    // Each view at the start takes its width and one point more.
    TOVBarGeometry three;
    for (double width : {10.0, 8.0, 6.0}) {
        three.addClefKeyTimeView(width);
    }
    EXPECT_DOUBLE_EQ(three.clefKeyTimeWidth, 27.0);

    // A bar inside a line after a great double barline and before a repeat on both sides, and the song's
    // first bar after a backward repeat and before a single barline; each case changes one of them.
    TOVBarGeometry inner{.size = {200, 70},
                         .hasBar = true,
                         .leftBarLineType = TOVBarlineGreatDouble,
                         .rightBarLineType = TOVBarlineRepeatBoth};
    inner.clefKeyTimeWidth = 11;
    TOVBarGeometry first = inner;
    first.firstBarOfSong = true;
    first.leftBarLineType = TOVBarlineRepeatBackward;
    first.rightBarLineType = TOVBarlineSingle;
    first.clefKeyTimeWidth = 27;
    auto with = [](TOVBarGeometry geometry, auto change) {
        change(geometry);
        return geometry;
    };
    struct Case {
        std::string name;
        TOVBarGeometry geometry;
        double areaX, areaWidth;   // the clef/key/time area
        double notesX, notesWidth; // the notes area
    };
    const Case cases[] = {
        {"a bar inside a line starts right of its left barline", inner, 4, 11, 19, 168},
        {"no bar: no barlines", with(inner, [](auto& g) { g.hasBar = false; }), 0, 11, 15, 181},
        {"barlines of no known kind take no room",
         with(inner, [](auto& g) { g.leftBarLineType = g.rightBarLineType = 0; }), 0, 11, 15, 181},
        {"a partner counts in the first bar only",
         with(inner, [](auto& g) { g.partnerClefKeyTimeArea = Rect(0, 0, 100, 70); }), 4, 11, 19, 168},
        {"the song's first bar has its area before the barline", first, 2, 36, 44, 150},
        {"a wider partner widens the first bar's area",
         with(first, [](auto& g) { g.partnerClefKeyTimeArea = Rect(2, 0, 50, 70); }), 2, 50, 58, 136},
        {"a narrower partner leaves it",
         with(first, [](auto& g) { g.partnerClefKeyTimeArea = Rect(2, 0, 20, 70); }), 2, 36, 44, 150},
    };
    for (const Case& c : cases) {
        const Rect area = c.geometry.rectangleClefKeyTimeArea();
        EXPECT_EQ(area, Rect(c.areaX, 0, c.areaWidth, 70)) << c.name;
        EXPECT_EQ(c.geometry.rectangleNotesArea(), Rect(c.notesX, 0, c.notesWidth, 70)) << c.name;
        if (!c.geometry.partnerClefKeyTimeArea) {
            EXPECT_EQ(c.geometry.rectangleClefKeyTimeAreaInThisLine(), area) << c.name;
        }
    }
}

TEST(BarGeometry, TicksAndChordTimingsSpreadLinearlyOverTheNotesArea) {
    // Notes area from 24 across 480 points: half a point per tick of a 4/4 bar.
    const TOVBarGeometry bar{
        .size = {508, 70}, .hasBar = true, .totalRhythmLength = 960, .clefKeyTimeWidth = 20};
    ASSERT_EQ(bar.rectangleNotesArea(), Rect(24, 0, 480, 70));
    EXPECT_DOUBLE_EQ(bar.xPitchPerLength(), 0.5);
    struct Case {
        std::uint64_t tick;
        double x;
    };
    for (const Case& c : {Case{0, 24}, Case{240, 144}, Case{500, 274}, Case{960, 504}, Case{1200, 624}}) {
        EXPECT_DOUBLE_EQ(bar.posXFromNoteX(c.tick), c.x) << c.tick;
        EXPECT_DOUBLE_EQ(bar.xPosOfChordInGridMode(c.tick), c.x) << c.tick;
    }
    // A bar without a length has no scale: everything stands at the start of its notes area.
    TOVBarGeometry empty = bar;
    empty.totalRhythmLength = 0;
    EXPECT_EQ(empty.xPitchPerLength(), 0.0);
    EXPECT_DOUBLE_EQ(empty.posXFromNoteX(480), 24.0);
    EXPECT_DOUBLE_EQ(empty.xPosOfChordInGridMode(480), 24.0);
}

TEST(BarGeometry, ChordAreaIsTheBandAboveTheStaffEdgesIncluded) {
    const TOVBarGeometry geometry{.size = {100, 60}};
    struct Case {
        Point point;
        bool inside;
    };
    for (const Case& c :
         {Case{{0, 0}, true}, Case{{100, 18.2}, true}, Case{{50, 10}, true}, Case{{-0.1, 10}, false},
          Case{{100.1, 10}, false}, Case{{50, -0.1}, false}, Case{{50, 18.3}, false}}) {
        EXPECT_EQ(geometry.chordAreaContainsPoint(c.point), c.inside) << c.point.x << ", " << c.point.y;
    }
}

} // namespace
