#pragma once

#include "platform/foundation/AttributedString.h"
#include "platform/foundation/Color.h"
#include "platform/foundation/Geometry.h"
#include "platform/graphics/Font.h"

#include <QString>
#include <vector>

namespace platform {

// Underline and strike-through styles of a run: none, single, thick.
enum class TextLineStyle { None = 0, Single = 1, Thick = 2 };

// A stretch of text with one font, colour and line styles: the unit in which formatted text is
// measured and drawn.
struct TextRun {
    QString text;
    Font font;
    Color color{0, 0, 0, 1};
    TextLineStyle underline = TextLineStyle::None;
    TextLineStyle strikethrough = TextLineStyle::None;

    friend bool operator==(const TextRun&, const TextRun&) = default;
};

// A run, or the part of one that lies on one line, placed for drawing.
struct PlacedTextRun {
    TextRun run;     // its text holds no line break
    Point topLeft;   // the top of the run's own line box
    double baseline; // y of the baseline shared by the line
    double width;
};

// Lays the runs out in lines, the first line's top-left at the origin. Runs follow each other on a line
// with their baselines aligned; a line break in a run's text starts a new line below the tallest run of
// the current one; a line break at the very end adds no line.
std::vector<PlacedTextRun> layoutTextRuns(const std::vector<TextRun>& runs, Point origin);

// The size of the laid-out runs: the widest line by the sum of the line heights.
Size sizeOfTextRuns(const std::vector<TextRun>& runs);

// The runs of a formatted text, ready to measure and draw. A run without a font, or naming a font that is
// not installed, takes the user font (at the run's size, or defaultSize when it has none); a run without
// a colour is black. Line styles other than single and thick draw as single.
std::vector<TextRun> textRunsFromAttributedString(const AttributedString& text, double defaultSize);

} // namespace platform
