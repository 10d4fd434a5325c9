#include "platform/foundation/XmlDocument.h"

#include "platform/foundation/Files.h"

#include <algorithm>
#include <climits>
#include <initializer_list>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/tree.h>
#include <mutex>
#include <unordered_set>

namespace platform {

namespace {

// Nothing read through this parser may reach outside the bytes it was given.
xmlParserInputPtr refuseExternalEntity(const char*, const char*, xmlParserCtxtPtr) {
    return nullptr;
}

// Messages libxml2 raises outside a parser's own handlers (encoding and I/O errors) would otherwise go
// to stderr; a malformed document is reported by what the parse makes of it.
void ignoreGenericError(void*, const char*, ...) {}

void initialiseLibxml() {
    static std::once_flag once;
    std::call_once(once, [] {
        xmlInitParser();
        xmlSetExternalEntityLoader(refuseExternalEntity);
        xmlThrDefSetGenericErrorFunc(nullptr, ignoreGenericError);
    });
    // The handler is kept per thread; the default above covers threads started later.
    thread_local const bool silenced = [] {
        xmlSetGenericErrorFunc(nullptr, ignoreGenericError);
        return true;
    }();
    (void)silenced;
}

// The bytes seen as a sequence of code units of the width and byte order the parser will decode them
// in, so that markup characters (all ASCII) can be counted before the parser builds anything.
class CodeUnits {
public:
    CodeUnits(std::span<const std::uint8_t> bytes, std::size_t width, bool bigEndian, std::size_t skip)
        : bytes_(bytes), width_(width), bigEndian_(bigEndian), skip_(skip) {}

    std::size_t size() const { return (bytes_.size() - skip_) / width_; }
    std::uint32_t operator[](std::size_t i) const {
        const std::uint8_t* unit = bytes_.data() + skip_ + i * width_;
        std::uint32_t value = 0;
        for (std::size_t k = 0; k < width_; ++k) {
            const std::size_t at = bigEndian_ ? k : width_ - 1 - k;
            value = (value << 8) | unit[at];
        }
        return value;
    }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t width_;
    bool bigEndian_;
    std::size_t skip_;
};

std::string lowercase(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

// Encodings in which '<', '=' and '&' are the ASCII code units and no other character contains them. A
// declaration naming UTF-16 in a document of single bytes makes libxml2 complain but not switch.
bool isMarkupTransparent(const std::string& name, std::size_t width) {
    const std::string n = lowercase(name);
    if (width > 1) {
        return n == "utf-16" || n == "utf16" || (width == 2 && (n == "utf-16le" || n == "utf-16be")) ||
               (width == 4 && (n == "ucs-4" || n == "ucs4" || n == "iso-10646-ucs-4"));
    }
    if (n == "utf-8" || n == "utf8" || n == "utf-16" || n == "utf16" || n == "us-ascii" || n == "ascii" ||
        n == "latin1" || n == "iso-latin-1") {
        return true;
    }
    const auto numbered = [&](std::string_view prefix, int first, int last) {
        if (n.size() <= prefix.size() || n.compare(0, prefix.size(), prefix) != 0) {
            return false;
        }
        int number = 0;
        for (std::size_t i = prefix.size(); i < n.size(); ++i) {
            if (n[i] < '0' || n[i] > '9' || number > 10000) {
                return false;
            }
            number = number * 10 + (n[i] - '0');
        }
        return number >= first && number <= last;
    };
    return numbered("iso-8859-", 1, 16) || numbered("iso8859-", 1, 16) || numbered("windows-", 1250, 1258) ||
           numbered("cp", 1250, 1258);
}

// Whether every encoding the declaration at the start names keeps markup countable. The declaration, up
// to its first '>' (where libxml2 stops reading it, however long it is), is read as ASCII; each "encoding"
// followed by '=' must be followed by a quoted name that does.
bool declaredEncodingIsTransparent(const CodeUnits& units, std::size_t width) {
    constexpr std::string_view opening = "<?xml";
    std::string declaration;
    for (std::size_t i = 0; i < units.size(); ++i) {
        const std::uint32_t u = units[i];
        if (u == '>' || (i < opening.size() && u != static_cast<std::uint32_t>(opening[i]))) {
            break;
        }
        declaration += u < 0x80 ? static_cast<char>(u) : '?';
    }
    if (declaration.size() < opening.size()) {
        return true;
    }
    constexpr std::string_view keyword = "encoding";
    for (std::size_t at = declaration.find(keyword); at != std::string::npos;
         at = declaration.find(keyword, at + 1)) {
        std::size_t i = at + keyword.size();
        const auto skipBlanks = [&] {
            while (i < declaration.size() && (declaration[i] == ' ' || declaration[i] == '\t' ||
                                              declaration[i] == '\r' || declaration[i] == '\n')) {
                ++i;
            }
        };
        skipBlanks();
        if (i >= declaration.size() || declaration[i] != '=') {
            continue;
        }
        ++i;
        skipBlanks();
        if (i >= declaration.size() || (declaration[i] != '"' && declaration[i] != '\'')) {
            return false;
        }
        const char quote = declaration[i];
        const std::size_t close = declaration.find(quote, i + 1);
        if (close == std::string::npos ||
            !isMarkupTransparent(declaration.substr(i + 1, close - i - 1), width)) {
            return false;
        }
    }
    return true;
}

// Checks the caps on what the parser would build, by counting the code units that can start a node:
// '<' (an element, comment or processing instruction, but not "</"), '=' in a tag (an attribute) and
// '&' (a reference). A tag runs from '<' to the first '>' outside quotes, or to the next '<' (the parser
// ends a tag there); every '=' in it outside quotes is counted as an attribute of that tag, which is at
// least what the parser makes of it, as the parser stops taking attributes at the first construct that is
// not a well-formed one. A '=' in text makes no node: counting it would refuse files we write ourselves,
// whose texts may hold any number of them. The encoding is found as libxml2 finds it: from a byte order mark
// or the first four bytes, then from the declaration.
enum class Limits { Within, TooLarge, Unreadable };

Limits parseLimitsOf(std::span<const std::uint8_t> bytes) {
    const auto startsWith = [&](std::initializer_list<std::uint8_t> prefix) {
        return bytes.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), bytes.begin());
    };
    std::size_t width = 1;
    bool bigEndian = false;
    std::size_t skip = 0;
    if (startsWith({0x00, 0x00, 0xFE, 0xFF}) || startsWith({0x00, 0x00, 0x00, 0x3C})) {
        width = 4;
        bigEndian = true;
    } else if (startsWith({0xFF, 0xFE, 0x00, 0x00}) || startsWith({0x3C, 0x00, 0x00, 0x00})) {
        width = 4;
    } else if (startsWith({0x00, 0x00, 0xFF, 0xFE}) || startsWith({0xFE, 0xFF, 0x00, 0x00}) ||
               startsWith({0x4C, 0x6F, 0xA7, 0x94})) {
        return Limits::Unreadable; // unusual byte orders of UCS-4, and EBCDIC
    } else if (startsWith({0xFE, 0xFF}) || startsWith({0x00, 0x3C, 0x00, 0x3F})) {
        width = 2;
        bigEndian = true;
    } else if (startsWith({0xFF, 0xFE}) || startsWith({0x3C, 0x00, 0x3F, 0x00})) {
        width = 2;
    } else if (startsWith({0xEF, 0xBB, 0xBF})) {
        skip = 3;
    }
    if (width > 1 && (startsWith({0xFE, 0xFF}) || startsWith({0xFF, 0xFE}))) {
        skip = width;
    }
    const CodeUnits units(bytes, width, bigEndian, skip);
    if (!declaredEncodingIsTransparent(units, width)) {
        return Limits::Unreadable;
    }
    std::size_t nodes = 0;
    std::size_t attributesInTag = 0;
    bool inTag = false;
    std::uint32_t quote = 0; // the quote of a value being read in a tag, or 0
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char32_t unit = units[i];
        if (unit == '<') {
            attributesInTag = 0;
            inTag = true;
            quote = 0;
            if (i + 1 < units.size() && units[i + 1] == '/') {
                continue; // an end tag makes no node
            }
            ++nodes;
        } else if (unit == '&') {
            ++nodes;
        } else if (!inTag) {
            continue;
        } else if (quote != 0) {
            if (unit == quote) {
                quote = 0;
            }
            continue;
        } else if (unit == '"' || unit == '\'') {
            quote = unit;
            continue;
        } else if (unit == '>') {
            inTag = false;
            continue;
        } else if (unit == '=') {
            ++attributesInTag;
            ++nodes;
        } else {
            continue;
        }
        if (nodes > XmlDocument::maxNodes || attributesInTag > XmlDocument::maxAttributesPerElement) {
            return Limits::TooLarge;
        }
    }
    return Limits::Within;
}

// Whether the parser read its input to the end. libxml2 takes a NUL for the end of its input and stops at
// anything after the root element, answering the document up to there as if it were all.
bool consumedWholeInput(xmlParserCtxtPtr ctxt) {
    const xmlParserInputPtr input = ctxt->input;
    if (input == nullptr || input->cur == nullptr || input->cur != input->end) {
        return false;
    }
    // Bytes of another encoding are decoded as the parse goes; any left undecoded were never read.
    return input->buf == nullptr || input->buf->raw == nullptr || xmlBufUse(input->buf->raw) == 0;
}

// Handlers installed on each parser: entity declarations are not recorded (so no declared entity can
// be expanded, which disarms entity-expansion bombs), external subsets and entities are never
// resolved, and errors are swallowed (recover mode reports malformed input by what it makes of it).
void ignoreEntityDeclaration(void*, const xmlChar*, int, const xmlChar*, const xmlChar*, xmlChar*) {}
void ignoreExternalSubset(void*, const xmlChar*, const xmlChar*, const xmlChar*) {}
xmlParserInputPtr refuseResolveEntity(void*, const xmlChar*, const xmlChar*) {
    return nullptr;
}
// Errors are swallowed, except that one telling that the input ended inside an element is noted: the
// parser then closes what is open, and a caller may not want a document cut short taken for the whole.
// The parse under way on this thread notes it here (the parser may reset its context's own fields).
thread_local bool* closedAtEndOfParse = nullptr;

void noteStructuredError(void*, xmlErrorPtr error) {
    if (error != nullptr && error->code == XML_ERR_TAG_NOT_FINISHED && closedAtEndOfParse != nullptr) {
        *closedAtEndOfParse = true;
    }
}

class ClosedAtEndNote {
public:
    explicit ClosedAtEndNote(bool* flag) { closedAtEndOfParse = flag; }
    ~ClosedAtEndNote() { closedAtEndOfParse = nullptr; }
    ClosedAtEndNote(const ClosedAtEndNote&) = delete;
    ClosedAtEndNote& operator=(const ClosedAtEndNote&) = delete;
};

class ParserContext {
public:
    ParserContext() : ctxt_(xmlNewParserCtxt()) {}
    ~ParserContext() {
        if (ctxt_ != nullptr) {
            xmlFreeParserCtxt(ctxt_);
        }
    }
    ParserContext(const ParserContext&) = delete;
    ParserContext& operator=(const ParserContext&) = delete;
    xmlParserCtxtPtr get() const { return ctxt_; }

private:
    xmlParserCtxtPtr ctxt_;
};

class DocumentHandle {
public:
    explicit DocumentHandle(xmlDocPtr doc) : doc_(doc) {}
    ~DocumentHandle() {
        if (doc_ != nullptr) {
            xmlFreeDoc(doc_);
        }
    }
    DocumentHandle(const DocumentHandle&) = delete;
    DocumentHandle& operator=(const DocumentHandle&) = delete;
    xmlDocPtr get() const { return doc_; }

private:
    xmlDocPtr doc_;
};

// Appends a code point's UTF-8 bytes.
void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Decodes the UTF-8 sequence at text[i]; answers its length, or 0 when it is malformed.
std::size_t decodeUtf8(std::string_view text, std::size_t i, char32_t& c) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    std::size_t length = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
        c = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2;
        c = lead & 0x1F;
        minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        c = lead & 0x0F;
        minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        c = lead & 0x07;
        minimum = 0x10000;
    } else {
        return 0;
    }
    if (i + length > text.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            return 0;
        }
        c = (c << 6) | (byte(i + k) & 0x3F);
    }
    if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        return 0;
    }
    return length;
}

bool isXmlChar(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

bool isValidUtf8(std::string_view text) {
    char32_t c = 0;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = decodeUtf8(text, i, c);
        if (length == 0) {
            return false;
        }
        i += length;
    }
    return true;
}

// Texts as libxml2 hands them over are UTF-8; should a document with broken encoding leave raw bytes
// in one, they become U+FFFD, so that every text in the tree is valid UTF-8.
std::string validUtf8(const char* text) {
    const std::string_view view(text);
    std::string result;
    result.reserve(view.size());
    // Valid runs are copied whole, as texts can be tens of megabytes.
    std::size_t run = 0;
    std::size_t i = 0;
    while (i < view.size()) {
        if (static_cast<unsigned char>(view[i]) < 0x80) {
            ++i;
            continue;
        }
        char32_t c = 0;
        const std::size_t length = decodeUtf8(view, i, c);
        if (length == 0) {
            result.append(view.substr(run, i - run));
            appendUtf8(result, 0xFFFD);
            run = ++i;
        } else {
            i += length;
        }
    }
    result.append(view.substr(run));
    return result;
}

const char* chars(const xmlChar* text) {
    return reinterpret_cast<const char*>(text);
}

// The name as written, prefix included. A name holding raw bytes that are no UTF-8 (libxml2 keeps
// them when a document's encoding is broken) gives no name: such a document is refused, as a name
// cannot be repaired without changing which elements and attributes it matches.
std::optional<std::string> qualifiedName(const xmlChar* prefix, const xmlChar* name) {
    std::string result;
    if (prefix != nullptr) {
        result = chars(prefix);
        result += ':';
    }
    if (name != nullptr) {
        result += chars(name);
    }
    if (!isValidUtf8(result)) {
        return std::nullopt;
    }
    return result;
}

std::optional<std::string> qualifiedName(const xmlChar* name, xmlNsPtr ns) {
    return qualifiedName(ns != nullptr ? ns->prefix : nullptr, name);
}

bool isBlank(std::string_view text) {
    return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

// The value of an attribute from its text nodes only: a reference to an entity is left out, never
// expanded.
std::string attributeValue(xmlAttrPtr attribute) {
    std::string value;
    for (xmlNodePtr node = attribute->children; node != nullptr; node = node->next) {
        if (node->type == XML_TEXT_NODE && node->content != nullptr) {
            value += chars(node->content);
        }
    }
    return validUtf8(value.c_str());
}

// The value of a namespace declaration. Without entity substitution libxml2 keeps each ampersand of such a
// value (written "&amp;" or as a character reference) as the text "&#38;", which it decodes for ordinary
// attributes only; decoding it here makes the declaration read like any other attribute.
std::string namespaceValue(const xmlChar* href) {
    if (href == nullptr) {
        return {};
    }
    constexpr std::string_view escapedAmpersand = "&#38;";
    const std::string_view raw(chars(href));
    std::string value;
    value.reserve(raw.size());
    std::size_t start = 0;
    for (std::size_t found = raw.find(escapedAmpersand); found != std::string_view::npos;
         found = raw.find(escapedAmpersand, start)) {
        value.append(raw.substr(start, found - start));
        value += '&';
        start = found + escapedAmpersand.size();
    }
    value.append(raw.substr(start));
    return validUtf8(value.c_str());
}

// Copies one libxml2 element into ours. Depth counts from 1 at the root; a deeper tree than allowed
// fails the whole conversion.
bool convertElement(xmlNodePtr source, XmlElement& target, int depth) {
    if (depth > XmlDocument::maxDepth) {
        return false;
    }
    // Recover mode keeps a repeated attribute; the first value counts. An element with many attributes
    // remembers the names in a set rather than looking each one up in those before it.
    constexpr std::size_t fewAttributes = 8;
    std::size_t attributeCount = 0;
    for (xmlNsPtr ns = source->nsDef; ns != nullptr; ns = ns->next) {
        ++attributeCount;
    }
    for (xmlAttrPtr attribute = source->properties; attribute != nullptr; attribute = attribute->next) {
        ++attributeCount;
    }
    std::unordered_set<std::string> seen;
    const auto isNew = [&](const std::string& name) {
        return attributeCount <= fewAttributes ? !target.attribute(name).has_value()
                                               : seen.insert(name).second;
    };
    // Namespace declarations are kept as the attributes they were written as, ahead of the others.
    for (xmlNsPtr ns = source->nsDef; ns != nullptr; ns = ns->next) {
        auto name = ns->prefix != nullptr ? qualifiedName(BAD_CAST "xmlns", ns->prefix)
                                          : std::optional<std::string>("xmlns");
        if (!name) {
            return false;
        }
        if (isNew(*name)) {
            target.appendAttribute(std::move(*name), namespaceValue(ns->href));
        }
    }
    for (xmlAttrPtr attribute = source->properties; attribute != nullptr; attribute = attribute->next) {
        auto name = qualifiedName(attribute->name, attribute->ns);
        if (!name) {
            return false;
        }
        if (isNew(*name)) {
            target.appendAttribute(std::move(*name), attributeValue(attribute));
        }
    }
    bool hasElements = false;
    bool hasNonBlankText = false;
    for (xmlNodePtr node = source->children; node != nullptr; node = node->next) {
        if (node->type == XML_ELEMENT_NODE) {
            hasElements = true;
        } else if ((node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) &&
                   node->content != nullptr && !isBlank(chars(node->content))) {
            hasNonBlankText = true;
        }
    }
    // Blank texts between child elements are layout, not content.
    const bool keepBlankText = !hasElements || hasNonBlankText;
    for (xmlNodePtr node = source->children; node != nullptr; node = node->next) {
        switch (node->type) {
        case XML_ELEMENT_NODE: {
            auto name = qualifiedName(node->name, node->ns);
            if (!name) {
                return false;
            }
            XmlElement& child = target.addChild(std::move(*name));
            if (!convertElement(node, child, depth + 1)) {
                return false;
            }
            break;
        }
        case XML_TEXT_NODE:
        case XML_CDATA_SECTION_NODE:
            if (node->content != nullptr && (keepBlankText || !isBlank(chars(node->content)))) {
                target.addText(validUtf8(chars(node->content)));
            }
            break;
        default: // comments, processing instructions, entity references
            break;
        }
    }
    return true;
}

// Escapes a text for element content or (inAttribute) a double-quoted attribute value. Carriage
// returns, and in attributes tabs and line feeds, are written as references, because a reader would
// otherwise normalise them away.
void appendEscaped(std::string& out, std::string_view text, bool inAttribute) {
    std::size_t i = 0;
    while (i < text.size()) {
        char32_t c = 0;
        const std::size_t length = decodeUtf8(text, i, c);
        if (length == 0 || !isXmlChar(c)) {
            appendUtf8(out, 0xFFFD);
            i += length == 0 ? 1 : length;
            continue;
        }
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '\r':
            out += "&#13;";
            break;
        case '"':
            out += inAttribute ? "&quot;" : "\"";
            break;
        case '\t':
            out += inAttribute ? "&#9;" : "\t";
            break;
        case '\n':
            out += inAttribute ? "&#10;" : "\n";
            break;
        default:
            out.append(text.substr(i, length));
            break;
        }
        i += length;
    }
}

void appendIndent(std::string& out, int depth) {
    out.append(static_cast<std::size_t>(depth) * 2, ' ');
}

// Writes an element; formatted elements stand on their own indented line. Inside an element that holds
// text nothing is formatted any more, so no whitespace is ever added to text content.
void appendElement(std::string& out, const XmlElement& element, int depth, bool formatted) {
    if (formatted) {
        appendIndent(out, depth);
    }
    out += '<';
    out += element.name();
    for (const auto& [name, value] : element.attributes()) {
        out += ' ';
        out += name;
        out += "=\"";
        appendEscaped(out, value, true);
        out += '"';
    }
    if (element.isEmpty()) {
        out += "/>";
    } else {
        out += '>';
        const bool formatChildren = formatted && !element.hasText();
        if (formatChildren) {
            out += '\n';
        }
        for (const XmlElement::Node& node : element.content()) {
            if (node.element) {
                appendElement(out, *node.element, depth + 1, formatChildren);
            } else {
                appendEscaped(out, node.text, false);
            }
        }
        if (formatChildren) {
            appendIndent(out, depth);
        }
        out += "</";
        out += element.name();
        out += '>';
    }
    if (formatted) {
        out += '\n';
    }
}

} // namespace

XmlDocument::XmlDocument(XmlElement root) : root_(std::move(root)) {}

std::optional<std::string> XmlDocument::limitFault(std::span<const std::uint8_t> bytes) {
    if (bytes.size() > maxInputBytes) {
        return "it would be larger than " + std::to_string(maxInputBytes / (1024 * 1024)) + " MiB";
    }
    switch (parseLimitsOf(bytes)) {
    case Limits::Within:
        return std::nullopt;
    case Limits::TooLarge:
        return "it would hold more than " + std::to_string(maxNodes) +
               " XML nodes, or an element with more than " + std::to_string(maxAttributesPerElement) +
               " attributes";
    case Limits::Unreadable:
        break;
    }
    return std::string("its text encoding cannot be read");
}

std::optional<XmlDocument> XmlDocument::parse(std::span<const std::uint8_t> bytes) {
    return parse(bytes, nullptr);
}

std::optional<XmlDocument> XmlDocument::parse(std::span<const std::uint8_t> bytes, ParseReport* report) {
    static_assert(maxInputBytes <= static_cast<std::size_t>(INT_MAX));
    ParseReport ignored;
    ParseReport& outcome = report != nullptr ? *report : ignored;
    outcome = ParseReport{};
    if (bytes.empty()) {
        return std::nullopt;
    }
    if (bytes.size() > maxInputBytes) {
        outcome.tooLarge = true;
        return std::nullopt;
    }
    if (const Limits limits = parseLimitsOf(bytes); limits != Limits::Within) {
        outcome.tooLarge = limits == Limits::TooLarge;
        return std::nullopt;
    }
    initialiseLibxml();
    ParserContext context;
    xmlParserCtxtPtr ctxt = context.get();
    if (ctxt == nullptr || ctxt->sax == nullptr) {
        return std::nullopt;
    }
    const ClosedAtEndNote note(&outcome.closedAtEnd);
    ctxt->sax->entityDecl = ignoreEntityDeclaration;
    ctxt->sax->externalSubset = ignoreExternalSubset;
    ctxt->sax->resolveEntity = refuseResolveEntity;
    ctxt->sax->serror = noteStructuredError;
    ctxt->sax->warning = nullptr;
    ctxt->sax->error = nullptr;
    ctxt->sax->fatalError = nullptr;

    // Recover mode repairs malformed markup. No XML_PARSE_NOENT (no substitution), no DTD loading,
    // no default attributes from a DTD, no network, and no XML_PARSE_HUGE, which keeps libxml2's own
    // limits on depth, text and name sizes.
    const int options =
        XML_PARSE_RECOVER | XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_NOCDATA;
    DocumentHandle doc(xmlCtxtReadMemory(ctxt, reinterpret_cast<const char*>(bytes.data()),
                                         static_cast<int>(bytes.size()), nullptr, nullptr, options));
    // libxml2 halts a parse it will not finish (too deep, entity loops, limits) and stops early at a NUL
    // or at content after the root; a half-read document is refused rather than taken for the whole.
    if (doc.get() == nullptr || ctxt->disableSAX != 0 || !consumedWholeInput(ctxt)) {
        return std::nullopt;
    }
    xmlNodePtr rootNode = xmlDocGetRootElement(doc.get());
    if (rootNode == nullptr) {
        return std::nullopt;
    }
    auto rootName = qualifiedName(rootNode->name, rootNode->ns);
    if (!rootName) {
        return std::nullopt;
    }
    XmlDocument result{XmlElement(std::move(*rootName))};
    if (!convertElement(rootNode, result.root_, 1)) {
        return std::nullopt;
    }
    return result;
}

std::optional<XmlDocument> XmlDocument::parse(std::string_view bytes) {
    return parse(
        std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

std::optional<XmlDocument> XmlDocument::parseFile(const std::filesystem::path& path, std::size_t maxBytes) {
    const auto bytes = readFile(path, maxBytes);
    if (!bytes) {
        return std::nullopt;
    }
    return parse(std::span<const std::uint8_t>(*bytes));
}

std::string XmlDocument::xmlString() const {
    std::string out = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";
    appendElement(out, root_, 0, true);
    return out;
}

std::vector<std::uint8_t> XmlDocument::xmlData() const {
    const std::string text = xmlString();
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

} // namespace platform
