#include "notation/TOVNoteTieView.h"

#include "CellFixture.h"

#include "model/SymbolAccidental.h"
#include "model/SymbolInNote.h"
#include "model/TOVStaffMetrics.h"
#include "model/TOVSymbolTypes.h"
#include "model/Tie.h"
#include "platform/graphics/RecordingGraphicsContext.h"

using namespace notationtest;

namespace {

// Stored frames pass through single precision.
void expectFrame(const platform::Rect& actual, const platform::Rect& expected) {
    EXPECT_NEAR(actual.x(), expected.x(), 1e-5);
    EXPECT_NEAR(actual.y(), expected.y(), 1e-5);
    EXPECT_NEAR(actual.width(), expected.width(), 1e-5);
    EXPECT_NEAR(actual.height(), expected.height(), 1e-5);
}

class NoteToneCellTest : public CellTest {
protected:
    // A chord note of the levels at the tick, its tones tied to a like chord right after it.
    std::pair<Note*, Note*> tiedChords(std::vector<std::int64_t> levels, bool flip) {
        Note* left = melo(levels, 240, 0);
        Note* right = melo(levels, 240, 240);
        left->setFlip(flip);
        right->setFlip(flip);
        for (NoteTone* tone : left->firstUnit()->toneArray()) {
            EXPECT_NE(tone->createNewTie(), nullptr);
        }
        context.processPendingChanges();
        return {left, right};
    }
    static TOVNoteToneCell* cellAt(FakeNoteView& view, std::int64_t level) {
        return view.unitCells.front()->toneCellFromLevel(level);
    }
};

// ---- Heads
// -------------------------------------------------------------------------------------------------

TEST_F(NoteToneCellTest, HeadKinds) {
    Note* note = melo({0}, 360);
    NoteTone* tone = note->firstUnit()->tones().front();

    tone->setHead(1);
    auto cross = noteViewOf(note);
    TOVNoteToneCell* cell = cellAt(*cross, 0);
    platform::RecordingGraphicsContext ctx;
    cell->drawWithNormalColor(platform::Color::black(), ctx);
    const auto strokes = ctx.callsOfKind(platform::DrawingCall::Kind::StrokePath);
    ASSERT_EQ(strokes.size(), 1u);
    EXPECT_EQ(strokes[0].lineWidth, 1.0);
    // Two diagonals over the head's 7 x 6 box.
    EXPECT_EQ(strokes[0].path.elementCount(), 4u);
    EXPECT_NEAR(strokes[0].path.bounds().width(), 7.0, 1e-9);
    EXPECT_NEAR(strokes[0].path.bounds().height(), 6.0, 1e-9);
    EXPECT_EQ(ctx.callsOfKind(platform::DrawingCall::Kind::FillPath).size(), 1u); // the dot

    tone->setHead(2);
    auto none = noteViewOf(note);
    cell = cellAt(*none, 0);
    ctx.clear();
    cell->drawWithNormalColor(platform::Color::black(), ctx);
    ASSERT_EQ(ctx.calls().size(), 1u); // only the dot
    cell->setSelected(true);
    ctx.clear();
    cell->drawWithNormalColor(platform::Color::black(), ctx);
    const auto rects = ctx.callsOfKind(platform::DrawingCall::Kind::FillRect);
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_NEAR(rects[0].rect.x(), cell->frame().x(), 1e-9);
    EXPECT_NEAR(rects[0].rect.y(), cell->frame().y(), 1e-9);
    EXPECT_NEAR(rects[0].rect.width(), cell->frame().width(), 1e-9);
    EXPECT_NEAR(rects[0].rect.height(), cell->frame().height(), 1e-9);
    EXPECT_EQ(rects[0].color, TOVUtils::noteCellSelectedColor());
}

// ---- Ties
// --------------------------------------------------------------------------------------------------

TEST_F(NoteToneCellTest, TieDirectionsInThreeToneChords) {
    struct Case {
        bool flip;
        std::map<std::int64_t, bool> up;
    };
    const Case cases[] = {
        {false, {{4, true}, {2, false}, {0, false}}},
        {true, {{4, true}, {2, true}, {0, false}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flip ? "flipped" : "not flipped");
        auto [left, right] = tiedChords({0, 2, 4}, c.flip);
        auto view = noteViewOf(left, c.flip);
        const TOVNoteToneCell* any = cellAt(*view, 0);
        for (NoteTone* tone : left->firstUnit()->toneArray()) {
            EXPECT_EQ(any->shouldFlipTieOfTone(tone), c.up.at(tone->level())) << "level " << tone->level();
        }
        // An untied tone, or a chord without ties, follows the note's flip.
        for (NoteTone* tone : right->firstUnit()->toneArray()) {
            EXPECT_EQ(any->shouldFlipTieOfTone(tone), c.flip);
        }
        bar()->removeNote(left);
        bar()->removeNote(right);
    }
    // Two tied tones of four: the upper up, the lower down.
    Note* four = melo({0, 2, 4, 6}, 240, 0);
    Note* next = melo({0, 2, 4, 6}, 240, 240);
    (void)next;
    for (NoteTone* tone : four->firstUnit()->toneArray()) {
        if (tone->level() == 2 || tone->level() == 6) {
            tone->createNewTie();
        }
    }
    context.processPendingChanges();
    auto view = noteViewOf(four);
    EXPECT_TRUE(cellAt(*view, 0)->shouldFlipTieOfTone(cellAt(*view, 6)->tone()));
    EXPECT_FALSE(cellAt(*view, 0)->shouldFlipTieOfTone(cellAt(*view, 2)->tone()));
}

TEST_F(NoteToneCellTest, TieHeightTable) {
    const std::pair<double, double> rows[] = {{0.0, 2.0},
                                              {4.0, 2.0},
                                              {8.0, 2.0},
                                              {10.0, 2.5},
                                              {20.0, 5.0},
                                              {23.6, TOVStaffSpace},
                                              {40.0, TOVStaffSpace},
                                              {200.0, TOVStaffSpace}};
    for (const auto& [width, height] : rows) {
        SCOPED_TRACE(width);
        EXPECT_DOUBLE_EQ(TOVNoteToneCell::tieHeightForWidth(width), height);
    }
}

TEST_F(NoteToneCellTest, TieToTheNextNoteOfTheBar) {
    auto [left, right] = tiedChords({0}, false);
    auto rightView = noteViewOf(right, false, {100, 110});
    auto leftView = noteViewOf(left, false, {60, 110});
    leftView->next = rightView.get();
    TOVNoteToneCell* cell = cellAt(*leftView, 0);
    TOVNoteToneCell* partner = cellAt(*rightView, 0);
    EXPECT_EQ(cell->toneRightCellOfTie(left->firstUnit()->tones().front()->tieRight()), partner);

    cell->updateTie();
    const std::shared_ptr<TOVNoteTieView> tie = cell->tieView();
    ASSERT_NE(tie, nullptr);
    EXPECT_EQ(tie->superview(), editor.get());
    EXPECT_EQ(tie->toneCellBelongTo(), cell);
    EXPECT_EQ(tie->barViewBelongTo(), barView.get());
    EXPECT_FALSE(tie->flip()); // a lone tone of a note with stems up: the tie curves down
    // From below this head's centre to below the partner's, both edge cells: the head's bottom.
    const platform::Rect head = cell->tonePath()->bounds();
    const platform::Point p1 = leftView->convertPointToView({head.midX(), head.maxY()}, editor.get());
    const platform::Rect partnerHead = partner->tonePath()->bounds();
    const platform::Point p2 =
        rightView->convertPointToView({partnerHead.midX(), partnerHead.maxY()}, editor.get());
    EXPECT_EQ(tie->frame(), (platform::Rect{p1.x, p1.y, p2.x - p1.x, TOVStaffSpace}));

    // The partner moves close: the tie becomes flat, never lower than 2.0.
    rightView->setFrameOrigin({68, 110});
    cell->updateTie();
    EXPECT_EQ(cell->tieView(), tie); // moved, not remade
    EXPECT_NEAR(tie->frame().width(), 8.0, 1e-9);
    EXPECT_NEAR(tie->frame().height(), 2.0, 1e-9);
    // A partner to the left within the same bar view gives a tie of width 0.
    rightView->setFrameOrigin({20, 110});
    cell->updateTie();
    EXPECT_EQ(tie->frame().width(), 0.0);
    EXPECT_EQ(tie->frame().height(), 2.0);

    // Without a cell for the partner the tie goes.
    leftView->next = nullptr;
    cell->updateTie();
    EXPECT_EQ(cell->tieView(), nullptr);
    EXPECT_EQ(tie->superview(), nullptr);
}

TEST_F(NoteToneCellTest, TieAcrossALineBreakAndItsContinuation) {
    // Bar 3 ends the first line; bar 4 opens the second, drawn by a bar view further down.
    Bar* last = bar(3);
    Bar* first = bar(4);
    ASSERT_EQ(first->indexInLine(), 0u);
    Note* left = melo({-2}, 240, 720, last);
    Note* right = melo({-2}, 240, 0, first);
    ASSERT_NE(left->firstUnit()->tones().front()->createNewTie(), nullptr);
    context.processPendingChanges();

    auto nextBar = std::make_shared<glyphtest::FakeBarView>(platform::Rect{30, 300, 200, 80}, editor.get());
    editor->addSubview(nextBar);
    FakeNoteViewDelegate nextDelegate;
    nextDelegate.barView = nextBar.get();

    auto leftView = noteViewOf(left, false, {220, 110});
    auto rightView = std::make_shared<FakeNoteView>(platform::Rect{45, 310, 60, 60});
    rightView->setNoteViewDelegate(&nextDelegate);
    rightView->setBarViewBelongTo(nextBar.get());
    editor->addSubview(rightView);
    rightView->buildCells(right);
    leftView->next = rightView.get();

    TOVNoteToneCell* cell = cellAt(*leftView, -2);
    cell->updateTie();
    ASSERT_NE(cell->tieView(), nullptr);
    // 10.0 past the right edge of its own bar view (50 + 200).
    const platform::Rect tie = cell->tieView()->frame();
    EXPECT_NEAR(tie.maxX(), 260.0, 1e-9);
    EXPECT_NEAR(tie.height(), TOVStaffSpace, 1e-9);

    TOVNoteToneCell* partner = cellAt(*rightView, -2);
    partner->updateTie();
    EXPECT_EQ(partner->tieView(), nullptr);
    ASSERT_NE(partner->tieViewExtra(), nullptr);
    // From 10.0 left of the next bar view to the partner's head, 5.9 high.
    const platform::Rect head = partner->tonePath()->bounds();
    const platform::Point p2 = rightView->convertPointToView({head.midX(), head.maxY()}, editor.get());
    EXPECT_EQ(partner->tieViewExtra()->frame(), (platform::Rect{20.0, p2.y, p2.x - 20.0, TOVStaffSpace}));

    // The rhythm matrix's bar is no editor bar view: no continuation there.
    class MatrixBar : public glyphtest::FakeBarView {
    public:
        using FakeBarView::FakeBarView;
        bool isEditorBarView() const override { return false; }
    };
    auto matrix = std::make_shared<MatrixBar>(platform::Rect{30, 300, 200, 80}, editor.get());
    editor->addSubview(matrix);
    rightView->setBarViewBelongTo(matrix.get());
    partner->updateTie();
    EXPECT_EQ(partner->tieViewExtra(), nullptr);
}

TEST_F(NoteToneCellTest, DeletingATieViewRemovesTheTie) {
    auto [left, right] = tiedChords({1}, false);
    auto rightView = noteViewOf(right, false, {100, 110});
    auto leftView = noteViewOf(left, false, {60, 110});
    leftView->next = rightView.get();
    TOVNoteToneCell* cell = cellAt(*leftView, 1);
    cell->updateTie();
    ASSERT_NE(cell->tieView(), nullptr);
    TOVObjectView* view = cell->tieView().get();
    cell->setReplaceTargetView(cell->tieView());
    cell->deleteObjectViewAndData(view);
    EXPECT_EQ(cell->tieView(), nullptr);
    EXPECT_EQ(cell->replaceTargetView(), nullptr);
    EXPECT_EQ(controller.log.back(), "target off");
    EXPECT_EQ(left->firstUnit()->tones().front()->tieRight(), nullptr);
    EXPECT_EQ(right->firstUnit()->tones().front()->tieLeft(), nullptr);
}

// ---- Accidentals and articulations
// -------------------------------------------------------------------------

TEST_F(NoteToneCellTest, AccidentalDefaultPlaces) {
    Note* note = melo({0});
    auto view = noteViewOf(note);
    const TOVNoteToneCell* cell = cellAt(*view, 0);
    const std::pair<int, platform::Point> rows[] = {{TOVSymbolSharp, {-4.8, -6.2}},
                                                    {TOVSymbolDoubleSharp, {-5.5, -2.2}},
                                                    {TOVSymbolFlat, {-5.0, -7.8}},
                                                    {TOVSymbolDoubleFlat, {-9.0, -7.8}},
                                                    {TOVSymbolNatural, {-4.2, -6.8}},
                                                    {TOVSymbolTenuto, {0.0, 0.0}},
                                                    {0, {0.0, 0.0}}};
    for (const auto& [type, point] : rows) {
        SCOPED_TRACE(type);
        EXPECT_EQ(cell->defaultPosOfAccidentalView(type), point);
    }
}

TEST_F(NoteToneCellTest, AnAccidentalHangsAtItsStoredPlaceBesideTheHead) {
    Note* note = melo({3});
    NoteTone* tone = note->firstUnit()->tones().front();
    auto view = noteViewOf(note);
    TOVNoteToneCell* cell = cellAt(*view, 3);
    SymbolAccidental* sharp = tone->createNewAccidentalWithTypeFrame(TOVSymbolSharp, {-4.8, -6.2, 0, 0});
    context.processPendingChanges();
    cell->createAccidentalViewOfDataSelect(TOVSymbolSharp, sharp, true);
    const auto& accidental = cell->accidentalView();
    ASSERT_NE(accidental, nullptr);
    EXPECT_NE(dynamic_cast<TOVNoteAccidentalView*>(accidental.get()), nullptr);
    // The stored frame takes the glyph's size; the view stands at the stored origin from the head's
    // centre line, in the editor view.
    expectFrame(sharp->frame(), platform::Rect{-4.8, -6.2, 5, 14});
    const platform::Point data =
        view->convertPointToView(cell->convertPointToNoteView({-4.8, -6.2}), editor.get());
    EXPECT_EQ(accidental->frame().origin, data);
    EXPECT_EQ(accidental->superview(), editor.get());
    // The view's own placement through its tone cell agrees.
    accidental->updateView();
    EXPECT_NEAR(accidental->frame().x(), data.x, 1e-5);
    EXPECT_NEAR(accidental->frame().y(), data.y, 1e-5);
    EXPECT_EQ(accidental->toneCellBelongTo(), cell);
    EXPECT_EQ(accidental->barViewBelongTo(), barView.get());
    EXPECT_EQ(controller.selected, (std::vector<TOVObjectView*>{accidental.get()}));
    EXPECT_EQ(cell->symbolViewOfType(TOVSymbolFlat), accidental.get());
    EXPECT_NEAR(cell->convertPointFromSuperView(accidental->frame().origin).x, -4.8, 1e-9);

    cell->createAccidentalViewOfDataSelect(0, sharp, false); // type 0 makes nothing
    EXPECT_EQ(cell->accidentalView(), accidental);

    TOVObjectView* shown = accidental.get();
    cell->deleteObjectViewAndData(shown);
    EXPECT_EQ(cell->accidentalView(), nullptr);
    EXPECT_EQ(tone->accidental(), nullptr);
}

TEST_F(NoteToneCellTest, ArticulationDefaultPlaces) {
    Note* note = melo({-1});
    for (bool flip : {false, true}) {
        SCOPED_TRACE(flip ? "stems down" : "stems up");
        auto view = noteViewOf(note, flip);
        const TOVNoteToneCell* cell = cellAt(*view, -1);
        const double frameWidth = cell->frame().width();
        // Staccato 2 x 2, tenuto 6 x 1: 5.9 from the head's centre, away from the stem.
        EXPECT_EQ(cell->defaultPosOfArticulationView(TOVSymbolStaccato),
                  (platform::Point{(frameWidth - 2) * 0.5, flip ? -(1 + TOVStaffSpace) : TOVStaffSpace - 1}));
        EXPECT_EQ(
            cell->defaultPosOfArticulationView(TOVSymbolTenuto),
            (platform::Point{(frameWidth - 6) * 0.5, flip ? -(0.5 + TOVStaffSpace) : TOVStaffSpace - 0.5}));
        // Fermata 10 x 6: its bottom 4.0 above the top staff line (y 40 - 11.8 in the bar view).
        const platform::Point fermata = cell->defaultPosOfArticulationView(TOVSymbolFermata);
        EXPECT_NEAR(fermata.x, (7 - 10) * 0.5, 1e-9);
        const platform::Point inEditor =
            view->convertPointToView(cell->convertPointToNoteView(fermata), editor.get());
        EXPECT_NEAR(inEditor.y, 100 + 28.2 - 6 - 4.0, 1e-9);
        EXPECT_EQ(cell->defaultPosOfArticulationView(TOVSymbolArpeggio),
                  (platform::Point{frameWidth + 3.0, -10.0}));
        EXPECT_EQ(cell->defaultPosOfArticulationView(TOVSymbolSlur),
                  (platform::Point{2.0, flip ? -12.0 : 5.0}));
        EXPECT_EQ(cell->defaultPosOfArticulationView(TOVSymbolSharp), (platform::Point{0, 0}));
    }
}

TEST_F(NoteToneCellTest, FlipMirrorsTenutoAndStaccatoOnly) {
    Note* note = melo({0});
    NoteTone* tone = note->firstUnit()->tones().front();
    SymbolInNote* staccato = tone->createNewArticulationWithTypeFrame(TOVSymbolStaccato, {1.5, 3.9, 2, 4});
    SymbolInNote* fermata = tone->createNewArticulationWithTypeFrame(TOVSymbolFermata, {-1.5, -20, 10, 6});
    SymbolInNote* slur = tone->createNewArticulationWithTypeFrame(TOVSymbolSlur, {2, 5, 60, 8});
    context.processPendingChanges();
    auto view = noteViewOf(note);
    TOVNoteToneCell* cell = cellAt(*view, 0);
    cell->updateSymbolViews();
    ASSERT_EQ(cell->symbolViewArray().size(), 3u);
    ASSERT_NE(cell->staccatoView(), nullptr);
    EXPECT_NE(dynamic_cast<TOVSlurView*>(cell->slurView()), nullptr);
    // Made from the stored frames: the glyphs' sizes, the slur its own.
    expectFrame(staccato->frame(), platform::Rect{1.5, 3.9, 2, 2});
    expectFrame(slur->frame(), platform::Rect{2, 5, 60, 8});
    staccato->setFrame({1.5, 3.9, 2, 4});
    context.processPendingChanges();

    cell->doFilp(true);
    expectFrame(staccato->frame(), platform::Rect{1.5, -7.9, 2, 4});
    expectFrame(fermata->frame(), platform::Rect{-1.5, -20, 10, 6});
    expectFrame(slur->frame(), platform::Rect{2, 5, 60, 8});
    cell->doFilp(true);
    expectFrame(staccato->frame(), platform::Rect{1.5, 3.9, 2, 4});
}

TEST_F(NoteToneCellTest, ToneDragMovesTheLevelKeepsMarksAboveTheStaffAndDropsTheTies) {
    auto [left, right] = tiedChords({0}, false);
    NoteTone* tone = left->firstUnit()->tones().front();
    SymbolInNote* fermata = tone->createNewArticulationWithTypeFrame(TOVSymbolFermata, {-1.5, -20, 10, 6});
    SymbolInNote* staccato = tone->createNewArticulationWithTypeFrame(TOVSymbolStaccato, {2, 3.9, 2, 2});
    context.processPendingChanges();
    auto view = noteViewOf(left);
    TOVNoteToneCell* cell = cellAt(*view, 0);
    cell->updateSymbolViews();
    ASSERT_NE(tone->tieRight(), nullptr);
    const platform::Point fermataOnScreen = cell->fermataView()->frame().origin;

    cell->moveToneLevel(2);
    context.processPendingChanges();
    EXPECT_EQ(tone->level(), 2);
    EXPECT_NEAR(fermata->frame().y(), -20 + TOVStaffSpace, 1e-5);
    expectFrame(staccato->frame(), platform::Rect{2, 3.9, 2, 2});
    EXPECT_EQ(tone->tieRight(), nullptr);
    EXPECT_EQ(right->firstUnit()->tones().front()->tieLeft(), nullptr);

    // Rebuilt at the new level, the fermata stands where it stood.
    view->buildCells(left);
    cell = cellAt(*view, 2);
    ASSERT_NE(cell, nullptr);
    cell->updateSymbolViews();
    EXPECT_NEAR(cell->fermataView()->frame().origin.y, fermataOnScreen.y, 1e-5);
}

TEST_F(NoteToneCellTest, ClearingACellTakesItsViewsOffTheScreen) {
    Note* note = melo({0});
    NoteTone* tone = note->firstUnit()->tones().front();
    tone->createNewAccidentalWithTypeFrame(TOVSymbolFlat, {-5, -7.8, 0, 0});
    SymbolInNote* accent = tone->createNewArticulationWithTypeFrame(TOVSymbolAccento, {0, -15, 0, 0});
    context.processPendingChanges();
    auto view = noteViewOf(note);
    TOVNoteUnitCell& unit = *view->unitCells.front();
    unit.updateSymbolViews();
    TOVNoteToneCell* cell = unit.topToneCell();
    ASSERT_NE(cell->accidentalView(), nullptr);
    ASSERT_NE(cell->accentoView(), nullptr);
    const std::size_t before = editor->subviews().size();

    // Deleting the accent through its view removes it from the model.
    cell->deleteObjectViewAndData(cell->accentoView());
    EXPECT_TRUE(tone->articulations().empty());
    EXPECT_EQ(cell->symbolViewOfType(TOVSymbolAccento), nullptr);
    (void)accent;

    unit.clearOldCells();
    EXPECT_EQ(editor->subviews().size(), before - 2);
    EXPECT_NE(tone->accidental(), nullptr); // the model keeps it
}

} // namespace

namespace {

// Inner tones of a chord with a second tie from beside their head, clear of a head in the other column.
TEST_F(NoteToneCellTest, TieEndsOfInnerTonesClearTheOtherColumn) {
    Note* note = melo({0, 1, 2});
    auto view = noteViewOf(note);
    const TOVNoteToneCell* low = cellAt(*view, 0);
    const TOVNoteToneCell* middle = cellAt(*view, 1);
    const TOVNoteToneCell* high = cellAt(*view, 2);
    ASSERT_GT(middle->frame().x(), high->frame().x()); // the second stands right of the stem
    const double w = FakeGlyphs::kHeadWidth;
    const platform::Rect lowHead = low->tonePath()->bounds();
    // The stem's base: the middle of the head's bottom (or top).
    EXPECT_EQ(low->leftPointForTieFlip(false), (platform::Point{lowHead.midX(), lowHead.maxY()}));
    EXPECT_EQ(low->rightPointForTieFlip(true), (platform::Point{lowHead.midX(), lowHead.minY()}));
    // The top head's tie bending down passes the second below it: it starts right of that head.
    const platform::Rect highHead = high->tonePath()->bounds();
    EXPECT_EQ(high->leftPointForTieFlip(false),
              (platform::Point{middle->frame().x() + w + 1.0, highHead.midY()}));
    EXPECT_EQ(high->leftPointForTieFlip(true),
              (platform::Point{high->frame().x() + w + 1.0, highHead.midY()}));
    // The displaced head's tie arriving from the left ends left of the other column when a neighbour is
    // on the side it bends to.
    const platform::Rect middleHead = middle->tonePath()->bounds();
    EXPECT_EQ(middle->rightPointForTieFlip(true),
              (platform::Point{high->frame().x() - 1.0, middleHead.midY()}));
    EXPECT_EQ(middle->rightPointForTieFlip(false),
              (platform::Point{low->frame().x() - 1.0, middleHead.midY()}));
    EXPECT_EQ(high->rightPointForTieFlip(true), (platform::Point{high->frame().x() - 1.0, highHead.midY()}));
}

} // namespace
