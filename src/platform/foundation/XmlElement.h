#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {

// One XML element: its name as written (a namespace prefix is part of the name, "svg:path"), its
// attributes in the order they were added, and its content, a sequence of child elements and texts.
// An element owns its children; pointers to children stay valid until the element is changed by
// setStringValue or destroyed. All texts are UTF-8.
class XmlElement {
public:
    explicit XmlElement(std::string name);
    XmlElement(std::string name, std::string text);
    ~XmlElement();
    XmlElement(const XmlElement& other);
    XmlElement& operator=(const XmlElement& other);
    XmlElement(XmlElement&&) noexcept;
    XmlElement& operator=(XmlElement&&) noexcept;

    const std::string& name() const { return name_; }

    // Attributes. Adding a name that is already there replaces its value and keeps its place.
    void addAttribute(std::string name, std::string value);
    // Adds an attribute the caller knows is not there yet, without looking (a reader whose parser has
    // already refused repeated names).
    void appendAttribute(std::string name, std::string value);
    // The value of the attribute of that name as written ("xml:space"); no value when absent, which
    // differs from an empty value.
    std::optional<std::string> attribute(std::string_view name) const;
    const std::vector<std::pair<std::string, std::string>>& attributes() const { return attributes_; }

    // Content. A text added right after another text joins it.
    XmlElement& addChild(XmlElement child);
    XmlElement& addChild(std::string name);
    void addText(std::string_view text);
    // Replaces the whole content with one text.
    void setStringValue(std::string text);

    // The first child element of that name, or null.
    const XmlElement* firstChild(std::string_view name) const;
    XmlElement* firstChild(std::string_view name);
    // Every child element of that name, in document order.
    std::vector<const XmlElement*> children(std::string_view name) const;
    // Every child element, in document order.
    std::vector<const XmlElement*> childElements() const;
    // The texts of every descendant, concatenated in document order.
    std::string stringValue() const;
    // Whether the content holds a text (then no whitespace may be added inside it when written).
    bool hasText() const;
    bool isEmpty() const { return content_.empty(); }

    // A child is either an element or a text.
    struct Node {
        std::unique_ptr<XmlElement> element;
        std::string text;
    };
    const std::vector<Node>& content() const { return content_; }

private:
    void appendStringValue(std::string& out) const;

    std::string name_;
    std::vector<std::pair<std::string, std::string>> attributes_;
    std::vector<Node> content_;
};

} // namespace platform
