#include "platform/data/XmlStore.h"

#include "platform/foundation/Base64.h"
#include "platform/foundation/Files.h"
#include "platform/foundation/Numbers.h"
#include "platform/foundation/XmlDocument.h"

#include <charconv>
#include <unordered_map>

namespace platform {

namespace {

bool fail(std::string* error, std::string message) {
    if (error != nullptr) {
        *error = std::move(message);
    }
    return false;
}

std::string_view trimmed(std::string_view text) {
    const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    while (!text.empty() && space(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && space(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::optional<std::int64_t> strictInteger(std::string_view text) {
    text = trimmed(text);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    std::int64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<double> strictDouble(std::string_view text) {
    text = trimmed(text);
    double value = 0;
    if (text.empty() || scanDouble(text, value) != text.size()) {
        return std::nullopt;
    }
    return value;
}

// The value of an attribute's text as its type word says; no value for an unknown word or a text that
// does not read as one.
std::optional<Value> readValue(std::string_view typeWord, const std::string& text) {
    if (typeWord == "int16" || typeWord == "int32" || typeWord == "int64") {
        if (auto v = strictInteger(text)) {
            return Value(*v);
        }
        return std::nullopt;
    }
    if (typeWord == "bool") {
        const auto v = strictInteger(text);
        if (v && (*v == 0 || *v == 1)) {
            return Value(*v == 1);
        }
        return std::nullopt;
    }
    if (typeWord == "float" || typeWord == "double" || typeWord == "date" || typeWord == "decimal") {
        if (auto v = strictDouble(text)) {
            return Value(*v);
        }
        return std::nullopt;
    }
    if (typeWord == "string") {
        return Value(text);
    }
    if (typeWord == "binary" || typeWord == "transformable") {
        // Line breaks may wrap long base64 texts.
        std::string compact;
        for (char c : text) {
            if (c != ' ' && c != '\t' && c != '\n' && c != '\r') {
                compact += c;
            }
        }
        if (auto bytes = base64Decode(compact)) {
            return Value(std::move(*bytes));
        }
        return std::nullopt;
    }
    return std::nullopt;
}

// The metadata dictionary: <metadata><plist><dict> key, value, key, value ... </dict></plist></metadata>.
bool readMetadata(const XmlElement& database, std::map<std::string, std::string>& values,
                  std::vector<std::string>& entityNames, std::string* error) {
    const XmlElement* info = database.firstChild("databaseInfo");
    const XmlElement* metadata = info != nullptr ? info->firstChild("metadata") : nullptr;
    const XmlElement* plist = metadata != nullptr ? metadata->firstChild("plist") : nullptr;
    const XmlElement* dict = plist != nullptr ? plist->firstChild("dict") : nullptr;
    if (dict == nullptr) {
        return fail(error, "the store has no metadata");
    }
    const auto items = dict->childElements();
    for (std::size_t i = 0; i + 1 < items.size(); i += 2) {
        if (items[i]->name() != "key") {
            return fail(error, "the store's metadata is not a dictionary");
        }
        const std::string key = items[i]->stringValue();
        const XmlElement* value = items[i + 1];
        if (value->name() == "string" || value->name() == "integer" || value->name() == "real") {
            values[key] = value->stringValue();
        } else if (key == "NSStoreModelVersionHashes" && value->name() == "dict") {
            for (const XmlElement* entry : value->children("key")) {
                entityNames.push_back(entry->stringValue());
            }
        }
    }
    if (items.size() % 2 != 0) {
        return fail(error, "the store's metadata is not a dictionary");
    }
    return true;
}

// A file cut short may still parse, as the XML layer repairs what it can: a whole store ends with the
// closing tag of its root (or is one empty root element).
bool endsWithRootClose(std::span<const std::uint8_t> bytes) {
    std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    text = trimmed(text);
    if (text.ends_with("/>")) {
        const auto open = text.rfind('<');
        return open != std::string_view::npos && text.substr(open).starts_with("<database");
    }
    if (!text.ends_with(">")) {
        return false;
    }
    const auto close = text.rfind("</");
    return close != std::string_view::npos && trimmed(text.substr(close + 2)) == "database>";
}

} // namespace

const XmlStore::Attribute* XmlStore::Object::attribute(std::string_view name) const {
    for (const Attribute& a : attributes) {
        if (a.name == name) {
            return &a;
        }
    }
    return nullptr;
}

const XmlStore::Relationship* XmlStore::Object::relationship(std::string_view name) const {
    for (const Relationship& r : relationships) {
        if (r.name == name) {
            return &r;
        }
    }
    return nullptr;
}

std::optional<XmlStore> XmlStore::readFile(const std::filesystem::path& path, std::string* error) {
    auto bytes = platform::readFile(path, maxFileBytes, error);
    if (!bytes) {
        if (error != nullptr && error->empty()) {
            *error = "the store cannot be read";
        }
        return std::nullopt;
    }
    return read(*bytes, error);
}

std::optional<XmlStore> XmlStore::read(std::span<const std::uint8_t> bytes, std::string* error) {
    if (!endsWithRootClose(bytes)) {
        fail(error, "the store is not a whole XML store");
        return std::nullopt;
    }
    auto document = XmlDocument::parse(bytes);
    if (!document || document->rootElement().name() != "database") {
        fail(error, "the file is not an XML store");
        return std::nullopt;
    }
    const XmlElement& database = document->rootElement();
    XmlStore store;
    if (!readMetadata(database, store.metadata_, store.modelEntityNames_, error)) {
        return std::nullopt;
    }

    // First the objects with their attributes, then the links, once every id is known.
    std::unordered_map<std::string, std::size_t> indexOfID;
    const auto elements = database.children("object");
    for (const XmlElement* element : elements) {
        Object object;
        object.entityName = element->attribute("type").value_or("");
        object.id = element->attribute("id").value_or("");
        if (object.entityName.empty() || object.id.empty()) {
            fail(error, "an object of the store has no type or id");
            return std::nullopt;
        }
        if (!indexOfID.emplace(object.id, store.objects_.size()).second) {
            fail(error, "the id " + object.id + " is used twice");
            return std::nullopt;
        }
        for (const XmlElement* a : element->children("attribute")) {
            Attribute attribute{a->attribute("name").value_or(""), a->attribute("type").value_or(""), {}};
            auto value = readValue(attribute.typeWord, a->stringValue());
            if (attribute.name.empty() || !value) {
                fail(error, "the attribute \"" + attribute.name + "\" of " + object.id + " cannot be read");
                return std::nullopt;
            }
            attribute.value = std::move(*value);
            object.attributes.push_back(std::move(attribute));
        }
        store.objects_.push_back(std::move(object));
    }
    for (std::size_t i = 0; i < elements.size(); ++i) {
        Object& object = store.objects_[i];
        for (const XmlElement* r : elements[i]->children("relationship")) {
            Relationship relationship;
            relationship.name = r->attribute("name").value_or("");
            const std::string type = r->attribute("type").value_or("");
            relationship.toMany = !type.ends_with("/1");
            relationship.destination = r->attribute("destination").value_or("");
            if (relationship.name.empty() || type.empty()) {
                fail(error, "a relationship of " + object.id + " has no name or type");
                return std::nullopt;
            }
            const std::string idrefs = r->attribute("idrefs").value_or("");
            std::size_t start = 0;
            while (start < idrefs.size()) {
                std::size_t end = idrefs.find(' ', start);
                if (end == std::string::npos) {
                    end = idrefs.size();
                }
                if (end > start) {
                    const auto found = indexOfID.find(idrefs.substr(start, end - start));
                    if (found == indexOfID.end()) {
                        fail(error, "the relationship \"" + relationship.name + "\" of " + object.id +
                                        " names an object the store does not hold");
                        return std::nullopt;
                    }
                    relationship.targets.push_back(found->second);
                }
                start = end + 1;
            }
            if (!relationship.toMany && relationship.targets.size() > 1) {
                fail(error, "the to-one relationship \"" + relationship.name + "\" of " + object.id +
                                " names several objects");
                return std::nullopt;
            }
            object.relationships.push_back(std::move(relationship));
        }
    }
    return store;
}

} // namespace platform
