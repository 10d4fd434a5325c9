#include "platform/foundation/XmlDocument.h"

#include "platform/foundation/Files.h"

#include <climits>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/tree.h>
#include <mutex>

namespace platform {

namespace {

// Nothing read through this parser may reach outside the bytes it was given.
xmlParserInputPtr refuseExternalEntity(const char*, const char*, xmlParserCtxtPtr) {
    return nullptr;
}

void initialiseLibxml() {
    static std::once_flag once;
    std::call_once(once, [] {
        xmlInitParser();
        xmlSetExternalEntityLoader(refuseExternalEntity);
    });
}

// Handlers installed on each parser: entity declarations are not recorded (so no declared entity can
// be expanded, which disarms entity-expansion bombs), external subsets and entities are never
// resolved, and errors are swallowed (recover mode reports malformed input by what it makes of it).
void ignoreEntityDeclaration(void*, const xmlChar*, int, const xmlChar*, const xmlChar*, xmlChar*) {}
void ignoreExternalSubset(void*, const xmlChar*, const xmlChar*, const xmlChar*) {}
xmlParserInputPtr refuseResolveEntity(void*, const xmlChar*, const xmlChar*) {
    return nullptr;
}
void ignoreStructuredError(void*, xmlErrorPtr) {}

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
    std::size_t i = 0;
    while (i < view.size()) {
        char32_t c = 0;
        const std::size_t length = decodeUtf8(view, i, c);
        if (length == 0) {
            appendUtf8(result, 0xFFFD);
            ++i;
        } else {
            result.append(view.substr(i, length));
            i += length;
        }
    }
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
    // Namespace declarations are kept as the attributes they were written as, ahead of the others.
    for (xmlNsPtr ns = source->nsDef; ns != nullptr; ns = ns->next) {
        auto name = ns->prefix != nullptr ? qualifiedName(BAD_CAST "xmlns", ns->prefix)
                                          : std::optional<std::string>("xmlns");
        if (!name) {
            return false;
        }
        target.addAttribute(std::move(*name), namespaceValue(ns->href));
    }
    for (xmlAttrPtr attribute = source->properties; attribute != nullptr; attribute = attribute->next) {
        auto name = qualifiedName(attribute->name, attribute->ns);
        if (!name) {
            return false;
        }
        if (!target.attribute(*name)) { // a repeated attribute keeps its first value
            target.addAttribute(std::move(*name), attributeValue(attribute));
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

std::optional<XmlDocument> XmlDocument::parse(std::span<const std::uint8_t> bytes) {
    if (bytes.empty() || bytes.size() > static_cast<std::size_t>(INT_MAX)) {
        return std::nullopt;
    }
    initialiseLibxml();
    ParserContext context;
    xmlParserCtxtPtr ctxt = context.get();
    if (ctxt == nullptr || ctxt->sax == nullptr) {
        return std::nullopt;
    }
    ctxt->sax->entityDecl = ignoreEntityDeclaration;
    ctxt->sax->externalSubset = ignoreExternalSubset;
    ctxt->sax->resolveEntity = refuseResolveEntity;
    ctxt->sax->serror = ignoreStructuredError;
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
    // libxml2 halts a parse it will not finish (too deep, entity loops, limits); a half-read document
    // is refused rather than taken for the whole.
    if (doc.get() == nullptr || ctxt->disableSAX != 0) {
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
