#include "platform/graphics/TextRun.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(TextRunsFromAttributedStringTest, KeepsRunsAndFillsMissingAttributes) {
    TextAttributes bold;
    bold.font = TextFont{QStringLiteral("DejaVuSans-Bold"), 18};
    bold.foregroundColor = Color::red();
    bold.underlineStyle = TextLineStyleThick;
    TextAttributes unknownFont;
    unknownFont.font = TextFont{QStringLiteral("NoSuchFont-Regular"), 0};
    unknownFont.strikethroughStyle = 9; // a style we do not draw is kept as a single line

    AttributedString::Builder builder;
    builder.append(QStringLiteral("Verse "), bold).append(QStringLiteral("one"), unknownFont);
    const std::vector<TextRun> runs = textRunsFromAttributedString(builder.build(), 12);

    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].text, QStringLiteral("Verse "));
    EXPECT_EQ(runs[0].font.pointSize(), 18);
    EXPECT_EQ(runs[0].color, Color::red());
    EXPECT_EQ(runs[0].underline, TextLineStyle::Thick);
    EXPECT_EQ(runs[1].text, QStringLiteral("one"));
    EXPECT_EQ(runs[1].font, Font::userFont(12));
    EXPECT_EQ(runs[1].color, Color::black());
    EXPECT_EQ(runs[1].strikethrough, TextLineStyle::Single);
    EXPECT_GT(sizeOfTextRuns(runs).width, 0);
}
