#include "model/TOVUtils.h"
#include "support/TempDir.h"

#include "model/TOVSymbolTypes.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/MemoryDefaultsStore.h"
#include "platform/foundation/UserDefaults.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

TEST(TOVUtilsColorText, WritesComponentsAsHexadecimal) {
    using platform::Color;
    EXPECT_EQ(TOVUtils::hexStringFromColor(Color::fromRGB(0.5, 1.0, 0.0)), "#FF7FFF00");
    EXPECT_EQ(TOVUtils::hexStringFromColor(Color::black()), "#FF000000");
    // The leading FF is written whatever the alpha.
    EXPECT_EQ(TOVUtils::hexStringFromColor(Color::fromRGB(0.2, 0.4, 0.6, 0.1)), "#FF336699");
    // Components outside 0..1 are written at the nearest end.
    EXPECT_EQ(TOVUtils::hexStringFromColor(Color::fromRGB(2.0, -1.0, std::nan(""))), "#FFFF0000");
}

TEST(TOVUtilsColorText, ReadsOpaqueColours) {
    const platform::Color expected = platform::Color::fromRGB(0x33 / 255.0, 0x66 / 255.0, 0x99 / 255.0, 1.0);
    for (std::string text : {"#336699", "336699", "#FF336699", "AA336699", "#0x336699", "  336699zz"}) {
        EXPECT_EQ(TOVUtils::colorFromHexString(text), expected) << text;
    }
    for (std::optional<std::string_view> text :
         {std::optional<std::string_view>(), std::optional<std::string_view>(""),
          std::optional<std::string_view>("#"), std::optional<std::string_view>("xyz")}) {
        EXPECT_EQ(TOVUtils::colorFromHexString(text), platform::Color::black());
    }
    // Too many digits saturate, as one 32-bit number.
    EXPECT_EQ(TOVUtils::colorFromHexString("123456789"), platform::Color::white());

    // Colours of whole bytes go through text and back unchanged.
    const platform::Color color = platform::Color::fromRGB(12 / 255.0, 200 / 255.0, 1.0);
    EXPECT_EQ(TOVUtils::colorFromHexString(TOVUtils::hexStringFromColor(color)), color);
}

TEST(TOVUtilsSymbols, GroupOneHoldsDynamicsOctavesPushesArticulationsAndTempoSigns) {
    const std::vector<std::pair<int, int>> cases = {
        {TOVSymbolDynamicsFFF, 1},    {TOVSymbolDynamicsSFZ, 1},
        {TOVSymbolOctave8vaBassa, 1}, {TOVSymbolPush8, 1},
        {TOVSymbolSlur, 1},           {TOVSymbolRit, 1},
        {TOVSymbolRubato, 1},         {TOVSymbolTempoSpeed, 0},
        {TOVSymbolDaCapo, 0},         {TOVSymbolClefG, 0},
        {TOVToolFreeText, 0},         {TOVSymbolChord, 0},
        {TOVSymbolSharp, 0},          {0, 0},
    };
    for (const auto& [type, group] : cases) {
        EXPECT_EQ(TOVUtils::symbolGroupOf(type), group) << std::hex << type;
    }
}

class TOVUtilsFolders : public ::testing::Test {
protected:
    void SetUp() override {
        TOVUtils::forgetPluginFontsDirectory();
        TOVUtils::overrideResourceDirectory((folder_.path() / "bundle").string());
        folder_.write("bundle/chordC.svg", "<svg/>");
    }
    void TearDown() override {
        TOVUtils::forgetPluginFontsDirectory();
        TOVUtils::overrideResourceDirectory(std::nullopt);
    }

    TempDir folder_;
};

TEST_F(TOVUtilsFolders, DefaultFontUsesTheApplicationResourcesOnly) {
    ScopedEnv data("XDG_DATA_HOME", (folder_.path() / "data").string());
    folder_.write("data/Tovrin2/cache/Default/chordD.svg", "<svg/>");

    EXPECT_EQ(TOVUtils::pathForResourceOfTypeFontID("chordC", "svg", "Default"),
              (folder_.path() / "bundle" / "chordC.svg").string());
    EXPECT_EQ(TOVUtils::pathForResourceOfType("chordC", "svg"),
              (folder_.path() / "bundle" / "chordC.svg").string());
    EXPECT_EQ(TOVUtils::pathForResourceOfTypeFontID("chordD", "svg", "Default"), std::nullopt);
    EXPECT_EQ(TOVUtils::pathForResourceOfType("../bundle/chordC", "svg"), std::nullopt);
    // The plug-in folders were not even made.
    EXPECT_FALSE(fs::exists(folder_.path() / "data" / "Tovrin2" / "fonts"));
}

TEST_F(TOVUtilsFolders, PluginFontsLiveInTheirOwnCacheFolder) {
    ScopedEnv data("XDG_DATA_HOME", (folder_.path() / "data").string());
    const fs::path fonts = folder_.path() / "data" / "Tovrin2" / "fonts";
    const fs::path cache = folder_.path() / "data" / "Tovrin2" / "cache";

    // The path is answered whether or not the file is there; the fonts folder is made on the way.
    EXPECT_EQ(TOVUtils::pathForResourceOfTypeFontID("chordC", "svg", "com.example.jazz"),
              (cache / "com.example.jazz" / "chordC.svg").string());
    EXPECT_EQ(TOVUtils::pluginFontsDirectory(), fonts.string());
    EXPECT_TRUE(fs::is_directory(fonts));
    EXPECT_EQ(TOVUtils::pluginFontsCacheDirectory(), cache.string());

    // A font ID that could name anything but one folder inside the cache has no path.
    for (const std::string& id :
         std::vector<std::string>{"..", ".", "../fonts", "a/b", "/etc", std::string("a\0b", 3), ""}) {
        EXPECT_EQ(TOVUtils::pathForResourceOfTypeFontID("chordC", "svg", id), std::nullopt) << id;
    }
    EXPECT_EQ(TOVUtils::pathForResourceOfTypeFontID("../../x", "svg", "jazz"), std::nullopt);
}

TEST_F(TOVUtilsFolders, FontsFolderIsRetriedUntilMadeAndThenRemembered) {
    // A data folder below a plain file cannot hold the fonts folder.
    folder_.write("blocker", "a file");
    {
        ScopedEnv data("XDG_DATA_HOME", (folder_.path() / "blocker" / "data").string());
        EXPECT_EQ(TOVUtils::pluginFontsDirectory(), std::nullopt);
        EXPECT_EQ(TOVUtils::pluginFontsCacheDirectory(), std::nullopt);
        EXPECT_EQ(TOVUtils::pathForResourceOfTypeFontID("chordC", "svg", "jazz"), std::nullopt);
    }
    {
        ScopedEnv data("XDG_DATA_HOME", (folder_.path() / "first").string());
        EXPECT_EQ(TOVUtils::pluginFontsDirectory(),
                  (folder_.path() / "first" / "Tovrin2" / "fonts").string());
    }
    ScopedEnv data("XDG_DATA_HOME", (folder_.path() / "second").string());
    EXPECT_EQ(TOVUtils::pluginFontsDirectory(), (folder_.path() / "first" / "Tovrin2" / "fonts").string());
    EXPECT_FALSE(fs::exists(folder_.path() / "second"));
}

class TOVUtilsDefaults : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = platform::UserDefaults::replaceStandard(
            std::make_unique<platform::UserDefaults>(std::make_unique<platform::MemoryDefaultsStore>()));
        // The values the application registers at start-up.
        platform::UserDefaults::standard().registerDefaults({
            {"actionNotesAreaDoubleClick", std::int64_t{0}},
            {"actionNotesAreaRightClick", std::int64_t{1}},
            {"actionChordsAreaDoubleClick", std::int64_t{1}},
            {"actionChordsAreaRightClick", std::int64_t{0}},
            {"pageBackgroundColor",
             platform::KeyedArchiver::archivedDataWithRootColor(platform::Color::white())},
            {"divideInputNote", true},
            {"notationBarline", std::int64_t{0}},
            {"notationChordMajor", std::int64_t{1}},
            {"notationChordMinor", std::int64_t{0}},
            {"notationChordDiminished", std::int64_t{0}},
            {"notationChordAugment", std::int64_t{0}},
            {"notationChordOn", std::int64_t{0}},
            {"notationChordSharpFlat", std::int64_t{0}},
        });
    }
    void TearDown() override { platform::UserDefaults::replaceStandard(std::move(previous_)); }

    std::unique_ptr<platform::UserDefaults> previous_;
};

TEST_F(TOVUtilsDefaults, ReadersAnswerRegisteredValuesUntilTheUserSetsOthers) {
    auto& defaults = platform::UserDefaults::standard();
    EXPECT_EQ(TOVUtils::actionTypeDoubleClickNotesArea(), 0);
    EXPECT_EQ(TOVUtils::actionTypeRightClickNotesArea(), 1);
    EXPECT_EQ(TOVUtils::actionTypeDoubleClickChordsArea(), 1);
    EXPECT_EQ(TOVUtils::actionTypeRightClickChordsArea(), 0);
    EXPECT_EQ(TOVUtils::notationTypeBarline(), 0);
    EXPECT_TRUE(TOVUtils::divideInputNote());
    EXPECT_EQ(TOVUtils::currentChordNotationProfile(), TOVUtils::defaultChordNotationProfile());
    EXPECT_EQ(TOVUtils::pageBackgroundColor(), platform::Color::white());

    defaults.setInteger("actionNotesAreaDoubleClick", 2);
    defaults.setInteger("actionChordsAreaRightClick", 1);
    defaults.setInteger("notationBarline", 1);
    defaults.setBool("divideInputNote", false);
    defaults.setInteger("notationChordMajor", 0);
    defaults.setInteger("notationChordMinor", 1);
    defaults.setInteger("notationChordDiminished", 1);
    defaults.setInteger("notationChordAugment", 1);
    defaults.setInteger("notationChordOn", 1);
    defaults.setString("notationChordSharpFlat", "1");
    defaults.setData("pageBackgroundColor",
                     platform::KeyedArchiver::archivedDataWithRootColor(platform::Color::fromRGB(1, 1, 0.8)));

    EXPECT_EQ(TOVUtils::actionTypeDoubleClickNotesArea(), 2);
    EXPECT_EQ(TOVUtils::actionTypeRightClickChordsArea(), 1);
    EXPECT_EQ(TOVUtils::notationTypeBarline(), 1);
    EXPECT_FALSE(TOVUtils::divideInputNote());
    EXPECT_EQ(TOVUtils::currentChordNotationProfile(), (TOVChordNotationProfile{0, 1, 1, 1, 1, 1}));
    EXPECT_EQ(TOVUtils::pageBackgroundColor(), platform::Color::fromRGB(1, 1, 0.8));

    // Integers answer their low 32 bits; a background that cannot be read is white.
    defaults.setInteger("actionNotesAreaRightClick", 0x100000005);
    EXPECT_EQ(TOVUtils::actionTypeRightClickNotesArea(), 5);
    defaults.setData("pageBackgroundColor", {1, 2, 3});
    EXPECT_EQ(TOVUtils::pageBackgroundColor(), platform::Color::white());
    defaults.setString("pageBackgroundColor", "red");
    EXPECT_EQ(TOVUtils::pageBackgroundColor(), platform::Color::white());

    defaults.removeObjectForKey("notationChordMinor");
    EXPECT_EQ(TOVUtils::currentChordNotationProfile().minor, 0);
}

TEST(TOVUtilsServices, HandsOutWhatTheApplicationRegistered) {
    TOVUtils::registerServices({});
    EXPECT_EQ(TOVUtils::chordViewFactory(), nullptr);
    EXPECT_EQ(TOVUtils::objectViewFactory(), nullptr);
    EXPECT_EQ(TOVUtils::noteViewFactory(), nullptr);
    EXPECT_EQ(TOVUtils::cursorForResizeHandle(4), nullptr);
    TOVUtils::showAboutWindow();

    std::vector<std::string> made;
    std::map<const platform::Cursor*, std::string> imageOf;
    int preferencesShown = 0;
    TOVUtils::Services services;
    services.showPreferencesWindow = [&] { ++preferencesShown; };
    services.makeCursor = [&](const std::string& image, platform::Point hotSpot) {
        made.push_back(image);
        EXPECT_EQ(hotSpot, (platform::Point{7, 7}));
        // Any object stands for a cursor here; only its identity matters.
        auto token = std::make_shared<int>(0);
        auto cursor =
            std::shared_ptr<platform::Cursor>(token, reinterpret_cast<platform::Cursor*>(token.get()));
        imageOf[cursor.get()] = image;
        return cursor;
    };
    TOVUtils::registerServices(services);

    TOVUtils::showPreferencesWindow();
    EXPECT_EQ(preferencesShown, 1);

    const std::vector<std::pair<int, std::string>> images = {
        {0, "cursorRightDown"}, {2, "cursorRightDown"}, {1, "cursorRightUp"},   {3, "cursorRightUp"},
        {4, "cursorUpDown"},    {6, "cursorUpDown"},    {5, "cursorLeftRight"}, {7, "cursorLeftRight"},
        {8, "cursorRotate"},    {9, "cursorRotate"},
    };
    for (const auto& [handle, image] : images) {
        const auto cursor = TOVUtils::cursorForResizeHandle(handle);
        ASSERT_NE(cursor, nullptr) << handle;
        EXPECT_EQ(imageOf[cursor.get()], image) << handle;
    }
    EXPECT_EQ(TOVUtils::cursorForResizeHandle(10), nullptr);
    EXPECT_EQ(TOVUtils::cursorForResizeHandle(-1), nullptr);
    // One cursor per image, made once.
    EXPECT_EQ(made, (std::vector<std::string>{"cursorRightDown", "cursorRightUp", "cursorUpDown",
                                              "cursorLeftRight", "cursorRotate"}));
    EXPECT_EQ(TOVUtils::cursorForResizeHandle(0), TOVUtils::cursorForResizeHandle(2));
    TOVUtils::registerServices({});
}

TEST(TOVUtilsVersions, VersionTexts) {
    EXPECT_EQ(TOVUtils::tovrinVersionString(), "2.0");
    EXPECT_FALSE(TOVUtils::systemVersionString().empty());
    EXPECT_FALSE(TOVUtils::isSystemVersionOlderThan109());
}

} // namespace
