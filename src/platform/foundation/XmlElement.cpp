#include "platform/foundation/XmlElement.h"

namespace platform {

XmlElement::XmlElement(std::string name) : name_(std::move(name)) {}

XmlElement::XmlElement(std::string name, std::string text) : name_(std::move(name)) {
    setStringValue(std::move(text));
}

XmlElement::~XmlElement() = default;
XmlElement::XmlElement(XmlElement&&) noexcept = default;
XmlElement& XmlElement::operator=(XmlElement&&) noexcept = default;

XmlElement::XmlElement(const XmlElement& other) : name_(other.name_), attributes_(other.attributes_) {
    content_.reserve(other.content_.size());
    for (const Node& node : other.content_) {
        Node copy;
        if (node.element) {
            copy.element = std::make_unique<XmlElement>(*node.element);
        } else {
            copy.text = node.text;
        }
        content_.push_back(std::move(copy));
    }
}

XmlElement& XmlElement::operator=(const XmlElement& other) {
    if (this != &other) {
        XmlElement copy(other);
        *this = std::move(copy);
    }
    return *this;
}

void XmlElement::addAttribute(std::string name, std::string value) {
    for (auto& attribute : attributes_) {
        if (attribute.first == name) {
            attribute.second = std::move(value);
            return;
        }
    }
    attributes_.emplace_back(std::move(name), std::move(value));
}

void XmlElement::appendAttribute(std::string name, std::string value) {
    attributes_.emplace_back(std::move(name), std::move(value));
}

std::optional<std::string> XmlElement::attribute(std::string_view name) const {
    for (const auto& attribute : attributes_) {
        if (attribute.first == name) {
            return attribute.second;
        }
    }
    return std::nullopt;
}

XmlElement& XmlElement::addChild(XmlElement child) {
    Node node;
    node.element = std::make_unique<XmlElement>(std::move(child));
    content_.push_back(std::move(node));
    return *content_.back().element;
}

XmlElement& XmlElement::addChild(std::string name) {
    return addChild(XmlElement(std::move(name)));
}

void XmlElement::addText(std::string_view text) {
    if (text.empty()) {
        return;
    }
    if (!content_.empty() && !content_.back().element) {
        content_.back().text.append(text);
        return;
    }
    Node node;
    node.text = std::string(text);
    content_.push_back(std::move(node));
}

void XmlElement::setStringValue(std::string text) {
    content_.clear();
    if (!text.empty()) {
        Node node;
        node.text = std::move(text);
        content_.push_back(std::move(node));
    }
}

const XmlElement* XmlElement::firstChild(std::string_view name) const {
    for (const Node& node : content_) {
        if (node.element && node.element->name_ == name) {
            return node.element.get();
        }
    }
    return nullptr;
}

XmlElement* XmlElement::firstChild(std::string_view name) {
    return const_cast<XmlElement*>(static_cast<const XmlElement*>(this)->firstChild(name));
}

std::vector<const XmlElement*> XmlElement::children(std::string_view name) const {
    std::vector<const XmlElement*> result;
    for (const Node& node : content_) {
        if (node.element && node.element->name_ == name) {
            result.push_back(node.element.get());
        }
    }
    return result;
}

std::vector<const XmlElement*> XmlElement::childElements() const {
    std::vector<const XmlElement*> result;
    for (const Node& node : content_) {
        if (node.element) {
            result.push_back(node.element.get());
        }
    }
    return result;
}

std::string XmlElement::stringValue() const {
    std::string out;
    appendStringValue(out);
    return out;
}

void XmlElement::appendStringValue(std::string& out) const {
    for (const Node& node : content_) {
        if (node.element) {
            node.element->appendStringValue(out);
        } else {
            out += node.text;
        }
    }
}

bool XmlElement::hasText() const {
    for (const Node& node : content_) {
        if (!node.element) {
            return true;
        }
    }
    return false;
}

} // namespace platform
