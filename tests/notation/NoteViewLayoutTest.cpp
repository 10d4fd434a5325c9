// The geometry of a note view: the stem, flag and beam-level tables, stems fitted to a beam, full and
// partial beams, tuplet digits and brackets, and the frame around it all.

#include "LayoutFixture.h"

#include "glyphs/TOVObjectViewFactory.h"
#include "model/TOVStaffMetrics.h"
#include "notation/TOVNotePreview.h"
#include "platform/graphics/RecordingGraphicsContext.h"

#include <cmath>

using namespace notationtest;
using platform::BezierPath;
using platform::Point;
using platform::Rect;
using Stem = TOVNoteViewLayout::BeamStem;

namespace {

constexpr double kEps = 1e-9;

void expectQuad(const Quad& actual, const Quad& expected, const char* what) {
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_NEAR(actual[i].x, expected[i].x, 1e-6) << what << " corner " << i;
        EXPECT_NEAR(actual[i].y, expected[i].y, 1e-6) << what << " corner " << i;
    }
}

// ---- Tables
// ------------------------------------------------------------------------------------------------

TEST(NoteViewLayoutTables, BeamLevelsByLength) {
    struct Case {
        std::uint64_t length;
        bool tuplet;
        unsigned levels;
    };
    const Case cases[] = {
        {30, false, 3},  {60, false, 2},  {90, false, 2},  {120, false, 1}, {180, false, 1},
        {210, false, 1}, {240, false, 0}, {480, false, 0}, {40, true, 2},   {80, true, 1},
        {160, true, 0},  {60, true, 0},   {120, true, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TOVNoteViewLayout::numberOfFlagsFromLength(c.length, c.tuplet), c.levels)
            << c.length << (c.tuplet ? " in a tuplet" : "");
    }
}

// ---- Beams of a run, on fixed stem ends
// ------------------------------------------------------------------------------------------

constexpr double kHalfLeft = 5.5;
constexpr double kHalfRight = 5.0;

TEST(NoteViewLayoutBeams, SixteenthEighthSixteenthHasStubsOnBothEnds) {
    const BezierPath path = TOVNoteViewLayout::createBeamPath(
        {Stem{{10, 0}, 2}, Stem{{30, 0}, 1}, Stem{{50, 0}, 2}}, false, kHalfLeft, kHalfRight);
    const std::vector<Quad> q = quadsOf(path);
    ASSERT_EQ(q.size(), 4u);
    expectQuad(q[0], {{{9.4, 0}, {29.4, 0}, {29.4, 2}, {9.4, 2}}}, "first full beam");
    expectQuad(q[1], {{{9.4, 4}, {14.9, 4}, {14.9, 6}, {9.4, 6}}}, "right-pointing stub on the first");
    expectQuad(q[2], {{{29.4, 0}, {49.4, 0}, {49.4, 2}, {29.4, 2}}}, "second full beam");
    expectQuad(q[3], {{{44.4, 4}, {49.4, 4}, {49.4, 6}, {44.4, 6}}}, "left-pointing stub on the last");
}

TEST(NoteViewLayoutBeams, EighthSixteenthEighthHasOneStubOnTheMiddleAlongTheSlope) {
    // Rising to the right: the stub follows the slope of the whole run (-0.25).
    const BezierPath path = TOVNoteViewLayout::createBeamPath(
        {Stem{{10, 10}, 1}, Stem{{30, 5}, 2}, Stem{{50, 0}, 1}}, false, kHalfLeft, kHalfRight);
    const std::vector<Quad> q = quadsOf(path);
    ASSERT_EQ(q.size(), 3u);
    expectQuad(q[0], {{{9.4, 10}, {29.4, 5}, {29.4, 7}, {9.4, 12}}}, "first full beam");
    expectQuad(q[1], {{{29.4, 5}, {49.4, 0}, {49.4, 2}, {29.4, 7}}}, "second full beam");
    expectQuad(q[2], {{{29.4, 9}, {34.9, 7.625}, {34.9, 9.625}, {29.4, 11}}}, "stub on the middle");
}

TEST(NoteViewLayoutBeams, SixteenthThirtySecondEighthStemsDown) {
    const BezierPath path = TOVNoteViewLayout::createBeamPath(
        {Stem{{10, 40}, 2}, Stem{{30, 40}, 3}, Stem{{50, 40}, 1}}, true, kHalfLeft, kHalfRight);
    const std::vector<Quad> q = quadsOf(path);
    ASSERT_EQ(q.size(), 4u);
    // Stems down: levels stack upwards from the stem ends.
    expectQuad(q[0], {{{9.4, 40}, {29.4, 40}, {29.4, 38}, {9.4, 38}}}, "level 0");
    expectQuad(q[1], {{{9.4, 36}, {29.4, 36}, {29.4, 34}, {9.4, 34}}}, "level 1");
    expectQuad(q[2], {{{24.4, 32}, {29.4, 32}, {29.4, 30}, {24.4, 30}}}, "the 32nd's own level");
    expectQuad(q[3], {{{29.4, 40}, {49.4, 40}, {49.4, 38}, {29.4, 38}}}, "one beam to the eighth");
}

TEST(NoteViewLayoutBeams, LeftPointingStubFollowsTheSlopeStemsDown) {
    const BezierPath path = TOVNoteViewLayout::createBeamPath({Stem{{10, 40}, 1}, Stem{{30, 30}, 2}}, true,
                                                              kHalfLeft, kHalfRight);
    const std::vector<Quad> q = quadsOf(path);
    ASSERT_EQ(q.size(), 2u);
    expectQuad(q[0], {{{9.4, 40}, {29.4, 30}, {29.4, 28}, {9.4, 38}}}, "full beam");
    expectQuad(q[1], {{{24.4, 28.5}, {29.4, 26}, {29.4, 24}, {24.4, 26.5}}}, "stub on the sixteenth");
}

TEST(NoteViewLayoutBeams, StubsNeverReachBeyondTheNeighbouringStem) {
    const BezierPath path =
        TOVNoteViewLayout::createBeamPath({Stem{{10, 0}, 1}, Stem{{13, 0}, 2}}, false, kHalfLeft, kHalfRight);
    const std::vector<Quad> q = quadsOf(path);
    ASSERT_EQ(q.size(), 2u);
    expectQuad(q[1], {{{9.4, 4}, {12.4, 4}, {12.4, 6}, {9.4, 6}}}, "stub cut at the stems' distance");
}

TEST(NoteViewLayoutBeams, StemEndsInTheWrongOrderGiveAFlatRun) {
    const BezierPath path =
        TOVNoteViewLayout::createBeamPath({Stem{{30, 0}, 2}, Stem{{10, 8}, 1}}, false, kHalfLeft, kHalfRight);
    for (const Quad& quad : quadsOf(path)) {
        for (const Point& p : quad) {
            EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y));
        }
    }
    EXPECT_DOUBLE_EQ(TOVNoteViewLayout::slopeBetween({30, 0}, {10, 8}), 0.0);
    EXPECT_DOUBLE_EQ(TOVNoteViewLayout::slopeBetween({10, 0}, {10, 8}), 0.0);
}

// ---- Tuplet digit and bracket, on fixed stem ends
// --------------------------------------------------------------------------------

TEST(NoteViewLayoutTuplets, DigitCentredAboveAndBracketAroundIt) {
    BezierPath path;
    const double dX = TOVNoteViewLayout::appendTupletDigitAndBracket(
        path, BezierPath::withRect(Rect{0, 0, 4, 6}), {10, 0}, {50, 0}, false, true);
    EXPECT_NEAR(dX, 27.7, kEps);
    const std::vector<Quad> q = quadsOf(path);
    ASSERT_EQ(q.size(), 5u);
    const Rect digit = BezierPath::withRect(Rect{0, 0, 4, 6}).bounds().offsetBy(27.7, -7.0);
    EXPECT_NEAR(q[0][0].x, digit.x(), kEps);
    EXPECT_NEAR(q[0][0].y, digit.y(), kEps);
    expectQuad(q[1], {{{9.4, -4}, {10, -4}, {10, -2}, {9.4, -2}}}, "left hook");
    expectQuad(q[2], {{{10, -4}, {26.7, -4}, {26.7, -3.4}, {10, -3.4}}}, "left line");
    expectQuad(q[3], {{{49.4, -4}, {50, -4}, {50, -2}, {49.4, -2}}}, "right hook");
    expectQuad(q[4], {{{32.7, -4}, {50, -4}, {50, -3.4}, {32.7, -3.4}}}, "right line");
}

TEST(NoteViewLayoutTuplets, SlopedBracketLinesFollowTheStemEndsBelowStemsDown) {
    BezierPath path;
    const Point first{10, 40};
    const Point last{50, 30};
    const double dX = TOVNoteViewLayout::appendTupletDigitAndBracket(
        path, BezierPath::withRect(Rect{0, 0, 4, 6}), first, last, true, true);
    const std::vector<Quad> q = quadsOf(path);
    ASSERT_EQ(q.size(), 5u);
    // The digit's top edge 1.0 below the middle of the two stem ends.
    EXPECT_NEAR(path.bounds().x(), 9.4, kEps);
    EXPECT_NEAR(q[0][0].y, 36.0, kEps);
    EXPECT_NEAR(q[0][0].x, dX, kEps);
    const double xa = first.x - 0.6;
    auto lineY = [&](double x) { return first.y + (x - xa) * (last.y - first.y) / (last.x - xa); };
    // Where the line meets the digit's gap it lies 3.4 and 4.0 beyond the line through the stem ends.
    for (const Point& p : {q[2][1], q[2][2], q[4][0], q[4][3]}) {
        const double beyond = p.y - lineY(p.x);
        EXPECT_TRUE(std::abs(beyond - 3.4) < 1e-6 || std::abs(beyond - 4.0) < 1e-6)
            << "corner at " << p.x << " lies " << beyond << " below the stem ends";
    }
    // The line stops 1.0 short of the digit on both sides.
    EXPECT_NEAR(q[2][1].x, dX - 1.0, kEps);
    EXPECT_NEAR(q[4][0].x, dX + 4.0 + 1.0, kEps);
}

TEST(NoteViewLayoutTuplets, WithoutBracketOnlyTheDigit) {
    BezierPath path;
    TOVNoteViewLayout::appendTupletDigitAndBracket(path, BezierPath::withRect(Rect{0, 0, 4, 6}), {10, 0},
                                                   {50, 0}, false, false);
    EXPECT_EQ(quadsOf(path).size(), 1u);
}

// ---- On real cells
// -----------------------------------------------------------------------------------------------

class NoteLayoutTest : public CellTest {
protected:
    void SetUp() override {
        CellTest::SetUp();
        TOVUtils::overrideResourceDirectory(std::string(TOVRIN_TEST_RESOURCES));
        objects = std::make_unique<TOVObjectViewFactory>();
        objects->installPluginFontID("Default");
        TOVUtils::overrideResourceDirectory(std::nullopt);
        TOVUtils::Services services;
        services.noteViewFactory = [this] { return glyphs.factory.get(); };
        services.objectViewFactory = [this] { return objects.get(); };
        TOVUtils::registerServices(services);
        // Flags of known sizes, hanging from their top-left corner, and a head 6 wide for the stubs.
        const std::shared_ptr<TOVNoteViewLibrary>& library = glyphs.factory->defaultLibrary();
        TOVNoteViewLibrary::ViewDictionary general = library->dictViewGeneral();
        const std::map<std::string, platform::Size> flags{
            {"OnpuHata8", {5, 12}}, {"OnpuHata16", {5, 15}}, {"OnpuHata32", {5, 30}}};
        for (const auto& [key, size] : flags) {
            auto view = std::make_shared<TOVObjectView>(Rect{platform::Point{}, size});
            view->setBezierPath(BezierPath::withRect(Rect{platform::Point{}, size}));
            general[key] = view;
        }
        library->setDictViewGeneral(general);
        auto preview = std::make_shared<TOVNotePreview>(Rect{0, 0, 8, 6});
        preview->setBezierPath(BezierPath::withRect(Rect{1, 0, 6, 6}));
        library->setNotePreview(preview);
    }

    void clearBar() {
        for (Note* note : bar()->noteArray()) {
            bar()->removeNote(note);
        }
    }
    Note* beamed(const std::vector<std::uint64_t>& lengths, const std::vector<std::int64_t>& levels,
                 std::uint64_t from = 0) {
        std::vector<Note*> notes;
        for (std::size_t i = 0; i < lengths.size(); ++i) {
            notes.push_back(bar()->createNewSingleMeloFromLengthLevel(from, lengths[i], levels[i]));
            from += lengths[i];
        }
        context.processPendingChanges();
        Note* note = bar()->makeBeamOn(notes);
        context.processPendingChanges();
        return note;
    }
    std::shared_ptr<TOVNoteView> laidOut(Note* note, bool flip = false, double left = 15.0,
                                         double right = 15.0) {
        note->setFlip(flip);
        note->setHeightLeft(left);
        note->setHeightRight(right);
        context.processPendingChanges();
        auto view = std::make_shared<TOVNoteView>(Rect{0, 0, 10, 10}, note);
        view->setNoteViewDelegate(&delegate);
        view->setBarViewBelongTo(barView.get());
        editor->addSubview(view);
        view->updateView();
        return view;
    }
    // The middle line of every cell lies on the bar's middle line.
    void expectOnTheStaff(const TOVNoteView& view) {
        const double middle = barView->frame().y() + delegate.level0;
        for (const auto& cell : view.unitCellArray()) {
            if (cell->unit()->kind() == NoteUnit::KindRest) {
                continue;
            }
            const TOVNoteToneCell* head = cell->topToneCell();
            const double y = view.frame().y() + head->frame().y() + head->offsetY();
            EXPECT_NEAR(y, middle - static_cast<double>(head->tone()->level()) * TOVLevelPitch, 1e-6);
        }
    }

    std::unique_ptr<TOVObjectViewFactory> objects;
};

TEST_F(NoteLayoutTest, StemsAndFlagsByValue) {
    struct Case {
        const char* name;
        Note* note;
        bool pole;
        bool flag;
    };
    const Case cases[] = {
        {"whole note", melo({0}, 960, 0), false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TOVNoteViewLayout::isPoleNecessary(c.note, c.note->firstUnit()), c.pole) << c.name;
        EXPECT_EQ(TOVNoteViewLayout::isFlagNecessary(c.note->firstUnit()), c.flag) << c.name;
    }
    // One at a time: each value fills the bar's first beat or more.
    const struct {
        const char* name;
        std::uint64_t length;
        bool pole;
        bool flag;
    } singles[] = {{"half", 480, true, false},
                   {"quarter", 240, true, false},
                   {"dotted eighth", 180, true, true},
                   {"sixteenth", 60, true, true},
                   {"half rest", 0, false, false}};
    for (const auto& s : singles) {
        clearBar();
        Note* note = s.length ? melo({0}, s.length, 0) : rest(480, 0);
        EXPECT_EQ(TOVNoteViewLayout::isPoleNecessary(note, note->firstUnit()), s.pole) << s.name;
        EXPECT_EQ(TOVNoteViewLayout::isFlagNecessary(note->firstUnit()), s.flag) << s.name;
    }
    clearBar();
    Note* beat = bar()->createNewBeatSlashFrom(0);
    context.processPendingChanges();
    ASSERT_NE(beat, nullptr);
    EXPECT_FALSE(TOVNoteViewLayout::isPoleNecessary(beat, beat->firstUnit()));
    EXPECT_FALSE(TOVNoteViewLayout::isFlagNecessary(beat->firstUnit()));
}

TEST_F(NoteLayoutTest, TupletStemsFlagsAndRests) {
    Note* quarters = bar()->createNewTripletFromLengthUnitsLevelKind(0, {160, 160, 160}, 0, 0);
    ASSERT_NE(quarters, nullptr);
    for (NoteUnit* unit : quarters->unitArray()) {
        EXPECT_TRUE(TOVNoteViewLayout::isPoleNecessary(quarters, unit));
        EXPECT_FALSE(TOVNoteViewLayout::isFlagNecessary(unit));
    }
    Note* rests = bar()->createNewTripletFromLengthUnitsLevelKind(480, {80, 80, 80}, 0, 1);
    ASSERT_NE(rests, nullptr);
    const std::vector<NoteUnit*> units = rests->unitArray();
    ASSERT_EQ(units.size(), 3u);
    EXPECT_TRUE(TOVNoteViewLayout::isPoleNecessary(rests, units[0]));
    EXPECT_FALSE(TOVNoteViewLayout::isPoleNecessary(rests, units[1]));
    EXPECT_TRUE(TOVNoteViewLayout::isPoleNecessary(rests, units[2]));
    for (NoteUnit* unit : units) {
        EXPECT_FALSE(TOVNoteViewLayout::isFlagNecessary(unit));
    }
    // A tuplet rest stands 0.75 of a tick's width further right in a stems-up view only.
    EXPECT_DOUBLE_EQ(TOVNoteViewLayout::xPosForUnitOffset(units[1], 20.0, 0.2, false), 20.15);
    EXPECT_DOUBLE_EQ(TOVNoteViewLayout::xPosForUnitOffset(units[1], 20.0, 0.2, true), 20.0);
    EXPECT_DOUBLE_EQ(TOVNoteViewLayout::xPosForUnitOffset(quarters->firstUnit(), 20.0, 0.2, false), 20.0);
}

TEST_F(NoteLayoutTest, BeamedTripletHasDigitWithoutBracketOtherPatternsHaveOne) {
    Note* eighths = bar()->createNewTripletFromLengthUnitsLevelKind(0, {80, 80, 80}, 0, 0);
    ASSERT_NE(eighths, nullptr);
    ASSERT_TRUE(eighths->isTriplet());
    ASSERT_EQ(eighths->firstUnit()->beam(), 1);
    EXPECT_TRUE(TOVNoteViewLayout::needBeam(eighths));
    EXPECT_FALSE(TOVNoteViewLayout::needBlacket(eighths));
    Note* mixed = bar()->createNewTripletFromLengthUnitsLevelKind(240, {160, 160, 160}, 0, 0);
    ASSERT_NE(mixed, nullptr);
    EXPECT_TRUE(TOVNoteViewLayout::needBlacket(mixed));
    EXPECT_FALSE(TOVNoteViewLayout::needBlacket(beamed({120, 120}, {0, 0}, 480)));

    // Drawn: the beamed triplet has its beam and digit, no hook; the other one its hooks.
    auto hooksOf = [](const TOVNoteView& view) {
        int hooks = 0;
        for (const Quad& q : quadsOf(*view.beamPath())) {
            if (std::abs(q[1].x - q[0].x - 0.6) < 1e-6 && std::abs(std::abs(q[2].y - q[1].y) - 2.0) < 1e-6) {
                ++hooks;
            }
        }
        return hooks;
    };
    const auto plain = laidOut(eighths);
    ASSERT_TRUE(plain->beamPath());
    EXPECT_FALSE(plain->flagPath());
    EXPECT_EQ(hooksOf(*plain), 0);
    const auto bracketed = laidOut(mixed, true);
    ASSERT_TRUE(bracketed->beamPath());
    EXPECT_EQ(hooksOf(*bracketed), 2);
    // The digit stands between the outer stems, beyond their ends.
    const Rect beams = bracketed->beamPath()->bounds();
    const Point first = bracketed->unitCellArray().front()->posPoleEdge();
    const Point last = bracketed->unitCellArray().back()->posPoleEdge();
    EXPECT_NEAR(beams.x(), first.x - 0.6, 1e-6);
    EXPECT_NEAR(beams.maxX(), last.x, 1e-6);
    EXPECT_GT(beams.maxY(), std::max(first.y, last.y) + 4.0);
    expectOnTheStaff(*plain);
    expectOnTheStaff(*bracketed);
}

TEST_F(NoteLayoutTest, InnerStemsReachTheLineThroughTheOuterStemEnds) {
    for (const bool flip : {false, true}) {
        clearBar();
        Note* note = beamed({120, 120, 120, 120}, {-4, -2, -3, 1});
        const auto view = laidOut(note, flip, 20.0, 9.0);
        ASSERT_EQ(view->unitCellArray().size(), 4u);
        const Point a = view->unitCellArray().front()->posPoleEdge();
        const Point b = view->unitCellArray().back()->posPoleEdge();
        for (std::size_t i = 1; i + 1 < 4; ++i) {
            const Point p = view->unitCellArray()[i]->posPoleEdge();
            EXPECT_NEAR(p.y, a.y + (p.x - a.x) * (b.y - a.y) / (b.x - a.x), 1e-6) << "stem " << i;
        }
        // The outer stems keep the lengths asked for (whole points).
        EXPECT_DOUBLE_EQ(view->unitCellArray().front()->poleHeight(), 20.0);
        EXPECT_DOUBLE_EQ(view->unitCellArray().back()->poleHeight(), 9.0);
        EXPECT_DOUBLE_EQ(view->unitCellArray()[1]->poleHeight(), 15.0);
        expectOnTheStaff(*view);
    }
}

TEST_F(NoteLayoutTest, AnInnerHeadAboveTheBeamStaysAtItsPitch) {
    // Stems up, the middle note far above the line through the outer stem ends: its head stands higher
    // than anything else, and still every head keeps its own pitch on the staff.
    for (const std::int64_t high : {8, 12}) {
        clearBar();
        const auto view = laidOut(beamed({120, 120, 120}, {0, high, 0}));
        expectOnTheStaff(*view);
    }
}

TEST_F(NoteLayoutTest, GroupEndsStoredShorterThanSixGetSix) {
    const auto view = laidOut(beamed({120, 120, 120}, {0, 0, 0}), false, 0.0, 3.0);
    ASSERT_EQ(view->unitCellArray().size(), 3u);
    EXPECT_DOUBLE_EQ(view->unitCellArray().front()->poleHeight(), 6.0);
    EXPECT_DOUBLE_EQ(view->unitCellArray().back()->poleHeight(), 6.0);
    // The inner stem starts at 15 and is then cut to the line through the two ends.
    EXPECT_DOUBLE_EQ(view->unitCellArray()[1]->poleHeight(), 15.0);
    EXPECT_NEAR(view->unitCellArray()[1]->posPoleEdge().y, view->unitCellArray().front()->posPoleEdge().y,
                1e-6);
}

TEST_F(NoteLayoutTest, RecordedBeamsOfMixedValues) {
    Note* note = beamed({60, 120, 60}, {0, 0, 0});
    const auto view = laidOut(note);
    platform::RecordingGraphicsContext ctx;
    view->drawRect(view->bounds(), ctx);
    std::vector<Quad> q;
    for (const auto& call : ctx.callsOfKind(platform::DrawingCall::Kind::FillPath)) {
        if (quadsOf(call.path).size() == 4) {
            q = quadsOf(call.path);
        }
    }
    ASSERT_EQ(q.size(), 4u);
    const double left = glyphs.factory->halfFlagWidthLeftWithFontID("");
    const double right = glyphs.factory->halfFlagWidthRightWithFontID("");
    ASSERT_GT(left, 0.0);
    const Point a = view->unitCellArray()[0]->posPoleEdge();
    const Point c = view->unitCellArray()[2]->posPoleEdge();
    expectQuad(q[1],
               {{{a.x - 0.6, a.y + 4},
                 {a.x - 0.6 + left, a.y + 4},
                 {a.x - 0.6 + left, a.y + 6},
                 {a.x - 0.6, a.y + 6}}},
               "stub right of the first sixteenth");
    expectQuad(q[3],
               {{{c.x - 0.6 - right, c.y + 4},
                 {c.x - 0.6, c.y + 4},
                 {c.x - 0.6, c.y + 6},
                 {c.x - 0.6 - right, c.y + 6}}},
               "stub left of the last sixteenth");
}

TEST_F(NoteLayoutTest, SingleValuesFlagsAndFlipStrip) {
    Note* eighth = melo({0}, 120, 0);
    const auto up = laidOut(eighth);
    ASSERT_TRUE(up->flagPath());
    EXPECT_FALSE(up->beamPath());
    const Point end = up->unitCellArray().front()->posPoleEdge();
    EXPECT_NEAR(up->flagPath()->bounds().x(), end.x - 0.1, 1e-6);
    EXPECT_NEAR(up->flagPath()->bounds().y(), end.y, 1e-6);
    expectOnTheStaff(*up);

    Note* quarter = melo({0}, 240, 240);
    const auto plain = laidOut(quarter);
    EXPECT_FALSE(plain->flagPath());
    const double e = plain->unitCellArray().front()->posPoleEdge().y;
    EXPECT_EQ(plain->flipHandleRect(), (Rect{0, e, plain->frame().width(), 5.0}));
    const auto down = laidOut(quarter, true);
    const double f = down->unitCellArray().front()->posPoleEdge().y;
    EXPECT_EQ(down->flipHandleRect(), (Rect{0, f - 5.0, down->frame().width(), 5.0}));
}

TEST_F(NoteLayoutTest, WhatReachesAboveMovesTheCellsDownAndTheFrameUp) {
    // Stems down, the (long) flag of a 32nd reaches above its head.
    Note* note = melo({4}, 30, 0);
    const auto view = laidOut(note, true);
    ASSERT_TRUE(view->flagPath());
    EXPECT_NEAR(view->flagPath()->bounds().y(), 0.0, 1e-6);
    expectOnTheStaff(*view);
    // Stems up, the triplet's digit above the stems.
    Note* triplet = bar()->createNewTripletFromLengthUnitsLevelKind(240, {80, 80, 80}, 4, 0);
    const auto tuplet = laidOut(triplet);
    EXPECT_NEAR(tuplet->beamPath()->bounds().y(), 0.0, 1e-6);
    expectOnTheStaff(*tuplet);
}

TEST_F(NoteLayoutTest, FrameReachesTheMiddleLineFromAboveAndBelow) {
    const double middle = barView->frame().y() + delegate.level0;
    const auto high = laidOut(melo({10}, 960, 0));
    EXPECT_GE(high->frame().maxY(), middle - 1e-6);
    EXPECT_LT(high->frame().y(), middle - 20);
    expectOnTheStaff(*high);
    clearBar();
    const auto low = laidOut(melo({-10}, 240, 0), true);
    EXPECT_LE(low->frame().y(), middle + 1e-6);
    EXPECT_GT(low->frame().maxY(), middle + 40);
    expectOnTheStaff(*low);
}

} // namespace
