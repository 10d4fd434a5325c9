// Where the built-in glyphs put their ink on a laid-out song, measured on what is drawn: the outlines of
// the views, filled into an image eight times their size, against the heads they belong to.
#include "AllGlyphs.h"
#include "EditorViewLookups.h"
#include "FakeLayoutController.h"

#include "glyphs/TOVChordObjectView.h"
#include "layout/TOVEditorBarView.h"
#include "layout/TOVEditorView.h"
#include "model/Bar.h"
#include "model/Chord.h"
#include "model/Document.h"
#include "model/Note.h"
#include "model/NoteTone.h"
#include "model/NoteUnit.h"
#include "model/SymbolAccidental.h"
#include "model/TOVSymbolTypes.h"
#include "notation/TOVNoteToneCell.h"
#include "notation/TOVNoteUnitCell.h"
#include "notation/TOVNoteView.h"
#include "platform/data/ManagedObjectContext.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/QPainterGraphicsContext.h"
#include "platform/graphics/QtPathConversion.h"
#include "support/LayoutBuilder.h"
#include "support/SongBuilder.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

using platform::Point;
using platform::Rect;

namespace {

constexpr double kInkScale = 8.0;

// The rows that hold ink of a filled outline, in the outline's own coordinates: from the top of the first
// to the bottom of the last; with `widest`, only the rows at least that share of the widest row's ink
// (the bowl of a flat, not its stem).
struct InkRows {
    double top = 0;
    double bottom = 0;
    double middle() const { return (top + bottom) / 2; }
};

std::optional<InkRows> inkRowsOf(const platform::BezierPath& path, double widest = 0.0) {
    const Rect box = path.bounds();
    const int w = static_cast<int>(std::ceil((box.maxX() - box.minX()) * kInkScale)) + 2;
    const int h = static_cast<int>(std::ceil((box.maxY() - box.minY()) * kInkScale)) + 2;
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.scale(kInkScale, kInkScale);
        painter.translate(-box.minX(), -box.minY());
        painter.fillPath(platform::toQPainterPath(path), Qt::black);
    }
    std::vector<int> counts(static_cast<std::size_t>(h), 0);
    int most = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            counts[static_cast<std::size_t>(y)] += qAlpha(image.pixel(x, y)) > 128 ? 1 : 0;
        }
        most = std::max(most, counts[static_cast<std::size_t>(y)]);
    }
    std::optional<InkRows> rows;
    for (int y = 0; y < h; ++y) {
        const int count = counts[static_cast<std::size_t>(y)];
        if (count > 0 && count >= widest * most) {
            const double top = box.minY() + y / kInkScale;
            if (!rows) {
                rows = InkRows{top, top + 1 / kInkScale};
            }
            rows->bottom = top + 1 / kInkScale;
        }
    }
    return rows;
}

// A song of one single line of one bar under a header slot, treble clef, laid out in the editor's view
// tree with the built-in glyphs.
class NotationInkTest : public ::testing::Test {
protected:
    void SetUp() override {
        document = tovtest::makeLayout(*context, {tovtest::PageSpec{10, {{0, 0, false}, {1, 1, false}}}});
        bar()->setWidth(520);
        bar()->setClefType(TOVSymbolClefG);
        bar()->setTimeType(TOVSymbolTime4_4);
        context->processPendingChanges();
        controller.editor = editor.get();
        editor->setDelegate(&controller);
        editor->setDocData(document);
    }
    void TearDown() override { editor->setDocData(nullptr); }

    Bar* bar() const { return tovtest::findBar(document, 0); }
    // Laid out afresh, as when the song is opened: the fake controller passes on no model changes.
    void relayOut() {
        editor->setDocData(nullptr);
        editor->setDocData(document);
    }
    TOVNoteToneCell* cellOf(const NoteTone* tone) const {
        for (TOVNoteView* view : layouttest::viewsInEditor<TOVNoteView>(*editor)) {
            if (view->note() == tone->note()) {
                return view->toneCellOfData(tone);
            }
        }
        return nullptr;
    }
    // The middle of the head's ink, in the editor view.
    std::optional<double> headMiddle(const TOVNoteToneCell& cell) const {
        const auto* noteView = dynamic_cast<const TOVNoteView*>(cell.noteView());
        if (noteView == nullptr || !cell.tonePath()) {
            return std::nullopt;
        }
        const auto rows = inkRowsOf(*cell.tonePath());
        if (!rows) {
            return std::nullopt;
        }
        // The head's outline is kept in the note view's coordinates.
        return noteView->convertPointToView(Point{0, rows->middle()}, editor.get()).y;
    }

    layouttest::AllGlyphs glyphs;
    std::unique_ptr<platform::ManagedObjectContext> context = tovtest::makeSongContext();
    Document* document = nullptr;
    layouttest::FakeLayoutController controller;
    std::shared_ptr<TOVEditorView> editor = std::make_shared<TOVEditorView>(Rect(0, 0, 595, 842));
};

// Each accidental at its default place beside the head stands on the head's level: sharps, naturals and
// double sharps with the middle of their ink there, flats with the middle of their bowl (the rows at least
// half as wide as the widest), on lines and spaces, in the staff and on ledger lines.
TEST_F(NotationInkTest, AccidentalsAtTheirDefaultPlaceStandOnTheirHeadsLevel) {
    struct Sign {
        const char* name;
        int type;
        double widest; // 0: the whole ink
    };
    const Sign signs[] = {{"sharp", TOVSymbolSharp, 0.0},
                          {"double sharp", TOVSymbolDoubleSharp, 0.0},
                          {"flat", TOVSymbolFlat, 0.5},
                          {"double flat", TOVSymbolDoubleFlat, 0.5},
                          {"natural", TOVSymbolNatural, 0.0}};
    const std::int64_t levels[] = {-3, 0, 1, 4, 9};
    std::uint64_t from = 0;
    struct Placed {
        const Sign* sign;
        std::int64_t level;
        NoteTone* tone;
    };
    std::vector<Placed> placed;
    for (const Sign& sign : signs) {
        for (std::int64_t level : levels) {
            Note* note = bar()->createNewSingleMeloFromLengthLevel(from, 30, level);
            ASSERT_NE(note, nullptr);
            placed.push_back({&sign, level, note->firstUnit()->toneArray().front()});
            from += 30;
        }
    }
    context->processPendingChanges();
    relayOut();
    for (const Placed& p : placed) {
        const TOVNoteToneCell* cell = cellOf(p.tone);
        ASSERT_NE(cell, nullptr);
        p.tone->createNewAccidentalWithTypeFrame(p.sign->type,
                                                 Rect(cell->defaultPosOfAccidentalView(p.sign->type), {}));
    }
    context->processPendingChanges();
    relayOut();

    for (const Placed& p : placed) {
        SCOPED_TRACE(::testing::Message() << p.sign->name << " at level " << p.level);
        TOVNoteToneCell* cell = cellOf(p.tone);
        ASSERT_NE(cell, nullptr);
        const auto& view = cell->accidentalView();
        ASSERT_NE(view, nullptr);
        ASSERT_TRUE(view->bezierPath());
        const auto head = headMiddle(*cell);
        ASSERT_TRUE(head);
        const auto rows = inkRowsOf(*view->bezierPath(), p.sign->widest);
        ASSERT_TRUE(rows);
        // The view stands in the note view's superview, its outline in its own coordinates.
        ASSERT_NE(view->superview(), nullptr);
        const double middle =
            view->superview()
                ->convertPointToView(Point{0, view->frame().y() + rows->middle()}, editor.get())
                .y;
        // A staff step is 2.95: within a quarter of one.
        EXPECT_NEAR(middle, *head, 0.75);
        // Left of its head, clear of it.
        const double headLeft =
            cell->noteView()->convertPointToView(Point{cell->tonePath()->bounds().minX(), 0}, editor.get()).x;
        const double signRight =
            view->superview()->convertPointToView(Point{view->frame().maxX(), 0}, editor.get()).x;
        EXPECT_LT(signRight, headLeft + 0.5);
    }
}

// A melody that climbs above the staff, its ledger lines and accidentals reaching into the chord row: the
// chords of the line are drawn raised clear of them, their stored places unchanged; in a line whose notes
// stay in the staff the chords stand where they are stored.
TEST_F(NotationInkTest, ChordsAreDrawnClearOfAMelodyAboveTheStaff) {
    const TOVChordElems chords[] = {
        TOVChordElems::fromCodes(0, 12, 70, 17), TOVChordElems::fromCodes(7, 12, 70, 17),
        TOVChordElems::fromCodes(10, 3, 70, 17), TOVChordElems::fromCodes(13, 7, 70, 17)};
    std::vector<Chord*> made;
    for (std::size_t i = 0; i < 4; ++i) {
        made.push_back(bar()->createNewChordWithElemsTiming(chords[i], 240 * i));
    }
    context->processPendingChanges();
    editor->setDocData(nullptr);
    editor->setDocData(document);
    std::vector<Rect> stored;
    for (Chord* chord : made) {
        stored.push_back(chord->frame());
    }

    struct Case {
        const char* name;
        std::vector<std::int64_t> levels;
        bool raised;
    };
    const Case cases[] = {{"in the staff", {-2, 0, 2, 4}, false}, {"above the staff", {6, 8, 10, 12}, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<Note*> old = bar()->noteArray();
        for (Note* note : old) {
            bar()->removeNote(note);
        }
        std::vector<NoteTone*> tones;
        for (std::size_t i = 0; i < 4; ++i) {
            Note* note = bar()->createNewSingleMeloFromLengthLevel(240 * i, 240, c.levels[i]);
            ASSERT_NE(note, nullptr);
            tones.push_back(note->firstUnit()->toneArray().front());
        }
        context->processPendingChanges();
        relayOut();
        for (NoteTone* tone : tones) {
            const TOVNoteToneCell* cell = cellOf(tone);
            ASSERT_NE(cell, nullptr);
            tone->createNewAccidentalWithTypeFrame(
                TOVSymbolSharp, Rect(cell->defaultPosOfAccidentalView(TOVSymbolSharp), {}));
        }
        context->processPendingChanges();
        editor->setDocData(nullptr);
        editor->setDocData(document);

        // The highest ink of the heads and sharps, in the editor view.
        double noteTop = 1e9;
        for (NoteTone* tone : tones) {
            TOVNoteToneCell* cell = cellOf(tone);
            ASSERT_NE(cell, nullptr);
            const auto* noteView = cell->noteView();
            const auto head = inkRowsOf(*cell->tonePath());
            ASSERT_TRUE(head);
            noteTop = std::min(noteTop, noteView->convertPointToView(Point{0, head->top}, editor.get()).y);
            const auto& sharp = cell->accidentalView();
            ASSERT_NE(sharp, nullptr);
            const auto ink = inkRowsOf(*sharp->bezierPath());
            ASSERT_TRUE(ink);
            noteTop = std::min(noteTop,
                               sharp->superview()
                                   ->convertPointToView(Point{0, sharp->frame().y() + ink->top}, editor.get())
                                   .y);
        }
        TOVEditorBarView* barView = editor->barViewFromNumberInLower(0, false);
        ASSERT_NE(barView, nullptr);
        EXPECT_EQ(barView->chordRaise() > 0, c.raised);
        for (std::size_t i = 0; i < made.size(); ++i) {
            SCOPED_TRACE(i);
            // The stored place is kept.
            EXPECT_EQ(made[i]->frame(), stored[i]);
            const auto view = barView->chordViewFromData(made[i]);
            ASSERT_NE(view, nullptr);
            const auto ink = inkRowsOf(*view->bezierPath());
            ASSERT_TRUE(ink);
            const double chordBottom =
                view->superview()
                    ->convertPointToView(Point{0, view->frame().y() + ink->bottom}, editor.get())
                    .y;
            EXPECT_LT(chordBottom, noteTop) << "the chord's ink reaches the notes'";
            const Point at = barView->convertPointToView(stored[i].origin, editor.get());
            if (c.raised) {
                EXPECT_LT(view->frame().y(), at.y);
            } else {
                EXPECT_EQ(view->frame().origin, at);
            }
        }
    }
}

// A view drawn alone at scale 6 onto white, as it is drawn in its state; saved under TOVRIN_KEEP_RENDER
// (with "-<name>.png" appended) to be looked at.
QImage drawnAtScale6(platform::View& view, const char* name) {
    constexpr double kScale = 6.0;
    const Rect bounds = view.bounds();
    QImage image(static_cast<int>(std::ceil(bounds.width() * kScale)) + 1,
                 static_cast<int>(std::ceil(bounds.height() * kScale)) + 1, QImage::Format_ARGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.scale(kScale, kScale);
        painter.translate(-bounds.x(), -bounds.y());
        platform::QPainterGraphicsContext ctx(painter);
        view.drawRect(bounds, ctx);
    }
    if (const QByteArray keep = qgetenv("TOVRIN_KEEP_RENDER"); !keep.isEmpty()) {
        image.save(QString::fromUtf8(keep) + "-" + name + ".png");
    }
    return image;
}

// The share of the pixels where the outline alone puts ink (at scale 6, in view coordinates) that show the
// selection's colour in the drawn image: what of the symbol a reader still sees.
double shareOfOutlineInSelectedColour(const QImage& drawn, const platform::BezierPath& outline,
                                      const Rect& bounds) {
    QImage mask(drawn.size(), QImage::Format_ARGB32);
    mask.fill(Qt::transparent);
    {
        QPainter painter(&mask);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.scale(6.0, 6.0);
        painter.translate(-bounds.x(), -bounds.y());
        painter.fillPath(platform::toQPainterPath(outline), Qt::black);
    }
    int inked = 0;
    int selected = 0;
    for (int y = 0; y < mask.height(); ++y) {
        for (int x = 0; x < mask.width(); ++x) {
            if (qAlpha(mask.pixel(x, y)) < 128) {
                continue;
            }
            ++inked;
            const QRgb p = drawn.pixel(x, y);
            selected += qRed(p) > 200 && qGreen(p) > 70 && qGreen(p) < 190 && qBlue(p) < 90 ? 1 : 0;
        }
    }
    return inked > 0 ? static_cast<double>(selected) / inked : 0.0;
}

// Selected, a short chord symbol stays readable under its handles, and a beamed note's beam stays filled
// in the selection's colour under the handles of its stem ends.
TEST_F(NotationInkTest, SelectedShortChordsAndBeamsStayReadableUnderTheirHandles) {
    Chord* chord = bar()->createNewChordWithElemsTiming(TOVChordElems::fromCodes(0, 12, 70, 17), 0);
    Note* first = bar()->createNewSingleMeloFromLengthLevel(0, 120, 0);
    Note* second = bar()->createNewSingleMeloFromLengthLevel(120, 120, 0);
    context->processPendingChanges();
    Note* beamed = bar()->makeBeamOn({first, second});
    ASSERT_NE(beamed, nullptr);
    context->processPendingChanges();
    editor->setDocData(nullptr);
    editor->setDocData(document);
    TOVEditorBarView* barView = editor->barViewFromNumberInLower(0, false);
    ASSERT_NE(barView, nullptr);

    const auto chordView = barView->chordViewFromData(chord);
    ASSERT_NE(chordView, nullptr);
    ASSERT_TRUE(chordView->bezierPath());
    chordView->setState(1);
    const QImage selectedChord = drawnAtScale6(*chordView, "selected-chord");
    EXPECT_GT(shareOfOutlineInSelectedColour(selectedChord, *chordView->bezierPath(), chordView->bounds()),
              0.85);

    const auto noteView = barView->noteViewFromData(beamed);
    ASSERT_NE(noteView, nullptr);
    noteView->selectWholeNote();
    ASSERT_TRUE(noteView->beamPath());
    const QImage selectedBeam = drawnAtScale6(*noteView, "selected-beam");
    EXPECT_GT(shareOfOutlineInSelectedColour(selectedBeam, *noteView->beamPath(), noteView->bounds()), 0.85);
}

} // namespace
