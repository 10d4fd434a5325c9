// Parses arbitrary bytes as XML, walks the tree and writes it again. Whatever parses must survive a
// round trip: the written text reads back and writes out identically.
#include "platform/foundation/XmlDocument.h"

#include <cstdint>
#include <cstdlib>
#include <span>

namespace {

std::size_t walk(const platform::XmlElement& element) {
    std::size_t total = element.name().size() + element.stringValue().size();
    for (const auto& [name, value] : element.attributes()) {
        total += name.size() + value.size();
        (void)element.attribute(name);
    }
    for (const platform::XmlElement* child : element.childElements()) {
        (void)element.firstChild(child->name());
        total += element.children(child->name()).size();
        total += walk(*child);
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
