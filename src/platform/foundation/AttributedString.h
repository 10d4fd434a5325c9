#pragma once

#include "platform/foundation/Color.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace platform {

// A font as the formatted texts name it: the font's full PostScript name and its size in points.
struct TextFont {
    QString postScriptName;
    double pointSize = 0;
    friend bool operator==(const TextFont&, const TextFont&) = default;
};

// Line styles of underline and strike-through: 0 none, 1 single, 2 thick; other values (a double line)
// are kept as they are.
enum : std::int64_t { TextLineStyleNone = 0, TextLineStyleSingle = 1, TextLineStyleThick = 2 };

// The attributes of a stretch of text. A run may lack a font or a colour (drawn in the default font and
// black); that absence is kept apart from any value.
struct TextAttributes {
    std::optional<TextFont> font;
    std::optional<Color> foregroundColor;
    std::int64_t underlineStyle = TextLineStyleNone;
    std::int64_t strikethroughStyle = TextLineStyleNone;
    friend bool operator==(const TextAttributes&, const TextAttributes&) = default;
};

// An immutable formatted text: a string and the attributes of each of its characters, held as maximal
// runs (neighbouring runs always differ). Positions and lengths count UTF-16 code units, like QString.
class AttributedString {
public:
    struct Run {
        qsizetype location = 0;
        qsizetype length = 0;
        TextAttributes attributes;
        friend bool operator==(const Run&, const Run&) = default;
    };

    // Builds a text piece by piece; pieces with equal attributes merge into one run, empty pieces add
    // nothing.
    class Builder {
    public:
        Builder& append(const QString& text, const TextAttributes& attributes);
        Builder& append(const AttributedString& text);
        AttributedString build() const;

    private:
        QString m_text;
        std::vector<Run> m_runs;
    };

    AttributedString() = default;
    // The whole text with one set of attributes.
    explicit AttributedString(const QString& text, const TextAttributes& attributes = {});

    const QString& string() const { return m_text; }
    qsizetype length() const { return m_text.size(); }
    bool isEmpty() const { return m_text.isEmpty(); }

    // The maximal runs in text order, covering the whole text; none for an empty text.
    const std::vector<Run>& runs() const { return m_runs; }
    // The attributes at a position and the run that holds it; an index outside the text gives the empty
    // attributes and no run.
    TextAttributes attributesAtIndex(qsizetype index, const Run** effectiveRun = nullptr) const;

    // A lossless serialisation of our own: text, runs and every attribute come back exactly.
    std::vector<std::uint8_t> serialized() const;
    // Reads what serialized() wrote. Damaged or hostile bytes (wrong header, truncation, runs that do not
    // cover the text, counts larger than the data) give no value.
    static std::optional<AttributedString> fromSerialized(std::span<const std::uint8_t> bytes);

    friend bool operator==(const AttributedString&, const AttributedString&) = default;

private:
    QString m_text;
    std::vector<Run> m_runs;
};

} // namespace platform
