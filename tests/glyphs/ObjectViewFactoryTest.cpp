#include "GlyphTestFiles.h"
#include "glyphs/SVGUtils.h"
#include "glyphs/TOVObjectView.h"
#include "glyphs/TOVObjectViewFactory.h"
#include "glyphs/TOVObjectViewLibrary.h"
#include "model/TOVSymbolTypes.h"
#include "model/TOVUtils.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

using glyphtest::subpathBounds;
using platform::BezierPath;
using platform::Rect;

namespace {

constexpr double kScale = 0.59;

// A "Default" font of rectangle glyphs in a folder of the test's own, with plug-in fonts beside it.
class SymbolFactoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        TOVUtils::forgetPluginFontsDirectory();
        TOVUtils::overrideResourceDirectory((folder_.path() / "resources").string());
    }
    void TearDown() override {
        TOVUtils::forgetPluginFontsDirectory();
        TOVUtils::overrideResourceDirectory(std::nullopt);
    }
    // File sizes; the glyphs read at the symbol scale.
    void writeDefault(const std::string& key, double w, double h) {
        folder_.write("resources/" + key + ".svg", glyphtest::rectangleGlyph(w, h));
    }
    void writePlugin(const std::string& font, const std::string& key, double w, double h) {
        folder_.write("data/Tovrin2/cache/" + font + "/" + key + ".svg", glyphtest::rectangleGlyph(w, h));
    }
    void writeDigits(double w, double h) {
        for (int d = 0; d <= 9; ++d) {
            writeDefault("generalNumber" + std::to_string(d), w + d, h);
            writeDefault("generalNumberCircle" + std::to_string(d), w + d, w + d);
        }
    }

    TempDir folder_;
    ScopedEnv data_{"XDG_DATA_HOME", (folder_.path() / "data").string()};
};

std::set<int> typesWithViews(const TOVObjectViewLibrary& library) {
    std::set<int> types;
    for (int category = 0; category <= 0xF; ++category) {
        for (int low = 0; low < 0x30; ++low) {
            const int type = (category << 8) | low;
            if (library.prototypeViewWithSymbolType(type)) {
                types.insert(type);
            }
        }
    }
    return types;
}

TEST_F(SymbolFactoryTest, AFontWithoutFilesStillHasTheSymbolsDrawnInCode) {
    TOVObjectViewLibrary library("Default");
    std::set<int> expected;
    for (int t = TOVSymbolMarkIntro; t <= TOVSymbolMark8; ++t) {
        expected.insert(t);
    }
    for (int t :
         {TOVToolFreeText, TOVToolArrow, TOVToolWave, TOVToolLine, TOVSymbolVoltaBegin, TOVSymbolVoltaEnd,
          TOVSymbolBisBegin, TOVSymbolBisEnd, TOVSymbolLongRest, TOVSymbolCrescendo, TOVSymbolDecrescendo}) {
        expected.insert(t);
    }
    EXPECT_EQ(typesWithViews(library), expected);
    EXPECT_FALSE(library.symbolObjectPathWithSymbolType(TOVSymbolMarkIntro)); // no outline to copy
    EXPECT_FALSE(library.repeatTimesPathWithTimes(3));
}

TEST(SymbolLibrary, TheDefaultFontHasEveryGlyphSymbolAndNothingBeyond) {
    TOVUtils::overrideResourceDirectory(std::string(TOVRIN_TEST_RESOURCES));
    TOVObjectViewLibrary library("Default");
    TOVUtils::overrideResourceDirectory(std::nullopt);
    const std::set<int> types = typesWithViews(library);
    // Every listed type but the barlines the barline view draws itself.
    std::set<int> expected;
    for (int category = TOVSymbolCategoryClef; category <= TOVSymbolCategoryDrawingTool;
         category += TOVSymbolCategoryClef) {
        const auto& keys = TOVObjectViewLibrary::resourceKeysOfCategory(category);
        for (int low = 0; low < static_cast<int>(keys.size()); ++low) {
            const int type = category | low;
            if (type < TOVBarlineRepeatForward || type > TOVBarlineTransparent) {
                expected.insert(type);
            }
        }
    }
    EXPECT_EQ(types, expected);
    for (int type : {TOVBarlineRepeatForward, TOVBarlineTransparent, TOVSymbolTenuto, TOVSymbolStaccato,
                     TOVSymbolMark8 + 1, TOVSymbolRepeatPrevBar4 + 1, TOVSymbolChord, TOVSymbolSharp, 0}) {
        EXPECT_EQ(library.symbolObjectViewWithSymbolType(type), nullptr) << std::hex << type;
    }
    // Every glyph read from a file has an outline at its own size; octave lines keep their 120 × 15 frame.
    for (int type : types) {
        const TOVObjectView* prototype = library.prototypeViewWithSymbolType(type);
        if (prototype->bezierPath()) {
            EXPECT_FALSE(prototype->bezierPath()->isEmpty()) << std::hex << type;
            const platform::Size expected = (type & TOVSymbolCategoryMask) == TOVSymbolCategoryOctave
                                                ? platform::Size{120, 15}
                                                : prototype->bezierPath()->bounds().size;
            EXPECT_EQ(prototype->frame().size, expected) << std::hex << type;
        }
    }
    EXPECT_EQ(library.dictPathBarlineRepeat().size(), 4u);
    EXPECT_TRUE(library.bezierPathFromBarlineRepeatResourceName("barlinesRepeatLeftUpper"));
}

TEST_F(SymbolFactoryTest, RepeatCountsAndDigitsPickTheirGlyphs) {
    for (int count = 2; count <= 12; ++count) {
        writeDefault("repeatRepeat" + std::to_string(count), 10, count);
    }
    writeDigits(10, 20);
    TOVObjectViewLibrary library("Default");
    struct Case {
        std::uint64_t times;
        double height;
    };
    for (const Case& c : {Case{12, 12}, Case{3, 3}, Case{13, 2}, Case{1, 2}, Case{0, 2}, Case{2, 2}}) {
        const auto path = library.repeatTimesPathWithTimes(c.times);
        ASSERT_TRUE(path) << c.times;
        EXPECT_NEAR(path->bounds().height(), c.height * kScale, 1e-9) << c.times;
    }
    EXPECT_NEAR(library.bezierPathFromNumberDigitCircle(7, false)->bounds().width(), 17 * kScale, 1e-9);
    EXPECT_NEAR(library.bezierPathFromNumberDigitCircle(7, true)->bounds().height(), 17 * kScale, 1e-9);
    EXPECT_FALSE(library.bezierPathFromNumberDigitCircle(10, false));
    EXPECT_FALSE(library.bezierPathFromNumberDigitCircle(10, true));
}

TEST_F(SymbolFactoryTest, LookupsAnswerCopiesThatLeaveThePrototypeAlone) {
    writeDefault("dynamicsF", 20, 10);
    TOVObjectViewLibrary library("Default");
    const TOVObjectView* prototype = library.prototypeViewWithSymbolType(TOVSymbolDynamicsF);
    ASSERT_NE(prototype, nullptr);
    const Rect frame = prototype->frame();
    const BezierPath outline = *prototype->bezierPath();
    auto a = library.symbolObjectViewWithSymbolType(TOVSymbolDynamicsF);
    auto b = library.symbolObjectViewWithSymbolType(TOVSymbolDynamicsF);
    ASSERT_TRUE(a && b);
    EXPECT_NE(a, b);
    a->setFrameOrigin({30, 40});
    a->bezierPath()->translate(3, 3);
    a->setState(1);
    auto path = library.symbolObjectPathWithSymbolType(TOVSymbolDynamicsF);
    path->scale(4, 4);
    EXPECT_EQ(b->frame(), frame);
    EXPECT_EQ(*b->bezierPath(), outline);
    EXPECT_EQ(prototype->frame(), frame);
    EXPECT_EQ(*prototype->bezierPath(), outline);
    EXPECT_EQ(prototype->state(), 0);
}

TEST_F(SymbolFactoryTest, SettingTheSameFontAgainReadsNoFile) {
    writeDefault("clefToon", 10, 30);
    TOVObjectViewLibrary library("Default");
    std::filesystem::remove(folder_.path() / "resources" / "clefToon.svg");
    library.setFontID("Default");
    EXPECT_NE(library.prototypeViewWithSymbolType(TOVSymbolClefG), nullptr);
    library.setFontID("other");
    EXPECT_EQ(library.prototypeViewWithSymbolType(TOVSymbolClefG), nullptr);
}

TEST_F(SymbolFactoryTest, PluginFontsReplaceOnlyTheGlyphsTheyHave) {
    writeDefault("clefToon", 10, 30);
    writeDefault("clefHeon", 12, 14);
    writePlugin("font.one", "clefToon", 20, 40);
    TOVObjectViewFactory factory;
    factory.installPluginFontID("Default");
    factory.installPluginFontID("font.one");
    auto heightOf = [&](int type, const std::string& font) {
        auto view = factory.symbolObjectViewWithSymbolTypeFontID(type, font);
        return view ? view->frame().height() / kScale : -1.0;
    };
    EXPECT_NEAR(heightOf(TOVSymbolClefG, "font.one"), 40, 1e-9);
    EXPECT_NEAR(heightOf(TOVSymbolClefF, "font.one"), 14, 1e-9);
    EXPECT_NEAR(heightOf(TOVSymbolClefG, "never.installed"), 30, 1e-9);
    EXPECT_NEAR(factory.symbolObjectPathWithSymbolTypeFontID(TOVSymbolClefG, "")->bounds().height() / kScale,
                30, 1e-9);
    EXPECT_EQ(heightOf(TOVSymbolClefF + 1, "font.one"), -1.0);

    const auto first = factory.defaultLibrary();
    const auto second = factory.installPluginFontID("Default");
    EXPECT_NE(first, second);
    EXPECT_EQ(factory.defaultLibrary(), second);
    EXPECT_EQ(factory.dictFontLibrary().at("Default"), second);
}

TEST_F(SymbolFactoryTest, NumbersAreComposedDigitByDigit) {
    writeDigits(2, 20); // digit d is (2 + d) wide
    TOVObjectViewFactory factory;
    factory.installPluginFontID("Default");
    const auto number = factory.bezierPathFromNumberDigitsCircleFontID(205, false, "Default");
    ASSERT_TRUE(number);
    const auto parts = subpathBounds(*number);
    ASSERT_EQ(parts.size(), 3u);
    EXPECT_EQ(parts[0].origin, (platform::Point{0, 0}));
    EXPECT_EQ(parts[1].origin, (platform::Point{4, 0}));
    EXPECT_EQ(parts[2].origin, (platform::Point{8, 0}));
    EXPECT_NEAR(parts[0].width(), 4 * kScale, 1e-9);
    EXPECT_NEAR(parts[2].width(), 7 * kScale, 1e-9);
    EXPECT_TRUE(factory.bezierPathFromNumberDigitsCircleFontID(0, false, "Default")->isEmpty());
    EXPECT_FALSE(factory.bezierPathFromNumberDigitsCircleFontID(10, true, "Default"));
    EXPECT_TRUE(factory.bezierPathFromNumberDigitsCircleFontID(9, true, "Default"));
}

TEST_F(SymbolFactoryTest, APluginDigitIsTakenAndTheOthersComeFromDefault) {
    writeDigits(2, 20);
    writePlugin("font.one", "generalNumber1", 50, 10);
    TOVObjectViewFactory factory;
    factory.installPluginFontID("Default");
    factory.installPluginFontID("font.one");
    const auto parts = subpathBounds(*factory.bezierPathFromNumberDigitsCircleFontID(12, false, "font.one"));
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_NEAR(parts[0].width(), 50 * kScale, 1e-9);
    EXPECT_NEAR(parts[1].width(), 4 * kScale, 1e-9);
    EXPECT_EQ(parts[1].x(), 4);
}

TEST_F(SymbolFactoryTest, MetronomeMarksCarryTheirSpeed) {
    writeDigits(2, 20);
    writeDefault("tempoSpeed", 20, 30);
    TOVObjectViewFactory factory;
    factory.installPluginFontID("Default");
    EXPECT_FALSE(factory.tempoSpeedPathWithSpeedFontID(1000, "Default"));
    const auto mark = factory.tempoSpeedPathWithSpeedFontID(999, "Default");
    ASSERT_TRUE(mark);
    const auto parts = subpathBounds(*mark);
    ASSERT_EQ(parts.size(), 4u);
    const double glyphWidth = 20 * kScale;
    for (int i = 1; i <= 3; ++i) {
        EXPECT_NEAR(parts[i].x(), glyphWidth + 2 + 4 * (i - 1), 1e-9);
        EXPECT_NEAR(parts[i].y(), 8, 1e-9);
    }
    EXPECT_EQ(subpathBounds(*factory.tempoSpeedPathWithSpeedFontID(0, "Default")).size(), 1u);
}

TEST_F(SymbolFactoryTest, SignsCarryTheCircledNumbersOfTheirPasses) {
    writeDigits(2, 20);
    writeDefault("repeatDaCapo", 20, 10);
    TOVObjectViewFactory factory;
    factory.installPluginFontID("Default");
    TOVRepeatNumberStates none;
    for (int i = 0; i < 8; ++i) {
        none[i] = i % 2 == 0 ? 0 : -1;
    }
    EXPECT_EQ(
        subpathBounds(*factory.repeatIdNumberViewPathWithTypeStatesFontID(TOVSymbolDaCapo, none, "Default"))
            .size(),
        1u);
    TOVRepeatNumberStates oneAndThree;
    oneAndThree[0] = 1;
    oneAndThree[2] = 1;
    const auto parts = subpathBounds(
        *factory.repeatIdNumberViewPathWithTypeStatesFontID(TOVSymbolDaCapo, oneAndThree, "Default"));
    ASSERT_EQ(parts.size(), 3u);
    EXPECT_NEAR(parts[1].x(), parts[0].maxX() + 2, 1e-9);
    EXPECT_NEAR(parts[1].width(), 3 * kScale, 1e-9); // the circled 1
    EXPECT_NEAR(parts[2].x(), parts[1].maxX() + 2, 1e-9);
    EXPECT_NEAR(parts[2].width(), 5 * kScale, 1e-9); // the circled 3
    EXPECT_FALSE(
        factory.repeatIdNumberViewPathWithTypeStatesFontID(TOVSymbolDalSegno, oneAndThree, "Default"));
}

} // namespace
