// The render test songs: with the rhythm songs they put on paper every kind of symbol, chord, barline, clef,
// key and time signature, double rows and songs of more than one page, so that a change of drawing shows
// on one of their pages (tests/layout/RenderReferencesTest.cpp and scripts/render-diff). They are entered
// here through the model's own operations and kept under tests/fixtures/render.
// TOVRIN_WRITE_RENDER_SONGS=<folder> writes them anew into the folder.
#include "SongWriter.h"

#include "document/TOVDocumentDump.h"

#include "glyphs/TOVMarkView.h"
#include "glyphs/TOVObjectView.h"
#include "glyphs/TOVObjectViewFactory.h"
#include "model/Chord.h"
#include "model/Line.h"
#include "model/Symbol.h"
#include "model/SymbolRepeat.h"
#include "model/SymbolTempo.h"
#include "model/SymbolText.h"
#include "model/SymbolTools.h"
#include "model/TOVChordElems.h"
#include "model/TOVSymbolTypes.h"
#include "model/TOVUnitTypes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using layouttest::Loaded;
using layouttest::SongWriter;
using platform::Rect;
using tovtest::LineSpec;
using tovtest::PageSpec;

namespace {

constexpr int kKeyCount = 14;
constexpr int kTimeCount = 14;
constexpr int kBarlineCount = 8; // every kind a file stores

const std::filesystem::path kFixtures = std::filesystem::path(TOVRIN_TEST_FIXTURES) / "render";

// A song of single lines of four bars: a header slot and nine lines on the first page, ten on the others.
std::vector<PageSpec> singlePages(int pages) {
    std::vector<PageSpec> made;
    for (int page = 0; page < pages; ++page) {
        // Only the first page has the song header's slot; a song file keeps no other line without bars.
        PageSpec layout{10, {}};
        if (page == 0) {
            layout.lines.push_back(LineSpec{0, 0, false});
        }
        while (layout.lines.size() < 10) {
            layout.lines.push_back(LineSpec{4, 4, false});
        }
        made.push_back(layout);
    }
    return made;
}

// Lines of two bars, roomy enough for two chord symbols a bar behind a key signature of seven: nine on the
// first page, five on the second, then two lines of four bars.
std::vector<PageSpec> chordPages() {
    PageSpec first{10, {LineSpec{0, 0, false}}};
    PageSpec second{10, {}};
    first.lines.insert(first.lines.end(), 9, LineSpec{2, 2, false});
    second.lines.insert(second.lines.end(), 5, LineSpec{2, 2, false});
    second.lines.insert(second.lines.end(), 2, LineSpec{4, 4, false});
    return {first, second};
}

// The view's natural size, which a drop from the palette gives a new symbol.
platform::Size naturalSize(int type) {
    TOVObjectViewFactory* factory = TOVUtils::objectViewFactory();
    const auto view = factory ? factory->symbolObjectViewWithSymbolTypeFontID(type, "Default") : nullptr;
    return view ? view->defaultViewSize() : platform::Size{};
}

// A symbol of the type at the point of the bar (its coordinates), sized as a drop makes it.
Symbol* putSymbol(SongWriter& s, std::uint64_t num, int type, platform::Point at, bool lower = false) {
    Bar* bar = s.bar(num, lower);
    EXPECT_TRUE(bar->canInsertSymbol(type)) << std::hex << type;
    const platform::Size size = naturalSize(type);
    const Rect frame(at, size);
    const int category = type & TOVSymbolCategoryMask;
    Symbol* made = category == TOVSymbolCategoryRepeat  ? bar->createNewSymbolRepeatWithTypeFrame(type, frame)
                   : category == TOVSymbolCategoryTempo ? bar->createNewSymbolTempoWithTypeFrame(type, frame)
                                                        : bar->createNewSymbolWithTypeFrame(type, frame);
    EXPECT_NE(made, nullptr) << std::hex << type;
    if (made != nullptr) {
        made->setInitialSize(size);
    }
    s.context().processPendingChanges();
    return made;
}

// Every kind of symbol a bar holds, one or two a bar, above the staff; the long rest and the repeat signs of
// previous bars in bars of their own.
void writeSymbols(SongWriter& s) {
    std::uint64_t num = 0;
    // Rehearsal marks of every family: section names, letters and numbers.
    for (const char* text : {"Intro", "Verse", "Chorus", "A", "B", "1", "2"}) {
        Bar* bar = s.bar(num++);
        const platform::Size size = naturalSize(TOVSymbolMarkIntro);
        SymbolText* mark = bar->createNewSymbolTextWithTypeFrame(TOVSymbolMarkIntro, Rect({4, -2}, size));
        ASSERT_NE(mark, nullptr);
        mark->setText(platform::AttributedString(text));
        s.context().processPendingChanges();
    }
    // The repeat family, each with what it shows: a number, a volta's text, a count of times.
    for (int type = TOVSymbolDaCapo; type <= TOVSymbolTacet; ++type) {
        Symbol* made = putSymbol(s, num++, type, {30, 0});
        auto* repeat = dynamic_cast<SymbolRepeat*>(made);
        ASSERT_NE(repeat, nullptr);
        if (type <= TOVSymbolSegno) {
            repeat->setRepeatIDNumber(type - TOVSymbolDaCapo + 1);
        } else if (type == TOVSymbolVoltaBegin) {
            repeat->setRepeatIDString(QStringLiteral("1."));
        } else if (type == TOVSymbolBisEnd) {
            repeat->setRepeatIDString(QStringLiteral("3x"));
        } else if (type == TOVSymbolRepeatTimes) {
            repeat->setRepeatIDNumber(3);
        }
    }
    s.context().processPendingChanges();
    // Dynamics, the hairpins over most of a bar.
    for (int type = TOVSymbolDynamicsFFF; type <= TOVSymbolDecrescendo; ++type) {
        putSymbol(s, num++, type, {20, 52});
    }
    // Octave lines above and below, tempo words and the metronome speed, the pushes.
    for (int type = TOVSymbolOctave8va; type <= TOVSymbolOctave15maBassa; ++type) {
        putSymbol(s, num++, type, {5, (type & 1) != 0 ? 50.0 : 0.0});
    }
    for (int type = TOVSymbolRit; type <= TOVSymbolShuffle16; ++type) {
        Symbol* made = putSymbol(s, num++, type, {10, 0});
        if (type == TOVSymbolTempoSpeed) {
            dynamic_cast<SymbolTempo*>(made)->setSpeed(132);
        }
    }
    for (int type = TOVSymbolPush8; type <= TOVSymbolPush16; ++type) {
        putSymbol(s, num++, type, {40, 0});
    }
    // A long rest of eight bars, then a bar of notes and the signs that repeat it, one, two and four bars.
    s.bar(num++)->setLongRest(8);
    for (int type = TOVSymbolRepeatPrevBar1; type <= TOVSymbolRepeatPrevBar4; ++type) {
        s.note(num, 0, TOVLengthHalf, {-2});
        s.note(num, TOVLengthHalf, TOVLengthQuarter, {-1});
        s.note(num++, TOVLengthHalf + TOVLengthQuarter, TOVLengthQuarter, {0});
        const std::uint64_t repeated = num++;
        putSymbol(s, repeated, type, {0, 0});
        // The sign stands where the bar view puts it when it is dropped.
        s.onceLaidOut([&s, repeated, type](const layouttest::LaidOut& view) {
            TOVEditorBarView* barView = layouttest::barViewNumbered(*view.editor, repeated);
            ASSERT_NE(barView, nullptr);
            for (Symbol* symbol : s.bar(repeated)->symbols()) {
                if (symbol->type() == type) {
                    symbol->setFrame(Rect(barView->positionRepeatPrevBar(type), symbol->frame().size));
                }
            }
        });
    }
}

// A chord symbol of every root, quality and tension the chord glyphs draw, with and without a bass, two a
// bar; every key and time signature and both clefs over the same bars.
void writeChordsAndSignatures(SongWriter& s) {
    const int qualities[] = {TOVChordPlainTriad, 0, 1, 2, 3, 4, 5, 6, 7, 8, 10};
    const int tensions[] = {TOVChordNoTension,
                            0,
                            1,
                            2,
                            3,
                            4,
                            5,
                            6,
                            7,
                            8,
                            9,
                            10,
                            11,
                            12,
                            13,
                            14,
                            15,
                            16,
                            17,
                            18,
                            20,
                            21,
                            22,
                            24,
                            25,
                            28,
                            29,
                            31,
                            32,
                            35,
                            36,
                            38,
                            39,
                            43,
                            45,
                            50,
                            52,
                            59,
                            66};
    constexpr int kRoots = 17;
    constexpr int kChords = 56;
    for (int i = 0; i < kChords; ++i) {
        const int root = i % kRoots;
        const int quality = qualities[i % std::size(qualities)];
        // Tensions go with a quality on the first round, alone (where they stand lower) on the second.
        const int tension = i < static_cast<int>(std::size(tensions)) ? tensions[i] : tensions[i % 13 + 1];
        const int bass = i % 5 == 4 ? (root + 7) % kRoots : TOVChordNoStep;
        const TOVChordElems elems = TOVChordElems::fromCodes(
            root, i >= static_cast<int>(std::size(tensions)) ? TOVChordPlainTriad : quality, tension, bass);
        ASSERT_NE(s.bar(i / 2)->createNewChordWithElemsTiming(elems, (i % 2) * TOVLengthHalf), nullptr) << i;
    }
    s.context().processPendingChanges();
    for (int i = 0; i < kKeyCount; ++i) {
        s.bar(static_cast<std::uint64_t>(2 * i))->setKeyType(TOVSymbolKeySharp1 + i);
    }
    for (int i = 0; i < kTimeCount; ++i) {
        s.bar(static_cast<std::uint64_t>(2 * i + 1))->setTimeType(TOVSymbolTime1_4 + i);
    }
    s.bar(29)->setTimeType(TOVSymbolTime4_4);
    s.bar(30)->setClefType(TOVSymbolClefF);
    s.note(30, 0, TOVLengthWhole, {2});
    s.bar(32)->setClefType(TOVSymbolClefG);
    s.note(32, 0, TOVLengthWhole, {-2});
}

// A double-row song: every barline kind at a bar's end and at a line's start, a melody in the upper rows
// over a rhythm of slashes and chords in the lower; the song's header texts, and the drawing tools and free
// text over the page.
void writeBarlinesAndDoubleRows(SongWriter& s) {
    Song* song = s.document()->song();
    song->setComposer(platform::AttributedString("Composer Name"));
    song->setWriter(platform::AttributedString("Writer Name"));
    song->setArranger(platform::AttributedString("Arranger Name"));
    for (int i = 0; i < kBarlineCount; ++i) {
        s.bar(static_cast<std::uint64_t>(i))->setBarLineType(TOVBarlineSingle + i);
    }
    s.bar(8)->line()->setFirstBarLineType(TOVBarlineRepeatForward);
    s.bar(11)->setBarLineType(TOVBarlineRepeatBackward);
    s.bar(12)->line()->setFirstBarLineType(TOVBarlineSingle + 3);
    for (std::uint64_t num = 0; num < 16; ++num) {
        const std::int64_t step = static_cast<std::int64_t>(num % 5);
        s.beam(num, 0, {TOVLength8th, TOVLength8th}, {-4 + step, -2 + step});
        s.note(num, TOVLengthQuarter, TOVLengthQuarter, {-1 + step});
        s.note(num, TOVLengthHalf, TOVLengthHalf, {-3 + step});
        s.slash(num, 0, TOVLengthHalf, true);
        s.slash(num, TOVLengthHalf, TOVLengthQuarter, true);
        s.beatSlash(num, TOVLengthHalf + TOVLengthQuarter, true);
        Bar* lower = s.bar(num, true);
        lower->createNewChordWithElemsTiming(
            TOVChordElems::fromCodes(static_cast<int>(num % 17), 7, TOVChordNoTension, TOVChordNoStep), 0);
        lower->createNewChordWithElemsTiming(
            TOVChordElems::fromCodes(static_cast<int>((num + 5) % 17), 3, 3, TOVChordNoStep), TOVLengthHalf);
    }
    s.context().processPendingChanges();
    Document* document = s.document();
    SymbolText* text = document->createNewSymbolTextWithTypeFrame(TOVToolFreeText, Rect(60, 770, 200, 24));
    ASSERT_NE(text, nullptr);
    text->setText(platform::AttributedString("Free text on the page"));
    const struct {
        int type;
        Rect frame;
        double angle;
    } tools[] = {{TOVToolArrow, Rect(300, 770, 80, 12), 0},
                 {TOVToolWave, Rect(400, 775, 90, 10), 0},
                 {TOVToolLine, Rect(300, 800, 120, 4), -10}};
    for (const auto& tool : tools) {
        SymbolTools* made = document->createNewSymbolToolsWithTypeFrame(tool.type, tool.frame);
        ASSERT_NE(made, nullptr);
        made->setAngle(tool.angle);
    }
    s.context().processPendingChanges();
}

struct SongRecipe {
    const char* file;
    const char* name;
    std::vector<PageSpec> pages;
    bool doubleRow;
    void (*write)(SongWriter&);
};

const std::vector<SongRecipe>& songs() {
    static const std::vector<SongRecipe> recipes = {
        {"symbols.tovz", "Render: symbols", singlePages(2), false, writeSymbols},
        {"chords-and-signatures.tovz", "Render: chords, keys, times, clefs", chordPages(), false,
         writeChordsAndSignatures},
        {"barlines-and-double-rows.tovz",
         "Render: barlines, double rows, tools",
         {PageSpec{10,
                   {LineSpec{0, 0, false}, LineSpec{4, 4, true}, LineSpec{4, 4, true}, LineSpec{4, 4, true},
                    LineSpec{4, 4, true}}}},
         true,
         writeBarlinesAndDoubleRows},
    };
    return recipes;
}

TEST(RenderSongsTest, TheStoredSongsAreTheOnesEnteredHere) {
    layouttest::AllGlyphs glyphs;
    TempDir dir;
    const QByteArray writeTo = qgetenv("TOVRIN_WRITE_RENDER_SONGS");
    for (const SongRecipe& recipe : songs()) {
        SCOPED_TRACE(recipe.file);
        SongWriter writer(recipe.name, recipe.pages, recipe.doubleRow);
        recipe.write(writer);
        Document* entered = writer.finish();
        TOVDocumentParser parser;
        ASSERT_TRUE(parser.saveTOVZDocumentToUrlFromDocument(dir / recipe.file, entered))
            << parser.failureReason();
        if (!writeTo.isEmpty()) {
            const std::filesystem::path target = std::filesystem::path(writeTo.toStdString()) / recipe.file;
            ASSERT_TRUE(parser.saveTOVZDocumentToUrlFromDocument(target, entered));
        }
        const Loaded fresh(dir / recipe.file);
        const Loaded stored(kFixtures / recipe.file);
        ASSERT_TRUE(fresh.ok);
        ASSERT_TRUE(stored.ok) << "missing or unreadable: " << (kFixtures / recipe.file).string();
        EXPECT_EQ(TOVDocumentDump::dumpDocument(stored.document),
                  TOVDocumentDump::dumpDocument(fresh.document));
    }
}

} // namespace
