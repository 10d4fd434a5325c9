#include "RenderTestSupport.h"

#include "platform/graphics/Font.h"
#include "platform/graphics/TextRun.h"

#include <QFontInfo>
#include <gtest/gtest.h>
#include <optional>

using platform::Font;
using platform::Point;
using platform::Size;

// These tests rely on the DejaVu fonts that scripts/setup installs: fonts-dejavu-core for the upright
// faces and fonts-dejavu-extra for the italic and oblique ones, which texts in songs ask for.

TEST(Font, NamedFindsExactlyOrNothing) {
    struct Case {
        const char* name;
        bool found;
        const char* family;
        const char* postScriptName;
    };
    const Case cases[] = {
        {"DejaVu Sans", true, "DejaVu Sans", "DejaVuSans"},           // family, its regular face
        {"DejaVuSans-Bold", true, "DejaVu Sans", "DejaVuSans-Bold"},  // PostScript name
        {"DejaVu Sans Bold", true, "DejaVu Sans", "DejaVuSans-Bold"}, // full name
        {"dejavu serif italic", true, "DejaVu Serif", "DejaVuSerif-Italic"},
        {"DejaVu Sans Mono", true, "DejaVu Sans Mono", "DejaVuSansMono"},
        {"DejaVu", false, "", ""},                // a prefix is not a name
        {"DejaVu Sans Ultra", false, "", ""},     // no such style
        {"Frutiger Oblique Bold", false, "", ""}, // a font neither installed nor substituted
        {"Sans Serif", false, "", ""},            // an alias of the font configuration, not a font
        {"", false, "", ""},
    };
    for (const Case& c : cases) {
        const std::optional<Font> font = Font::named(QString::fromUtf8(c.name), 11);
        ASSERT_EQ(font.has_value(), c.found) << c.name;
        if (c.found) {
            EXPECT_EQ(font->familyName(), QString::fromUtf8(c.family)) << c.name;
            EXPECT_EQ(font->fontName(), QString::fromUtf8(c.postScriptName)) << c.name;
            EXPECT_EQ(font->pointSize(), 11) << c.name;
            EXPECT_FALSE(font->isSubstitute()) << c.name;
        }
    }
}

TEST(Font, MissingFamiliesTheDocumentsUseGetASubstituteOfTheirWeightAndSlant) {
    struct Case {
        const char* name;
        const char* writtenAs; // the name the substitute gives back, so files keep their fonts
        int weight;
        bool italic;
    };
    const Case cases[] = {
        {"Lucida Grande", "LucidaGrande", 400, false},
        {"LucidaGrande-Bold", "LucidaGrande-Bold", 700, false},
        {"Helvetica", "Helvetica", 400, false},
        {"Helvetica-Bold", "Helvetica-Bold", 700, false},
        {"Helvetica Oblique", "Helvetica-Oblique", 400, true},
        {"Helvetica-BoldOblique", "Helvetica-BoldOblique", 700, true},
        {"Helvetica Oblique Bold", "Helvetica-BoldOblique", 700, true}, // family, style and weight of a file
    };
    for (const Case& c : cases) {
        const std::optional<Font> font = Font::named(QString::fromUtf8(c.name), 13);
        ASSERT_TRUE(font.has_value()) << c.name;
        EXPECT_TRUE(font->isSubstitute()) << c.name;
        EXPECT_EQ(font->familyName(), "DejaVu Sans") << c.name;
        EXPECT_EQ(font->fontName(), QString::fromUtf8(c.writtenAs)) << c.name;
        EXPECT_EQ(font->pointSize(), 13) << c.name;
        // The face the text is drawn in.
        const QString face = QFontInfo(font->qFont()).styleName();
        EXPECT_EQ(face.contains("Bold"), c.weight == 700) << c.name << ": " << face.toStdString();
        EXPECT_EQ(face.contains("Oblique"), c.italic) << c.name << ": " << face.toStdString();
        // A name written back by a substitute finds the same font again.
        EXPECT_EQ(*Font::named(font->fontName(), 13), *font) << c.name;
    }
    EXPECT_GT(Font::named("Helvetica-Bold", 10)->widthOfString("Intro"),
              Font::named("Helvetica", 10)->widthOfString("Intro"));
}

TEST(Font, UserFontAndFallback) {
    const Font user = Font::userFont(10);
    EXPECT_EQ(user.familyName(), "DejaVu Sans");
    EXPECT_EQ(user.pointSize(), 10);
    // Its name finds it again, so that a document naming the user font keeps it.
    EXPECT_EQ(*Font::named(user.fontName(), 10), user);
    EXPECT_EQ(Font::namedOrUserFont("NoSuchFont", 14), Font::userFont(14));
    EXPECT_EQ(Font::userFont(0).pointSize(), 12); // no usable size: the default size
    EXPECT_EQ(Font().pointSize(), 12);
}

TEST(FontMetrics, TextGrowsWithLengthAndSize) {
    const Font small = Font::userFont(10);
    const Font large = Font::userFont(20);
    EXPECT_GT(small.widthOfString("Intro A"), small.widthOfString("Intro"));
    EXPECT_NEAR(large.widthOfString("Intro"), 2 * small.widthOfString("Intro"),
                0.02 * large.widthOfString("Intro"));
    EXPECT_NEAR(large.lineHeight(), 2 * small.lineHeight(), 0.02 * large.lineHeight());
    // About one em high: one point is one unit whatever the screen's resolution.
    EXPECT_GT(small.lineHeight(), 10);
    EXPECT_LT(small.lineHeight(), 14);

    const Size one = small.sizeOfString("Intro");
    EXPECT_EQ(one.height, small.lineHeight());
    EXPECT_EQ(small.sizeOfString("Intro\nA").height, 2 * small.lineHeight());
    EXPECT_EQ(small.sizeOfString("Intro\nA").width, one.width);
    EXPECT_EQ(small.sizeOfString("Intro\n"), one); // a closing line break adds no line
    EXPECT_EQ(small.sizeOfString(""), (Size{0, 0}));
}

TEST(FontMetrics, RunsShareABaselineAndBreakIntoLines) {
    const Font small = Font::userFont(10);
    const Font large = Font::userFont(20);
    const std::vector<platform::TextRun> runs = {
        {"Ab", small, {0, 0, 0, 1}, {}, {}},
        {"Cd\nEf", large, {1, 0, 0, 1}, {}, {}},
    };
    const auto placed = platform::layoutTextRuns(runs, Point{5, 7});
    ASSERT_EQ(placed.size(), 3u);
    EXPECT_EQ(placed[0].topLeft.x, 5);
    EXPECT_DOUBLE_EQ(placed[1].topLeft.x, 5 + small.widthOfString("Ab"));
    EXPECT_EQ(placed[0].baseline, placed[1].baseline);
    EXPECT_DOUBLE_EQ(placed[1].topLeft.y, 7); // the taller run sets the top of the line
    EXPECT_DOUBLE_EQ(placed[0].baseline, 7 + large.ascender());
    EXPECT_EQ(placed[2].run.text, "Ef");
    EXPECT_EQ(placed[2].topLeft.x, 5);
    EXPECT_DOUBLE_EQ(placed[2].topLeft.y, 7 + large.lineHeight());

    const Size size = platform::sizeOfTextRuns(runs);
    EXPECT_DOUBLE_EQ(size.width, small.widthOfString("Ab") + large.widthOfString("Cd"));
    EXPECT_DOUBLE_EQ(size.height, 2 * large.lineHeight());
}

TEST(TextDrawing, TextHangsBelowItsTopLeftPointAtAnyZoom) {
    const Font font = Font::userFont(20);
    const Size size = font.sizeOfString("Hg");
    QRect atOne;
    for (double zoom : {1.0, 2.0}) {
        const QImage image = rendertest::render(160, 120, [&](platform::GraphicsContext& gc) {
            gc.concatTransform(platform::AffineTransform::scaling(zoom, zoom));
            gc.drawText("Hg", font, Point{10, 10});
        });
        const QRect ink = rendertest::inkBounds(image);
        ASSERT_FALSE(ink.isNull());
        // All ink lies inside the measured box at the point, and it starts near its top: the point is the
        // top-left of the text, not its baseline.
        EXPECT_GE(ink.left(), 10 * zoom - 1);
        EXPECT_LE(ink.right(), (10 + size.width) * zoom + 1);
        EXPECT_GE(ink.top(), 10 * zoom - 1);
        EXPECT_LE(ink.bottom(), (10 + size.height) * zoom + 1);
        EXPECT_LT(ink.top(), (10 + font.ascender() / 2) * zoom);
        EXPECT_GT(ink.bottom(), (10 + font.ascender()) * zoom); // the descender of g hangs below the baseline
        if (zoom == 1.0) {
            atOne = ink;
        } else {
            EXPECT_NEAR(ink.height(), 2 * atOne.height(), 3);
            EXPECT_NEAR(ink.width(), 2 * atOne.width(), 3);
        }
    }
}
