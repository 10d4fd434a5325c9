#pragma once

#include "platform/foundation/XmlElement.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// An XML document: one root element. Parsing is forgiving about malformed markup (it repairs what it
// can, as a tidying parser does) and strict about what it will not do for untrusted input: it never
// fetches anything (no network, no external DTD or entity), substitutes no entity declared in the
// document (only the five predefined ones and character references are read), and refuses a document
// nested deeper than maxDepth or whose element or attribute names are not valid UTF-8 (a broken
// encoding). Whitespace-only texts between child elements (the indentation of a pretty-printed file)
// are dropped; a text of an element without child elements is kept as it stands.
//
// What a parse may cost is capped before the parser sees the bytes: their size (maxInputBytes), the
// markup they may make nodes of (maxNodes: every start of a tag, attribute and reference counts) and the
// attributes of one element (maxAttributesPerElement, as the parser's own check for repeated attributes
// takes time quadratic in their number). These limits are far above any document of ours; past them,
// and for encodings other than UTF-8, UTF-16, ASCII and the single-byte Latin and Windows ones (in which
// markup cannot be told from the bytes alone), the document is refused. A document the parser stops
// reading before its end (at a NUL byte, or at anything after the root element) is refused, never taken
// for the whole; a missing closing tag at the end is repaired, and the report says so.
class XmlDocument {
public:
    static constexpr int maxDepth = 256;
    static constexpr std::size_t defaultMaxFileBytes = 64 * 1024 * 1024;
    static constexpr std::size_t maxInputBytes = defaultMaxFileBytes;
    // A song of 20,000 bars of four chords and six notes each stays below it.
    static constexpr std::size_t maxNodes = 2'000'000;
    static constexpr std::size_t maxAttributesPerElement = 256;

    explicit XmlDocument(XmlElement root);

    // What a parse tells beside its document: that a cap refused the bytes, or that the input ended
    // inside elements, which the parser then closed (the document holds what came before the end).
    struct ParseReport {
        bool tooLarge = false;
        bool closedAtEnd = false;
    };

    // No value when the bytes hold no root element, nest too deep, exceed a cap, or are beyond repair.
    static std::optional<XmlDocument> parse(std::span<const std::uint8_t> bytes);
    static std::optional<XmlDocument> parse(std::span<const std::uint8_t> bytes, ParseReport* report);
    // Why a parse would refuse the bytes before reading them (past a cap, or in an encoding it does not
    // read), in a few words; none when they are within what a parse takes.
    static std::optional<std::string> limitFault(std::span<const std::uint8_t> bytes);
    static std::optional<XmlDocument> parse(std::string_view bytes);
    static std::optional<XmlDocument> parseFile(const std::filesystem::path& path,
                                                std::size_t maxBytes = defaultMaxFileBytes);

    XmlElement& rootElement() { return root_; }
    const XmlElement& rootElement() const { return root_; }

    // The document as UTF-8 text with the declaration <?xml version="1.0" encoding="utf-8"?>,
    // pretty-printed: every element on its own line, indented by its depth, except inside an element
    // that holds text, whose content is written exactly as it stands. Text that XML cannot carry
    // (malformed UTF-8, control characters other than tab, line feed and carriage return) is written
    // as U+FFFD so that the output always reads back.
    std::string xmlString() const;
    std::vector<std::uint8_t> xmlData() const;

private:
    XmlElement root_;
};

} // namespace platform
