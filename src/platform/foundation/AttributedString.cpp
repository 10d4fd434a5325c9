#include "platform/foundation/AttributedString.h"

#include "platform/foundation/ByteStream.h"

#include <algorithm>

namespace platform {

namespace {

// "TOVA" and a format version.
constexpr std::uint8_t kMagic[] = {'T', 'O', 'V', 'A', 1};
constexpr std::uint8_t kHasFont = 1;
constexpr std::uint8_t kHasColor = 2;

void writeColor(ByteWriter& w, const Color& c) {
    w.writeDouble(c.r);
    w.writeDouble(c.g);
    w.writeDouble(c.b);
    w.writeDouble(c.a);
}

Color readColor(ByteReader& r) {
    Color c;
    c.r = r.readDouble();
    c.g = r.readDouble();
    c.b = r.readDouble();
    c.a = r.readDouble();
    return c;
}

} // namespace

AttributedString::Builder& AttributedString::Builder::append(const QString& text,
                                                             const TextAttributes& attributes) {
    if (text.isEmpty()) {
        return *this;
    }
    if (!m_runs.empty() && m_runs.back().attributes == attributes) {
        m_runs.back().length += text.size();
    } else {
        m_runs.push_back(Run{m_text.size(), text.size(), attributes});
    }
    m_text += text;
    return *this;
}

AttributedString::Builder& AttributedString::Builder::append(const AttributedString& text) {
    for (const Run& run : text.runs()) {
        append(text.string().mid(run.location, run.length), run.attributes);
    }
    return *this;
}

AttributedString AttributedString::Builder::build() const {
    AttributedString s;
    s.m_text = m_text;
    s.m_runs = m_runs;
    return s;
}

AttributedString::AttributedString(const QString& text, const TextAttributes& attributes) : m_text(text) {
    if (!text.isEmpty()) {
        m_runs.push_back(Run{0, text.size(), attributes});
    }
}

TextAttributes AttributedString::attributesAtIndex(qsizetype index, const Run** effectiveRun) const {
    if (effectiveRun != nullptr) {
        *effectiveRun = nullptr;
    }
    if (index < 0 || index >= m_text.size()) {
        return {};
    }
    const auto it = std::upper_bound(m_runs.begin(), m_runs.end(), index,
                                     [](qsizetype i, const Run& run) { return i < run.location; });
    const Run& run = *std::prev(it);
    if (effectiveRun != nullptr) {
        *effectiveRun = &run;
    }
    return run.attributes;
}

std::vector<std::uint8_t> AttributedString::serialized() const {
    ByteWriter w;
    w.writeBytes(kMagic);
    w.writeText(m_text);
    w.writeVarint(m_runs.size());
    for (const Run& run : m_runs) {
        const TextAttributes& a = run.attributes;
        w.writeVarint(static_cast<std::uint64_t>(run.length));
        w.writeByte((a.font ? kHasFont : 0) | (a.foregroundColor ? kHasColor : 0));
        if (a.font) {
            w.writeText(a.font->postScriptName);
            w.writeDouble(a.font->pointSize);
        }
        if (a.foregroundColor) {
            writeColor(w, *a.foregroundColor);
        }
        w.writeSignedVarint(a.underlineStyle);
        w.writeSignedVarint(a.strikethroughStyle);
    }
    return w.take();
}

std::optional<AttributedString> AttributedString::fromSerialized(std::span<const std::uint8_t> bytes) {
    ByteReader r(bytes);
    const auto magic = r.readBytes(sizeof kMagic);
    if (r.failed() || !std::equal(magic.begin(), magic.end(), std::begin(kMagic))) {
        return std::nullopt;
    }
    AttributedString s;
    s.m_text = r.readText();
    // A run takes at least four bytes: length, flags and the two styles.
    const std::size_t runCount = r.readCount(4);
    qsizetype location = 0;
    for (std::size_t i = 0; i < runCount && !r.failed(); ++i) {
        Run run;
        const std::uint64_t length = r.readVarint();
        const std::uint8_t flags = r.readByte();
        if (length == 0 || length > static_cast<std::uint64_t>(s.m_text.size() - location) ||
            (flags & ~(kHasFont | kHasColor)) != 0) {
            return std::nullopt;
        }
        run.location = location;
        run.length = static_cast<qsizetype>(length);
        if (flags & kHasFont) {
            TextFont font;
            font.postScriptName = r.readText();
            font.pointSize = r.readDouble();
            run.attributes.font = font;
        }
        if (flags & kHasColor) {
            run.attributes.foregroundColor = readColor(r);
        }
        run.attributes.underlineStyle = r.readSignedVarint();
        run.attributes.strikethroughStyle = r.readSignedVarint();
        // Runs are maximal: equal neighbours mean the data was not written by us.
        if (!s.m_runs.empty() && s.m_runs.back().attributes == run.attributes) {
            return std::nullopt;
        }
        location += run.length;
        s.m_runs.push_back(std::move(run));
    }
    if (r.failed() || !r.atEnd() || location != s.m_text.size()) {
        return std::nullopt;
    }
    return s;
}

} // namespace platform
