#include "platform/foundation/UserDefaults.h"

#include "platform/foundation/MemoryDefaultsStore.h"
#include "platform/foundation/SettingsDefaultsStore.h"

#include "support/TempDir.h"

#include <QStandardPaths>
#include <gtest/gtest.h>
#include <limits>

using platform::DefaultsValue;
using platform::MemoryDefaultsStore;
using platform::SettingsDefaultsStore;
using platform::UserDefaults;
using Bytes = std::vector<std::uint8_t>;

namespace {

const std::map<std::string, DefaultsValue> registration = {
    {"actionNotesAreaDoubleClick", std::int64_t{0}},
    {"actionNotesAreaRightClick", std::int64_t{1}},
    {"pageBackgroundColor", Bytes{0x01, 0x00, 0xFF}},
    {"displaySizeAuto", false},
    {"displaySizeNumber", "100%"},
    {"divideInputNote", true},
    {"notationChordMajor", std::int64_t{1}},
};

std::unique_ptr<UserDefaults> makeDefaults() {
    auto defaults = std::make_unique<UserDefaults>(std::make_unique<MemoryDefaultsStore>());
    defaults->registerDefaults(registration);
    return defaults;
}

} // namespace

TEST(UserDefaultsTest, StoredValuesOverrideRegisteredOnes) {
    UserDefaults defaults(std::make_unique<MemoryDefaultsStore>());
    defaults.registerDefaults(registration);
    EXPECT_EQ(defaults.integerForKey("actionNotesAreaRightClick"), 1);
    EXPECT_EQ(defaults.stringForKey("displaySizeNumber"), "100%");
    EXPECT_TRUE(defaults.boolForKey("divideInputNote"));
    EXPECT_EQ(defaults.dataForKey("pageBackgroundColor"), (Bytes{0x01, 0x00, 0xFF}));
    EXPECT_EQ(defaults.objectForKey("unknown"), std::nullopt);

    defaults.setString("displaySizeNumber", "150%");
    defaults.setBool("divideInputNote", false);
    defaults.setData("pageBackgroundColor", Bytes{0x02});
    EXPECT_EQ(defaults.stringForKey("displaySizeNumber"), "150%");
    EXPECT_FALSE(defaults.boolForKey("divideInputNote"));
    EXPECT_EQ(defaults.dataForKey("pageBackgroundColor"), Bytes{0x02});

    // A later registration does not hide what the user stored.
    defaults.registerDefaults({{"displaySizeNumber", "75%"}});
    EXPECT_EQ(defaults.stringForKey("displaySizeNumber"), "150%");

    defaults.removeObjectForKey("displaySizeNumber");
    EXPECT_EQ(defaults.stringForKey("displaySizeNumber"), "75%");
}

TEST(UserDefaultsTest, TypedReadersConvertWhateverIsStored) {
    struct Case {
        const char* label;
        DefaultsValue value;
        bool asBool;
        std::int64_t asInteger;
        double asDouble;
        std::optional<std::string> asString;
    };
    const Case cases[] = {
        {"true", true, true, 1, 1.0, "1"},
        {"false", false, false, 0, 0.0, "0"},
        {"integer", std::int64_t{-42}, true, -42, -42.0, "-42"},
        {"zero", std::int64_t{0}, false, 0, 0.0, "0"},
        {"real", 2.75, true, 2, 2.75, "2.75"},
        {"negative real", -2.75, true, -2, -2.75, "-2.75"},
        {"huge real", 1e300, true, std::numeric_limits<std::int64_t>::max(), 1e300, "1e+300"},
        {"percent text", "100%", true, 100, 100.0, "100%"},
        {"blank signed text", "  -12.5e1x", true, -12, -125.0, "  -12.5e1x"},
        {"yes text", "YES", true, 0, 0.0, "YES"},
        {"true text", "true", true, 0, 0.0, "true"},
        {"no text", "no", false, 0, 0.0, "no"},
        {"zeros then digit", "-007", true, -7, -7.0, "-007"},
        {"only zeros", "000", false, 0, 0.0, "000"},
        {"point first", ".5", false, 0, 0.5, ".5"},
        {"infinity text", "inf", false, 0, 0.0, "inf"},
        {"overflowing text", "99999999999999999999", true, std::numeric_limits<std::int64_t>::max(), 1e20,
         "99999999999999999999"},
        {"empty text", "", false, 0, 0.0, ""},
        {"bytes", Bytes{'1'}, false, 0, 0.0, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        UserDefaults defaults(std::make_unique<MemoryDefaultsStore>());
        defaults.setObject("k", c.value);
        EXPECT_EQ(defaults.boolForKey("k"), c.asBool);
        EXPECT_EQ(defaults.integerForKey("k"), c.asInteger);
        EXPECT_DOUBLE_EQ(defaults.doubleForKey("k"), c.asDouble);
        EXPECT_EQ(defaults.stringForKey("k"), c.asString);
        EXPECT_EQ(defaults.dataForKey("k").has_value(), std::holds_alternative<Bytes>(c.value));
    }
    UserDefaults empty(std::make_unique<MemoryDefaultsStore>());
    EXPECT_FALSE(empty.boolForKey("missing"));
    EXPECT_EQ(empty.integerForKey("missing"), 0);
    EXPECT_EQ(empty.doubleForKey("missing"), 0.0);
    EXPECT_EQ(empty.stringForKey("missing"), std::nullopt);
    EXPECT_EQ(empty.dataForKey("missing"), std::nullopt);
}

TEST(UserDefaultsTest, ObserversAreCalledAfterEachChange) {
    const auto owner = makeDefaults();
    UserDefaults& defaults = *owner;
    std::vector<std::string> calls;
    const auto id = defaults.addObserver("notationChordMajor", [&](const std::string& key) {
        // The new value is already in place when the observer runs.
        calls.push_back(key + "=" + std::to_string(defaults.integerForKey(key)));
    });
    defaults.addObserver("notationChordMinor", [&](const std::string& key) { calls.push_back(key); });

    defaults.setInteger("notationChordMajor", 0);
    EXPECT_EQ(calls, std::vector<std::string>{"notationChordMajor=0"});
    defaults.setInteger("notationChordMajor", 0); // no change
    defaults.setInteger("actionNotesAreaRightClick", 5);
    EXPECT_EQ(calls.size(), 1u);
    defaults.removeObjectForKey("notationChordMajor"); // the registered 1 shows again
    EXPECT_EQ(calls.back(), "notationChordMajor=1");
    defaults.registerDefaults({{"notationChordMajor", std::int64_t{3}}});
    EXPECT_EQ(calls.back(), "notationChordMajor=3");
    defaults.setInteger("notationChordMajor", 3); // stored now, but the value is the same
    EXPECT_EQ(calls.size(), 3u);

    defaults.removeObserver(id);
    defaults.setInteger("notationChordMajor", 7);
    EXPECT_EQ(calls.size(), 3u);
    defaults.setInteger("notationChordMinor", 1);
    EXPECT_EQ(calls.back(), "notationChordMinor");
}

TEST(UserDefaultsTest, ObserversMayChangeObserversAndValuesWhileCalled) {
    const auto owner = makeDefaults();
    UserDefaults& defaults = *owner;
    int firstCalls = 0;
    int secondCalls = 0;
    int chainedCalls = 0;
    UserDefaults::ObserverId second = 0;
    defaults.addObserver("divideInputNote", [&](const std::string&) {
        ++firstCalls;
        defaults.removeObserver(second);                       // not called any more in this round
        defaults.setInteger("notationChordMajor", firstCalls); // a change reported from inside
    });
    second = defaults.addObserver("divideInputNote", [&](const std::string&) { ++secondCalls; });
    defaults.addObserver("notationChordMajor", [&](const std::string&) { ++chainedCalls; });

    defaults.setBool("divideInputNote", false);
    EXPECT_EQ(firstCalls, 1);
    EXPECT_EQ(secondCalls, 0);
    EXPECT_EQ(chainedCalls, 0); // 1 was already the registered value
    defaults.setBool("divideInputNote", true);
    EXPECT_EQ(firstCalls, 2);
    EXPECT_EQ(chainedCalls, 1);
}

TEST(UserDefaultsTest, SharedInstanceCanBeReplaced) {
    auto mine = std::make_unique<UserDefaults>(std::make_unique<MemoryDefaultsStore>());
    UserDefaults* raw = mine.get();
    auto previous = UserDefaults::replaceStandard(std::move(mine));
    EXPECT_EQ(&UserDefaults::standard(), raw);
    UserDefaults::standard().setInteger("k", 4);
    EXPECT_EQ(raw->integerForKey("k"), 4);
    auto back = UserDefaults::replaceStandard(std::move(previous));
    EXPECT_EQ(back.get(), raw);
    EXPECT_NE(&UserDefaults::standard(), raw);
}

TEST(UserDefaultsTest, ValuesLiteralsPickTheirNaturalType) {
    EXPECT_TRUE(std::holds_alternative<std::string>(DefaultsValue("100%")));
    EXPECT_TRUE(std::holds_alternative<std::int64_t>(DefaultsValue(1)));
    EXPECT_TRUE(std::holds_alternative<bool>(DefaultsValue(true)));
    EXPECT_TRUE(std::holds_alternative<double>(DefaultsValue(1.0)));
}

// Every store keeps each kind of value so that the typed readers answer the same after a reload.
TEST(SettingsDefaultsStoreTest, ValuesSurviveAReload) {
    TempDir dir;
    const std::string file = (dir / "Tovrin.conf").string();
    const std::pair<std::string, DefaultsValue> values[] = {
        {"flagOn", true},
        {"flagOff", false},
        {"count", std::int64_t{-12}},
        {"big", std::numeric_limits<std::int64_t>::max()},
        {"scale", 0.1},
        {"whole", 2.0},
        {"zoom", "100%"},
        {"numberText", "1.50"},
        {"comma", "a, b,c"},
        {"at", "@String(x)"},
        {"unicode", "\xE2\x99\xAF ok"},
        {"empty", ""},
        {"color", Bytes{0x00, 0xFF, 0x10, '\n', '@', ')', 0x00}},
        {"noBytes", Bytes{}},
        {"key with/slash", "s"},
    };
    {
        UserDefaults defaults(std::make_unique<SettingsDefaultsStore>(file));
        for (const auto& [key, value] : values) {
            defaults.setObject(key, value);
        }
        defaults.setString("gone", "x");
        defaults.removeObjectForKey("gone");
        EXPECT_TRUE(defaults.synchronize());
    }
    UserDefaults reloaded(std::make_unique<SettingsDefaultsStore>(file));
    UserDefaults reference(std::make_unique<MemoryDefaultsStore>());
    for (const auto& [key, value] : values) {
        SCOPED_TRACE(key);
        reference.setObject(key, value);
        ASSERT_TRUE(reloaded.objectForKey(key).has_value());
        EXPECT_EQ(reloaded.boolForKey(key), reference.boolForKey(key));
        EXPECT_EQ(reloaded.integerForKey(key), reference.integerForKey(key));
        EXPECT_EQ(reloaded.doubleForKey(key), reference.doubleForKey(key));
        EXPECT_EQ(reloaded.stringForKey(key), reference.stringForKey(key));
        EXPECT_EQ(reloaded.dataForKey(key), reference.dataForKey(key));
    }
    EXPECT_EQ(reloaded.objectForKey("gone"), std::nullopt);
    // Types come back where the text form leaves no doubt.
    EXPECT_EQ(reloaded.objectForKey("flagOn"), DefaultsValue(true));
    EXPECT_EQ(reloaded.objectForKey("count"), DefaultsValue(std::int64_t{-12}));
    EXPECT_EQ(reloaded.objectForKey("scale"), DefaultsValue(0.1));
    EXPECT_EQ(reloaded.objectForKey("numberText"), DefaultsValue("1.50"));
}

TEST(SettingsDefaultsStoreTest, UsesTheTovrinFileInTheConfigFolder) {
    const SettingsDefaultsStore store;
    const std::string config = QStandardPaths::writableLocation(QStandardPaths::ConfigLocation).toStdString();
    EXPECT_EQ(store.fileName(), config + "/Tovrin/Tovrin.conf");
}
