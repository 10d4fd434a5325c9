#include "FakeLayoutController.h"
#include "support/ImageInk.h"

#include "document/TOVDocumentDump.h"
#include "document/TOVDocumentParser.h"
#include "glyphs/GlyphServices.h"
#include "glyphs/TOVChordObjectView.h"
#include "layout/TOVEditorBarView.h"
#include "layout/TOVEditorView.h"
#include "model/Bar.h"
#include "model/Chord.h"
#include "model/Document.h"
#include "model/Note.h"
#include "model/NoteTone.h"
#include "model/NoteUnit.h"
#include "model/Page.h"
#include "model/Song.h"
#include "model/SymbolRepeat.h"
#include "model/SymbolTempo.h"
#include "model/SymbolText.h"
#include "model/TOVSymbolTypes.h"
#include "notation/TOVNoteView.h"
#include "notation/TOVNoteViewFactory.h"
#include "platform/data/ManagedObjectContext.h"
#include "platform/foundation/Gzip.h"
#include "platform/graphics/Font.h"
#include "support/LayoutBuilder.h"
#include "support/PdfPages.h"
#include "support/SongBuilder.h"
#include "support/TempDir.h"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <functional>
#include <span>
#include <sstream>

namespace {

struct ToolRun {
    int status = -1;
    bool crashed = false;
    QString errors;
};

// Runs tovz-render with the arguments and waits for it.
ToolRun render(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral(TOVZ_RENDER_PATH), arguments);
    ToolRun run;
    if (!process.waitForFinished(120000)) {
        process.kill();
        return run;
    }
    run.crashed = process.exitStatus() != QProcess::NormalExit;
    run.status = process.exitCode();
    run.errors = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// The lines (no error text beyond one line: the message ends with the only line break).
int lineCount(const QString& text) {
    return static_cast<int>(text.count(u'\n'));
}

// A new song as the document window makes it, named "Name", saved; with more bars it runs onto further
// pages. Answers the number of pages.
std::size_t saveSong(const std::filesystem::path& file, std::uint64_t moreBars) {
    auto context = tovtest::makeSongContext();
    Document* document = tovtest::makeNewSong(*context, false);
    document->song()->setName(platform::AttributedString("Name"));
    if (moreBars > 0) {
        document->createNewBarsBehindBarLength(tovtest::findBar(document, document->maxBarNumber()),
                                               moreBars);
    }
    TOVDocumentParser parser;
    EXPECT_TRUE(parser.saveTOVZDocumentToUrlFromDocument(file, document));
    return document->pages().size();
}

// The dark pixels of an area given in page points, on a page rendered at scale 2.
int inkAtScale2(const QImage& image, const platform::Rect& r) {
    const int x0 = static_cast<int>(2 * r.x());
    const int y0 = static_cast<int>(2 * r.y());
    return tovtest::inkIn(
        image, QRect(x0, y0, static_cast<int>(2 * r.maxX()) - x0, static_cast<int>(2 * r.maxY()) - y0), 160);
}

class RenderToolTest : public ::testing::Test {
protected:
    TempDir dir;
    QString path(const std::string& name) const { return QString::fromStdString((dir / name).string()); }

    // Saves the document as <name>.tovz, has tovz-render draw it at scale 2 into the folder <name> and
    // reads the first page back (kept under TOVRIN_KEEP_RENDER, with "-<name>.png" appended when
    // keepSuffix is set). Fails the test when any step fails.
    void renderFirstPage(Document* document, const std::string& name, QImage& image,
                         bool keepSuffix = false) {
        TOVDocumentParser parser;
        ASSERT_TRUE(parser.saveTOVZDocumentToUrlFromDocument(dir / (name + ".tovz"), document));
        const ToolRun run = render({path(name + ".tovz"), "--png", path(name), "--scale", "2"});
        ASSERT_EQ(run.status, 0) << run.errors.toStdString();
        ASSERT_TRUE(image.load(path(name + "/page-001.png")));
        if (const QByteArray keep = qgetenv("TOVRIN_KEEP_RENDER"); !keep.isEmpty()) {
            image.save(keepSuffix ? QString::fromUtf8(keep) + "-" + QString::fromStdString(name) + ".png"
                                  : QString::fromUtf8(keep));
        }
        image = image.convertToFormat(QImage::Format_ARGB32);
    }
};

TEST_F(RenderToolTest, ASavedSongBecomesOneA4PagePerPage) {
    struct Case {
        const char* name;
        std::uint64_t moreBars;
    };
    for (const Case& c : {Case{"default", 0}, Case{"longer", 100}}) {
        SCOPED_TRACE(c.name);
        const std::string song = std::string(c.name) + ".tovz";
        const std::size_t pages = saveSong(dir / song, c.moreBars);
        if (c.moreBars > 0) {
            EXPECT_GE(pages, 3u);
        }
        const QString pdf = path(std::string(c.name) + ".pdf");
        const ToolRun run = render({path(song), pdf});
        ASSERT_EQ(run.status, 0) << run.errors.toStdString();
        EXPECT_EQ(tovtest::pdfMediaBoxes(pdf), std::vector<std::vector<double>>(pages, {0, 0, 595, 842}));
    }
}

TEST_F(RenderToolTest, PngPagesAreWhiteSheetsWithTheirStavesAndFooters) {
    const std::size_t pages = saveSong(dir / "song.tovz", 100);
    ASSERT_GE(pages, 2u);
    const ToolRun run = render({path("song.tovz"), "--png", path("pages"), "--scale", "2"});
    ASSERT_EQ(run.status, 0) << run.errors.toStdString();
    for (std::size_t page = 1; page <= pages + 1; ++page) {
        SCOPED_TRACE(page);
        char name[32];
        std::snprintf(name, sizeof name, "pages/page-%03zu.png", page);
        QImage image;
        if (page > pages) {
            EXPECT_FALSE(std::filesystem::exists(dir / name));
            continue;
        }
        ASSERT_TRUE(image.load(path(name)));
        image = image.convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(image.size(), QSize(1190, 1684));
        // Opaque white wherever nothing is drawn (the page fills its own sheet), dark pixels of the footer
        // only in its band, 20 points above the bottom edge, around the middle.
        int footer = 0;
        int elsewhere = 0;
        int staves = 0;
        int seeThrough = 0;
        for (int y = 0; y < image.height(); ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                const QRgb pixel = line[x];
                seeThrough += qAlpha(pixel) != 255 ? 1 : 0;
                const bool dark = qRed(pixel) < 160;
                if (y >= 2 * 795 && y < 2 * 822 && x > 2 * 230 && x < 2 * 365) {
                    footer += dark ? 1 : 0;
                } else if (y >= 2 * 40 && y < 2 * 802 && x >= 2 * 20 && x < 2 * 575) {
                    // The lines' slots: staves, barlines and braces.
                    staves += dark ? 1 : 0;
                } else {
                    elsewhere += dark ? 1 : 0;
                }
            }
        }
        EXPECT_EQ(seeThrough, 0);
        EXPECT_EQ(image.pixel(0, 0), qRgba(255, 255, 255, 255));
        EXPECT_GT(footer, 50);
        EXPECT_GT(staves, 1000);
        EXPECT_EQ(elsewhere, 0);
    }
}

TEST_F(RenderToolTest, FilesItCannotReadGiveOneLineAndAFailingStatus) {
    saveSong(dir / "good.tovz", 0);
    std::ifstream in(dir / "good.tovz", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(bytes.size(), 40u);
    dir.write("truncated.tovz", bytes.substr(0, bytes.size() / 2));
    dir.write("garbage.tovz", std::string(5000, '\x8b'));
    dir.write("empty.tovz", "");
    dir.write("notgzip.tovz", "<document/>");
    std::filesystem::create_directories(dir / "folder.tovz");

    for (const char* name :
         {"truncated.tovz", "garbage.tovz", "empty.tovz", "notgzip.tovz", "folder.tovz", "missing.tovz"}) {
        SCOPED_TRACE(name);
        const ToolRun run = render({path(name), path("out.pdf")});
        EXPECT_FALSE(run.crashed);
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(run.errors.startsWith("tovz-render: ")) << run.errors.toStdString();
        EXPECT_EQ(lineCount(run.errors), 1) << run.errors.toStdString();
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "out.pdf"));

    // An output it cannot write, and wrong use.
    const ToolRun unwritable = render({path("good.tovz"), path("no/such/folder/out.pdf")});
    EXPECT_EQ(unwritable.status, 1);
    for (const QStringList& arguments :
         {QStringList{}, QStringList{path("good.tovz")}, QStringList{path("good.tovz"), "a.pdf", "b.pdf"},
          QStringList{path("good.tovz"), "--png"}, QStringList{path("good.tovz"), "a.pdf", "--scale", "2"},
          QStringList{path("good.tovz"), "--png", path("p"), "--scale", "0"},
          QStringList{path("good.tovz"), "--png", path("p"), "--scale", "x"}}) {
        EXPECT_EQ(render(arguments).status, 2) << arguments.join(' ').toStdString();
    }
}

// Small hostile songs load and lay out their first page offscreen. Each row is named by what the reader
// keeps of it, which is what layout then meets; the row checks that the opened song holds it. No time is
// asserted: the test's own time limit is the guard against layout that grows faster than the song.
TEST_F(RenderToolTest, SmallHostileSongsLoadAndLayOutTheirFirstPage) {
    const auto song = [](const std::string& bar, const std::string& title) {
        return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<tovrin data-struct-version=\"1.5\"><pages><page "
               "a-page=\"10\"/></pages><lines><song rows=\"1\"><title "
               "type=\"song-property\"><formatted-texts>"
               "<formatted-text font-size=\"28\"><arbitrary-text>" +
               title +
               "</arbitrary-text></formatted-text></formatted-texts></title></song><line partition=\"4\" "
               "parts=\"1\"/></lines><measure-sets><measure-set><part1 width=\"0.25\">" +
               bar + "</part1></measure-set></measure-sets></tovrin>\n";
    };
    const auto harmony = [](int timing, int duration, const std::string& notes) {
        return "<harmony timing=\"" + std::to_string(timing) + "\" duration=\"" + std::to_string(duration) +
               "\" stem-direction=\"up\"><notes>" + notes + "</notes></harmony>";
    };
    const auto pitch = [](std::int64_t level) { return "<pitch level=\"" + std::to_string(level) + "\"/>"; };
    const std::int64_t top = NoteTone::maxDrawableLevel;
    // 4,000 tones in one unit, going round the drawable levels: the unit keeps one on each.
    std::string tones;
    for (std::int64_t i = 0; i < 4000; ++i) {
        tones += pitch(i % (2 * top + 1) - top);
    }
    // 4,000 thirty-seconds, going round the ticks of one 7/4 bar: the bar keeps the first on each tick, a
    // bar as full of notes as any can be.
    constexpr int thirtySecond = 30;
    constexpr int inSevenFour = 7 * 8;
    std::string notes;
    for (int i = 0; i < 4000; ++i) {
        notes += harmony(i % inSevenFour * thirtySecond, thirtySecond, pitch(i % 15 - 7));
    }
    struct Case {
        const char* name;
        std::string xml;
        // What the opened song holds: its notes, the tones of its fullest unit and its title's length.
        std::size_t notes;
        std::size_t tonesInAUnit;
        qsizetype title = 1;
    };
    const Case cases[] = {
        {"a unit with a tone on each of the 573 drawable levels",
         song("<harmonies>" + harmony(0, 240, tones) + "</harmonies>", "T"), 1, 2 * top + 1},
        {"a 7-4 bar filled with 56 thirty-seconds",
         song("<time type=\"time-7_4\"/><harmonies>" + notes + "</harmonies>", "T"), inSevenFour, 1},
        {"tones on the highest and the lowest drawable level",
         song("<harmonies>" + harmony(0, 240, pitch(10'000'000)) + harmony(240, 240, pitch(-10'000'000)) +
                  "</harmonies>",
              "T"),
         2, 1},
        {"a 1 MB title, cut to 65536 characters", song("", std::string(1024 * 1024, 'x')), 0, 0,
         TOVDocumentParser::maxTextLength},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto packed = platform::gzipDeflate(
            std::span(reinterpret_cast<const std::uint8_t*>(c.xml.data()), c.xml.size()));
        ASSERT_TRUE(packed);
        // The song as the tool opens it.
        auto context = tovtest::makeSongContext();
        auto* document = context->insertNewObject<Document>("Document");
        TOVDocumentParser parser;
        ASSERT_TRUE(parser.loadTOVZDocumentFromDataToDocument(*packed, document));
        parser.completeOpenedDocument(document);
        std::size_t noteCount = 0;
        std::size_t tonesInAUnit = 0;
        for (const Bar* bar : document->allBarsInWalkOrder()) {
            for (const Note* note : bar->noteArray()) {
                ++noteCount;
                for (const NoteUnit* unit : note->unitArray()) {
                    tonesInAUnit = std::max(tonesInAUnit, unit->toneArray().size());
                }
            }
        }
        EXPECT_EQ(noteCount, c.notes);
        EXPECT_EQ(tonesInAUnit, c.tonesInAUnit);
        EXPECT_EQ(document->song()->name()->length(), c.title);

        const std::string file = "row" + std::to_string(&c - cases);
        dir.write(file + ".tovz", std::string(packed->begin(), packed->end()));
        const ToolRun run = render({path(file + ".tovz"), "--png", path(file)});
        EXPECT_FALSE(run.crashed);
        EXPECT_EQ(run.status, 0) << run.errors.toStdString();
        EXPECT_TRUE(std::filesystem::exists(dir / file / "page-001.png"));
    }
}

TEST_F(RenderToolTest, ClefsKeysTimesAndBarSymbolsOnSingleAndDoubleLines) {
    // A single line, a double line and a single line of four bars each: clef, key and time at the start
    // of the song, a change of clef, key and time at the start of the third line and one time change
    // inside a line; marks, repeats, voltas, codas, dynamics, octave lines, tempo marks and long rests.
    auto context = tovtest::makeSongContext();
    Document* document = tovtest::makeLayout(
        *context, {tovtest::PageSpec{10, {{0, 0, false}, {4, 4, false}, {4, 4, true}, {4, 4, false}}}});
    document->createNewSong()->setName(platform::AttributedString("Symbols"));
    auto bar = [&](std::uint64_t num, bool lower = false) { return tovtest::findBar(document, num, lower); };
    bar(0)->setClefType(TOVSymbolClefG);
    bar(0)->setKeyType(TOVSymbolKeySharp2);
    bar(0)->setTimeType(TOVSymbolTime4_4);
    bar(2)->setTimeType(TOVSymbolTime3_4);
    bar(4)->setClefType(TOVSymbolClefG);
    bar(4, true)->setClefType(TOVSymbolClefF);
    bar(8)->setClefType(TOVSymbolClefG);
    bar(8)->setKeyType(TOVSymbolKeyFlat2);
    bar(8)->setTimeType(TOVSymbolTimeCommon);
    // A mark keeps its text in the file, as one dropped from the palette gets it.
    bar(0)
        ->createNewSymbolTextWithTypeFrame(TOVSymbolMarkA, platform::Rect(60, 0, 0, 0))
        ->setText(platform::AttributedString("A"));
    bar(0)->createNewSymbolWithTypeFrame(TOVSymbolDynamicsP, platform::Rect(70, 52, 0, 0));
    bar(1)->createNewSymbolRepeatWithTypeFrame(TOVSymbolSegno, platform::Rect(10, 2, 0, 0));
    bar(1)->createNewSymbolWithTypeFrame(TOVSymbolCrescendo, platform::Rect(10, 54, 0, 0));
    bar(2)->createNewSymbolTempoWithTypeFrame(TOVSymbolRit, platform::Rect(40, 0, 0, 0));
    bar(3)->createNewSymbolRepeatWithTypeFrame(TOVSymbolVoltaBegin, platform::Rect(4, 0, 0, 0));
    bar(3)->createNewSymbolRepeatWithTypeFrame(TOVSymbolVoltaEnd, platform::Rect(66, 0, 0, 0));
    bar(3)->createNewSymbolWithTypeFrame(TOVSymbolDynamicsF, platform::Rect(20, 52, 0, 0));
    bar(4)->createNewSymbolTempoWithTypeFrame(TOVSymbolTempoSpeed, platform::Rect(40, 0, 0, 0));
    bar(5)->createNewSymbolWithTypeFrame(TOVSymbolOctave8va, platform::Rect(10, 0, 0, 0));
    bar(6, true)->createNewSymbolWithTypeFrame(TOVSymbolPush8, platform::Rect(40, 52, 0, 0));
    bar(7)->createNewSymbolRepeatWithTypeFrame(TOVSymbolToCoda, platform::Rect(60, 2, 0, 0));
    bar(8)->createNewSymbolRepeatWithTypeFrame(TOVSymbolCoda, platform::Rect(50, 2, 0, 0));
    bar(9)->setLongRest(8);
    bar(10)->createNewSymbolRepeatWithTypeFrame(TOVSymbolRepeatPrevBar1, platform::Rect(55, 32, 0, 0));
    bar(11)->createNewSymbolRepeatWithTypeFrame(TOVSymbolDaCapo, platform::Rect(60, 2, 0, 0));
    QImage image;
    renderFirstPage(document, "symbols", image);
    if (HasFatalFailure()) {
        return;
    }
    auto darkInRect = [&](double x, double y, double w, double h) {
        int dark = 0;
        for (int py = static_cast<int>(2 * y); py < static_cast<int>(2 * (y + h)); ++py) {
            for (int px = static_cast<int>(2 * x); px < static_cast<int>(2 * (x + w)); ++px) {
                dark += qRed(image.pixel(px, py)) < 128 ? 1 : 0;
            }
        }
        return dark;
    };
    // Lines of 76.0 from y 40; the first line of bars is the second slot. The treble clef stands at the
    // start of the song's first bar, over the staff, before its first barline; the single staff lines
    // alone darken only a few pixels there.
    const double firstLineTop = 40 + 76.0;
    EXPECT_GT(darkInRect(44, firstLineTop + 15, 8, 40), 150);
    // The long rest's thick bar runs through the middle of bar 9 (second bar of the last line).
    const double lastLineTop = 40 + 4 * 76.0;
    EXPECT_GT(darkInRect(40 + 130 + 20, lastLineTop + 36, 20, 4), 60);
}

TEST_F(RenderToolTest, EveryBarlineKindOnSingleAndDoubleLines) {
    // A page with a single line, a double line and a single line; the bars walk through the eight kinds.
    auto context = tovtest::makeSongContext();
    Document* document = tovtest::makeLayout(
        *context, {tovtest::PageSpec{10, {{0, 0, false}, {4, 4, false}, {4, 4, true}, {4, 4, false}}}});
    document->createNewSong()->setName(platform::AttributedString("Barlines"));
    for (std::uint64_t num = 0; num < 12; ++num) {
        tovtest::findBar(document, num)->setBarLineType(TOVBarlineSingle + static_cast<int>(num % 8));
    }
    QImage image;
    renderFirstPage(document, "barlines", image);
    if (HasFatalFailure()) {
        return;
    }
    // Lines of 76.2 from y 40: the double line's barlines (after its second bar, x 40 + 2 * 130) run
    // through the gap between its two staves; a single line's do not reach into the next slot.
    auto darkInColumn = [&](double x, double fromY, double toY) {
        int dark = 0;
        for (int y = static_cast<int>(2 * fromY); y < static_cast<int>(2 * toY); ++y) {
            for (int dx = -2; dx <= 2; ++dx) {
                dark += qRed(image.pixel(static_cast<int>(2 * x) + dx, y)) < 160 ? 1 : 0;
            }
        }
        return dark;
    };
    const double lineHeight = 76.0;
    const double doubleTop = 40 + 2 * lineHeight;
    EXPECT_GT(darkInColumn(300, doubleTop + lineHeight - 10, doubleTop + lineHeight + 10), 10);
    EXPECT_EQ(darkInColumn(300, 40 + 2 * lineHeight - 10, 40 + 2 * lineHeight + 10), 0);
}

TEST_F(RenderToolTest, AChordChartShowsItsChordsOnTheTimeGridAboveTheStaves) {
    // A chart without rhythms: a single line, a double line and a single line, one to four chords a bar.
    auto context = tovtest::makeSongContext();
    Document* document = tovtest::makeLayout(
        *context, {tovtest::PageSpec{10, {{0, 0, false}, {4, 4, false}, {4, 4, true}, {4, 4, false}}}});
    document->createNewSong()->setName(platform::AttributedString("Changes"));
    struct Placed {
        std::uint64_t bar;
        bool lower;
        std::uint64_t timing;
        TOVChordElems elems;
    };
    auto chord = [](int root, int quality = 12, int tension = 70, int bass = 17) {
        return TOVChordElems::fromCodes(root, quality, tension, bass);
    };
    const std::vector<Placed> chart = {
        {0, false, 0, chord(0, 6)},          {1, false, 0, chord(13, 7)},
        {1, false, 480, chord(3, 7)},        {2, false, 0, chord(7, 6)},
        {2, false, 480, chord(10, 3)},       {3, false, 0, chord(0)},
        {3, false, 240, chord(13, 3)},       {3, false, 480, chord(3, 7)},
        {3, false, 720, chord(10, 3)},       {4, false, 0, chord(8, 2)},
        {4, false, 480, chord(16, 3)},       {4, true, 0, chord(6, 7)},
        {4, true, 480, chord(13, 3, 3)},     {5, false, 0, chord(6, 1)},
        {5, true, 0, chord(6, 1)},           {6, false, 0, chord(0, 12, 70, 6)},
        {6, false, 480, chord(7, 12, 0)},    {7, false, 0, chord(15, 6)},
        {7, false, 720, chord(5, 3)},        {8, false, 0, chord(12, 6)},
        {8, false, 480, chord(2, 3)},        {9, false, 0, chord(10, 7)},
        {9, false, 240, chord(0, 3)},        {9, false, 480, chord(7)},
        {9, false, 720, chord(3, 3)},        {10, false, 0, chord(10, 3, 3)},
        {11, false, 0, chord(0, 12, 70, 10)}};
    for (const Placed& p : chart) {
        tovtest::findBar(document, p.bar, p.lower)->createNewChordWithElemsTiming(p.elems, p.timing);
    }
    context->processPendingChanges();
    QImage image;
    renderFirstPage(document, "chords", image);
    if (HasFatalFailure()) {
        return;
    }

    // Where the editor's own layout of the same song puts each chord (page 0 at the editor's origin).
    glyphtest::GlyphServices glyphs;
    glyphs.chords->setProfile(TOVUtils::currentChordNotationProfile());
    layouttest::FakeLayoutController controller;
    auto editor = std::make_shared<TOVEditorView>(platform::Rect(0, 0, 595, 842));
    controller.editor = editor.get();
    editor->setDelegate(&controller);
    editor->setDocData(document);
    auto darkIn = [&](const platform::Rect& r) { return inkAtScale2(image, r); };
    for (const Placed& p : chart) {
        SCOPED_TRACE(::testing::Message()
                     << "bar " << p.bar << (p.lower ? " lower" : "") << " at " << p.timing);
        TOVEditorBarView* barView = editor->barViewFromNumberInLower(p.bar, p.lower);
        ASSERT_NE(barView, nullptr);
        const auto view = barView->chordViewFromTiming(p.timing);
        ASSERT_NE(view, nullptr);
        const platform::Rect box = view->frame();
        ASSERT_GT(box.width(), 4);
        // On the bar's time grid, above its top staff line, and drawn there.
        const platform::Point grid = barView->convertPointToView(
            platform::Point{barView->xPosOfChordInGridMode(p.timing), 0}, editor.get());
        EXPECT_NEAR(box.x(), grid.x, 1e-6);
        const double staffTop =
            barView->convertPointToView(platform::Point{0, barView->posY5LinesTop()}, editor.get()).y;
        EXPECT_LE(box.maxY() - view->offsetY(), staffTop - 7.9);
        EXPECT_GT(darkIn(box), 20);
        // The chord stands clear of the chord before it in the bar.
        if (p.timing > 0) {
            const auto before = barView->chordViewFromTiming(barView->lastValidChordTimingBefore(p.timing));
            ASSERT_NE(before, nullptr);
            EXPECT_LT(before->frame().maxX(), box.x());
        }
    }
    editor->setDocData(nullptr);
}

TEST_F(RenderToolTest, NotesStandInTheirBarsOverSeveralBarsAndLines) {
    // Wholes, halves, quarters, eighths, rests and chords over two lines and a double line, in 4/4.
    auto context = tovtest::makeSongContext();
    Document* document = tovtest::makeLayout(
        *context, {tovtest::PageSpec{10, {{0, 0, false}, {4, 4, false}, {4, 4, false}, {4, 4, true}}}});
    document->createNewSong()->setName(platform::AttributedString("Rhythms"));
    struct Placed {
        std::uint64_t bar;
        bool lower;
        std::uint64_t from;
        std::uint64_t length;
        std::vector<std::int64_t> levels; // none: a rest
    };
    const std::vector<Placed> music = {
        {0, false, 0, 960, {-2}},
        {1, false, 0, 480, {0}},
        {1, false, 480, 480, {-4, -2, 0}},
        {2, false, 0, 240, {-6}},
        {2, false, 240, 240, {-3}},
        {2, false, 480, 240, {1}},
        {2, false, 720, 240, {4}},
        {3, false, 0, 240, {}},
        {3, false, 240, 240, {2, 4, 6}},
        {3, false, 480, 480, {}},
        {4, false, 0, 960, {-4, -2, 0, 2}},
        {5, false, 0, 120, {-1}},
        {5, false, 120, 120, {1}},
        {5, false, 240, 240, {-9}},
        {5, false, 480, 240, {8}},
        {5, false, 720, 240, {}},
        {6, false, 0, 480, {5}},
        {6, false, 480, 240, {}},
        {6, false, 720, 240, {-5}},
        {7, false, 0, 960, {}},
        {8, false, 0, 240, {0}},
        {8, false, 240, 720, {-2}},
        {8, true, 0, 480, {-6}},
        {8, true, 480, 480, {}},
        {9, false, 0, 960, {3}},
        {9, true, 0, 240, {-3, -1}},
        {9, true, 240, 240, {-5}},
        {9, true, 480, 480, {-4}},
    };
    for (const Placed& p : music) {
        Bar* bar = tovtest::findBar(document, p.bar, p.lower);
        Note* note = p.levels.empty()
                         ? bar->createNewSingleRestFromLength(p.from, p.length)
                         : bar->createNewSingleMeloFromLengthLevel(p.from, p.length, p.levels[0]);
        context->processPendingChanges();
        for (std::size_t i = 1; i < p.levels.size(); ++i) {
            note->firstUnit()->createNewToneWithLevel(p.levels[i]);
        }
        context->processPendingChanges();
    }
    QImage image;
    renderFirstPage(document, "notes", image);
    if (HasFatalFailure()) {
        return;
    }

    // Where the editor's own layout of the same song puts each note (page 0 at the editor's origin).
    glyphtest::GlyphServices glyphs;
    TOVUtils::overrideResourceDirectory(std::string(TOVRIN_TEST_RESOURCES));
    TOVNoteViewFactory notes;
    notes.installPluginFontID("Default");
    TOVUtils::overrideResourceDirectory(std::nullopt);
    TOVUtils::Services services;
    services.objectViewFactory = [&glyphs] { return glyphs.objects.get(); };
    services.chordViewFactory = [&glyphs] { return glyphs.chords.get(); };
    services.noteViewFactory = [&notes] { return &notes; };
    TOVUtils::registerServices(services);
    layouttest::FakeLayoutController controller;
    auto editor = std::make_shared<TOVEditorView>(platform::Rect(0, 0, 595, 842));
    controller.editor = editor.get();
    editor->setDelegate(&controller);
    editor->setDocData(document);
    auto darkIn = [&](const platform::Rect& r) { return inkAtScale2(image, r); };
    const Placed* previous = nullptr;
    double previousX = 0;
    for (const Placed& p : music) {
        SCOPED_TRACE(::testing::Message()
                     << "bar " << p.bar << (p.lower ? " lower" : "") << " at " << p.from);
        TOVEditorBarView* barView = editor->barViewFromNumberInLower(p.bar, p.lower);
        ASSERT_NE(barView, nullptr);
        Note* note = tovtest::findBar(document, p.bar, p.lower)->noteAtXPos(p.from);
        const auto view = barView->noteViewFromData(note);
        ASSERT_NE(view, nullptr);
        const platform::Rect box = view->frame();
        // Inside its bar's notes area, after the note before it in the bar, and drawn there.
        const platform::Rect area = barView->convertRectToView(barView->rectangleNotesArea(), editor.get());
        EXPECT_GE(box.x(), area.x() - 1.5);
        EXPECT_LE(box.maxX(), area.maxX());
        if (previous != nullptr && previous->bar == p.bar && previous->lower == p.lower) {
            EXPECT_GT(box.x(), previousX);
        }
        previous = &p;
        previousX = box.x();
        EXPECT_GT(darkIn(box), 20);
    }
    editor->setDocData(nullptr);
    TOVUtils::registerServices({});
}

// The smallest rectangle (points, at scale 2) holding the dark pixels of an area of the page; empty when
// there are none.
QRectF darkBox(const QImage& image, const QRectF& area) {
    QRectF box;
    for (int y = static_cast<int>(2 * area.top()); y < static_cast<int>(2 * area.bottom()); ++y) {
        for (int x = static_cast<int>(2 * area.left()); x < static_cast<int>(2 * area.right()); ++x) {
            if (qRed(image.pixel(x, y)) < 160) {
                box = box.united(QRectF(x / 2.0, y / 2.0, 0.5, 0.5));
            }
        }
    }
    return box;
}

TEST_F(RenderToolTest, TheSongHeaderReadsLikeAPrintedLeadSheet) {
    auto inFont = [](const QString& text, double size) {
        platform::TextAttributes attributes;
        attributes.font = platform::TextFont{"DejaVuSans", size};
        return platform::AttributedString(text, attributes);
    };
    struct Case {
        const char* file;
        std::array<QString, 4> credits;
    };
    const Case cases[] = {
        {"all-credits", {"Pat Producer", "Al Arranger", "Ann Composer", "Wendy Writer"}},
        {"composer-only", {"", "", "Ann Composer", ""}},
    };
    const double nameHeight = platform::Font::namedOrUserFont("DejaVuSans", 20).sizeOfString("Autumn").height;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        auto context = tovtest::makeSongContext();
        Document* document = tovtest::makeLayout(
            *context, {tovtest::PageSpec{10, {{0, 0, false}, {4, 4, false}, {4, 4, false}}}});
        Song* song = document->createNewSong();
        song->setName(inFont("Autumn Leaves", 20));
        const std::array<std::function<void(const platform::AttributedString&)>, 4> setters{
            [song](const platform::AttributedString& t) { song->setProducer(t); },
            [song](const platform::AttributedString& t) { song->setArranger(t); },
            [song](const platform::AttributedString& t) { song->setComposer(t); },
            [song](const platform::AttributedString& t) { song->setWriter(t); }};
        int shown = 0;
        for (std::size_t i = 0; i < setters.size(); ++i) {
            if (!c.credits[i].isEmpty()) {
                setters[i](inFont(c.credits[i], 10));
                ++shown;
            }
        }
        QImage image;
        renderFirstPage(document, c.file, image, true);
        if (HasFatalFailure()) {
            return;
        }

        // The name at the top of the first slot, centred on the page.
        const QRectF name = darkBox(image, QRectF(40, 40, 520, nameHeight));
        ASSERT_FALSE(name.isEmpty());
        EXPECT_NEAR(name.center().x(), 297.5, 2.0);
        // Every credit on its own row under the name, right-aligned 35 from the page's right edge (its
        // field is 5 wider than its text), with its label in a column left of the widest credit; the rows
        // share the rest of the slot.
        const platform::Font creditFont = platform::Font::namedOrUserFont("DejaVuSans", 10);
        const platform::Font labelFont = platform::Font::namedOrUserFont("Lucida Grande", 10);
        double widestCredit = 0;
        for (const QString& credit : c.credits) {
            widestCredit = credit.isEmpty() ? widestCredit
                                            : std::max(widestCredit, creditFont.widthOfString(credit) + 5);
        }
        double widestLabel = 0;
        for (const char* label : {"Produced by", "Arranged by", "Composed by", "Words by"}) {
            widestLabel = std::max(widestLabel, labelFont.widthOfString(label));
        }
        const double labelX = 560 - widestCredit - widestLabel - 10;
        const double rowHeight = (76 - nameHeight) / shown;
        // A line of 10-point text, and the band of each row that holds it.
        const double lineHeight = creditFont.sizeOfString("Ag").height;
        for (int row = 0; row < shown; ++row) {
            SCOPED_TRACE(row);
            const double top = 40 + nameHeight + row * rowHeight;
            const QRectF label = darkBox(image, QRectF(labelX - 2, top, widestLabel + 3, lineHeight));
            const QRectF credit = darkBox(
                image, QRectF(labelX + widestLabel + 1, top, 560 - labelX - widestLabel + 2, lineHeight));
            ASSERT_FALSE(credit.isEmpty());
            ASSERT_FALSE(label.isEmpty());
            EXPECT_NEAR(label.left(), labelX, 1.5);
            EXPECT_GT(credit.right(), 550);
            EXPECT_LE(credit.right(), 556);
            // Label and credit stand on one line.
            EXPECT_NEAR(label.top(), credit.top(), 1.0);
        }
        // Below the last row nothing more of the header, and under the name nothing left of the label
        // column.
        const double lastRowEnd = 40 + nameHeight + (shown - 1) * rowHeight + lineHeight;
        EXPECT_TRUE(darkBox(image, QRectF(40, lastRowEnd, 520, 116 - lastRowEnd)).isEmpty());
        EXPECT_TRUE(darkBox(image, QRectF(40, 40 + nameHeight, labelX - 42, 76 - nameHeight)).isEmpty());
    }
}

// The tool sets chords as the program does: in the notation the program registers (a major seventh as
// "Δ7", not "maj7"), at the width the editor gives them.
TEST_F(RenderToolTest, ChordsAreSetInTheProgramsNotation) {
    glyphtest::GlyphServices glyphs;
    const TOVChordElems majorSeventh = TOVChordElems::fromCodes(0, 6, 70, 17);
    glyphs.chords->setProfile(TOVChordNotationProfile{0, 0, 0, 0, 0, 0});
    const double spelledWidth = glyphs.chords->boundsSizeOfChordFontID(majorSeventh, "Default")->width;
    glyphs.chords->setProfile(TOVUtils::defaultChordNotationProfile());
    const double triangleWidth = glyphs.chords->boundsSizeOfChordFontID(majorSeventh, "Default")->width;
    ASSERT_GT(spelledWidth - triangleWidth, 4.0);

    auto context = tovtest::makeSongContext();
    Document* document =
        tovtest::makeLayout(*context, {tovtest::PageSpec{10, {{0, 0, false}, {4, 4, false}}}});
    document->createNewSong()->setName(platform::AttributedString("Seventh"));
    tovtest::findBar(document, 0)->createNewChordWithElemsTiming(majorSeventh, 0);
    // Slash chords over roots with and without an accidental, to be looked at (TOVRIN_KEEP_RENDER).
    tovtest::findBar(document, 1)->createNewChordWithElemsTiming(TOVChordElems::fromCodes(15, 12, 70, 2), 0);
    tovtest::findBar(document, 2)->createNewChordWithElemsTiming(TOVChordElems::fromCodes(16, 12, 70, 3), 0);
    tovtest::findBar(document, 3)->createNewChordWithElemsTiming(TOVChordElems::fromCodes(8, 7, 70, 13), 0);
    // A melody above the staff in the last bar, a sharp at its top: the line's chords stand clear of it.
    for (std::int64_t level : {8, 11}) {
        Note* high = tovtest::findBar(document, 3)
                         ->createNewSingleMeloFromLengthLevel(level == 8 ? 0 : 480, 480, level);
        ASSERT_NE(high, nullptr);
        if (level == 11) {
            high->firstUnit()->toneArray().front()->createNewAccidentalWithTypeFrame(
                TOVSymbolSharp, platform::Rect(-4.8, -6.2, 0, 0));
        }
    }
    context->processPendingChanges();
    QImage image;
    renderFirstPage(document, "seventh", image, true);
    if (HasFatalFailure()) {
        return;
    }
    // Where the editor puts the chord; the ink of the chord row from there on, to the next barline.
    layouttest::FakeLayoutController controller;
    auto editor = std::make_shared<TOVEditorView>(platform::Rect(0, 0, 595, 842));
    controller.editor = editor.get();
    editor->setDelegate(&controller);
    editor->setDocData(document);
    TOVEditorBarView* barView = editor->barViewFromNumberInLower(0, false);
    ASSERT_NE(barView, nullptr);
    const auto view = barView->chordViewFromTiming(0);
    ASSERT_NE(view, nullptr);
    const platform::Rect box = view->frame();
    editor->setDocData(nullptr);
    int left = -1;
    int right = -1;
    for (int x = static_cast<int>(2 * (box.x() - 3)); x < static_cast<int>(2 * (box.x() + 60)); ++x) {
        if (inkAtScale2(image, platform::Rect(x / 2.0, box.y() - 1, 0.5, box.height() + 2)) > 0) {
            left = left < 0 ? x : left;
            right = x;
        }
    }
    ASSERT_GE(left, 0);
    const double inkWidth = (right + 1 - left) / 2.0;
    EXPECT_NEAR(inkWidth, triangleWidth, 1.5);
}

// An old file's chords stored without a scale are measured as they are read, by the tool as by the program:
// tovz-dump shows the scale the editor's own reading gives them.
TEST_F(RenderToolTest, TovzDumpMeasuresTheUnscaledChordsOfAnOldFileAsTheProgramDoes) {
    auto context = tovtest::makeSongContext();
    Document* document = tovtest::makeNewSong(*context, false);
    Chord* chord = tovtest::findBar(document, 0)
                       ->createNewChordWithElemsTiming(TOVChordElems::fromCodes(0, 6, 70, 17), 0);
    ASSERT_NE(chord, nullptr);
    chord->setFrame(platform::Rect(10, -30, 40, 14));
    context->processPendingChanges();
    const auto bytes = TOVDocumentParser().tovzDataFromDocument(document);
    ASSERT_TRUE(bytes);
    const auto xml = platform::gzipInflate(*bytes, 1 << 24);
    ASSERT_TRUE(xml);
    std::string text(xml->begin(), xml->end());
    const std::string current = "data-struct-version=\"1.5\"";
    ASSERT_NE(text.find(current), std::string::npos);
    text.replace(text.find(current), current.size(), "data-struct-version=\"1.4\"");
    const auto old =
        platform::gzipDeflate(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    ASSERT_TRUE(old);
    {
        std::ofstream out(dir / "old.tovz", std::ios::binary);
        out.write(reinterpret_cast<const char*>(old->data()), static_cast<std::streamsize>(old->size()));
    }

    // The scale lines of a dump.
    auto scales = [](const std::string& dump) {
        std::string lines;
        std::istringstream in(dump);
        for (std::string line; std::getline(in, line);) {
            if (line.find("scale") != std::string::npos) {
                lines += line + "\n";
            }
        }
        return lines;
    };
    std::string expected;
    {
        glyphtest::GlyphServices glyphs;
        auto loadedContext = tovtest::makeSongContext();
        auto* loaded = loadedContext->insertNewObject<Document>("Document");
        loadedContext->processPendingChanges();
        ASSERT_TRUE(TOVDocumentParser().loadTOVZDocumentFromUrlToDocument(dir / "old.tovz", loaded));
        expected = scales(TOVDocumentDump::dumpDocument(loaded));
    }
    ASSERT_FALSE(expected.empty());

    QProcess process;
    process.start(QStringLiteral(TOVZ_DUMP_PATH), {path("old.tovz")});
    ASSERT_TRUE(process.waitForFinished(120000));
    ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    EXPECT_EQ(scales(process.readAllStandardOutput().toStdString()), expected);
}

} // namespace
