#include "platform/graphics/TextRun.h"

#include <algorithm>

namespace platform {

namespace {

struct Line {
    std::vector<PlacedTextRun> runs;
    double width = 0;
    double ascent = 0;
    double descent = 0;
    double leading = 0;
    bool measured = false;

    void include(const Font& font) {
        const double asc = font.ascender();
        const double desc = font.descender();
        const double lead = std::max(font.lineHeight() - asc - desc, 0.0);
        ascent = measured ? std::max(ascent, asc) : asc;
        descent = measured ? std::max(descent, desc) : desc;
        leading = measured ? std::max(leading, lead) : lead;
        measured = true;
    }
    double height() const { return ascent + descent + leading; }
};

bool isLineBreak(QChar c) {
    return c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar(0x2028) || c == QChar(0x2029);
}

std::vector<Line> breakIntoLines(const std::vector<TextRun>& runs) {
    std::vector<Line> lines(1);
    bool endsWithBreak = false;
    for (const TextRun& run : runs) {
        const QString& text = run.text;
        qsizetype start = 0;
        for (qsizetype i = 0; i <= text.size(); ++i) {
            const bool atEnd = i == text.size();
            if (!atEnd && !isLineBreak(text[i])) {
                continue;
            }
            if (i > start) {
                TextRun piece = run;
                piece.text = text.mid(start, i - start);
                const double width = run.font.widthOfString(piece.text);
                lines.back().include(run.font);
                lines.back().runs.push_back(
                    PlacedTextRun{std::move(piece), Point{lines.back().width, 0}, 0, width});
                lines.back().width += width;
                endsWithBreak = false;
            }
            if (atEnd) {
                break;
            }
            // The break belongs to the line it ends: an empty line still has the height of its font.
            lines.back().include(run.font);
            if (text[i] == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n')) {
                ++i;
            }
            lines.emplace_back();
            endsWithBreak = true;
            start = i + 1;
        }
    }
    if (endsWithBreak && lines.size() > 1) {
        lines.pop_back();
    }
    return lines;
}

} // namespace

std::vector<PlacedTextRun> layoutTextRuns(const std::vector<TextRun>& runs, Point origin) {
    std::vector<PlacedTextRun> placed;
    double top = origin.y;
    for (Line& line : breakIntoLines(runs)) {
        const double baseline = top + line.ascent;
        for (PlacedTextRun& p : line.runs) {
            p.topLeft = Point{origin.x + p.topLeft.x, baseline - p.run.font.ascender()};
            p.baseline = baseline;
            placed.push_back(std::move(p));
        }
        top += line.height();
    }
    return placed;
}

Size sizeOfTextRuns(const std::vector<TextRun>& runs) {
    double width = 0;
    double height = 0;
    bool any = false;
    for (const Line& line : breakIntoLines(runs)) {
        width = std::max(width, line.width);
        height += line.height();
        any = any || line.measured;
    }
    return any ? Size{width, height} : Size{0, 0};
}

namespace {

TextLineStyle lineStyleFromStored(std::int64_t style) {
    switch (style) {
    case TextLineStyleNone:
        return TextLineStyle::None;
    case TextLineStyleThick:
        return TextLineStyle::Thick;
    default:
        return TextLineStyle::Single;
    }
}

} // namespace

std::vector<TextRun> textRunsFromAttributedString(const AttributedString& text, double defaultSize) {
    std::vector<TextRun> runs;
    runs.reserve(text.runs().size());
    for (const AttributedString::Run& run : text.runs()) {
        const TextAttributes& attributes = run.attributes;
        const double size =
            attributes.font && attributes.font->pointSize > 0 ? attributes.font->pointSize : defaultSize;
        TextRun out;
        out.text = text.string().mid(run.location, run.length);
        out.font = attributes.font ? Font::namedOrUserFont(attributes.font->postScriptName, size)
                                   : Font::userFont(size);
        out.color = attributes.foregroundColor.value_or(Color::black());
        out.underline = lineStyleFromStored(attributes.underlineStyle);
        out.strikethrough = lineStyleFromStored(attributes.strikethroughStyle);
        runs.push_back(std::move(out));
    }
    return runs;
}

} // namespace platform
