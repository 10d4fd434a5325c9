// The rhythm test songs: four one-page songs that walk through what rhythm notation has to draw (beams and
// partial beams, flags both ways, tuplets, ties, accidentals, articulations, slurs, rests of every value,
// slashes, long notes, ledger lines). They are entered here through the model's own operations and kept
// under tests/fixtures/rhythm, where tovz-render and people read them. TOVRIN_WRITE_RHYTHM_SONGS=<folder>
// writes them anew into the folder.
#include "RenderTool.h"
#include "SongWriter.h"
#include "document/TOVDocumentDump.h"
#include "support/ImageInk.h"
#include "support/PdfPages.h"

#include "document/TOVDocumentParser.h"
#include "glyphs/TOVChordViewFactory.h"
#include "glyphs/TOVObjectViewFactory.h"
#include "layout/TOVEditorBarView.h"
#include "layout/TOVEditorView.h"
#include "model/Bar.h"
#include "model/Document.h"
#include "model/Note.h"
#include "model/NoteTone.h"
#include "model/NoteUnit.h"
#include "model/Song.h"
#include "model/SymbolInNote.h"
#include "model/TOVSymbolTypes.h"
#include "model/TOVUnitTypes.h"
#include "model/TOVUtils.h"
#include "notation/TOVNoteTieView.h"
#include "notation/TOVNoteToneCell.h"
#include "notation/TOVNoteUnitCell.h"
#include "notation/TOVNoteView.h"
#include "notation/TOVNoteViewFactory.h"
#include "platform/data/ManagedObjectContext.h"
#include "support/LayoutBuilder.h"
#include "support/SongBuilder.h"
#include "support/TempDir.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <optional>

using layouttest::LaidOut;
using layouttest::Loaded;
using layouttest::SongWriter;
using platform::Rect;

namespace {

const std::filesystem::path kFixtures = std::filesystem::path(TOVRIN_TEST_FIXTURES) / "rhythm";

// Beams of two, four and eight; partial beams (16-8-16, 8-16-16, 16-16-8, dotted 8 + 16, dotted 16 + 32 +
// 8, 8-16-8-16 in 6/8); flags of eighths, sixteenths and thirty-seconds with the stem up and down.
void writeBeamsAndFlags(SongWriter& s) {
    s.beam(0, 0, {TOVLength8th, TOVLength8th}, {-4, -2});
    s.beam(0, TOVLengthQuarter, {TOVLength8th, TOVLength8th}, {-3, -1});
    s.beam(0, TOVLengthHalf, {TOVLength16th, TOVLength16th, TOVLength16th, TOVLength16th}, {-6, -5, -4, -3});
    s.beam(0, TOVLengthHalf + TOVLengthQuarter, {TOVLength16th, TOVLength16th, TOVLength16th, TOVLength16th},
           {5, 4, 3, 2}, true);

    s.beam(1, 0, {TOVLength16th, TOVLength8th, TOVLength16th}, {-2, 0, -2});
    s.beam(1, TOVLengthQuarter, {TOVLength8th, TOVLength16th, TOVLength16th}, {-1, -3, -1});
    s.beam(1, TOVLengthHalf, {TOVLength16th, TOVLength16th, TOVLength8th}, {4, 3, 2}, true);
    s.beam(1, TOVLengthHalf + TOVLengthQuarter, {TOVLength8th + TOVLength16th, TOVLength16th}, {-4, -2});

    s.beam(2, 0, {TOVLength16th + TOVLength32nd, TOVLength32nd, TOVLength8th}, {-2, -1, 0});
    s.beam(2, TOVLengthQuarter, {TOVLength16th + TOVLength32nd, TOVLength32nd, TOVLength8th}, {3, 2, 1},
           true);
    s.beam(2, TOVLengthHalf,
           {TOVLength32nd, TOVLength32nd, TOVLength32nd, TOVLength32nd, TOVLength32nd, TOVLength32nd,
            TOVLength32nd, TOVLength32nd},
           {-4, -3, -2, -1, 0, 1, 2, 3});
    s.beam(2, TOVLengthHalf + TOVLengthQuarter, {TOVLength8th + TOVLength16th, TOVLength16th}, {4, 2}, true);

    // Single flags, stem up then stem down, a quarter each way at the end.
    s.note(3, 0, TOVLength8th, {-2});
    s.note(3, TOVLength8th, TOVLength16th, {-3});
    s.note(3, TOVLength8th + TOVLength16th, TOVLength32nd, {-4});
    s.note(3, TOVLength8th + TOVLength16th + TOVLength32nd, TOVLength32nd, {-5});
    s.note(3, TOVLengthQuarter, TOVLength8th, {3}, true);
    s.note(3, TOVLengthQuarter + TOVLength8th, TOVLength16th, {4}, true);
    s.note(3, TOVLengthQuarter + TOVLength8th + TOVLength16th, TOVLength32nd, {5}, true);
    s.note(3, TOVLengthQuarter + TOVLength8th + TOVLength16th + TOVLength32nd, TOVLength32nd, {6}, true);
    s.note(3, TOVLengthHalf, TOVLengthQuarter, {-1});
    s.note(3, TOVLengthHalf + TOVLengthQuarter, TOVLengthQuarter, {2}, true);

    // A bar of 6/8: 8-16-8-16, then dotted 8 + 16 + 8.
    s.bar(4)->setTimeType(TOVSymbolTime6_8);
    s.beam(4, 0, {TOVLength8th, TOVLength16th, TOVLength8th, TOVLength16th}, {-2, -1, 0, -1});
    s.beam(4, 3 * TOVLength8th, {TOVLength8th + TOVLength16th, TOVLength16th, TOVLength8th}, {-3, -2, -4});
    s.bar(5)->setTimeType(TOVSymbolTime4_4);
    // Beamed chords and a wide leap.
    s.beam(5, 0, {TOVLength8th, TOVLength8th}, {-6, 0});
    s.beam(5, TOVLengthQuarter, {TOVLength8th, TOVLength8th}, {6, -1}, true);
    s.note(5, TOVLengthHalf, TOVLength8th, {-4, -2, 0});
    s.note(5, TOVLengthHalf + TOVLength8th, TOVLength8th, {3, 5}, true);
    s.beam(5, TOVLengthHalf + TOVLengthQuarter, {TOVLength16th, TOVLength16th, TOVLength16th, TOVLength16th},
           {-2, 2, -2, 2});
    // Flags on ledger notes.
    s.note(6, 0, TOVLength8th, {-8});
    s.note(6, TOVLength8th, TOVLength8th, {-7});
    s.note(6, TOVLengthQuarter, TOVLength16th, {8}, true);
    s.note(6, TOVLengthQuarter + TOVLength16th, TOVLength16th, {7}, true);
    s.note(6, TOVLengthQuarter + TOVLength8th, TOVLength8th, {6}, true);
    s.note(6, TOVLengthHalf, TOVLengthHalf, {-1});
    s.beam(7, 0, {TOVLength8th, TOVLength8th, TOVLength8th, TOVLength8th}, {-4, -3, -2, -1});
    s.beam(7, TOVLengthHalf, {TOVLength8th, TOVLength8th, TOVLength8th, TOVLength8th}, {4, 3, 2, 1}, true);
}

// Beamed triplets both ways, triplet quarters and halves under brackets, sextuplets of sixteenths and of
// eighths.
void writeTuplets(SongWriter& s) {
    s.tuplet(0, 0, {80, 80, 80}, {-4, -3, -2});
    s.tuplet(0, TOVLengthQuarter, {80, 80, 80}, {4, 3, 2}, true);
    s.tuplet(0, TOVLengthHalf, {160, 160, 160}, {-2, -1, 0});

    s.tuplet(1, 0, {160, 160, 160}, {3, 2, 1}, true);
    s.tuplet(1, TOVLengthHalf, {40, 40, 40, 40, 40, 40}, {-4, -3, -2, -1, -2, -3});
    s.note(1, TOVLengthHalf + TOVLengthQuarter, TOVLengthQuarter, {-2});

    s.tuplet(2, 0, {80, 80, 80, 80, 80, 80}, {2, 3, 4, 5, 4, 3}, true);
    s.tuplet(2, TOVLengthHalf, {320, 320, 320}, {-3, -2, -1});

    s.note(3, 0, TOVLengthQuarter, {-2});
    s.tuplet(3, TOVLengthQuarter, {80, 80, 80}, {-6, -5, -4});
    s.tuplet(3, TOVLengthHalf, {80, 80, 80}, {-2, -1, 0});
    s.tuplet(3, TOVLengthHalf + TOVLengthQuarter, {80, 80, 80}, {1, 0, -1}, true);

    s.tuplet(4, 0, {160, 160, 160}, {-6, -4, -2});
    s.tuplet(4, TOVLengthHalf, {40, 40, 40, 40, 40, 40}, {4, 3, 2, 1, 2, 3}, true);
    s.note(4, TOVLengthHalf + TOVLengthQuarter, TOVLengthQuarter, {}, false);
    s.note(5, 0, TOVLengthQuarter, {-1});
    s.tuplet(5, TOVLengthQuarter, {80, 80, 80}, {-2, -2, -2});
    s.note(5, TOVLengthHalf, TOVLengthHalf, {-2});
    s.tuplet(6, 0, {160, 160, 160}, {6, 5, 4}, true);
    s.beam(6, TOVLengthHalf, {TOVLength8th, TOVLength8th}, {-2, -3});
    s.tuplet(6, TOVLengthHalf + TOVLengthQuarter, {80, 80, 80}, {-4, -3, -2});
    s.note(7, 0, TOVLengthWhole, {-2});
}

// Ties inside a bar, across barlines and across the line end; accidentals of every kind; articulations
// on stems up and down; slurs over beamed and single notes.
void writeTiesAndSigns(SongWriter& s) {
    Note* a = s.note(0, 0, TOVLengthQuarter, {-2});
    s.articulation(a, TOVSymbolStaccato);
    Note* b = s.note(0, TOVLengthQuarter, TOVLengthQuarter, {-1});
    s.articulation(b, TOVSymbolTenuto);
    Note* c = s.note(0, TOVLengthHalf, TOVLengthQuarter, {-3});
    s.articulation(c, TOVSymbolAccento);
    Note* d = s.note(0, TOVLengthHalf + TOVLengthQuarter, TOVLengthQuarter, {-2});
    s.articulation(d, TOVSymbolMarcato);

    Note* sharp = s.note(1, 0, TOVLengthQuarter, {-3});
    s.accidental(sharp, TOVSymbolSharp);
    Note* natural = s.note(1, TOVLengthQuarter, TOVLengthQuarter, {-3});
    s.accidental(natural, TOVSymbolNatural);
    Note* flat = s.note(1, TOVLengthHalf, TOVLengthQuarter, {0}, true);
    s.accidental(flat, TOVSymbolFlat);
    Note* doubleFlat = s.note(1, TOVLengthHalf + TOVLengthQuarter, TOVLength8th, {-1});
    s.accidental(doubleFlat, TOVSymbolDoubleFlat);
    Note* doubleSharp = s.note(1, TOVLengthHalf + TOVLengthQuarter + TOVLength8th, TOVLength8th, {-5});
    s.accidental(doubleSharp, TOVSymbolDoubleSharp);

    Note* slurStart = s.note(2, 0, TOVLengthQuarter, {-4});
    s.note(2, TOVLengthQuarter, TOVLengthQuarter, {-3});
    Note* held = s.note(2, TOVLengthHalf, TOVLengthHalf, {-2});
    s.slur(slurStart, 0, held, 0);
    s.tie(held);
    s.note(3, 0, TOVLengthQuarter, {-2});
    s.rest(3, TOVLengthQuarter, TOVLengthQuarter);
    Note* chordOverLine = s.note(3, TOVLengthHalf, TOVLengthHalf, {-4, -2, 0});
    s.tie(chordOverLine);

    s.note(4, 0, TOVLengthHalf, {-4, -2, 0});
    Note* slurred = s.beam(4, TOVLengthHalf, {TOVLength8th, TOVLength8th, TOVLength8th, TOVLength8th},
                           {1, 2, 3, 4}, true);
    s.slur(slurred, 0, slurred, 3);
    for (std::size_t unit = 0; unit < 4; ++unit) {
        s.articulation(slurred, TOVSymbolStaccato, unit);
    }
    Note* down1 = s.note(5, 0, TOVLengthQuarter, {3}, true);
    s.articulation(down1, TOVSymbolStaccato);
    Note* down2 = s.note(5, TOVLengthQuarter, TOVLengthQuarter, {4}, true);
    s.articulation(down2, TOVSymbolTenuto);
    Note* down3 = s.note(5, TOVLengthHalf, TOVLengthQuarter, {2}, true);
    s.articulation(down3, TOVSymbolAccento);
    Note* arpeggio = s.note(5, TOVLengthHalf + TOVLengthQuarter, TOVLengthQuarter, {-4, -2, 0, 2}, true);
    s.articulation(arpeggio, TOVSymbolArpeggio);

    Note* tiedEighths = s.beam(6, 0, {TOVLength8th, TOVLength8th}, {-1, -1});
    s.tie(tiedEighths, 0);
    s.tie(tiedEighths, 1);
    s.note(6, TOVLengthQuarter, TOVLengthQuarter + TOVLength8th, {-1});
    Note* sharpEighth = s.note(6, TOVLengthHalf + TOVLength8th, TOVLength8th, {-3});
    s.accidental(sharpEighth, TOVSymbolSharp);
    Note* last = s.note(6, TOVLengthHalf + TOVLengthQuarter, TOVLengthQuarter, {-2});
    s.tie(last);
    Note* fermata = s.note(7, 0, TOVLengthWhole, {-2});
    s.articulation(fermata, TOVSymbolFermata);
}

// Rests of every value; whole, dotted and half notes; slashes of every value and one-beat slashes;
// notes on ledger lines above and below.
void writeRestsSlashesLedgers(SongWriter& s) {
    s.rest(0, 0, TOVLengthWhole);
    s.rest(1, 0, TOVLengthHalf);
    s.rest(1, TOVLengthHalf, TOVLengthQuarter);
    s.rest(1, TOVLengthHalf + TOVLengthQuarter, TOVLength8th);
    s.rest(1, TOVLengthHalf + TOVLengthQuarter + TOVLength8th, TOVLength16th);
    s.rest(1, TOVLengthHalf + TOVLengthQuarter + TOVLength8th + TOVLength16th, TOVLength32nd);
    s.rest(1, TOVLengthHalf + TOVLengthQuarter + TOVLength8th + TOVLength16th + TOVLength32nd, TOVLength32nd);
    s.note(2, 0, TOVLengthWhole, {-2});
    s.note(3, 0, TOVLengthHalf + TOVLengthQuarter, {0}, true);
    s.rest(3, TOVLengthHalf + TOVLengthQuarter, TOVLengthQuarter);

    for (std::uint64_t beat = 0; beat < 4; ++beat) {
        s.beatSlash(4, beat * TOVLengthQuarter);
    }
    s.slash(5, 0, TOVLengthHalf);
    s.slash(5, TOVLengthHalf, TOVLengthQuarter);
    Note* first = s.slash(5, TOVLengthHalf + TOVLengthQuarter, TOVLength8th);
    Note* second = s.slash(5, TOVLengthHalf + TOVLengthQuarter + TOVLength8th, TOVLength8th);
    s.bar(5)->makeBeamOn({first, second});
    s.slash(6, 0, TOVLengthWhole);
    s.slash(7, 0, TOVLengthQuarter + TOVLength8th);
    s.slash(7, TOVLengthQuarter + TOVLength8th, TOVLength8th);
    s.slash(7, TOVLengthHalf, TOVLength16th);
    s.slash(7, TOVLengthHalf + TOVLength16th, TOVLength16th);
    s.slash(7, TOVLengthHalf + TOVLength8th, TOVLength8th);
    s.beatSlash(7, TOVLengthHalf + TOVLengthQuarter);

    s.note(8, 0, TOVLengthQuarter, {-8});
    s.note(8, TOVLengthQuarter, TOVLengthQuarter, {-10});
    s.note(8, TOVLengthHalf, TOVLengthQuarter, {8}, true);
    s.note(8, TOVLengthHalf + TOVLengthQuarter, TOVLengthQuarter, {10}, true);
    s.note(9, 0, TOVLengthHalf, {-6, -4, -2});
    s.note(9, TOVLengthHalf, TOVLengthHalf, {7, 9}, true);
    s.note(10, 0, TOVLengthWhole, {-9});
    s.rest(11, 0, TOVLengthQuarter + TOVLength8th);
    s.note(11, TOVLengthQuarter + TOVLength8th, TOVLength8th, {-4});
    s.note(11, TOVLengthHalf, TOVLengthHalf, {6}, true);
}

struct SongRecipe {
    const char* file;
    const char* name;
    std::vector<int> barsPerLine;
    void (*write)(SongWriter&);
};

const SongRecipe kSongs[] = {
    {"beams-and-flags.tovz", "Rhythm: beams and flags", {2, 2, 2, 2}, writeBeamsAndFlags},
    {"tuplets.tovz", "Rhythm: tuplets", {2, 2, 2, 2}, writeTuplets},
    {"ties-and-signs.tovz", "Rhythm: ties, accidentals, articulations, slurs", {3, 3, 2}, writeTiesAndSigns},
    {"rests-slashes-ledgers.tovz",
     "Rhythm: rests, slashes, long notes, ledger lines",
     {3, 3, 3, 3},
     writeRestsSlashesLedgers},
};

class RhythmSongsTest : public ::testing::Test {
protected:
    TempDir dir;
};

TEST_F(RhythmSongsTest, TheStoredSongsAreTheOnesEnteredHere) {
    const QByteArray writeTo = qgetenv("TOVRIN_WRITE_RHYTHM_SONGS");
    for (const SongRecipe& recipe : kSongs) {
        SCOPED_TRACE(recipe.file);
        SongWriter writer(recipe.name, recipe.barsPerLine);
        recipe.write(writer);
        Document* entered = writer.finish();
        TOVDocumentParser parser;
        ASSERT_TRUE(parser.saveTOVZDocumentToUrlFromDocument(dir / recipe.file, entered));
        if (!writeTo.isEmpty()) {
            const std::filesystem::path target = std::filesystem::path(writeTo.toStdString()) / recipe.file;
            ASSERT_TRUE(parser.saveTOVZDocumentToUrlFromDocument(target, entered));
        }
        // Both read back through the reader, so that what it settles on loading (ties remade) is alike.
        const Loaded fresh(dir / recipe.file);
        const Loaded stored(kFixtures / recipe.file);
        ASSERT_TRUE(fresh.ok);
        ASSERT_TRUE(stored.ok) << "missing or unreadable: " << (kFixtures / recipe.file).string();
        EXPECT_EQ(TOVDocumentDump::dumpDocument(stored.document),
                  TOVDocumentDump::dumpDocument(fresh.document));
    }
}

// Dark pixels of an area given in page points, on a page rendered at scale 2.
int inkAtScale2(const QImage& image, const Rect& r) {
    const int x0 = static_cast<int>(2 * r.x());
    const int y0 = static_cast<int>(2 * r.y());
    return tovtest::inkIn(
        image, QRect(x0, y0, static_cast<int>(2 * r.maxX()) - x0, static_cast<int>(2 * r.maxY()) - y0), 160);
}

TEST_F(RhythmSongsTest, EachSongPrintsOnePageWithInkOnEveryNoteTieAndSign) {
    layouttest::AllGlyphs glyphs;
    for (const SongRecipe& recipe : kSongs) {
        SCOPED_TRACE(recipe.file);
        const QString song = QString::fromStdString((kFixtures / recipe.file).string());
        const QString stem = QString::fromStdString((dir / recipe.file).string());
        QString errors;
        ASSERT_EQ(layouttest::runRenderTool({song, stem + ".pdf"}, &errors), 0) << errors.toStdString();
        EXPECT_EQ(tovtest::pdfMediaBoxes(stem + ".pdf"),
                  std::vector<std::vector<double>>(1, {0, 0, 595, 842}));
        ASSERT_EQ(layouttest::runRenderTool({song, "--png", stem, "--scale", "2"}, &errors), 0)
            << errors.toStdString();
        QImage image;
        ASSERT_TRUE(image.load(stem + "/page-001.png"));
        if (const QByteArray keep = qgetenv("TOVRIN_KEEP_RENDER"); !keep.isEmpty()) {
            image.save(QString::fromUtf8(keep) + "-" + recipe.file + ".png");
        }
        image = image.convertToFormat(QImage::Format_ARGB32);

        // Where the editor's own layout of the stored song puts every note, tie, accidental and
        // articulation: each is drawn there.
        const Loaded stored(kFixtures / recipe.file);
        ASSERT_TRUE(stored.ok);
        const LaidOut laidOut(stored.document);
        const std::vector<TOVNoteView*> notes = layouttest::viewsInEditor<TOVNoteView>(*laidOut.editor);
        EXPECT_GE(notes.size(), 16u);
        int ties = 0;
        int signs = 0;
        for (const TOVNoteView* view : notes) {
            SCOPED_TRACE(::testing::Message()
                         << "note at " << view->frame().x() << ", " << view->frame().y());
            EXPECT_GT(inkAtScale2(image, view->frame()), 20);
            for (const auto& unit : view->unitCellArray()) {
                for (const auto& tone : unit->toneCellArray()) {
                    for (const auto* tie : {tone->tieView().get(), tone->tieViewExtra().get()}) {
                        if (tie != nullptr) {
                            // The middle third of the band, clear of the heads it joins.
                            ++ties;
                            const Rect f = tie->frame();
                            EXPECT_GT(inkAtScale2(image, Rect(f.x() + f.width() / 3, f.y(), f.width() / 3,
                                                              f.height())),
                                      6)
                                << "tie at " << f.x() << ", " << f.y();
                        }
                    }
                    std::vector<const TOVObjectView*> hung;
                    if (tone->accidentalView()) {
                        hung.push_back(tone->accidentalView().get());
                    }
                    for (const auto& each : tone->symbolViewArray()) {
                        hung.push_back(each.get());
                    }
                    for (const TOVObjectView* sign : hung) {
                        ++signs;
                        EXPECT_GT(inkAtScale2(image, sign->frame()), 4) << "sign " << sign->symbol()->type();
                    }
                }
            }
        }
        if (std::string(recipe.file) == "ties-and-signs.tovz") {
            // Seven ties (a chord's three among them), the one across the line end drawn in two halves;
            // every accidental, articulation and slur entered.
            EXPECT_EQ(ties, 8);
            EXPECT_EQ(signs, 6 + 4 + 4 + 4 + 2 + 1);
        }
    }
}

} // namespace
