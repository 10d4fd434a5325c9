// Parses arbitrary bytes as XML, walks the tree and writes it again. Whatever parses must survive a
// round trip: the written text reads back and writes out identically.
#include "platform/foundation/XmlDocument.h"

#include <cstdint>
#include <cstdlib>
#include <span>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace {

// Visits every element, attribute and text once, so that the time of a run is the parser's. Attribute
// names within an element are unique, as the reader promises.
std::size_t walk(const platform::XmlElement& element) {
    std::size_t total = element.name().size();
    std::unordered_set<std::string_view> names;
    for (const auto& [name, value] : element.attributes()) {
        total += name.size() + value.size();
        if (!names.insert(name).second) {
            std::abort();
        }
    }
    const std::vector<const platform::XmlElement*> children = element.childElements();
    if (!children.empty() && element.firstChild(children.front()->name()) != children.front()) {
        std::abort();
    }
    for (const platform::XmlElement::Node& node : element.content()) {
        total += node.element ? walk(*node.element) : node.text.size();
    }
    return total;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto doc = platform::XmlDocument::parse(std::span<const std::uint8_t>(data, size));
    if (!doc) {
        return 0;
    }
    (void)walk(doc->rootElement());
    const std::string text = doc->xmlString();
    const auto again = platform::XmlDocument::parse(text);
    if (!again || again->xmlString() != text) {
        std::abort();
    }
    return 0;
}
