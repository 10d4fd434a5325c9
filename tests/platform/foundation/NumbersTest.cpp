#include "platform/foundation/Numbers.h"

#include "GermanLocale.h"

#include <QString>

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <limits>
#include <sstream>

namespace {

using namespace platform;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr std::int64_t kI64Max = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kI64Min = std::numeric_limits<std::int64_t>::min();
constexpr int kIntMax = std::numeric_limits<int>::max();
constexpr int kIntMin = std::numeric_limits<int>::min();

struct ParseCase {
    const char* text;
    double asDouble;
    int asInt;
    std::int64_t asInteger;
};

const ParseCase kParseCases[] = {
    {"42", 42, 42, 42},
    {"  -3.25xyz", -3.25, -3, -3},
    {"\t\n+7.5", 7.5, 7, 7},
    {"12.7", 12.7, 12, 12},
    {"1e-05", 1e-05, 1, 1},
    {"2.5E+3", 2500, 2, 2},
    {"3e", 3, 3, 3},
    {"3e+x", 3, 3, 3},
    {".5", 0.5, 0, 0},
    {"5.", 5, 5, 5},
    {"-0", -0.0, 0, 0},
    {"1,5", 1, 1, 1}, // a comma ends the number, whatever the locale
    {"1.5.3", 1.5, 1, 1},
    {"", 0, 0, 0},
    {"   ", 0, 0, 0},
    {"abc", 0, 0, 0},
    {"-", 0, 0, 0},
    {"+.", 0, 0, 0},
    {"x12", 0, 0, 0},
    {"0x1A", 0, 0, 0},
    {"inf", 0, 0, 0},
    {"nan", 0, 0, 0},
    {"1e400", kInf, 1, 1},
    {"-1e400", -kInf, -1, -1},
    {"1e-400", 0, 1, 1},
    {"0.000e99999999999999999999", 0, 0, 0},
    {"99999999999", 99999999999.0, kIntMax, 99999999999},
    {"-99999999999", -99999999999.0, kIntMin, -99999999999},
    {"9223372036854775807", 9223372036854775807.0, kIntMax, kI64Max},
    {"9223372036854775808", 9223372036854775808.0, kIntMax, kI64Max},
    {"-9223372036854775808", -9223372036854775808.0, kIntMin, kI64Min},
    {"-99999999999999999999999", -1e23, kIntMin, kI64Min},
};

void expectParseTable() {
    for (const ParseCase& c : kParseCases) {
        SCOPED_TRACE(c.text);
        const double d = doubleValue(c.text);
        EXPECT_EQ(d, c.asDouble);
        EXPECT_EQ(std::signbit(d), std::signbit(c.asDouble));
        EXPECT_EQ(intValue(c.text), c.asInt);
        EXPECT_EQ(integerValue(c.text), c.asInteger);
        // The QString forms read the same.
        EXPECT_EQ(doubleValue(QString::fromUtf8(c.text)), c.asDouble);
        EXPECT_EQ(intValue(QString::fromUtf8(c.text)), c.asInt);
    }
    // Single precision rounds the decimal text itself, and overflows on its own range.
    EXPECT_EQ(floatValue("0.1"), 0.1f);
    EXPECT_EQ(floatValue(" 16.8 pt"), 16.8f);
    EXPECT_EQ(floatValue("3.5e38"), std::numeric_limits<float>::infinity());
    EXPECT_EQ(doubleValue("3.5e38"), 3.5e38);
}

struct FormatCase {
    double value;
    const char* g;
};

const FormatCase kFormatCases[] = {
    {0, "0"},
    {-0.0, "-0"},
    {1.5, "1.5"},
    {10, "10"},
    {0.1, "0.1"},
    {-3.25, "-3.25"},
    {1e-05, "1e-05"},
    {0.0001, "0.0001"},
    {100000, "100000"},
    {1e6, "1e+06"},
    {123456789, "1.23457e+08"},
    {2.0 / 3.0, "0.666667"},
    {double(16.8f), "16.8"},
    {59.0 / 5.9, "10"},
    {kInf, "inf"},
    {-kInf, "-inf"},
};

void expectFormatTable() {
    for (const FormatCase& c : kFormatCases) {
        EXPECT_EQ(formatG(c.value), c.g) << c.g;
    }
    EXPECT_EQ(formatG(std::numeric_limits<double>::quiet_NaN()), "nan");
    EXPECT_EQ(formatInteger(0), "0");
    EXPECT_EQ(formatInteger(-5), "-5");
    EXPECT_EQ(formatInteger(1234567), "1234567"); // no grouping
    EXPECT_EQ(formatInteger(kI64Min), "-9223372036854775808");
    EXPECT_EQ(formatUnsigned(std::numeric_limits<std::uint64_t>::max()), "18446744073709551615");
}

TEST(NumbersTest, ParsesLikeThePlatformStringConversions) {
    expectParseTable();
}

TEST(NumbersTest, FormatsLikePrintf) {
    expectFormatTable();
    // formatG is "%g" itself, checked against the C library (in the "C" locale) over a spread of values.
    const std::string oldNumeric = std::setlocale(LC_NUMERIC, nullptr);
    std::setlocale(LC_NUMERIC, "C");
    const double values[] = {1e-300,    3.14159265358979,
                             1234567.5, 0.000123456789,
                             999999.5,  9999995,
                             1e15,      -42.4242424242,
                             5e-324,    std::numeric_limits<double>::max(),
                             0.5,       2.5e-5};
    for (const double v : values) {
        char expected[64];
        std::snprintf(expected, sizeof expected, "%g", v);
        EXPECT_EQ(formatG(v), expected);
    }
    std::setlocale(LC_NUMERIC, oldNumeric.c_str());
}

TEST(NumbersTest, BoolValueFollowsTheLeadingCharacter) {
    for (const char* yes : {"YES", "yes", "true", "T", "1", " 7", "+0001", "-3", "y!"}) {
        EXPECT_TRUE(boolValue(yes)) << yes;
    }
    for (const char* no : {"", "NO", "false", "0", "000", "-0", "0.9", "x1", " "}) {
        EXPECT_FALSE(boolValue(no)) << no;
    }
}

TEST(NumbersTest, ScanDoubleTellsHowMuchItRead) {
    double v = -1;
    EXPECT_EQ(scanDouble("  -2.5e1, rest", v), 8u);
    EXPECT_EQ(v, -25);
    v = -1;
    EXPECT_EQ(scanDouble(", 3", v), 0u);
    EXPECT_EQ(v, -1); // untouched when there is no number
}

TEST_F(GermanLocaleTest, NumbersIgnoreTheUsersDecimalComma) {
    // The fixture is in force: a locale-aware conversion would write a comma here.
    std::ostringstream stream;
    stream << 1.5;
    ASSERT_EQ(stream.str(), "1,5");
    ASSERT_EQ(QLocale().toString(1.5), "1,5");
    if (m_cLocaleHasComma) {
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "%g", 1.5);
        ASSERT_STREQ(buffer, "1,5");
    }

    expectParseTable();
    expectFormatTable();
}

} // namespace
