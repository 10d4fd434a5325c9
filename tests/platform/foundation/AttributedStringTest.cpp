#include "platform/foundation/AttributedString.h"

#include <gtest/gtest.h>

namespace {

using platform::AttributedString;
using platform::Color;
using platform::TextAttributes;
using platform::TextFont;

TextAttributes font(const char* name, double size) {
    return TextAttributes{TextFont{name, size}, {}, 0, 0};
}

AttributedString sample() {
    TextAttributes red = font("Helvetica-Bold", 12);
    red.foregroundColor = Color::red();
    red.underlineStyle = platform::TextLineStyleThick;
    TextAttributes struck;
    struck.strikethroughStyle = 9; // a double line or any other style is kept as it is
    return AttributedString::Builder()
        .append("Intro ", font("LucidaGrande", 14))
        .append("Verse", red)
        .append(QString::fromUtf8(" \xF0\x9D\x84\x9E ") + QChar(0xD800),
                struck) // a clef sign and a lone surrogate
        .build();
}

TEST(AttributedStringTest, KeepsMaximalRunsCoveringTheText) {
    const TextAttributes a = font("Helvetica", 12);
    const TextAttributes b = font("Helvetica", 13);
    const AttributedString s = AttributedString::Builder()
                                   .append("ab", a)
                                   .append("", b)
                                   .append("c", a)
                                   .append("de", b)
                                   .append("f", b)
                                   .build();
    EXPECT_EQ(s.string(), "abcdef");
    ASSERT_EQ(s.runs().size(), 2u);
    EXPECT_EQ(s.runs()[0], (AttributedString::Run{0, 3, a}));
    EXPECT_EQ(s.runs()[1], (AttributedString::Run{3, 3, b}));

    const AttributedString::Run* run = nullptr;
    EXPECT_EQ(s.attributesAtIndex(4, &run), b);
    ASSERT_NE(run, nullptr);
    EXPECT_EQ(run->location, 3);
    EXPECT_EQ(s.attributesAtIndex(6, &run), TextAttributes{});
    EXPECT_EQ(run, nullptr);
    EXPECT_EQ(s.attributesAtIndex(-1), TextAttributes{});

    EXPECT_TRUE(AttributedString().runs().empty());
    EXPECT_TRUE(AttributedString("", a).runs().empty());
    // Appending a whole text merges at the seam as well.
    EXPECT_EQ(
        AttributedString::Builder().append("ab", a).append(AttributedString("c", a)).build().runs().size(),
        1u);
}

TEST(AttributedStringTest, EqualityComparesTextAndEveryAttribute) {
    const TextAttributes a = font("Helvetica", 12);
    EXPECT_EQ(AttributedString("Intro", a),
              AttributedString::Builder().append("In", a).append("tro", a).build());
    EXPECT_NE(AttributedString("Intro", a), AttributedString("Intro", font("Helvetica", 12.5)));
    EXPECT_NE(AttributedString("Intro", a), AttributedString("intro", a));
    TextAttributes black = a;
    black.foregroundColor = Color::black();
    // A run without a colour is not the same as one with black, though both draw black.
    EXPECT_NE(AttributedString("Intro", a), AttributedString("Intro", black));
}

TEST(AttributedStringTest, SerialisationIsLossless) {
    for (const AttributedString& s :
         {sample(), AttributedString(), AttributedString("x", TextAttributes{})}) {
        const auto bytes = s.serialized();
        const auto back = AttributedString::fromSerialized(bytes);
        ASSERT_TRUE(back.has_value());
        EXPECT_EQ(*back, s);
    }
}

TEST(AttributedStringTest, DamagedBytesGiveNoValue) {
    const std::vector<std::uint8_t> good = sample().serialized();
    // Every truncation fails.
    for (std::size_t n = 0; n < good.size(); ++n) {
        EXPECT_FALSE(AttributedString::fromSerialized(std::span(good.data(), n)).has_value()) << n;
    }
    // Trailing bytes fail.
    auto longer = good;
    longer.push_back(0);
    EXPECT_FALSE(AttributedString::fromSerialized(longer).has_value());

    // Hand-made damage: header, text, then the runs.
    auto make = [](std::initializer_list<std::uint8_t> runs) {
        std::vector<std::uint8_t> b = {'T', 'O', 'V', 'A', 1, 2, 'a', 0, 'b', 0};
        b.insert(b.end(), runs);
        return b;
    };
    EXPECT_TRUE(AttributedString::fromSerialized(make({1, 2, 0, 0, 0})).has_value());  // one run "ab"
    EXPECT_FALSE(AttributedString::fromSerialized(make({1, 1, 0, 0, 0})).has_value()); // run too short
    EXPECT_FALSE(AttributedString::fromSerialized(make({1, 3, 0, 0, 0})).has_value()); // run past the end
    EXPECT_FALSE(
        AttributedString::fromSerialized(make({2, 1, 0, 0, 0, 1, 0, 0, 0})).has_value()); // equal runs
    EXPECT_FALSE(
        AttributedString::fromSerialized(make({2, 0, 0, 0, 0, 2, 0, 0, 0})).has_value()); // empty run
    EXPECT_FALSE(AttributedString::fromSerialized(make({1, 2, 4, 0, 0})).has_value());    // unknown flag
    EXPECT_FALSE(AttributedString::fromSerialized(make({0xFF, 0xFF, 0xFF, 0xFF, 0x0F})).has_value()); // count
    // A text length far beyond the data.
    const std::vector<std::uint8_t> hugeText = {'T',  'O',  'V',  'A',  1,    0xFF, 0xFF,
                                                0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F};
    EXPECT_FALSE(AttributedString::fromSerialized(hugeText).has_value());
    EXPECT_FALSE(
        AttributedString::fromSerialized(std::vector<std::uint8_t>{'T', 'O', 'V', 'A', 2, 0, 0}).has_value());

    // Flipping any single byte never crashes; whatever still reads is a consistent text.
    for (std::size_t i = 0; i < good.size(); ++i) {
        for (const std::uint8_t mask : {0x01, 0x80, 0xFF}) {
            auto bad = good;
            bad[i] ^= mask;
            if (const auto s = AttributedString::fromSerialized(bad)) {
                qsizetype covered = 0;
                for (const auto& run : s->runs()) {
                    EXPECT_EQ(run.location, covered);
                    covered += run.length;
                }
                EXPECT_EQ(covered, s->length());
            }
        }
    }
}

} // namespace
