#include "platform/foundation/StringUtils.h"

#include <gtest/gtest.h>

namespace {

using namespace platform;

TEST(StringUtilsTest, EqualIgnoringCase) {
    EXPECT_TRUE(isEqualToStringIgnoreCase(QString("time-C"), QString("TIME-c")));
    EXPECT_TRUE(isEqualToStringIgnoreCase(QString("Ärger"), QString("äRGER")));
    EXPECT_TRUE(isEqualToStringIgnoreCase(QString(""), QString("")));
    EXPECT_FALSE(isEqualToStringIgnoreCase(QString("volta"), QString("volta-begin")));
    EXPECT_FALSE(isEqualToStringIgnoreCase(QString("single"), QString("singl")));
}

TEST(StringUtilsTest, MissingTextsNeverEqual) {
    const QString word("MAC");
    const QString same("mac");
    const QString empty;
    EXPECT_TRUE(isEqualToStringIgnoreCase(&word, &same));
    EXPECT_FALSE(isEqualToStringIgnoreCase(nullptr, &same));
    EXPECT_FALSE(isEqualToStringIgnoreCase(&word, nullptr));
    EXPECT_FALSE(isEqualToStringIgnoreCase(nullptr, nullptr));
    EXPECT_FALSE(isEqualToStringIgnoreCase(nullptr, &empty));
}

TEST(StringUtilsTest, ContainsIgnoringCase) {
    EXPECT_TRUE(containsStringIgnoreCase("Helvetica-BoldOblique", "oblique"));
    EXPECT_TRUE(containsStringIgnoreCase("Helvetica-BoldOblique", "BOLD"));
    EXPECT_FALSE(containsStringIgnoreCase("Helvetica", "Bold"));
    EXPECT_FALSE(containsStringIgnoreCase("Helvetica", ""));
    EXPECT_FALSE(containsStringIgnoreCase("", "a"));
}

TEST(StringUtilsTest, ComparesDigitRunsAsNumbers) {
    struct Case {
        const char* a;
        const char* b;
        int expected;
    };
    const Case cases[] = {
        {"1.10", "1.5", 1},
        {"1.5", "1.5", 0},
        {"1.6", "1.5", 1},
        {"1.4", "1.5", -1},
        {"10.9", "10.10", -1},
        {"10.8.5", "10.9", -1},
        {"1.5", "1.5.1", -1},
        {"1.41", "1.5", 1},
        {"007", "7", 0},
        {"a2", "a10", -1},
        {"abc", "abd", -1},
        {"", "", 0},
        {"", "1", -1},
        {"2", "", 1},
        {"99999999999999999999999", "100000000000000000000000", -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(compareNumerically(c.a, c.b), c.expected) << c.a << " vs " << c.b;
        EXPECT_EQ(compareNumerically(c.b, c.a), -c.expected) << c.b << " vs " << c.a;
    }
}

TEST(StringUtilsTest, EndsWithCharacter) {
    EXPECT_TRUE(endsWithCharacter("100%", u'%'));
    EXPECT_FALSE(endsWithCharacter("100", u'%'));
    EXPECT_FALSE(endsWithCharacter("", u'%'));
    EXPECT_FALSE(endsWithCharacter("%1", u'%'));
    // The last 16-bit unit of a character outside the basic plane is its low surrogate.
    const QString emoji = QString::fromUtf8("a\xF0\x9F\x98\x80");
    EXPECT_TRUE(endsWithCharacter(emoji, char16_t(0xDE00)));
}

} // namespace
