#include "glyphs/TOVChordViewFactory.h"

#include "GlyphTestFiles.h"
#include "glyphs/SVGUtils.h"
#include "model/TOVUtils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

using platform::Rect;

namespace {

constexpr double kChordScale = 0.767;

// Glyphs of the built-in font made of rectangles of distinct sizes, so that every position the
// typesetter computes can be checked exactly.
const std::map<std::string, std::pair<double, double>> kDefaultGlyphs = {
    {"chordC", {10, 20}},       {"chordCSharp", {14, 21}}, {"chordD", {11, 20}},
    {"chordE", {9, 19}},        {"chordFSharp", {13, 22}}, {"chordG", {12, 20}},
    {"chordGSharp-", {11, 17}}, {"chordA", {12, 20}},      {"chordDelta7", {8, 12}},
    {"chordMaj7", {16, 10}},    {"chordM", {7, 9}},        {"chord-", {6, 3}},
    {"chord7", {6, 12}},        {"chord11", {6, 8}},       {"chord-9", {4, 8}},
    {"chord11(13)", {15, 25}},  {"chord9(11)", {14, 12}},  {"chordAug", {10, 7}},
    {"chordSlash", {4, 22}},    {"chordHyphen", {10, 2}},  {"chordPhy", {8, 9}},
};

class ChordFactoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const auto& [key, size] : kDefaultGlyphs) {
            folder_.write("resources/" + key + ".svg", glyphtest::rectangleGlyph(size.first, size.second));
        }
        TOVUtils::forgetPluginFontsDirectory();
        TOVUtils::overrideResourceDirectory((folder_.path() / "resources").string());
        factory_.installPluginFontID("Default");
    }
    void TearDown() override {
        TOVUtils::forgetPluginFontsDirectory();
        TOVUtils::overrideResourceDirectory(std::nullopt);
    }

    // Writes a glyph of a plug-in font into the unpack cache of the test's data folder.
    void writePluginGlyph(const std::string& fontID, const std::string& key, double width, double height) {
        folder_.write("data/Tovrin2/cache/" + fontID + "/" + key + ".svg",
                      glyphtest::rectangleGlyph(width, height));
    }

    TempDir folder_;
    ScopedEnv data_{"XDG_DATA_HOME", (folder_.path() / "data").string()};
    TOVChordViewFactory factory_;
};

// Rectangles given before the final scale; the expectation scales them.
std::vector<Rect> scaled(std::vector<Rect> rects) {
    for (auto& r : rects) {
        r = Rect(r.x() * kChordScale, r.y() * kChordScale, r.width() * kChordScale, r.height() * kChordScale);
    }
    return rects;
}

void expectRects(const std::vector<Rect>& actual, const std::vector<Rect>& expected,
                 const std::string& what) {
    ASSERT_EQ(actual.size(), expected.size()) << what;
    for (std::size_t i = 0; i < actual.size(); ++i) {
        EXPECT_NEAR(actual[i].x(), expected[i].x(), 1e-9) << what << " element " << i;
        EXPECT_NEAR(actual[i].y(), expected[i].y(), 1e-9) << what << " element " << i;
        EXPECT_NEAR(actual[i].width(), expected[i].width(), 1e-9) << what << " element " << i;
        EXPECT_NEAR(actual[i].height(), expected[i].height(), 1e-9) << what << " element " << i;
    }
}

TOVChordNotationProfile profileWith(int major, int minor, int diminished, int augmented, int on,
                                    int sharpFlat) {
    return TOVChordNotationProfile{major, minor, diminished, augmented, on, sharpFlat};
}

struct TypesetCase {
    std::string name;
    TOVChordElems chord;
    TOVChordNotationProfile profile;
    // The glyph rectangles in the order root, quality, tension, slash or bar, bass; before scaling.
    std::vector<Rect> rects;
    double offsetUnderBaseline;
};

TEST_F(ChordFactoryTest, TypesetsChordsFromTheirGlyphs) {
    const TOVChordNotationProfile standard = profileWith(1, 0, 0, 0, 0, 0);
    const std::vector<TypesetCase> cases = {
        // The quality stands on the root's line after a gap of 1.0...
        {"C major seventh, triangle", {0, 6, 70, 17, false}, standard, {{0, 0, 10, 20}, {11, 8, 8, 12}}, 0},
        // ...or, as "maj7", 3.5 lower, and the chord reaches below the line by as much.
        {"C major seventh, maj7",
         {0, 6, 70, 17, false},
         profileWith(0, 0, 0, 0, 0, 0),
         {{0, 0, 10, 20}, {11, 13.5, 16, 10}},
         3.5 * kChordScale},
        // After a root with an accidental the quality moves in under it.
        {"C sharp minor, minus",
         {1, 1, 70, 17, false},
         profileWith(1, 1, 0, 0, 0, 0),
         {{0, 0, 14, 21}, {10.5, 15, 6, 3}},
         0},
        {"C sharp minor, m", {1, 1, 70, 17, false}, standard, {{0, 0, 14, 21}, {10.5, 12, 7, 9}}, 0},
        // The half-diminished sign is set 1.5 lower, and the chord reaches below its line by as much.
        {"C half-diminished",
         {0, 2, 70, 17, false},
         profileWith(1, 0, 1, 0, 0, 0),
         {{0, 0, 10, 20}, {11, 12.5, 8, 9}},
         1.5 * kChordScale},
        // A minor eleventh sets the tension on the line, scaled by 1.25 and without a gap.
        {"A minor eleventh",
         {13, 1, 4, 17, false},
         standard,
         {{0, 0, 12, 20}, {13, 11, 7, 9}, {20, 10, 7.5, 10}},
         0},
        // A tension over a quality stands 1.0 above it, right-aligned, and the chord moves down to 0.
        {"G seventh flat nine",
         {10, 3, 10, 17, false},
         standard,
         {{0, 1, 12, 20}, {13, 9, 6, 12}, {15, 0, 4, 8}},
         0},
        // Without a quality a tall tension keeps its bottom on the root's...
        {"D eleven thirteen", {3, 12, 18, 17, false}, standard, {{0, 5, 11, 20}, {12, 0, 15, 25}}, 0},
        // ...and a short one its top.
        {"D nine eleven", {3, 12, 24, 17, false}, standard, {{0, 0, 11, 20}, {12, 0, 14, 12}}, 0},
        {"C augmented",
         {0, 12, 1, 17, false},
         standard,
         {{0, 0, 10, 20}, {11, 14.5, 10, 7}},
         1.5 * kChordScale},
        // On the line: slash 2.0 right of the root and 2.0 above its bottom, the bass on the root's line.
        {"C over E", {0, 12, 70, 6, true}, standard, {{0, 4, 10, 20}, {12, 0, 4, 22}, {18, 5, 9, 19}}, 0},
        {"bass alone on the line", {17, 12, 70, 6, true}, standard, {{0, 0, 4, 22}, {6, 5, 9, 19}}, 0},
        // Stacked: the bar 2.0 under the upper part, the bass 2.0 under the bar, centred with each other.
        {"F sharp over G sharp",
         {8, 12, 70, 11, true},
         profileWith(1, 0, 0, 0, 1, 0),
         {{0, 0, 13, 22}, {1.5, 24, 10, 2}, {1, 28, 11, 17}},
         0},
        // A bass wider than the bar moves everything above it right.
        {"E over G sharp",
         {6, 12, 70, 11, true},
         profileWith(1, 0, 0, 0, 1, 0),
         {{1, 0, 9, 19}, {0.5, 21, 10, 2}, {0, 25, 11, 17}},
         0},
        {"C major seventh over E",
         {0, 6, 70, 6, true},
         profileWith(0, 0, 0, 0, 1, 0),
         {{0, 0, 10, 20}, {11, 13.5, 16, 10}, {8.5, 25.5, 10, 2}, {9, 29.5, 9, 19}},
         3.5 * kChordScale},
        // A slash flag without a bass still sets the slash.
        {"C with a slash only", {0, 12, 70, 17, true}, standard, {{0, 4, 10, 20}, {12, 0, 4, 22}}, 0},
        // A quality without a glyph is left out.
        {"C with quality 9", {0, 9, 70, 17, false}, standard, {{0, 0, 10, 20}}, 0},
        // An `on` switch out of range sets neither a slash nor a bar, nor the bass that goes with them.
        {"C over E, on out of range",
         {0, 12, 70, 6, true},
         profileWith(1, 0, 0, 0, 2, 0),
         {{0, 0, 10, 20}},
         0},
    };
    for (const auto& c : cases) {
        factory_.setProfile(c.profile);
        auto path = factory_.bezierPathFromChordFontID(c.chord, "Default");
        ASSERT_TRUE(path.has_value()) << c.name;
        expectRects(glyphtest::subpathBounds(*path), scaled(c.rects), c.name);
        EXPECT_NEAR(factory_.offsetYUnderBaseline(c.chord), c.offsetUnderBaseline, 1e-12) << c.name;
    }
}

TEST_F(ChordFactoryTest, NothingToSetGivesNoPath) {
    EXPECT_FALSE(factory_.bezierPathFromChordFontID(TOVChordElems{}, "Default").has_value());
    EXPECT_FALSE(factory_.boundsSizeOfChordFontID(TOVChordElems{}, "Default").has_value());
    // A root whose glyph is missing everywhere, with nothing else.
    EXPECT_FALSE(factory_.bezierPathFromChordFontID({5, 12, 70, 17, false}, "Default").has_value());
    // A bass alone under an `on` switch out of range has nowhere to go.
    factory_.setProfile(profileWith(1, 0, 0, 0, 2, 0));
    EXPECT_FALSE(factory_.bezierPathFromChordFontID({17, 12, 70, 6, true}, "Default").has_value());
    factory_.setProfile(profileWith(1, 0, 0, 0, 0, 0));

    auto size = factory_.boundsSizeOfChordFontID({0, 6, 70, 17, false}, "Default");
    ASSERT_TRUE(size.has_value());
    EXPECT_NEAR(size->width, 19 * kChordScale, 1e-9);
    EXPECT_NEAR(size->height, 20 * kChordScale, 1e-9);
}

TEST_F(ChordFactoryTest, PluginGlyphsFallBackToDefaultOneByOne) {
    writePluginGlyph("font.one", "chordC", 30, 40);
    factory_.installPluginFontID("font.one");

    auto c = factory_.bezierPathForStep1FontID(0, "font.one");
    auto d = factory_.bezierPathForStep1FontID(3, "font.one");
    ASSERT_TRUE(c && d);
    EXPECT_EQ(c->bounds(), Rect(0, 0, 30, 40));
    EXPECT_EQ(d->bounds(), Rect(0, 0, 11, 20));
    // The slash comes from "Default" as well.
    auto slash = factory_.bezierPathSlashForfontID("font.one");
    ASSERT_TRUE(slash);
    EXPECT_EQ(slash->bounds(), Rect(0, 0, 4, 22));

    // A font never installed, and a font ID that would leave the cache folder, give "Default".
    for (std::string font : {"never.installed", "../font.one", "..", "a/b"}) {
        factory_.installPluginFontID(font == "never.installed" ? "other" : font);
        auto glyph = factory_.bezierPathForStep1FontID(0, font);
        ASSERT_TRUE(glyph) << font;
        EXPECT_EQ(glyph->bounds(), Rect(0, 0, 10, 20)) << font;
    }

    // Two lookups answer independent copies.
    auto first = factory_.bezierPathForStep1FontID(0, "Default");
    auto second = factory_.bezierPathForStep1FontID(0, "Default");
    ASSERT_TRUE(first && second);
    first->translate(100, 100);
    EXPECT_EQ(second->bounds(), Rect(0, 0, 10, 20));
    EXPECT_EQ(factory_.bezierPathForStep1FontID(0, "Default")->bounds(), Rect(0, 0, 10, 20));

    // Codes without a glyph give none.
    EXPECT_FALSE(factory_.bezierPathForStep1FontID(17, "Default"));
    EXPECT_FALSE(factory_.bezierPathForStep2FontID(9, "Default"));
    EXPECT_FALSE(factory_.bezierPathForStep3FontID(70, "Default"));
}

TEST_F(ChordFactoryTest, InstallingAgainReplacesTheLibrary) {
    auto first = factory_.defaultLibrary();
    ASSERT_TRUE(first);
    auto second = factory_.installPluginFontID("Default");
    EXPECT_NE(first, second);
    EXPECT_EQ(factory_.defaultLibrary(), second);
    EXPECT_EQ(factory_.dictFontLibrary().at("Default"), second);

    EXPECT_TRUE(second->bezierPathSlashFor(0));
    EXPECT_TRUE(second->bezierPathSlashFor(1));
    EXPECT_FALSE(second->bezierPathSlashFor(2));
    EXPECT_FALSE(second->bezierPathForStep1WithResourceKey(std::nullopt));
    EXPECT_FALSE(second->bezierPathForStep2WithResourceKey("chordNothing"));
    // Setting the same font again reads nothing; another font reads its own files.
    std::filesystem::remove(folder_.path() / "resources" / "chordC.svg");
    second->setFontID("Default");
    EXPECT_TRUE(second->dictBezierPathStep1().count("chordC"));
    second->setFontID("font.two");
    EXPECT_TRUE(second->dictBezierPathStep1().empty());
    EXPECT_FALSE(second->bezierPathSlash());
}

TEST(ChordFactoryKeys, QualityAndTensionKeysFollowTheProfile) {
    TOVChordViewFactory factory;
    struct KeyCase {
        TOVChordNotationProfile profile;
        int quality;
        int tension;
        std::optional<std::string> qualityKey;
        std::optional<std::string> tensionKey;
    };
    const std::vector<KeyCase> cases = {
        {profileWith(1, 0, 0, 0, 0, 0), 6, 1, "chordDelta7", "chordAug"},
        {profileWith(0, 1, 0, 1, 0, 0), 6, 1, "chordMaj7", "chord+5"},
        {profileWith(0, 1, 0, 1, 0, 1), 10, 1, "chord-maj7", "chordSharp5"},
        {profileWith(1, 1, 0, 0, 0, 1), 10, 29, "chord-Delta7", "chordAug(Flat9)"},
        {profileWith(1, 0, 0, 1, 0, 0), 2, 43, "chordM7-5", "chord+5(+9)"},
        {profileWith(1, 1, 0, 0, 0, 1), 2, 8, "chord-7Flat5", "chordFlat5"},
        {profileWith(1, 0, 1, 0, 0, 0), 2, 66, "chordPhy", "chord+9(-13)"},
        {profileWith(1, 0, 1, 0, 0, 0), 8, 18, "chordCircle7", "chord11(13)"},
        {profileWith(1, 0, 0, 0, 0, 0), 9, 19, std::nullopt, std::nullopt},
        {profileWith(1, 0, 0, 0, 0, 0), 12, 70, std::nullopt, std::nullopt},
        // A switch out of range leaves the element out, except that quality 2 shows the half-diminished
        // sign while `diminished` is 0.
        {profileWith(2, 0, 0, 0, 0, 0), 6, 3, std::nullopt, "chord9"},
        {profileWith(1, 5, 0, 7, 0, 0), 1, 1, std::nullopt, std::nullopt},
        {profileWith(1, 5, 0, 0, 0, 0), 2, 10, "chordPhy", "chord-9"},
        {profileWith(1, 0, 0, 0, 0, -1), 2, 10, "chordPhy", std::nullopt},
        {profileWith(1, 0, 3, 0, 0, 0), 2, 0, std::nullopt, "chordSus4"},
    };
    for (const auto& c : cases) {
        factory.setProfile(c.profile);
        EXPECT_EQ(factory.resourceKeyForStep2Elem(c.quality), c.qualityKey) << "quality " << c.quality;
        EXPECT_EQ(factory.resourceKeyForStep3Elem(c.tension), c.tensionKey) << "tension " << c.tension;
    }

    factory.setProfile(profileWith(1, 0, 0, 0, 1, 0));
    EXPECT_EQ(factory.resourceKeyForBaseElem(11), "chordGSharp-");
    EXPECT_EQ(factory.resourceKeyForBaseElem(10), "chordG");
    EXPECT_EQ(factory.resourceKeyForStep1Elem(11), "chordGSharp");
    factory.setProfile(profileWith(1, 0, 0, 0, 0, 0));
    EXPECT_EQ(factory.resourceKeyForBaseElem(11), "chordGSharp");
    EXPECT_EQ(factory.resourceKeyForBaseElem(17), std::nullopt);
    EXPECT_EQ(factory.resourceKeyForStep1Elem(-1), std::nullopt);
}

TEST(ChordFactoryKeys, EveryChosenKeyIsOneTheLibraryReads) {
    const auto& step1 = TOVChordViewLibrary::step1ResourceKeys();
    const auto& step2 = TOVChordViewLibrary::step2ResourceKeys();
    const auto& step3 = TOVChordViewLibrary::step3ResourceKeys();
    EXPECT_EQ(step1.size(), 27u);
    EXPECT_EQ(step2.size(), 23u);
    EXPECT_EQ(step3.size(), 66u);
    const std::set<std::string> roots(step1.begin(), step1.end());
    const std::set<std::string> qualities(step2.begin(), step2.end());
    const std::set<std::string> tensions(step3.begin(), step3.end());
    EXPECT_EQ(tensions.size(), step3.size());

    std::set<int> tensionsWithGlyph;
    TOVChordViewFactory factory;
    for (int switches = 0; switches < 64; ++switches) {
        factory.setProfile(profileWith(switches & 1, (switches >> 1) & 1, (switches >> 2) & 1,
                                       (switches >> 3) & 1, (switches >> 4) & 1, (switches >> 5) & 1));
        for (int code = -2; code < 80; ++code) {
            if (auto key = factory.resourceKeyForStep1Elem(code)) {
                EXPECT_TRUE(roots.count(*key)) << *key;
            }
            if (auto key = factory.resourceKeyForBaseElem(code)) {
                EXPECT_TRUE(roots.count(*key)) << *key;
            }
            if (auto key = factory.resourceKeyForStep2Elem(code)) {
                EXPECT_TRUE(qualities.count(*key)) << *key;
            }
            if (auto key = factory.resourceKeyForStep3Elem(code)) {
                EXPECT_TRUE(tensions.count(*key)) << *key;
                tensionsWithGlyph.insert(code);
            }
        }
    }
    EXPECT_EQ(tensionsWithGlyph,
              (std::set<int>{0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17, 18,
                             20, 21, 22, 24, 25, 28, 29, 31, 32, 35, 36, 38, 39, 43, 45, 50, 52, 59, 66}));
}

TEST(ChordFactoryMetrics, MarginsFollowRootAndTension) {
    TOVChordViewFactory factory;
    struct MarginCase {
        TOVChordElems chord;
        int augmented;
        double m12;
        double m13;
    };
    const std::vector<MarginCase> cases = {
        {{1, 12, 0, 17, false}, 0, -3.5, -3.5},  // C sharp, column A
        {{2, 12, 22, 17, false}, 0, -3.0, -1.0}, // D flat, column B
        {{5, 12, 15, 17, false}, 1, -3.5, -2.0}, // E flat, column C
        {{5, 12, 15, 17, false}, 0, -3.5, -3.5},
        {{4, 12, 29, 17, false}, 0, -3.0, -1.0}, // D sharp, column D
        {{4, 12, 43, 17, false}, 1, -3.0, 1.0},
        {{12, 12, 0, 17, false}, 0, -0.25, -0.25},
        {{14, 12, 0, 17, false}, 0, 0.25, 0.25},
        {{15, 12, 18, 17, false}, 0, -3.5, 1.0}, // a tension without a column
        {{15, 3, 0, 17, false}, 0, -3.5, 1.0},   // a quality is present
        {{0, 12, 0, 17, false}, 0, 1.0, 1.0},
        {{16, 12, 22, 17, false}, 0, 1.0, 1.0},
        {{17, 12, 0, 17, false}, 0, 1.0, 1.0},
    };
    for (const auto& c : cases) {
        factory.setProfile(profileWith(1, 0, 0, c.augmented, 0, 0));
        EXPECT_EQ(factory.marginXBetween1And2FromChord(c.chord), c.m12) << c.chord.elemStep1;
        EXPECT_EQ(factory.marginXBetween1And3FromChord(c.chord), c.m13) << c.chord.elemStep1;
    }
    factory.setProfile(profileWith(1, 1, 1, 0, 0, 0));
    EXPECT_EQ(factory.marginYBetween2And3FromChord({0, 1, 3, 17, false}), 1.0);
    EXPECT_EQ(factory.marginYBetween2And3FromChord({0, 1, 4, 17, false}), 0.0);
    EXPECT_EQ(factory.marginYBetween2And3FromChord({0, 1, 10, 17, false}), 3.0);
    EXPECT_EQ(factory.offsetYOfStep2Element({0, 1, 70, 17, false}), -3.0);
    EXPECT_EQ(factory.offsetYOfStep2Element({0, 2, 70, 17, false}), 1.5);
    EXPECT_EQ(factory.marginXBetween2AndSlashFromChord({17, 12, 70, 3, true}), 0.0);
    EXPECT_EQ(factory.marginXBetweenSlashAndBaseFromChord({0, 12, 70, 17, true}), 0.0);
    EXPECT_FALSE(factory.isBottomPosWithoutStep2(59));
    EXPECT_TRUE(factory.isBottomPosWithoutStep2(60));
}

} // namespace

namespace {

TEST(ChordFactoryBuiltInFont, HasEveryChordGlyph) {
    TOVUtils::overrideResourceDirectory(std::string(TOVRIN_TEST_RESOURCES));
    TOVChordViewLibrary library("Default");
    TOVUtils::overrideResourceDirectory(std::nullopt);

    auto expectAll = [](const std::vector<std::string>& keys,
                        const TOVChordViewLibrary::PathDictionary& found) {
        for (const auto& key : keys) {
            auto glyph = found.find(key);
            ASSERT_NE(glyph, found.end()) << key;
            EXPECT_FALSE(glyph->second.bounds().isEmpty()) << key;
            EXPECT_EQ(glyph->second.bounds().origin, (platform::Point{0, 0})) << key;
        }
    };
    expectAll(TOVChordViewLibrary::step1ResourceKeys(), library.dictBezierPathStep1());
    expectAll(TOVChordViewLibrary::step2ResourceKeys(), library.dictBezierPathStep2());
    expectAll(TOVChordViewLibrary::step3ResourceKeys(), library.dictBezierPathStep3());
    EXPECT_TRUE(library.bezierPathSlash());
    EXPECT_TRUE(library.bezierPathHyphen());
}

} // namespace

namespace {

// How far apart two boxes are: the larger of their horizontal and vertical gaps, negative when they
// overlap.
double clearance(const Rect& a, const Rect& b) {
    const double dx = std::max(b.minX() - a.maxX(), a.minX() - b.maxX());
    const double dy = std::max(b.minY() - a.maxY(), a.minY() - b.maxY());
    return std::max(dx, dy);
}

// The box of every point of each subpath, control points included: never smaller than the subpath's
// outline, so a clearance measured between such boxes holds for the outlines too.
std::vector<Rect> subpathBoxes(const platform::BezierPath& path) {
    std::vector<Rect> result;
    double minX = 0, minY = 0, maxX = 0, maxY = 0;
    for (const auto& element : path.elements()) {
        const int count = element.type == platform::PathElementType::CurveTo     ? 3
                          : element.type == platform::PathElementType::ClosePath ? 0
                                                                                 : 1;
        for (int i = 0; i < count; ++i) {
            const auto& p = element.points[i];
            if (element.type == platform::PathElementType::MoveTo) {
                if (!result.empty()) {
                    result.back() = Rect(minX, minY, maxX - minX, maxY - minY);
                }
                result.emplace_back();
                minX = maxX = p.x;
                minY = maxY = p.y;
            }
            minX = std::min(minX, p.x);
            maxX = std::max(maxX, p.x);
            minY = std::min(minY, p.y);
            maxY = std::max(maxY, p.y);
        }
    }
    if (!result.empty()) {
        result.back() = Rect(minX, minY, maxX - minX, maxY - minY);
    }
    return result;
}

std::optional<Rect> unionOf(const std::vector<Rect>& rects, std::size_t from, std::size_t to,
                            const std::function<bool(std::size_t)>& take = {}) {
    std::optional<Rect> result;
    for (std::size_t i = from; i < to && i < rects.size(); ++i) {
        if (!take || take(i)) {
            result = result ? result->unionWith(rects[i]) : rects[i];
        }
    }
    return result;
}

// Every quality (and none) with every tension (and none).
std::vector<std::pair<int, int>> everyQualityWithEveryTension() {
    std::vector<std::pair<int, int>> elements;
    for (int quality : {0, 1, 2, 3, 4, 5, 6, 7, 8, 10, 12}) {
        for (int tension = 0; tension <= 66; ++tension) {
            elements.emplace_back(quality, tension);
        }
        elements.emplace_back(quality, 70);
    }
    return elements;
}

// The typesetter tucks a quality, or a tension set without one, under the accidental of the root by a
// fixed margin; the built-in glyphs must leave the accidental and the letter clear of it. The elements
// are told apart in the typeset outline by their subpaths, which it appends root first, then quality,
// then tension; the accidental is what the root glyph holds beyond the subpaths of the plain letter.
TEST(ChordFactoryBuiltInFont, QualitiesAndTensionsClearTheRootsAccidental) {
    TOVUtils::overrideResourceDirectory(std::string(TOVRIN_TEST_RESOURCES));
    TOVChordViewFactory factory;
    factory.installPluginFontID("Default");
    TOVUtils::overrideResourceDirectory(std::nullopt);

    // Roots with an accidental and the code of their plain letter.
    const std::vector<std::pair<int, int>> roots = {{1, 0},  {2, 3},   {4, 3},   {5, 6},   {8, 7},
                                                    {9, 10}, {11, 10}, {12, 13}, {14, 13}, {15, 16}};
    // Between them these profiles choose every quality and tension glyph and every offset: each
    // state of the diminished seven-flat-five and minor-major-seven keys, and augmented by sharpFlat.
    const std::vector<TOVChordNotationProfile> profiles = {
        profileWith(0, 0, 0, 0, 0, 0), profileWith(0, 0, 0, 0, 0, 1), profileWith(0, 1, 0, 1, 0, 0),
        profileWith(1, 1, 0, 1, 0, 1), profileWith(1, 0, 1, 0, 0, 1)};
    // (quality, tension): every quality alone and with a tension stacked over it or beside it, and
    // every tension without a quality.
    const auto elements = everyQualityWithEveryTension();
    constexpr double kMinimumClearance = 0.5; // in chord units, after the chord scale
    // A tension stacked beside a raised sign must not read as a second sign of the root ("B flat
    // flat nine"): it keeps a clear gap from it.
    constexpr double kTensionClearance = 1.5;

    for (const auto& profile : profiles) {
        factory.setProfile(profile);
        for (const auto& [root, letter] : roots) {
            const auto rootGlyph = factory.bezierPathForStep1FontID(root, "Default");
            const auto letterGlyph = factory.bezierPathForStep1FontID(letter, "Default");
            ASSERT_TRUE(rootGlyph && letterGlyph) << root;
            // The letter stands on the root glyph's bottom-left corner, as in its own glyph.
            const auto rootParts = subpathBoxes(*rootGlyph);
            const double drop = rootGlyph->bounds().height() - letterGlyph->bounds().height();
            std::vector<bool> isSign(rootParts.size(), true);
            for (const auto& part : subpathBoxes(*letterGlyph)) {
                const Rect moved = part.offsetBy(0, drop);
                for (std::size_t i = 0; i < rootParts.size(); ++i) {
                    if (std::abs(rootParts[i].minX() - moved.minX()) < 0.02 &&
                        std::abs(rootParts[i].maxX() - moved.maxX()) < 0.02 &&
                        std::abs(rootParts[i].minY() - moved.minY()) < 0.02 &&
                        std::abs(rootParts[i].maxY() - moved.maxY()) < 0.02) {
                        isSign[i] = false;
                    }
                }
            }
            auto sign = [&](std::size_t i) { return bool(isSign[i]); };
            auto plain = [&](std::size_t i) { return !isSign[i]; };
            ASSERT_TRUE(unionOf(rootParts, 0, rootParts.size(), sign)) << "no accidental in root " << root;

            for (const auto& [quality, tension] : elements) {
                if (tension != 70 && !factory.bezierPathForStep3FontID(tension, "Default")) {
                    continue; // a code without a glyph
                }
                const auto chordPath = factory.bezierPathFromChordFontID(
                    TOVChordElems{root, quality, tension, 17, false}, "Default");
                ASSERT_TRUE(chordPath);
                const auto parts = subpathBoxes(*chordPath);
                const auto qualityGlyph = factory.bezierPathForStep2FontID(quality, "Default");
                const std::size_t rootEnd = rootParts.size();
                const std::size_t qualityEnd =
                    rootEnd + (qualityGlyph ? subpathBoxes(*qualityGlyph).size() : 0);
                const auto signBox = unionOf(parts, 0, rootEnd, sign);
                const auto letterBox = unionOf(parts, 0, rootEnd, plain);
                const std::string what = "root " + std::to_string(root) + " quality " +
                                         std::to_string(quality) + " tension " + std::to_string(tension) +
                                         " sharpFlat " + std::to_string(profile.sharpFlat);
                const auto qualityBox = unionOf(parts, rootEnd, qualityEnd);
                const auto tensionBox = unionOf(parts, qualityEnd, parts.size());
                if (qualityBox) {
                    EXPECT_GE(clearance(*signBox, *qualityBox), kMinimumClearance) << what;
                    EXPECT_GE(clearance(*letterBox, *qualityBox), kMinimumClearance) << what;
                }
                if (tensionBox) {
                    EXPECT_GE(clearance(*signBox, *tensionBox),
                              quality == 12 ? kMinimumClearance : kTensionClearance)
                        << what;
                    EXPECT_GE(clearance(*letterBox, *tensionBox), kMinimumClearance) << what;
                }
            }
        }
    }
}

// The ink of the subpaths [from, to): the zero-area anchors a glyph carries to widen its bounds are
// left out, so that what is measured is what a reader sees.
std::optional<Rect> inkOf(const std::vector<Rect>& rects, std::size_t from, std::size_t to) {
    return unionOf(rects, from, to,
                   [&](std::size_t i) { return rects[i].width() > 0 && rects[i].height() > 0; });
}

// The profiles of the clearance test above, and the default one.
std::vector<TOVChordNotationProfile> clearanceProfiles() {
    return {profileWith(0, 0, 0, 0, 0, 0), profileWith(0, 0, 0, 0, 0, 1), profileWith(0, 1, 0, 1, 0, 0),
            profileWith(1, 1, 0, 1, 0, 1), profileWith(1, 0, 1, 0, 0, 1), TOVChordNotationProfile{}};
}

// As clear a gap as a quality keeps from a root's accidental (1.3 glyph units): less, and "G7" or "Cm7"
// read as one run of ink.
constexpr double kPlainRootClearance = 1.0;

// A root without an accidental leaves room after its letter: every quality and every tension, stacked
// or beside it, starts clear of it.
TEST(ChordFactoryBuiltInFont, QualitiesAndTensionsClearAPlainRoot) {
    TOVUtils::overrideResourceDirectory(std::string(TOVRIN_TEST_RESOURCES));
    TOVChordViewFactory factory;
    factory.installPluginFontID("Default");
    TOVUtils::overrideResourceDirectory(std::nullopt);

    const auto elements = everyQualityWithEveryTension();
    for (const auto& profile : clearanceProfiles()) {
        factory.setProfile(profile);
        for (int root : {0, 3, 6, 7, 10, 13, 16}) { // C D E F G A B
            const std::size_t rootEnd =
                subpathBoxes(*factory.bezierPathForStep1FontID(root, "Default")).size();
            for (const auto& [quality, tension] : elements) {
                if (tension != 70 && !factory.bezierPathForStep3FontID(tension, "Default")) {
                    continue; // a code without a glyph
                }
                const auto parts = subpathBoxes(*factory.bezierPathFromChordFontID(
                    TOVChordElems{root, quality, tension, 17, false}, "Default"));
                const auto qualityGlyph = factory.bezierPathForStep2FontID(quality, "Default");
                const std::size_t qualityEnd =
                    rootEnd + (qualityGlyph ? subpathBoxes(*qualityGlyph).size() : 0);
                const auto letter = inkOf(parts, 0, rootEnd);
                const auto qualityInk = inkOf(parts, rootEnd, qualityEnd);
                const auto tensionInk = inkOf(parts, qualityEnd, parts.size());
                const std::string what =
                    "root " + std::to_string(root) + " quality " + std::to_string(quality) + " tension " +
                    std::to_string(tension) + " major " + std::to_string(profile.major) + " minor " +
                    std::to_string(profile.minor) + " sharpFlat " + std::to_string(profile.sharpFlat);
                ASSERT_TRUE(letter) << what;
                if (qualityInk) {
                    EXPECT_GE(clearance(*letter, *qualityInk), kPlainRootClearance) << what;
                }
                if (tensionInk) {
                    EXPECT_GE(clearance(*letter, *tensionInk), kPlainRootClearance) << what;
                }
            }
        }
    }
}

// A slash chord on the line: the slash stands as far from a root's accidental as from a plain letter
// ("Bb/Db" reads as one chord, not "Bb /Db"), with a quality between them or none.
TEST(ChordFactoryBuiltInFont, ASlashStandsAsCloseToARootsAccidentalAsToAPlainLetter) {
    TOVUtils::overrideResourceDirectory(std::string(TOVRIN_TEST_RESOURCES));
    TOVChordViewFactory factory;
    factory.installPluginFontID("Default");
    TOVUtils::overrideResourceDirectory(std::nullopt);
    factory.setProfile(profileWith(1, 0, 0, 0, 0, 0));

    const std::size_t slashParts = subpathBoxes(*factory.bezierPathSlashForfontID("Default")).size();
    // The gap between the root's ink and the slash's, in glyph units after scaling.
    auto gapAfterRoot = [&](int root) {
        const std::size_t rootEnd = subpathBoxes(*factory.bezierPathForStep1FontID(root, "Default")).size();
        const auto parts = subpathBoxes(
            *factory.bezierPathFromChordFontID(TOVChordElems{root, 12, 70, 3, false}, "Default"));
        const auto rootInk = inkOf(parts, 0, rootEnd);
        const auto slashInk = inkOf(parts, rootEnd, rootEnd + slashParts);
        EXPECT_TRUE(rootInk && slashInk) << "root " << root;
        return rootInk && slashInk ? slashInk->minX() - rootInk->maxX() : 0.0;
    };
    double plainLeast = 1e9;
    double plainMost = -1e9;
    for (int root : {0, 3, 6, 7, 10, 13, 16}) { // C D E F G A B
        plainLeast = std::min(plainLeast, gapAfterRoot(root));
        plainMost = std::max(plainMost, gapAfterRoot(root));
    }
    ASSERT_GT(plainLeast, 0.5);
    for (int root : {1, 2, 4, 5, 8, 9, 11, 12, 14, 15}) { // the sharps and flats
        const double gap = gapAfterRoot(root);
        EXPECT_GE(gap, plainLeast - 0.5) << "root " << root;
        EXPECT_LE(gap, plainMost + 0.5) << "root " << root;
    }
}

// A tension that opens with a parenthesis keeps the parenthesis clear of what it follows: the quality it
// is stacked over ("G7(b9,13)" must not read as a 7 with a hook), and the root, with or without its sign.
// The parenthesis is the tension's first ink, told from a figure or letter by being narrow and tall.
TEST(ChordFactoryBuiltInFont, ATensionsOpeningParenthesisClearsWhatPrecedesIt) {
    TOVUtils::overrideResourceDirectory(std::string(TOVRIN_TEST_RESOURCES));
    TOVChordViewFactory factory;
    factory.installPluginFontID("Default");
    TOVUtils::overrideResourceDirectory(std::nullopt);

    const auto elements = everyQualityWithEveryTension();
    for (const auto& profile : clearanceProfiles()) {
        factory.setProfile(profile);
        std::set<int> opened; // tensions found to open with a parenthesis
        for (int root = 0; root <= 16; ++root) {
            const std::size_t rootEnd =
                subpathBoxes(*factory.bezierPathForStep1FontID(root, "Default")).size();
            for (const auto& [quality, tension] : elements) {
                const auto tensionGlyph = factory.bezierPathForStep3FontID(tension, "Default");
                if (!tensionGlyph) {
                    continue;
                }
                const auto parts = subpathBoxes(*factory.bezierPathFromChordFontID(
                    TOVChordElems{root, quality, tension, 17, false}, "Default"));
                const auto qualityGlyph = factory.bezierPathForStep2FontID(quality, "Default");
                const std::size_t qualityEnd =
                    rootEnd + (qualityGlyph ? subpathBoxes(*qualityGlyph).size() : 0);
                std::optional<Rect> opening;
                for (std::size_t i = qualityEnd; i < parts.size() && !opening; ++i) {
                    if (parts[i].width() > 0 && parts[i].height() > 0) {
                        opening = parts[i];
                    }
                }
                ASSERT_TRUE(opening) << "tension " << tension;
                if (opening->width() > 0.35 * opening->height()) {
                    continue; // a figure, a sign or a word comes first
                }
                opened.insert(tension);
                const std::string what =
                    "root " + std::to_string(root) + " quality " + std::to_string(quality) + " tension " +
                    std::to_string(tension) + " major " + std::to_string(profile.major) + " minor " +
                    std::to_string(profile.minor) + " sharpFlat " + std::to_string(profile.sharpFlat);
                EXPECT_GE(clearance(*inkOf(parts, 0, rootEnd), *opening), kPlainRootClearance) << what;
                if (const auto qualityInk = inkOf(parts, rootEnd, qualityEnd)) {
                    EXPECT_GE(clearance(*qualityInk, *opening), kPlainRootClearance) << what;
                }
            }
        }
        // The flat nine with thirteen, as in "G7(b9,13)", opens with one under every profile.
        EXPECT_TRUE(opened.count(52)) << "sharpFlat " << profile.sharpFlat;
    }
}

// Under every profile, every chord's outline reaches below the line its root stands on by exactly the
// offset the bar view lowers it by, so that roots of neighbouring chords stand on one line.
TEST(ChordFactoryBuiltInFont, EveryChordsRootStandsOnTheChordLine) {
    TOVUtils::overrideResourceDirectory(std::string(TOVRIN_TEST_RESOURCES));
    TOVChordViewFactory factory;
    factory.installPluginFontID("Default");
    TOVUtils::overrideResourceDirectory(std::nullopt);

    const std::vector<TOVChordNotationProfile> profiles = {
        profileWith(1, 0, 0, 0, 0, 0), profileWith(0, 1, 1, 1, 0, 1), profileWith(0, 0, 0, 0, 0, 1),
        profileWith(1, 1, 1, 0, 0, 0)};
    const auto elements = everyQualityWithEveryTension();
    for (const auto& profile : profiles) {
        factory.setProfile(profile);
        for (int root = 0; root <= 16; ++root) {
            const std::size_t rootParts =
                subpathBoxes(*factory.bezierPathForStep1FontID(root, "Default")).size();
            for (const auto& [quality, tension] : elements) {
                if (tension != 70 && !factory.bezierPathForStep3FontID(tension, "Default")) {
                    continue; // a code without a glyph sets as no tension
                }
                const TOVChordElems chord{root, quality, tension, quality == 3 ? 6 : 17, quality == 3};
                const auto path = factory.bezierPathFromChordFontID(chord, "Default");
                ASSERT_TRUE(path);
                const auto parts = subpathBoxes(*path);
                double rootBottom = 0;
                for (std::size_t i = 0; i < rootParts; ++i) {
                    rootBottom = std::max(rootBottom, parts[i].maxY());
                }
                EXPECT_NEAR(path->bounds().maxY() - rootBottom, factory.offsetYUnderBaseline(chord), 0.02)
                    << "root " << root << " quality " << quality << " tension " << tension << " minor "
                    << profile.minor << " diminished " << profile.diminished;
            }
        }
    }
}

// Signs that do not stand on the line stand where a reader expects them: minus and plus at half the
// height of a capital, the diminished circle and the half-diminished sign raised; words and figures
// that hang a descender ("maj7", "aug") keep their letters on the root's line.
TEST(ChordFactoryBuiltInFont, SignsStandAtTheirConventionalHeight) {
    TOVUtils::overrideResourceDirectory(std::string(TOVRIN_TEST_RESOURCES));
    TOVChordViewFactory factory;
    factory.installPluginFontID("Default");
    TOVUtils::overrideResourceDirectory(std::nullopt);

    // Heights are fractions of the root's capital above its line, of the element's parts [from, to)
    // (counted without the zero-area anchors).
    struct Case {
        const char* name;
        TOVChordElems chord;
        TOVChordNotationProfile profile;
        bool tension; // the element is the tension, else the quality
        std::size_t from, to;
        double minBottom, maxBottom, minTop, maxTop;
    };
    const std::vector<Case> cases = {
        {"C minus", {0, 1, 70, 17, false}, profileWith(1, 1, 0, 0, 0, 0), false, 0, 1, 0.4, 0.5, 0.5, 0.6},
        {"C plus", {0, 12, 20, 17, false}, profileWith(1, 0, 0, 0, 0, 0), true, 0, 1, 0.2, 0.5, 0.5, 0.8},
        {"C diminished circle",
         {0, 5, 70, 17, false},
         profileWith(1, 0, 1, 0, 0, 0),
         false,
         0,
         2,
         0.5,
         0.7,
         0.9,
         1.05},
        {"C half-diminished sign",
         {0, 2, 70, 17, false},
         profileWith(1, 0, 1, 0, 0, 0),
         false,
         0,
         3,
         0.45,
         0.7,
         0.9,
         1.1},
        {"C half-diminished figure",
         {0, 2, 70, 17, false},
         profileWith(1, 0, 1, 0, 0, 0),
         false,
         3,
         4,
         -0.02,
         0.02,
         0.6,
         0.9},
        {"C maj7 m",
         {0, 6, 70, 17, false},
         profileWith(0, 0, 0, 0, 0, 0),
         false,
         0,
         1,
         -0.02,
         0.02,
         0.4,
         0.7},
        {"C aug a", {0, 12, 1, 17, false}, profileWith(1, 0, 0, 0, 0, 0), true, 0, 2, -0.02, 0.02, 0.3, 0.6},
    };
    auto drop = [](std::vector<Rect> boxes) {
        boxes.erase(std::remove_if(boxes.begin(), boxes.end(),
                                   [](const Rect& r) { return r.width() == 0 && r.height() == 0; }),
                    boxes.end());
        return boxes;
    };
    for (const auto& c : cases) {
        factory.setProfile(c.profile);
        const auto root = drop(subpathBoxes(*factory.bezierPathForStep1FontID(c.chord.elemStep1, "Default")));
        const auto quality = factory.bezierPathForStep2FontID(c.chord.elemStep2, "Default");
        const std::size_t qualityParts = quality ? drop(subpathBoxes(*quality)).size() : 0;
        const auto parts = drop(subpathBoxes(*factory.bezierPathFromChordFontID(c.chord, "Default")));
        const auto letter = *unionOf(parts, 0, root.size());
        const double line = letter.maxY();
        const double cap = letter.height();
        const std::size_t first = root.size() + (c.tension ? qualityParts : 0);
        const auto element = unionOf(parts, first + c.from, first + c.to);
        ASSERT_TRUE(element) << c.name;
        const double bottom = (line - element->maxY()) / cap;
        const double top = (line - element->minY()) / cap;
        EXPECT_GE(bottom, c.minBottom) << c.name;
        EXPECT_LE(bottom, c.maxBottom) << c.name;
        EXPECT_GE(top, c.minTop) << c.name;
        EXPECT_LE(top, c.maxTop) << c.name;
    }
}

} // namespace
