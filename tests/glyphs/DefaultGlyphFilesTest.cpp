// The glyph files of the built-in font: every key the glyph libraries ask for has a file that the SVG
// reader reads into a non-empty outline of the size its use needs, written only with what the reader
// accepts, and no file lies there unused.

#include "glyphs/SVGUtils.h"
#include "glyphs/TOVChordViewLibrary.h"
#include "model/TOVStaffMetrics.h"
#include "model/TOVUtils.h"

#include <QImage>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

// How a glyph is drawn: symbol and note glyphs at 0.59, chord parts at the chord scale, the repeat
// wings of barlines as they are in the file.
enum class Drawn { Symbol, Chord, Raw };

// The size a glyph needs, in staff spaces once drawn.
struct Envelope {
    double minWidth, maxWidth, minHeight, maxHeight;
};

struct KeyGroup {
    std::vector<std::string> keys;
    Drawn drawn;
    Envelope size;
};

std::vector<std::string> numbered(const std::string& stem, int from, int to) {
    std::vector<std::string> keys;
    for (int i = from; i <= to; ++i) {
        keys.push_back(stem + std::to_string(i));
    }
    return keys;
}

std::vector<KeyGroup> keyGroups() {
    std::vector<KeyGroup> groups = {
        // A G clef spans about seven staff spaces, an F clef about three and a half.
        {{"clefToon"}, Drawn::Symbol, {2.0, 3.5, 6.0, 7.5}},
        {{"clefHeon"}, Drawn::Symbol, {2.0, 3.5, 3.0, 4.0}},
        {numbered("keySharpX", 1, 7), Drawn::Symbol, {0.5, 8.0, 2.7, 6.0}},
        {numbered("keyFlatX", 1, 7), Drawn::Symbol, {0.5, 7.0, 1.8, 6.0}},
        // Time signatures fill the staff, four spaces; common time two.
        {{"time1_4", "time2_4", "time3_4", "time4_4", "time5_4", "time6_4", "time7_4", "time3_8", "time5_8",
          "time6_8", "time7_8", "time9_8", "time12_8"},
         Drawn::Symbol,
         {1.0, 3.5, 3.9, 4.1}},
        {{"time_c"}, Drawn::Symbol, {1.0, 2.5, 1.8, 2.3}},
        {{"barlinesSingle", "barlinesDotted", "barlinesGrateDouble", "barlinesDouble"},
         Drawn::Symbol,
         {0.02, 0.6, 3.9, 4.1}},
        {{"barlinesBrace"}, Drawn::Symbol, {0.5, 40.0, 4.0, 1000.0}},
        // Thick bar over one staff (23.8 points) with its wing.
        {{"barlinesRepeatLeftUpper", "barlinesRepeatLeftLower", "barlinesRepeatRightUpper",
          "barlinesRepeatRightLower"},
         Drawn::Raw,
         {0.4, 1.5, 4.2, 5.5}},
        {{"repeatDaCapo", "repeatDalSegno", "repeatToCoda", "repeatFine", "repeatStraight", "repeatSimile",
          "repeatTacet"},
         Drawn::Symbol,
         {1.5, 12.0, 0.8, 3.5}},
        {{"repeatCoda", "repeatSegno"}, Drawn::Symbol, {1.5, 3.0, 2.5, 3.5}},
        {numbered("repeatRepeat", 2, 12), Drawn::Symbol, {1.0, 5.0, 0.8, 3.0}},
        {{"repeatPrevBar", "repeatPrev2Bar", "repeatPrev4Bar"}, Drawn::Symbol, {1.5, 4.0, 1.5, 4.0}},
        {{"dynamicsFFF", "dynamicsFF", "dynamicsF", "dynamicsMF", "dynamicsPPP", "dynamicsPP", "dynamicsP",
          "dynamicsMP", "dynamicsFP", "dynamicsSF", "dynamicsSFZ", "dynamicsFZ"},
         Drawn::Symbol,
         {0.8, 7.0, 1.0, 3.0}},
        // The octave glyph stands at the start of a line 15 points high.
        {{"octave8va", "octave15ma", "octave8vaBassa", "octave15maBassa"},
         Drawn::Symbol,
         {1.0, 5.0, 1.0, 2.5}},
        {{"tempoRit", "tempoPocoRit", "tempoAccel", "tempoPocoAccel", "tempoATempo", "tempoRubato"},
         Drawn::Symbol,
         {1.5, 14.0, 0.8, 3.0}},
        // The speed's digits hang 8.0 points below the top of the metronome glyph.
        {{"tempoSpeed"}, Drawn::Symbol, {1.5, 4.0, 1.8, 3.5}},
        {{"shuffle8", "shuffle16", "push8", "push16"}, Drawn::Symbol, {1.0, 10.0, 1.5, 4.0}},
        // Plain digits stand 4.0 points apart.
        {numbered("generalNumber", 0, 9), Drawn::Symbol, {0.1, 0.66, 0.6, 1.2}},
        {numbered("generalNumberCircle", 0, 9), Drawn::Symbol, {1.0, 1.8, 1.0, 1.8}},
        // A notehead is about one staff space high.
        {{"OnpuTamaKuro", "OnpuTama2"}, Drawn::Symbol, {1.0, 1.6, 0.9, 1.2}},
        {{"OnpuTamaZen"}, Drawn::Symbol, {1.5, 2.2, 0.9, 1.2}},
        {{"SlashTamaKuro", "SlashTamaShiro", "SlashTamaZen"}, Drawn::Symbol, {1.0, 3.5, 1.8, 2.4}},
        {{"OnpuHata8", "OnpuHata16", "OnpuHata32"}, Drawn::Symbol, {0.6, 1.2, 2.5, 4.6}},
        {{"KyuuhuZen", "Kyuuhu2"}, Drawn::Symbol, {1.0, 1.8, 0.4, 2.0}},
        {{"Kyuuhu4", "Kyuuhu8", "Kyuuhu16", "Kyuuhu32"}, Drawn::Symbol, {0.6, 1.6, 1.5, 4.0}},
        // Accidentals stand left of the head at fixed offsets, so they are narrow.
        {{"HenkaSharpX1", "HenkaFlatX1", "HenkaNatural"}, Drawn::Symbol, {0.3, 0.8, 0.8, 3.6}},
        // The double sharp, centred on its head's level by its default place, is a small square cross.
        {{"HenkaSharpX2"}, Drawn::Symbol, {0.5, 0.9, 0.5, 0.9}},
        {{"HenkaFlatX2"}, Drawn::Symbol, {0.8, 1.45, 1.5, 3.6}},
        {{"ArticulationAccento", "ArticulationFermata", "ArticulationMarcato", "ArticulationStaccato",
          "ArticulationTenuto"},
         Drawn::Symbol,
         {0.3, 3.0, 0.1, 2.0}},
        {{"ArticulationS"}, Drawn::Symbol, {0.5, 1.2, 3.0, 6.0}},
        {{"ArticulationSlur"}, Drawn::Symbol, {2.0, 5.0, 0.5, 2.0}},
        {{"chordSlash"}, Drawn::Chord, {0.5, 1.2, 1.4, 2.0}},
        {{"chordHyphen"}, Drawn::Chord, {1.5, 3.0, 0.05, 0.3}},
    };
    // Roots stand 1.6 to 2 staff spaces tall; a raised accidental may reach a little higher.
    KeyGroup roots{{}, Drawn::Chord, {0.8, 3.2, 1.6, 2.3}};
    for (const auto& key : TOVChordViewLibrary::step1ResourceKeys()) {
        roots.keys.push_back(key);
    }
    groups.push_back(roots);
    // Qualities and tensions are never taller than a root with its sign.
    KeyGroup parts{{}, Drawn::Chord, {0.3, 8.0, 0.3, 2.3}};
    std::set<std::string> seen;
    for (const auto* keys :
         {&TOVChordViewLibrary::step2ResourceKeys(), &TOVChordViewLibrary::step3ResourceKeys()}) {
        for (const auto& key : *keys) {
            if (seen.insert(key).second) {
                parts.keys.push_back(key);
            }
        }
    }
    groups.push_back(parts);
    return groups;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class DefaultGlyphFiles : public ::testing::Test {
protected:
    void SetUp() override { TOVUtils::overrideResourceDirectory(std::string(TOVRIN_TEST_RESOURCES)); }
    void TearDown() override { TOVUtils::overrideResourceDirectory(std::nullopt); }
};

TEST_F(DefaultGlyphFiles, EveryKeyReadsIntoAnOutlineOfTheSizeItsUseNeeds) {
    for (const auto& group : keyGroups()) {
        for (const auto& key : group.keys) {
            const auto file = TOVUtils::pathForResourceOfTypeFontID(key, "svg", "Default");
            ASSERT_TRUE(file && std::filesystem::exists(*file)) << key;
            const auto path = SVGUtils::bezierPathFromSVGFile(*file);
            ASSERT_TRUE(path) << key;
            ASSERT_FALSE(path->isEmpty()) << key;
            const double scale = group.drawn == Drawn::Symbol  ? SVGUtils::defaultScaleRatio()
                                 : group.drawn == Drawn::Chord ? SVGUtils::defaultScaleRatioForChord()
                                                               : 1.0;
            const auto size = path->bounds().size;
            const double width = size.width * scale / TOVStaffSpace;
            const double height = size.height * scale / TOVStaffSpace;
            EXPECT_GE(width, group.size.minWidth) << key;
            EXPECT_LE(width, group.size.maxWidth) << key;
            EXPECT_GE(height, group.size.minHeight) << key;
            EXPECT_LE(height, group.size.maxHeight) << key;
        }
    }
}

// Only the elements and path commands the reader takes, every point written as "x,y" (the reader pairs
// numbers only within one run), no exponents or plus signs (which it reads as separators).
TEST_F(DefaultGlyphFiles, FilesHoldOnlyWhatTheReaderAccepts) {
    const std::set<std::string> elements = {"svg", "path", "line", "rect", "circle", "ellipse"};
    const std::regex tag(R"(<([A-Za-z][A-Za-z0-9:]*))");
    const std::regex data(R"( d="([^"]*)\")");
    const std::regex point(R"(^-?[0-9]+(\.[0-9]+)?,-?[0-9]+(\.[0-9]+)?$)");
    for (const auto& group : keyGroups()) {
        for (const auto& key : group.keys) {
            const std::string text = readFile(*TOVUtils::pathForResourceOfTypeFontID(key, "svg", "Default"));
            for (auto it = std::sregex_iterator(text.begin(), text.end(), tag); it != std::sregex_iterator();
                 ++it) {
                EXPECT_TRUE(elements.count((*it)[1].str())) << key << ": <" << (*it)[1].str() << ">";
            }
            for (auto it = std::sregex_iterator(text.begin(), text.end(), data); it != std::sregex_iterator();
                 ++it) {
                std::string d = (*it)[1].str();
                std::string operands;
                for (char ch : d) {
                    if (std::isalpha(static_cast<unsigned char>(ch))) {
                        EXPECT_NE(std::string("MLCZ").find(ch), std::string::npos) << key << ": " << ch;
                        operands += ' ';
                    } else {
                        operands += ch;
                    }
                }
                std::istringstream tokens(operands);
                for (std::string token; tokens >> token;) {
                    EXPECT_TRUE(std::regex_match(token, point)) << key << ": " << token;
                }
                EXPECT_EQ(d.rfind('M', 0), 0u) << key << ": every outline starts with a move";
            }
        }
    }
}

TEST_F(DefaultGlyphFiles, NoFileIsLeftUnused) {
    std::set<std::string> keys;
    for (const auto& group : keyGroups()) {
        keys.insert(group.keys.begin(), group.keys.end());
    }
    for (const auto& entry : std::filesystem::directory_iterator(TOVRIN_TEST_RESOURCES)) {
        if (entry.path().extension() == ".svg") {
            EXPECT_TRUE(keys.count(entry.path().stem().string())) << entry.path().filename();
        }
    }
}

// Glyphs the score places by their top edge, against the staff (top line at 0, lines 5.9 apart): the
// ink must then stand where a musician expects it.
TEST_F(DefaultGlyphFiles, StaffGlyphsStandOnTheirLinesWhenPlacedByTheirTop) {
    auto drawnAt = [](const std::string& key, double top) {
        auto path =
            SVGUtils::bezierPathFromSVGFile(*TOVUtils::pathForResourceOfTypeFontID(key, "svg", "Default"));
        SVGUtils::defaultScaleBezierPath(&*path);
        SVGUtils::moveBezierPathXByYBy(&*path, 0, top);
        return *path;
    };
    // The ink of a glyph, without the zero-area elements that only widen its bounds.
    auto ink = [](const platform::BezierPath& path) {
        platform::BezierPath result;
        platform::BezierPath current;
        auto flush = [&] {
            const auto b = current.bounds();
            if (b.width() > 0 && b.height() > 0) {
                result.appendPath(current);
            }
            current = platform::BezierPath();
        };
        for (const auto& e : path.elements()) {
            if (e.type == platform::PathElementType::MoveTo) {
                flush();
                current.moveTo(e.points[0]);
            } else if (e.type == platform::PathElementType::LineTo) {
                current.lineTo(e.points[0]);
            } else if (e.type == platform::PathElementType::CurveTo) {
                current.curveTo(e.points[0], e.points[1], e.points[2]);
            } else {
                current.closePath();
            }
        }
        flush();
        return result.bounds();
    };
    struct Case {
        const char* key;
        double top;       // where the view puts the glyph's top edge
        double inkCentre; // where the middle of its ink belongs
        double tolerance;
    };
    const double s = TOVStaffSpace;
    const std::vector<Case> cases = {
        // The F clef's dots straddle the fourth line; a single sharp sits on the top line (F), a
        // single flat's bowl on the middle line (B), common time is centred on the middle line, a
        // time signature fills the staff.
        {"clefHeon", -1.0, s * 1.0, 0.6 * s},
        {"keySharpX1", -8.0, 0.0, 0.1 * s},
        {"keySharpX3", -11.0, 0.5 * s, 0.1 * s},
        {"time_c", 5.6, 2 * s, 0.1 * s},
        {"time4_4", 0.0, 2 * s, 0.05 * s},
        {"time12_8", 0.0, 2 * s, 0.05 * s},
        // Rests keep their place against the middle line: the quarter rest is centred near it.
        {"Kyuuhu4", 2 * s - 11.0, 2 * s, 0.5 * s},
    };
    for (const auto& c : cases) {
        const auto box = ink(drawnAt(c.key, c.top));
        EXPECT_NEAR(box.midY(), c.inkCentre, c.tolerance) << c.key;
    }
    // The whole rest hangs from the fourth line, the half rest sits on the middle line.
    EXPECT_NEAR(ink(drawnAt("KyuuhuZen", 2 * s - 6.0)).minY(), s, 0.1);
    EXPECT_NEAR(ink(drawnAt("Kyuuhu2", 2 * s - 3.0)).maxY(), 2 * s, 0.1);
    // The G clef's top stands 8.0 above the top line and its bottom well below the staff.
    const auto g = ink(drawnAt("clefToon", -8.0));
    EXPECT_NEAR(g.minY(), -8.0, 0.01);
    EXPECT_GT(g.maxY(), 4 * s + 0.8 * s);
    // One flat: its bowl on the middle line, so its ink ends just below it.
    const auto flat = ink(drawnAt("keyFlatX1", 2.6));
    EXPECT_GT(flat.maxY(), 2 * s);
    EXPECT_LT(flat.maxY(), 2.6 * s);
}

// The resize and rotate cursors are made with the hot spot (7, 7): each image is big enough for it, and
// the four arrows cross there, so the spot the pointer acts on lies on the arrow's ink.
TEST_F(DefaultGlyphFiles, CursorImagesHaveTheirHotSpotOnTheArrow) {
    for (const char* name :
         {"cursorRightDown", "cursorRightUp", "cursorUpDown", "cursorLeftRight", "cursorRotate"}) {
        const auto file = TOVUtils::pathForResourceOfTypeFontID(name, "png", "Default");
        ASSERT_TRUE(file) << name;
        QImage image(QString::fromStdString(*file));
        ASSERT_FALSE(image.isNull()) << name;
        EXPECT_GE(image.width(), 15) << name;
        EXPECT_GE(image.height(), 15) << name;
        if (std::string(name) != "cursorRotate") {
            const QColor spot = image.pixelColor(7, 7);
            EXPECT_GT(spot.alpha(), 200) << name;
            EXPECT_LT(spot.lightness(), 80) << name;
        }
    }
}

// Open note heads and circled digits stay open whichever rule fills them: their holes turn against their
// outlines. The point tested lies in the hole (for a circled digit, between the ring and the figure).
TEST_F(DefaultGlyphFiles, HollowGlyphsStayHollowUnderBothFillRules) {
    struct Case {
        std::string key;
        double fromTop; // where the point lies, as a fraction of the height from the top
    };
    std::vector<Case> cases = {
        {"OnpuTama2", 0.5}, {"OnpuTamaZen", 0.5}, {"SlashTamaShiro", 0.5}, {"SlashTamaZen", 0.5}};
    for (const auto& key : numbered("generalNumberCircle", 0, 9)) {
        cases.push_back({key, 0.15});
    }
    for (const auto& c : cases) {
        auto path =
            *SVGUtils::bezierPathFromSVGFile(*TOVUtils::pathForResourceOfTypeFontID(c.key, "svg", "Default"));
        const auto box = path.bounds();
        const platform::Point inside{box.midX(), box.minY() + box.height() * c.fromTop};
        for (auto rule : {platform::WindingRule::NonZero, platform::WindingRule::EvenOdd}) {
            path.setWindingRule(rule);
            EXPECT_FALSE(path.containsPoint(inside))
                << c.key << (rule == platform::WindingRule::EvenOdd ? " even-odd" : " non-zero");
        }
        // ...while the outline itself is filled somewhere.
        path.setWindingRule(platform::WindingRule::NonZero);
        int filled = 0;
        for (int i = 0; i < 20; ++i) {
            for (int j = 0; j < 20; ++j) {
                filled += path.containsPoint(
                    {box.minX() + box.width() * (i + 0.5) / 20, box.minY() + box.height() * (j + 0.5) / 20});
            }
        }
        EXPECT_GT(filled, 20) << c.key;
    }
}

} // namespace
