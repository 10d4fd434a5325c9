#include "document/TOVDocumentParser.h"
#include "model/Bar.h"
#include "model/Document.h"
#include "model/Page.h"
#include "model/Song.h"
#include "platform/data/ManagedObjectContext.h"
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

class RenderToolTest : public ::testing::Test {
protected:
    TempDir dir;
    QString path(const std::string& name) const { return QString::fromStdString((dir / name).string()); }
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

TEST_F(RenderToolTest, EveryBarlineKindOnSingleAndDoubleLines) {
    // A page with a single line, a double line and a single line; the bars walk through the eight kinds.
    auto context = tovtest::makeSongContext();
    Document* document = tovtest::makeLayout(
        *context, {tovtest::PageSpec{10, {{0, 0, false}, {4, 4, false}, {4, 4, true}, {4, 4, false}}}});
    document->createNewSong()->setName(platform::AttributedString("Barlines"));
    for (std::uint64_t num = 0; num < 12; ++num) {
        tovtest::findBar(document, num)->setBarLineType(1280 + static_cast<int>(num % 8));
    }
    TOVDocumentParser parser;
    ASSERT_TRUE(parser.saveTOVZDocumentToUrlFromDocument(dir / "barlines.tovz", document));
    const ToolRun run = render({path("barlines.tovz"), "--png", path("barlines"), "--scale", "2"});
    ASSERT_EQ(run.status, 0) << run.errors.toStdString();
    QImage image;
    ASSERT_TRUE(image.load(path("barlines/page-001.png")));
    if (const QByteArray keep = qgetenv("TOVRIN_KEEP_RENDER"); !keep.isEmpty()) {
        image.save(QString::fromUtf8(keep));
    }
    image = image.convertToFormat(QImage::Format_ARGB32);
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
        const std::string file = std::string(c.file) + ".tovz";
        TOVDocumentParser parser;
        ASSERT_TRUE(parser.saveTOVZDocumentToUrlFromDocument(dir / file, document));
        const ToolRun run = render({path(file), "--png", path(c.file), "--scale", "2"});
        ASSERT_EQ(run.status, 0) << run.errors.toStdString();
        QImage image;
        ASSERT_TRUE(image.load(path(std::string(c.file) + "/page-001.png")));
        if (const QByteArray keep = qgetenv("TOVRIN_KEEP_RENDER"); !keep.isEmpty()) {
            image.save(QString::fromUtf8(keep) + "-" + c.file + ".png");
        }
        image = image.convertToFormat(QImage::Format_ARGB32);

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

} // namespace
